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
#include <stdexcept>

#include "core/response/lanes.hpp"

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

// Oscillators stepped side by side, two or four to a vector: each step of one is a
// short chain of dependent multiply-adds, so several independent chains keep
// the arithmetic units busy. Each lane's arithmetic is its own and in the
// same order on every path, so neither the grouping nor the vector width
// changes a result. Lanes beyond the group have no coefficients and stay at
// rest.
template <class V, std::size_t vectors>
[[gnu::always_inline]] inline void run_lanes(std::span<const double> record, std::size_t stride,
                                             std::span<const oscillator> group,
                                             std::span<double> peaks) {
  constexpr std::size_t width = width_of<V>;
  constexpr std::size_t lanes = width * vectors;
  struct lane_values {
    double e_pp[lanes] = {}, e_pq[lanes] = {}, e_qp[lanes] = {}, e_qq[lanes] = {};
    double c_p[lanes] = {}, c_q[lanes] = {}, g1_p[lanes] = {}, g1_q[lanes] = {};
  } v;
  for (std::size_t i = 0; i < group.size(); ++i) {
    const oscillator& o = group[i];
    v.e_pp[i] = o.e_pp;
    v.e_pq[i] = o.e_pq;
    v.e_qp[i] = o.e_qp;
    v.e_qq[i] = o.e_qq;
    v.c_p[i] = o.c_p;
    v.c_q[i] = o.c_q;
    v.g1_p[i] = o.g1_p;
    v.g1_q[i] = o.g1_q;
  }
  V e_pp[vectors], e_pq[vectors], e_qp[vectors], e_qq[vectors];
  V c_p[vectors], c_q[vectors], g1_p[vectors], g1_q[vectors];
  for (std::size_t k = 0; k < vectors; ++k) {
    e_pp[k] = load_lanes<V>(v.e_pp + width * k);
    e_pq[k] = load_lanes<V>(v.e_pq + width * k);
    e_qp[k] = load_lanes<V>(v.e_qp + width * k);
    e_qq[k] = load_lanes<V>(v.e_qq + width * k);
    c_p[k] = load_lanes<V>(v.c_p + width * k);
    c_q[k] = load_lanes<V>(v.c_q + width * k);
    g1_p[k] = load_lanes<V>(v.g1_p + width * k);
    g1_q[k] = load_lanes<V>(v.g1_q + width * k);
  }

  // At rest at the first sample: y = -g1 a(0).
  const std::size_t samples = record.empty() ? 0 : (record.size() - 1) / stride + 1;
  const double first = record.empty() ? 0.0 : record[0];
  V y_p[vectors], y_q[vectors], top[vectors] = {};
  for (std::size_t k = 0; k < vectors; ++k) {
    y_p[k] = -(g1_p[k] * splat<V>(first));
    y_q[k] = -(g1_q[k] * splat<V>(first));
  }
  V a0 = splat<V>(first);
  for (std::size_t i = 1; i < samples; ++i) {
    const V a1 = splat<V>(record[i * stride]);
#pragma GCC unroll 4
    for (std::size_t k = 0; k < vectors; ++k) {
      const V next_p = (e_pp[k] * y_p[k] + e_pq[k] * y_q[k]) + c_p[k] * a0;
      const V next_q = (e_qp[k] * y_p[k] + e_qq[k] * y_q[k]) + c_q[k] * a0;
      y_p[k] = next_p;
      y_q[k] = next_q;
      top[k] = larger(top[k], magnitude(next_p + g1_p[k] * a1));
    }
    a0 = a1;
  }

  const V last = splat<V>(record.empty() ? 0.0 : record[(samples - 1) * stride]);
  double end_p[lanes], end_q[lanes], end_top[lanes];
  for (std::size_t k = 0; k < vectors; ++k) {
    store_lanes(end_p + width * k, y_p[k] + g1_p[k] * last);
    store_lanes(end_q + width * k, y_q[k] + g1_q[k] * last);
    store_lanes(end_top + width * k, top[k]);
  }
  for (std::size_t i = 0; i < group.size(); ++i)
    peaks[i] = std::max(end_top[i], free_vibration_peak(end_p[i], end_q[i], group[i].damping));
}

// As many oscillators side by side as sixteen vector registers hold with
// their states: three vectors of the path's width. A remainder takes as few
// vectors as hold it, since idle lanes cost as much as busy ones.
template <class V>
[[gnu::always_inline]] inline void run_bank(std::span<const double> record, std::size_t stride,
                                            std::span<const oscillator> bank,
                                            std::span<double> peaks) {
  constexpr std::size_t width = width_of<V>;
  constexpr std::size_t widest_run = 3 * width;
  for (std::size_t first = 0; first < bank.size(); first += widest_run) {
    const std::size_t count = std::min(widest_run, bank.size() - first);
    const auto group = bank.subspan(first, count);
    const auto out = peaks.subspan(first, count);
    if (count > 2 * width)
      run_lanes<V, 3>(record, stride, group, out);
    else if (count > width)
      run_lanes<V, 2>(record, stride, group, out);
    else
      run_lanes<V, 1>(record, stride, group, out);
  }
}

void run_bank_baseline(std::span<const double> record, std::size_t stride,
                       std::span<const oscillator> bank, std::span<double> peaks) {
  run_bank<lanes2>(record, stride, bank, peaks);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] void run_bank_avx2(std::span<const double> record, std::size_t stride,
                                           std::span<const oscillator> bank,
                                           std::span<double> peaks) {
  run_bank<lanes4>(record, stride, bank, peaks);
}
#endif

}  // namespace

oscillator make_oscillator(double period, double damping, double step) {
  const double omega = 2.0 * std::numbers::pi / period;
  const double wh = omega * step;
  const step_functions f = functions_of({0.0, wh, -wh, -2.0 * damping * wh});
  // The load enters the velocity row only: column 2 of each ramp weight.
  const mat2 from_start = f.phi1 + (-1.0) * f.phi2;  // weight of a(i)
  const mat2& from_end = f.phi2;                     // weight of a(i + 1)
  const mat2 folded = f.e * from_end + from_start;   // E g1 + g0
  return {.e_pp = f.e.a,
          .e_pq = f.e.b,
          .e_qp = f.e.c,
          .e_qq = f.e.d,
          .c_p = -wh * folded.b,
          .c_q = -wh * folded.d,
          .g1_p = -wh * from_end.b,
          .g1_q = -wh * from_end.d,
          .damping = damping};
}

void peak_pseudo_accelerations(std::span<const double> record, std::size_t stride,
                               std::span<const oscillator> bank, std::span<double> peaks,
                               simd_path path) {
  if (stride == 0) throw std::invalid_argument("a record read at a stride of 0 never advances");
#if defined(__x86_64__)
  if (path == simd_path::avx2 && runs_on_this_machine(path))
    return run_bank_avx2(record, stride, bank, peaks);
#endif
  run_bank_baseline(record, stride, bank, peaks);
}

void peak_pseudo_accelerations(std::span<const double> record, std::span<const oscillator> bank,
                               std::span<double> peaks, simd_path path) {
  peak_pseudo_accelerations(record, 1, bank, peaks, path);
}

}  // namespace sitewave::response
