// Expanding a grid of option values into a manifest. The manifest it makes
// is checked as the batch would check it, so a grid that expands runs.
#include "cli/batch/grid_expansion.hpp"

#include <iostream>
#include <set>
#include <vector>

#include "cli/batch/manifest.hpp"
#include "cli/inputs/option_paths.hpp"
#include "cli/io/csv_rows.hpp"
#include "cli/io/errors.hpp"

namespace sitewave::cli {

namespace {

constexpr std::size_t most_cases = 100000;

struct grid_column {
  std::string option;
  std::vector<std::string> values;
};

std::vector<grid_column> columns_of(const std::vector<csv_row>& rows,
                                    const std::filesystem::path& grid) {
  std::vector<grid_column> columns;
  for (const std::string& name : rows.front().cells) columns.push_back({name, {}});
  for (std::size_t r = 1; r < rows.size(); ++r) {
    for (std::size_t k = 0; k < rows[r].cells.size() && k < columns.size(); ++k) {
      if (!rows[r].cells[k].empty()) columns[k].values.push_back(rows[r].cells[k]);
    }
  }
  std::size_t cases = 1;
  for (const grid_column& c : columns) {
    if (c.option == "case") {
      throw input_error(grid.string() +
                        ": column case: the case names are made from the values; "
                        "a grid lists option values only");
    }
    if (c.values.empty()) {
      throw input_error(grid.string() + ": column " + c.option + " lists no value");
    }
    cases *= c.values.size();
    if (cases > most_cases) {
      throw input_error(grid.string() + ": more than " + std::to_string(most_cases) +
                        " combinations; split the study into several grids");
    }
  }
  return columns;
}

// A value as part of a case name: a file's name without its folder and
// extension, anything else with the characters a folder name cannot hold
// replaced by '_'.
std::string label_of(const std::string& option, const std::string& value) {
  std::string label = value;
  if (!paths_named(option, value).empty()) {
    label.clear();
    for (const option_path& p : paths_named(option, value)) {
      if (!label.empty()) label += '+';
      label += p.path.stem().string();
    }
  }
  for (char& ch : label) {
    const bool fine = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                      (ch >= '0' && ch <= '9') || ch == '-' || ch == '.' || ch == '+';
    if (!fine) ch = '_';
  }
  return label;
}

std::string case_name(const std::vector<grid_column>& columns, const std::vector<std::size_t>& at,
                      std::set<std::string>& used) {
  std::string name;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    if (columns[k].values.size() == 1) continue;  // the same in every case
    if (!name.empty()) name += '_';
    name += label_of(columns[k].option, columns[k].values[at[k]]);
  }
  if (name.empty()) name = "case";
  if (name.front() == '.') name.insert(name.begin(), 'c');
  std::string unique = name;
  for (int n = 2; !used.insert(unique).second; ++n) unique = name + "-" + std::to_string(n);
  return unique;
}

// The next combination (the last column fastest); false after the last.
bool advance(const std::vector<grid_column>& columns, std::vector<std::size_t>& at) {
  for (std::size_t k = columns.size(); k-- > 0;) {
    if (++at[k] < columns[k].values.size()) return true;
    at[k] = 0;
  }
  return false;
}

}  // namespace

std::string expand_grid(std::string_view text, const std::filesystem::path& grid) {
  std::vector<csv_row> rows;
  try {
    rows = read_csv_rows(text);
  } catch (const csv_error& e) {
    throw input_error(grid.string() + ": line " + std::to_string(e.line()) + ": " + e.reason());
  }
  if (rows.size() < 2) {
    throw input_error(grid.string() +
                      ": a header row of run options, then their values down the rows, is "
                      "expected");
  }
  const std::vector<grid_column> columns = columns_of(rows, grid);
  std::string text_out = "case";
  for (const grid_column& c : columns) text_out.append(",").append(csv_cell(c.option));
  text_out += "\n";
  std::vector<std::size_t> at(columns.size(), 0);
  std::set<std::string> used;
  do {
    text_out += case_name(columns, at, used);
    for (std::size_t k = 0; k < columns.size(); ++k) {
      text_out.append(",").append(csv_cell(columns[k].values[at[k]]));
    }
    text_out += "\n";
  } while (advance(columns, at));
  // Problems name the case; their line is that of the expanded manifest.
  const manifest checked = parse_manifest(text_out, grid.string() + " (expanded)");
  if (!checked.problems.empty()) {
    for (const std::string& line : checked.problems) std::cerr << "sitewave: " << line << "\n";
    throw input_error(grid.string() + ": the grid gives cases a batch would refuse (" +
                      std::to_string(checked.problems.size()) + " problems)");
  }
  return text_out;
}

}  // namespace sitewave::cli
