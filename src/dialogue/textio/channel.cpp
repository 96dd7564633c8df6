// The channel table: numbered connections 0..99 to the console and to files,
// each with its end-of-file flag, one-character push-back and its own read
// and write buffers over a plain descriptor. Files written in this run are cut
// at the written length when their channel closes, so a replaced file never
// keeps a tail of its former content; that cut can also be made from a
// signal handler, which the buffers allow and stdio would not.
#include "dialogue/textio/channel.hpp"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialogue/textio/descriptor.hpp"
#include "dialogue/textio/failure.hpp"
#include "dialogue/textio/signals.hpp"

namespace sitewave::textio {

namespace {

constexpr int no_pushback = -2;
constexpr int err_not_connected = 114;
constexpr int err_bad_unit = 101;
constexpr std::size_t buffer_size = 4096;  // a page: what the system moves in one go

// Bytes waiting in a buffer: data[first, last).
struct byte_buffer {
  std::vector<char> data;
  std::size_t first = 0;
  std::size_t last = 0;

  std::size_t waiting() const { return last - first; }
  void clear() { first = last = 0; }
};

struct channel {
  int fd = -1;
  bool console = false;  // preconnected: flushed on close, never closed or cut
  bool regular = false;  // a regular file: cut at close, never waits for room
  bool named = false;
  std::string name;
  bool eof = false;
  bool last_was_write = false;
  bool read_only = false;
  int pushback = no_pushback;
  int newlines = 0;   // line feeds taken (a pushed-back one is not)
  int last_line = 0;  // line of the latest character taken
  const char* write_context = "write start";
  byte_buffer in;   // read ahead, not yet taken
  byte_buffer out;  // written by the run, not yet sent
  // File offsets while writing: the end of what was sent, and the end of
  // the last complete line sent. A file is cut at the latter, so a run that
  // ends in the middle of a record never leaves half a line.
  off_t sent_end = 0;
  off_t line_end = 0;
};

struct input_file {
  std::string name;
  descriptor::identity id;
};

struct channel_table {
  std::array<channel, max_unit + 1> units;
  // The regular files this run read: no output may be one of them.
  std::vector<input_file> inputs;

  channel_table() {
    connect_console(error_unit, STDERR_FILENO);
    connect_console(console_in, STDIN_FILENO);
    connect_console(console_out, STDOUT_FILENO);
  }

