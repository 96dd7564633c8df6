// The exact step (Nigam and Jennings, 1969) written as matrix functions of
// Z = w h [[0, 1], [-1, -2 zeta]]: E = exp(Z), and the two ramp integrals
// phi1(Z) - phi2(Z) and phi2(Z). Evaluating them by a Taylor series on Z
// halved until small, then doubled back, keeps every coefficient accurate from
// periods of a fraction of a step to periods of many thousand steps, where the
// closed forms lose digits to cancellation.
#include "core/response/oscillator.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace sitewave::response {

namespace {

struct mat2 {
  double a, b, c, d;  // [[a, b], [c, d]]
};

mat2 operator*(const mat2& x, const mat2& y) {
  return {x.a * y.a + x.b * y.c, x.a * y.b + x.b * y.d, x.c * y.a + x.d * y.c,
          x.c * y.b + x.d * y.d};
}
mat2 operator+(const mat2& x, const mat2& y) {
  return {x.a + y.a, x.b + y.b, x.c + y.c, x.d + y.d};
}
mat2 operator*(double s, const mat2& x) {
  return {s * x.a, s * x.b, s * x.c, s * x.d};
}
mat2 identity() {
  return {1.0, 0.0, 0.0, 1.0};
}

struct step_functions {
  mat2 e, phi1, phi2;
};

// sum over j of y^j / (j + k)!, by Horner's rule; with |y| <= 1/2 the terms
// left out are below 1e-19.
mat2 phi_series(const mat2& y, int k) {
  constexpr int terms = 18;
  auto inverse_factorial = [](int m) {
    double v = 1.0;
    for (int i = 2; i <= m; ++i) v /= i;
    return v;
  };
  mat2 sum = inverse_factorial(terms - 1 + k) * identity();
  for (int j = terms - 2; j >= 0; --j) sum = sum * y + inverse_factorial(j + k) * identity();
  return sum;
}

// exp(2Y) = exp(Y)^2, phi1(2Y) = phi1(Y)(E + I)/2, phi2(2Y) = (phi1(Y) + (E + I) phi2(Y))/4.
step_functions doubled(const step_functions& f) {
  const mat2 e_plus = f.e + identity();
  return {f.e * f.e, 0.5 * (f.phi1 * e_plus), 0.25 * (f.phi1 + e_plus * f.phi2)};
}

step_functions functions_of(const mat2& z) {
  const double norm = std::max(std::abs(z.a) + std::abs(z.b), std::abs(z.c) + std::abs(z.d));
  int halvings = 0;
  double scale = 1.0;
  while (norm * scale > 0.5) {
    scale *= 0.5;
    ++halvings;
  }
  const mat2 y = scale * z;
  step_functions f{phi_series(y, 0), phi_series(y, 1), phi_series(y, 2)};
  for (int i = 0; i < halvings; ++i) f = doubled(f);
  return f;
}

}  // namespace

oscillator make_oscillator(double period, double damping, double step) {
  const double omega = 2.0 * std::numbers::pi / period;
  const double wh = omega * step;
  const step_functions f = functions_of({0.0, wh, -wh, -2.0 * damping * wh});
  // The load enters the velocity row only: column 2 of each ramp weight.
  const mat2 from_start = f.phi1 + (-1.0) * f.phi2;  // weight of a(i)
  const mat2& from_end = f.phi2;                     // weight of a(i + 1)
  const mat2 folded = f.e * from_end + from_start;   // E g1 + g0
  // The forced part of p over a stretch from rest under |a| <= M is at most
  // w^2 M times the integral of |h| over the stretch, h(t) = exp(-zeta w t)
  // sin(w_d t) / w_d, which is below M S(w_d t) / (1 - zeta^2) with S(x) the
  // integral of |sin| from 0 to x.
  const double turn = wh * std::sqrt(1.0 - damping * damping) * steps_per_stretch;
  const double half_turns = std::floor(turn / std::numbers::pi);
  const double sine_area = 2.0 * half_turns + 1.0 - std::cos(turn - half_turns * std::numbers::pi);
  return {.e_pp = f.e.a,
          .e_pq = f.e.b,
          .e_qp = f.e.c,
          .e_qq = f.e.d,
          .c_p = -wh * folded.b,
          .c_q = -wh * folded.d,
          .g1_p = -wh * from_end.b,
          .g1_q = -wh * from_end.d,
          .damping = damping,
          .stretch_gain = sine_area / (1.0 - damping * damping)};
}

}  // namespace sitewave::response
