// Checking the arrays a caller hands in and copying results out.
#include "python/arrays.hpp"

#include <cmath>

namespace sitewave::python {

real_array real_array_of(py::handle value, const std::string& what, int least, int most) {
  py::array any = py::array::ensure(value);
  if (!any) throw py::value_error(what + ": an array of numbers is expected");
  const char kind = any.dtype().kind();
  if (kind != 'f' && kind != 'i' && kind != 'u') {
    throw py::value_error(what + ": real numbers are expected, not an array of dtype " +
                          std::string(py::str(any.dtype())));
  }
  const int dims = static_cast<int>(any.ndim());
  if (dims < least || dims > most) {
    const std::string expected = least == most ? std::to_string(least)
                                               : std::to_string(least) + " to " +
                                                     std::to_string(most);
    throw py::value_error(what + ": an array of " + expected + " dimensions is expected, not " +
                          std::to_string(dims));
  }
  return real_array::ensure(any);
}

std::vector<double> real_values(py::handle value, const std::string& what) {
  const real_array a = real_array_of(value, what, 0, 1);
  return {a.data(), a.data() + a.size()};
}

void require_finite(std::span<const double> values, const std::string& what) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!std::isfinite(values[i])) {
      throw py::value_error(what + ": entry " + std::to_string(i) + " is " +
                            std::to_string(values[i]) + ": finite numbers are expected");
    }
  }
}

py::array_t<double> numpy_of(std::span<const double> values) {
  py::array_t<double> out(static_cast<py::ssize_t>(values.size()));
  std::copy(values.begin(), values.end(), out.mutable_data());
  return out;
}

py::array_t<double> numpy_of(std::span<const float> values) {
  py::array_t<double> out(static_cast<py::ssize_t>(values.size()));
  std::copy(values.begin(), values.end(), out.mutable_data());
  return out;
}

py::array_t<std::complex<double>> numpy_of(std::span<const std::complex<double>> values) {
  py::array_t<std::complex<double>> out(static_cast<py::ssize_t>(values.size()));
  std::copy(values.begin(), values.end(), out.mutable_data());
  return out;
}

py::array_t<double> numpy_columns(std::span<const std::span<const float>> columns,
                                  std::size_t rows) {
  py::array_t<double> out({static_cast<py::ssize_t>(rows),
                           static_cast<py::ssize_t>(columns.size())});
  auto cell = out.mutable_unchecked<2>();
  for (std::size_t k = 0; k < columns.size(); ++k) {
    for (std::size_t i = 0; i < rows; ++i) {
      cell(static_cast<py::ssize_t>(i), static_cast<py::ssize_t>(k)) =
          i < columns[k].size() ? static_cast<double>(columns[k][i]) : 0.0;
    }
  }
  return out;
}

}  // namespace sitewave::python
