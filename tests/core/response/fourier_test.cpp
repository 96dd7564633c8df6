// The double-precision transform against a direct sum in long double for
// lengths from 1 to 2048, and the unscaled round trip.
#include "core/response/fourier.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "synthetic_record.hpp"

namespace sitewave::response {
namespace {

struct spectrum {
  std::vector<double> re, im;
};

spectrum direct_dft(const spectrum& x, int sign) {
  const std::size_t n = x.re.size();
  std::vector<long double> c(n), s(n);
  for (std::size_t m = 0; m < n; ++m) {
    const long double angle = sign * 2.0L * std::numbers::pi_v<long double> *
                              static_cast<long double>(m) / static_cast<long double>(n);
    c[m] = std::cos(angle);
    s[m] = std::sin(angle);
  }
  spectrum out{std::vector<double>(n), std::vector<double>(n)};
  for (std::size_t k = 0; k < n; ++k) {
    long double sr = 0, si = 0;
    for (std::size_t j = 0; j < n; ++j) {
      const std::size_t m = (j * k) % n;
      sr += x.re[j] * c[m] - x.im[j] * s[m];
      si += x.re[j] * s[m] + x.im[j] * c[m];
    }
    out.re[k] = static_cast<double>(sr);
    out.im[k] = static_cast<double>(si);
  }
  return out;
}

spectrum random_signal(std::size_t n, std::uint32_t seed) {
  return {testing::uniform_noise(n, seed), testing::uniform_noise(n, seed + 1)};
}

TEST(FourierTransform, MatchesDirectSumInBothDirections) {
  for (std::size_t n = 1; n <= 2048; n *= 2) {
    const spectrum x = random_signal(n, static_cast<std::uint32_t>(n));
    const fourier_transform transform(n);
    for (int sign : {-1, 1}) {
      spectrum y = x;
      if (sign < 0)
        transform.forward(y.re, y.im);
      else
        transform.inverse(y.re, y.im);
      const spectrum ref = direct_dft(x, sign);
      // Rounding grows with log2 n; the values themselves with sqrt n.
      const double tolerance = 1e-15 * std::sqrt(static_cast<double>(n)) * 12.0;
      for (std::size_t k = 0; k < n; ++k) {
        ASSERT_NEAR(y.re[k], ref.re[k], tolerance) << n << " points, line " << k;
        ASSERT_NEAR(y.im[k], ref.im[k], tolerance) << n << " points, line " << k;
      }
    }
  }
}

TEST(FourierTransform, LongLengthsTurnToneIntoSingleLine) {
  // Lengths whose stages run in cache-sized blocks, with log2 n odd and even:
  // exp(2 pi i m j / n) under the inverse, and its conjugate under the
  // forward transform, have the one line n at n - m.
  for (std::size_t n : {16384u, 32768u, 65536u, 131072u}) {
    const fourier_transform transform(n);
    for (std::size_t m : {std::size_t{1}, n / 2 + 3, n - 977}) {
      spectrum x{std::vector<double>(n), std::vector<double>(n)};
      for (std::size_t j = 0; j < n; ++j) {
        const long double angle = 2.0L * std::numbers::pi_v<long double> *
                                  static_cast<long double>((j * m) % n) /
                                  static_cast<long double>(n);
        x.re[j] = static_cast<double>(std::cos(angle));
        x.im[j] = static_cast<double>(std::sin(angle));
      }
      spectrum back = x;
      for (std::size_t j = 0; j < n; ++j) back.im[j] = -back.im[j];
      transform.inverse(x.re, x.im);
      transform.forward(back.re, back.im);
      const std::size_t line = n - m;
      for (std::size_t k = 0; k < n; ++k) {
        const double want = k == line ? static_cast<double>(n) : 0.0;
        ASSERT_NEAR(x.re[k], want, 1e-9) << n << " points, tone " << m << ", line " << k;
        ASSERT_NEAR(x.im[k], 0.0, 1e-9) << n << " points, tone " << m << ", line " << k;
        ASSERT_NEAR(back.re[k], want, 1e-9) << n << " points, tone " << m << ", line " << k;
        ASSERT_NEAR(back.im[k], 0.0, 1e-9) << n << " points, tone " << m << ", line " << k;
      }
    }
  }
}

TEST(FourierTransform, InverseOfForwardIsLengthTimesSignal) {
  const std::size_t n = 65536;
  const spectrum x = random_signal(n, 99);
  spectrum y = x;
  const fourier_transform transform(n);
  transform.forward(y.re, y.im);
  transform.inverse(y.re, y.im);
  for (std::size_t j = 0; j < n; ++j) {
    ASSERT_NEAR(y.re[j] / n, x.re[j], 1e-14) << j;
    ASSERT_NEAR(y.im[j] / n, x.im[j], 1e-14) << j;
  }
}

TEST(FourierTransform, ReversedOrderHoldsEachLineAtItsBitReversedPosition) {
  for (std::size_t n = 1; n <= 4096; n *= 2) {
    const spectrum x = random_signal(n, static_cast<std::uint32_t>(3 * n));
    const fourier_transform transform(n);
    spectrum natural = x, reversed = x;
    transform.forward(natural.re, natural.im);
    transform.forward_to_reversed(reversed.re, reversed.im);
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t p = transform.reversed(k);
      ASSERT_EQ(transform.reversed(p), k) << n << " points";
      ASSERT_EQ(reversed.re[p], natural.re[k]) << n << " points, line " << k;
      ASSERT_EQ(reversed.im[p], natural.im[k]) << n << " points, line " << k;
    }
    transform.inverse_from_reversed(reversed.re, reversed.im);
    transform.inverse(natural.re, natural.im);
    EXPECT_EQ(reversed.re, natural.re) << n << " points";
    EXPECT_EQ(reversed.im, natural.im) << n << " points";
  }
}

TEST(FourierTransform, RefusesLengthsItCannotTake) {
  EXPECT_THROW(fourier_transform(0), std::invalid_argument);
  EXPECT_THROW(fourier_transform(12), std::invalid_argument);
  const fourier_transform transform(8);
  std::vector<double> re(4), im(4);
  EXPECT_THROW(transform.forward(re, im), std::invalid_argument);
}

}  // namespace
}  // namespace sitewave::response
