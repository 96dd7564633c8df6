// Running cases as child processes of this very program (/proc/self/exe: a
// program replaced on disk during a long batch does not mix versions). Error
// streams come back through pipes drained while waiting, so a talkative child
// never blocks; children stay in the batch's process group, so a Ctrl-C at
// the terminal reaches them all at once.
#include "cli/batch/case_processes.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/io/errors.hpp"

namespace sitewave::cli {

namespace {

// The tail of a child's error stream worth keeping: its last line is what
// the summary shows, and a runaway child must not fill the memory.
constexpr std::size_t kept_error_bytes = 16384;

std::string last_line(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  const auto start = text.find_last_of("\r\n");
  if (start != std::string_view::npos) text.remove_prefix(start + 1);
  if (text.starts_with("sitewave: ")) text.remove_prefix(10);
  return std::string(text);
}

// posix_spawn's attribute and file-action objects, released whatever happens.
class spawn_setup {
 public:
  explicit spawn_setup(int error_fd) {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attributes_);
    posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions_, error_fd, 2);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes_, &none);
    posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK);
  }
  ~spawn_setup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  spawn_setup(const spawn_setup&) = delete;
  spawn_setup& operator=(const spawn_setup&) = delete;

  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

}  // namespace

case_processes::~case_processes() {
  signal_all(SIGKILL);
  for (child& c : children_) {
    if (c.error_fd >= 0) ::close(c.error_fd);
    if (c.process_fd >= 0) ::close(c.process_fd);
    int status = 0;
    while (::waitpid(c.pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
}

void case_processes::start(std::size_t id, const std::vector<std::string>& args) {
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
    throw input_error(std::string("cannot start a case: ") + std::strerror(errno));
  }
  std::vector<char*> argv{const_cast<char*>("sitewave")};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  int failure = 0;
  {
    const spawn_setup setup(pipe_fds[1]);
    failure = ::posix_spawn(&pid, "/proc/self/exe", setup.actions(), setup.attributes(),
                            argv.data(), environ);
  }
  ::close(pipe_fds[1]);
  if (failure != 0) {
    ::close(pipe_fds[0]);
    throw input_error(std::string("cannot start a case: ") + std::strerror(failure));
  }
  const int process_fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  children_.push_back({id, pid, pipe_fds[0], {}, std::chrono::steady_clock::now(), process_fd});
}

void case_processes::read_errors(child& c) {
  char buffer[4096];
  const ssize_t n = ::read(c.error_fd, buffer, sizeof buffer);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (n <= 0) {
    ::close(c.error_fd);
    c.error_fd = -1;
    return;
  }
  c.error_text.append(buffer, static_cast<std::size_t>(n));
  if (c.error_text.size() > 2 * kept_error_bytes) {
    c.error_text.erase(0, c.error_text.size() - kept_error_bytes);
  }
}

// The process has ended: what it wrote last is all in the pipe.
void case_processes::drain_errors(child& c) {
  while (c.error_fd >= 0) read_errors(c);
}

bool case_processes::reap(child& c, case_ending& ending) {
  int status = 0;
  if (::waitpid(c.pid, &status, WNOHANG) != c.pid) return false;
  ending.id = c.id;
  ending.pid = c.pid;
  if (WIFEXITED(status)) ending.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) ending.signal = WTERMSIG(status);
  ending.error = last_line(c.error_text);
  ending.wall_s =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - c.started).count();
  if (c.error_fd >= 0) ::close(c.error_fd);
  if (c.process_fd >= 0) ::close(c.process_fd);
  return true;
}

std::vector<case_ending> case_processes::wait(std::chrono::milliseconds timeout) {
  std::vector<pollfd> watched;
  bool closed_but_running = false;
  for (const child& c : children_) {
    if (c.error_fd >= 0) watched.push_back({c.error_fd, POLLIN, 0});
    if (c.process_fd >= 0) watched.push_back({c.process_fd, POLLIN, 0});
    closed_but_running = closed_but_running || (c.error_fd < 0 && c.process_fd < 0);
  }
  // Without a process descriptor, a child that has closed its error stream
  // is about to end: look again soon.
  const int ms = closed_but_running ? 5 : static_cast<int>(timeout.count());
  const auto ready = [&watched](int fd) {
    const auto w =
        std::find_if(watched.begin(), watched.end(), [fd](const pollfd& p) { return p.fd == fd; });
    return fd >= 0 && w != watched.end() && w->revents != 0;
  };
  std::vector<child*> exited;
  if (::poll(watched.data(), watched.size(), ms) > 0) {
    for (child& c : children_) {
      if (ready(c.error_fd)) read_errors(c);
      if (ready(c.process_fd)) exited.push_back(&c);
    }
  }
  for (child* c : exited) drain_errors(*c);
  std::vector<case_ending> ended;
  std::erase_if(children_, [&](child& c) {
    case_ending e;
    if (c.error_fd >= 0 || !reap(c, e)) return false;
    ended.push_back(std::move(e));
    return true;
  });
  return ended;
}

void case_processes::signal_all(int sig) const {
  for (const child& c : children_) ::kill(c.pid, sig);
}

}  // namespace sitewave::cli
