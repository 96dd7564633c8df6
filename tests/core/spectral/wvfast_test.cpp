// The radix-2 transform against a direct sum in long double for every length a
// run can use, the unscaled round trip, the cases small enough to work by hand,
// the symmetry of a real record, and a bit-exact fingerprint that catches any
// change of operation order (the console figures of a run show every bit).
#include "core/spectral/wvfast.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <ostream>
#include <span>
#include <vector>

namespace sitewave {

static void PrintTo(const cplx& v, std::ostream* os) {
  *os << std::hexfloat << '(' << v.re << ", " << v.im << ')' << std::defaultfloat;
}

namespace {

constexpr int largest_length = 32768;

// Integer-driven values in [-1, 1), exact on every platform.
struct sequence {
  std::uint32_t state;
  float next() {
    state = state * 1664525u + 1013904223u;
    const auto centred = static_cast<std::int32_t>(state >> 8) - (1 << 23);
    return static_cast<float>(centred) / 8388608.0f;
  }
  cplx next_cplx() {
    const float re = next();
    const float im = next();
    return {re, im};
  }
};

std::vector<cplx> random_signal(int n, std::uint32_t seed) {
  sequence gen{seed};
  std::vector<cplx> x(static_cast<std::size_t>(n));
  for (cplx& v : x) v = gen.next_cplx();
  return x;
}

std::vector<cplx> transformed(std::vector<cplx> x, int ind) {
  wvfast(static_cast<int>(x.size()), x, ind);
  return x;
}

long double rms(std::span<const cplx> x) {
  long double sum = 0;
  for (cplx v : x)
    sum += static_cast<long double>(v.re) * v.re + static_cast<long double>(v.im) * v.im;
  return std::sqrt(sum / static_cast<long double>(x.size()));
}

// Largest deviation over `bins` (zero-based) of `got` from the direct sum of
// x(l)·exp(ind·i·2π·l·m/n) with the true π, in units of the rms input value
// (which is the rms output bin over the square root of n).
long double worst_bin_error(std::span<const cplx> x, std::span<const cplx> got, int ind,
                            std::span<const int> bins) {
  const auto n = x.size();
  std::vector<long double> root_re(n), root_im(n);
  for (std::size_t r = 0; r < n; ++r) {
    const long double angle = ind * 2 * std::numbers::pi_v<long double> * r / n;
    root_re[r] = std::cos(angle);
    root_im[r] = std::sin(angle);
  }
  long double worst = 0;
  for (int m : bins) {
    long double sum_re = 0, sum_im = 0;
    std::size_t r = 0;  // l·m mod n, advanced without overflow
    for (std::size_t l = 0; l < n; ++l) {
      sum_re += x[l].re * root_re[r] - x[l].im * root_im[r];
      sum_im += x[l].re * root_im[r] + x[l].im * root_re[r];
      r = (r + static_cast<std::size_t>(m)) % n;
    }
    const auto& a = got[static_cast<std::size_t>(m)];
    worst = std::max(worst, std::hypot(a.re - sum_re, a.im - sum_im));
  }
  const long double scale = std::sqrt(static_cast<long double>(n)) * rms(x);
  return worst / scale;
}

// Every bin for short lengths; for long ones the edges, the Nyquist
// neighbourhood and a scatter of others, which keeps the check fast.
std::vector<int> bins_to_check(int n) {
  std::vector<int> bins;
  if (n <= 1024) {
    for (int m = 0; m < n; ++m) bins.push_back(m);
    return bins;
  }
  for (int m : {0, 1, 2, 3, n / 4, n / 2 - 1, n / 2, n / 2 + 1, 3 * n / 4, n - 2, n - 1})
    bins.push_back(m);
  sequence gen{static_cast<std::uint32_t>(n)};
  for (int s = 0; s < 40; ++s) {
    gen.next();
    bins.push_back(static_cast<int>(gen.state % static_cast<std::uint32_t>(n)));
  }
  return bins;
}

// Rounding grows with the number of stages; a wrong sign, twiddle or
// reordering produces errors of order one.
long double single_precision_bound(int n) {
  return 4 * 0x1p-24L * (std::bit_width(static_cast<unsigned>(n)) + 1);
}

TEST(Wvfast, AgreesWithDirectSumForEveryLength) {
  for (int n = 1; n <= largest_length; n *= 2) {
    const auto x = random_signal(n, static_cast<std::uint32_t>(n) + 7u);
    const auto bins = bins_to_check(n);
    for (int ind : {-1, 1}) {
      const auto got = transformed(x, ind);
      EXPECT_LE(worst_bin_error(x, got, ind, bins), single_precision_bound(n))
          << "n = " << n << ", ind = " << ind;
    }
  }
}

TEST(Wvfast, ForwardThenInverseGivesLengthTimesInput) {
  for (int n : {1, 2, 16, 1024, largest_length}) {
    const auto x = random_signal(n, 99u);
    const auto back = transformed(transformed(x, -1), 1);
    const long double length = n;
    long double worst = 0;
    for (std::size_t l = 0; l < x.size(); ++l)
      worst =
          std::max(worst, std::hypot(back[l].re - length * x[l].re, back[l].im - length * x[l].im));
    EXPECT_LE(worst / (length * rms(x)), single_precision_bound(n)) << "n = " << n;
  }
}

TEST(Wvfast, SmallCasesWorkedByHand) {
  for (int ind : {-1, 1}) {
    std::vector<cplx> one{{0.25f, -3.5f}};
    wvfast(1, one, ind);
    EXPECT_EQ(one[0], (cplx{0.25f, -3.5f}));

    std::vector<cplx> two{{1.5f, 2.0f}, {0.25f, -1.0f}};
    wvfast(2, two, ind);
    EXPECT_EQ(two[0], (cplx{1.75f, 1.0f}));
    EXPECT_EQ(two[1], (cplx{1.25f, 3.0f}));
  }

  // A unit impulse at the second sample turns one way or the other round the
  // unit circle; the short π leaves a residue of about 1e-7.
  const std::vector<cplx> impulse{{0, 0}, {1, 0}, {0, 0}, {0, 0}};
  const auto forward = transformed(impulse, -1);
  const auto inverse = transformed(impulse, 1);
  const cplx forward_expected[] = {{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
  for (std::size_t m = 0; m < 4; ++m) {
    EXPECT_NEAR(forward[m].re, forward_expected[m].re, 1e-6) << m;
    EXPECT_NEAR(forward[m].im, forward_expected[m].im, 1e-6) << m;
    EXPECT_NEAR(inverse[m].re, forward_expected[m].re, 1e-6) << m;
    EXPECT_NEAR(inverse[m].im, -forward_expected[m].im, 1e-6) << m;
  }
}

// Butterflies on zeros give zeros whatever the twiddle, so the other bins are
// exactly zero, not merely small.
TEST(Wvfast, ConstantInputHasOnlyTheZeroFrequency) {
  for (int n : {4, 1024, largest_length}) {
    const auto spectrum = transformed(std::vector<cplx>(static_cast<std::size_t>(n), {1, 0}), -1);
    EXPECT_EQ(spectrum[0], (cplx{static_cast<float>(n), 0}));
    for (std::size_t m = 1; m < spectrum.size(); ++m)
      ASSERT_EQ(spectrum[m], (cplx{0, 0})) << "n = " << n << ", bin " << m;
  }
}

TEST(Wvfast, RealInputGivesConjugateSymmetricSpectrum) {
  for (int n : {4, 256, 4096}) {
    auto x = random_signal(n, 5u);
    for (cplx& v : x) v.im = 0;
    const auto a = transformed(x, -1);
    const long double tolerance = std::sqrt(n) * rms(x) * 2 * single_precision_bound(n);
    const auto half = static_cast<std::size_t>(n / 2);
    EXPECT_EQ(a[0].im, 0.0f);
    EXPECT_EQ(a[half].im, 0.0f);
    for (std::size_t m = 1; m < half; ++m) {
      const cplx mirror = a[static_cast<std::size_t>(n) - m];
      ASSERT_LE(std::hypot(mirror.re - a[m].re, mirror.im + a[m].im), tolerance)
          << "n = " << n << ", bin " << m;
    }
  }
}

std::uint64_t fingerprint(std::span<const cplx> values) {
  std::uint64_t hash = 0xcbf29ce484222325u;  // 64-bit FNV-1a over the bit patterns
  for (cplx v : values) {
    for (float part : {v.re, v.im}) {
      const auto bits = std::bit_cast<std::uint32_t>(part);
      for (int shift = 0; shift < 32; shift += 8) {
        hash ^= (bits >> shift) & 0xffu;
        hash *= 0x100000001b3u;
      }
    }
  }
  return hash;
}

// Recorded from this implementation after checking it step by step; any
// change of π, twiddle evaluation or operation order moves these bits.
TEST(Wvfast, FixedInputReproducesRecordedBits) {
  const auto x = random_signal(1024, 2024u);
  const auto forward = transformed(x, -1);
  const auto inverse = transformed(x, 1);
  EXPECT_EQ(fingerprint(forward), 0x6d460379ff02a4ebu);
  EXPECT_EQ(fingerprint(inverse), 0xe957259550a0e199u);
  EXPECT_EQ(forward[0], (cplx{-0x1.85a52ep+3f, 0x1.290828p+1f}));
  EXPECT_EQ(forward[1], (cplx{0x1.56aa24p+3f, -0x1.90ede8p+3f}));
  EXPECT_EQ(forward[512], (cplx{0x1.f63bcp+4f, -0x1.2a5e2cp+4f}));
  EXPECT_EQ(forward[1023], (cplx{-0x1.e7717cp+0f, 0x1.01bce8p+1f}));

  // The quarter-turn twiddle comes from the short π: its cosine is not zero.
  const auto quarter = transformed({{0, 0}, {1, 0}, {0, 0}, {0, 0}}, -1);
  EXPECT_EQ(quarter[1], (cplx{0x1.4442d2p-24f, -1.0f}));
}

TEST(WvfastDeathTest, RefusesArgumentsOutsideItsContract) {
  std::vector<cplx> a(8);
  EXPECT_DEATH(wvfast(0, a, -1), "power of two");
  EXPECT_DEATH(wvfast(6, a, -1), "power of two");
  EXPECT_DEATH(wvfast(-8, a, -1), "power of two");
  EXPECT_DEATH(wvfast(16, a, -1), "exceeds the array");
  EXPECT_DEATH(wvfast(8, a, 0), "direction");
}

}  // namespace
}  // namespace sitewave
