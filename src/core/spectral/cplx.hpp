// Complex values as pairs of single-precision reals, and the complex helpers
// shared by the transform, the ground model and the run driver.
// Sums and products are single-precision operations in the written order;
// quotients, square roots, exponentials and moduli are evaluated in double
// precision and rounded once to single precision.
#pragma once

namespace sitewave {

struct cplx {
  float re = 0.0f;
  float im = 0.0f;
  friend constexpr bool operator==(cplx, cplx) = default;
};

constexpr cplx operator+(cplx a, cplx b) {
  return {a.re + b.re, a.im + b.im};
}
constexpr cplx operator-(cplx a, cplx b) {
  return {a.re - b.re, a.im - b.im};
}
constexpr cplx operator-(cplx a) {
  return {-a.re, -a.im};
}

// (a.re·b.re − a.im·b.im, a.im·b.re + a.re·b.im), each product and sum rounded.
constexpr cplx operator*(cplx a, cplx b) {
  const float re1 = a.re * b.re;
  const float re2 = a.im * b.im;
  const float im1 = a.im * b.re;
  const float im2 = a.re * b.im;
  return {re1 - re2, im1 + im2};
}

// A real times a complex value.
constexpr cplx operator*(float s, cplx a) {
  return {s * a.re, s * a.im};
}

constexpr cplx conj(cplx a) {
  return {a.re, -a.im};
}

// Quotient a / b (Smith's scaling, in double precision).
cplx cdiv(cplx a, cplx b);

// Principal square root: real part never negative; the negative real axis
// (imaginary part zero) maps to +i·sqrt(|x|).
cplx csqrt(cplx a);

// e^(x+iy) = e^x (cos y + i sin y).
cplx cexp(cplx a);

// Modulus without intermediate overflow: the larger of |re| and |im| times
// sqrt(1 + (smaller/larger)^2); the larger alone when adding the smaller does
// not change it; 0 for (0, 0).
float cmod(cplx a);

// The same modulus in double precision, for callers that round later.
double cmod_d(double re, double im);

}  // namespace sitewave
