// Complex amplification table of two columns: amp(i, 1) refers the surface
// motion at grid index i to the incident wave in the half-space, amp(i, 2) to
// the total motion at the top of the half-space. The routines that fill it
// see the columns as storage their caller sized.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "core/spectral/cplx.hpp"

namespace sitewave::ground {

// The two columns, entry i (counted from 1) of column k at amp(i, k).
class amp_columns {
 public:
  amp_columns(std::span<cplx> column1, std::span<cplx> column2)
      : columns_{column1, column2},
        length_(static_cast<int>(std::min(column1.size(), column2.size()))) {}

  cplx& operator()(int i, int k) const {
    return columns_[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(i - 1)];
  }
  std::span<cplx> column(int k) const { return columns_[static_cast<std::size_t>(k - 1)]; }
  // Entries in each column.
  int length() const { return length_; }

 private:
  std::array<std::span<cplx>, 2> columns_;
  int length_;
};

// A table that owns its columns, for callers that size it at run time.
class amp_table {
 public:
  explicit amp_table(int length) : length_(static_cast<std::size_t>(length)), cells_(2 * length_) {}

  amp_columns columns() {
    const std::span<cplx> all(cells_);
    return {all.first(length_), all.subspan(length_)};
  }
  cplx& operator()(int i, int k) { return columns()(i, k); }

 private:
  std::size_t length_;
  std::vector<cplx> cells_;
};

}  // namespace sitewave::ground
