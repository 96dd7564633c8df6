// Signal handling of the run. The handlers do nothing but record the first
// signal, raise the stop flag and wake any wait; the main thread ends the run
// at its next safe point. Only a trap or an abort the process raised itself
// cannot come back to where it struck: those end at once, using nothing but
// async-signal-safe calls.
#include "dialogue/textio/signals.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string_view>

#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/descriptor.hpp"

namespace sitewave::textio {

namespace {

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the handlers may only touch lock-free atomics");

// What the handlers record. A handler can reach nothing but static storage.
struct signal_record {
  std::atomic<int> signal{0};  // the first signal recorded, 0 for none
  std::atomic<bool> stop{false};
  int wake_read = -1;  // a self-pipe: the handlers write a byte to wake_write
  int wake_write = -1;
  bool ending = false;  // main thread only
};

signal_record record;

constexpr int handled[] = {SIGINT, SIGTERM, SIGHUP, SIGFPE, SIGABRT};

std::string_view ending_text(int sig) {
  switch (sig) {
    case SIGINT:
      return "Interrupt\n";
    case SIGFPE:
      return "Floating Exception\n";
    case SIGABRT:
      return "IOT Trap\n";
    default:
      return "Killed\n";
  }
}

bool ends_abnormally(int sig) {
  return sig == SIGFPE || sig == SIGABRT;
}

[[noreturn]] void abort_with_default_handling() {
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  sigaction(SIGABRT, &dfl, nullptr);
  std::abort();
}

void write_to_error_stream(std::string_view text) {
  descriptor::write_now(STDERR_FILENO, descriptor::is_regular(STDERR_FILENO), text);
}

// A trap raised by an instruction, or an abort the process raised itself:
// returning would strike again or find the process half gone.
bool cannot_return(int sig, const siginfo_t* info) {
  if (!ends_abnormally(sig)) return false;
  return info == nullptr || info->si_code > 0 || info->si_pid == getpid();
}

extern "C" void on_signal(int sig, siginfo_t* info, void*) {
  if (cannot_return(sig, info)) {
    write_to_error_stream(ending_text(sig));
    cut_all_at_once();
    abort_with_default_handling();
  }
  const int saved_errno = errno;
  int none = 0;
  record.signal.compare_exchange_strong(none, sig);
  record.stop.store(true);
  if (record.wake_write >= 0) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(record.wake_write, &byte, 1);
  }
  errno = saved_errno;
}

bool ignored_at_start(int sig) {
  struct sigaction old {};
  return sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN;
}

}  // namespace

void install_signal_handlers() {
  int wake[2];
  if (record.wake_read < 0 && pipe2(wake, O_NONBLOCK | O_CLOEXEC) == 0) {
    // Never in the place of a closed standard stream, which would then read
    // the wake-ups as console input.
    record.wake_read = fcntl(wake[0], F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    record.wake_write = fcntl(wake[1], F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(wake[0]);
    ::close(wake[1]);
  }
  struct sigaction action {};
  action.sa_sigaction = on_signal;
  action.sa_flags = SA_SIGINFO;  // no SA_RESTART: a blocked call returns to its safe point
  sigemptyset(&action.sa_mask);
  for (const int sig : handled) sigaddset(&action.sa_mask, sig);
  for (const int sig : handled) {
    if ((sig == SIGINT || sig == SIGHUP) && ignored_at_start(sig)) continue;
    sigaction(sig, &action, nullptr);
  }
}

bool signal_recorded() {
  return record.signal.load() != 0;
}

const std::atomic<bool>* stop_request() {
  return &record.stop;
}

int signal_wakeup_fd() {
  return record.wake_read;
}

void act_on_pending_signal() {
  const int sig = record.signal.load();
  if (sig == 0 || record.ending) return;
  record.ending = true;
  write_to_error_stream(ending_text(sig));
  close_all();
  if (ends_abnormally(sig)) abort_with_default_handling();
  std::_Exit(1);
}

}  // namespace sitewave::textio
