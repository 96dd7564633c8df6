// The complex helpers against long double references over a wide spread of
// magnitudes: quotient, principal square root, exponential and modulus, each
// of which must come out as the double result rounded once, plus the
// single-precision product whose rounding every transform relies on.
#include "core/spectral/cplx.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>
#include <ostream>

namespace sitewave {

static void PrintTo(const cplx& v, std::ostream* os) {
  *os << std::hexfloat << '(' << v.re << ", " << v.im << ')' << std::defaultfloat;
}

namespace {

using ldcomplex = std::complex<long double>;

constexpr float inf = std::numeric_limits<float>::infinity();

// Signed floats with random mantissas and exponents in [-spread, spread].
struct spread_values {
  std::uint32_t state;
  int spread;
  std::uint32_t bits() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  float next() {
    const float mantissa = 1.0f + static_cast<float>(bits() >> 1) / 8388608.0f;
    const int exponent =
        static_cast<int>(bits() % static_cast<std::uint32_t>(2 * spread + 1)) - spread;
    const float magnitude = std::ldexp(mantissa, exponent);
    return bits() % 2 ? -magnitude : magnitude;
  }
  cplx next_cplx() {
    const float re = next();
    const float im = next();
    return {re, im};
  }
};

// A double evaluation rounded once lands within one unit in the last place of
// the exact part; a part that cancels may also carry the double evaluation's
// own error, relative to the size of the whole value.
::testing::AssertionResult within_rounding(float got, long double exact, long double whole) {
  const float nearest = static_cast<float>(exact);
  const long double ulp =
      std::nextafter(std::fabs(nearest), inf) - std::fabs(nearest) + FLT_TRUE_MIN;
  const long double allowed = ulp + whole * 0x1p-45L;
  if (std::fabs(got - exact) <= allowed) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << std::hexfloat << got << " is not " << static_cast<double>(exact) << " to rounding";
}

::testing::AssertionResult within_rounding(cplx got, ldcomplex exact) {
  const long double whole = std::abs(exact);
  auto re = within_rounding(got.re, exact.real(), whole);
  if (!re) return re << " (real part)";
  auto im = within_rounding(got.im, exact.imag(), whole);
  if (!im) return im << " (imaginary part)";
  return ::testing::AssertionSuccess();
}

ldcomplex wide(cplx a) {
  return {a.re, a.im};
}

TEST(Cplx, ProductRoundsEachTermBeforeCombining) {
  // x·x = 1 + 2^-11 + 2^-24 rounds to 1 + 2^-11 in single precision, which the
  // second term cancels exactly; a fused multiply-add would leave 2^-24.
  volatile float at_run_time = 1.0f + 0x1p-12f;  // not folded by the compiler
  const float x = at_run_time;
  const cplx product = cplx{x, 1.0f} * cplx{x, 1.0f + 0x1p-11f};
  EXPECT_EQ(product.re, 0.0f);
  EXPECT_EQ((cplx{1.5f, -2.0f} * cplx{0.5f, 4.0f}), (cplx{8.75f, 5.0f}));
}

TEST(Cdiv, MatchesLongDoubleQuotient) {
  spread_values gen{17u, 60};
  for (int trial = 0; trial < 20000; ++trial) {
    const cplx a = gen.next_cplx();
    const cplx b = gen.next_cplx();
    ASSERT_TRUE(within_rounding(cdiv(a, b), wide(a) / wide(b))) << trial;
  }
}

TEST(Cdiv, AxisAndExtremeDivisors) {
  EXPECT_EQ(cdiv({1, 0}, {0, 1}), (cplx{0, -1}));
  EXPECT_EQ(cdiv({3, 0}, {0, -2}), (cplx{0, 1.5f}));
  EXPECT_EQ(cdiv({1, 1}, {1, 1}), (cplx{1, 0}));
  EXPECT_EQ(cdiv({6, -4}, {2, 0}), (cplx{3, -2}));
  // Squares of these overflow single precision; the quotient does not.
  EXPECT_EQ(cdiv({FLT_MAX, FLT_MAX}, {FLT_MAX, FLT_MAX}), (cplx{1, 0}));
  EXPECT_EQ(cdiv({FLT_MAX, 0}, {0, FLT_MAX}), (cplx{0, -1}));
  // Squares of subnormal values vanish in single precision.
  EXPECT_EQ(cdiv({1e-40f, 0}, {1e-40f, 1e-40f}), (cplx{0.5f, -0.5f}));
}

TEST(Csqrt, PrincipalBranchOnTheAxesAndQuadrants) {
  EXPECT_EQ(csqrt({0, 0}), (cplx{0, 0}));
  EXPECT_EQ(csqrt({4, 0}), (cplx{2, 0}));
  // The negative real axis goes up, whatever the sign of its zero.
  EXPECT_EQ(csqrt({-4, 0}), (cplx{0, 2}));
  EXPECT_EQ(csqrt({-4, -0.0f}), (cplx{0, 2}));
  EXPECT_EQ(csqrt({0, 2}), (cplx{1, 1}));
  EXPECT_EQ(csqrt({0, -2}), (cplx{1, -1}));
  EXPECT_EQ(csqrt({-3, 4}), (cplx{1, 2}));
  EXPECT_EQ(csqrt({-3, -4}), (cplx{1, -2}));
  EXPECT_EQ(csqrt({3, -4}), (cplx{2, -1}));
}

TEST(Csqrt, MatchesLongDoubleRootWithRealPartNeverNegative) {
  spread_values gen{23u, 120};
  for (int trial = 0; trial < 20000; ++trial) {
    const cplx a = gen.next_cplx();
    const cplx root = csqrt(a);
    ASSERT_GE(root.re, 0.0f) << trial;
    ASSERT_TRUE(within_rounding(root, std::sqrt(wide(a)))) << trial;
  }
  const cplx huge = csqrt({-FLT_MAX, FLT_MAX});
  EXPECT_TRUE(std::isfinite(huge.re) && std::isfinite(huge.im));
  EXPECT_TRUE(within_rounding(huge, std::sqrt(ldcomplex(-FLT_MAX, FLT_MAX))));
  EXPECT_TRUE(within_rounding(csqrt({FLT_TRUE_MIN, 0}), std::sqrt(ldcomplex(FLT_TRUE_MIN, 0))));
}

TEST(Cexp, MatchesLongDoubleExponential) {
  EXPECT_EQ(cexp({0, 0}), (cplx{1, 0}));
  EXPECT_EQ(cexp({1, 0}).im, 0.0f);
  spread_values gen{31u, 5};
  for (int trial = 0; trial < 20000; ++trial) {
    const cplx a = gen.next_cplx();
    const ldcomplex exact = std::exp(static_cast<long double>(a.re)) *
                            ldcomplex(std::cos(static_cast<long double>(a.im)),
                                      std::sin(static_cast<long double>(a.im)));
    ASSERT_TRUE(within_rounding(cexp(a), exact)) << trial;
  }
}

TEST(Cmod, MatchesLongDoubleModulus) {
  spread_values gen{41u, 125};
  for (int trial = 0; trial < 20000; ++trial) {
    const cplx a = gen.next_cplx();
    const long double exact = std::hypot(static_cast<long double>(a.re), a.im);
    ASSERT_TRUE(within_rounding(cmod(a), exact, exact)) << trial;
    ASSERT_TRUE(within_rounding(static_cast<float>(cmod_d(a.re, a.im)), exact, exact)) << trial;
  }
}

TEST(Cmod, ZeroExtremesAndDominantPart) {
  EXPECT_EQ(cmod({0, 0}), 0.0f);
  EXPECT_FALSE(std::signbit(cmod({-0.0f, -0.0f})));
  EXPECT_EQ(cmod({3, -4}), 5.0f);
  EXPECT_EQ(cmod({-4, 3}), 5.0f);
  // Squaring these would overflow single precision.
  EXPECT_EQ(cmod({FLT_MAX, 0}), FLT_MAX);
  EXPECT_EQ(cmod({0, -FLT_MAX}), FLT_MAX);
  EXPECT_TRUE(within_rounding(cmod({0.6f * FLT_MAX, 0.7f * FLT_MAX}),
                              std::hypot(0.6L * FLT_MAX, 0.7L * FLT_MAX), FLT_MAX));
  EXPECT_EQ(cmod({FLT_TRUE_MIN, 0}), FLT_TRUE_MIN);
  // A part too small to change the larger leaves the larger as it is.
  EXPECT_EQ(cmod_d(1.0, 1e-17), 1.0);
  EXPECT_EQ(cmod_d(-2.5, 1e-300), 2.5);
  // Infinite parts give an infinite modulus, never NaN; NaN is not hidden.
  EXPECT_EQ(cmod({inf, inf}), inf);
  EXPECT_EQ(cmod({-inf, 1}), inf);
  EXPECT_TRUE(std::isnan(cmod({std::nanf(""), 1})));
  EXPECT_TRUE(std::isnan(cmod({1, std::nanf("")})));
}

}  // namespace
}  // namespace sitewave
