// Plausible slips in a ground model's rows that still give an analysis: a
// velocity a decimal point away from a soil's, a density jump no real
// profile has, a damping ratio typed where Q belongs. One line each, naming
// the file, the line and the column as the file calls it.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/ground/layer_table.hpp"

namespace sitewave::cli {

// How the file names the columns the warnings point at.
struct layer_column_names {
  const char* vs;
  const char* density;
  const char* vp;  // nullptr: the file gives no P velocities
  const char* qs;  // nullptr: the damping is not given as Q
  const char* qp;
};

// lines[l - 1] is the line of row l of the table.
std::vector<std::string> layer_warnings(const ground::layer_table& t, std::span<const int> lines,
                                        const std::string& file, const layer_column_names& names);

}  // namespace sitewave::cli
