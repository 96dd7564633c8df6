// From shaped spectra to output waveforms: the negative frequencies are the
// conjugates of the positive ones, the inverse transform is divided by the
// duration, and the real parts are the waveforms.
#include "core/spectral/wvfast.hpp"
#include "dialogue/steps.hpp"

namespace sitewave::dialogue {

namespace {

void take_real_parts(array1<float, mom>& out, const array1<cplx, mom>& f, int nf, float dur) {
  for (int i = 1; i <= nf; ++i) out(i) = f(i).re / dur;
}

}  // namespace

void synthesise_waveforms(run_storage& s) {
  for (int k = 2; k <= s.nf / 2; ++k) {
    const int mirror = s.nf + 2 - k;
    s.fx1(mirror) = conj(s.fx1(k));
    s.fy1(mirror) = conj(s.fy1(k));
    s.fz1(mirror) = conj(s.fz1(k));
  }
  wvfast(s.nf, s.fx1.all(), +1);
  wvfast(s.nf, s.fy1.all(), +1);
  wvfast(s.nf, s.fz1.all(), +1);
  take_real_parts(s.xr1, s.fx1, s.nf, s.dur);
  take_real_parts(s.yr1, s.fy1, s.nf, s.dur);
  take_real_parts(s.zr1, s.fz1, s.nf, s.dur);
}

}  // namespace sitewave::dialogue
