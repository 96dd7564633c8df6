// Records and ground profiles for Python: read from the command's files
// with its refusals, or built from arrays with the same checks; both are
// read-only once made.
#include <pybind11/stl.h>

#include <cfloat>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

#include "cli/inputs/ground_model.hpp"
#include "cli/run/run_results.hpp"
#include "cli/inputs/record.hpp"
#include "core/ground/layer_checks.hpp"
#include "core/spectral/frequency_grid.hpp"
#include "python/arrays.hpp"
#include "python/bindings.hpp"
#include "python/memory_run.hpp"

namespace sitewave::python {

namespace {

// What a record or a profile made from arrays is called in messages and run.json.
constexpr const char* array_name = "<array>";

std::string shown(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

float time_step_of(double dt) {
  const auto step = static_cast<float>(dt);
  if (!std::isfinite(dt) || !(step > 0.0f) || !std::isfinite(step)) {
    throw py::value_error("Record: dt " + shown(dt) + ": a positive time step in s is expected");
  }
  return step;
}

std::vector<std::string> component_titles(std::optional<std::vector<std::string>> names,
                                          std::size_t components) {
  if (!names) return {cli::component_names.begin(), cli::component_names.begin() + components};
  if (names->size() != components) {
    throw py::value_error("Record: " + std::to_string(names->size()) + " names for " +
                          std::to_string(components) + " components: one name per column is "
                                                       "expected");
  }
  for (const std::string& n : *names) {
    if (n.empty() || n.size() > 10 || n.find_first_of(",\n\r\"") != std::string::npos) {
      throw py::value_error("Record: name '" + n + "': 1 to 10 characters without commas, "
                            "quotes or line ends are expected");
    }
  }
  return *names;
}

// Samples in rows, one column per component (a single column may be 1-D).
cli::record record_of_arrays(double dt, py::handle samples,
                             std::optional<std::vector<std::string>> names, std::string unit) {
  const float step = time_step_of(dt);
  const real_array a = real_array_of(samples, "Record: samples", 1, 2);
  const auto rows = static_cast<std::size_t>(a.shape(0));
  const std::size_t components = a.ndim() == 2 ? static_cast<std::size_t>(a.shape(1)) : 1;
  if (components < 1 || components > 3) {
    throw py::value_error("Record: samples of shape (" + std::to_string(rows) + ", " +
                          std::to_string(components) +
                          "): one to three columns (H1, H2, V1) are expected");
  }
  if (const auto problem = record_problem(static_cast<long long>(rows), step)) {
    throw py::value_error("Record: " + *problem);
  }
  cli::record r;
  r.format = "array";
  r.paths = {array_name};
  r.unit = std::move(unit);
  r.components = components;
  const std::vector<std::string> titles = component_titles(std::move(names), components);
  const double* v = a.data();
  for (std::size_t c = 0; c < components; ++c) {
    r.titles[c + 1] = textfmt::make_text<10>(titles[c]);
    r.samples[c].resize(rows);
    for (std::size_t i = 0; i < rows; ++i) {
      const double x = v[i * components + c];
      if (!std::isfinite(x) || std::fabs(x) > FLT_MAX) {
        throw py::value_error("Record: sample " + std::to_string(i) + " of column " +
                              titles[c] + " is " + shown(x) +
                              ": finite numbers within single precision are expected");
      }
      r.samples[c][i] = static_cast<float>(x);
    }
  }
  r.time.resize(rows);
  for (std::size_t i = 0; i < rows; ++i) r.time[i] = static_cast<float>(i) * step;
  return r;
}

py::array_t<double> samples_of(const cli::record& r) {
  std::vector<std::span<const float>> columns;
  for (std::size_t c = 0; c < r.components; ++c) columns.emplace_back(r.samples[c]);
  return numpy_columns(columns, r.rows());
}

std::vector<std::string> names_of(const cli::record& r) {
  std::vector<std::string> names;
  for (std::size_t c = 0; c < r.components; ++c) {
    names.emplace_back(textfmt::trimmed(r.titles[c + 1]));
  }
  return names;
}

double dt_of(const cli::record& r) {
  return r.rows() >= 2 ? static_cast<double>(r.time[1] - r.time[0]) : 0.0;
}

// One column of the profile: a number for every row, or one list of them.
std::vector<double> column_values(py::handle value, const char* what, int rows) {
  std::vector<double> v = real_values(value, std::string("Profile: ") + what);
  if (v.size() == 1) v.assign(static_cast<std::size_t>(rows), v.front());
  if (v.size() != static_cast<std::size_t>(rows)) {
    throw py::value_error(std::string("Profile: ") + what + ": " + std::to_string(v.size()) +
                          " values for " + std::to_string(rows) +
                          " rows: one per row (the last is the half-space) is expected");
  }
  return v;
}

void refuse_if(const std::optional<std::string>& problem) {
  if (problem) throw py::value_error("Profile: " + *problem);
}

named_ground profile_of_arrays(py::handle thickness, py::handle density, py::handle vp,
                              py::handle vs, py::handle qp, py::handle qs, py::handle fp,
                              py::handle fs, double angle, const std::string& input) {
  const std::vector<double> velocities = real_values(vs, "Profile: vs");
  const auto rows = static_cast<int>(velocities.size());
  refuse_if(ground::layer_count_problem(rows));
  std::vector<double> thick = real_values(thickness, "Profile: thickness");
  if (thick.size() + 1 == velocities.size()) thick.push_back(0.0);  // the half-space's
  thick = column_values(py::cast(thick), "thickness", rows);
  named_ground m{{}, array_name, {"--soil=" + std::string(array_name)}};
  m.ground.behaviour.resize(static_cast<std::size_t>(rows));
  m.ground.model.angle_deg = static_cast<float>(angle);
  refuse_if(ground::angle_problem(m.ground.model.angle_deg));
  if (input != "incident" && input != "within") {
    throw py::value_error("Profile: input '" + input + "': incident or within is expected");
  }
  m.ground.model.input_type = input == "within" ? 2 : 1;
  ground::layer_table& t = m.ground.model.layers;
  t = ground::layer_table(std::max(rows, ground::ml));
  t.nl = rows;
  const std::vector<double> columns[] = {
      column_values(density, "density", rows), column_values(vp, "vp", rows),
      column_values(qp, "qp", rows),           column_values(fp, "fp", rows),
      velocities,                              column_values(qs, "qs", rows),
      column_values(fs, "fs", rows),           thick};
  for (int l = 1; l <= rows; ++l) {
    const auto i = static_cast<std::size_t>(l - 1);
    float* cells[] = {&t.dns(l), &t.vp(l), &t.qp(l), &t.fp(l),
                      &t.vs(l),  &t.qs(l), &t.fs(l), &t.thk(l)};
    for (std::size_t k = 0; k < std::size(cells); ++k) {
      require_finite(std::span(&columns[k][i], 1), "Profile: row " + std::to_string(l));
      *cells[k] = static_cast<float>(columns[k][i]);
    }
    refuse_if(ground::layer_row_problem(t, l));
    refuse_if(cli::quality_problem(t, l));
  }
  return m;
}

// The columns of the layer table, as Profile shows them (one value per row).
using layer_column = ground::layer_column ground::layer_table::*;
constexpr std::pair<const char*, layer_column> profile_columns[] = {
    {"thickness", &ground::layer_table::thk}, {"density", &ground::layer_table::dns},
    {"vp", &ground::layer_table::vp},         {"vs", &ground::layer_table::vs},
    {"qp", &ground::layer_table::qp},         {"qs", &ground::layer_table::qs},
    {"fp", &ground::layer_table::fp},         {"fs", &ground::layer_table::fs}};

// Records and profiles travel to other processes (a Dask worker, a process
// pool) as their exact single-precision values.
py::bytes bytes_of(std::span<const float> v) {
  return {reinterpret_cast<const char*>(v.data()), v.size_bytes()};
}

std::vector<float> floats_of(const py::bytes& b) {
  const std::string_view raw(b);
  std::vector<float> v(raw.size() / sizeof(float));
  std::memcpy(v.data(), raw.data(), v.size() * sizeof(float));
  return v;
}

py::tuple record_state(const cli::record& r) {
  py::list titles, samples;
  for (const auto& t : r.titles) titles.append(std::string(t.begin(), t.end()));
  for (const auto& column : r.samples) samples.append(bytes_of(column));
  return py::make_tuple(r.format, r.paths, r.unit, r.components, titles, bytes_of(r.time),
                        samples);
}

cli::record record_of_state(const py::tuple& state) {
  if (state.size() != 7) throw py::value_error("Record: not a pickled record");
  cli::record r;
  r.format = state[0].cast<std::string>();
  r.paths = state[1].cast<std::vector<std::string>>();
  r.unit = state[2].cast<std::string>();
  r.components = state[3].cast<std::size_t>();
  const auto titles = state[4].cast<std::vector<std::string>>();
  for (std::size_t k = 0; k < r.titles.size() && k < titles.size(); ++k) {
    r.titles[k] = textfmt::make_text<10>(titles[k]);
  }
  r.time = floats_of(state[5].cast<py::bytes>());
  const auto samples = state[6].cast<std::vector<py::bytes>>();
  for (std::size_t c = 0; c < r.samples.size() && c < samples.size(); ++c) {
    r.samples[c] = floats_of(samples[c]);
  }
  const bool whole = r.components >= 1 && r.components <= 3 && !r.paths.empty() &&
                     std::all_of(r.samples.begin(), r.samples.begin() + r.components,
                                 [&](const auto& c) { return c.size() == r.time.size(); });
  if (!whole) throw py::value_error("Record: not a pickled record");
  return r;
}

py::tuple profile_state(const named_ground& p) {
  py::list columns, behaviour;
  const ground::layer_table& t = p.ground.model.layers;
  const auto rows = static_cast<std::size_t>(t.nl);
  for (const auto& [name, field] : profile_columns) {
    columns.append(bytes_of(std::span(&(t.*field)(1), rows)));
  }
  for (const cli::soil_behaviour& b : p.ground.behaviour) {
    if (b.curve) {
      throw py::type_error("Profile " + p.name + ": a profile with soil curves is not "
                           "pickled; read it where it is analysed");
    }
    behaviour.append(py::make_tuple(b.name, b.damping, b.below_water_table, b.k0));
  }
  const cli::ground_model& m = p.ground.model;
  return py::make_tuple(p.name, p.words, m.angle_deg, m.input_type, m.vertical, t.nl, columns,
                        behaviour);
}

named_ground profile_of_state(const py::tuple& state) {
  if (state.size() != 8) throw py::value_error("Profile: not a pickled profile");
  named_ground p{{}, state[0].cast<std::string>(), state[1].cast<std::vector<std::string>>()};
  cli::ground_model& m = p.ground.model;
  m.angle_deg = state[2].cast<float>();
  m.input_type = state[3].cast<int>();
  m.vertical = state[4].cast<bool>();
  const int rows = state[5].cast<int>();
  if (rows < 1 || rows > 100000) throw py::value_error("Profile: not a pickled profile");
  m.layers = ground::layer_table(std::max(rows, ground::ml));
  m.layers.nl = rows;
  const auto columns = state[6].cast<std::vector<py::bytes>>();
  const auto behaviour = state[7].cast<std::vector<py::tuple>>();
  if (columns.size() != std::size(profile_columns) ||
      behaviour.size() != static_cast<std::size_t>(rows)) {
    throw py::value_error("Profile: not a pickled profile");
  }
  for (std::size_t k = 0; k < columns.size(); ++k) {
    const std::vector<float> v = floats_of(columns[k]);
    if (v.size() != static_cast<std::size_t>(rows)) {
      throw py::value_error("Profile: not a pickled profile");
    }
    for (std::size_t l = 0; l < v.size(); ++l) {
      (m.layers.*profile_columns[k].second)(static_cast<int>(l + 1)) = v[l];
    }
  }
  for (const py::tuple& b : behaviour) {
    p.ground.behaviour.push_back({b[0].cast<std::string>(), std::nullopt, "",
                                  b[1].cast<std::optional<double>>(), b[2].cast<bool>(),
                                  b[3].cast<double>()});
  }
  return p;
}

// The ground the options name, read as the command reads it.
named_ground ground_of_options(std::vector<std::string> words) {
  const std::vector<std::string_view> views(words.begin(), words.end());
  const cli::arguments args(views, cli::run_option_specs(), "sitewave run");
  cli::run_options o;
  const auto problems = cli::read_each_option<cli::run_options>(args, cli::run_option_table, o);
  if (!problems.empty()) throw cli::option_error(problems.front());
  py::gil_scoped_release unlocked;
  cli::ground_profile ground = cli::read_ground(o);
  return {std::move(ground), cli::ground_file(o), std::move(words)};
}

// The words that read a ground file, with the options given.
std::vector<std::string> ground_words(std::string option, const std::string& path,
                                      std::optional<double> water_table,
                                      std::optional<std::string> curves) {
  std::vector<std::string> words{"--" + option + "=" + path};
  if (water_table) words.push_back("--water-table=" + py::repr(py::float_(*water_table)).cast<std::string>());
  if (curves) words.push_back("--curves=" + *curves);
  return words;
}

void bind_record(py::module_& m) {
  py::class_<cli::record, std::shared_ptr<cli::record>>(m, "Record", R"(A ground-motion record.

Record(dt, samples, names=None, unit="") makes one from arrays: dt, the time
step in s; samples, an array of shape (n,) or (n, k) with k = 1 to 3
columns H1, H2, V1 (acceleration, kept in single precision as the command
keeps a record); names, the columns' titles (at most 10 characters); unit,
the unit of the samples ("g", "m/s2", "cm/s2", "gal", "mm/s2" or a label).
read_record and read_at2 read one from files.)")
      .def(py::init(&record_of_arrays), py::arg("dt"), py::arg("samples"),
           py::arg("names") = py::none(), py::arg("unit") = "")
      .def_property_readonly("dt", &dt_of, "time step in s")
      .def_property_readonly("array", &samples_of, "samples, float64 of shape (n, k)")
      .def_property_readonly(
          "time", [](const cli::record& r) { return numpy_of(std::span<const float>(r.time)); },
          "times of the rows in s")
      .def_property_readonly("names", &names_of, "titles of the component columns")
      .def_property_readonly("unit", [](const cli::record& r) { return r.unit; })
      .def_property_readonly("paths", [](const cli::record& r) { return r.paths; })
      .def_property_readonly("format", [](const cli::record& r) { return r.format; })
      .def("__len__", &cli::record::rows)
      .def(py::pickle(&record_state, &record_of_state))
      .def("__repr__", [](const cli::record& r) {
        std::string names;
        for (const std::string& n : names_of(r)) names += (names.empty() ? "" : ", ") + n;
        return "<Record " + r.paths.front() + ": " + std::to_string(r.rows()) + " rows, dt " +
               shown(dt_of(r)) + " s, " + names + ">";
      });
  m.def(
      "read_record",
      [](const std::string& path) {
        py::gil_scoped_release unlocked;
        return std::make_shared<cli::record>(cli::read_csv_record(path));
      },
      py::arg("path"),
      "Reads a record in the command's format (a title line, then rows of time and H1, H2, "
      "V1).");
  m.def(
      "read_at2",
      [](const std::vector<std::string>& paths) {
        if (paths.empty() || paths.size() > 3) {
          throw py::value_error("read_at2: one to three .AT2 files (H1, H2, V) are expected");
        }
        const std::vector<std::filesystem::path> files(paths.begin(), paths.end());
        py::gil_scoped_release unlocked;
        return std::make_shared<cli::record>(cli::read_at2_record(files));
      },
      py::arg("paths"), "Reads one to three .AT2 files, one per component H1, H2, V.");
}

void bind_profile(py::module_& m) {
  py::class_<named_ground, std::shared_ptr<named_ground>> profile(m, "Profile", R"(Layers over a half-space.

Profile(*, thickness, density, vp, vs, qp, qs, fp=0, fs=0, angle=0, input="incident")
makes one from one value per row, from the surface down, the last row the
half-space (thickness may leave it out): thickness in m, density, vp and vs
in m/s, qp and qs the quality factors Q0 of Q(f) = max(Q0, Q0 f^F) with F
from fp and fs. A single number stands for every row. angle is the
incidence angle in the half-space in degrees, input the file's input wave
type ("incident" or "within"); analyse may override both. read_soil reads
one from the dialogue's ground model file.)");
  profile.def(py::pickle(&profile_state, &profile_of_state));
  profile.def(py::init(&profile_of_arrays), py::kw_only(), py::arg("thickness"), py::arg("density"),
           py::arg("vp"), py::arg("vs"), py::arg("qp"), py::arg("qs"), py::arg("fp") = 0.0,
           py::arg("fs") = 0.0, py::arg("angle") = 0.0, py::arg("input") = "incident")
      .def_property_readonly("rows", [](const named_ground& p) { return p.ground.model.layers.nl; })
      .def_property_readonly("name", [](const named_ground& p) { return p.name; })
      .def_property_readonly("angle",
                             [](const named_ground& p) { return double{p.ground.model.angle_deg}; })
      .def_property_readonly("input",
                             [](const named_ground& p) {
                               return p.ground.model.input_type == 2 ? "within" : "incident";
                             })
      .def("__repr__", [](const named_ground& p) {
        return "<Profile " + p.name + ": " + std::to_string(p.ground.model.layers.nl - 1) +
               " layers over a half-space, angle " + shown(p.ground.model.angle_deg) + ">";
      });
  for (const auto& [name, field] : profile_columns) {
    profile.def_property_readonly(name, [field = field](const named_ground& p) {
      std::vector<double> v;
      for (int l = 1; l <= p.ground.model.layers.nl; ++l) v.push_back((p.ground.model.layers.*field)(l));
      return numpy_of(std::span<const double>(v));
    });
  }
  profile.def_property_readonly("layer_names", [](const named_ground& p) {
    std::vector<std::string> names;
    for (const cli::soil_behaviour& b : p.ground.behaviour) names.push_back(b.name);
    return names;
  });
  profile.def_property_readonly("curves", [](const named_ground& p) {
    std::vector<std::string> labels;
    for (const cli::soil_behaviour& b : p.ground.behaviour) labels.push_back(b.curve_label);
    return labels;
  });
  profile.def_property_readonly("warnings", [](const named_ground& p) { return p.ground.warnings; });
  m.def(
      "read_soil",
      [](const std::string& path, std::optional<double> water_table) {
        return std::make_shared<named_ground>(
            ground_of_options(ground_words("soil", path, water_table, std::nullopt)));
      },
      py::arg("path"), py::arg("water_table") = py::none(),
      "Reads a ground model file in the dialogue's format (soil_dat.csv).");
  m.def(
      "read_profile",
      [](const std::string& path, std::optional<double> water_table,
         std::optional<std::string> curves) {
        return std::make_shared<named_ground>(
            ground_of_options(ground_words("profile", path, water_table, curves)));
      },
      py::arg("path"), py::arg("water_table") = py::none(), py::arg("curves") = py::none(),
      "Reads a headed layer profile (thickness_m, vs_mps, density_t_m3, damping, curve, ...).");
}

}  // namespace

void bind_inputs(py::module_& m) {
  bind_record(m);
  bind_profile(m);
}

}  // namespace sitewave::python
