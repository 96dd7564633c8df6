// Ending the run on an input or output failure. The diagnostic names the
// failure, then the state of the latest operation (unit, layout, direction),
// every channel is cut and closed, and the process aborts. Also the one-line
// refusals of unusable input and warnings. A signal that comes while a diagnostic
// is written changes nothing: the run is already ending, and the channels
// close without waiting on a reader that went away.
#include "dialogue/textio/failure.hpp"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "dialogue/textio/channel.hpp"

namespace sitewave::textio {

namespace {

constexpr std::string_view list_layout = "list io";

// What the diagnostic says about the latest operation.
struct reporter_state {
  int unit = -1;  // none yet
  direction dir = direction::writing;
  std::string_view layout;  // empty: no layout current
  bool handling = false;    // a failure is being reported
};

reporter_state state;

constexpr int first_message_code = 100;

constexpr std::array<const char*, 33> messages = {
    "error in format",
    "illegal unit number",
    "formatted io not allowed",
    "unformatted io not allowed",
    "direct io not allowed",
    "sequential io not allowed",
    "can't backspace file",
    "null file name",
    "can't stat file",
    "unit not connected",
    "off end of record",
    "truncation failed in endfile",
    "incomprehensible list input",
    "out of free space",
    "unit not connected",
    "read unexpected character",
    "bad logical input field",
    "bad variable type",
    "bad namelist name",
    "variable not in namelist",
    "no end record",
    "variable count incorrect",
    "subscript for scalar variable",
    "invalid array section",
    "substring out of bounds",
    "subscript out of bounds",
    "can't read file",
    "can't write file",
    "'new' file exists",
    "can't append to file",
    "non-positive record number",
    "I/O started while already doing I/O",
    "Temporary file name (TMPDIR?) too long",
};

[[noreturn]] void abort_now() {
  std::signal(SIGABRT, SIG_DFL);
  std::abort();
}

void print_first_line(int code, const char* context) {
  if (code >= 0 && code < first_message_code) {
    errno = code;
    std::perror(context);
  } else if (code == end_of_file) {
    std::fprintf(stderr, "%s: end of file\n", context);
  } else if (code >= first_message_code &&
             code < first_message_code + static_cast<int>(messages.size())) {
    std::fprintf(stderr, "%s: %s\n", context,
                 messages[static_cast<std::size_t>(code - first_message_code)]);
  } else {
    std::fprintf(stderr, "%s: illegal error number %d\n", context, code);
  }
}

void print_state_lines() {
  if (state.unit >= 0) {
    std::fprintf(stderr, "apparent state: unit %d ", state.unit);
    if (const char* name = unit_name(state.unit)) {
      std::fprintf(stderr, "named %s\n", name);
    } else {
      std::fputs("(unnamed)\n", stderr);
    }
  } else {
    std::fputs("apparent state: internal I/O\n", stderr);
  }
  if (!state.layout.empty()) {
    std::fprintf(stderr, "last format: %.*s\n", static_cast<int>(state.layout.size()),
                 state.layout.data());
  }
  std::fprintf(stderr, "lately %s %s %s %s",
               state.dir == direction::reading ? "reading" : "writing", "sequential", "formatted",
               "external");
  std::fputs(" IO\n", stderr);
}

// The diagnostic after its first line, then the abnormal end.
[[noreturn]] void finish_failure() {
  print_state_lines();
  std::fflush(stderr);
  close_all();
  abort_now();
}

// A failure met while another is being reported aborts at once.
void begin_failure() {
  if (state.handling) abort_now();
  state.handling = true;
}

void put_error_line(std::string_view message) {
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fputc('\n', stderr);
}

}  // namespace

void note_unit(int unit) {
  state.unit = unit;
}

void note_statement(int unit, direction dir, std::string_view layout) {
  state.unit = unit;
  state.dir = dir;
  state.layout = layout;
}

void end_formatted_statement() {
  state.layout = {};
}

bool list_directed_statement() {
  return state.layout == list_layout;
}

void fail(int code, const char* context) {
  begin_failure();
  print_first_line(code, context);
  finish_failure();
}

void fail_with_text(const char* text, const char* context) {
  begin_failure();
  std::fprintf(stderr, "%s: %s\n", context, text);
  finish_failure();
}

void warn(std::string_view message) {
  put_error_line(message);
}

void refuse(std::string_view message) {
  put_error_line(message);
  std::fflush(stderr);
  close_all();
  std::exit(1);
}

}  // namespace sitewave::textio
