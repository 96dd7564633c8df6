// Runs of the built program that must end in time: a run that may hang is
// killed at a limit, and a run interrupted at a chosen moment is timed from
// the signal to its end.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "support/program_run.hpp"

namespace sitewave::testing {

struct interrupted_run {
  run_result run;
  bool ended_before_signal = false;
  std::chrono::duration<double> time_to_end{0};  // from the signal to the end
};

// Runs the program in dir with `input` on its standard input. Once it has
// written its first byte on standard output (its handlers are in place), waits
// `delay`, sends `sig` and waits for its end. A run still going `limit` after
// the signal is killed, so that a test never hangs.
interrupted_run interrupt_after(const scratch_dir& dir, std::string_view input,
                                std::chrono::microseconds delay, int sig,
                                std::chrono::milliseconds limit = std::chrono::seconds(10),
                                const std::string& program = SITEWAVE_BIN);

// Runs the program in dir with `input` on its standard input; a run still
// going after `limit` is killed and the result says so.
struct limited_run {
  run_result run;
  bool in_time = false;
};
limited_run run_within(const scratch_dir& dir, std::string_view input,
                       std::chrono::milliseconds limit, const std::string& program = SITEWAVE_BIN);

// Waits for the end of a started program, at most `limit`; kills it when the
// limit passes. The result holds its ending; true when it ended in time.
bool wait_for_end(pid_t child, std::chrono::milliseconds limit, run_result& result);

}  // namespace sitewave::testing
