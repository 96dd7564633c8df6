// Effective stresses down a profile with an optional water table, and the two
// velocity summaries of a profile: Vs30 and the quarter-wavelength period.
#include "core/soil/profile_facts.hpp"
#include "core/soil/shown.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace sitewave::soil {

void check_profile(std::span<const profile_row> rows) {
  if (rows.empty())
    throw std::invalid_argument("the profile has no rows: at least the half-space is expected");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const profile_row& r = rows[i];
    const std::string where = "layer row " + std::to_string(i + 1) + ", ";
    const bool half_space = i + 1 == rows.size();
    if (!half_space && !(std::isfinite(r.thickness) && r.thickness >= 0.0))
      throw std::invalid_argument(where + "thickness " + shown(r.thickness) +
                                  ": a finite value of zero or more is expected");
    const struct {
      const char* title;
      double value;
    } positive[] = {{"density", r.density}, {"Vs", r.vs}, {"k0", r.k0}};
    for (const auto& c : positive)
      if (!(std::isfinite(c.value) && c.value > 0.0))
        throw std::invalid_argument(where + c.title + " " + shown(c.value) +
                                    ": a finite value above zero is expected");
  }
}

void layer_stresses(std::span<const profile_row> rows, std::optional<double> water_depth,
                    std::span<layer_stress> out) {
  check_profile(rows);
  if (out.size() != rows.size() - 1)
    throw std::invalid_argument(std::to_string(rows.size() - 1) + " layers but room for " +
                                std::to_string(out.size()) + " stresses");
  if (water_depth && !(std::isfinite(*water_depth) && *water_depth >= 0.0))
    throw std::invalid_argument("water table depth " + shown(*water_depth) +
                                ": a finite depth of zero or more is expected");
  const double water = water_depth.value_or(std::numeric_limits<double>::infinity());
  // The effective weight of the part of a layer from depth a to b: its unit
  // weight above the water table, less that of water below it.
  const auto weight = [water](double unit_weight, double a, double b) {
    const double dry = std::clamp(water, a, b) - a;
    return unit_weight * dry + (unit_weight - water_unit_weight) * ((b - a) - dry);
  };
  double top = 0.0;
  double above = 0.0;  // sigma'v at the top of the layer
  for (std::size_t l = 0; l + 1 < rows.size(); ++l) {
    const profile_row& r = rows[l];
    const double unit_weight = r.density * standard_gravity;
    const double bottom = top + r.thickness;
    if (bottom > water && unit_weight <= water_unit_weight)
      throw std::invalid_argument("layer row " + std::to_string(l + 1) + ", density " +
                                  shown(r.density) + " t/m^3 below the water table weighs " +
                                  shown(unit_weight) +
                                  " kN/m^3: more than water's 9.81 kN/m^3 is expected");
    const double middle = top + 0.5 * r.thickness;
    const double vertical = above + weight(unit_weight, top, middle);
    out[l] = {middle, vertical, vertical * (1.0 + 2.0 * r.k0) / 3.0};
    above += weight(unit_weight, top, bottom);
    top = bottom;
  }
}

double vs30(std::span<const profile_row> rows) {
  check_profile(rows);
  constexpr double depth = 30.0;
  double reached = 0.0;
  double time = 0.0;  // vertical travel time down to `reached`
  for (std::size_t l = 0; l + 1 < rows.size() && reached < depth; ++l) {
    const double h = std::min(rows[l].thickness, depth - reached);
    time += h / rows[l].vs;
    reached += h;
  }
  if (reached < depth) time += (depth - reached) / rows.back().vs;
  return depth / time;
}

double site_period(std::span<const profile_row> rows) {
  check_profile(rows);
  double period = 0.0;
  for (std::size_t l = 0; l + 1 < rows.size(); ++l) period += 4.0 * rows[l].thickness / rows[l].vs;
  return period;
}

}  // namespace sitewave::soil