  void connect_console(int unit, int fd) {
    channel& ch = units[static_cast<std::size_t>(unit)];
    ch.fd = fd;
    ch.console = true;
    ch.regular = descriptor::is_regular(fd);
    ch.in.data.resize(buffer_size);
    ch.out.data.resize(buffer_size);
  }
};

channel_table table;

bool valid_unit(int unit) {
  return unit >= 0 && unit <= max_unit;
}

channel& at(int unit) {
  return table.units[static_cast<std::size_t>(unit)];
}

std::string_view without_trailing_blanks(std::string_view name) {
  const auto last = name.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : name.substr(0, last + 1);
}

const char* read_context() {
  return list_directed_statement() ? "list in" : "fmt";
}

// Drops what follows the last line end waiting to be sent: the start of a
// record the run did not finish. Async-signal-safe.
void drop_unfinished_record(channel& ch) {
  while (ch.out.waiting() > 0 && ch.out.data[ch.out.last - 1] != '\n') --ch.out.last;
}

// Notes bytes that reached the file: where it ends now and where its last
// complete line ends. Async-signal-safe.
void note_sent(channel& ch, std::span<const char> bytes) {
  for (std::size_t k = bytes.size(); k > 0; --k) {
    if (bytes[k - 1] == '\n') {
      ch.line_end = ch.sent_end + static_cast<off_t>(k);
      break;
    }
  }
  ch.sent_end += static_cast<off_t>(bytes.size());
}

// Sends the buffered output. While a statement runs (closing false), a
// recorded signal ends the run here, once the buffer has given up what was
// sent. While a channel closes, everything is sent all the same, except that
// a pipe, terminal or device that takes nothing for a moment after a signal
// loses the rest: an ending run must not hang on a reader that went away.
// Returns 0, or the system error of a failed write (the output is then lost).
int send_output(channel& ch, bool closing) {
  while (ch.out.waiting() > 0) {
    const auto how =
        closing && signal_recorded() ? descriptor::wait::briefly : descriptor::wait::until_signal;
    const std::span<const char> waiting(ch.out.data.data() + ch.out.first, ch.out.waiting());
    const descriptor::transfer t = descriptor::write_some(ch.fd, ch.regular, waiting, how);
    note_sent(ch, waiting.first(t.bytes));
    ch.out.first += t.bytes;
    switch (t.result) {
      case descriptor::outcome::done:
        break;
      case descriptor::outcome::signalled:
        if (!closing) act_on_pending_signal();
        closing = true;  // reached only when the run is already ending
        break;
      case descriptor::outcome::timed_out:
        ch.out.clear();
        return 0;
      case descriptor::outcome::failed: {
        // What could not be written is given up, so that closing the file
        // after the report does not fail again and can still cut it.
        const int error = errno;
        ch.out.clear();
        return error;
      }
    }
  }
  ch.out.clear();
  return 0;
}

// The position a reader has reached: the descriptor's, less the read-ahead.
off_t logical_position(const channel& ch) {
  const off_t pos = descriptor::position(ch.fd);
  return pos < 0 ? pos : pos - static_cast<off_t>(ch.in.waiting());
}

// Flushes and, for a file whose last transfer was a write, cuts it after its
// last complete line (the current position, unless the run is ending in the
// middle of a record or a write failed), then closes it. The channel is reset
// first, so a failure reported from here never meets this connection again.
void disconnect(channel& ch) {
  if (ch.console) {
    send_output(ch, true);
    ch.eof = false;
    return;
  }
  channel gone = std::move(ch);
  ch = channel{};
  if (gone.fd < 0) return;
  if (gone.last_was_write) {
    drop_unfinished_record(gone);
    if (const int error = send_output(gone, true); error != 0) {
      descriptor::close(gone.fd);
      fail(error, "endfile");
    }
    if (gone.regular && !descriptor::cut_at(gone.fd, gone.line_end)) {
      descriptor::close(gone.fd);
      fail(err_truncation, "endfile");
    }
  }
  if (!descriptor::close(gone.fd) && gone.last_was_write) fail(errno, "endfile");
}

// An input counts while its name still leads to the file that was read: the
// number of a file deleted since may already belong to a new one.
bool is_input_of_run(int fd) {
  descriptor::identity id;
  if (!descriptor::identify(fd, id) || !id.regular) return false;
  return std::any_of(table.inputs.begin(), table.inputs.end(), [&id](const input_file& in) {
    descriptor::identity now;
    return in.id == id && descriptor::identify(in.name, now) && now == id;
  });
}

void remember_input(const std::string& name, int fd) {
  descriptor::identity id;
  if (descriptor::identify(fd, id) && id.regular) table.inputs.push_back({name, id});
}

// Opens an input (the file must exist) or an output of the run. An output
// that is one of the run's inputs, under another name or through a link, is
// refused before anything is written to it.
descriptor::opened open_file(const std::string& name, open_status status) {
  if (status == open_status::old) {
    if (!descriptor::exists(name)) fail(errno, "open");
    const descriptor::opened in = descriptor::open_input(name);
    if (in.fd < 0) fail(errno, "open");
    remember_input(name, in.fd);
    return in;
  }
  const descriptor::opened out = descriptor::open_output(name);
  if (out.fd < 0) fail(errno, "open");
  if (is_input_of_run(out.fd)) {
    descriptor::close(out.fd);
    fail_with_text("Output file is an input of the run", "open");
  }
  if (out.to_empty) descriptor::cut_at(out.fd, 0);
  return out;
}

// The next byte of the read-ahead, refilled as needed; eof_char at the end.
int next_byte(channel& ch) {
  while (ch.in.waiting() == 0) {
    act_on_pending_signal();
    const descriptor::transfer t = descriptor::read_some(ch.fd, ch.regular, ch.in.data);
    if (t.result == descriptor::outcome::failed) fail(errno, read_context());
    if (t.result == descriptor::outcome::signalled) continue;
    if (t.bytes == 0) return eof_char;
    ch.in.first = 0;
    ch.in.last = t.bytes;
  }
  return static_cast<unsigned char>(ch.in.data[ch.in.first++]);
}

// The next character of a connected channel, before line counting.
int take_char(channel& ch) {
  if (ch.pushback != no_pushback) {
    const int c = ch.pushback;
    ch.pushback = no_pushback;
    return c;
  }
  if (ch.eof) return eof_char;
  if (ch.last_was_write) {
    if (const int error = send_output(ch, false); error != 0) fail(error, ch.write_context);
    ch.last_was_write = false;
  }
  const int c = next_byte(ch);
  if (c == '\r') {
    const int next = next_byte(ch);
    if (next == '\n') return '\n';
    if (next != eof_char) --ch.in.first;  // the byte is still in the buffer
    // At the end, the end after a lone carriage return is met again next time.
    return c;
  }
  if (c == eof_char) ch.eof = true;
  return c;
}

void append_output(channel& ch, std::string_view bytes) {
  while (!bytes.empty()) {
    if (ch.out.last == ch.out.data.size()) {
      if (const int error = send_output(ch, false); error != 0) fail(error, ch.write_context);
    }
    const std::size_t n = std::min(bytes.size(), ch.out.data.size() - ch.out.last);
    std::copy_n(bytes.data(), n, ch.out.data.data() + ch.out.last);
    ch.out.last += n;
    bytes.remove_prefix(n);
  }
}

}  // namespace

void open(int unit, std::string_view name, open_status status) {
  note_unit(unit);
  if (!valid_unit(unit)) fail(err_bad_unit, "open");
  channel& ch = at(unit);
  if (ch.fd >= 0) {
    if (ch.named && name == ch.name) return;
    disconnect(ch);
  }
  ch.named = true;
  ch.name.assign(without_trailing_blanks(name));
  if (ch.name.empty()) fail(err_null_file_name, "open");
  // A name with a NUL in it names no file that can exist; cutting it at the
  // NUL would open another file.
  if (ch.name.find('\0') != std::string::npos) fail(ENOENT, "open");
  const descriptor::opened file = open_file(ch.name, status);
  ch.fd = file.fd;
  ch.regular = file.regular;
  ch.read_only = file.read_only;
  ch.eof = false;
  ch.last_was_write = false;
  ch.pushback = no_pushback;
  ch.newlines = 0;
  ch.last_line = 0;
  ch.in.data.resize(buffer_size);
  ch.out.data.resize(buffer_size);
}

void close(int unit) {
  if (unit > max_unit) return;
  note_unit(unit);
  if (!valid_unit(unit)) fail(err_bad_unit, "close");
  disconnect(at(unit));
}

void close_all() {
  for (int unit = 0; unit <= max_unit; ++unit) disconnect(at(unit));
}

void cut_all_at_once() {
  for (channel& ch : table.units) {
    if (ch.fd < 0 || ch.console || !ch.last_was_write) continue;
    drop_unfinished_record(ch);
    const std::span<const char> waiting(ch.out.data.data() + ch.out.first, ch.out.waiting());
    note_sent(ch, waiting.first(descriptor::write_now(ch.fd, ch.regular, waiting)));
    ch.out.clear();
    if (ch.regular) descriptor::cut_at(ch.fd, ch.line_end);
    descriptor::close(ch.fd);
    ch.fd = -1;
  }
}

void end_run(int exit_status) {
  close_all();
  std::exit(exit_status);
}

int get_char(int unit) {
  if (!valid_unit(unit) || at(unit).fd < 0) fail(err_not_connected, read_context());
  channel& ch = at(unit);
  const int c = take_char(ch);
  if (c != eof_char) {
    ch.last_line = ch.newlines + 1;
    if (c == '\n') ++ch.newlines;
  }
  return c;
}

void unget_char(int unit, int c) {
  if (c == eof_char) return;
  channel& ch = at(unit);
  if (c == '\n') --ch.newlines;
  ch.pushback = c;
}

int line_number(int unit) {
  return valid_unit(unit) ? at(unit).last_line : 0;
}

bool eof_flag(int unit) {
  return valid_unit(unit) && at(unit).eof;
}

void begin_write(int unit, const char* context) {
  act_on_pending_signal();
  if (!valid_unit(unit)) fail(err_bad_unit, context);
  channel& ch = at(unit);
  if (ch.fd < 0) fail(err_not_connected, context);
  if (ch.read_only) {
    const int update = descriptor::reopen_for_update(ch.name, ch.fd, logical_position(ch));
    if (update < 0) fail(err_cannot_write, context);
    ch.fd = update;
    ch.read_only = false;
    ch.in.clear();
  } else if (!ch.last_was_write && ch.in.waiting() > 0 && !ch.console) {
    // The next write goes where the reader stopped, not after its read-ahead.
    descriptor::seek(ch.fd, logical_position(ch));
    ch.in.clear();
  }
  if (!ch.last_was_write) ch.sent_end = ch.line_end = logical_position(ch);
  ch.last_was_write = true;
  ch.write_context = context;
}

void put_record(int unit, std::string_view record) {
  act_on_pending_signal();
  channel& ch = at(unit);
  append_output(ch, record);
  append_output(ch, "\n");
  if (ch.console) {
    if (const int error = send_output(ch, false); error != 0) fail(error, ch.write_context);
  }
}

const char* unit_name(int unit) {
  if (!valid_unit(unit) || !at(unit).named) return nullptr;
  return at(unit).name.c_str();
}

}  // namespace sitewave::textio
