// The rows of curves.csv, in the order the layers first use each curve.
#include "cli/analysis/curves_file.hpp"

#include <algorithm>
#include <vector>

#include "cli/io/csv_rows.hpp"
#include "cli/analysis/result_files.hpp"

namespace sitewave::cli {

bool uses_curves(std::span<const soil_behaviour> behaviour) {
  return std::any_of(behaviour.begin(), behaviour.end(),
                     [](const soil_behaviour& b) { return b.curve.has_value(); });
}

std::string curves_csv(std::span<const soil_behaviour> behaviour) {
  std::string out = "curve,strain_percent,modulus_ratio,damping_percent\n";
  std::vector<std::string> written;
  const std::vector<double> strains = soil::default_strains();
  for (const soil_behaviour& b : behaviour) {
    if (!b.curve) continue;
    if (std::find(written.begin(), written.end(), b.curve_label) != written.end()) continue;
    written.push_back(b.curve_label);
    const std::string name = csv_cell(b.curve_label);
    for (const double s : strains) {
      out += name;
      for (const double v : {soil::percent_from_ratio(s), b.curve->modulus_ratio(s),
                             soil::percent_from_ratio(b.curve->damping_ratio(s))}) {
        out += ',';
        append_value(out, v);
      }
      out += '\n';
    }
  }
  return out;
}

}  // namespace sitewave::cli
