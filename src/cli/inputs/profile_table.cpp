// Reading a headed profile: the header checked against the known columns,
// each row's cells read and checked where they are written, then the
// effective stresses down the column for the curves that depend on them.
#include "cli/inputs/profile_table.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <stdexcept>

#include "cli/inputs/layer_warnings.hpp"
#include "cli/inputs/table_cells.hpp"
#include "cli/io/csv_rows.hpp"
#include "cli/io/errors.hpp"
#include "cli/io/line_reader.hpp"
#include "core/soil/model_registry.hpp"
#include "core/soil/profile_facts.hpp"
#include "core/soil/shown.hpp"

namespace sitewave::cli {

namespace {

constexpr std::array<std::string_view, 17> known_columns = {
    "name",   "thickness_m", "vs_mps",  "density_t_m3", "unit_weight_kn_m3",
    "vp_mps", "poisson",     "damping", "qs",           "fs",
    "qp",     "fp",          "curve",   "pi",           "ocr",
    "k0",     "cu"};
constexpr std::string_view d50_column = "d50_mm";

// The model parameters a profile gives in its own columns.
constexpr std::array<std::pair<std::string_view, std::string_view>, 4> parameter_columns = {
    {{"PI", "pi"}, {"OCR", "ocr"}, {"Cu", "cu"}, {"D50", "d50_mm"}}};

constexpr double least_density = 0.5, most_density = 5.0;  // t/m^3

using soil::shown;

// A row's values as read, in double precision, before they go to the table.
struct row_values {
  int line = 0;
  std::string name;
  double thickness = 0.0, vs = 0.0, density = 0.0, vp = 0.0;
  double qs = 0.0, fs = 0.0, qp = 0.0, fp = 0.0;
  std::optional<double> damping;
  double k0 = 0.5;
};

class profile_reader {
 public:
  profile_reader(const std::string& file, const profile_options& options)
      : file_(file), options_(options) {}

  void header(const csv_row& row) {
    for (std::size_t k = 0; k < row.cells.size(); ++k) {
      const std::string& c = row.cells[k];
      const bool known =
          std::find(known_columns.begin(), known_columns.end(), c) != known_columns.end() ||
          c == d50_column;
      if (!known)
        refuse(row.line, c, c,
               "an unknown column (names are case-sensitive): the columns are name, "
               "thickness_m, vs_mps, density_t_m3 or unit_weight_kn_m3, vp_mps or poisson, "
               "damping or qs,fs,qp,fp, curve, pi, ocr, k0, cu, d50_mm");
      if (index_.contains(c)) refuse(row.line, c, c, "a column named once is expected");
      index_[c] = k;
    }
    width_ = row.cells.size();
    line_ = row.line;
    require("thickness_m", "the thickness of each layer in m");
    require("vs_mps", "the shear-wave velocity of each row in m/s");
    one_of("density_t_m3", "unit_weight_kn_m3", true, "the mass of each row");
    one_of("vp_mps", "poisson", false, "P velocities");
    const bool q_form = has("qs") || has("fs") || has("qp") || has("fp");
    if (has("damping") && q_form)
      refuse(line_, "damping", "damping",
             "give damping (a ratio) or qs,fs,qp,fp (quality factors), not both");
    if (q_form) {
      for (const char* c : {"qs", "fs", "qp", "fp"})
        require(c, "the Q form of the damping takes qs, fs, qp and fp together");
    } else {
      require("damping", "the small-strain damping ratio of each row (e.g. 0.02), or qs,fs,qp,fp");
    }
    q_form_ = q_form;
  }

  void row(const csv_row& row) {
    if (row.cells.size() != width_)
      throw input_error(file_ + ": line " + std::to_string(row.line) + ": " +
                        std::to_string(row.cells.size()) + " cells where the header has " +
                        std::to_string(width_) +
                        " columns: a decimal comma (0,720 for 0.720) or a missing value?");
    rows_.push_back(&row);
  }

  ground_profile finish() {
    if (rows_.empty())
      throw input_error(file_ +
                        ": no layer rows after the header: at least the half-space row "
                        "is expected");
    std::vector<row_values> values;
    for (std::size_t r = 0; r < rows_.size(); ++r)
      values.push_back(read_row(*rows_[r], r + 1 == rows_.size()));
    ground_profile p;
    fill_table(values, p);
    fill_behaviour(values, p);
    return p;
  }

 private:
  bool has(std::string_view c) const { return index_.contains(std::string(c)); }

  void require(std::string_view c, const std::string& what) const {
    if (!has(c)) refuse(line_, c, "", "a missing column: " + what);
  }

