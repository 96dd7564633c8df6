// One `sitewave run` kept in memory for the Python module: the options as
// the command's own words, a record and a ground model already read, and
// every result file kept as text, so that a folder written later holds
// exactly what the command writes. No Python here.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/inputs/profile_table.hpp"
#include "cli/inputs/record.hpp"
#include "cli/run/run_results.hpp"

namespace sitewave::python {

// The ground as the command reads it (its model, what its rows do under
// strain, its warnings), the name messages and run.json give it (its file,
// or "<array>" for one built from arrays) and the options that read it
// ("--soil=PATH" or "--profile=PATH", "--water-table=...", "--curves=...").
struct named_ground {
  cli::ground_profile ground;
  std::string name;
  std::vector<std::string> words;
};

struct memory_run {
  cli::run_options options;
  cli::run_inputs inputs;
  cli::run_products products;
  int threads = 1;
  // Every result file in the order run.json lists them, run.json last.
  std::vector<std::pair<std::string, std::string>> files;
  std::vector<std::string> warnings;

  const std::string* file(std::string_view name) const;
};

// Runs the command's analysis on `words` ("--angle=30", ...; no record,
// ground or folder options: those come from rec and ground). Throws the
// command's option_error, usage_error or input_error with its one-line message.
std::shared_ptr<memory_run> run_in_memory(const std::vector<std::string>& words,
                                                cli::record rec, named_ground ground);

// Writes the run's files into target as `sitewave run --out target` does:
// whole or not at all, replacing sitewave's results only when `replace`.
void write_folder(const memory_run& run, const std::filesystem::path& target, bool replace);

}  // namespace sitewave::python
