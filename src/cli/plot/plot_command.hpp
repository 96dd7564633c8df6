// `sitewave plot DIR`: the figures of a results folder, drawn by the plotting
// script installed with the program.
#pragma once

#include <span>
#include <string_view>

namespace sitewave::cli {

int plot_command(std::span<const std::string_view> words);

}  // namespace sitewave::cli
