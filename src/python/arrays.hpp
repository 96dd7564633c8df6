// numpy arrays in and out of the module: what comes in is checked (a real
// dtype, the expected number of dimensions, finite values) and read as
// float64; what goes out is a new array that owns a copy of the values.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <complex>
#include <span>
#include <string>
#include <vector>

namespace sitewave::python {

namespace py = pybind11;

using real_array = py::array_t<double, py::array::c_style>;

// `value` (an array, a list, a number) as a C-ordered float64 array of
// `least` to `most` dimensions; ValueError naming `what` for another dtype
// (complex, text, objects) or shape.
real_array real_array_of(py::handle value, const std::string& what, int least, int most);

// The values of a 0- or 1-dimensional real array.
std::vector<double> real_values(py::handle value, const std::string& what);

// ValueError naming `what` and the first entry that is not finite.
void require_finite(std::span<const double> values, const std::string& what);

// New arrays holding copies: 1-dimensional, and rows × columns of columns.
py::array_t<double> numpy_of(std::span<const double> values);
py::array_t<double> numpy_of(std::span<const float> values);
py::array_t<std::complex<double>> numpy_of(std::span<const std::complex<double>> values);
py::array_t<double> numpy_columns(std::span<const std::span<const float>> columns,
                                  std::size_t rows);

}  // namespace sitewave::python
