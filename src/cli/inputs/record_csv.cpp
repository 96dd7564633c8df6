// The dialogue's record format read strictly by the command, line by line:
// every data line holds exactly as many numbers as the title line names
// columns, so that a record of another shape is refused with its line
// instead of being read as something else. Each number takes the value the
// dialogue's scanner gives it.
#include <sys/sysinfo.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/inputs/record.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/line_reader.hpp"
#include "textfmt/list_scan.hpp"
#include "textfmt/text_source.hpp"

namespace sitewave::cli {

namespace {

// What a run holds per record row, with every result (measured, with margin).
constexpr double run_bytes_per_row = 512.0;
// Rows between checks that the record still fits the machine's memory.
constexpr std::size_t rows_between_checks = 1 << 16;

std::string_view trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The fields of a line: separated by commas when it holds any, else by blanks.
std::vector<std::string_view> fields_of(std::string_view line) {
  std::vector<std::string_view> fields;
  const bool commas = line.find(',') != std::string_view::npos;
  std::size_t start = 0;
  while (start <= line.size()) {
    if (!commas) {
      start = line.find_first_not_of(" \t", start);
      if (start == std::string_view::npos) break;
    }
    const std::size_t end = commas ? line.find(',', start) : line.find_first_of(" \t", start);
    const std::size_t stop = end == std::string_view::npos ? line.size() : end;
    fields.push_back(trimmed(line.substr(start, stop - start)));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return fields;
}

bool digits_at(std::string_view s, std::size_t& i) {
  const std::size_t from = i;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  return i > from;
}

// A number as the record may write it: sign, digits with an optional point,
// an optional exponent (e, E, d or D).
bool is_number(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  bool digits = digits_at(s, i);
  if (i < s.size() && s[i] == '.') {
    ++i;
    digits = digits_at(s, i) || digits;
  }
  if (!digits) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (!digits_at(s, i)) return false;
  }
  return i == s.size();
}

// The single-precision value the dialogue's scanner gives the number.
float value_of(std::string_view number) {
  textfmt::text_source in(number);
  float v = 0.0f;
  const std::array<textfmt::read_target, 1> target{v};
  textfmt::scan_list(in, target, false);
  return v;
}

std::string column_name(const record& r, std::size_t column) {
  return std::string(textfmt::trimmed(r.titles[column]));
}

void read_titles(line_reader& in, record& r) {
  std::string_view line;
  do {
    if (!in.next(line)) {
      throw input_error(in.name() +
                        ": the file is empty; a title line, then rows of time, H1, H2, V1 are "
                        "expected");
    }
  } while (trimmed(line).empty());
  const std::vector<std::string_view> fields = fields_of(line);
  bool numbers = true;
  for (const std::string_view f : fields) numbers = numbers && is_number(f);
  if (numbers) {
    in.refuse("\"" + excerpt(line) +
              "\": a title line is expected first (the column names, e.g. time,H1,H2,V1), "
              "then the rows of numbers");
  }
  if (fields.size() < 2 || fields.size() > 4) {
    in.refuse("\"" + excerpt(line) + "\": " + std::to_string(fields.size()) +
              " column titles; 2 to 4 are expected: time, then H1, H2 and V1 or the first of them");
  }
  r.components = fields.size() - 1;
  std::vector<textfmt::read_target> titles;
  for (std::size_t c = 0; c < fields.size(); ++c) titles.emplace_back(r.titles[c]);
  textfmt::text_source title_text(line);
  try {
    textfmt::scan_list(title_text, titles, false);
  } catch (const textfmt::scan_error&) {
    // Titles the scanner cannot take as texts keep their default names.
  }
}

void read_row(line_reader& in, std::string_view line, record& r) {
  const std::vector<std::string_view> fields = fields_of(line);
  const std::size_t columns = r.components + 1;
  if (fields.size() != columns) {
    in.refuse(std::to_string(fields.size()) + " values where the title line names " +
              std::to_string(columns) + " columns: \"" + excerpt(line) + "\"");
  }
  for (std::size_t c = 0; c < columns; ++c) {
    if (!is_number(fields[c])) {
      in.refuse("column " + column_name(r, c) + ": \"" + excerpt(fields[c]) +
                "\": a number is expected");
    }
    float v = 0.0f;
    try {
      v = value_of(fields[c]);
    } catch (const textfmt::scan_error&) {
      v = HUGE_VALF;  // an exponent beyond what the scanner's field holds
    }
    if (!std::isfinite(v)) {
      in.refuse("column " + column_name(r, c) + ": " + excerpt(fields[c]) +
                ": a value within single precision (magnitude below 3.4e38) is expected");
    }
    (c == 0 ? r.time : r.samples[c - 1]).push_back(v);
  }
}

}  // namespace

void check_record_fits(std::size_t rows, const std::string& name) {
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return;
  const double memory = static_cast<double>(info.totalram) * info.mem_unit;
  const double needed = static_cast<double>(rows) * run_bytes_per_row;
  if (needed > memory) {
    // The reader checks as the rows come, so the need has only just passed
    // the memory: say how fast it grows instead of two equal figures.
    char memory_text[32];
    std::snprintf(memory_text, sizeof memory_text, "%.1f", memory / 1e9);
    throw input_error(name + ": " + std::to_string(rows) + " rows or more; a run needs about " +
                      std::to_string(static_cast<int>(run_bytes_per_row)) +
                      " bytes a row, more than the " + memory_text + " GB of this machine holds");
  }
}

namespace {

record read_from(line_reader& in) {
  record r;
  r.format = "csv";
  r.paths = {in.name()};
  read_titles(in, r);
  for (std::size_t c = r.components; c < 3; ++c) r.samples[c].clear();
  std::string_view line;
  while (in.next(line)) {
    if (trimmed(line).empty()) continue;
    read_row(in, line, r);
    if (r.rows() % rows_between_checks == 0) check_record_fits(r.rows(), in.name());
  }
  return r;
}

}  // namespace

record read_csv_record(const std::filesystem::path& path) {
  line_reader in(path);
  return read_from(in);
}

record parse_csv_record(std::string_view text, const std::string& name) {
  line_reader in(name, text);
  return read_from(in);
}

void scale_record(record& r, float s) {
  for (std::size_t c = 0; c < r.components; ++c) {
    for (std::size_t i = 0; i < r.samples[c].size(); ++i) {
      float& v = r.samples[c][i];
      v *= s;
      if (!std::isfinite(v)) {
        char scale[32];
        std::snprintf(scale, sizeof scale, "%g", static_cast<double>(s));
        throw input_error(r.paths.front() + ": --scale " + scale + " takes " +
                          std::string(component_names[c]) + " of row " + std::to_string(i + 1) +
                          " beyond single precision (magnitude 3.4e38); a smaller scale is "
                          "expected");
      }
    }
  }
}

}  // namespace sitewave::cli
