// A batch manifest: a table with a header row whose columns are named after
// the options of `sitewave run`, one case (one analysis) per row. Paths in
// it are relative to the manifest's folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace sitewave::cli {

struct manifest_case {
  std::string name;  // also the name of its results folder
  int line = 0;      // where its row starts in the manifest
  // The options of its run as "--name=value", with absolute paths; the
  // batch adds where the results go.
  std::vector<std::string> options;
};

struct manifest {
  std::filesystem::path path;
  std::vector<manifest_case> cases;
  // One line per problem (file, line, case, column, value and what is
  // expected); a manifest with any problem is not run at all.
  std::vector<std::string> problems;
};

// Reads and checks every row; refuses (input_error) only a manifest that
// cannot be read at all.
manifest read_manifest(const std::filesystem::path& path);

// The same from the manifest's text; `path` names it and anchors its paths.
manifest parse_manifest(std::string_view text, const std::filesystem::path& path);

}  // namespace sitewave::cli
