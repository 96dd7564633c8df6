// The texts of `sitewave --help`, of each subcommand's --help and of
// `sitewave --version`, made from the subcommand table and the option tables.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/options/arguments.hpp"

namespace sitewave::cli {

// A subcommand of the command front end, as the dispatcher and the help see it.
struct subcommand {
  std::string_view name;
  std::string_view usage;    // after "sitewave ": "run [options]"
  std::string_view summary;  // one line
  int (*run)(std::span<const std::string_view> words);
  std::span<const option_spec> (*options)();
  std::string_view notes;  // after its options: the words it takes, examples
};

std::string program_help(std::span<const subcommand> subcommands);
std::string subcommand_help(const subcommand& s);
std::string_view version_text();

}  // namespace sitewave::cli
