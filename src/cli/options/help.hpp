// The texts of `sitewave --help` and `sitewave --version`.
#pragma once

#include <string_view>

namespace sitewave::cli {

std::string_view help_text();
std::string_view version_text();

}  // namespace sitewave::cli
