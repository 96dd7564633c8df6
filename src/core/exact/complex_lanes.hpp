// Complex numbers of four frequency lines in vector lanes, with the plain
// operations of line_arithmetic.hpp element by element: sums, products,
// exact selections, and a reciprocal whose lanes outside the plain range are
// formed by the scalar reciprocal. A lane gets the bits its line gets alone.
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>

#include "core/exact/line_arithmetic.hpp"
#include "core/response/lanes.hpp"

namespace sitewave::exact::lanes {

using response::lanes4;
using response::magnitude;
using response::splat;
// On the x86-64 baseline each operation becomes two SSE2 ones.
using V = lanes4;
using mask = response::lane_bits4;  // all ones where true
inline constexpr std::size_t width = 4;

[[gnu::always_inline]] inline V pick(mask m, V yes, V no) {
  return reinterpret_cast<V>((m & reinterpret_cast<mask>(yes)) | (~m & reinterpret_cast<mask>(no)));
}

struct cv {
  V re, im;
  cv() = default;
  cv(V r, V i) : re(r), im(i) {}
  cv(double x) : re(splat<V>(x)), im(splat<V>(0.0)) {}  // NOLINT: as std::complex
  std::complex<double> operator[](std::size_t l) const { return {re[l], im[l]}; }
  void set(std::size_t l, std::complex<double> z) {
    re[l] = z.real();
    im[l] = z.imag();
  }
};

[[gnu::always_inline]] inline cv operator+(cv a, cv b) { return {a.re + b.re, a.im + b.im}; }
[[gnu::always_inline]] inline cv operator-(cv a, cv b) { return {a.re - b.re, a.im - b.im}; }
[[gnu::always_inline]] inline cv operator-(cv a) { return {-a.re, -a.im}; }
// x + a and a - x as the language forms them: the imaginary parts untouched.
[[gnu::always_inline]] inline cv operator+(double x, cv a) { return {a.re + x, a.im}; }
[[gnu::always_inline]] inline cv operator-(cv a, double x) { return {a.re - x, a.im}; }
[[gnu::always_inline]] inline cv operator*(double x, cv a) { return {a.re * x, a.im * x}; }
[[gnu::always_inline]] inline cv operator*(cv a, double x) { return {a.re * x, a.im * x}; }
// The plain product, as the language forms it where no NaN arises.
[[gnu::always_inline]] inline cv operator*(cv a, cv b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// in_plain_range of each lane.
[[gnu::always_inline]] inline mask in_plain_range(cv z) {
  const V a = magnitude(z.re), b = magnitude(z.im);
  const V m = pick(a < b, b, a);
  return (m > 0x1p-480) & (m < 0x1p480);
}

// reciprocal of each lane.
[[gnu::always_inline]] inline cv reciprocal(cv b) {
  const mask plain = in_plain_range(b);
  const V s = 1.0 / (b.re * b.re + b.im * b.im);
  cv r{b.re * s, -b.im * s};
  for (std::size_t l = 0; l < width; ++l)
    if (plain[l] == 0) r.set(l, exact::reciprocal(b[l]));
  return r;
}

}  // namespace sitewave::exact::lanes
