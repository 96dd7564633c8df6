// Running the cases of a batch that are not done yet, at most `jobs` at
// once, each as its own `sitewave run` process.
#pragma once

#include <filesystem>
#include <span>

#include "cli/batch/batch_plan.hpp"
#include "cli/batch/batch_progress.hpp"
#include "cli/batch/case_records.hpp"

namespace sitewave::cli {

// Runs the cases marked to_run and fills in their outcomes. On an interrupt
// it stops starting cases, stops the running ones (their folders stay as
// they were) and returns the signal; otherwise it returns 0.
int run_cases(std::span<planned_case> cases, int jobs, const case_records& records,
              batch_progress& progress);

}  // namespace sitewave::cli
