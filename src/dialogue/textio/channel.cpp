// The channel table: numbered connections 0..99 to the console and to files,
// each with its end-of-file flag and one-character push-back. Files written
// in this run are cut at the written length when their channel closes, so a
// replaced file never keeps a tail of its former content.
#include "dialogue/textio/channel.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dialogue/textio/failure.hpp"

namespace sitewave::textio {

namespace {

constexpr int no_pushback = -2;
constexpr int err_not_connected = 114;
constexpr int err_bad_unit = 101;

struct channel {
  std::FILE* stream = nullptr;
  bool console = false;  // preconnected: flushed on close, never closed or cut
  bool named = false;
  std::string name;
  bool eof = false;
  bool last_was_write = false;
  bool read_only = false;
  int pushback = no_pushback;
  int newlines = 0;   // line feeds taken (a pushed-back one is not)
  int last_line = 0;  // line of the latest character taken
  const char* write_context = "write start";
};

struct channel_table {
  std::array<channel, max_unit + 1> units;

  channel_table() {
    connect_console(error_unit, stderr);
    connect_console(console_in, stdin);
    connect_console(console_out, stdout);
  }

  void connect_console(int unit, std::FILE* stream) {
    units[static_cast<std::size_t>(unit)].stream = stream;
    units[static_cast<std::size_t>(unit)].console = true;
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

// Regular files are cut to the written length; devices and pipes cannot be.
bool is_regular_file(std::FILE* stream) {
  struct stat st {};
  return fstat(fileno(stream), &st) == 0 && S_ISREG(st.st_mode);
}

// Flushes and, for a file whose last transfer was a write, cuts it at the
// current position, then closes it. The channel is reset first, so a failure
// reported from here never meets this connection again.
void disconnect(channel& ch) {
  if (ch.console) {
    std::fflush(ch.stream);
    ch.eof = false;
    return;
  }
  std::FILE* stream = ch.stream;
  const bool cut = ch.last_was_write;
  ch = channel{};
  if (stream == nullptr) return;
  if (cut) {
    if (std::fflush(stream) != 0) {
      const int error = errno;
      std::fclose(stream);
      fail(error, "endfile");
    }
    const long length = std::ftell(stream);
    if (is_regular_file(stream) && (length < 0 || ftruncate(fileno(stream), length) != 0)) {
      std::fclose(stream);
      fail(err_truncation, "endfile");
    }
  }
  if (std::fclose(stream) != 0 && cut) fail(errno, "endfile");
}

bool file_exists(const std::string& name) {
  return access(name.c_str(), F_OK) == 0;
}

// Opens for update without emptying, else for reading only, else (for a file
// that need not exist) creates it. An existing input file is never created
// anew: that would empty it.
std::FILE* open_stream(const std::string& name, open_status status, bool& read_only) {
  read_only = false;
  if (std::FILE* f = std::fopen(name.c_str(), "r+")) return f;
  if (std::FILE* f = std::fopen(name.c_str(), "r")) {
    read_only = true;
    return f;
  }
  if (status == open_status::old) return nullptr;
  return std::fopen(name.c_str(), "w");
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
    std::fseek(ch.stream, 0, SEEK_CUR);  // a stream may not turn from writing to reading otherwise
    ch.last_was_write = false;
  }
  int c = std::getc(ch.stream);
  if (c == '\r') {
    const int next = std::getc(ch.stream);
    if (next == '\n') return '\n';
    if (next != EOF) std::ungetc(next, ch.stream);
    std::clearerr(ch.stream);  // the end after a lone carriage return is met again next time
    return c;
  }
  if (c == EOF) {
    if (std::ferror(ch.stream)) fail(errno, read_context());
    ch.eof = true;
    return eof_char;
  }
  return c;
}

}  // namespace

void open(int unit, std::string_view name, open_status status) {
  note_unit(unit);
  if (!valid_unit(unit)) fail(err_bad_unit, "open");
  channel& ch = at(unit);
  if (ch.stream != nullptr) {
    if (ch.named && name == ch.name) return;
    disconnect(ch);
  }
  ch.named = true;
  ch.name.assign(without_trailing_blanks(name));
  if (ch.name.empty()) fail(err_null_file_name, "open");
  // A name with a NUL in it names no file that can exist; cutting it at the
  // NUL would open another file.
  if (ch.name.find('\0') != std::string::npos) fail(ENOENT, "open");
  if (status == open_status::old && !file_exists(ch.name)) fail(errno, "open");
  bool read_only = false;
  std::FILE* stream = open_stream(ch.name, status, read_only);
  if (stream == nullptr) fail(errno, "open");
  ch.stream = stream;
  ch.read_only = read_only;
  ch.eof = false;
  ch.last_was_write = false;
  ch.pushback = no_pushback;
  ch.newlines = 0;
  ch.last_line = 0;
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

void end_run(int exit_status) {
  close_all();
  std::exit(exit_status);
}

int get_char(int unit) {
  if (!valid_unit(unit) || at(unit).stream == nullptr) fail(err_not_connected, read_context());
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
  if (!valid_unit(unit)) fail(err_bad_unit, context);
  channel& ch = at(unit);
  if (ch.stream == nullptr) fail(err_not_connected, context);
  if (ch.read_only) {
    std::FILE* update = std::fopen(ch.name.c_str(), "r+");
    if (update == nullptr) fail(err_cannot_write, context);
    std::fseek(update, std::ftell(ch.stream), SEEK_SET);
    std::fclose(ch.stream);
    ch.stream = update;
    ch.read_only = false;
  } else if (!ch.last_was_write && !ch.console) {
    std::fseek(ch.stream, 0, SEEK_CUR);  // a stream may not turn from reading to writing otherwise
  }
  ch.last_was_write = true;
  ch.write_context = context;
}

void put_record(int unit, std::string_view record) {
  channel& ch = at(unit);
  const bool written = std::fwrite(record.data(), 1, record.size(), ch.stream) == record.size() &&
                       std::fputc('\n', ch.stream) != EOF;
  if (!written || (ch.console && std::fflush(ch.stream) != 0)) fail(errno, ch.write_context);
}

const char* unit_name(int unit) {
  if (!valid_unit(unit) || !at(unit).named) return nullptr;
  return at(unit).name.c_str();
}

}  // namespace sitewave::textio
