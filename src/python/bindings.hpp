// The parts of the module `_sitewave`, each adding its classes and
// functions: the inputs (records, profiles), the analysis of a run and its
// results, and the core's functions on plain arrays.
#pragma once

#include <pybind11/pybind11.h>

namespace sitewave::python {

void bind_inputs(pybind11::module_& m);
void bind_analysis(pybind11::module_& m);
void bind_core(pybind11::module_& m);

}  // namespace sitewave::python
