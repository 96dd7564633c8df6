// The Masing damping of the hyperbolic backbone against the hysteresis loop
// itself, integrated by brute force, and Darendeli's correction at a = 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/soil/masing.hpp"

namespace sitewave::soil {
namespace {

// Simpson's rule on n panels (n even) in long double.
template <class F>
long double simpson(F f, long double a, long double b, int n) {
  const long double h = (b - a) / n;
  long double sum = f(a) + f(b);
  for (int i = 1; i < n; ++i) sum += (i % 2 ? 4.0L : 2.0L) * f(a + i * h);
  return sum * h / 3.0L;
}

// The loop of G/Gmax = 1 / (1 + u) read to x: D = (2 / pi) (2 W / (tau x) - 1)
// with W the integral of tau = u / (1 + u) from 0 to x, taken by quadrature:
// in u up to 1, where the integrand is a gentle rational, and in ln u beyond,
// where it grows like u.
long double loop_damping_percent(long double x) {
  const auto tau = [](long double u) { return u / (1.0L + u); };
  const auto tau_du = [](long double s) {  // tau du with u = e^s
    const long double u = std::exp(s);
    return u * u / (1.0L + u);
  };
  long double work = simpson(tau, 0.0L, std::min(x, 1.0L), 2000);
  if (x > 1.0L) work += simpson(tau_du, 0.0L, std::log(x), 20000);
  return 100.0L * 2.0L / std::numbers::pi_v<long double> * (2.0L * work / (tau(x) * x) - 1.0L);
}

TEST(Masing, ClosedFormIsTheLoopOfTheHyperbolicBackbone) {
  for (const double x : {1e-5, 1e-3, 0.0999, 0.1, 1.0, 10.0, 1000.0}) {
    const long double loop = loop_damping_percent(x);
    EXPECT_NEAR(hyperbolic_masing_percent(x), static_cast<double>(loop),
                1e-12 * static_cast<double>(loop))
        << x;
  }
  // At the reference strain: (100 / pi) (8 (1 - ln 2) - 2) = 14.477452 %.
  EXPECT_NEAR(hyperbolic_masing_percent(1.0), 14.477452, 1e-6);
  EXPECT_EQ(hyperbolic_masing_percent(0.0), 0.0);
}

TEST(Masing, DarendeliCorrectionVanishesForTheHyperbolicBackbone) {
  // At a = 1 the cubic is c1 = 0.9998, c2 = c3 = 0 (to the printed digits).
  for (const double x : {1e-4, 0.3, 1.0, 30.0}) {
    EXPECT_NEAR(masing_damping_percent(x, 1.0), 0.9998 * hyperbolic_masing_percent(x), 1e-12) << x;
  }
}

}  // namespace
}  // namespace sitewave::soil
