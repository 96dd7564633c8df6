// Endings by signal inside one process: a handler only records the signal,
// the run ends on it at the next safe point with the signal's message and
// every file cut; a trap the process raised itself ends at once.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "dialogue/textio/channel.hpp"
#include "dialogue/textio/signals.hpp"
#include "dialogue/textio/write.hpp"
#include "support/program_run.hpp"

namespace sitewave::textio {
namespace {

using ::testing::ExitedWithCode;
using ::testing::KilledBySignal;

// Shows on the error stream that the run went on after the signal came.
void went_on() {
  std::fputs("went on\n", stderr);
}

// Sends sig from another process, as kill(1) does, and waits until it is
// delivered.
void send_from_outside(int sig) {
  const pid_t target = getpid();
  const pid_t sender = fork();
  if (sender == 0) {
    kill(target, sig);
    _exit(0);
  }
  while (waitpid(sender, nullptr, 0) < 0 && errno == EINTR) {
  }
}

TEST(SignalDeathTest, RunEndsAtTheNextSafePointWithStatusOne) {
  const struct {
    int sig;
    const char* message;
  } endings[] = {{SIGINT, "Interrupt"}, {SIGTERM, "Killed"}, {SIGHUP, "Killed"}};
  for (const auto& e : endings) {
    EXPECT_EXIT(
        {
          install_signal_handlers();
          std::raise(e.sig);
          went_on();
          act_on_pending_signal();
          std::exit(7);
        },
        ExitedWithCode(1), std::string("^went on\n") + e.message + "\n$");
  }
}

TEST(SignalDeathTest, FirstSignalDecidesTheEnding) {
  EXPECT_EXIT(
      {
        install_signal_handlers();
        std::raise(SIGTERM);
        std::raise(SIGINT);
        act_on_pending_signal();
      },
      ExitedWithCode(1), "^Killed\n$");
}

TEST(SignalDeathTest, SignalRaisesTheStopRequest) {
  EXPECT_EXIT(
      {
        install_signal_handlers();
        if (stop_request()->load()) std::exit(3);
        std::raise(SIGINT);
        std::exit(stop_request()->load() ? 0 : 4);
      },
      ExitedWithCode(0), "");
}

TEST(SignalDeathTest, TrapOrAbortOfTheProcessItselfEndsAtOnce) {
  EXPECT_EXIT(
      {
        install_signal_handlers();
        std::raise(SIGFPE);
        went_on();
      },
      KilledBySignal(SIGABRT), "^Floating Exception\n$");
  EXPECT_EXIT(
      {
        install_signal_handlers();
        std::abort();
      },
      KilledBySignal(SIGABRT), "^IOT Trap\n$");
}

TEST(SignalDeathTest, TrapSentFromOutsideEndsAtTheSafePoint) {
  EXPECT_EXIT(
      {
        install_signal_handlers();
        send_from_outside(SIGFPE);
        went_on();
        act_on_pending_signal();
      },
      KilledBySignal(SIGABRT), "^went on\nFloating Exception\n$");
  EXPECT_EXIT(
      {
        install_signal_handlers();
        send_from_outside(SIGABRT);
        went_on();
        act_on_pending_signal();
      },
      KilledBySignal(SIGABRT), "^went on\nIOT Trap\n$");
}

TEST(SignalDeathTest, IgnoredInterruptAndHangUpStayIgnored) {
  for (const int sig : {SIGINT, SIGHUP}) {
    EXPECT_EXIT(
        {
          std::signal(sig, SIG_IGN);
          install_signal_handlers();
          std::raise(sig);
          act_on_pending_signal();
          std::exit(7);
        },
        ExitedWithCode(7), "");
  }
}

// The junk a file held before the run: longer than anything written here.
constexpr const char* old_content = "0123456789012345678901234567890123456789\n";

// Writes one record to a file that held old_content, then meets sig.
void write_then_meet(const testing::scratch_dir& dir, int sig) {
  install_signal_handlers();
  open(30, (dir / "out").string(), open_status::unknown);
  write_list(30, "kept");
  std::raise(sig);
  write_list(30, "never written");
}

TEST(SignalDeathTest, FilesAreCutToTheWrittenRecords) {
  testing::scratch_dir dir;
  dir.write("out", old_content);
  EXPECT_EXIT(write_then_meet(dir, SIGINT), ExitedWithCode(1), "^Interrupt\n$");
  EXPECT_EQ(dir.read("out"), " kept\n");
  // A trap ends in its handler, which sends and cuts the files all the same.
  dir.write("out", old_content);
  EXPECT_EXIT(write_then_meet(dir, SIGFPE), KilledBySignal(SIGABRT), "^Floating Exception\n$");
  EXPECT_EQ(dir.read("out"), " kept\n");
}

}  // namespace
}  // namespace sitewave::textio
