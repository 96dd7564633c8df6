// The peak search crosses most of a record a stretch of 16 steps at a time
// and steps finely only where a stretch's bound reaches the largest value
// found: the bound holds at every fine sample, and the peaks equal those of
// plain step-by-step stepping, whatever the record's shape and length.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/response/band_limited.hpp"
#include "core/response/oscillator.hpp"
#include "synthetic_record.hpp"

namespace sitewave::response {
namespace {

// The exact step in its own form, z(i+1) = E z(i) + g0 a(i) + g1 a(i+1), in
// long double: |p| at every sample after the first, in order.
std::vector<long double> stepped_magnitudes(const oscillator& o, const std::vector<double>& a,
                                            std::vector<long double>* q_out = nullptr) {
  const long double e_pp = o.e_pp, e_pq = o.e_pq, e_qp = o.e_qp, e_qq = o.e_qq;
  const long double g0_p = o.c_p - (e_pp * o.g1_p + e_pq * o.g1_q);
  const long double g0_q = o.c_q - (e_qp * o.g1_p + e_qq * o.g1_q);
  long double p = 0, q = 0;
  std::vector<long double> out;
  for (std::size_t i = 0; i + 1 < a.size(); ++i) {
    const long double next_p = e_pp * p + e_pq * q + g0_p * a[i] + o.g1_p * a[i + 1];
    const long double next_q = e_qp * p + e_qq * q + g0_q * a[i] + o.g1_q * a[i + 1];
    p = next_p;
    q = next_q;
    out.push_back(p);
    if (q_out != nullptr) q_out->push_back(q);
  }
  return out;
}

// Largest |p| over the samples and the free vibration after the last one.
long double reference_peak(const oscillator& o, const std::vector<double>& a) {
  std::vector<long double> q;
  const auto p = stepped_magnitudes(o, a, &q);
  long double top = 0;
  for (long double v : p) top = std::max(top, std::abs(v));
  if (p.empty()) return top;
  // The free vibration over one period, sampled and then refined around
  // its largest sample by golden-section search.
  const long double zeta = o.damping, s = std::sqrt(1.0L - zeta * zeta);
  const long double p0 = p.back(), quadrature = (q.back() + zeta * p0) / s;
  const auto swing = [&](long double theta) {
    return std::abs(std::exp(-zeta * theta / s) *
                    (p0 * std::cos(theta) + quadrature * std::sin(theta)));
  };
  constexpr int samples = 4000;
  const long double turn = 2.0L * 3.14159265358979323846L, d = turn / samples;
  int best = 0;
  for (int k = 1; k <= samples; ++k)
    if (swing(k * d) > swing(best * d)) best = k;
  long double lo = std::max(0.0L, (best - 1) * d), hi = (best + 1) * d;
  const long double ratio = (std::sqrt(5.0L) - 1) / 2;
  for (int i = 0; i < 200; ++i) {
    const long double left = hi - ratio * (hi - lo), right = lo + ratio * (hi - lo);
    if (swing(left) < swing(right))
      lo = left;
    else
      hi = right;
  }
  return std::max({top, swing(best * d), swing((lo + hi) / 2)});
}

// Records that put the peak at different places: an earthquake-like record
// (quiet ends), a lone pulse inside a stretch, a tone that ends in mid-swing
// so that the free vibration after it is largest, and lengths with and
// without a partial stretch at the end.
std::vector<std::vector<double>> shaped_records() {
  std::vector<std::vector<double>> records;
  records.push_back(testing::broadband_record(2000, 0.01, 51));
  std::vector<double> pulse(700, 0.0);
  pulse[333] = 1.0;
  pulse[334] = -0.4;
  records.push_back(pulse);
  std::vector<double> tone(517);
  for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = std::sin(0.05 * static_cast<double>(i));
  records.push_back(tone);
  records.push_back(testing::broadband_record(16, 0.01, 52));   // no whole stretch
  records.push_back(testing::broadband_record(17, 0.01, 53));   // exactly one
  records.push_back(testing::broadband_record(290, 0.01, 54));  // a partial one at the end
  return records;
}

TEST(PeakSearch, EqualsStepByStepPeak) {
  const double step = 0.01 / 16;
  for (const auto& record : shaped_records()) {
    for (double damping : {0.0, 0.05, 0.3, 0.9}) {
      std::vector<oscillator> bank;
      for (double period : {0.0015, 0.01, 0.03, 0.2, 2.0, 30.0})
        bank.push_back(make_oscillator(period, damping, step));
      std::vector<double> peaks(bank.size());
      peak_pseudo_accelerations(record, bank, peaks);
      for (std::size_t i = 0; i < bank.size(); ++i) {
        const long double want = reference_peak(bank[i], record);
        EXPECT_NEAR(peaks[i], static_cast<double>(want), 1e-11 * static_cast<double>(want) + 1e-300)
            << record.size() << " samples, damping " << damping << ", oscillator " << i;
      }
    }
  }
}

TEST(PeakSearch, RecordsOfAnyMagnitudeScaleTheirPeaks) {
  // Squared amplitudes of records near the ends of the double range under-
  // or overflow; the peaks still scale exactly with a power-of-two scale.
  std::vector<oscillator> bank;
  for (double period : {0.0015, 0.01, 0.2, 5.0})
    bank.push_back(make_oscillator(period, 0.05, 0.01 / 16));
  for (const auto& record : shaped_records()) {
    std::vector<double> unscaled(bank.size());
    peak_pseudo_accelerations(record, bank, unscaled);
    for (int power : {-900, -530, 500, 900}) {
      std::vector<double> scaled_record = record;
      for (double& v : scaled_record) v = std::ldexp(v, power);
      std::vector<double> peaks(bank.size());
      peak_pseudo_accelerations(scaled_record, bank, peaks);
      for (std::size_t i = 0; i < bank.size(); ++i)
        EXPECT_EQ(peaks[i], std::ldexp(unscaled[i], power))
            << record.size() << " samples, scale 2^" << power << ", oscillator " << i;
    }
  }
}

TEST(PeakSearch, StretchBoundHoldsAtEveryFineSample) {
  // From each stretch's start, |p| stays within the free vibration's
  // amplitude plus stretch_gain times the stretch's largest |a|.
  const auto record = band_limited_interpolation(testing::broadband_record(600, 0.01, 55), 16);
  const double step = 0.01 / 16;
  for (double damping : {0.0, 0.05, 0.5, 0.95}) {
    for (double period : {0.002, 0.011, 0.04, 0.5, 8.0}) {
      const oscillator o = make_oscillator(period, damping, step);
      std::vector<long double> q;
      const auto p = stepped_magnitudes(o, record, &q);
      const long double s = std::sqrt(1.0L - damping * damping);
      for (std::size_t first = 0; first + steps_per_stretch < record.size();
           first += steps_per_stretch) {
        const long double p0 = first == 0 ? 0 : p[first - 1], q0 = first == 0 ? 0 : q[first - 1];
        const long double amplitude = std::hypot(p0, (q0 + damping * p0) / s);
        double peak_a = 0.0;
        for (std::size_t r = 0; r <= steps_per_stretch; ++r)
          peak_a = std::max(peak_a, std::abs(record[first + r]));
        const long double bound = amplitude + o.stretch_gain * peak_a;
        for (std::size_t r = 0; r < steps_per_stretch; ++r)
          ASSERT_LE(std::abs(p[first + r]), bound * (1 + 1e-12L))
              << "period " << period << ", damping " << damping << ", sample " << first + r + 1;
      }
    }
  }
}

}  // namespace
}  // namespace sitewave::response
