// `sitewave curves MODEL`: a soil curve as a table of strain, modulus ratio
// and damping, for checking a model's parameters or plotting it.
#pragma once

#include <span>
#include <string_view>

#include "cli/options/arguments.hpp"

namespace sitewave::cli {

int curves_command(std::span<const std::string_view> words);

std::span<const option_spec> curves_option_specs();

}  // namespace sitewave::cli
