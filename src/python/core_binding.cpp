// The core's functions on plain arrays: transfer functions of a profile at
// any frequencies, response spectra of an acceleration series and
// Konno-Ohmachi smoothing, each with the GIL released while it computes.
#include <pybind11/stl.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <stdexcept>

#include "cli/analysis/analysis.hpp"
#include "core/exact/exact_transfer.hpp"
#include "core/ground/amp_table.hpp"
#include "core/ground/amplification.hpp"
#include "core/response/konno_ohmachi.hpp"
#include "core/response/response_spectrum.hpp"
#include "python/arrays.hpp"
#include "python/bindings.hpp"
#include "python/memory_run.hpp"

namespace sitewave::python {

namespace {

using cvector = std::vector<std::complex<double>>;

// One wave's transfer functions for the three kinds of record.
struct referred {
  cvector incident, within, outcrop;

  py::dict to_python() const {
    py::dict d;
    d["incident"] = numpy_of(std::span(incident));
    d["within"] = numpy_of(std::span(within));
    d["outcrop"] = numpy_of(std::span(outcrop));
    return d;
  }
};

work_control control_of(std::optional<int> threads) {
  if (threads && (*threads < 1 || *threads > 1024)) {
    throw py::value_error("threads " + std::to_string(*threads) +
                          ": a whole number from 1 is expected");
  }
  return {threads ? std::min(*threads, max_threads) : thread_count(std::getenv("SITEWAVE_THREADS")),
          nullptr};
}

float checked_angle(double degrees) {
  const auto angle = static_cast<float>(degrees);
  if (!(degrees >= 0.0 && angle < 90.0f)) {
    throw py::value_error("angle " + std::to_string(degrees) +
                          ": an incidence angle from 0 up to (not including) 90 degrees is "
                          "expected");
  }
  return angle;
}

py::dict exact_transfer_of(const named_ground& p, const std::vector<double>& hz, float angle,
                           const work_control& control) {
  const std::vector<exact::layer_row> rows = exact::rows_of(p.ground.model.layers);
  const double theta = static_cast<double>(angle) * cli::radians_per_degree;
  std::vector<exact::transfer_at> lines(hz.size());
  {
    py::gil_scoped_release unlocked;
    try {
      for_each_block(hz.size(), 64, control, [&](std::size_t first, std::size_t last) {
        for (std::size_t i = first; i < last; ++i) {
          lines[i] = exact::exact_transfer_at(rows, theta, 2.0 * std::numbers::pi * hz[i]);
        }
      });
    } catch (const std::invalid_argument& e) {
      throw std::invalid_argument(p.name + ": the exact physics cannot take this model: " +
                                  e.what());
    }
  }
  referred sh, vertical, radial;
  for (const exact::transfer_at& t : lines) {
    sh.incident.push_back(t.sh_incident);
    sh.within.push_back(t.sh_within);
    sh.outcrop.push_back(t.sh_incident / 2.0);
    vertical.incident.push_back(t.vertical_incident);
    vertical.within.push_back(t.vertical_within);
    vertical.outcrop.push_back(t.vertical_incident / t.vertical_free_surface);
    radial.incident.push_back(t.radial_incident);
    radial.within.push_back(t.radial_within);
    radial.outcrop.push_back(t.radial_incident / t.vertical_free_surface);
  }
  py::dict out;
  out["sh"] = sh.to_python();
  out["vertical"] = vertical.to_python();
  out["radial"] = radial.to_python();
  return out;
}

// The legacy tables are made on an evenly spaced grid, in single precision.
py::dict legacy_transfer_of(const named_ground& p, const std::vector<double>& hz, float angle,
                            const work_control& control) {
  const std::size_t n = hz.size();
  const double step = n > 1 ? (hz.back() - hz.front()) / static_cast<double>(n - 1) : 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double expected = hz.front() + static_cast<double>(i) * step;
    if (std::fabs(hz[i] - expected) > 1e-6 * std::max(std::fabs(step), std::fabs(hz.back()))) {
      throw py::value_error("freqs_hz: entry " + std::to_string(i) + " is " +
                            std::to_string(hz[i]) +
                            ": evenly spaced frequencies are expected for the legacy physics");
    }
  }
  const auto two_pi = static_cast<float>(2.0 * std::numbers::pi);
  const int nom = static_cast<int>(n);
  ground::amp_table sh(nom), psv(nom);
  {
    py::gil_scoped_release unlocked;
    const float fom = two_pi * static_cast<float>(hz.front());
    const float dom = two_pi * static_cast<float>(step);
    const float theta = angle * ground::radians_per_degree_single;  // as the dialogue converts
    ground::sbshml(fom, dom, nom, p.ground.model.layers, theta, sh.columns(), control);
    ground::sbudml(fom, dom, nom, p.ground.model.layers, theta, psv.columns(), control);
  }
  const auto widened = [](cplx z) { return std::complex<double>(z.re, z.im); };
  referred horizontal, vertical;
  for (int i = 1; i <= nom; ++i) {
    horizontal.incident.push_back(widened(sh(i, 1)));
    horizontal.within.push_back(widened(sh(i, 2)));
    horizontal.outcrop.push_back(widened({sh(i, 1).re * 0.5f, sh(i, 1).im * 0.5f}));
    vertical.incident.push_back(widened(psv(i, 1)));
    vertical.within.push_back(widened(psv(i, 2)));
    vertical.outcrop.push_back(widened({psv(i, 1).re * 0.5f, psv(i, 1).im * 0.5f}));
  }
  py::dict out;
  out["sh"] = horizontal.to_python();
  out["vertical"] = vertical.to_python();
  out["radial"] = py::none();
  return out;
}

py::dict transfer(const named_ground& p, py::handle freqs_hz, std::optional<double> angle,
                  const std::string& physics, std::optional<int> threads) {
  const std::vector<double> hz = real_values(freqs_hz, "freqs_hz");
  require_finite(hz, "freqs_hz");
  if (hz.empty()) throw py::value_error("freqs_hz: at least one frequency is expected");
  const float degrees = checked_angle(angle.value_or(p.ground.model.angle_deg));
  const work_control control = control_of(threads);
  py::dict out;
  if (physics == "exact") {
    out = exact_transfer_of(p, hz, degrees, control);
  } else if (physics == "legacy") {
    out = legacy_transfer_of(p, hz, degrees, control);
  } else {
    throw py::value_error("physics '" + physics + "': legacy or exact is expected");
  }
  out["freq_hz"] = numpy_of(std::span(hz));
  return out;
}

py::array_t<double> response_spectrum(py::handle acc, double dt, py::handle periods,
                                      py::handle damping, std::optional<int> threads) {
  const real_array a = real_array_of(acc, "acc", 1, 1);
  const std::vector<double> t = real_values(periods, "periods");
  const bool one_ratio = real_array_of(damping, "damping", 0, 1).ndim() == 0;
  const std::vector<double> ratios = real_values(damping, "damping");
  const std::span<const double> samples(a.data(), static_cast<std::size_t>(a.size()));
  require_finite(samples, "acc");
  require_finite(t, "periods");
  if (samples.empty()) throw py::value_error("acc: at least one sample is expected");
  const work_control control = control_of(threads);
  std::vector<double> psa(ratios.size() * t.size());
  {
    py::gil_scoped_release unlocked;
    for (std::size_t d = 0; d < ratios.size(); ++d) {
      response::pseudo_spectral_acceleration(
          samples, dt, t, ratios[d], std::span(psa).subspan(d * t.size(), t.size()), control);
    }
  }
  py::array_t<double> out = numpy_of(std::span<const double>(psa));
  if (one_ratio) return out;
  return out.reshape({static_cast<py::ssize_t>(ratios.size()), static_cast<py::ssize_t>(t.size())});
}

// The first line of `freqs_hz` on the grid k·df (0 or 1: spectra.csv starts at df).
std::size_t first_line(const std::vector<double>& hz) {
  const std::size_t n = hz.size();
  if (n < 2) throw py::value_error("freqs: at least two frequencies are expected");
  const double df = (hz.back() - hz.front()) / static_cast<double>(n - 1);
  const double first = hz.front() / df;
  const std::size_t line = std::fabs(first) < 1e-6 ? 0 : 1;
  for (std::size_t i = 0; i < n; ++i) {
    if (!(df > 0.0) || std::fabs(hz[i] / df - static_cast<double>(i + line)) > 1e-6 * (i + 1)) {
      throw py::value_error("freqs: entry " + std::to_string(i) + " is " + std::to_string(hz[i]) +
                            ": evenly spaced frequencies k df from 0 or from df are expected");
    }
  }
  return line;
}

py::array_t<double> konno_ohmachi(py::handle freqs, py::handle amplitudes, double b) {
  const std::vector<double> hz = real_values(freqs, "freqs");
  require_finite(hz, "freqs");
  const std::size_t line = first_line(hz);
  const real_array a = real_array_of(amplitudes, "amplitudes", 1, 2);
  const std::size_t rows = static_cast<std::size_t>(a.shape(0));
  const std::size_t columns = a.ndim() == 2 ? static_cast<std::size_t>(a.shape(1)) : 1;
  if (rows != hz.size()) {
    throw py::value_error("amplitudes: " + std::to_string(rows) + " rows for " +
                          std::to_string(hz.size()) + " frequencies: one per frequency is expected");
  }
  require_finite(std::span(a.data(), static_cast<std::size_t>(a.size())), "amplitudes");
  py::array_t<double> out(a.request().shape);
  double* smoothed = out.mutable_data();
  const double df = (hz.back() - hz.front()) / static_cast<double>(hz.size() - 1);
  {
    py::gil_scoped_release unlocked;
    std::vector<double> in(rows + line), result(rows + line);
    for (std::size_t c = 0; c < columns; ++c) {
      for (std::size_t i = 0; i < rows; ++i) in[i + line] = a.data()[i * columns + c];
      response::konno_ohmachi(in, df, b, result);
      for (std::size_t i = 0; i < rows; ++i) smoothed[i * columns + c] = result[i + line];
    }
  }
  return out;
}

}  // namespace

void bind_core(py::module_& m) {
  m.def("transfer", &transfer, py::arg("profile"), py::arg("freqs_hz"),
        py::arg("angle") = py::none(), py::arg("physics") = "exact",
        py::arg("threads") = py::none());
  m.def("response_spectrum", &response_spectrum, py::arg("acc"), py::arg("dt"),
        py::arg("periods"), py::arg("damping") = 0.05, py::arg("threads") = py::none());
  m.def("konno_ohmachi", &konno_ohmachi, py::arg("freqs"), py::arg("amplitudes"),
        py::arg("b") = 40.0);
  m.def("default_periods", [] {
    const std::vector<double> periods = response::default_periods();
    return numpy_of(std::span(periods));
  });
}

}  // namespace sitewave::python
