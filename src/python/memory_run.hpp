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

#include "cli/inputs/ground_model.hpp"
#include "cli/inputs/record.hpp"
#include "cli/run/run_results.hpp"

namespace sitewave::python {

// A ground model with the name messages and run.json give it (its file, or
// "<array>" for one built from arrays).
struct named_model {
  cli::ground_model model;
  std::string name;
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
// soil or folder options: those come from rec and model). Throws the
// command's option_error, usage_error or input_error with its one-line message.
std::shared_ptr<memory_run> run_in_memory(const std::vector<std::string>& words,
                                                cli::record rec, named_model model);

// Writes the run's files into target as `sitewave run --out target` does:
// whole or not at all, replacing sitewave's results only when `replace`.
void write_folder(const memory_run& run, const std::filesystem::path& target, bool replace);

}  // namespace sitewave::python
