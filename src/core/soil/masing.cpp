// The Masing damping the hyperbolic models add to their minimum damping.
// Coefficients from Darendeli, M. B. (2001), "Development of a new family of
// normalized modulus reduction and material damping curves", PhD
// dissertation, University of Texas at Austin, section 9.3 (the polynomial
// correction of the a = 1 closed form for a modified hyperbolic backbone).
#include "core/soil/masing.hpp"

#include <cmath>
#include <numbers>

namespace sitewave::soil {

double hyperbolic_masing_percent(double x) {
  if (!(x > 0.0)) return 0.0;
  // Near zero, x - ln(1 + x) loses its digits to cancellation (2e-10 of the
  // result at x = 1e-3). The bracket's series, 4 sum (-1)^(k+1) x^k /
  // ((k + 1)(k + 2)) for k >= 1, alternates and falls fast: below x = 0.1,
  // 20 terms leave less than 1e-20, and above it the direct form loses under
  // 1e-13.
  double bracket = 0.0;
  if (x < 0.1) {
    double power = x;
    for (int k = 1; k <= 20; ++k, power *= x)
      bracket += (k % 2 == 1 ? 4.0 : -4.0) * power / ((k + 1.0) * (k + 2.0));
  } else {
    bracket = 4.0 * (x - std::log1p(x)) * (1.0 + x) / (x * x) - 2.0;
  }
  return 100.0 / std::numbers::pi * bracket;
}

double masing_damping_percent(double x, double curvature) {
  const double a = curvature;
  const double c1 = -1.1143 * a * a + 1.8618 * a + 0.2523;
  const double c2 = 0.0805 * a * a - 0.0710 * a - 0.0095;
  const double c3 = -0.0005 * a * a + 0.0002 * a + 0.0003;
  const double d = hyperbolic_masing_percent(x);
  return d * (c1 + d * (c2 + d * c3));
}

}  // namespace sitewave::soil
