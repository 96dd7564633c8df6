// Each period's oscillator is stepped through both records side by side,
// on the records interpolated as for their own spectra, part by part. The
// 180 rotated peaks are updated only at steps where the pair's resultant
// sqrt(p1^2 + p2^2), which bounds every rotated value, passes the smallest
// of them: after the first strong cycles that is a small share of the steps.
#include "core/response/rotd.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/response/band_limited_parts.hpp"
#include "core/response/oscillator.hpp"
#include "core/response/response_spectrum.hpp"
#include "core/response/spectrum_checks.hpp"

namespace sitewave::response {

namespace {

struct angle_table {
  std::array<double, rotd_angles> cosine, sine;
  angle_table() {
    for (int i = 0; i < rotd_angles; ++i) {
      const double t = std::numbers::pi * i / rotd_angles;
      cosine[static_cast<std::size_t>(i)] = std::cos(t);
      sine[static_cast<std::size_t>(i)] = std::sin(t);
    }
  }
};

// One period's pair of oscillators as they walk the records.
struct rotated_pair {
  oscillator o;
  std::size_t stride = 1;
  double y1p = 0.0, y1q = 0.0, y2p = 0.0, y2q = 0.0;
  std::array<double, rotd_angles> top{};
  double least = 0.0;  // the smallest of top

  void take(double p1, double p2, const angle_table& t) {
    for (std::size_t i = 0; i < top.size(); ++i)
      top[i] = std::max(top[i], std::abs(t.cosine[i] * p1 + t.sine[i] * p2));
    least = *std::min_element(top.begin(), top.end());
  }

  // The free vibration after the record, from the state at its last
  // sample: that of the rotated pair is the rotated state's.
  void finish(double e1, double e2, const angle_table& t) {
    const double p1 = y1p + o.g1_p * e1, q1 = y1q + o.g1_q * e1;
    const double p2 = y2p + o.g1_p * e2, q2 = y2q + o.g1_q * e2;
    for (std::size_t i = 0; i < top.size(); ++i) {
      const double c = t.cosine[i], s = t.sine[i];
      top[i] = std::max(top[i], free_vibration_peak(c * p1 + s * p2, c * q1 + s * q2, o.damping));
    }
  }
};

// Up to four pairs that read the records at the same stride, stepped side
// by side: their steps do not wait on one another.
constexpr std::size_t pairs_together = 4;

void follow(std::span<rotated_pair> group, std::span<const double> a1,
            std::span<const double> a2, bool first, bool last, const angle_table& t) {
  const std::size_t stride = group[0].stride;
  const std::size_t samples = (a1.size() - 1) / stride + 1;
  if (first) {  // at rest at the first sample
    for (rotated_pair& r : group) {
      r.y1p = -r.o.g1_p * a1[0];
      r.y1q = -r.o.g1_q * a1[0];
      r.y2p = -r.o.g1_p * a2[0];
      r.y2q = -r.o.g1_q * a2[0];
    }
  }
  // The coefficients and states in local arrays, idle lanes at zero, so
  // that the lanes' steps interleave.
  constexpr std::size_t w = pairs_together;
  double epp[w] = {}, epq[w] = {}, eqp[w] = {}, eqq[w] = {}, cp[w] = {}, cq[w] = {}, g1p[w] = {};
  double y1p[w] = {}, y1q[w] = {}, y2p[w] = {}, y2q[w] = {}, least[w] = {};
  const std::size_t n = group.size();
  for (std::size_t k = 0; k < n; ++k) {
    const oscillator& o = group[k].o;
    epp[k] = o.e_pp, epq[k] = o.e_pq, eqp[k] = o.e_qp, eqq[k] = o.e_qq;
    cp[k] = o.c_p, cq[k] = o.c_q, g1p[k] = o.g1_p;
    y1p[k] = group[k].y1p, y1q[k] = group[k].y1q, y2p[k] = group[k].y2p, y2q[k] = group[k].y2q;
    least[k] = group[k].least * group[k].least;
  }
  for (std::size_t i = 0; i + 1 < samples; ++i) {
    const double b1 = a1[i * stride], b2 = a2[i * stride];
    const double e1 = a1[(i + 1) * stride], e2 = a2[(i + 1) * stride];
    double p1[w], p2[w];
    bool any = false;
    for (std::size_t k = 0; k < w; ++k) {
      const double n1p = (epp[k] * y1p[k] + epq[k] * y1q[k]) + cp[k] * b1;
      const double n1q = (eqp[k] * y1p[k] + eqq[k] * y1q[k]) + cq[k] * b1;
      const double n2p = (epp[k] * y2p[k] + epq[k] * y2q[k]) + cp[k] * b2;
      const double n2q = (eqp[k] * y2p[k] + eqq[k] * y2q[k]) + cq[k] * b2;
      y1p[k] = n1p;
      y1q[k] = n1q;
      y2p[k] = n2p;
      y2q[k] = n2q;
      p1[k] = n1p + g1p[k] * e1;
      p2[k] = n2p + g1p[k] * e2;
      any |= p1[k] * p1[k] + p2[k] * p2[k] > least[k];
    }
    if (!any) continue;
    for (std::size_t k = 0; k < n; ++k) {
      if (!(p1[k] * p1[k] + p2[k] * p2[k] > least[k])) continue;
      group[k].take(p1[k], p2[k], t);
      least[k] = group[k].least * group[k].least;
    }
  }
  for (std::size_t k = 0; k < n; ++k) {
    group[k].y1p = y1p[k], group[k].y1q = y1q[k], group[k].y2p = y2p[k], group[k].y2q = y2q[k];
  }
  if (last)
    for (rotated_pair& r : group)
      r.finish(a1[(samples - 1) * stride], a2[(samples - 1) * stride], t);
}

void put_median_and_largest(std::array<double, rotd_angles> peaks, double& median,
                            double& largest) {
  std::sort(peaks.begin(), peaks.end());
  median = 0.5 * (peaks[rotd_angles / 2 - 1] + peaks[rotd_angles / 2]);
  largest = peaks.back();
}

}  // namespace

void rotd_spectra(std::span<const double> h1, std::span<const double> h2, double dt,
                  std::span<const double> periods, double damping, std::span<double> rotd50,
                  std::span<double> rotd100, const work_control& control) {
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
    // Runs of pairs of one stride, at most pairs_together long.
    std::vector<std::size_t> starts;
    for (std::size_t j = 0; j < pairs.size(); ++j)
      if (starts.empty() || pairs[j].stride != pairs[starts.back()].stride ||
          j - starts.back() == pairs_together)
        starts.push_back(j);
    starts.push_back(pairs.size());
    band_limited_parts fine1(h1, finest), fine2(h2, finest);
    for (std::size_t k = 0; k < fine1.count(); ++k) {
      const std::span<const double> a1 = fine1.part(k), a2 = fine2.part(k);
      const bool last = k + 1 == fine1.count();
      const bool done =
          for_each_block(starts.size() - 1, 1, control, [&](std::size_t b, std::size_t e) {
            for (std::size_t j = b; j < e; ++j)
              follow(std::span(pairs).subspan(starts[j], starts[j + 1] - starts[j]), a1, a2,
                     k == 0, last, t);
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

}  // namespace sitewave::response