  void one_of(std::string_view a, std::string_view b, bool needed, const char* what) const {
    if (has(a) && has(b))
      refuse(line_, b, b,
             std::string("give ") + std::string(a) + " or " + std::string(b) + " for " + what +
                 ", not both");
    if (needed && !has(a) && !has(b))
      refuse(line_, a, "",
             std::string("a missing column: ") + std::string(a) + " or " + std::string(b) +
                 " gives " + what);
  }

  [[noreturn]] void refuse(int line, std::string_view column, std::string_view value,
                           const std::string& expected) const {
    throw input_error(cell_place(file_, line, column, value) + expected);
  }

  std::string cell(const csv_row& row, std::string_view column) const {
    const auto it = index_.find(std::string(column));
    return it == index_.end() ? std::string() : row.cells[it->second];
  }

  // The cell's number; none when the cell is empty or the column absent.
  std::optional<double> optional_number(const csv_row& row, std::string_view column,
                                        const std::string& expected) const {
    const std::string text = cell(row, column);
    if (text.empty()) return std::nullopt;
    const std::optional<double> v = cell_number(text);
    if (!v) refuse(row.line, column, text, "not a number: " + expected);
    return v;
  }

  double number(const csv_row& row, std::string_view column, const std::string& expected) const {
    const std::optional<double> v = optional_number(row, column, expected);
    if (!v) refuse(row.line, column, "", expected);
    return *v;
  }

  void check(bool sound, const csv_row& row, std::string_view column,
             const std::string& expected) const {
    if (!sound) refuse(row.line, column, cell(row, column), expected);
  }

  row_values read_row(const csv_row& row, bool half_space) {
    row_values v;
    v.line = row.line;
    v.name = cell(row, "name");
    const std::optional<double> h =
        optional_number(row, "thickness_m", "a layer thickness in m above 0 is expected");
    if (half_space) {
      check(!h || *h == 0.0, row, "thickness_m",
            "the last row is the half-space below the layers: leave its thickness empty or 0 "
            "(a missing half-space row?)");
    } else {
      check(h && *h > 0.0, row, "thickness_m",
            "a layer thickness in m above 0 is expected (only the last row, the half-space, "
            "has none)");
      v.thickness = *h;
    }
    v.vs = number(row, "vs_mps", "a shear-wave velocity in m/s above 0 is expected");
    check(v.vs > 0.0, row, "vs_mps", "a shear-wave velocity in m/s above 0 is expected");
    read_mass(row, v);
    read_p_waves(row, v);
    read_damping(row, v);
    if (const auto k0 = optional_number(row, "k0",
                                        "a coefficient of earth pressure at rest "
                                        "above 0 and at most 5 is expected")) {
      check(*k0 > 0.0 && *k0 <= 5.0, row, "k0",
            "a coefficient of earth pressure at rest above 0 and at most 5 is expected");
      v.k0 = *k0;
    }
    for (const auto& [parameter, column] : parameter_columns)
      optional_number(row, column, "a value for the curve's " + std::string(parameter));
    if (half_space && !cell(row, "curve").empty())
      refuse(row.line, "curve", cell(row, "curve"),
             "the half-space stays linear: leave its curve empty");
    return v;
  }

  void read_mass(const csv_row& row, row_values& v) const {
    const bool weight = has("unit_weight_kn_m3");
    const std::string column = weight ? "unit_weight_kn_m3" : "density_t_m3";
    const double g = weight ? soil::standard_gravity : 1.0;
    const std::string range = weight ? "a unit weight from " + shown(least_density * g) + " to " +
                                           shown(most_density * g) + " kN/m³"
                                     : std::string("a density from 0.5 to 5 t/m³");
    const double x = number(row, column, range + " is expected");
    if (x > 500.0 && !weight)
      refuse(row.line, column, cell(row, column), range + " is expected: kg/m³? divide by 1000");
    if (x > 500.0)
      refuse(row.line, column, cell(row, column),
             range + " is expected: a density in kg/m³ (" + shown(x / 1000.0) + " t/m³ weighs " +
                 shown(x * g / 1000.0) + " kN/m³) or a weight in N/m³ (divide by 1000)?");
    if (weight && x >= least_density && x <= most_density && x < least_density * g)
      refuse(row.line, column, cell(row, column),
             range + " is expected: a density in t/m³ (" + shown(x) + " t/m³ weighs " +
                 shown(x * g) + " kN/m³)?");
    check(x >= least_density * g && x <= most_density * g, row, column, range + " is expected");
    v.density = x / g;
  }

