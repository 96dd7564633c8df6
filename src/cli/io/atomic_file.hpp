// A file that is replaced whole or not at all, for files several processes
// may read while a batch rewrites them (its summary, its case records).
#pragma once

#include <filesystem>
#include <string_view>

namespace sitewave::cli {

// Writes content to a hidden temporary file beside `path` and renames it
// over `path`; a failure (input_error) leaves any former file as it was.
void replace_file(const std::filesystem::path& path, std::string_view content);

}  // namespace sitewave::cli
