// Double-precision evaluation of the complex quotient, square root,
// exponential and modulus, each rounded once to single precision.
#include "core/spectral/cplx.hpp"

#include <cmath>
#include <utility>

namespace sitewave {

namespace {

constexpr cplx round_to_single(double re, double im) {
  return {static_cast<float>(re), static_cast<float>(im)};
}

}  // namespace

double cmod_d(double re, double im) {
  double larger = std::fabs(re);
  double smaller = std::fabs(im);
  if (larger < smaller) std::swap(larger, smaller);
  if (larger + smaller == larger) return larger;  // also covers (0, 0)
  const double ratio = smaller / larger;
  return larger * std::sqrt(1.0 + ratio * ratio);
}

float cmod(cplx a) {
  return static_cast<float>(cmod_d(a.re, a.im));
}

cplx cdiv(cplx a, cplx b) {
  const double ar = a.re, ai = a.im, br = b.re, bi = b.im;
  if (std::fabs(br) <= std::fabs(bi)) {
    const double ratio = br / bi;
    const double den = bi * (1.0 + ratio * ratio);
    return round_to_single((ar * ratio + ai) / den, (ai * ratio - ar) / den);
  }
  const double ratio = bi / br;
  const double den = br * (1.0 + ratio * ratio);
  return round_to_single((ar + ai * ratio) / den, (ai - ar * ratio) / den);
}

cplx csqrt(cplx a) {
  const double re = a.re, im = a.im;
  const double mag = cmod_d(re, im);
  if (mag == 0.0) return {0.0f, 0.0f};
  if (re > 0.0) {
    const double t = std::sqrt(0.5 * (mag + re));
    return round_to_single(t, 0.5 * (im / t));
  }
  double t = std::sqrt(0.5 * (mag - re));
  if (im < 0.0) t = -t;
  return round_to_single(0.5 * (im / t), t);
}

cplx cexp(cplx a) {
  const double scale = std::exp(static_cast<double>(a.re));
  const double y = a.im;
  return round_to_single(scale * std::cos(y), scale * std::sin(y));
}

}  // namespace sitewave
