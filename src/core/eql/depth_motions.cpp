// The record's SH wave at chosen depths: per line one wave field, and per
// depth its total and outcrop accelerations packed into one spectrum, so one
// inverse transform gives both histories.
#include <vector>

#include "core/eql/equivalent_linear.hpp"
#include "core/eql/input_checks.hpp"
#include "core/eql/record_lines.hpp"

namespace sitewave::eql {

std::vector<depth_motion> motions_at(std::span<const exact::layer_row> rows,
                                     const record_input& record, std::span<const double> depths,
                                     const work_control& control) {
  check_record(record);
  std::vector<exact::row_depth> where;
  where.reserve(depths.size());
  for (const double d : depths) where.push_back(exact::locate(rows, d));
  const record_lines lines(record);
  std::vector<channel> spectra(depths.size(), lines.make_channel());
  const bool swept =
      lines.sweep(rows, control, [&](const exact::sh_wavefield& field, const record_lines::line& l) {
        for (std::size_t i = 0; i < where.size(); ++i) {
          const exact::sh_point at = field.at(where[i]);
          lines.put(spectra[i], l.k, at.displacement * l.acceleration, at.outcrop * l.acceleration);
        }
      });
  std::vector<depth_motion> out(depths.size());
  const bool done = swept && for_each_block(depths.size(), 1, control, [&](std::size_t first,
                                                                           std::size_t last) {
    const double scale = 1.0 / static_cast<double>(lines.size());
    for (std::size_t i = first; i < last; ++i) {
      lines.to_time(spectra[i]);
      out[i].depth = depths[i];
      out[i].within.resize(lines.size());
      out[i].outcrop.resize(lines.size());
      for (std::size_t t = 0; t < lines.size(); ++t) {
        out[i].within[t] = spectra[i].re[t] * scale;
        out[i].outcrop[t] = spectra[i].im[t] * scale;
      }
    }
  });
  if (!done) return {};
  return out;
}

}  // namespace sitewave::eql
