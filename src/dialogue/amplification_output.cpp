// One pass over the frequency grid: the moduli of the four amplifications go
// to Amp-Factors.csv, and the spectra take the column that the input wave
// type selects (SH for H1 and H2, P-SV for V1).
#include "dialogue/steps.hpp"
#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/write.hpp"

namespace sitewave::dialogue {

namespace {

constexpr int amp_unit = 9;
constexpr textio::layout amp_row{"(F8.4,6(',',E12.4))"};

}  // namespace

void apply_amplification(run_storage& s) {
  textio::open(amp_unit, "Amp-Factors.csv", textio::open_status::unknown);
  textio::write_list(amp_unit, "frequency (Hz),Samp1,Samp2,Pamp1,Pamp2");
  for (int i = 1; i <= s.nom; ++i) {
    const float om = static_cast<float>(i - 1) * s.dom;
    const float freq = om / two_pi;
    textio::write_formatted(amp_unit, amp_row, freq, cmod(s.samp(i, 1)), cmod(s.samp(i, 2)),
                            cmod(s.pamp(i, 1)), cmod(s.pamp(i, 2)));

    s.fx1(i) = s.fx1(i) * s.samp(i, s.nin);
    s.fy1(i) = s.fy1(i) * s.samp(i, s.nin);
    s.fz1(i) = s.fz1(i) * s.pamp(i, s.nin);
    s.xr1(i) = s.fx1(i).re;
    s.xi1(i) = s.fx1(i).im;
    s.yr1(i) = s.fy1(i).re;
    s.yi1(i) = s.fy1(i).im;
    s.zr1(i) = s.fz1(i).re;
    s.zi1(i) = s.fz1(i).im;
  }
  textio::close(amp_unit);
}

}  // namespace sitewave::dialogue
