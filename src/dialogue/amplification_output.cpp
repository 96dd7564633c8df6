// One pass over the frequency grid: the moduli of the four amplifications go
// to Amp-Factors.csv, and the spectra take the column that the input wave
// type selects (SH for H1 and H2, P-SV for V1).
#include "core/shaping/shaping.hpp"
#include "dialogue/steps.hpp"
#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/write.hpp"
#include "textfmt/result_rows.hpp"

namespace sitewave::dialogue {

namespace {

constexpr int amp_unit = 9;
using textfmt::amp_row;

}  // namespace

void apply_amplification(run_storage& s) {
  textio::open(amp_unit, textfmt::amp_factors_file, textio::open_status::unknown);
  textio::write_list(amp_unit, textfmt::amp_factors_title);
  for (int i = 1; i <= s.nom; ++i) {
    const float om = static_cast<float>(i - 1) * s.dom;
    const float freq = om / two_pi;
    textio::write_formatted(amp_unit, amp_row, freq, cmod(s.samp(i, 1)), cmod(s.samp(i, 2)),
                            cmod(s.pamp(i, 1)), cmod(s.pamp(i, 2)));
  }
  textio::close(amp_unit);

  const auto lines = static_cast<std::size_t>(s.nom);
  const auto sh = s.samp.columns().column(s.nin).first(lines);
  const auto psv = s.pamp.columns().column(s.nin).first(lines);
  shaping::amplify(s.fx1.all(), sh);
  shaping::amplify(s.fy1.all(), sh);
  shaping::amplify(s.fz1.all(), psv);
}

}  // namespace sitewave::dialogue
