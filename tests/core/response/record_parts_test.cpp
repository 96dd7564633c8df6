// A record handed to the oscillators in parts: the peaks are the same bits as
// from the whole record, and the interpolation made part by part (of the
// record followed by a zero) stays within its stated distance of the whole
// record's, in values and in PSA.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/response/band_limited.hpp"
#include "core/response/band_limited_parts.hpp"
#include "core/response/oscillator.hpp"
#include "core/response/response_spectrum.hpp"
#include "synthetic_record.hpp"

namespace sitewave::response {
namespace {

std::vector<oscillator> bank_at(double step) {
  std::vector<oscillator> bank;
  for (double period : {0.02, 0.05, 0.1, 0.3, 0.7, 2.0, 9.0})
    bank.push_back(make_oscillator(period, 0.05, step));
  return bank;
}

TEST(RecordParts, PeaksFollowedPartByPartAreTheWholeRecordsBits) {
  const auto record = testing::broadband_record(5000, 0.005, 71);
  for (std::size_t stride : {1u, 4u}) {
    const auto bank = bank_at(0.005 * static_cast<double>(stride));
    std::vector<double> whole(bank.size()), in_parts(bank.size());
    peak_pseudo_accelerations(record, stride, bank, whole);
    for (std::size_t part_steps : {256u, 768u}) {
      peak_follower follower(bank);
      const std::size_t step_values = part_steps * stride;
      std::size_t first = 0;
      for (; first + step_values < record.size() - 1; first += step_values)
        follower.follow(std::span(record).subspan(first, step_values + 1), stride, false);
      follower.follow(std::span(record).subspan(first), stride, true);
      follower.peaks(in_parts);
      EXPECT_EQ(in_parts, whole) << part_steps << " steps a part, stride " << stride;
    }
  }
  peak_follower follower(bank_at(0.01));
  EXPECT_THROW(follower.follow(std::span(record).first(300), 1, false), std::invalid_argument);
}

// A broadband record at 100 samples per second, 4 % of its spectrum's
// plateau at the Nyquist frequency: the samples left out beyond a margin
// move the fine values by about a tenth of the peak over the margin in
// samples (alternating sinc tails of content near the Nyquist frequency),
// and PSA most at T = 2 dt, which resonates with that content.
TEST(RecordParts, InterpolationInPartsStaysNearTheWholeOne) {
  const auto record = testing::broadband_record(6000, 0.01, 72);
  const int factor = 8;
  std::vector<double> followed_by_zero = record;
  followed_by_zero.push_back(0.0);
  const auto whole = band_limited_interpolation(followed_by_zero, factor);
  const auto bank = bank_at(0.01 / factor);
  std::vector<double> from_whole(bank.size());
  peak_pseudo_accelerations(whole, bank, from_whole);
  struct {
    band_limited_parts::layout shape;
    double values, psa_at_two_steps, psa_beyond;  // tolerances
  } cases[] = {{{6001, 512, 64}, 0.0, 0.0, 0.0},  // one part: the whole record's
               {{100, 1024, 256}, 2e-3, 1.2e-2, 1e-3},
               {{100, 1024, 2048}, 4e-4, 2e-4, 1e-5}};
  for (const auto& c : cases) {
    band_limited_parts parts(record, factor, c.shape);
    double worst = 0.0;
    std::vector<double> joined;
    for (std::size_t k = 0; k < parts.count(); ++k) {
      const auto part = parts.part(k);
      for (std::size_t i = k == 0 ? 0 : 1; i < part.size(); ++i) {
        worst = std::max(worst, std::abs(part[i] - whole[joined.size()]));
        joined.push_back(part[i]);
      }
    }
    ASSERT_EQ(joined.size(), whole.size());
    EXPECT_LE(worst, c.values) << c.shape.margin << " samples of margin";
    std::vector<double> from_parts(bank.size());
    peak_pseudo_accelerations(joined, bank, from_parts);
    for (std::size_t i = 0; i < bank.size(); ++i)
      EXPECT_NEAR(from_parts[i] / from_whole[i], 1.0, i == 0 ? c.psa_at_two_steps : c.psa_beyond)
          << c.shape.margin << " samples of margin, oscillator " << i;
  }
}

}  // namespace
}  // namespace sitewave::response
