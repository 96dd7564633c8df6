// Reading a user's curve table: rows grouped by curve name in the order the
// names first appear, each point checked where it is written so that a
// refusal names its line, then each curve made as a tabulated soil curve.
#include "cli/inputs/curve_file.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>

#include "cli/inputs/table_cells.hpp"
#include "cli/io/csv_rows.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/line_reader.hpp"
#include "core/soil/model_registry.hpp"
#include "core/soil/shown.hpp"

namespace sitewave::cli {

namespace {

constexpr std::array<std::string_view, 4> columns = {"curve", "strain_percent", "modulus_ratio",
                                                     "damping_percent"};

struct growing_curve {
  std::string name;
  int line = 0;  // of its first row
  std::vector<soil::curve_point> modulus, damping;
  std::vector<int> modulus_lines, damping_lines;
};

class curve_reader {
 public:
  explicit curve_reader(const std::string& file) : file_(file) {}

  void header(const csv_row& row) {
    for (std::size_t k = 0; k < row.cells.size(); ++k) {
      const std::string& c = row.cells[k];
      if (std::find(columns.begin(), columns.end(), c) == columns.end())
        refuse(row.line, c, c, "an unknown column: the columns are curve, strain_percent, "
                               "modulus_ratio, damping_percent");
      if (std::find(row.cells.begin(), row.cells.begin() + static_cast<long>(k), c) !=
          row.cells.begin() + static_cast<long>(k))
        refuse(row.line, c, c, "a column named twice");
    }
    for (std::size_t k = 0; k < columns.size(); ++k) {
      const auto at = std::find(row.cells.begin(), row.cells.end(), columns[k]);
      if (at == row.cells.end())
        refuse(row.line, columns[k], "", "a missing column: the header names curve, "
                                         "strain_percent, modulus_ratio and damping_percent");
      index_[k] = static_cast<std::size_t>(at - row.cells.begin());
    }
    width_ = row.cells.size();
  }

  void row(const csv_row& row) {
    if (row.cells.size() != width_)
      throw input_error(file_ + ": line " + std::to_string(row.line) + ": " +
                        std::to_string(row.cells.size()) + " cells where the header has " +
                        std::to_string(width_) + " columns (a decimal comma?)");
    const std::string& name = cell(row, 0);
    if (name.empty()) refuse(row.line, "curve", name, "a curve name is expected");
    if (soil::find_soil_model(name) != nullptr)
      refuse(row.line, "curve", name, "a name other than a built-in model's is expected");
    const double strain = number(row, 1, "a strain in percent above 0 is expected");
    if (!(strain > 0.0)) refuse(row.line, "strain_percent", cell(row, 1),
                                "a strain in percent above 0 is expected");
    growing_curve& c = curve_named(name, row.line);
    if (!cell(row, 2).empty()) {
      const double g = number(row, 2, "a modulus ratio G/Gmax above 0 and at most 1 is expected");
      if (!(g > 0.0 && g <= 1.0))
        refuse(row.line, "modulus_ratio", cell(row, 2),
               "a modulus ratio G/Gmax above 0 and at most 1 is expected");
      add(c.modulus, c.modulus_lines, {strain, g}, row, "modulus");
    }
    if (!cell(row, 3).empty()) {
      const double d = number(row, 3, "a damping in percent from 0 up to 50 is expected");
      if (!(d >= 0.0 && d < 50.0))
        refuse(row.line, "damping_percent", cell(row, 3),
               "a damping in percent from 0 up to 50 is expected");
      add(c.damping, c.damping_lines, {strain, d}, row, "damping");
    }
    if (cell(row, 2).empty() && cell(row, 3).empty())
      refuse(row.line, "modulus_ratio", "", "a modulus ratio or a damping (or both) is expected");
  }

  user_curves finish() {
    user_curves out;
    out.file = file_;
    for (growing_curve& c : growing_) {
      for (const auto& [points, what] : {std::pair{&c.modulus, "modulus_ratio"},
                                         std::pair{&c.damping, "damping_percent"}}) {
        if (points->empty())
          refuse(c.line, what, "", "curve " + c.name + " has no " + what + " point: at least one "
                                   "is expected");
      }
      try {
        out.curves.emplace_back(c.name, soil::curve::tabulated_percent(c.modulus, c.damping));
      } catch (const std::invalid_argument& e) {
        throw input_error(file_ + ": curve " + c.name + ": " + e.what());
      }
    }
    return out;
  }

 private:
  [[noreturn]] void refuse(int line, std::string_view column, std::string_view value,
                           const std::string& expected) const {
    throw input_error(cell_place(file_, line, column, value) + expected);
  }

  const std::string& cell(const csv_row& row, std::size_t column) const {
    return row.cells[index_[column]];
  }

  double number(const csv_row& row, std::size_t column, const char* expected) const {
    const std::optional<double> v = cell_number(cell(row, column));
    if (!v) refuse(row.line, columns[column], cell(row, column), expected);
    return *v;
  }

  growing_curve& curve_named(const std::string& name, int line) {
    for (growing_curve& c : growing_)
      if (c.name == name) return c;
    growing_.push_back({name, line, {}, {}, {}, {}});
    return growing_.back();
  }

  void add(std::vector<soil::curve_point>& points, std::vector<int>& lines, soil::curve_point p,
           const csv_row& row, const char* table) const {
    if (!points.empty() && !(p.strain > points.back().strain))
      refuse(row.line, "strain_percent", cell(row, 1),
             std::string("strains of a curve's ") + table + " must increase: line " +
                 std::to_string(lines.back()) + " has " + soil::shown(points.back().strain));
    if (points.size() >= static_cast<std::size_t>(soil::max_curve_points))
      refuse(row.line, "strain_percent", cell(row, 1),
             "at most " + std::to_string(soil::max_curve_points) + " points a table are kept");
    points.push_back(p);
    lines.push_back(row.line);
  }

  std::string file_;
  std::array<std::size_t, columns.size()> index_{};
  std::size_t width_ = 0;
  std::vector<growing_curve> growing_;
};

}  // namespace

const soil::curve* user_curves::find(std::string_view name) const {
  for (const auto& [n, c] : curves)
    if (n == name) return &c;
  return nullptr;
}

std::string user_curves::names() const {
  std::string text;
  for (const auto& [n, c] : curves) text += (text.empty() ? "" : ", ") + n;
  return text;
}

user_curves read_user_curves(const std::filesystem::path& path) {
  return parse_user_curves(read_small_file(path), path.string());
}

user_curves parse_user_curves(std::string_view text, const std::string& name) {
  const std::vector<csv_row> rows = table_rows(text, name);
  if (rows.empty())
    throw input_error(name + ": no header: curve,strain_percent,modulus_ratio,damping_percent "
                             "is expected");
  curve_reader reader(name);
  reader.header(rows.front());
  for (std::size_t k = 1; k < rows.size(); ++k) reader.row(rows[k]);
  return reader.finish();
}

}  // namespace sitewave::cli
