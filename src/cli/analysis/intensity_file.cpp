// The core's intensity measures (the acceleration linear between samples,
// integrated exactly from rest) written for each motion and component.
#include "cli/analysis/intensity_file.hpp"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "cli/analysis/result_files.hpp"
#include "cli/inputs/units.hpp"
#include "core/response/intensity.hpp"

namespace sitewave::cli {

namespace {

// One row: a motion that is not finite (an overflowed legacy model) gives
// "nan" throughout, as its response spectra do.
void append_row(std::string& out, std::string_view name, std::span<const float> samples, double dt,
                std::optional<double> unit_m_s2) {
  const double factor = unit_m_s2.value_or(1.0);
  std::vector<double> accel(samples.size());
  std::transform(samples.begin(), samples.end(), accel.begin(),
                 [factor](float v) { return static_cast<double>(v) * factor; });
  const bool finite =
      std::all_of(accel.begin(), accel.end(), [](double v) { return std::isfinite(v); });
  out.append(name);
  const auto put = [&out, finite](double v) {
    out.push_back(',');
    append_value(out, finite ? v : std::nan(""));
  };
  const response::intensity_measures m = response::intensity_of(accel, dt, standard_gravity);
  put(m.pga);
  put(m.pgv);
  put(m.pgd);
  if (unit_m_s2) {
    put(m.arias);
  } else {
    out.push_back(',');  // Arias intensity needs g in the record's unit
  }
  put(m.d5_95);
  put(m.d5_75);
  put(m.cav);
  out.push_back('\n');
}

}  // namespace

std::string intensity_csv(const analysis& a, const record& r, std::optional<double> unit_m_s2) {
  std::string out(intensity_header);
  out.push_back('\n');
  const double dt = static_cast<double>(a.dt);
  for (std::size_t c = 0; c < a.components; ++c) {
    const std::span<const float> samples(r.samples[c].data(), r.rows());
    append_row(out, "in_" + std::string(component_names[c]), samples, dt, unit_m_s2);
  }
  for (std::size_t c = 0; c < a.components; ++c) {
    append_row(out, "out_" + std::string(component_names[c]), a.surface_acceleration[c], dt,
               unit_m_s2);
  }
  return out;
}

}  // namespace sitewave::cli
