// The cases of a batch running as processes of their own (`sitewave run`),
// so that a crash or a refusal in one never touches the others: starting
// them, collecting their error streams and their endings, stopping them.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace sitewave::cli {

struct case_ending {
  std::size_t id = 0;  // as given to start()
  pid_t pid = 0;
  int exit_code = -1;  // -1 when ended by a signal
  int signal = 0;      // the ending signal, 0 for a normal exit
  std::string error;   // the last line the process wrote to its error stream
  double wall_s = 0.0;
};

class case_processes {
 public:
  case_processes() = default;
  // Kills and collects whatever still runs (only when the batch itself fails).
  ~case_processes();
  case_processes(const case_processes&) = delete;
  case_processes& operator=(const case_processes&) = delete;

  // Starts this program again with `args` (after the program name), its
  // standard input and output on /dev/null; input_error when it cannot.
  void start(std::size_t id, const std::vector<std::string>& args);

  std::size_t running() const { return children_.size(); }

  // Waits at most `timeout` for processes to end (less when a signal
  // arrives) and returns those that did.
  std::vector<case_ending> wait(std::chrono::milliseconds timeout);

  // Sends `sig` to every running process.
  void signal_all(int sig) const;

 private:
  struct child {
    std::size_t id;
    pid_t pid;
    int error_fd;  // -1 once the process has closed its error stream
    std::string error_text;
    std::chrono::steady_clock::time_point started;
    // Readable once the process has ended (-1 where the system offers none):
    // an ending is seen at once, not at the next look.
    int process_fd;
  };

  void read_errors(child& c);
  void drain_errors(child& c);
  bool reap(child& c, case_ending& ending);

  std::vector<child> children_;
};

}  // namespace sitewave::cli
