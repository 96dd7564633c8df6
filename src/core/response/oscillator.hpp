// Linear single-degree-of-freedom oscillators driven by base acceleration that
// varies linearly over each step, solved exactly step by step, and the peak of
// their pseudo-acceleration over the record and the free vibration after it.
// The coefficients are made in oscillator.cpp, the peaks found in
// peak_search.cpp.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "core/response/simd_path.hpp"

namespace sitewave::response {

// One oscillator at one step h, in the state z = (w^2 u, w v) (units of
// acceleration), whose exact step is z(i+1) = E z(i) + g0 a(i) + g1 a(i+1).
// It is stepped as y = z - g1 a, which takes one load a step instead of two:
// y(i+1) = E y(i) + c a(i) with c = E g1 + g0, and z(i+1) = y(i+1) + g1 a(i+1).
struct oscillator {
  double e_pp, e_pq, e_qp, e_qq;
  double c_p, c_q;
  double g1_p, g1_q;
  double damping;
  // Within a stretch of steps_per_stretch steps from the state (p, q), |p|
  // stays below sqrt(p^2 + ((q + zeta p) / sqrt(1 - zeta^2))^2) + stretch_gain
  // times the largest |a| of the stretch's samples.
  double stretch_gain;
};

// The peak search steps this many steps at once and bounds the response
// within them (see peak_search.cpp).
inline constexpr std::size_t steps_per_stretch = 16;

// period > 0, 0 <= damping < 1, step > 0.
oscillator make_oscillator(double period, double damping, double step);

// Parts of a record other than the last hold a multiple of this many steps.
inline constexpr std::size_t steps_per_part = 256;

// The peaks of a bank followed through a record handed over in consecutive
// parts, each from the last sample of the part before (the first part from
// the record's first sample), read at a stride. The peaks are the same bits
// as those of the record in one part.
class peak_follower {
 public:
  explicit peak_follower(std::span<const oscillator> bank, simd_path path = fastest_simd_path());
  ~peak_follower();
  peak_follower(peak_follower&&) noexcept;

  // Throws std::invalid_argument for a stride of 0 or a part before the
  // last whose steps are not a multiple of steps_per_part.
  void follow(std::span<const double> part, std::size_t stride, bool last);
  // After the last part: out[i] for bank[i], out as large as the bank.
  void peaks(std::span<double> out) const;

 private:
  struct runs;
  std::vector<oscillator> bank_;
  simd_path path_;
  std::unique_ptr<runs> runs_;
  bool finished_ = false;
};

// peaks[i] = w^2 max |u| of bank[i] under the record sampled at the bank's
// step, starting at rest, including the free vibration after the last sample
// (the ground at rest thereafter). bank and peaks have the same size. Every
// path gives the same bits; one the machine cannot run falls back to the
// baseline.
void peak_pseudo_accelerations(std::span<const double> record, std::span<const oscillator> bank,
                               std::span<double> peaks, simd_path path = fastest_simd_path());

// The same under every `stride`-th value of record (stride >= 1): a finely
// interpolated record thinned to a coarser step without a copy.
void peak_pseudo_accelerations(std::span<const double> record, std::size_t stride,
                               std::span<const oscillator> bank, std::span<double> peaks,
                               simd_path path = fastest_simd_path());

}  // namespace sitewave::response
