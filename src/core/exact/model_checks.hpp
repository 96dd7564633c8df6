// Refusal of ground models and angles the exact physics cannot compute, with
// a message that names the row, the value and what was expected.
#pragma once

#include <span>

#include "core/exact/exact_transfer.hpp"

namespace sitewave::exact {

// Throws std::invalid_argument unless rows hold at least the half-space,
// every value is usable and 0 ≤ theta < π/2.
void check_model(std::span<const layer_row> rows, double theta);

}  // namespace sitewave::exact
