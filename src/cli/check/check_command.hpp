// `sitewave check`: the ground model (and a record) read and checked as a
// run would, without running; a summary of the profile on the console.
#pragma once

#include <span>
#include <string_view>

#include "cli/options/arguments.hpp"

namespace sitewave::cli {

int check_command(std::span<const std::string_view> words);

std::span<const option_spec> check_option_specs();

}  // namespace sitewave::cli
