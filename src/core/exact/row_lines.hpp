// The terms of one row at up to max_interleaved_lines lines at once, for rows
// whose damping changes from line to line: the lines' chains of divisions and
// square roots run side by side in vector lanes. Each line gets the same bits
// as sh_terms_of and psv_terms_of give it; a line whose values leave the
// plain range of line_arithmetic.hpp is formed by those functions instead.
#pragma once

#include <span>

#include "core/exact/exact_transfer.hpp"
#include "core/exact/psv_recursion.hpp"
#include "core/exact/sh_recursion.hpp"

namespace sitewave::exact {

// A row at several lines: its quality factors and angular frequency at each
// (all of one size, at most max_interleaved_lines).
struct row_at_lines {
  const layer_row& row;
  std::span<const double> qp, qs, omega;

  std::size_t lines() const { return omega.size(); }
  // The row as the waves see it at line l, as damp() forms it.
  damped_row damped(std::size_t l) const {
    return {row.density, damped_velocity(row.vp, qp[l]), damped_velocity(row.vs, qs[l]),
            row.thickness};
  }
};

// out[l] for the row at line l with horizontal slowness p, with its
// crossing factor when crossed (every row but the half-space), else 1. The
// SH terms do not read qp.
void sh_terms_of_lines(const row_at_lines& row, double p, bool crossed, std::span<sh_terms> out);
void psv_terms_of_lines(const row_at_lines& row, double p, bool crossed,
                        std::span<psv_terms> out);

}  // namespace sitewave::exact
