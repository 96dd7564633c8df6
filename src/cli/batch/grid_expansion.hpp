// A study as a grid: a table whose columns are run options, each listing
// its values down the rows (records, profiles, angles, physics...), expanded
// into the manifest of every combination, each case named after its values.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace sitewave::cli {

// The manifest text of the grid's cross product, in the order of its columns
// (the last column changes fastest). Paths stay as written, so the manifest
// is meant to be saved beside the grid. Refuses (input_error) a grid whose
// columns are not run options, or whose cases a manifest would refuse, with
// one line per problem on the standard error stream.
std::string expand_grid(std::string_view text, const std::filesystem::path& grid);

}  // namespace sitewave::cli