  void read_p_waves(const csv_row& row, row_values& v) const {
    if (has("vp_mps")) {
      v.vp = number(row, "vp_mps", "a P-wave velocity in m/s is expected");
      const double least = v.vs * std::sqrt(4.0 / 3.0);
      check(v.vp > least, row, "vp_mps",
            "a P-wave velocity above Vs·√(4/3) = " + shown(least) +
                " m/s is expected (a lower one means a negative bulk modulus)");
    } else if (has("poisson")) {
      const double nu = number(row, "poisson", "a Poisson ratio from 0 up to 0.5 is expected");
      check(nu >= 0.0 && nu < 0.5, row, "poisson", "a Poisson ratio from 0 up to 0.5 is expected");
      v.vp = v.vs * std::sqrt((2.0 - 2.0 * nu) / (1.0 - 2.0 * nu));
    } else {
      v.vp = 2.0 * v.vs;  // not used: the vertical is not computed without P velocities
    }
  }

  void read_damping(const csv_row& row, row_values& v) {
    if (q_form_) {
      for (const auto& [column, target] : {std::pair{"qs", &v.qs}, std::pair{"qp", &v.qp}}) {
        // Q = 1/(2ξ): below 0.5 a damping ratio above 1, which no soil or rock has,
        // and no sound result in either physics (the dialogue's file is held to the same).
        const std::string expected =
            "a quality factor of at least 0.5 (a damping ratio of at most 1) is expected";
        *target = number(row, column, expected);
        check(*target >= 0.5, row, column, expected);
      }
      v.fs = number(row, "fs", "the frequency exponent of Qs (0 for none) is expected");
      v.fp = number(row, "fp", "the frequency exponent of Qp (0 for none) is expected");
      v.damping = 0.5 / v.qs;
      return;
    }
    const std::string expected = "a damping ratio from 0 up to 0.5 is expected (0.02 for 2 %)";
    v.damping = optional_number(row, "damping", expected);
    if (!v.damping) {
      check(!cell(row, "curve").empty(), row, "damping",
            expected + ", or a curve whose small-strain damping the row takes");
      return;
    }
    if (*v.damping >= 0.5 && *v.damping < 50.0)
      refuse(row.line, "damping", cell(row, "damping"),
             expected + ": a percentage? " + cell(row, "damping") + " % is " +
                 shown(*v.damping / 100.0));
    check(*v.damping >= 0.0 && *v.damping < 0.5, row, "damping", expected);
    if (*v.damping > 0.25)
      warnings_.push_back(cell_place(file_, row.line, "damping", cell(row, "damping")) +
                          "a small-strain damping ratio above 0.25: a percentage (use 0.02 for "
                          "2 %) or a Q typed where the damping ratio belongs?");
  }

  void fill_table(const std::vector<row_values>& values, ground_profile& p) const {
    const int n = static_cast<int>(values.size());
    ground::layer_table t(n);
    t.nl = n;
    for (int l = 1; l <= n; ++l) {
      const row_values& v = values[static_cast<std::size_t>(l - 1)];
      t.thk(l) = static_cast<float>(v.thickness);
      t.vs(l) = static_cast<float>(v.vs);
      t.vp(l) = static_cast<float>(v.vp);
      t.dns(l) = static_cast<float>(v.density);
      if (q_form_) {
        t.qs(l) = static_cast<float>(v.qs), t.fs(l) = static_cast<float>(v.fs);
        t.qp(l) = static_cast<float>(v.qp), t.fp(l) = static_cast<float>(v.fp);
      }
      p.model.lines.push_back(v.line);
    }
    p.model.layers = std::move(t);
    p.model.vertical = has("vp_mps") || has("poisson");
  }

  // The rows' stresses, curves and their damping where the row gives none.
  void fill_behaviour(const std::vector<row_values>& values, ground_profile& p) {
    ground::layer_table& t = p.model.layers;
    std::vector<soil::profile_row> rows;
    for (const row_values& v : values) rows.push_back({v.thickness, v.density, v.vs, v.k0});
    refuse_light_layers(values);
    std::vector<soil::layer_stress> stresses(rows.size() - 1);
    soil::layer_stresses(rows, options_.water_table, stresses);
    for (std::size_t r = 0; r < values.size(); ++r) {
      const row_values& v = values[r];
      soil_behaviour b;
      b.name = v.name;
      b.k0 = v.k0;
      b.damping = v.damping;
      if (r < stresses.size()) {
        b.below_water_table = options_.water_table && stresses[r].depth > *options_.water_table;
        read_curve(*rows_[r], stresses[r], b);
      }
      const double damping = b.damping ? *b.damping : b.curve->damping_ratio(0.0);
      if (!b.damping) b.damping = damping;
      if (!q_form_) {
        // Q = 1/(2D), the same for P and S; no damping at all is the largest Q.
        const double q = damping > 0.0 ? 0.5 / damping : std::numeric_limits<float>::max();
        const int l = static_cast<int>(r) + 1;
        t.qs(l) = t.qp(l) = static_cast<float>(q);
        t.fs(l) = t.fp(l) = 0.0f;
      }
      p.behaviour.push_back(std::move(b));
    }
    p.warnings = std::move(warnings_);
    const std::string mass = has("unit_weight_kn_m3") ? "unit_weight_kn_m3" : "density_t_m3";
    const std::string p_column = has("vp_mps") ? "vp_mps" : "poisson";
    const auto more =
        layer_warnings(t, p.model.lines, file_,
                       {"vs_mps", mass.c_str(), p.model.vertical ? p_column.c_str() : nullptr,
                        q_form_ ? "qs" : nullptr, q_form_ ? "qp" : nullptr});
    p.warnings.insert(p.warnings.end(), more.begin(), more.end());
  }

