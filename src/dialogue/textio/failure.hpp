// Ending the run on an input or output failure: the diagnostic on the
// standard error stream, every channel cut and closed, abnormal termination.
// Also the one-line refusals of unusable input and warnings.
#pragma once

#include <string_view>

#include "textfmt/list_scan.hpp"

namespace sitewave::textio {

// Failure codes: end_of_file, a system error number (0..99), or 100..132 for
// the runtime's own messages; the readers' codes come with the scanner.
using textfmt::end_of_file;
using textfmt::err_list_input;
using textfmt::err_no_space;
using textfmt::err_unexpected_char;
inline constexpr int err_null_file_name = 107;
inline constexpr int err_truncation = 111;
inline constexpr int err_cannot_write = 127;

enum class direction { reading, writing };

// The reporter's view of the latest operation. An open or close names the
// current unit; a statement names its unit, its direction and its layout text
// (list-directed statements use "list io", which stays after them; a formatted
// statement's layout is cleared at its end).
void note_unit(int unit);
void note_statement(int unit, direction dir, std::string_view layout);
void end_formatted_statement();

// True while the current statement is list-directed.
bool list_directed_statement();

// Prints the diagnostic for `code` in `context`, closes every channel and
// aborts. A failure reported while another is being handled aborts at once.
[[noreturn]] void fail(int code, const char* context);

// The same ending for a failure the system has no error number for: the
// first line is the context word, a colon, a blank and the text.
[[noreturn]] void fail_with_text(const char* text, const char* context);

// Refuses unusable input: the console is flushed, the one-line message goes to
// the standard error stream, every channel is closed and the run ends with
// exit status 1.
[[noreturn]] void refuse(std::string_view message);

// One line on the standard error stream that leaves the run going.
void warn(std::string_view message);

}  // namespace sitewave::textio
