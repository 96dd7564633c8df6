// The oscillator pairs of the RotD spectra as they walk the two horizontal
// records: each period's oscillator stepped through both, and the peaks of
// the pair rotated through the 180 angles.
#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <span>

#include "core/response/oscillator.hpp"
#include "core/response/rotd.hpp"
#include "core/response/simd_path.hpp"

namespace sitewave::response {

inline constexpr auto rotd_angle_count = static_cast<std::size_t>(rotd_angles);

// The angles in sectors of twelve (slots padded to a multiple of four).
inline constexpr std::size_t rotd_sector_angles = 12;
inline constexpr std::size_t rotd_sectors = rotd_angle_count / rotd_sector_angles;
inline constexpr std::size_t rotd_sector_slots = (rotd_sectors + 3) / 4 * 4;
static_assert(rotd_angle_count % rotd_sector_angles == 0);

struct angle_table {
  std::array<double, rotd_angle_count> cosine, sine;
  // Each sector's middle direction, and the sine of half its width.
  std::array<double, rotd_sector_slots> middle_cosine, middle_sine;
  double half_width_sine;
  angle_table();
};

constexpr std::array<double, rotd_sector_slots> padded_zeros() {
  std::array<double, rotd_sector_slots> v{};
  for (std::size_t s = rotd_sectors; s < v.size(); ++s) v[s] = std::numeric_limits<double>::infinity();
  return v;
}

// One period's pair of oscillators, read at a stride of the finest record.
struct rotated_pair {
  oscillator o;
  std::size_t stride = 1;
  double y1p = 0.0, y1q = 0.0, y2p = 0.0, y2q = 0.0;
  std::array<double, rotd_angle_count> top{};
  double least = 0.0;  // the smallest of top
  // The smallest of top in each sector; +inf in the padding slots.
  std::array<double, rotd_sector_slots> sector_least = padded_zeros();

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
