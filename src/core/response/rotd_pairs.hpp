// The oscillator pairs of the RotD spectra as they walk the two horizontal
// records: each period's oscillator stepped through both, and the peaks of
// the pair rotated through the 180 angles.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "core/response/oscillator.hpp"
#include "core/response/rotd.hpp"
#include "core/response/simd_path.hpp"

namespace sitewave::response {

inline constexpr auto rotd_angle_count = static_cast<std::size_t>(rotd_angles);

struct angle_table {
  std::array<double, rotd_angle_count> cosine, sine;
  angle_table();
};

// One period's pair of oscillators, read at a stride of the finest record.
struct rotated_pair {
  oscillator o;
  std::size_t stride = 1;
  double y1p = 0.0, y1q = 0.0, y2p = 0.0, y2q = 0.0;
  std::array<double, rotd_angle_count> top{};
  double least = 0.0;  // the smallest of top

  // top[i] = max(top[i], |cos t_i p1 + sin t_i p2|), and least again.
  void take(double p1, double p2, const angle_table& t);
  // The free vibration after the record, from the state at its last
  // sample (e1, e2): that of the rotated pair is the rotated state's.
  void finish(double e1, double e2, const angle_table& t);
};

// The most pairs of one stride followed together on the path.
std::size_t pairs_together(simd_path path);

// One part of the records (from the last sample of the part before) through
// a group of at most pairs_together(path) pairs of one stride, side by side.
// The first part starts them at rest; after the last one their peaks include
// the free vibration. Every path gives the same bits.
void follow_pairs(std::span<rotated_pair> group, std::span<const double> a1,
                  std::span<const double> a2, bool first, bool last, const angle_table& t,
                  simd_path path);

}  // namespace sitewave::response
