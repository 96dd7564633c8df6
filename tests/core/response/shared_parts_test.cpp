// One interpolated record walked by several computations in turn: the PSA of
// each horizontal and the RotD of the pair give the bits they give with
// records of their own, for a record of one part and one of several, and a
// record interpolated for other periods is not used.
#include <gtest/gtest.h>

#include <vector>

#include "core/response/band_limited_parts.hpp"
#include "core/response/response_spectrum.hpp"
#include "core/response/rotd.hpp"
#include "synthetic_record.hpp"

namespace sitewave::response {
namespace {

const std::vector<double> periods{0.0, 0.015, 0.04, 0.2, 1.0, 3.0};
constexpr double dt = 0.01;

struct spectra {
  std::vector<double> psa1, psa2, median, largest;
  bool operator==(const spectra&) const = default;
};

spectra sized() {
  const std::vector<double> one(periods.size());
  return {one, one, one, one};
}

spectra alone(const std::vector<double>& h1, const std::vector<double>& h2) {
  spectra s = sized();
  pseudo_spectral_acceleration(h1, dt, periods, 0.05, s.psa1);
  pseudo_spectral_acceleration(h2, dt, periods, 0.05, s.psa2);
  rotd_spectra(h1, h2, dt, periods, 0.05, s.median, s.largest);
  return s;
}

spectra shared(const std::vector<double>& h1, const std::vector<double>& h2, int factor,
               band_limited_parts::layout shape) {
  spectra s = sized();
  band_limited_parts fine1(h1, factor, shape), fine2(h2, factor, shape);
  pseudo_spectral_acceleration(h1, dt, periods, 0.05, s.psa1, {}, &fine1);
  pseudo_spectral_acceleration(h2, dt, periods, 0.05, s.psa2, {}, &fine2);
  rotd_spectra(h1, h2, dt, periods, 0.05, s.median, s.largest, fine1, fine2);
  return s;
}

// Each computation with an interpolated record of its own, in that layout.
spectra fresh(const std::vector<double>& h1, const std::vector<double>& h2, int factor,
              band_limited_parts::layout shape) {
  spectra s = sized();
  band_limited_parts a1(h1, factor, shape), a2(h2, factor, shape);
  band_limited_parts b1(h1, factor, shape), b2(h2, factor, shape);
  pseudo_spectral_acceleration(h1, dt, periods, 0.05, s.psa1, {}, &a1);
  pseudo_spectral_acceleration(h2, dt, periods, 0.05, s.psa2, {}, &a2);
  rotd_spectra(h1, h2, dt, periods, 0.05, s.median, s.largest, b1, b2);
  return s;
}

TEST(SharedParts, OneInterpolationServesPsaAndRotdWithTheSameBits) {
  const auto h1 = testing::broadband_record(3000, dt, 91);
  auto h2 = testing::broadband_record(3000, dt, 92);
  for (double& v : h2) v *= 0.8;
  const int finest = finest_interpolation_factor(periods, dt);
  EXPECT_EQ(finest, interpolation_factor(0.015, dt));
  const spectra reference = alone(h1, h2);
  EXPECT_EQ(shared(h1, h2, finest, {}), reference) << "one part";
  // Parts of 512 steps: each computation walks the record again.
  const band_limited_parts::layout parts{
      .whole_record_samples = 600, .part_steps = 512, .margin = 256};
  EXPECT_EQ(shared(h1, h2, finest, parts), fresh(h1, h2, finest, parts)) << "several parts";
  // Interpolated for other periods: each makes its own.
  EXPECT_EQ(shared(h1, h2, finest / 2, {}), reference) << "another factor";
}

TEST(SharedParts, APartAskedForAgainIsTheOneAlreadyMade) {
  const auto h = testing::broadband_record(700, dt, 93);
  band_limited_parts fine(h, 8, {.whole_record_samples = 300, .part_steps = 256, .margin = 64});
  ASSERT_GT(fine.count(), 1u);
  const auto first = fine.part(1);
  const std::vector<double> values(first.begin(), first.end());
  const auto again = fine.part(1);
  EXPECT_EQ(again.data(), first.data());
  EXPECT_EQ(std::vector<double>(again.begin(), again.end()), values);
  fine.part(0);
  const auto made_again = fine.part(1);
  EXPECT_EQ(std::vector<double>(made_again.begin(), made_again.end()), values);
}

}  // namespace
}  // namespace sitewave::response
