// Refusals of ground models that would make the amplification tables not
// finite or meaningless: a row with no stiffness or no damping, Vp not above
// Vs, a negative thickness, values that are not numbers.
#include "core/ground/layer_checks.hpp"

#include <cmath>
#include <cstdio>

namespace sitewave::ground {

namespace {

struct column {
  const char* title;
  float value;
};

}  // namespace

std::string shown(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
  return text;
}

std::optional<std::string> angle_problem(float degrees) {
  if (std::isfinite(degrees)) return std::nullopt;
  return "incident wave angle " + shown(degrees) + " is not a finite number";
}

std::optional<std::string> wave_type_problem(int nin) {
  if (nin == 1 || nin == 2) return std::nullopt;
  return "input wave type " + std::to_string(nin) +
         " must be 1 (theoretical input motion in the bedrock) or 2 (motion observed in a "
         "borehole in the bedrock)";
}

std::optional<std::string> layer_count_problem(int nl) {
  if (nl >= 1 && nl <= ml) return std::nullopt;
  return "number of layer rows " + std::to_string(nl) + " must be from 1 to " + std::to_string(ml) +
         " (the last row is the half-space)";
}

std::optional<std::string> layer_row_problem(const layer_table& t, int l) {
  const std::string where = "layer row " + std::to_string(l) + ", ";
  const column columns[] = {{"density", t.dns(l)}, {"Vp", t.vp(l)},        {"Qp", t.qp(l)},
                            {"Fp", t.fp(l)},       {"Vs", t.vs(l)},        {"Qs", t.qs(l)},
                            {"Fs", t.fs(l)},       {"thickness", t.thk(l)}};
  for (const column& c : columns) {
    if (!std::isfinite(c.value)) {
      return where + c.title + " " + shown(c.value) + ": a finite number is expected";
    }
  }
  for (const column& c : {columns[0], columns[4], columns[5], columns[2]}) {
    if (c.value <= 0.0f) {
      return where + c.title + " " + shown(c.value) + ": a value above zero is expected";
    }
  }
  if (t.vp(l) <= t.vs(l)) {
    return where + "Vp " + shown(t.vp(l)) + ": a value above Vs " + shown(t.vs(l)) + " is expected";
  }
  if (l < t.nl && t.thk(l) < 0.0f) {
    return where + "thickness " + shown(t.thk(l)) + ": zero or more is expected";
  }
  return std::nullopt;
}

}  // namespace sitewave::ground
