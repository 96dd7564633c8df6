// The linear response of one or two horizontal components through the same
// rows, from one wave-field pass per line for both: the field depends on the
// rows alone, and each component only scales it by its own spectrum. Two
// real histories share each channel (the components' accelerations, or
// their stresses), so a row costs one inverse transform for its peak
// accelerations and, with strains, three more.
#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "core/eql/equivalent_linear.hpp"
#include "core/eql/input_checks.hpp"
#include "core/eql/record_lines.hpp"

namespace sitewave::eql {

namespace {

using zd = std::complex<double>;

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

// Channels of every row: accelerations at its top (component 1 + i·2); with
// strains, γyz + i·γxy at its middle (the half-space: its top) per
// component, and the stresses there (1 + i·2).
struct pass_channels {
  std::vector<channel> motion, strain1, strain2, stress;
};

}  // namespace

std::vector<layer_profile> linear_responses_through(std::span<const exact::layer_row> rows,
                                                    std::span<const record_input> records,
                                                    const eql_settings& settings, bool strains,
                                                    const work_control& control) {
  if (records.empty() || records.size() > 2) {
    throw std::invalid_argument("record: one or two horizontal components are expected");
  }
  for (const record_input& r : records) check_record(r);
  check_settings(settings);
  const record_lines first(records[0]);
  const std::optional<record_lines> second =
      records.size() == 2 ? std::optional<record_lines>(records[1]) : std::nullopt;
  const std::size_t n_rows = rows.size();
  const std::size_t base = n_rows - 1;
  pass_channels ch;
  ch.motion.assign(n_rows, first.make_channel());
  if (strains) {
    ch.strain1.assign(n_rows, first.make_channel());
    if (second) ch.strain2.assign(n_rows, first.make_channel());
    ch.stress.assign(n_rows, first.make_channel());
  }
  const bool swept = first.sweep(
      rows, control, [&](const exact::sh_wavefield& field, const record_lines::line& l) {
        // The second component's factors from its own spectrum, on the same field.
        const zd per_reference2 =
            second ? second->spectrum_at(l.k) / field.reference(first.kind()) : zd(0.0);
        const double w = first.omega(l.k);
        const zd displacement2 = -per_reference2 / (w * w);
        for (std::size_t j = 0; j <= base; ++j) {
          const exact::sh_point top = field.top(j);
          first.put(ch.motion[j], l.k, top.displacement * l.acceleration,
                    top.displacement * per_reference2);
          if (!strains) continue;
          const exact::sh_point mid = j < base ? field.middle(j) : top;
          first.put(ch.strain1[j], l.k, mid.strain_yz * l.displacement,
                    mid.strain_xy * l.displacement);
          if (second) {
            first.put(ch.strain2[j], l.k, mid.strain_yz * displacement2,
                      mid.strain_xy * displacement2);
          }
          first.put(ch.stress[j], l.k, mid.stress_yz * l.displacement,
                    mid.stress_yz * displacement2);
        }
      });
  if (!swept) return {};
  std::vector<layer_profile> out(records.size());
  for (layer_profile& p : out) {
    p.layers.resize(n_rows);
    p.rows.assign(rows.begin(), rows.end());
  }
  const bool done = for_each_block(n_rows, 1, control, [&](std::size_t from, std::size_t to) {
    for (std::size_t j = from; j < to; ++j) {
      first.to_time(ch.motion[j]);
      const two_peaks pga = peaks_of(ch.motion[j]);
      out[0].layers[j].pga = pga.a;
      if (second) out[1].layers[j].pga = pga.b;
      if (!strains) continue;
      first.to_time(ch.strain1[j]);
      out[0].layers[j].max_strain = peak_of(ch.strain1[j]);
      if (second) {
        first.to_time(ch.strain2[j]);
        out[1].layers[j].max_strain = peak_of(ch.strain2[j]);
      }
      first.to_time(ch.stress[j]);
      const two_peaks stress = peaks_of(ch.stress[j]);
      out[0].layers[j].max_stress = stress.a;
      if (second) out[1].layers[j].max_stress = stress.b;
    }
  });
  if (!done) return {};
  for (layer_profile& p : out) {
    for (std::size_t j = 0; j < n_rows; ++j) {
      layer_result& r = p.layers[j];
      r.modulus_ratio = 1.0;
      r.damping = std::isfinite(rows[j].qs) ? 0.5 / rows[j].qs : 0.0;
      r.vs = rows[j].vs;
      r.effective_strain = settings.strain_ratio * r.max_strain;
    }
  }
  return out;
}

}  // namespace sitewave::eql
