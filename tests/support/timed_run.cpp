// Runs the built program with its streams on pipes, so that the moment it
// starts is seen at once; kills a run that overstays its limit, signals one
// after a delay and times its end.
#include "support/timed_run.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>
#include <thread>

namespace sitewave::testing {

namespace {

using clock = std::chrono::steady_clock;

// A pipe whose ends no other child inherits.
struct pipe_ends {
  int read = -1;
  int write = -1;

  pipe_ends() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
    read = fds[0];
    write = fds[1];
  }
  ~pipe_ends() {
    if (read >= 0) ::close(read);
    if (write >= 0) ::close(write);
  }
  pipe_ends(const pipe_ends&) = delete;
  pipe_ends& operator=(const pipe_ends&) = delete;

  void close_write() {
    ::close(write);
    write = -1;
  }
};

// Everything left on the pipe until its writer closes it.
std::string drain(int fd) {
  std::string text;
  char chunk[4096];
  for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) > 0;) text.append(chunk, n);
  return text;
}

bool first_byte(int fd, std::string& out) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, 10000) <= 0) return false;
  char c = 0;
  if (::read(fd, &c, 1) != 1) return false;
  out.push_back(c);
  return true;
}

}  // namespace

bool wait_for_end(pid_t child, std::chrono::milliseconds limit, run_result& result) {
  const auto deadline = clock::now() + limit;
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      record_ending(status, result);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  record_ending(status, result);
  return true;
}

namespace {

// A started program with the console answers waiting on its input and its
// two output streams on pipes.
struct started {
  pid_t pid = -1;
  pipe_ends out, err;
};

void start(started& s, const scratch_dir& dir, std::string_view input, int sig,
           const std::string& program) {
  // The answers fit in the pipe: all of them wait for the program, then the
  // end of its console input.
  pipe_ends in;
  if (::write(in.write, input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
    throw std::runtime_error("answers do not fit in a pipe");
  }
  in.close_write();
  s.pid = start_with_streams(dir, {in.read, s.out.write, s.err.write}, sig, program);
  s.out.close_write();
  s.err.close_write();
}

}  // namespace

limited_run run_within(const scratch_dir& dir, std::string_view input,
                       std::chrono::milliseconds limit, const std::string& program) {
  started s;
  start(s, dir, input, 0, program);
  limited_run r;
  // Collected while the program runs: its output may be more than a pipe holds.
  std::thread out_reader([&] { r.run.out = drain(s.out.read); });
  r.in_time = wait_for_end(s.pid, limit, r.run);
  out_reader.join();
  r.run.err = drain(s.err.read);
  return r;
}

interrupted_run interrupt_after(const scratch_dir& dir, std::string_view input,
                                std::chrono::microseconds delay, int sig,
                                std::chrono::milliseconds limit, const std::string& program) {
  started s;
  start(s, dir, input, sig, program);
  const pid_t child = s.pid;
  interrupted_run r;
  if (first_byte(s.out.read, r.run.out)) std::this_thread::sleep_for(delay);
  int status = 0;
  r.ended_before_signal = waitpid(child, &status, WNOHANG) == child;
  const auto signalled = clock::now();
  if (r.ended_before_signal) {
    record_ending(status, r.run);
  } else {
    kill(child, sig);
    wait_for_end(child, limit, r.run);
    r.time_to_end = clock::now() - signalled;
  }
  r.run.out += drain(s.out.read);
  r.run.err = drain(s.err.read);
  return r;
}

}  // namespace sitewave::testing
