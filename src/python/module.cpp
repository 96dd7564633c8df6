// The extension module `sitewave._sitewave`. The command's refusals (a bad
// option, a file or value that cannot give a sound analysis) and the core's
// become ValueError with the same one-line message.
#include <stdexcept>

#include "cli/io/errors.hpp"
#include "cli/options/arguments.hpp"
#include "python/bindings.hpp"

PYBIND11_MODULE(_sitewave, m) {
  m.doc() = "The sitewave core: records, ground profiles, transfer functions, analyses.";
  m.attr("__version__") = SITEWAVE_VERSION;
  pybind11::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const sitewave::cli::option_error& e) {
      PyErr_SetString(PyExc_ValueError, e.what());
    } catch (const sitewave::cli::usage_error& e) {
      PyErr_SetString(PyExc_ValueError, e.what());
    } catch (const sitewave::cli::input_error& e) {
      PyErr_SetString(PyExc_ValueError, e.what());
    } catch (const std::invalid_argument& e) {
      PyErr_SetString(PyExc_ValueError, e.what());
    }
  });
  sitewave::python::bind_inputs(m);
  sitewave::python::bind_analysis(m);
  sitewave::python::bind_core(m);
}
