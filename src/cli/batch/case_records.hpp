// The batch's own note of how each case last ended (status, error line,
// wall time and the fingerprint of its inputs), kept in DIR/.batch/ so that
// a summary collected later from the folders (after a sharded or resumed
// batch) still says why a case failed and how long it took.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "cli/batch/case_outcome.hpp"

namespace sitewave::cli {

class case_records {
 public:
  explicit case_records(const std::filesystem::path& results_dir);

  // Notes an outcome (its name, status, error and wall time) for inputs
  // with this digest. A failure to write it is not fatal: the note only
  // adds to the summary.
  void note(const case_outcome& o, std::string_view digest) const;

  // The outcome noted for the case, when it was noted for the same digest;
  // its results are not read.
  std::optional<case_outcome> noted(std::string_view name, std::string_view digest) const;

 private:
  std::filesystem::path folder_;
};

}  // namespace sitewave::cli
