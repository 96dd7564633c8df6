// Ending the run on an input or output failure. The diagnostic names the
// failure, then the state of the latest operation (unit, layout, direction),
// every channel is cut and closed, and the process aborts. Also the one-line
// refusals of unusable input and the handlers of console interrupts, kill
// requests, arithmetic traps and abort signals.
#include "dialogue/textio/failure.hpp"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dialogue/textio/channel.hpp"

namespace sitewave::textio {

namespace {

constexpr std::string_view list_layout = "list io";

// What the diagnostic says about the latest operation.
struct reporter_state {
  int unit = -1;  // none yet
  direction dir = direction::writing;
  std::string_view layout;  // empty: no layout current
  volatile std::sig_atomic_t handling = 0;
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

// Signal endings: a message, every channel closed, then an exit status or an
// abnormal end.
[[noreturn]] void end_by_signal(const char* message, bool abnormal) {
  std::fflush(stdout);
  std::fputs(message, stderr);
  std::fflush(stderr);
  close_all();
  if (abnormal) abort_now();
  std::_Exit(1);
}

extern "C" void on_interrupt(int) {
  end_by_signal("Interrupt\n", false);
}
extern "C" void on_terminate(int) {
  end_by_signal("Killed\n", false);
}
extern "C" void on_arithmetic_trap(int) {
  end_by_signal("Floating Exception\n", true);
}
extern "C" void on_abort(int) {
  end_by_signal("IOT Trap\n", true);
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
  if (state.handling) abort_now();
  state.handling = 1;
  std::fflush(stdout);
  print_first_line(code, context);
  print_state_lines();
  std::fflush(stderr);
  close_all();
  abort_now();
}

void refuse(std::string_view message) {
  std::fflush(stdout);
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
  close_all();
  std::exit(1);
}

void install_signal_handlers() {
  if (std::signal(SIGINT, on_interrupt) == SIG_IGN) std::signal(SIGINT, SIG_IGN);
  std::signal(SIGTERM, on_terminate);
  std::signal(SIGFPE, on_arithmetic_trap);
  std::signal(SIGABRT, on_abort);
}

}  // namespace sitewave::textio
