// Help texts: the list of subcommands with one line each, and for each
// subcommand its usage, its options from its table and its notes.
#include "cli/options/help.hpp"

#include "cli/options/option_table.hpp"

#ifndef SITEWAVE_VERSION
#define SITEWAVE_VERSION "unknown"
#endif

namespace sitewave::cli {

namespace {

constexpr std::string_view exit_statuses =
    "Exit status: 0 done, 1 refused input or failed run (for batch: any case not ok),\n"
    "2 usage error, 128 + the signal number when interrupted.\n";

}  // namespace

std::string program_help(std::span<const subcommand> subcommands) {
  std::string text =
      "sitewave: seismic ground response of horizontally layered ground\n\n"
      "Usage:\n"
      "  sitewave                     the console dialogue (reads soil_dat.csv and asks for the "
      "record)\n";
  for (const subcommand& s : subcommands) {
    std::string line = "  sitewave " + std::string(s.usage);
    if (line.size() + 1 < 31) {
      line.append(31 - line.size(), ' ');
    } else {
      line += "\n" + std::string(31, ' ');
    }
    text += line + std::string(s.summary) + "\n";
  }
  text +=
      "  sitewave --help              this text; sitewave SUBCOMMAND --help for its options\n"
      "  sitewave --version           the program version and licence\n\n";
  return text + std::string(exit_statuses);
}

std::string subcommand_help(const subcommand& s) {
  std::string text = "Usage: sitewave ";
  text.append(s.usage).append("\n\n").append(s.summary).append("\n\nOptions:\n");
  text.append(options_help(s.options())).append("  -h, --help             this text\n");
  if (!s.notes.empty()) text.append("\n").append(s.notes);
  return text.append("\n").append(exit_statuses);
}

std::string_view version_text() {
  return "sitewave " SITEWAVE_VERSION
         "\nMIT License: free to use, change and share, without warranty (see LICENSE)\n";
}

}  // namespace sitewave::cli
