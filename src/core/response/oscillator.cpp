// The exact step (Nigam and Jennings, 1969) written as matrix functions of
// Z = w h [[0, 1], [-1, -2 zeta]]: E = exp(Z), and the two ramp integrals
// phi1(Z) - phi2(Z) and phi2(Z). Evaluating them by a Taylor series on Z
// halved until small, then doubled back, keeps every coefficient accurate from
// periods of a fraction of a step to periods of many thousand steps, where the
// closed forms lose digits to cancellation.
#include "core/response/oscillator.hpp"

#include <algorithm>
#include <array>
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

// Oscillators stepped together in the inner loop: each step of one is a short
// chain of dependent multiply-adds, so several independent chains side by side
// keep the arithmetic units busy. Each lane's arithmetic is its own, so the
// grouping never changes a result.
template <std::size_t lanes>
struct lane_bank {
  using values = std::array<double, lanes>;
  values e_pp{}, e_pq{}, e_qp{}, e_qq{}, g0_p{}, g1_p{}, g0_q{}, g1_q{};
};

template <std::size_t lanes>
lane_bank<lanes> load_lanes(std::span<const oscillator> group) {
  lane_bank<lanes> l;
  for (std::size_t i = 0; i < group.size(); ++i) {
    const oscillator& o = group[i];
    l.e_pp[i] = o.e_pp;
    l.e_pq[i] = o.e_pq;
    l.e_qp[i] = o.e_qp;
    l.e_qq[i] = o.e_qq;
    l.g0_p[i] = o.g0_p;
    l.g1_p[i] = o.g1_p;
    l.g0_q[i] = o.g0_q;
    l.g1_q[i] = o.g1_q;
  }
  return l;
}

// Largest |p| of the free vibration from (p, q): the extremes of a damped
// vibration shrink one after the other, so the first one after the record
// ends (where the velocity first vanishes) is the only candidate.
double free_vibration_peak(double p, double q, double damping) {
  const double s = std::sqrt(1.0 - damping * damping);
  const double x = p + damping * q;
  const double y = q * s;
  if (x == 0.0 && y == 0.0) return 0.0;
  double theta = std::atan2(y, x);
  if (theta <= 0.0) theta += std::numbers::pi;
  const double swing = std::exp(-damping * theta / s) *
                       (p * std::cos(theta) + (q + damping * p) / s * std::sin(theta));
  return std::max(std::abs(p), std::abs(swing));
}

template <std::size_t lanes>
void run_group(std::span<const double> record, std::span<const oscillator> group,
               std::span<double> peaks) {
  const lane_bank<lanes> c = load_lanes<lanes>(group);
  std::array<double, lanes> p{}, q{}, top{};
  for (std::size_t i = 0; i + 1 < record.size(); ++i) {
    const double a0 = record[i];
    const double a1 = record[i + 1];
    for (std::size_t l = 0; l < lanes; ++l) {
      const double load_p = c.g0_p[l] * a0 + c.g1_p[l] * a1;
      const double load_q = c.g0_q[l] * a0 + c.g1_q[l] * a1;
      const double next_p = (c.e_pp[l] * p[l] + c.e_pq[l] * q[l]) + load_p;
      const double next_q = (c.e_qp[l] * p[l] + c.e_qq[l] * q[l]) + load_q;
      p[l] = next_p;
      q[l] = next_q;
      top[l] = std::max(top[l], std::abs(next_p));
    }
  }
  for (std::size_t i = 0; i < group.size(); ++i)
    peaks[i] = std::max(top[i], free_vibration_peak(p[i], q[i], group[i].damping));
}

// Sixteen chains fill the machine; a short remainder takes a narrower group
// rather than idle lanes, which cost as much as busy ones.
std::size_t lanes_for(std::size_t count) {
  return count > 8 ? 16 : count > 4 ? 8 : 4;
}

}  // namespace

oscillator make_oscillator(double period, double damping, double step) {
  const double omega = 2.0 * std::numbers::pi / period;
  const double wh = omega * step;
  const step_functions f = functions_of({0.0, wh, -wh, -2.0 * damping * wh});
  // The load enters the velocity row only: column 2 of each ramp weight.
  const mat2 from_start = f.phi1 + (-1.0) * f.phi2;  // weight of a(i)
  const mat2& from_end = f.phi2;                     // weight of a(i + 1)
  return {.e_pp = f.e.a,
          .e_pq = f.e.b,
          .e_qp = f.e.c,
          .e_qq = f.e.d,
          .g0_p = -wh * from_start.b,
          .g1_p = -wh * from_end.b,
          .g0_q = -wh * from_start.d,
          .g1_q = -wh * from_end.d,
          .damping = damping};
}

void peak_pseudo_accelerations(std::span<const double> record, std::span<const oscillator> bank,
                               std::span<double> peaks) {
  for (std::size_t first = 0; first < bank.size();) {
    const std::size_t lanes = lanes_for(bank.size() - first);
    const std::size_t count = std::min(lanes, bank.size() - first);
    const auto group = bank.subspan(first, count);
    const auto out = peaks.subspan(first, count);
    if (lanes == 16) run_group<16>(record, group, out);
    if (lanes == 8) run_group<8>(record, group, out);
    if (lanes == 4) run_group<4>(record, group, out);
    first += count;
  }
}

}  // namespace sitewave::response
