// analyse for Python: the command's run in memory with the GIL released,
// and its results as numpy arrays (transfer functions, surface motions,
// response spectra at full precision) or as the clean files' columns.
#include <pybind11/stl.h>

#include <charconv>
#include <numbers>
#include <tuple>

#include "cli/analysis/result_files.hpp"
#include "cli/batch/summary_intensity.hpp"
#include "cli/batch/summary_spectra.hpp"
#include "cli/run/run_options.hpp"
#include "python/arrays.hpp"
#include "python/bindings.hpp"
#include "python/clean_columns.hpp"
#include "python/memory_run.hpp"

namespace sitewave::python {

namespace {

using run_handle = std::shared_ptr<memory_run>;

py::dict transfer_of(const memory_run& run) {
  const cli::analysis& a = run.products.result;
  std::vector<double> hz;
  for (std::size_t i = 0; i < a.sh.size(); ++i) {
    hz.push_back(static_cast<double>(i) / (static_cast<double>(a.nf) * a.dt));
  }
  py::dict out;
  out["freq_hz"] = numpy_of(std::span<const double>(hz));
  out["sh"] = numpy_of(std::span(a.sh));
  if (!a.sh_h2.empty()) out["sh_H2"] = numpy_of(std::span(a.sh_h2));
  out["psv"] = numpy_of(std::span(a.psv));
  if (!a.radial.empty()) out["radial"] = numpy_of(std::span(a.radial));
  return out;
}

py::array_t<double> surface_of(const memory_run& run) {
  const cli::analysis& a = run.products.result;
  std::vector<std::span<const float>> columns;
  for (std::size_t c = 0; c < a.components; ++c) columns.emplace_back(a.surface[c]);
  return numpy_columns(columns, static_cast<std::size_t>(a.nf));
}

py::array_t<double> time_of(const memory_run& run) {
  const cli::analysis& a = run.products.result;
  std::vector<float> t;
  for (int i = 0; i < a.nf; ++i) t.push_back(cli::sample_time(run.inputs.rec, a, i));
  return numpy_of(std::span<const float>(t));
}

// psa[d][p][c] for damping d, period p and component c present.
py::array_t<double> psa_of(const cli::motion_spectra& s, std::size_t components,
                           std::size_t periods) {
  py::array_t<double> out({static_cast<py::ssize_t>(s.psa.size()),
                           static_cast<py::ssize_t>(periods),
                           static_cast<py::ssize_t>(components)});
  auto cell = out.mutable_unchecked<3>();
  for (py::ssize_t d = 0; d < cell.shape(0); ++d) {
    for (py::ssize_t p = 0; p < cell.shape(1); ++p) {
      for (py::ssize_t c = 0; c < cell.shape(2); ++c) {
        cell(d, p, c) = s.psa[static_cast<std::size_t>(d)][static_cast<std::size_t>(c)]
                             [static_cast<std::size_t>(p)];
      }
    }
  }
  return out;
}

py::object response_of(const memory_run& run) {
  const cli::run_products& p = run.products;
  if (p.surface_spectra.psa.empty()) return py::none();  // response left out by outputs
  const std::size_t components = run.inputs.rec.components;
  const std::size_t periods = run.inputs.periods.size();
  py::dict out;
  out["periods"] = numpy_of(std::span(run.inputs.periods));
  out["damping"] = numpy_of(std::span(run.options.damping));
  out["input"] = psa_of(p.input_spectra, components, periods);
  out["surface"] = psa_of(p.surface_spectra, components, periods);
  return out;
}

py::object table_of(const memory_run& run, const std::string& name) {
  const std::string* text = run.file(name);
  if (text == nullptr) return py::none();
  std::vector<clean_column> columns;
  {
    py::gil_scoped_release unlocked;
    columns = clean_columns(*text);
  }
  py::dict out;
  for (const clean_column& c : columns) {
    if (c.numeric) {
      out[py::str(c.name)] = numpy_of(std::span(c.numbers));
    } else {
      out[py::str(c.name)] = py::cast(c.texts);
    }
  }
  return out;
}

// A result file's text; empty when the run did not make it.
std::string_view text_or_empty(const memory_run& run, std::string_view name) {
  const std::string* text = run.file(name);
  return text ? std::string_view(*text) : std::string_view();
}

// The PSA columns of a batch summary ("psa_in_H1_0.1", ...) from response.csv,
// NaN where the summary leaves a cell empty.
py::dict summary_psa_of(const memory_run& run) {
  const cli::summary_psa psa = cli::psa_from_response_csv(text_or_empty(run, "response.csv"));
  py::dict out;
  for (std::size_t s = 0; s < cli::summary_spectra.size(); ++s) {
    for (std::size_t p = 0; p < cli::summary_periods.size(); ++p) {
      char period[32];
      const auto end = std::to_chars(period, period + sizeof period, cli::summary_periods[p],
                                     std::chars_format::general, 9)
                           .ptr;
      const std::string name =
          "psa_" + std::string(cli::summary_spectra[s]) + "_" + std::string(period, end);
      out[py::str(name)] = psa[s][p];
    }
  }
  return out;
}

// The intensity columns of a batch summary ("out_H1_pgv", ...) from
// intensity.csv, NaN where the summary leaves a cell empty.
py::dict summary_intensity_of(const memory_run& run) {
  const cli::summary_intensity values =
      cli::intensity_from_csv(text_or_empty(run, "intensity.csv"));
  py::dict out;
  for (std::size_t r = 0; r < cli::summary_intensity_rows.size(); ++r) {
    for (std::size_t k = 0; k < cli::summary_intensity_names.size(); ++k) {
      const std::string name = std::string(cli::summary_intensity_rows[r]) + "_" +
                               std::string(cli::summary_intensity_names[k]);
      out[py::str(name)] = values[r][k];
    }
  }
  return out;
}

}  // namespace

void bind_analysis(py::module_& m) {
  py::class_<memory_run, run_handle>(m, "Run",
                                     "The results of one analysis (see sitewave.analyse).")
      .def_property_readonly("transfer", &transfer_of)
      .def_property_readonly("surface", &surface_of)
      .def_property_readonly("time", &time_of)
      .def_property_readonly("response", &response_of)
      .def("table", &table_of, py::arg("name"))
      .def_property_readonly("summary_psa", &summary_psa_of)
      .def_property_readonly("summary_intensity", &summary_intensity_of)
      .def_property_readonly("file_names",
                             [](const memory_run& r) {
                               std::vector<std::string> names;
                               for (const auto& f : r.files) names.push_back(f.first);
                               return names;
                             })
      .def(
          "file",
          [](const memory_run& r, const std::string& name) -> py::object {
            const std::string* text = r.file(name);
            if (text == nullptr) return py::none();
            return py::str(*text);
          },
          py::arg("name"))
      .def_property_readonly("warnings", [](const memory_run& r) { return r.warnings; })
      .def_property_readonly("threads", [](const memory_run& r) { return r.threads; })
      .def(
          "write_folder",
          [](const memory_run& r, const std::string& path, bool replace) {
            py::gil_scoped_release unlocked;
            write_folder(r, path, replace);
          },
          py::arg("path"), py::arg("replace") = false);
  m.def(
      "run_options",
      [] {
        std::vector<std::tuple<std::string, std::string, std::string>> rows;
        for (const cli::option_spec& s : cli::run_option_specs()) {
          rows.emplace_back(s.name, s.value_name, s.help);
        }
        return rows;
      },
      "The options of `sitewave run`: (name, value name, help) in the order of its --help.");
  m.def(
      "run",
      [](const cli::record& rec, const named_ground& ground,
         const std::vector<std::string>& words) {
        py::gil_scoped_release unlocked;
        return run_in_memory(words, rec, ground);
      },
      py::arg("record"), py::arg("profile"), py::arg("options"),
      "The command's run of a record over a profile with options such as \"--angle=30\".");
}

}  // namespace sitewave::python
