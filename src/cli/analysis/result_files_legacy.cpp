// The dialogue's three result files, built with the same layouts and the
// same single-precision values: frequencies from the grid, moduli of the
// single-precision spectra, waveforms relative to their first sample.
#include "cli/analysis/result_files.hpp"
#include "textfmt/records.hpp"
#include "textfmt/result_rows.hpp"

namespace sitewave::cli {

namespace {

// Characters of a data row with its line feed, and room for the title line.
constexpr std::size_t amp_row_room = 62;
constexpr std::size_t spectrum_row_room = 49;
constexpr std::size_t wave_row_room = 49;
constexpr std::size_t title_room = 128;

}  // namespace

std::string amp_factors_csv(const analysis& a) {
  textfmt::string_sink out(static_cast<std::size_t>(a.grid.nom) * amp_row_room + title_room);
  textfmt::list_into(out, textfmt::amp_factors_title);
  for (int i = 1; i <= a.grid.nom; ++i) {
    const auto k = static_cast<std::size_t>(i - 1);
    const float om = static_cast<float>(i - 1) * a.grid.dom;
    const float freq = om / two_pi;
    const auto& c = a.columns;
    textfmt::format_into(out, textfmt::amp_row, freq, cmod(c.sh_incident[k]), cmod(c.sh_within[k]),
                         cmod(c.vertical_incident[k]), cmod(c.vertical_within[k]));
  }
  return std::move(out.text);
}

std::string spectrum_csv(const analysis& a, const record& r) {
  textfmt::string_sink out(static_cast<std::size_t>(a.grid.nom) * spectrum_row_room + title_room);
  textfmt::list_into(out, textfmt::spectrum_title, r.titles[1], ",", r.titles[2], ",", r.titles[3]);
  const float pi2 = shaping::pi2();
  for (int k = 2; k <= a.grid.nom; ++k) {
    const auto line = static_cast<std::size_t>(k - 1);
    const float om = static_cast<float>(k - 1) * a.grid.dom;
    const float f = om / pi2;
    textfmt::format_into(out, textfmt::spectrum_row, f, cmod(a.shaped[0][line]),
                         cmod(a.shaped[1][line]), cmod(a.shaped[2][line]));
  }
  return std::move(out.text);
}

float sample_time(const record& r, const analysis& a, int i) {
  if (i < a.nt) return r.time[static_cast<std::size_t>(i)];
  const float offset = static_cast<float>(i + 1 - a.nt) * a.dt;
  return r.time[static_cast<std::size_t>(a.nt - 1)] + offset;
}

std::string wave_csv(const analysis& a, const record& r) {
  textfmt::string_sink out(static_cast<std::size_t>(a.nf) * wave_row_room + title_room);
  textfmt::list_into(out, r.titles[0], ",", r.titles[1], ",", r.titles[2], ",", r.titles[3]);
  const auto& [x, y, z] = a.surface;
  for (std::size_t i = 0; i < static_cast<std::size_t>(a.nf); ++i) {
    textfmt::format_into(out, textfmt::wave_row, sample_time(r, a, static_cast<int>(i)),
                         x[i] - x[0], y[i] - y[0], z[i] - z[0]);
  }
  return std::move(out.text);
}

}  // namespace sitewave::cli
