// Oscillator banks read a finely interpolated record at a stride exactly as
// they read the thinned copy, and refuse a stride that never advances.
#include "core/response/oscillator.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "core/response/band_limited.hpp"
#include "synthetic_record.hpp"

namespace sitewave::response {
namespace {

std::vector<oscillator> bank_at(double step) {
  std::vector<oscillator> bank;
  for (double period : {0.03, 0.05, 0.1, 0.2, 0.7})
    bank.push_back(make_oscillator(period, 0.05, step));
  return bank;
}

TEST(Oscillators, StrideReadsTheThinnedRecord) {
  const double dt = 0.01;
  const auto record = testing::broadband_record(700, dt, 41);
  const auto fine = band_limited_interpolation(record, 16);
  for (std::size_t stride : {1u, 2u, 4u, 16u}) {
    std::vector<double> thinned;
    for (std::size_t j = 0; j < fine.size(); j += stride) thinned.push_back(fine[j]);
    const auto bank = bank_at(dt / 16 * static_cast<double>(stride));
    std::vector<double> read_thinned(bank.size()), read_strided(bank.size());
    peak_pseudo_accelerations(thinned, bank, read_thinned);
    peak_pseudo_accelerations(fine, stride, bank, read_strided);
    EXPECT_EQ(read_strided, read_thinned) << "stride " << stride;
  }
}

TEST(Oscillators, RefusesStrideThatNeverAdvances) {
  const std::vector<double> record{0.0, 1.0, 0.5};
  const auto bank = bank_at(0.01);
  std::vector<double> peaks(bank.size());
  EXPECT_THROW(peak_pseudo_accelerations(record, 0, bank, peaks), std::invalid_argument);
}

}  // namespace
}  // namespace sitewave::response
