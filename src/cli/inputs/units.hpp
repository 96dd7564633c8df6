// The acceleration units the command knows, for conversions (strains need
// metres, Arias intensity needs g) and for the labels of figures. Any other
// --units text stays a label.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sitewave::cli {

inline constexpr double standard_gravity = 9.80665;  // m/s², the g of the records

// m/s² per unit for g, m/s2 (m/s^2, m/s²), cm/s2 or gal, mm/s2; nothing for
// any other unit.
std::optional<double> metres_per_second_squared(std::string_view unit);

// The unit of a run: --units when given, else the record's own.
inline std::string_view run_unit(std::string_view option, std::string_view recorded) {
  return option.empty() ? recorded : option;
}

// The accepted names, for messages: "g, m/s2, cm/s2 (gal), mm/s2".
std::string_view known_units();

}  // namespace sitewave::cli
