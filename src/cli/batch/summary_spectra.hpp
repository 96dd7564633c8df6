// The response-spectrum values a batch summary carries for each case: PSA
// of the input and of the surface, each component, and the surface's
// RotD50, at 5 % damping and a few periods, read from a case's response.csv.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace sitewave::cli {

inline constexpr std::array<double, 5> summary_periods{0.1, 0.2, 0.5, 1.0, 2.0};  // s
inline constexpr double summary_damping = 0.05;
// The response.csv columns summarised, in the summary's order: each
// component of the input and the surface, and the surface's RotD50.
inline constexpr std::array<std::string_view, 7> summary_spectra{
    "in_H1", "in_H2", "in_V1", "out_H1", "out_H2", "out_V1", "out_rotd50"};

// values[s][p]: spectrum s of summary_spectra at period p of summary_periods;
// NaN where the file has no such column, no 5 % rows, or does not reach the period.
using summary_psa = std::array<std::array<double, summary_periods.size()>, summary_spectra.size()>;

summary_psa psa_from_response_csv(std::string_view text);

// A spectrum given at ascending periods, at `period`: the value itself where
// the period is listed, else interpolated linearly in log(period) and
// log(value) between its neighbours; NaN outside the periods given.
struct spectrum_point {
  double period;
  double value;
};
double spectrum_at(std::span<const spectrum_point> points, double period);

}  // namespace sitewave::cli
