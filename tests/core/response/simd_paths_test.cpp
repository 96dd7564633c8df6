// The baseline and AVX2 loops give the same bits: the oscillators, the
// transform and the interpolation built on it, for sizes that fill every
// vector and sizes that leave lanes idle. On a machine
// without AVX2 the comparison is skipped; what runs there is the baseline.
#include <gtest/gtest.h>

#include <cmath>
#include <span>
#include <vector>

#include "core/response/band_limited.hpp"
#include "core/response/fourier.hpp"
#include "core/response/oscillator.hpp"
#include "core/response/rotd.hpp"
#include "core/response/simd_path.hpp"
#include "synthetic_record.hpp"

namespace sitewave::response {
namespace {

void skip_without_avx2() {
  if (!runs_on_this_machine(simd_path::avx2)) GTEST_SKIP() << "this machine has no AVX2";
}

std::vector<oscillator> bank_of(std::size_t count, double step) {
  std::vector<oscillator> bank;
  for (std::size_t i = 0; i < count; ++i)
    bank.push_back(make_oscillator(0.011 * static_cast<double>(i + 1),
                                   0.01 * static_cast<double>(i % 7), step));
  return bank;
}

TEST(SimdPaths, OscillatorsGiveSameBitsOnEveryPath) {
  skip_without_avx2();
  const auto record = testing::broadband_record(1500, 0.005, 31);
  for (std::size_t count : {1u, 3u, 4u, 5u, 8u, 9u, 12u, 13u, 16u, 27u}) {
    const auto bank = bank_of(count, 0.005);
    std::vector<double> baseline(count), wide(count);
    peak_pseudo_accelerations(record, bank, baseline, simd_path::baseline);
    peak_pseudo_accelerations(record, bank, wide, simd_path::avx2);
    EXPECT_EQ(wide, baseline) << count << " oscillators";
  }
}

TEST(SimdPaths, GroupingNeverChangesAnOscillatorsPeak) {
  const auto record = testing::broadband_record(900, 0.01, 32);
  const auto bank = bank_of(14, 0.01);
  std::vector<double> together(bank.size());
  peak_pseudo_accelerations(record, bank, together);
  for (std::size_t i = 0; i < bank.size(); ++i) {
    double alone[1];
    peak_pseudo_accelerations(record, std::span(bank).subspan(i, 1), alone);
    EXPECT_EQ(alone[0], together[i]) << "oscillator " << i;
  }
}

// RotD of a pair over periods whose pairs fill groups of every size and
// several strides.
struct rotd_result {
  std::vector<double> median, largest;
  bool operator==(const rotd_result&) const = default;
};

rotd_result rotd_on(std::span<const double> periods, simd_path path) {
  const auto h1 = testing::broadband_record(1200, 0.01, 33);
  auto h2 = testing::broadband_record(1200, 0.01, 34);
  for (double& v : h2) v *= 0.7;
  rotd_result r{std::vector<double>(periods.size()), std::vector<double>(periods.size())};
  rotd_spectra(h1, h2, 0.01, periods, 0.05, r.median, r.largest, {}, path);
  return r;
}

std::vector<double> rotd_periods(std::size_t count) {
  std::vector<double> periods;
  for (std::size_t i = 0; i < count; ++i) periods.push_back(0.01 * std::pow(1.08, double(i)));
  return periods;
}

TEST(SimdPaths, RotDGivesSameBitsOnEveryPath) {
  skip_without_avx2();
  for (std::size_t count : {1u, 5u, 13u, 40u}) {
    const auto periods = rotd_periods(count);
    EXPECT_EQ(rotd_on(periods, simd_path::avx2), rotd_on(periods, simd_path::baseline))
        << count << " periods";
  }
}

// Each period beside the shortest alone (which sets how finely the records
// are interpolated) against all of them together.
TEST(SimdPaths, GroupingNeverChangesAPeriodsRotD) {
  const auto periods = rotd_periods(30);
  const rotd_result together = rotd_on(periods, fastest_simd_path());
  for (std::size_t i = 1; i < periods.size(); i += 3) {
    const double two[] = {periods[0], periods[i]};
    const rotd_result alone = rotd_on(two, fastest_simd_path());
    EXPECT_EQ(alone.median[1], together.median[i]) << periods[i];
    EXPECT_EQ(alone.largest[1], together.largest[i]) << periods[i];
  }
}

TEST(SimdPaths, TransformGivesSameBitsOnEveryPath) {
  skip_without_avx2();
  for (std::size_t n = 1; n <= 65536; n *= 2) {  // up to blocks of either cache
    const auto re = testing::uniform_noise(n, static_cast<std::uint32_t>(n));
    const auto im = testing::uniform_noise(n, static_cast<std::uint32_t>(n + 1));
    auto base_re = re, base_im = im, wide_re = re, wide_im = im;
    fourier_transform(n, simd_path::baseline).forward(base_re, base_im);
    fourier_transform(n, simd_path::avx2).forward(wide_re, wide_im);
    EXPECT_EQ(wide_re, base_re) << n << " points, forward";
    EXPECT_EQ(wide_im, base_im) << n << " points, forward";
    fourier_transform(n, simd_path::baseline).inverse(base_re, base_im);
    fourier_transform(n, simd_path::avx2).inverse(wide_re, wide_im);
    EXPECT_EQ(wide_re, base_re) << n << " points, inverse";
    EXPECT_EQ(wide_im, base_im) << n << " points, inverse";
  }
}

TEST(SimdPaths, InterpolationGivesSameBitsOnEveryPath) {
  skip_without_avx2();
  for (std::size_t samples : {2u, 7u, 300u, 1025u}) {
    const auto record = testing::broadband_record(samples, 0.01, 33);
    for (int factor : {2, 16}) {
      EXPECT_EQ(band_limited_interpolation(record, factor, simd_path::avx2),
                band_limited_interpolation(record, factor, simd_path::baseline))
          << samples << " samples, factor " << factor;
    }
  }
}

}  // namespace
}  // namespace sitewave::response
