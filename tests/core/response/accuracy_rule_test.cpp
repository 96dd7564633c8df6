// The sampling rule against the band-limited truth: records at 50, 100 and
// 200 samples per second, their PSA against stepping each oscillator through
// the record, followed by zeros, interpolated 64 times finer; and a record
// cut off in strong motion, whose long periods hang on the step to rest
// after its last sample.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/response/band_limited.hpp"
#include "core/response/oscillator.hpp"
#include "core/response/response_spectrum.hpp"
#include "synthetic_record.hpp"

namespace sitewave::response {
namespace {

double stepped_64_times_finer(std::vector<double> record, double dt, double period) {
  const auto fine = band_limited_interpolation(record, 64);
  const oscillator bank[] = {make_oscillator(period, 0.05, dt / 64)};
  double peak[1];
  peak_pseudo_accelerations(fine, bank, peak);
  return peak[0];
}

double truth(std::vector<double> record, double dt, double period) {
  record.push_back(0.0);
  return stepped_64_times_finer(record, dt, period);
}

TEST(AccuracyRule, WithinThreeTenthsOfAPercentOfSixtyFourTimesFinerStepping) {
  struct {
    double dt;
    std::size_t samples, kept;
    double tolerance;
  } cases[] = {{0.02, 600, 600, 0.003},
               {0.01, 1200, 1200, 0.003},
               {0.005, 2400, 2400, 0.003},
               {0.02, 600, 150, 0.005}};
  std::vector<double> periods;
  for (int i = 0; i <= 18; ++i) periods.push_back(0.01 * std::pow(10.0, i / 6.0));
  for (const auto& c : cases) {
    auto record = testing::broadband_record(c.samples, c.dt, 61);
    record.resize(c.kept);
    std::vector<double> psa(periods.size());
    pseudo_spectral_acceleration(record, c.dt, periods, 0.05, psa);
    for (std::size_t i = 0; i < periods.size(); ++i)
      EXPECT_NEAR(psa[i] / truth(record, c.dt, periods[i]), 1.0, c.tolerance)
          << "period " << periods[i] << " s, dt " << c.dt << " s, " << c.kept << " samples";
  }
}

TEST(AccuracyRule, FreeVibrationStartsFromTheStepToRest) {
  // Cut off at 0.47 of its peak: with the ground at rest from the last
  // sample on, PSA at 10 s would be 43 % high.
  auto record = testing::broadband_record(600, 0.02, 61);
  record.resize(150);
  const double periods[] = {10.0};
  double psa[1];
  pseudo_spectral_acceleration(record, 0.02, periods, 0.05, psa);
  EXPECT_NEAR(psa[0] / truth(record, 0.02, 10.0), 1.0, 0.005);
  EXPECT_GT(stepped_64_times_finer(record, 0.02, 10.0) / psa[0], 1.3);
}

}  // namespace
}  // namespace sitewave::response
