// The options of `sitewave batch`: the manifest, where the results go, how
// many cases run at once, and which share of the cases this process takes.
#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "cli/options/arguments.hpp"

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

  // DIR/summary.csv, or DIR/summary-K-of-M.csv for one shard of several.
  std::filesystem::path summary_file() const;
};

std::span<const option_spec> batch_option_specs();

// Reads and checks the options; usage_error or option_error names the bad one.
batch_options parse_batch_options(const arguments& args);

// The processors this process may run on (a scheduler may grant fewer than
// the machine has).
int available_processors();

}  // namespace sitewave::cli
