// Cells of the headed input tables (profiles, curves): where a message about
// one starts, and its number read strictly, the whole cell or nothing.
#pragma once

#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/io/csv_rows.hpp"
#include "cli/io/errors.hpp"

namespace sitewave::cli {

// "FILE: line N, column NAME: value V: " as every message about a cell starts.
inline std::string cell_place(const std::string& file, int line, std::string_view column,
                              std::string_view value) {
  return file + ": line " + std::to_string(line) + ", column " + std::string(column) +
         ": value " + (value.empty() ? std::string("(empty)") : std::string(value)) + ": ";
}

// The cell as a finite number (a leading '+' allowed), or none.
inline std::optional<double> cell_number(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double v = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
    return std::nullopt;
  return v;
}

// The rows of a table, or an input_error naming the file and the line.
inline std::vector<csv_row> table_rows(std::string_view text, const std::string& file) {
  try {
    return read_csv_rows(text);
  } catch (const csv_error& e) {
    throw input_error(file + ": " + e.what());
  }
}

}  // namespace sitewave::cli
