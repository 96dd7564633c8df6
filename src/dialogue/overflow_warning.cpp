// The warning a user needs when the layer recursion overflowed: the tables,
// spectra and waveforms of the run then hold NaN or infinite values, although
// every line and file is written as usual.
#include <cmath>
#include <cstdio>

#include "core/spectral/frequency_grid.hpp"
#include "dialogue/steps.hpp"
#include "dialogue/textio/failure.hpp"

namespace sitewave::dialogue {

namespace {

bool finite(cplx c) {
  return std::isfinite(c.re) && std::isfinite(c.im);
}

// The first grid index at which any of the four amplifications is not
// finite, or 0 when all are.
int first_not_finite(run_storage& s) {
  for (int i = 1; i <= s.nom; ++i) {
    for (int k = 1; k <= 2; ++k) {
      if (!finite(s.samp(i, k)) || !finite(s.pamp(i, k))) return i;
    }
  }
  return 0;
}

}  // namespace

void warn_if_not_finite(run_storage& s) {
  const int i = first_not_finite(s);
  if (i == 0) return;
  // The frequency as the row of Amp-Factors.csv shows it.
  const float om = static_cast<float>(i - 1) * s.dom;
  const float freq = om / two_pi;
  char line[256];
  std::snprintf(line, sizeof line,
                "Warning: the amplification is not finite from %.4f Hz on: the model overflows "
                "the single-precision layer recursion; `sitewave run --physics exact` does not "
                "overflow",
                static_cast<double>(freq));
  textio::warn(line);
}

}  // namespace sitewave::dialogue
