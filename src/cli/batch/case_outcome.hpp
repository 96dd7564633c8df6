// How each case of a batch ended, and the one place that turns outcomes into
// the rows of summary.csv.
#pragma once

#include <filesystem>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/batch/case_folder.hpp"

namespace sitewave::cli {

enum class case_status {
  ok,             // results complete (run now or earlier with the same inputs)
  not_finite,     // results complete, but some are not numbers (run.json says which)
  not_converged,  // results complete, but the equivalent-linear iteration did not converge
  refused,        // the run refused its input or options (exit status 1 or 2)
  failed,         // the run crashed or ended otherwise
  interrupted,    // the batch was stopped while the case ran
  pending,        // not run: the batch stopped first, or no results were found
  stale,          // results found, but from other inputs or another program version
};

inline constexpr std::size_t status_count = 8;

// The run finished and its results folder is complete (perhaps with results
// that are not numbers, which its status says).
bool has_results(case_status s);

std::string_view status_name(case_status s);

// ok, or what the complete results folder says is wrong with them.
case_status status_of_results(const case_folder& results);
// The status of a name, or nothing.
std::optional<case_status> status_named(std::string_view name);

struct case_outcome {
  std::string name;
  case_status status = case_status::pending;
  std::string error;  // the run's error line, or why the case is not ok
  double wall_s = std::numeric_limits<double>::quiet_NaN();  // NaN when not known
  case_folder results;                                       // the values of an ok case
};

// summary.csv: a header, then one row per outcome in the order given.
std::string summary_csv(std::span<const case_outcome> outcomes);

}  // namespace sitewave::cli
