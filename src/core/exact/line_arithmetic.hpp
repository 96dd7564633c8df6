// Complex reciprocal, quotient, square root and crossing factor of the exact
// tables, in explicit double arithmetic wherever the operands' size leaves no
// room for overflow or underflow, and by the library's careful forms (which
// also give the annex-G values of infinities and NaNs) everywhere else.
#pragma once

#include <cmath>
#include <complex>

namespace sitewave::exact {

// Both parts below 2^480 and the larger above 2^-480: the squared modulus
// and every scaled part below stay normal numbers. NaN is outside.
inline bool in_plain_range(std::complex<double> z) {
  const double a = std::fabs(z.real());
  const double b = std::fabs(z.imag());
  const double m = a < b ? b : a;
  return m > 0x1p-480 && m < 0x1p480;
}

// Both parts below 2^480 in magnitude (zero allowed), so that products with
// a scaled ratio cannot overflow.
inline bool is_moderate(std::complex<double> a) {
  return std::fabs(a.real()) < 0x1p480 && std::fabs(a.imag()) < 0x1p480;
}

// a/b by Smith's scaling with the larger part of b, in the operations and
// order of the library's division, so that in this range both agree; a
// ratio that is a subnormal number takes the library's other form.
inline std::complex<double> quotient(std::complex<double> a, std::complex<double> b) {
  if (!in_plain_range(b) || !is_moderate(a)) return a / b;
  const double c = b.real();
  const double d = b.imag();
  if (std::fabs(c) < std::fabs(d)) {
    const double ratio = c / d;
    if (ratio != 0.0 && std::fabs(ratio) <= 0x1p-1022) return a / b;
    const double denom = c * ratio + d;
    return {(a.real() * ratio + a.imag()) / denom, (a.imag() * ratio - a.real()) / denom};
  }
  const double ratio = d / c;
  if (ratio != 0.0 && std::fabs(ratio) <= 0x1p-1022) return a / b;
  const double denom = d * ratio + c;
  return {(a.imag() * ratio + a.real()) / denom, (a.imag() - a.real() * ratio) / denom};
}

// 1/b through one real division, conj(b)/|b|², for a reciprocal that
// several products share.
inline std::complex<double> reciprocal(std::complex<double> b) {
  if (!in_plain_range(b)) return 1.0 / b;
  const double s = 1.0 / std::norm(b);
  return {b.real() * s, -b.imag() * s};
}

// Principal square root with |z| = √|z|² in place of the library's hypot,
// and otherwise its steps: the root of half the sum of like-signed terms,
// so that neither part cancels, and the other part from 2·Re·Im = Im z.
inline std::complex<double> principal_root(std::complex<double> z) {
  if (!in_plain_range(z)) return std::sqrt(z);
  const double x = z.real();
  const double y = z.imag();
  const double m = std::sqrt(std::norm(z));
  double r, s;
  if (x > 0.0) {
    r = std::sqrt(0.5 * (m + x));
    s = 0.5 * (y / r);
  } else {
    s = std::sqrt(0.5 * (m - x));
    r = std::fabs(0.5 * (y / s));
  }
  return {r, std::copysign(s, y)};
}

// e^(x + iy) for the crossing factor, x ≤ 0: one exponential and one shared
// sine and cosine, as the library forms it for finite parts.
inline std::complex<double> exp_of_parts(double x, double y) {
  if (!(std::isfinite(x) && std::isfinite(y))) return std::exp(std::complex<double>(x, y));
  const double e = std::exp(x);
  return {e * std::cos(y), e * std::sin(y)};
}

}  // namespace sitewave::exact
