// Interrupts of a command (Ctrl-C, a termination request, a closed terminal):
// the handler only records the signal; the command notices it at its next
// safe point, undoes what is unfinished and ends with 128 + the signal.
#pragma once

#include <atomic>
#include <stdexcept>

namespace sitewave::cli {

// Thrown at a safe point once a signal has been recorded.
class interrupted : public std::runtime_error {
 public:
  explicit interrupted(int signal);
  int signal() const { return signal_; }

 private:
  int signal_;
};

// Installs the recording handlers for SIGINT, SIGTERM and SIGHUP (a signal
// ignored at start-up stays ignored). Blocked reads and writes then return
// early instead of resuming.
void install_interrupt_handlers();

// The flag the core's long computations watch.
const std::atomic<bool>& interrupt_flag();

// Throws `interrupted` when a signal has been recorded.
void check_interrupt();

}  // namespace sitewave::cli
