// Which options of `sitewave run` name input files, and the files they name:
// --record, --soil, each of the three --at2 paths, and --periods when its
// value is a file rather than a list of periods.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace sitewave::cli {

struct option_path {
  std::string role;            // record, at2 H1, at2 H2, at2 V, soil or periods
  std::filesystem::path path;  // as written
};

// The files the value of `option` names; none for an option that names none.
std::vector<option_path> paths_named(std::string_view option, std::string_view value);

// The value with each path it names taken relative to `base` (an absolute
// path stays as it is); the value itself for an option that names no file.
std::string value_from(const std::filesystem::path& base, std::string_view option,
                       std::string_view value);

}  // namespace sitewave::cli
