// Complex amplification table of two columns, stored column by column:
// amp(i, 1) refers the surface motion at grid index i to the incident wave in
// the half-space, amp(i, 2) to the total motion at the top of the half-space.
#pragma once

#include <array>
#include <cstddef>

#include "core/spectral/cplx.hpp"

namespace sitewave::ground {

// Length of every working array of the run and of each table column.
inline constexpr int mom = 32768;

class amp_table {
 public:
  cplx& operator()(int i, int k) { return cells_[index(i, k)]; }
  const cplx& operator()(int i, int k) const { return cells_[index(i, k)]; }

 private:
  static constexpr std::size_t index(int i, int k) {
    return static_cast<std::size_t>(k - 1) * mom + static_cast<std::size_t>(i - 1);
  }
  std::array<cplx, 2 * static_cast<std::size_t>(mom)> cells_{};
};

}  // namespace sitewave::ground
