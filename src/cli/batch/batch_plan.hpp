// What a batch finds before it runs anything: for each case of its share,
// the fingerprint of its inputs and whether its results folder already
// holds complete results of the same inputs (then the case is not run again).
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "cli/batch/case_outcome.hpp"
#include "cli/batch/case_records.hpp"
#include "cli/io/fingerprint.hpp"
#include "cli/batch/manifest.hpp"

namespace sitewave::cli {

struct planned_case {
  const manifest_case* source = nullptr;
  std::filesystem::path folder;  // absolute: DIR/<case>
  input_fingerprint fingerprint;
  bool to_run = true;
  // The folder holds results of an earlier run (or --force was given): a
  // new run replaces it. Any other non-empty folder in the way is refused.
  bool replaces_results = false;
  case_outcome outcome;  // ok for a case already done; filled in when it has run
};

// The cases in `share`, looked up in `dir`. With `force` every case is run.
std::vector<planned_case> plan_cases(std::span<const manifest_case* const> share,
                                     const std::filesystem::path& dir, const case_records& records,
                                     bool force);

// The outcome of a case that is not run now, from its folder and the note of
// its last run: ok, or the noted refusal or failure, or stale, or pending.
case_outcome collected_outcome(const planned_case& c, const case_records& records);

// One warning per input file that does not exist, naming the rows that use
// it; those cases still run and are refused, so one typo does not stop a suite.
void warn_about_missing_inputs(std::span<const planned_case> cases, const manifest& m);

// The arguments of `sitewave run` for a case.
std::vector<std::string> run_arguments(const planned_case& c);

}  // namespace sitewave::cli
