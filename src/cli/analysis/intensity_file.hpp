// intensity.csv: the intensity measures of each component of the input
// record and of the surface motion, in SI units when the record's unit is
// one the command knows, else in the record's unit times powers of seconds.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/analysis/analysis.hpp"
#include "cli/inputs/record.hpp"

namespace sitewave::cli {

inline constexpr std::string_view intensity_header =
    "component,pga,pgv,pgd,arias_m_s,d5_95_s,d5_75_s,cav_m_s";

// Rows in_H1, in_H2, in_V1, then out_H1, out_H2, out_V1, for the components
// the record has. The input is the record's samples as read; the surface is
// its acceleration before --motion, all transform-size samples. `unit_m_s2`
// is m/s² per record unit: given, every value is converted to SI; not
// given, they stay in record-unit × s powers and Arias intensity is empty.
std::string intensity_csv(const analysis& a, const record& r, std::optional<double> unit_m_s2);

}  // namespace sitewave::cli
