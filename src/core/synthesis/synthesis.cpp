// Completes a one-sided spectrum and transforms it back. The Nyquist line is
// used as it stands: only the real part of the inverse reaches the waveform.
#include "core/synthesis/synthesis.hpp"

#include "core/spectral/wvfast.hpp"

namespace sitewave {

void synthesise(std::span<cplx> spectrum, int nf, float dur, std::span<float> waveform) {
  auto line = [spectrum](int k) -> cplx& { return spectrum[static_cast<std::size_t>(k - 1)]; };
  for (int k = 2; k <= nf / 2; ++k) line(nf + 2 - k) = conj(line(k));
  wvfast(nf, spectrum, +1);
  for (int i = 1; i <= nf; ++i) waveform[static_cast<std::size_t>(i - 1)] = line(i).re / dur;
}

}  // namespace sitewave
