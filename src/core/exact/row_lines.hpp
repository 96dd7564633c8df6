// The terms of one row at up to max_interleaved_lines lines at once, for rows
// whose damping changes from line to line: the lines' chains of divisions and
// square roots run side by side in vector lanes. Each line gets the same bits
// as sh_terms_of and psv_terms_of give it; a line whose values leave the
// plain range of line_arithmetic.hpp is formed by those functions instead.
#pragma once

#include <span>

#include "core/exact/psv_recursion.hpp"
#include "core/exact/sh_recursion.hpp"

namespace sitewave::exact {

// out[l] for row[l] at angular frequency omega[l], with its crossing factor
// when crossed (every row but the half-space), else 1. All spans have the
// same size, at most max_interleaved_lines.
void sh_terms_of_lines(std::span<const damped_row> row, double p, std::span<const double> omega,
                       bool crossed, std::span<sh_terms> out);
void psv_terms_of_lines(std::span<const damped_row> row, double p,
                        std::span<const double> omega, bool crossed, std::span<psv_terms> out);

}  // namespace sitewave::exact
