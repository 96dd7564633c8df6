// How a spectrum run behaves as a whole: the same numbers for any thread
// count, an early stop that leaves what it did not reach, and refusals of
// inputs that would give a wrong spectrum.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "core/response/response_spectrum.hpp"
#include "synthetic_record.hpp"

namespace sitewave::response {
namespace {

std::vector<double> periods_with_zero() {
  std::vector<double> p = default_periods();
  p.insert(p.begin(), 0.0);
  return p;
}

TEST(SpectrumRun, ThreadCountNeverChangesResult) {
  const auto record = testing::broadband_record(3000, 0.01, 21);
  const auto periods = periods_with_zero();
  std::vector<double> one(periods.size());
  pseudo_spectral_acceleration(record, 0.01, periods, 0.05, one, {.threads = 1});
  for (int threads : {2, 3, 8}) {
    std::vector<double> many(periods.size());
    pseudo_spectral_acceleration(record, 0.01, periods, 0.05, many, {.threads = threads});
    EXPECT_EQ(many, one) << threads << " threads";
  }
  EXPECT_EQ(one.front(), 1.0);  // the record's peak |a|
  for (double v : one) EXPECT_GT(v, 0.0);
}

TEST(SpectrumRun, StopAskedBeforehandLeavesResultsUntouched) {
  const auto record = testing::broadband_record(1000, 0.01, 22);
  const auto periods = periods_with_zero();
  std::atomic<bool> stop{true};
  std::vector<double> psa(periods.size(), -1.0);
  pseudo_spectral_acceleration(record, 0.01, periods, 0.05, psa, {.threads = 2, .stop = &stop});
  EXPECT_EQ(psa, std::vector<double>(periods.size(), -1.0));
}

TEST(SpectrumRun, ResultsMayReplaceThePeriods) {
  const auto record = testing::broadband_record(1000, 0.01, 23);
  const auto periods = periods_with_zero();
  std::vector<double> apart(periods.size());
  pseudo_spectral_acceleration(record, 0.01, periods, 0.05, apart);
  std::vector<double> in_place = periods;
  pseudo_spectral_acceleration(record, 0.01, in_place, 0.05, in_place);
  EXPECT_EQ(in_place, apart);
}

TEST(SpectrumRun, RecordsTooShortToMoveGiveZeroResponse) {
  const std::vector<double> periods{0.0, 0.5};
  std::vector<double> psa(2, -1.0);
  pseudo_spectral_acceleration(std::vector<double>{-2.0}, 0.01, periods, 0.05, psa);
  EXPECT_EQ(psa, (std::vector<double>{2.0, 0.0}));
  pseudo_spectral_acceleration(std::vector<double>{}, 0.01, periods, 0.05, psa);
  EXPECT_EQ(psa, (std::vector<double>{0.0, 0.0}));
}

TEST(SpectrumRun, RefusesInputsThatWouldGiveWrongSpectrum) {
  std::vector<double> record = testing::broadband_record(200, 0.01, 24);
  const std::vector<double> periods{0.0, 0.2, 1.0};
  std::vector<double> psa(3);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  auto run = [&](double dt, const std::vector<double>& p, double zeta, std::span<double> out) {
    pseudo_spectral_acceleration(record, dt, p, zeta, out);
  };
  EXPECT_THROW(run(0.0, periods, 0.05, psa), std::invalid_argument);
  EXPECT_THROW(run(-0.01, periods, 0.05, psa), std::invalid_argument);
  EXPECT_THROW(run(nan, periods, 0.05, psa), std::invalid_argument);
  EXPECT_THROW(run(0.01, periods, 1.0, psa), std::invalid_argument);
  EXPECT_THROW(run(0.01, periods, -0.01, psa), std::invalid_argument);
  EXPECT_THROW(run(0.01, periods, nan, psa), std::invalid_argument);
  EXPECT_THROW(run(0.01, {0.2, -1.0, 1.0}, 0.05, psa), std::invalid_argument);
  EXPECT_THROW(run(0.01, {0.2, nan, 1.0}, 0.05, psa), std::invalid_argument);
  EXPECT_THROW(run(0.01, periods, 0.05, std::span(psa).first(2)), std::invalid_argument);
  EXPECT_THROW(
      pseudo_spectral_acceleration(record, 0.01, periods, 0.05, std::span(record).subspan(10, 3)),
      std::invalid_argument);
  record[57] = std::numeric_limits<double>::infinity();
  EXPECT_THROW(run(0.01, periods, 0.05, psa), std::invalid_argument);
}

}  // namespace
}  // namespace sitewave::response
