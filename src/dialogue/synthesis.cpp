// The output waveforms of the run: each shaped spectrum transformed back
// into its component's array.
#include "core/synthesis/synthesis.hpp"
#include "dialogue/steps.hpp"

namespace sitewave::dialogue {

void synthesise_waveforms(run_storage& s) {
  synthesise(s.fx1.all(), s.nf, s.dur, s.xr1.all());
  synthesise(s.fy1.all(), s.nf, s.dur, s.yr1.all());
  synthesise(s.fz1.all(), s.nf, s.dur, s.zr1.all());
}

}  // namespace sitewave::dialogue
