// Band-limited interpolation: the samples stay as they were, and between them
// a smooth band-limited signal is recovered to many digits.
#include "core/response/band_limited.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "synthetic_record.hpp"

namespace sitewave::response {
namespace {

// A 7 Hz tone under a Gaussian envelope, sampled at 100 per second: well inside
// the band and at rest (to 1e-25) at both ends of a 4 s record.
double wave_packet(double t) {
  const double centre = 2.0, width = 0.25;
  const double x = (t - centre) / width;
  return std::exp(-x * x) * std::sin(2.0 * std::numbers::pi * 7.0 * t);
}

TEST(BandLimitedInterpolation, RecoversBandLimitedSignalBetweenSamples) {
  const double dt = 0.01;
  std::vector<double> record(401);
  for (std::size_t i = 0; i < record.size(); ++i) record[i] = wave_packet(i * dt);
  for (int factor : {2, 3, 8, 16}) {
    const auto fine = band_limited_interpolation(record, factor);
    ASSERT_EQ(fine.size(), 400u * factor + 1) << factor;
    for (std::size_t j = 0; j < fine.size(); ++j)
      ASSERT_NEAR(fine[j], wave_packet(j * dt / factor), 1e-12) << factor << ", sample " << j;
  }
}

TEST(BandLimitedInterpolation, StaysExactAcrossLongRecords) {
  // 32768 samples: the transform's longest twiddle tables and fifteen
  // delays from one running product, with the packet far from either end.
  const double dt = 0.01, centre = 250.0;
  std::vector<double> record(32768);
  for (std::size_t i = 0; i < record.size(); ++i) record[i] = wave_packet(i * dt - centre + 2.0);
  const auto fine = band_limited_interpolation(record, 16);
  for (std::size_t j = 0; j < fine.size(); j += 7)
    ASSERT_NEAR(fine[j], wave_packet(j * dt / 16 - centre + 2.0), 1e-12) << "sample " << j;
}

TEST(BandLimitedInterpolation, KeepsEveryOriginalSampleExactly) {
  const auto record = testing::broadband_record(1000, 0.01, 5);
  const auto fine = band_limited_interpolation(record, 16);
  for (std::size_t j = 0; j < record.size(); ++j) ASSERT_EQ(fine[16 * j], record[j]) << j;
}

TEST(BandLimitedInterpolation, FinerInterpolationContainsCoarser) {
  const auto record = testing::broadband_record(777, 0.01, 6);
  const auto by4 = band_limited_interpolation(record, 4);
  const auto by16 = band_limited_interpolation(record, 16);
  for (std::size_t j = 0; j < by4.size(); ++j) ASSERT_NEAR(by4[j], by16[4 * j], 1e-13) << j;
}

TEST(BandLimitedInterpolation, WritesIntoCallersStorageOfTheRightSizes) {
  const auto record = testing::broadband_record(300, 0.01, 7);
  const auto fine = band_limited_interpolation(record, 8);
  std::vector<double> into(fine.size(), -1.0);
  std::vector<double> scratch(interpolation_scratch_size(record.size()), -1.0);
  band_limited_interpolation(record, 8, into, scratch);
  EXPECT_EQ(into, fine);
  std::vector<double> short_by_one(fine.size() - 1), long_by_one(fine.size() + 1);
  EXPECT_THROW(band_limited_interpolation(record, 8, short_by_one, scratch), std::invalid_argument);
  EXPECT_THROW(band_limited_interpolation(record, 8, long_by_one, scratch), std::invalid_argument);
  scratch.pop_back();
  EXPECT_THROW(band_limited_interpolation(record, 8, into, scratch), std::invalid_argument);
}

TEST(BandLimitedInterpolation, ShortRecordsAndFactorOneAreCopies) {
  const std::vector<double> one{3.5};
  EXPECT_EQ(band_limited_interpolation(one, 8), one);
  EXPECT_TRUE(band_limited_interpolation(std::vector<double>{}, 8).empty());
  const std::vector<double> three{1.0, -2.0, 0.5};
  EXPECT_EQ(band_limited_interpolation(three, 1), three);
  EXPECT_THROW(band_limited_interpolation(three, 0), std::invalid_argument);
}

}  // namespace
}  // namespace sitewave::response
