// What a row of the ground model does beyond its small-strain numbers: the
// name a profile gives it, the curve its soil follows under strain (rows
// without one stay linear), its own small-strain damping and where it lies
// against the water table.
#pragma once

#include <optional>
#include <string>

#include "core/soil/curve.hpp"

namespace sitewave::cli {

struct soil_behaviour {
  std::string name;
  std::optional<soil::curve> curve;  // none: the row stays linear
  std::string curve_label;           // the curve with its parameters, e.g. "darendeli PI=20 ..."
  std::optional<double> damping;     // the row's small-strain damping, else the curve's
  bool below_water_table = false;
  double k0 = 0.5;  // coefficient of earth pressure at rest
};

}  // namespace sitewave::cli
