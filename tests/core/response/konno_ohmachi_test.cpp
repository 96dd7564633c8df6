// Konno-Ohmachi smoothing against the sum over every line, within the error
// the cut-off allows; a constant spectrum stays constant; line 0 is left as
// it is; and inputs it cannot smooth are refused.
#include "core/response/konno_ohmachi.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "synthetic_record.hpp"

namespace sitewave::response {
namespace {

// Largest |smoothed - sum over every line k >= 1| over the largest |a|, for
// each spectrum, on every line below 128 and every `every`-th above.
std::vector<double> worst_errors(const std::vector<std::vector<double>>& spectra, double b,
                                 std::size_t every) {
  const std::size_t n = spectra.front().size();
  std::vector<std::vector<double>> smoothed;
  for (const auto& a : spectra) {
    smoothed.emplace_back(n);
    konno_ohmachi(a, 0.01, b, smoothed.back());
  }
  std::vector<double> worst(spectra.size(), 0.0);
  std::vector<double> w(n);
  for (std::size_t c = 1; c < n; c += c < 128 ? 1 : every) {
    for (std::size_t k = 1; k < n; ++k) {
      const double y = b * std::log10(static_cast<double>(k) / static_cast<double>(c));
      const double r = y == 0.0 ? 1.0 : std::sin(y) / y;
      w[k] = (r * r) * (r * r);
    }
    for (std::size_t i = 0; i < spectra.size(); ++i) {
      long double wa = 0, sum_w = 0;
      for (std::size_t k = 1; k < n; ++k) {
        wa += w[k] * spectra[i][k];
        sum_w += w[k];
      }
      const double full = static_cast<double>(wa / sum_w);
      worst[i] = std::max(worst[i], std::abs(smoothed[i][c] - full));
    }
  }
  for (std::size_t i = 0; i < spectra.size(); ++i) {
    double top = 0.0;
    for (double v : spectra[i]) top = std::max(top, std::abs(v));
    worst[i] /= top;
  }
  return worst;
}

std::vector<double> white_amplitudes(std::size_t n, std::uint32_t seed) {
  auto a = testing::uniform_noise(n, seed);
  for (double& v : a) v = std::abs(v);
  return a;
}

// Fourier amplitudes of a broadband record: rising to a plateau, then
// falling by orders of magnitude, with the line-to-line scatter of real data.
std::vector<double> record_amplitudes(std::size_t lines, std::uint32_t seed) {
  const std::size_t length = 2 * (lines - 1);
  std::vector<double> re = testing::broadband_record(length, 0.01, seed);
  std::vector<double> im(length, 0.0);
  fourier_transform(length).forward(re, im);
  std::vector<double> a(lines);
  for (std::size_t k = 0; k < lines; ++k) a[k] = std::hypot(re[k], im[k]);
  return a;
}

std::vector<double> spike(std::size_t n, std::size_t at) {
  std::vector<double> a(n, 0.0);
  a[at] = 1.0;
  return a;
}

TEST(KonnoOhmachi, WithinStatedErrorOfFullSum) {
  // 2e-4 of the largest amplitude for b = 40, 1.2e-3 for b = 20.
  const std::vector<std::vector<double>> spectra{white_amplitudes(4097, 1),
                                                 record_amplitudes(4097, 2), spike(4097, 9),
                                                 spike(4097, 150), spike(4097, 3000)};
  for (double e : worst_errors(spectra, 40.0, 5)) EXPECT_LT(e, 2e-4);
  for (double e : worst_errors(spectra, 20.0, 5)) EXPECT_LT(e, 1.2e-3);
}

TEST(KonnoOhmachi, WithinStatedErrorOfFullSumOnLargestGrid) {
  const std::vector<std::vector<double>> spectra{record_amplitudes(16385, 3),
                                                 white_amplitudes(16385, 4)};
  for (double e : worst_errors(spectra, 40.0, 97)) EXPECT_LT(e, 2e-4);
}

TEST(KonnoOhmachi, ConstantSpectrumStaysConstant) {
  for (std::size_t n : {2u, 3u, 100u, 16385u}) {
    const std::vector<double> a(n, 2.75);
    std::vector<double> s(n);
    konno_ohmachi(a, 0.05, 40.0, s);
    for (std::size_t k = 0; k < n; ++k) ASSERT_NEAR(s[k], 2.75, 1e-13) << n << " lines, line " << k;
  }
}

TEST(KonnoOhmachi, WindowNarrowerThanALineLeavesSpectrumAsIs) {
  // b = 1e6: even at line 16384 the neighbours lie beyond the cut-off.
  const std::vector<double> a = record_amplitudes(16385, 8);
  std::vector<double> s(a.size());
  konno_ohmachi(a, 0.01, 1e6, s);
  EXPECT_EQ(s, a);
}

TEST(KonnoOhmachi, ZeroFrequencyLineKeepsItsValue) {
  std::vector<double> a = white_amplitudes(500, 5);
  a[0] = 123.0;
  std::vector<double> s(a.size());
  konno_ohmachi(a, 0.05, 40.0, s);
  EXPECT_EQ(s[0], 123.0);
  // ... and weighs nothing in the other lines.
  std::vector<double> without = a;
  without[0] = 0.0;
  std::vector<double> s0(a.size());
  konno_ohmachi(without, 0.05, 40.0, s0);
  for (std::size_t k = 1; k < a.size(); ++k) ASSERT_EQ(s[k], s0[k]) << k;
}

TEST(KonnoOhmachi, SmoothsInPlace) {
  const std::vector<double> a = record_amplitudes(2049, 6);
  std::vector<double> apart(a.size());
  konno_ohmachi(a, 0.05, 40.0, apart);
  std::vector<double> in_place = a;
  konno_ohmachi(in_place, 0.05, 40.0, in_place);
  EXPECT_EQ(in_place, apart);
}

TEST(KonnoOhmachi, RefusesWhatItCannotSmooth) {
  std::vector<double> a = white_amplitudes(100, 7);
  std::vector<double> s(a.size());
  EXPECT_THROW(konno_ohmachi(a, 0.05, 40.0, std::span(s).first(99)), std::invalid_argument);
  EXPECT_THROW(konno_ohmachi(a, 0.0, 40.0, s), std::invalid_argument);
  EXPECT_THROW(konno_ohmachi(a, 0.05, 0.0, s), std::invalid_argument);
  EXPECT_THROW(konno_ohmachi(a, 0.05, std::numeric_limits<double>::quiet_NaN(), s),
               std::invalid_argument);
  EXPECT_THROW(konno_ohmachi(a, 0.05, std::numeric_limits<double>::denorm_min(), s),
               std::invalid_argument);
  a[40] = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW(konno_ohmachi(a, 0.05, 40.0, s), std::invalid_argument);
  std::vector<double> none;
  EXPECT_NO_THROW(konno_ohmachi(none, 0.05, 40.0, none));
}

}  // namespace
}  // namespace sitewave::response
