// `sitewave run`: one analysis from the command line into a results folder.
#pragma once

#include <span>
#include <string_view>

namespace sitewave::cli {

// Returns the exit status; errors are reported on the standard error stream.
int run_command(std::span<const std::string_view> words);

}  // namespace sitewave::cli
