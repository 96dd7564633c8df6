// Reading the surface's intensity measures back from intensity.csv.
#include "cli/batch/summary_intensity.hpp"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "cli/io/csv_rows.hpp"

namespace sitewave::cli {

namespace {

double number_or_none(const std::string& text) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size()) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  return v;
}

}  // namespace

summary_intensity intensity_from_csv(std::string_view text) {
  summary_intensity values;
  for (auto& row : values) row.fill(std::numeric_limits<double>::quiet_NaN());
  const std::vector<csv_row> rows = csv_rows_or_none(text);
  if (rows.empty()) return values;
  const std::vector<std::string>& header = rows.front().cells;
  for (const csv_row& row : rows) {
    if (row.cells.size() != header.size() || row.cells.empty()) continue;
    const auto name =
        std::find(summary_intensity_rows.begin(), summary_intensity_rows.end(), row.cells.front());
    if (name == summary_intensity_rows.end()) continue;
    auto& out = values[static_cast<std::size_t>(name - summary_intensity_rows.begin())];
    for (std::size_t k = 0; k < summary_intensity_columns.size(); ++k) {
      const auto column = std::find(header.begin(), header.end(), summary_intensity_columns[k]);
      if (column != header.end())
        out[k] = number_or_none(row.cells[static_cast<std::size_t>(column - header.begin())]);
    }
  }
  return values;
}

}  // namespace sitewave::cli
