// Reading a batch manifest and checking every row before anything runs: the
// header against the options of `run`, each case name as a folder name, and
// each row's cells as `run` itself would check its options, so that a suite
// either starts whole or not at all.
#include "cli/batch/manifest.hpp"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "cli/inputs/option_paths.hpp"
#include "cli/io/csv_rows.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/file_io.hpp"
#include "cli/io/line_reader.hpp"
#include "cli/options/arguments.hpp"
#include "cli/options/option_table.hpp"
#include "cli/run/run_options.hpp"

namespace sitewave::cli {

namespace fs = std::filesystem;

namespace {

// A case name is a folder name, and the staging folder beside it adds about
// thirty characters; 200 keeps both within the usual limit of 255 bytes.
constexpr std::size_t longest_case_name = 200;

const option_spec* run_option_named(std::string_view column) {
  for (const option_spec& s : run_option_specs()) {
    if (s.name == column) return &s;
  }
  return nullptr;
}

// Options that say where results go or how fast: the batch sets them for
// every case itself.
bool owned_by_batch(std::string_view column) {
  const option_spec* s = run_option_named(column);
  return s != nullptr && !s->shapes_results;
}

std::string known_columns() {
  std::string names = "case";
  for (const option_spec& s : run_option_specs()) {
    if (s.shapes_results) names += ", " + std::string(s.name);
  }
  return names;
}

std::string shown_value(std::string_view v) {
  if (v.empty()) return "(empty)";
  std::string shown(1, '"');
  return shown.append(v).append("\"");
}

// Collects the problems of a manifest, each as one line naming where it is.
class problem_list {
 public:
  explicit problem_list(manifest& m) : m_(m) {}

  void add(int line, std::string_view case_name, std::string_view column, std::string_view value,
           std::string_view expected) {
    std::string text = m_.path.string() + " line " + std::to_string(line);
    if (!case_name.empty()) text += " (case " + std::string(case_name) + ")";
    text += ": column " + std::string(column) + ", value " + shown_value(value) + ": ";
    m_.problems.push_back(text + std::string(expected));
  }

  void add(int line, std::string_view what) {
    m_.problems.push_back(m_.path.string() + " line " + std::to_string(line) + ": " +
                          std::string(what));
  }

 private:
  manifest& m_;
};

std::optional<std::string> case_name_problem(std::string_view name) {
  const auto allowed = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
  };
  if (name.empty()) return "a case name is expected";
  if (name.front() == '.' || !std::all_of(name.begin(), name.end(), allowed)) {
    return "a folder name of letters, digits, '-', '_' and '.' not starting with '.' is expected";
  }
  if (name.size() > longest_case_name) {
    return "a name of at most " + std::to_string(longest_case_name) + " characters is expected";
  }
  if (name == "summary.csv" || (name.starts_with("summary-") && name.ends_with(".csv"))) {
    return "another name is expected: the batch writes its summary under this name";
  }
  return std::nullopt;
}

bool checks_header(const csv_row& header, problem_list& problems) {
  bool sound = true;
  std::set<std::string, std::less<>> seen;
  for (const std::string& column : header.cells) {
    std::string expected;
    if (!seen.insert(column).second) {
      expected = "each column once is expected";
    } else if (owned_by_batch(column)) {
      expected = "another column is expected: the batch sets --" + column + " for every case";
    } else if (column != "case" && run_option_named(column) == nullptr) {
      expected = "one of the columns " + known_columns() + " is expected";
      std::vector<std::string_view> names{"case"};
      for (const option_spec& s : run_option_specs()) {
        if (s.shapes_results) names.push_back(s.name);
      }
      if (const std::string_view near = closest_name(column, names); !near.empty()) {
        expected = "did you mean " + std::string(near) + "? " + expected;
      }
    }
    if (!expected.empty()) {
      problems.add(header.line, "column " + shown_value(column) + ": " + expected);
      sound = false;
    }
  }
  if (!seen.contains("case")) {
    problems.add(header.line, "a column named case is expected (the name of each case)");
    sound = false;
  }
  return sound;
}

class row_reader {
 public:
  row_reader(manifest& m, const csv_row& header, problem_list& problems)
      : m_(m), header_(header), problems_(problems), base_(fs::absolute(m.path).parent_path()) {}

