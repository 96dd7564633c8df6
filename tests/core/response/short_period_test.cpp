// Short periods: the finer sampling rule, and that it is fine enough. A
// 100-sample-per-second broadband record gives the same spectrum, to within
// 1 %, as the same record first interpolated to a finer step, while stepping
// an oscillator at the record's own step, or at ten steps per period,
// underestimates.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/response/band_limited.hpp"
#include "core/response/oscillator.hpp"
#include "core/response/response_spectrum.hpp"
#include "synthetic_record.hpp"

namespace sitewave::response {
namespace {

std::vector<double> spectrum_of(const std::vector<double>& accel, double dt,
                                const std::vector<double>& periods) {
  std::vector<double> psa(periods.size());
  pseudo_spectral_acceleration(accel, dt, periods, 0.05, psa);
  return psa;
}

TEST(ShortPeriods, FactorIsSmallestPowerOfTwoGivingSixtyFourSamplesPerPeriod) {
  struct {
    double period, dt;
    int factor;
  } cases[] = {
      {10.0, 0.01, 1},  {0.64, 0.01, 1},  {0.6, 0.01, 2},    {0.32, 0.01, 2},
      {0.3, 0.01, 4},   {0.1, 0.01, 8},   {0.04, 0.01, 16},  {0.035, 0.01, 32},
      {0.001, 0.01, 32},  // the cap
      {10.0, 0.02, 2},    // at most 10 ms a step, whatever the period
      {10.0, 0.005, 1}, {0.02, 0.005, 16},
  };
  for (const auto& c : cases)
    EXPECT_EQ(interpolation_factor(c.period, c.dt), c.factor) << c.period << " s at " << c.dt;
}

TEST(ShortPeriods, HalvingTheStepChangesLessThanOnePercent) {
  const double dt = 0.01;
  const auto record = testing::broadband_record(4000, dt, 11);
  const std::vector<double> periods{0.01, 0.015, 0.02, 0.03, 0.05, 0.08, 0.1, 0.2, 0.3, 0.5};
  const auto coarse = spectrum_of(record, dt, periods);
  for (int factor : {2, 16}) {
    const auto fine = spectrum_of(band_limited_interpolation(record, factor), dt / factor, periods);
    for (std::size_t i = 0; i < periods.size(); ++i)
      EXPECT_NEAR(coarse[i] / fine[i], 1.0, 0.01)
          << "period " << periods[i] << " s, step divided by " << factor;
  }
}

double peak_at_step(const std::vector<double>& record, double dt, double period, int factor) {
  const auto fine = band_limited_interpolation(record, factor);
  const oscillator bank[] = {make_oscillator(period, 0.05, dt / factor)};
  double peak[1];
  peak_pseudo_accelerations(fine, bank, peak);
  return peak[0];
}

TEST(ShortPeriods, CoarserSteppingUnderestimates) {
  const double dt = 0.01;
  const auto record = testing::broadband_record(4000, dt, 11);
  const std::vector<double> periods{0.02, 0.1};
  const auto ruled = spectrum_of(record, dt, periods);
  // At the record's own step the peak of a 0.02 s oscillator is far too low;
  // at ten steps per period a 0.1 s one is still more than 2 % low.
  EXPECT_LT(peak_at_step(record, dt, 0.02, 1), 0.9 * ruled[0]);
  EXPECT_LT(peak_at_step(record, dt, 0.1, 1), 0.98 * ruled[1]);
}

TEST(ShortPeriods, DefaultPeriodsSpanThreeDecadesEvenlyInLog) {
  const auto periods = default_periods();
  ASSERT_EQ(periods.size(), 100u);
  EXPECT_EQ(periods.front(), 0.01);
  EXPECT_EQ(periods.back(), 10.0);
  for (std::size_t i = 1; i < periods.size(); ++i)
    EXPECT_NEAR(std::log10(periods[i] / periods[i - 1]), 3.0 / 99.0, 1e-12) << i;
}

}  // namespace
}  // namespace sitewave::response
