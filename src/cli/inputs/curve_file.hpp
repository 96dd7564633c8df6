// Soil curves a user tabulates: a long CSV of curve,strain_percent,
// modulus_ratio,damping_percent rows, the modulus ratio and the damping each
// at its own strains (either may be empty on a row). A profile's curve
// column names them beside the built-in models.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/soil/curve.hpp"

namespace sitewave::cli {

struct user_curves {
  std::string file;  // as the curves were named (for messages)
  std::vector<std::pair<std::string, soil::curve>> curves;

  // The curve of that name, or nullptr.
  const soil::curve* find(std::string_view name) const;
  // The names, separated by commas ("" when there are none).
  std::string names() const;
};

// Refuses (input_error, "FILE: line N, column NAME: value V: what is
// expected") a missing or unknown column, a name of a built-in model, a
// value that is not a number, strains that do not increase strictly within
// a curve's table, G/Gmax outside (0, 1], damping outside [0, 50) %, and a
// curve without points in either table.
user_curves read_user_curves(const std::filesystem::path& path);
user_curves parse_user_curves(std::string_view text, const std::string& name);

}  // namespace sitewave::cli
