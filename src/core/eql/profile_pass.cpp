// One linear analysis: the strain, stress and acceleration spectra of every
// row are filled from the same wave field per line, so the strain histories
// an iteration needs cost one inverse transform per layer, and the rest of a
// row's results one more each, only for the analysis that is kept.
#include "core/eql/profile_pass.hpp"

#include <algorithm>
#include <cmath>

namespace sitewave::eql {

namespace {

using zd = std::complex<double>;

// Peaks of |a| and |b| over a channel brought back to time, divided by N.
struct two_peaks {
  double a, b;
};

two_peaks peaks_of(const channel& c) {
  double a = 0.0, b = 0.0;
  for (std::size_t i = 0; i < c.re.size(); ++i) {
    a = std::max(a, std::abs(c.re[i]));
    b = std::max(b, std::abs(c.im[i]));
  }
  const auto n = static_cast<double>(c.re.size());
  return {a / n, b / n};
}

}  // namespace

profile_pass::profile_pass(const record_input& record, std::size_t rows)
    : lines_(record),
      strain_(rows - 1, lines_.make_channel()),
      base_strain_(lines_.make_channel()),
      stress_and_motion_(rows, lines_.make_channel()),
      strains_(rows - 1, 0.0) {}

bool profile_pass::analyse(std::span<const exact::layer_row> rows, const work_control& control) {
  const std::size_t base = rows.size() - 1;
  const bool swept =
      lines_.sweep(rows, control, [&](const exact::sh_wavefield& field, const record_lines::line& l) {
        for (std::size_t j = 0; j <= base; ++j) {
          const exact::sh_point top = field.top(j);
          const exact::sh_point mid = j < base ? field.middle(j) : top;
          lines_.put(j < base ? strain_[j] : base_strain_, l.k, mid.strain_yz * l.displacement,
                     mid.strain_xy * l.displacement);
          lines_.put(stress_and_motion_[j], l.k, mid.stress_yz * l.displacement,
                     top.displacement * l.acceleration);
        }
      });
  if (!swept) return false;
  return for_each_block(base, 1, control, [&](std::size_t first, std::size_t last) {
    for (std::size_t j = first; j < last; ++j) {
      lines_.to_time(strain_[j]);
      strains_[j] = peak_of(strain_[j]);
    }
  });
}

std::vector<layer_result> profile_pass::results(std::span<const soil_layer> layers,
                                                std::span<const layer_properties> used,
                                                double strain_ratio, const work_control& control) {
  const std::size_t rows = layers.size();
  std::vector<layer_result> out(rows);
  const bool done = for_each_block(rows + 1, 1, control, [&](std::size_t first, std::size_t last) {
    for (std::size_t j = first; j < last; ++j) {
      if (j == rows) {  // the half-space's strain, left out of the iterations
        lines_.to_time(base_strain_);
        out[rows - 1].max_strain = peak_of(base_strain_);
        continue;
      }
      lines_.to_time(stress_and_motion_[j]);
      const two_peaks peaks = peaks_of(stress_and_motion_[j]);
      out[j].max_stress = peaks.a;
      out[j].pga = peaks.b;
    }
  });
  if (!done) return {};
  for (std::size_t j = 0; j < rows; ++j) {
    layer_result& r = out[j];
    if (j + 1 < rows) r.max_strain = strains_[j];
    r.modulus_ratio = used[j].modulus_ratio;
    r.damping = used[j].damping;
    r.vs = layers[j].vs * std::sqrt(r.modulus_ratio);
    r.effective_strain = strain_ratio * r.max_strain;
  }
  return out;
}

}  // namespace sitewave::eql
