// Comma-separated tables as spreadsheets write them (RFC 4180): cells split
// at commas, a quoted cell may hold commas, line breaks and doubled quotes.
// Each row keeps the line it starts on, for messages that point at it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sitewave::cli {

struct csv_row {
  int line = 0;  // 1-based line of the file where the row starts
  std::vector<std::string> cells;
};

// A malformed table: the line and what is wrong there.
class csv_error : public std::runtime_error {
 public:
  csv_error(int line, const std::string& reason)
      : std::runtime_error("line " + std::to_string(line) + ": " + reason),
        line_(line),
        reason_(reason) {}
  int line() const { return line_; }
  const std::string& reason() const { return reason_; }

 private:
  int line_;
  std::string reason_;
};

// The rows of a table. Spaces and tabs around a cell are dropped, a UTF-8
// byte order mark at the start is skipped, and rows with no text in any
// cell (blank lines, ",,," from a spreadsheet) are left out.
std::vector<csv_row> read_csv_rows(std::string_view text);

// The rows of a table, or none for one that is malformed: for reading back
// a results file, where a damaged one only leaves values unknown.
std::vector<csv_row> csv_rows_or_none(std::string_view text);

// A cell as a table holds it: quoted when it contains a comma, a quote, a
// line break or surrounding spaces.
std::string csv_cell(std::string_view text);

}  // namespace sitewave::cli
