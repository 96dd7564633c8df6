// Reading back the clean files the run made in memory, column by column.
#include "python/clean_columns.hpp"

#include <charconv>
#include <cmath>
#include <limits>

namespace sitewave::python {

namespace {

std::vector<std::string_view> fields_of(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(line.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

bool number_of(std::string_view field, double& value) {
  if (field == "nan") {
    value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return error == std::errc{} && end == field.data() + field.size() && !field.empty();
}

}  // namespace

std::vector<clean_column> clean_columns(std::string_view text) {
  std::vector<std::vector<std::string_view>> rows;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    rows.push_back(fields_of(text.substr(start, end == std::string_view::npos ? end : end - start)));
    start = end == std::string_view::npos ? text.size() : end + 1;
  }
  std::vector<clean_column> columns;
  if (rows.empty()) return columns;
  for (std::size_t k = 0; k < rows.front().size(); ++k) {
    clean_column c{std::string(rows.front()[k]), {}, {}};
    const auto field = [&](std::size_t row) {
      return k < rows[row].size() ? rows[row][k] : std::string_view{};
    };
    for (std::size_t row = 1; row < rows.size() && c.numeric; ++row) {
      double v = 0.0;
      c.numeric = number_of(field(row), v);
      c.numbers.push_back(v);
    }
    if (!c.numeric) {
      c.numbers.clear();
      for (std::size_t row = 1; row < rows.size(); ++row) c.texts.emplace_back(field(row));
    }
    columns.push_back(std::move(c));
  }
  return columns;
}

}  // namespace sitewave::python
