// The amplification and shaping of a spectrum, one line at a time. The
// weights and operators are single-precision operations in a fixed order:
// the surface waveforms of a run rest on them bit for bit.
#include "core/shaping/shaping.hpp"

#include <cmath>

namespace sitewave::shaping {

namespace {

// Trapezoid weight of a line inside the band. When both ramps apply (corners
// out of order) the falling one stands.
float weight(float omega, const band& b) {
  float aa = 1.0f;
  if (b.filtered) {
    if (omega < b.oml2) aa = (omega - b.oml1) / (b.oml2 - b.oml1);
    if (omega > b.omh1) aa = (b.omh2 - omega) / (b.omh2 - b.omh1);
  }
  return aa;
}

cplx apply_operator(cplx v, float omega, int operation) {
  if (operation == integrate) v = cplx{v.im / omega, -v.re / omega};
  if (operation == differentiate) v = cplx{-omega * v.im, omega * v.re};
  return v;
}

}  // namespace

float pi2() {
  return static_cast<float>(8.0 * std::atan(1.0));
}

band trapezoid(float fl1, float fl2, float fh1, float fh2) {
  const float p = pi2();
  return band{fl1 * p, fl2 * p, fh1 * p, fh2 * p, true};
}

void amplify(std::span<cplx> spectrum, std::span<const cplx> factors) {
  for (std::size_t i = 0; i < factors.size(); ++i) spectrum[i] = spectrum[i] * factors[i];
}

void shape(std::span<cplx> spectrum, int nom, float dom, const band& b, int operation) {
  const cplx zero{0.0f, 0.0f};
  if (nom >= 1) spectrum[0] = zero;
  for (int k = 2; k <= nom; ++k) {
    cplx& line = spectrum[static_cast<std::size_t>(k - 1)];
    const float omega = static_cast<float>(k - 1) * dom;
    if (omega < b.oml1 || omega >= b.omh2) {
      line = zero;
      continue;
    }
    line = apply_operator(weight(omega, b) * line, omega, operation);
  }
}

}  // namespace sitewave::shaping
