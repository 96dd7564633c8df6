// The batch's loop over its cases. A stopped case is stopped with SIGTERM,
// on which `run` removes its staging folder and leaves the case folder as it
// was; one that does not end within a grace period is killed, and then the
// batch removes what it left.
#include "cli/batch/batch_run.hpp"

#include <signal.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>

#include "cli/batch/case_folder.hpp"
#include "cli/batch/case_processes.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/interrupts.hpp"
#include "cli/io/line_reader.hpp"

namespace sitewave::cli {

namespace fs = std::filesystem;
using std::chrono::steady_clock;

namespace {

constexpr auto poll_interval = std::chrono::milliseconds(250);
constexpr auto stop_grace = std::chrono::seconds(10);

int recorded_signal() {
  try {
    check_interrupt();
  } catch (const interrupted& e) {
    return e.signal();
  }
  return 0;
}

std::string ending_text(const case_ending& e) {
  std::string text = e.signal != 0 ? "ended by signal " + std::to_string(e.signal) + " (" +
                                         strsignal(e.signal) + ")"
                                   : "ended with exit status " + std::to_string(e.exit_code);
  if (!e.error.empty()) text += ": " + e.error;
  return text;
}

// A process that ended by a signal could not remove its staging folder
// (".<case>.staging-<pid>-..." beside the case folder).
void remove_staging_of(const planned_case& c, const case_ending& e) {
  const std::string prefix = "." + c.source->name + ".staging-" + std::to_string(e.pid) + "-";
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(c.folder.parent_path(), ec)) {
    if (entry.path().filename().string().starts_with(prefix)) fs::remove_all(entry.path(), ec);
  }
}

void classify(planned_case& c, const case_ending& e, bool stopping) {
  case_outcome& o = c.outcome;
  o.wall_s = e.wall_s;
  o.error.clear();
  if (e.signal != 0) remove_staging_of(c, e);
  if (e.exit_code == 0) {
    o.results = read_case_folder(c.folder);
    o.status = o.results.complete ? status_of_results(o.results) : case_status::failed;
    if (!o.results.complete) o.error = "the run ended well but left no complete results folder";
  } else if (stopping && (e.signal != 0 || e.exit_code > 128)) {
    o.status = case_status::interrupted;
    o.error = "stopped with the batch; it runs again when the batch is run again";
  } else if (e.exit_code == 1 || e.exit_code == 2) {
    o.status = case_status::refused;
    o.error = excerpt(e.error, 400);  // a refusal may quote an input: keep the summary clean
  } else {
    o.status = case_status::failed;
    o.error = ending_text(e);
  }
}

// The batch's stop: SIGTERM to the running cases once, SIGKILL after the grace.
class stopper {
 public:
  bool stopping() const { return signal_ != 0; }
  int signal() const { return signal_; }

  void check(const case_processes& running) {
    if (signal_ == 0) {
      signal_ = recorded_signal();
      if (signal_ == 0) return;
      since_ = steady_clock::now();
      running.signal_all(SIGTERM);
    } else if (!killed_ && steady_clock::now() - since_ > stop_grace) {
      running.signal_all(SIGKILL);
      killed_ = true;
    }
  }

 private:
  int signal_ = 0;
  bool killed_ = false;
  steady_clock::time_point since_;
};

}  // namespace

int run_cases(std::span<planned_case> cases, int jobs, const case_records& records,
              batch_progress& progress) {
  case_processes running;
  stopper stop;
  std::size_t next = 0;
  const auto finish = [&](planned_case& c) {
    records.note(c.outcome, c.fingerprint.digest);
    progress.finished(c.outcome);
  };
  const auto start_more = [&] {
    for (; next < cases.size() && running.running() < static_cast<std::size_t>(jobs); ++next) {
      if (!cases[next].to_run) continue;
      try {
        running.start(next, run_arguments(cases[next]));
      } catch (const input_error& e) {  // no process: the case fails, the others go on
        cases[next].outcome.status = case_status::failed;
        cases[next].outcome.error = e.what();
        cases[next].outcome.wall_s = 0.0;
        finish(cases[next]);
      }
    }
  };
  stop.check(running);
  for (;;) {
    if (!stop.stopping()) start_more();
    if (running.running() == 0) break;
    const std::vector<case_ending> ended = running.wait(poll_interval);
    // Checked after the wait: a Ctrl-C at the terminal also ends the running
    // cases, and their endings must be read as stopped, not failed.
    stop.check(running);
    for (const case_ending& e : ended) {
      planned_case& c = cases[e.id];
      classify(c, e, stop.stopping());
      if (c.outcome.status != case_status::interrupted) finish(c);
    }
    progress.tick();
  }
  return stop.signal();
}

}  // namespace sitewave::cli
