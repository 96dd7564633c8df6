// The block forms of the complex quotient, square root and exponentials give
// every line exactly the single-line helper's value, also at zeros, signed
// zeros, infinities and overflowing magnitudes.
#include "core/ground/block_complex.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace sitewave::ground {
namespace {

constexpr float inf = std::numeric_limits<float>::infinity();

bool same(float a, float b) {
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b) ||
         (std::isnan(a) && std::isnan(b));
}

// Random magnitudes over the whole range, both signs, with the awkward
// values mixed in.
std::vector<float> sample_values(std::size_t count, int spread) {
  std::mt19937 rng(spread);
  std::uniform_real_distribution<float> mantissa(1.0f, 2.0f);
  std::uniform_int_distribution<int> exponent(-spread, spread);
  const float awkward[] = {0.0f, -0.0f, inf, -inf, 1.0f, -1.0f, 3.0e38f, 1.0e-40f};
  std::vector<float> out;
  for (std::size_t i = 0; i < count; ++i) {
    if (i % 13 == 0) {
      out.push_back(awkward[(i / 13) % 8]);
    } else {
      const float x = std::ldexp(mantissa(rng), exponent(rng));
      out.push_back(i % 2 ? -x : x);
    }
  }
  return out;
}

// Runs `block` over lines drawn from the sample, four values per line, and
// compares every line with `single`.
template <class Block, class Single>
void expect_lines_match(int spread, Block block, Single single) {
  const std::vector<float> v = sample_values(4 * block_lines * 400, spread);
  for (std::size_t start = 0; start + 4 * block_lines <= v.size(); start += 4 * block_lines) {
    complex_lines a, b;
    for (std::size_t j = 0; j < block_lines; ++j) {
      a.set(j, {v[start + 4 * j], v[start + 4 * j + 1]});
      b.set(j, {v[start + 4 * j + 2], v[start + 4 * j + 3]});
    }
    complex_lines got1, got2;
    block(a, b, got1, got2);
    for (std::size_t j = 0; j < block_lines; ++j) {
      cplx want1, want2;
      single(a.at(j), b.at(j), want1, want2);
      ASSERT_TRUE(same(got1.re[j], want1.re) && same(got1.im[j], want1.im) &&
                  same(got2.re[j], want2.re) && same(got2.im[j], want2.im))
          << std::hexfloat << "a " << a.re[j] << "," << a.im[j] << " b " << b.re[j] << ","
          << b.im[j];
    }
  }
}

TEST(BlockComplex, QuotientMatchesSingleLineHelper) {
  for (const int spread : {3, 40, 127}) {
    expect_lines_match(
        spread,
        [](const complex_lines& a, const complex_lines& b, complex_lines& q, complex_lines&) {
          quotient(a, b, q);
        },
        [](cplx a, cplx b, cplx& q, cplx&) { q = cdiv(a, b); });
  }
}

TEST(BlockComplex, SquareRootMatchesSingleLineHelper) {
  for (const int spread : {3, 40, 127}) {
    expect_lines_match(
        spread,
        [](const complex_lines& a, const complex_lines&, complex_lines& r, complex_lines&) {
          square_root(a, r);
        },
        [](cplx a, cplx, cplx& r, cplx&) { r = csqrt(a); });
  }
}

TEST(BlockComplex, ExponentialPairMatchesSingleLineHelper) {
  // Spreads that keep e^x within range, then ones that overflow it.
  for (const int spread : {2, 6, 12}) {
    expect_lines_match(
        spread,
        [](const complex_lines& w, const complex_lines&, complex_lines& plus,
           complex_lines& minus) { exponential_pair(w, plus, minus); },
        [](cplx w, cplx, cplx& plus, cplx& minus) {
          plus = cexp(w);
          minus = cexp(-w);
        });
  }
}

}  // namespace
}  // namespace sitewave::ground