  void read(const csv_row& row) {
    if (row.cells.size() != header_.cells.size()) {
      problems_.add(row.line, std::to_string(row.cells.size()) + " cells where the header has " +
                                  std::to_string(header_.cells.size()) +
                                  " columns (a cell holding commas, such as at2 or filter, goes "
                                  "in double quotes)");
      return;
    }
    manifest_case c{cell(row, "case"), row.line, {}};
    const std::size_t before = m_.problems.size();
    check_name(c);
    for (std::size_t k = 0; k < row.cells.size(); ++k) {
      const std::string& column = header_.cells[k];
      const std::string& value = row.cells[k];
      if (std::any_of(value.begin(), value.end(),
                      [](char ch) { return static_cast<unsigned char>(ch) < 0x20; })) {
        problems_.add(c.line, c.name, column, value, "a single line of text is expected");
      } else if (column != "case" && !value.empty()) {
        c.options.push_back("--" + column + "=" + value_from(base_, column, value));
      }
    }
    if (cell(row, "soil").empty() && cell(row, "profile").empty()) {
      c.options.push_back("--soil=" + (base_ / run_options{}.soil).string());
    }
    check_options(c, row);
    if (m_.problems.size() == before) m_.cases.push_back(std::move(c));
  }

 private:
  std::string cell(const csv_row& row, std::string_view column) const {
    const auto it = std::find(header_.cells.begin(), header_.cells.end(), column);
    return it == header_.cells.end() ? std::string() : row.cells[it - header_.cells.begin()];
  }

  void check_name(const manifest_case& c) {
    if (const auto problem = case_name_problem(c.name)) {
      problems_.add(c.line, "", "case", c.name, *problem);
      return;
    }
    const auto [first, fresh] = lines_.emplace(c.name, c.line);
    if (!fresh) {
      problems_.add(c.line, "", "case", c.name,
                    "a name used once is expected; line " + std::to_string(first->second) +
                        " has it already");
    }
  }

  // The row's options as `run` would check them, shown with the cells as written.
  void check_options(const manifest_case& c, const csv_row& row) {
    std::vector<std::string_view> words(c.options.begin(), c.options.end());
    words.push_back("--out=case");
    for (const option_problem& p : run_option_problems(arguments(words, run_option_specs()))) {
      problems_.add(c.line, c.name, p.option, cell(row, p.option), p.expected);
    }
  }

  manifest& m_;
  const csv_row& header_;
  problem_list& problems_;
  fs::path base_;
  std::map<std::string, int, std::less<>> lines_;  // case name: line of its row
};

}  // namespace

manifest read_manifest(const fs::path& path) {
  return parse_manifest(read_small_file(path), path);
}

manifest parse_manifest(std::string_view text, const fs::path& path) {
  manifest m{path, {}, {}};
  problem_list problems(m);
  std::vector<csv_row> rows;
  try {
    rows = read_csv_rows(text);
  } catch (const csv_error& e) {
    problems.add(e.line(), e.reason());
    return m;
  }
  if (rows.empty()) {
    m.problems.push_back(path.string() +
                         ": the manifest is empty; a header row and one row per "
                         "case are expected");
    return m;
  }
  if (!checks_header(rows.front(), problems)) return m;
  row_reader reader(m, rows.front(), problems);
  for (std::size_t r = 1; r < rows.size(); ++r) reader.read(rows[r]);
  if (rows.size() == 1) {
    problems.add(rows.front().line, "no case follows the header row; one row per case is expected");
  }
  return m;
}

}  // namespace sitewave::cli
