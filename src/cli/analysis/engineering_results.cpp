// Response spectra and smoothed spectra for the results folder: the core's
// double-precision modules fed with the record and the surface motion.
#include "cli/analysis/engineering_results.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <stdexcept>

#include "cli/analysis/result_files.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"
#include "cli/io/line_reader.hpp"
#include "cli/options/arguments.hpp"
#include "core/response/band_limited_parts.hpp"
#include "core/response/konno_ohmachi.hpp"
#include "core/response/response_spectrum.hpp"
#include "core/response/rotd.hpp"

namespace sitewave::cli {

namespace {

bool looks_like_a_list(const std::string& value) {
  return value.find_first_not_of("0123456789.,eE+- ") == std::string::npos;
}

std::vector<double> periods_in_file(const std::string& path) {
  const std::string text = read_small_file(path);
  std::vector<double> periods;
  const char* p = text.c_str();
  int line = 1;
  while (*p != '\0') {
    if (*p == '\n') ++line;
    if (std::isspace(static_cast<unsigned char>(*p)) || *p == ',') {
      ++p;
      continue;
    }
    char* end = nullptr;
    const double t = std::strtod(p, &end);
    if (end == p || !std::isfinite(t)) {
      throw input_error(path + ": line " + std::to_string(line) +
                        ": a period in seconds is expected");
    }
    periods.push_back(t);
    p = end;
  }
  if (periods.empty()) throw input_error(path + ": no periods in the file");
  return periods;
}

std::vector<double> series_of(const std::vector<float>& v, std::size_t count) {
  return std::vector<double>(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(count));
}

bool all_finite(std::span<const double> v) {
  return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

// Lines from the first one that is not finite on: where the legacy recursion
// overflowed, the spectra hold NaN, and so does their smoothing.
std::size_t finite_lines(std::span<const double> v) {
  return static_cast<std::size_t>(
      std::find_if(v.begin(), v.end(), [](double x) { return !std::isfinite(x); }) - v.begin());
}

}  // namespace

std::vector<double> response_periods(const std::optional<std::string>& option) {
  std::vector<double> given;
  if (!option) {
    given = response::default_periods();
  } else if (looks_like_a_list(*option)) {
    given = number_list("periods", *option);
  } else {
    given = periods_in_file(*option);
  }
  for (const double t : given) {
    if (t < 0.0) {
      throw option_error(
          {"periods", option.value_or(""), "periods of 0 s or more are expected", false});
    }
  }
  std::vector<double> periods{0.0};
  for (const double t : given) {
    if (t != 0.0) periods.push_back(t);
  }
  return periods;
}

namespace {

// Every component's spectra at every damping ratio, a component at a time:
// series(c) gives component c in double precision (empty when the motion
// does not have it), made only while its spectra are computed.
motion_spectra spectra_by_component(const std::function<std::vector<double>(std::size_t)>& series,
                                    double dt, std::span<const double> periods,
                                    std::span<const double> damping, const work_control& control) {
  motion_spectra m;
  m.psa.resize(damping.size());
  m.rotd.resize(damping.size());
  const auto psa_of = [&](std::size_t c, const std::vector<double>& accel,
                          response::band_limited_parts* fine) {
    if (accel.empty()) return;  // a component the record does not have
    const bool finite = all_finite(accel);
    for (std::size_t d = 0; d < damping.size(); ++d) {
      auto& psa = m.psa[d][c];
      psa.assign(periods.size(), std::numeric_limits<double>::quiet_NaN());
      if (!finite) continue;
      try {
        response::pseudo_spectral_acceleration(accel, dt, periods, damping[d], psa, control,
                                               fine);
      } catch (const std::invalid_argument& e) {
        throw input_error(std::string("response spectra: ") + e.what());
      }
    }
  };
  psa_of(2, series(2), nullptr);
  // The horizontals are interpolated once for their PSA and their RotD (a
  // record short enough to be one part; a longer one is walked again).
  const std::array<std::vector<double>, 2> horizontal{series(0), series(1)};
  const bool pair = !horizontal[0].empty() && !horizontal[1].empty();
  const int finest = response::finest_interpolation_factor(periods, dt);
  std::array<std::optional<response::band_limited_parts>, 2> fine;
  for (std::size_t c = 0; c < 2; ++c) {
    if (pair) fine[c].emplace(horizontal[c], finest);
    psa_of(c, horizontal[c], pair ? &*fine[c] : nullptr);
  }
  if (m.psa.empty() || !pair) return m;
  const std::vector<double>&h1 = horizontal[0], &h2 = horizontal[1];
  const bool finite = all_finite(h1) && all_finite(h2);
  for (std::size_t d = 0; d < damping.size(); ++d) {
    auto& [median, largest] = m.rotd[d];
    median.assign(periods.size(), std::numeric_limits<double>::quiet_NaN());
    largest = median;
    if (!finite) continue;
    try {
      response::rotd_spectra(h1, h2, dt, periods, damping[d], median, largest, *fine[0],
                             *fine[1], control);
    } catch (const std::invalid_argument& e) {
      throw input_error(std::string("RotD spectra: ") + e.what());
    }
  }
  return m;
}

motion_spectra spectra_of_samples(const std::array<std::vector<float>, 3>& samples, double dt,
                                  std::span<const double> periods, std::span<const double> damping,
                                  const work_control& control) {
  return spectra_by_component(
      [&](std::size_t c) { return series_of(samples[c], samples[c].size()); }, dt, periods,
      damping, control);
}

// RotD50 and RotD100 of a motion at damping d: empty without a pair.
const std::array<std::vector<double>, 2>& rotd_of(const motion_spectra& m, std::size_t d) {
  static const std::array<std::vector<double>, 2> none;
  return d < m.rotd.size() ? m.rotd[d] : none;
}

}  // namespace

motion_spectra spectra_of(const std::array<std::vector<double>, 3>& series, double dt,
                          std::span<const double> periods, std::span<const double> damping,
                          const work_control& control) {
  return spectra_by_component([&](std::size_t c) { return series[c]; }, dt, periods, damping,
                              control);
}

motion_spectra record_spectra(const record& r, std::span<const double> periods,
                              std::span<const double> damping, const work_control& control) {
  const double dt = r.rows() >= 2 ? static_cast<double>(r.time[1] - r.time[0]) : 0.0;
  return spectra_of_samples(r.samples, dt, periods, damping, control);
}

motion_spectra surface_spectra(const analysis& a, std::span<const double> periods,
                               std::span<const double> damping, const work_control& control) {
  return spectra_of_samples(a.surface_acceleration, a.dt, periods, damping, control);
}

std::string response_csv(std::span<const double> periods, std::span<const double> damping,
                         const motion_spectra& input, std::span<const response_location> places) {
  std::vector<std::size_t> present;
  for (std::size_t c = 0; c < 3; ++c) {
    if (!input.psa.empty() && !input.psa[0][c].empty()) present.push_back(c);
  }
  std::string out = "damping,period_s";
  for (const char* prefix : {",in_", ",out_", ",ratio_"}) {
    for (const std::size_t c : present) out.append(prefix).append(component_names[c]);
  }
  out.append(",in_rotd50,in_rotd100,out_rotd50,out_rotd100,ratio_rotd50,location\n");
  // A component a location has no motion of (the vertical at depth) is empty.
  const auto put = [&out](const std::vector<double>& v, std::size_t p, bool peak) {
    out.push_back(',');
    if (v.empty()) return;
    // Period 0 is the peak of the motion, one of its single-precision
    // samples at the surface: written as surface.csv and run.json write it.
    if (peak) {
      append_single(out, static_cast<float>(v[p]));
    } else {
      append_value(out, v[p]);
    }
  };
  for (const response_location& place : places) {
    for (std::size_t d = 0; d < damping.size(); ++d) {
      const auto& in = input.psa[d];
      const auto& sur = place.motion->psa[d];
      for (std::size_t p = 0; p < periods.size(); ++p) {
        append_value(out, damping[d]);
        out.push_back(',');
        append_value(out, periods[p]);
        const bool peak = periods[p] == 0.0;
        for (const std::size_t c : present) put(in[c], p, peak);
        for (const std::size_t c : present) put(sur[c], p, peak && place.surface);
        for (const std::size_t c : present) {
          out.push_back(',');
          if (!sur[c].empty()) append_value(out, sur[c][p] / in[c][p]);
        }
        const auto& in_rotd = rotd_of(input, d);
        const auto& out_rotd = rotd_of(*place.motion, d);
        for (const auto* v : {&in_rotd[0], &in_rotd[1], &out_rotd[0], &out_rotd[1]})
          put(*v, p, false);
        out.push_back(',');
        if (!in_rotd[0].empty() && !out_rotd[0].empty())
          append_value(out, out_rotd[0][p] / in_rotd[0][p]);
        out.push_back(',');
        out += place.name;
        out.push_back('\n');
      }
    }
  }
  return out;
}

std::array<std::vector<double>, 6> smoothed_spectra(const analysis& a,
                                                    std::array<std::vector<double>, 6> raw,
                                                    double bandwidth) {
  std::array<std::vector<double>, 6> smoothed = std::move(raw);
  const double df = 1.0 / (static_cast<double>(a.nf) * a.dt);
  for (auto& spectrum : smoothed) {
    if (spectrum.empty()) continue;  // a component the record does not have
    const std::span<double> finite(spectrum.data(), finite_lines(spectrum));
    response::konno_ohmachi(finite, df, bandwidth, finite);
    std::fill(spectrum.begin() + static_cast<std::ptrdiff_t>(finite.size()), spectrum.end(),
              std::numeric_limits<double>::quiet_NaN());
  }
  return smoothed;
}

}  // namespace sitewave::cli