  void refuse_light_layers(const std::vector<row_values>& values) const {
    if (!options_.water_table) return;
    double top = 0.0;
    for (std::size_t r = 0; r + 1 < values.size(); ++r) {
      const row_values& v = values[r];
      top += v.thickness;
      if (top > *options_.water_table &&
          v.density * soil::standard_gravity <= soil::water_unit_weight) {
        const std::string column = has("unit_weight_kn_m3") ? "unit_weight_kn_m3" : "density_t_m3";
        refuse(v.line, column, cell(*rows_[r], column),
               "below the water table a row heavier than water (9.81 kN/m³) is expected");
      }
    }
  }

  void read_curve(const csv_row& row, const soil::layer_stress& at, soil_behaviour& b) const {
    const std::string name = cell(row, "curve");
    if (name.empty()) return;
    const soil::model_spec* m = soil::find_soil_model(name);
    if (m == nullptr) {
      const soil::curve* user = options_.curves ? options_.curves->find(name) : nullptr;
      if (user == nullptr) {
        std::string known;
        for (const soil::model_spec& s : soil::soil_models())
          known += (known.empty() ? "" : ", ") + std::string(s.name);
        refuse(row.line, "curve", name,
               "a built-in model (" + known + ") or a curve of --curves FILE" +
                   (options_.curves ? " (" + options_.curves->names() + ")" : " (none given)") +
                   " is expected");
      }
      b.curve = *user;
      b.curve_label = name;
      return;
    }
    std::vector<soil::parameter_value> chosen;
    b.curve_label = name;
    for (const soil::parameter_spec& s : m->parameters) {
      std::optional<double> v;
      std::string column;
      for (const auto& [parameter, c] : parameter_columns)
        if (parameter == s.name) column = c;
      if (!column.empty()) v = optional_number(row, column, "");
      if (s.name == "sigma_m") v = at.mean / soil::kpa_per_atm;
      if (s.name == "depth") v = at.depth;
      if (!v) v = s.fallback;
      const std::string shown_column = column.empty() ? std::string("curve") : column;
      if (!v)
        refuse(row.line, shown_column, cell(row, shown_column),
               name + " needs " + std::string(s.name) + " (" + std::string(s.meaning) + ")" +
                   (column.empty() || has(column) ? "" : ": add a " + column + " column"));
      if (!soil::accepts(s, *v))
        refuse(row.line, shown_column, column.empty() ? shown(*v) : cell(row, column),
               name + " takes " + std::string(s.name) + " in " + soil::range_text(s) + " (" +
                   std::string(s.meaning) + ")" +
                   (column.empty() ? ": the layer's own value here" : ""));
      chosen.push_back({s.name, *v});
      char part[48];
      std::snprintf(part, sizeof part, " %s=%.4g", std::string(s.name).c_str(), *v);
      b.curve_label += part;
    }
    try {
      b.curve = soil::make_curve(name, chosen);
    } catch (const std::invalid_argument& e) {
      refuse(row.line, "curve", name, e.what());
    }
  }

  std::string file_;
  const profile_options& options_;
  std::map<std::string, std::size_t> index_;
  std::size_t width_ = 0;
  int line_ = 0;
  bool q_form_ = false;
  std::vector<const csv_row*> rows_;
  std::vector<std::string> warnings_;
};

}  // namespace

ground_profile read_profile(const std::filesystem::path& path, const profile_options& options) {
  return parse_profile(read_small_file(path), path.string(), options);
}

ground_profile parse_profile(std::string_view text, const std::string& name,
                             const profile_options& options) {
  const std::vector<csv_row> rows = table_rows(text, name);
  if (rows.empty())
    throw input_error(name +
                      ": no header row: thickness_m, vs_mps, density_t_m3, damping, ... "
                      "are expected");
  profile_reader reader(name, options);
  reader.header(rows.front());
  for (std::size_t k = 1; k < rows.size(); ++k) reader.row(rows[k]);
  return reader.finish();
}

ground_profile read_soil_file(const std::filesystem::path& path) {
  ground_profile p;
  p.model = read_ground_model(path, &p.warnings);
  p.behaviour.resize(static_cast<std::size_t>(p.model.layers.nl));
  return p;
}

}  // namespace sitewave::cli
