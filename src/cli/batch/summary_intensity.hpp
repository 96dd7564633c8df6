// The intensity measures a batch summary carries for each case: those of
// the surface's horizontals, read from a case's intensity.csv.
#pragma once

#include <array>
#include <string_view>

namespace sitewave::cli {

inline constexpr std::array<std::string_view, 2> summary_intensity_rows{"out_H1", "out_H2"};
// intensity.csv's columns summarised, and their names in the summary
// (after the row's name: out_H1_pgv, ...).
inline constexpr std::array<std::string_view, 5> summary_intensity_columns{
    "pgv", "pgd", "arias_m_s", "d5_95_s", "cav_m_s"};
inline constexpr std::array<std::string_view, 5> summary_intensity_names{"pgv", "pgd", "arias",
                                                                         "d5_95", "cav"};

// values[r][k]: column k of row r; NaN where the file, the row or the value
// is missing (Arias intensity of a record in a unit the command does not know).
using summary_intensity =
    std::array<std::array<double, summary_intensity_columns.size()>, summary_intensity_rows.size()>;

summary_intensity intensity_from_csv(std::string_view text);

}  // namespace sitewave::cli
