// Reading PSA values back from response.csv. The summary periods need not
// be among the periods a run used: spectra are smooth and close to straight
// lines on log-log axes between neighbouring periods of the usual grids, so
// the values between are interpolated there rather than the runs being
// asked for extra periods.
#include "cli/batch/summary_spectra.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "cli/io/csv_rows.hpp"

namespace sitewave::cli {

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

bool same_period(double a, double b) {
  return std::fabs(a - b) <= 1e-9 * std::max(std::fabs(a), std::fabs(b));
}

bool number_of(const std::string& text, double& out) {
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size() && std::isfinite(out);
}

int column_of(const csv_row& header, std::string_view name) {
  const auto it = std::find(header.cells.begin(), header.cells.end(), name);
  return it == header.cells.end() ? -1 : static_cast<int>(it - header.cells.begin());
}

// The points of one column at 5 % damping and periods above zero (period 0
// is the peak ground acceleration), in ascending order of period.
std::vector<spectrum_point> points_of(const std::vector<csv_row>& rows, int column) {
  const int damping = column_of(rows.front(), "damping");
  const int period = column_of(rows.front(), "period_s");
  const int location = column_of(rows.front(), "location");  // the surface's rows only
  std::vector<spectrum_point> points;
  if (damping < 0 || period < 0 || column < 0) return points;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const auto& cells = rows[r].cells;
    if (cells.size() != rows.front().cells.size()) continue;
    if (location >= 0 && cells[location] != "surface") continue;
    double d = 0, t = 0, v = 0;
    if (number_of(cells[damping], d) && std::fabs(d - summary_damping) < 1e-6 &&
        number_of(cells[period], t) && t > 0 && number_of(cells[column], v)) {
      points.push_back({t, v});
    }
  }
  std::sort(points.begin(), points.end(),
            [](const spectrum_point& a, const spectrum_point& b) { return a.period < b.period; });
  return points;
}

}  // namespace

double spectrum_at(std::span<const spectrum_point> points, double period) {
  const auto above = std::find_if(points.begin(), points.end(), [period](const spectrum_point& p) {
    return p.period >= period || same_period(p.period, period);
  });
  if (above == points.end()) return none;
  if (same_period(above->period, period)) return above->value;
  if (above == points.begin()) return none;
  const spectrum_point& lo = *(above - 1);
  const spectrum_point& hi = *above;
  const double f = std::log(period / lo.period) / std::log(hi.period / lo.period);
  if (lo.value > 0 && hi.value > 0) return lo.value * std::pow(hi.value / lo.value, f);
  return lo.value + (hi.value - lo.value) * f;  // a zero spectrum has no logarithm
}

summary_psa psa_from_response_csv(std::string_view text) {
  summary_psa psa;
  for (auto& spectrum : psa) spectrum.fill(none);
  const std::vector<csv_row> rows = csv_rows_or_none(text);
  if (rows.empty()) return psa;
  for (std::size_t s = 0; s < summary_spectra.size(); ++s) {
    const std::vector<spectrum_point> points =
        points_of(rows, column_of(rows.front(), summary_spectra[s]));
    for (std::size_t p = 0; p < summary_periods.size(); ++p) {
      psa[s][p] = spectrum_at(points, summary_periods[p]);
    }
  }
  return psa;
}

}  // namespace sitewave::cli
