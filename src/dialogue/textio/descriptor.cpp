// The system calls behind the channels. A wait on a pipe, terminal or device
// watches the signal wake-up descriptor as well, so that a signal recorded
// just before the wait still ends it; a transfer after such a wait never
// asks for more than the descriptor said it could take.
#include "dialogue/textio/descriptor.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "dialogue/textio/signals.hpp"

namespace sitewave::textio::descriptor {

namespace {

// How long an ending run waits for a pipe or terminal to take its last
// output before it gives that output up.
constexpr int brief_wait_ms = 50;

enum class readiness { ready, signalled, timed_out };

// Waits until fd is ready for `events` or, when watch_signals is set, until a
// signal is recorded. A failing poll counts as ready: the transfer that
// follows reports the error.
readiness wait_for(int fd, short events, int timeout_ms, bool watch_signals) {
  const int wake = watch_signals ? signal_wakeup_fd() : -1;
  pollfd fds[2] = {{fd, events, 0}, {wake, POLLIN, 0}};
  const nfds_t count = wake >= 0 ? 2 : 1;
  for (;;) {
    if (watch_signals && signal_recorded()) return readiness::signalled;
    const int ready = ::poll(fds, count, timeout_ms);
    if (ready > 0)
      return count == 2 && fds[1].revents != 0 ? readiness::signalled : readiness::ready;
    if (ready == 0) return readiness::timed_out;
    if (errno != EINTR) return readiness::ready;
  }
}

// A descriptor never takes the place of a closed standard stream: the
// console would read or write the file in its stead.
int above_standard_streams(int fd) {
  if (fd < 0 || fd > STDERR_FILENO) return fd;
  const int moved = ::fcntl(fd, F_DUPFD, STDERR_FILENO + 1);
  const int error = errno;
  ::close(fd);
  errno = error;
  return moved;
}

int open_named(const std::string& name, int flags) {
  return above_standard_streams(::open(name.c_str(), flags, 0666));
}

opened open_update_or_read(const std::string& name) {
  int fd = open_named(name, O_RDWR);
  bool read_only = false;
  if (fd < 0) {
    fd = open_named(name, O_RDONLY);
    read_only = true;
  }
  if (fd < 0) return {};
  return {fd, read_only, is_regular(fd), false};
}

}  // namespace

bool is_regular(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

bool exists(const std::string& name) {
  return ::access(name.c_str(), F_OK) == 0;
}

opened open_input(const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    // Without O_NONBLOCK the open of a FIFO would wait for its writer where
    // no signal can end the wait; the reads wait for it instead.
    const int fd = open_named(name, O_RDONLY | O_NONBLOCK);
    if (fd < 0) return {};
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return {fd, true, false, false};
  }
  return open_update_or_read(name);
}

opened open_output(const std::string& name) {
  if (const opened o = open_update_or_read(name); o.fd >= 0) return o;
  const int fd = open_named(name, O_WRONLY | O_CREAT);
  if (fd < 0) return {};
  const bool regular = is_regular(fd);
  return {fd, false, regular, regular};
}

bool identify(int fd, identity& id) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  id = {st.st_dev, st.st_ino, S_ISREG(st.st_mode)};
  return true;
}

bool identify(const std::string& name, identity& id) {
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) return false;
  id = {st.st_dev, st.st_ino, S_ISREG(st.st_mode)};
  return true;
}

transfer read_some(int fd, bool regular, std::span<char> buffer) {
  for (;;) {
    if (!regular && wait_for(fd, POLLIN, -1, true) == readiness::signalled) {
      return {0, outcome::signalled};
    }
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n >= 0) return {static_cast<std::size_t>(n), outcome::done};
    if (errno == EINTR && signal_recorded()) return {0, outcome::signalled};
    if (errno != EINTR && (regular || errno != EAGAIN)) return {0, outcome::failed};
  }
}

transfer write_some(int fd, bool regular, std::span<const char> data, wait how) {
  const bool until_signal = how == wait::until_signal;
  for (;;) {
    std::size_t size = data.size();
    if (!regular) {
      switch (wait_for(fd, POLLOUT, until_signal ? -1 : brief_wait_ms, until_signal)) {
        case readiness::signalled:
          return {0, outcome::signalled};
        case readiness::timed_out:
          return {0, outcome::timed_out};
        case readiness::ready:
          break;
      }
      size = std::min<std::size_t>(size, PIPE_BUF);
    }
    const ssize_t n = ::write(fd, data.data(), size);
    if (n >= 0) return {static_cast<std::size_t>(n), outcome::done};
    if (errno == EINTR && until_signal && signal_recorded()) return {0, outcome::signalled};
    if (errno == EAGAIN && !regular && !until_signal) return {0, outcome::timed_out};
    if (errno != EINTR && (regular || errno != EAGAIN)) return {0, outcome::failed};
  }
}

int reopen_for_update(const std::string& name, int fd, off_t pos) {
  const int update = open_named(name, O_RDWR);
  if (update < 0) return -1;
  if (pos > 0) ::lseek(update, pos, SEEK_SET);
  ::close(fd);
  return update;
}

off_t position(int fd) {
  return ::lseek(fd, 0, SEEK_CUR);
}

void seek(int fd, off_t pos) {
  if (pos >= 0) ::lseek(fd, pos, SEEK_SET);
}

bool cut_at(int fd, off_t length) {
  return ::ftruncate(fd, length) == 0;
}

bool close(int fd) {
  return ::close(fd) == 0;
}

std::size_t write_now(int fd, bool regular, std::span<const char> text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const transfer t = write_some(fd, regular, text.subspan(written), wait::briefly);
    if (t.result != outcome::done || t.bytes == 0) break;
    written += t.bytes;
  }
  return written;
}

}  // namespace sitewave::textio::descriptor
