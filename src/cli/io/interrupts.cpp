// The recording signal handlers of the command. Nothing but two atomic
// stores happens inside a handler.
#include "cli/io/interrupts.hpp"

#include <csignal>
#include <string>

namespace sitewave::cli {

namespace {

std::atomic<bool> raised{false};
std::atomic<int> which{0};

extern "C" void record_signal(int sig) {
  int none = 0;
  which.compare_exchange_strong(none, sig);
  raised.store(true);
}

void install(int sig) {
  struct sigaction current {};
  if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = record_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocked read returns with EINTR
  sigaction(sig, &action, nullptr);
}

}  // namespace

interrupted::interrupted(int sig)
    : std::runtime_error("interrupted by signal " + std::to_string(sig)), signal_(sig) {}

void install_interrupt_handlers() {
  static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);
  install(SIGINT);
  install(SIGTERM);
  install(SIGHUP);
}

const std::atomic<bool>& interrupt_flag() {
  return raised;
}

void check_interrupt() {
  if (raised.load()) throw interrupted(which.load());
}

}  // namespace sitewave::cli
