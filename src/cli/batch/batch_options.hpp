// The options of `sitewave batch`: the manifest, where the results go, how
// many cases run at once, and which share of the cases this process takes.
#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "cli/options/arguments.hpp"
#include "cli/options/option_table.hpp"

namespace sitewave::cli {

struct batch_options {
  std::filesystem::path manifest;
  std::filesystem::path out;  // empty only with --list
  int jobs = 1;               // cases at once (default: the processors this process may use)
  bool force = false;         // run every case again
  int shard = 0;              // --shard K/M: the cases whose index modulo M is K
  int shards = 1;
  bool list = false;          // print the case names and stop
  bool summary_only = false;  // collect summary.csv from the case folders, run nothing
  bool expand = false;        // MANIFEST is a grid: print its manifest and stop

  // DIR/summary.csv, or DIR/summary-K-of-M.csv for one shard of several.
  std::filesystem::path summary_file() const;
};

namespace batch_option_readers {
void out(batch_options& o, std::string_view v);
void jobs(batch_options& o, std::string_view v);
void shard(batch_options& o, std::string_view v);
}  // namespace batch_option_readers

// clang-format off
inline constexpr option_row<batch_options> batch_option_table[] = {
    {{"out", "DIR", "results: DIR/<case>/ per case and DIR/summary.csv"}, batch_option_readers::out},
    {{"jobs", "N", "cases at once (default: the processors available); each runs single-threaded",
      'j'}, batch_option_readers::jobs},
    {{"force", "", "run every case again (default: skip cases whose results stand)"},
     [](batch_options& o, std::string_view) { o.force = true; }},
    {{"shard", "K/M", "run only the cases whose index (0 for the first) modulo M is K"},
     batch_option_readers::shard},
    {{"list", "", "print the case names (of the shard) and stop"},
     [](batch_options& o, std::string_view) { o.list = true; }},
    {{"summary-only", "", "run nothing; collect DIR/summary.csv from the case folders"},
     [](batch_options& o, std::string_view) { o.summary_only = true; }},
    {{"expand", "", "MANIFEST is a grid of option values: print the manifest of every\n"
                    "combination (save it beside the grid) and stop"},
     [](batch_options& o, std::string_view) { o.expand = true; }},
};
// clang-format on

std::span<const option_spec> batch_option_specs();

// Reads and checks the options; usage_error or option_error names the bad one.
batch_options parse_batch_options(const arguments& args);

// The processors this process may run on (a scheduler may grant fewer than
// the machine has).
int available_processors();

}  // namespace sitewave::cli
