// Counting and placing the sublayers of each layer for a highest frequency.
#include "core/soil/sublayers.hpp"
#include "core/soil/shown.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace sitewave::soil {

namespace {

// Sublayers of one layer, as a double so that an absurd count cannot wrap.
double pieces(const profile_row& r, double max_frequency) {
  if (max_frequency == 0.0) return 1.0;
  const double fifths = r.thickness * 5.0 * max_frequency / r.vs;
  return std::max(1.0, std::ceil(fifths * (1.0 - 1e-12)));
}

}  // namespace

int sublayer_count(std::span<const profile_row> rows, double max_frequency) {
  check_profile(rows);
  if (!(std::isfinite(max_frequency) && max_frequency >= 0.0))
    throw std::invalid_argument("highest frequency " + shown(max_frequency) +
                                " Hz: a finite value of zero or more is expected");
  double total = 1.0;  // the half-space
  for (std::size_t l = 0; l + 1 < rows.size(); ++l) total += pieces(rows[l], max_frequency);
  if (total > max_sublayers)
    throw std::invalid_argument("a highest frequency of " + shown(max_frequency) + " Hz needs " +
                                shown(total) + " sublayers: at most " +
                                std::to_string(max_sublayers) + " are allowed");
  return static_cast<int>(total);
}

void split_layers(std::span<const profile_row> rows, double max_frequency,
                  std::span<sublayer> out) {
  const int count = sublayer_count(rows, max_frequency);
  if (out.size() != static_cast<std::size_t>(count))
    throw std::invalid_argument(std::to_string(count) + " sublayers but room for " +
                                std::to_string(out.size()));
  std::size_t k = 0;
  double top = 0.0;
  for (std::size_t l = 0; l + 1 < rows.size(); ++l) {
    const int n = static_cast<int>(pieces(rows[l], max_frequency));
    const double h = rows[l].thickness;
    const double bottom = top + h;
    for (int i = 0; i < n; ++i) {
      const double upper = top + h * i / n;
      const double lower = i + 1 == n ? bottom : top + h * (i + 1) / n;
      out[k++] = {static_cast<int>(l), upper, lower};
    }
    top = bottom;
  }
  out[k] = {static_cast<int>(rows.size() - 1), top, std::numeric_limits<double>::infinity()};
}

}  // namespace sitewave::soil
