// What makes a ground model unusable for an analysis: each check names the
// value and what is expected, or gives nothing when the value is sound. The
// readers add where the value came from (file and line).
#pragma once

#include <optional>
#include <string>

#include "core/ground/layer_table.hpp"

namespace sitewave::ground {

std::optional<std::string> angle_problem(float degrees);
std::optional<std::string> wave_type_problem(int nin);
std::optional<std::string> layer_count_problem(int nl);

// Row l of a table of t.nl rows (the last one is the half-space).
std::optional<std::string> layer_row_problem(const layer_table& t, int l);

// A value as a message shows it.
std::string shown(float v);

}  // namespace sitewave::ground
