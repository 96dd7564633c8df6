// Recognising the usual ways of writing acceleration units.
#include "cli/inputs/units.hpp"

#include <array>
#include <utility>

namespace sitewave::cli {

std::optional<double> metres_per_second_squared(std::string_view unit) {
  static constexpr std::array<std::pair<std::string_view, double>, 14> names{{
      {"g", standard_gravity},
      {"G", standard_gravity},
      {"m/s2", 1.0},
      {"m/s^2", 1.0},
      {"m/s**2", 1.0},
      {"m/s²", 1.0},
      {"cm/s2", 0.01},
      {"cm/s^2", 0.01},
      {"cm/s²", 0.01},
      {"gal", 0.01},
      {"Gal", 0.01},
      {"mm/s2", 0.001},
      {"mm/s^2", 0.001},
      {"mm/s²", 0.001},
  }};
  for (const auto& [name, factor] : names) {
    if (name == unit) return factor;
  }
  return std::nullopt;
}

std::string_view known_units() {
  return "g, m/s2, cm/s2 (gal), mm/s2";
}

}  // namespace sitewave::cli
