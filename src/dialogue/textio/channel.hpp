// Numbered channels 0..99 connecting the run to its files and the console:
// opening and closing by name, the end-of-file flag, character input for the
// readers and whole records for the writers.
#pragma once

#include <string_view>

#include "textfmt/list_scan.hpp"

namespace sitewave::textio {

inline constexpr int error_unit = 0;   // standard error stream
inline constexpr int console_in = 5;   // standard input
inline constexpr int console_out = 6;  // standard output
inline constexpr int max_unit = 99;

enum class open_status {
  old,     // the file must exist
  unknown  // opened if it exists, created otherwise
};

// Connects unit to the file named by `name` without its trailing blanks
// (leading and inner blanks stay). The file is opened for reading and writing
// without being emptied, else for reading only, else created for writing.
// A file opened with status old is an input of the run: a FIFO or device is
// opened for reading only, and a file opened with status unknown that is one
// of the run's inputs (the same file under any name) is refused.
// Failures end the run with the open diagnostic.
void open(int unit, std::string_view name, open_status status);

// Disconnects unit; a file whose last transfer was a write is cut at the
// written length. Closing an unconnected unit only clears its end-of-file flag.
void close(int unit);

// Closes every channel 0..99 as close() does (the console streams are flushed).
void close_all();

// Sends what the files were written, cuts them and closes them, with
// async-signal-safe calls only: for a handler that cannot return.
void cut_all_at_once();

// Normal end of the run: every channel closed, then exit with exit_status.
[[noreturn]] void end_run(int exit_status);

// ---- character input, used by the readers ----

using textfmt::eof_char;

// The next character of the unit, or eof_char at the end of the file, which
// also sets the end-of-file flag; once the flag is set every call yields
// eof_char. A carriage return right before a line feed is dropped. A read
// error of the stream ends the run with the system error. A signal recorded
// while the read waits for input ends the run there.
int get_char(int unit);

// Pushes one character back (eof_char pushes nothing: the flag stays set).
void unget_char(int unit, int c);

bool eof_flag(int unit);

// The line (counted from 1) of the latest character taken from the unit, so
// that a refusal can name the line a value came from.
int line_number(int unit);

// ---- record output, used by the writers ----

// Prepares unit for a write statement; a unit whose file could only be opened
// for reading is reopened for update, and the statement fails with "can't
// write file" (context: `context`) when that is refused.
void begin_write(int unit, const char* context);

// Writes one record: the characters, then the line end. Console records are
// sent at once. A recorded signal ends the run here, between records.
void put_record(int unit, std::string_view record);

// The name a unit was last opened with, or nullptr for an unnamed unit.
const char* unit_name(int unit);

}  // namespace sitewave::textio
