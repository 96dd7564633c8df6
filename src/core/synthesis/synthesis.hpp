// From a shaped spectrum to a waveform: the negative frequencies are the
// conjugates of the positive ones, the inverse transform is divided by the
// duration, and the real part is the waveform.
#pragma once

#include <span>

#include "core/spectral/cplx.hpp"

namespace sitewave {

// spectrum holds lines 1..nf/2 + 1 (zero to Nyquist) on entry and its
// unscaled inverse transform on return; waveform[i] receives the real part of
// sample i + 1 divided by dur (nf samples).
void synthesise(std::span<cplx> spectrum, int nf, float dur, std::span<float> waveform);

}  // namespace sitewave
