// The square-root branch of the vertical slowness, and the crossing factor.
#include "core/exact/vertical_slowness.hpp"

#include "core/exact/line_arithmetic.hpp"

namespace sitewave::exact {

std::complex<double> vertical_slowness(std::complex<double> v, double p) {
  // A damped velocity puts η² strictly below the real axis, where the
  // principal root already decays downwards; only an undamped evanescent row
  // lands on the branch cut, whose principal root +i·√ would grow.
  const std::complex<double> eta = principal_root(quotient(1.0, v * v) - p * p);
  return eta.imag() > 0.0 ? -eta : eta;
}

std::complex<double> crossing(std::complex<double> eta, double omega, double h) {
  // Formed from its parts so that zero thickness or zero frequency give
  // exactly 1 whatever η is.
  const double wh = omega * h;
  return exp_of_parts(wh * eta.imag(), -wh * eta.real());
}

}  // namespace sitewave::exact
