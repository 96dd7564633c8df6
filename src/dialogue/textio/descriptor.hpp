// The system calls behind the channels: opening a file the way the open
// rules ask, reading and writing its descriptor, waiting for input or for
// room to write without missing a signal, and cutting a file at its position.
// Every call here sets errno as the system does and nothing else.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <span>
#include <string>

namespace sitewave::textio::descriptor {

struct opened {
  int fd = -1;  // -1: refused, errno says why
  bool read_only = false;
  bool regular = false;   // a regular file: cut at close, never waits for room
  bool to_empty = false;  // opened only for writing: its old content is still there
};

bool is_regular(int fd);

// Whether a file of that name exists (errno says why not).
bool exists(const std::string& name);

// An input the run must not overwrite. A FIFO, device or other non-regular
// file is opened for reading only (writing to it would make the run its own
// writer); a regular file for update, else for reading only.
opened open_input(const std::string& name);

// An output: for update without emptying, else for reading only, else
// opened for writing, created when missing. The last case is not emptied
// here (to_empty), so that the caller may refuse the file first.
opened open_output(const std::string& name);

// The file behind a descriptor, for telling whether two names are one file.
struct identity {
  dev_t device = 0;
  ino_t inode = 0;
  bool regular = false;
  bool operator==(const identity&) const = default;
};
bool identify(int fd, identity& id);
bool identify(const std::string& name, identity& id);

// How long a transfer may wait on a pipe, terminal or device.
enum class wait {
  until_signal,  // as long as it takes, unless a signal is recorded
  briefly,       // a moment at most: the run is ending and must not hang
};

enum class outcome {
  done,       // bytes moved (or the end of the input: 0 bytes read)
  signalled,  // a signal was recorded before anything moved
  timed_out,  // a brief wait passed with nothing moved
  failed,     // errno says why
};

struct transfer {
  std::size_t bytes = 0;
  outcome result = outcome::done;
};

// Reads what is there, at most buffer.size() bytes, waiting for input.
transfer read_some(int fd, bool regular, std::span<char> buffer);

// Writes from the start of data, at most one pipe-atomic chunk on a
// non-regular file so that a write never blocks after its wait said there
// was room.
transfer write_some(int fd, bool regular, std::span<const char> data, wait how);

// Turns a read-only descriptor into one opened for update at the same
// position (pos bytes from the start); -1 when the file refuses.
int reopen_for_update(const std::string& name, int fd, off_t pos);

// The current position, or -1 when the file has none (a pipe).
off_t position(int fd);
void seek(int fd, off_t pos);
bool cut_at(int fd, off_t length);
bool close(int fd);

// Writes text, waiting briefly at most on a non-regular file; returns how
// many bytes were written. Async-signal-safe.
std::size_t write_now(int fd, bool regular, std::span<const char> text);

}  // namespace sitewave::textio::descriptor
