// RotD50 and RotD100 against what they must be: a pair of identical
// components (the pair along 45 degrees), a circularly polarised motion (the
// same peak in every direction), and 180 oscillators on the rotated records.
#include "core/response/rotd.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/response/response_spectrum.hpp"
#include "synthetic_record.hpp"

namespace sitewave::response {
namespace {

constexpr double pi = std::numbers::pi;

struct rotd {
  std::vector<double> median, largest;
};

rotd rotd_of(const std::vector<double>& h1, const std::vector<double>& h2, double dt,
             const std::vector<double>& periods) {
  rotd r{std::vector<double>(periods.size()), std::vector<double>(periods.size())};
  rotd_spectra(h1, h2, dt, periods, 0.05, r.median, r.largest);
  return r;
}

std::vector<double> psa_of(const std::vector<double>& a, double dt,
                           const std::vector<double>& periods) {
  std::vector<double> psa(periods.size());
  pseudo_spectral_acceleration(a, dt, periods, 0.05, psa);
  return psa;
}

const std::vector<double> periods{0.0, 0.02, 0.1, 0.3, 1.0, 4.0};

TEST(RotD, IdenticalComponentsGiveOneAndRootTwoTimesEach) {
  // The rotated response is (cos t + sin t) p = sqrt(2) sin(t + 45) p: the
  // largest sqrt(2) |p| at 45 degrees; 89 of the 180 angles give less than
  // sqrt(2) sin 45 and two (0 and 90 degrees) exactly that, the median.
  const auto a = testing::broadband_record(900, 0.01, 81);
  const auto psa = psa_of(a, 0.01, periods);
  const auto r = rotd_of(a, a, 0.01, periods);
  for (std::size_t i = 0; i < periods.size(); ++i) {
    EXPECT_NEAR(r.largest[i] / (std::sqrt(2.0) * psa[i]), 1.0, 1e-12) << periods[i];
    EXPECT_NEAR(r.median[i] / psa[i], 1.0, 1e-12) << periods[i];
  }
}

TEST(RotD, CircularMotionHasTheSamePeakInEveryDirection) {
  // a = A(t) (cos W t, sin W t) over 60 cycles, A rising and falling as
  // sin^2 from 0 to 1 and back: the response turns in a circle of slowly
  // changing radius, whose largest value every direction meets.
  const double dt = 0.005, forcing = 2.0, duration = 30.0;  // Hz, s
  std::vector<double> h1, h2;
  for (int i = 0; i <= 6000; ++i) {
    const double t = i * dt, envelope = std::pow(std::sin(pi * t / duration), 2);
    h1.push_back(envelope * std::cos(2.0 * pi * forcing * t));
    h2.push_back(envelope * std::sin(2.0 * pi * forcing * t));
  }
  const std::vector<double> off_resonance{0.0, 0.1, 0.25, 1.0};
  const auto r = rotd_of(h1, h2, dt, off_resonance);
  for (std::size_t i = 0; i < off_resonance.size(); ++i)
    EXPECT_NEAR(r.median[i] / r.largest[i], 1.0, 1e-3) << off_resonance[i];
  EXPECT_NEAR(r.largest[0], 1.0, 1e-12);
}

TEST(RotD, AgreesWithOneHundredEightyOscillatorsOnRotatedRecords) {
  const auto h1 = testing::broadband_record(800, 0.01, 82);
  auto h2 = testing::broadband_record(800, 0.01, 83);
  for (double& v : h2) v *= 0.6;
  std::vector<std::vector<double>> peaks(periods.size());
  for (int angle = 0; angle < rotd_angles; ++angle) {
    const double c = std::cos(pi * angle / 180.0), s = std::sin(pi * angle / 180.0);
    std::vector<double> rotated(h1.size());
    for (std::size_t j = 0; j < h1.size(); ++j) rotated[j] = c * h1[j] + s * h2[j];
    const auto psa = psa_of(rotated, 0.01, periods);
    for (std::size_t i = 0; i < periods.size(); ++i) peaks[i].push_back(psa[i]);
  }
  const auto r = rotd_of(h1, h2, 0.01, periods);
  for (std::size_t i = 0; i < periods.size(); ++i) {
    std::sort(peaks[i].begin(), peaks[i].end());
    EXPECT_NEAR(r.median[i] / (0.5 * (peaks[i][89] + peaks[i][90])), 1.0, 1e-9) << periods[i];
    EXPECT_NEAR(r.largest[i] / peaks[i].back(), 1.0, 1e-9) << periods[i];
  }
}

TEST(RotD, RefusesRecordsOfDifferentLengths) {
  const std::vector<double> h1(10, 0.1), h2(11, 0.1);
  std::vector<double> a(periods.size()), b(periods.size());
  EXPECT_THROW(rotd_spectra(h1, h2, 0.01, periods, 0.05, a, b), std::invalid_argument);
}

}  // namespace
}  // namespace sitewave::response
