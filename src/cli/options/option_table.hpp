// An option declared once: its name, the name of its value, its help and how
// its value is read into a subcommand's settings. The argument reader, each
// subcommand's --help, the batch manifest's columns, run.json's echo of the
// options and the "did you mean" suggestion all read the same rows.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options/arguments.hpp"

namespace sitewave::cli {

// A row of a subcommand's option table, for the given settings type. The
// reader gets the value as written ("" for a flag) and throws option_error
// when it cannot take it; it only sets what its own option decides.
template <class Settings>
struct option_row {
  option_spec declared;
  void (*read)(Settings& settings, std::string_view value);
};

template <class Settings>
std::vector<option_spec> specs_of(std::span<const option_row<Settings>> rows) {
  std::vector<option_spec> specs;
  for (const option_row<Settings>& row : rows) specs.push_back(row.declared);
  return specs;
}

// Reads every option given into settings, each by its own row; returns the
// problem of every option that was refused, in table order.
template <class Settings>
std::vector<option_problem> read_each_option(const arguments& args,
                                             std::span<const option_row<Settings>> rows,
                                             Settings& settings) {
  std::vector<option_problem> problems;
  for (const option_row<Settings>& row : rows) {
    const std::optional<std::string> value = args.value(row.declared.name);
    if (!value) continue;
    try {
      row.read(settings, *value);
    } catch (const option_error& e) {
      problems.push_back(e.problem());
    }
  }
  return problems;
}

// The options part of a --help text: one entry per row, "--name VALUE" and
// its help beside it (continuation lines of the help indented under it).
std::string options_help(std::span<const option_spec> specs);

// The name among `names` closest to `word` by edit distance, when it is
// close enough to be a slip (at most two edits, and at most half the longer
// of the two); "" otherwise.
std::string_view closest_name(std::string_view word, std::span<const std::string_view> names);

}  // namespace sitewave::cli
