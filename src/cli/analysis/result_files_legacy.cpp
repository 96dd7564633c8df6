// The dialogue's three result files, built with the same layouts and the
// same single-precision values: frequencies from the grid, moduli of the
// single-precision spectra, waveforms relative to their first sample.
#include "cli/analysis/result_files.hpp"
#include "textfmt/records.hpp"
#include "textfmt/result_rows.hpp"

namespace sitewave::cli {

namespace {

// Each finished record, with its line feed, into the file's pieces.
class piece_records final : public textfmt::record_sink {
 public:
  explicit piece_records(text_sink& out) : out_(out) {}
  void put(std::string_view record) override {
    out_.text.append(record);
    out_.text.push_back('\n');
    out_.row_end();
  }

 private:
  text_sink& out_;
};

}  // namespace

void amp_factors_csv(const analysis& a, text_sink& sink) {
  piece_records out(sink);
  textfmt::list_into(out, textfmt::amp_factors_title);
  for (int i = 1; i <= a.grid.nom; ++i) {
    const auto k = static_cast<std::size_t>(i - 1);
    const float om = static_cast<float>(i - 1) * a.grid.dom;
    const float freq = om / two_pi;
    const auto& c = a.columns;
    textfmt::format_into(out, textfmt::amp_row, freq, cmod(c.sh_incident[k]), cmod(c.sh_within[k]),
                         cmod(c.vertical_incident[k]), cmod(c.vertical_within[k]));
  }
}

void spectrum_csv(const analysis& a, const record& r, text_sink& sink) {
  piece_records out(sink);
  textfmt::list_into(out, textfmt::spectrum_title, r.titles[1], ",", r.titles[2], ",", r.titles[3]);
  const float pi2 = shaping::pi2();
  for (int k = 2; k <= a.grid.nom; ++k) {
    const auto line = static_cast<std::size_t>(k - 1);
    const float om = static_cast<float>(k - 1) * a.grid.dom;
    const float f = om / pi2;
    textfmt::format_into(out, textfmt::spectrum_row, f, cmod(a.shaped[0][line]),
                         cmod(a.shaped[1][line]), cmod(a.shaped[2][line]));
  }
}

float sample_time(const record& r, const analysis& a, int i) {
  if (i < a.nt) return r.time[static_cast<std::size_t>(i)];
  const float offset = static_cast<float>(i + 1 - a.nt) * a.dt;
  return r.time[static_cast<std::size_t>(a.nt - 1)] + offset;
}

void wave_csv(const analysis& a, const record& r, text_sink& sink) {
  piece_records out(sink);
  textfmt::list_into(out, r.titles[0], ",", r.titles[1], ",", r.titles[2], ",", r.titles[3]);
  const auto& [x, y, z] = a.surface;
  for (std::size_t i = 0; i < static_cast<std::size_t>(a.nf); ++i) {
    textfmt::format_into(out, textfmt::wave_row, sample_time(r, a, static_cast<int>(i)),
                         x[i] - x[0], y[i] - y[0], z[i] - z[0]);
  }
}

}  // namespace sitewave::cli
