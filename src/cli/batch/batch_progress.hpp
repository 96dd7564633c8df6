// Progress of a batch on the standard error stream: at a terminal one line
// that keeps being rewritten (cases done of all, refused and failed, time
// elapsed and an estimate of the time left); elsewhere (a log file, a
// cluster's job output) one plain line per finished case.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "cli/batch/case_outcome.hpp"

namespace sitewave::cli {

class batch_progress {
 public:
  // `total` cases, of which `done_before` were finished by earlier runs.
  batch_progress(std::size_t total, std::size_t done_before, bool terminal);

  void finished(const case_outcome& o);
  // Refreshes the terminal line (the elapsed time moves on).
  void tick();
  // Ends the terminal line.
  void close();

 private:
  std::string status_line() const;
  void show(const std::string& line);

  std::size_t total_;
  std::size_t done_;
  std::size_t done_before_;
  std::size_t refused_ = 0;
  std::size_t failed_ = 0;
  bool terminal_;
  std::string shown_;  // the terminal line as it stands
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace sitewave::cli
