// Each period's oscillator is stepped through both records side by side,
// on the records interpolated as for their own spectra, part by part
// (rotd_pairs.cpp).
#include "core/response/rotd.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/response/band_limited_parts.hpp"
#include "core/response/oscillator.hpp"
#include "core/response/rotd_pairs.hpp"
#include "core/response/response_spectrum.hpp"
#include "core/response/spectrum_checks.hpp"

namespace sitewave::response {

namespace {

void put_median_and_largest(std::array<double, rotd_angle_count> peaks, double& median,
                            double& largest) {
  std::sort(peaks.begin(), peaks.end());
  median = 0.5 * (peaks[rotd_angles / 2 - 1] + peaks[rotd_angles / 2]);
  largest = peaks.back();
}

void rotd_walking(std::span<const double> h1, std::span<const double> h2, double dt,
                  std::span<const double> periods, double damping, std::span<double> rotd50,
                  std::span<double> rotd100, const work_control& control, simd_path path,
                  band_limited_parts* given1, band_limited_parts* given2) {
  check_spectrum_arguments(h1, dt, periods, damping, rotd50);
  check_spectrum_arguments(h2, dt, periods, damping, rotd100);
  if (h1.size() != h2.size())
    throw std::invalid_argument("horizontal records of " + std::to_string(h1.size()) + " and " +
                                std::to_string(h2.size()) + " samples");
  if (control.stop_requested()) return;
  const angle_table t;
  std::vector<std::size_t> moving;  // periods > 0
  for (std::size_t i = 0; i < periods.size(); ++i)
    if (periods[i] > 0.0) moving.push_back(i);
  if (h1.size() < 2) {  // no step: the oscillators never move
    for (std::size_t i : moving) rotd50[i] = rotd100[i] = 0.0;
  }
  std::vector<rotated_pair> pairs;
  int finest = 1;
  if (h1.size() >= 2) {
    for (std::size_t i : moving) finest = std::max(finest, interpolation_factor(periods[i], dt));
    for (std::size_t i : moving) {
      const int factor = interpolation_factor(periods[i], dt);
      rotated_pair pair;
      pair.o = make_oscillator(periods[i], damping, dt / factor);
      pair.stride = static_cast<std::size_t>(finest / factor);
      pairs.push_back(pair);
    }
    // Runs of pairs of one stride, at most as many as are followed together.
    const std::size_t together = pairs_together(path);
    std::vector<std::size_t> starts;
    for (std::size_t j = 0; j < pairs.size(); ++j)
      if (starts.empty() || pairs[j].stride != pairs[starts.back()].stride ||
          j - starts.back() == together)
        starts.push_back(j);
    starts.push_back(pairs.size());
    const auto usable = [&](band_limited_parts* p, std::span<const double> h) {
      return p && p->interpolates(h) && p->factor() == finest;
    };
    const bool shared = usable(given1, h1) && usable(given2, h2);
    std::optional<band_limited_parts> own1, own2;
    if (!shared) {
      own1.emplace(h1, finest);
      own2.emplace(h2, finest);
    }
    band_limited_parts& fine1 = shared ? *given1 : *own1;
    band_limited_parts& fine2 = shared ? *given2 : *own2;
    for (std::size_t k = 0; k < fine1.count(); ++k) {
      const std::span<const double> a1 = fine1.part(k), a2 = fine2.part(k);
      const bool last = k + 1 == fine1.count();
      const bool done =
          for_each_block(starts.size() - 1, 1, control, [&](std::size_t b, std::size_t e) {
            for (std::size_t j = b; j < e; ++j)
              follow_pairs(std::span(pairs).subspan(starts[j], starts[j + 1] - starts[j]), a1,
                           a2, k == 0, last, t, path);
          });
      if (!done) return;
    }
  }
  // Period 0: the rotated samples themselves.
  rotated_pair ground;
  for (std::size_t j = 0; j < h1.size(); ++j)
    if (std::hypot(h1[j], h2[j]) > ground.least) ground.take(h1[j], h2[j], t);
  for (std::size_t i = 0; i < periods.size(); ++i)
    if (periods[i] == 0.0) put_median_and_largest(ground.top, rotd50[i], rotd100[i]);
  for (std::size_t j = 0; j < pairs.size(); ++j)
    put_median_and_largest(pairs[j].top, rotd50[moving[j]], rotd100[moving[j]]);
}

}  // namespace

void rotd_spectra(std::span<const double> h1, std::span<const double> h2, double dt,
                  std::span<const double> periods, double damping, std::span<double> rotd50,
                  std::span<double> rotd100, const work_control& control, simd_path path) {
  rotd_walking(h1, h2, dt, periods, damping, rotd50, rotd100, control, path, nullptr, nullptr);
}

void rotd_spectra(std::span<const double> h1, std::span<const double> h2, double dt,
                  std::span<const double> periods, double damping, std::span<double> rotd50,
                  std::span<double> rotd100, band_limited_parts& fine1,
                  band_limited_parts& fine2, const work_control& control) {
  rotd_walking(h1, h2, dt, periods, damping, rotd50, rotd100, control, fastest_simd_path(),
               &fine1, &fine2);
}

}  // namespace sitewave::response
