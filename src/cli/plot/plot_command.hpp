// `sitewave plot DIR`: the figures of a results folder, drawn by the plotting
// script installed with the program.
#pragma once

#include <span>
#include <string_view>

#include "cli/options/arguments.hpp"

namespace sitewave::cli {

int plot_command(std::span<const std::string_view> words);

// The options the plotting script takes, for the help and the argument check.
std::span<const option_spec> plot_option_specs();

}  // namespace sitewave::cli
