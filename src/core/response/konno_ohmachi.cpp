// On a linear grid the window of line c spans a number of lines proportional
// to c, so the direct sum costs the square of the line count. Low lines are
// summed directly; above them the lines are spread onto nodes evenly spaced in
// log frequency (cubic Lagrange shares), where W is one fixed kernel, the
// weighted sums are a short convolution there, and each line reads its sums
// back from the nodes by the same cubic interpolation.
#include "core/response/konno_ohmachi.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace sitewave::response {

namespace {

constexpr double cutoff = 4.0 * std::numbers::pi;  // in units of b log10(f / fc)
constexpr std::size_t nodes_per_cutoff = 128;      // log-grid nodes from fc to the cut-off
constexpr std::size_t direct_lines = 64;           // lines below this are summed directly,
constexpr double direct_window = 128.0;            // and so are those whose window is this narrow

double weight(double y) {
  if (y == 0.0) return 1.0;
  const double s = std::sin(y) / y;
  return (s * s) * (s * s);
}

double direct_line(std::span<const double> a, const std::vector<double>& lg, double b,
                   std::size_t c) {
  const double span_ratio = std::pow(10.0, cutoff / b);
  const double low = std::floor(static_cast<double>(c) / span_ratio);
  const double high = std::ceil(static_cast<double>(c) * span_ratio);
  const std::size_t first = std::max<std::size_t>(1, static_cast<std::size_t>(low));
  const std::size_t last =
      high >= static_cast<double>(a.size() - 1) ? a.size() - 1 : static_cast<std::size_t>(high);
  double sum_wa = 0.0;
  double sum_w = 0.0;
  for (std::size_t k = first; k <= last; ++k) {
    const double y = b * (lg[k] - lg[c]);
    if (std::abs(y) > cutoff) continue;
    const double w = weight(y);
    sum_wa += w * a[k];
    sum_w += w;
  }
  return sum_wa / sum_w;
}

// Shares of a point at fraction t between nodes j and j+1 for nodes j-1 .. j+2.
std::array<double, 4> cubic_shares(double t) {
  return {-t * (t - 1.0) * (t - 2.0) / 6.0, (t + 1.0) * (t - 1.0) * (t - 2.0) / 2.0,
          -(t + 1.0) * t * (t - 2.0) / 2.0, (t + 1.0) * t * (t - 1.0) / 6.0};
}

struct log_grid {
  double x0;    // log10 frequency (in lines) of node 0
  double step;  // node spacing in log10
  std::size_t nodes;

  // Node j - 1 of the four that carry log10 value x, and the fraction past node j.
  std::size_t first_node(double x, double& t) const {
    const double u = (x - x0) / step;
    const double j = std::floor(u);
    t = u - j;
    return static_cast<std::size_t>(j) - 1;
  }
};

void smooth_on_log_grid(std::span<const double> a, const std::vector<double>& lg, double b,
                        std::size_t from, std::span<double> out) {
  const std::size_t top = a.size() - 1;
  const double reach = cutoff / b;  // window half-width in log10
  const double step = reach / static_cast<double>(nodes_per_cutoff);
  const auto first_line = std::max<std::size_t>(
      1, static_cast<std::size_t>(std::floor(static_cast<double>(from) * std::pow(10.0, -reach))));
  const double x0 = lg[first_line] - 2.0 * step;
  const log_grid grid{x0, step, static_cast<std::size_t>(std::ceil((lg[top] - x0) / step)) + 3};

  std::vector<double> binned_a(grid.nodes, 0.0);
  std::vector<double> binned_count(grid.nodes, 0.0);
  for (std::size_t k = first_line; k <= top; ++k) {
    double t = 0.0;
    const std::size_t j = grid.first_node(lg[k], t);
    const auto share = cubic_shares(t);
    for (std::size_t i = 0; i < 4; ++i) {
      binned_a[j + i] += share[i] * a[k];
      binned_count[j + i] += share[i];
    }
  }

  const std::size_t half = nodes_per_cutoff;
  std::vector<double> kernel(half + 1);
  for (std::size_t i = 0; i <= half; ++i) kernel[i] = weight(static_cast<double>(i) * b * step);
  std::vector<double> sum_wa(grid.nodes, 0.0);
  std::vector<double> sum_w(grid.nodes, 0.0);
  for (std::size_t j = 0; j < grid.nodes; ++j) {
    const std::size_t lo = j >= half ? j - half : 0;
    const std::size_t hi = std::min(grid.nodes - 1, j + half);
    double wa = 0.0;
    double w = 0.0;
    for (std::size_t i = lo; i <= hi; ++i) {
      const double kw = kernel[i > j ? i - j : j - i];
      wa += kw * binned_a[i];
      w += kw * binned_count[i];
    }
    sum_wa[j] = wa;
    sum_w[j] = w;
  }

  for (std::size_t c = from; c <= top; ++c) {
    double t = 0.0;
    const std::size_t j = grid.first_node(lg[c], t);
    const auto share = cubic_shares(t);
    double wa = 0.0;
    double w = 0.0;
    for (std::size_t i = 0; i < 4; ++i) {
      wa += share[i] * sum_wa[j + i];
      w += share[i] * sum_w[j + i];
    }
    out[c] = wa / w;
  }
}

// The first line smoothed on the log grid. A large b makes the window span
// only a few lines up to high lines, where direct sums stay cheap and a log
// grid fine enough for the narrow kernel would hold more nodes than lines.
std::size_t first_log_line(double b) {
  const double reach = cutoff / b;
  const double lines_per_line = std::pow(10.0, reach) - std::pow(10.0, -reach);
  const double narrow_until = std::ceil(direct_window / lines_per_line);
  if (narrow_until >= 1e15) return std::numeric_limits<std::size_t>::max();
  return std::max(direct_lines, static_cast<std::size_t>(narrow_until));
}

void check_arguments(std::span<const double> amplitude, double df, double b,
                     std::span<const double> smoothed) {
  if (smoothed.size() != amplitude.size())
    throw std::invalid_argument(std::to_string(amplitude.size()) + " spectral lines but room for " +
                                std::to_string(smoothed.size()));
  if (!(df > 0.0) || !std::isfinite(df))
    throw std::invalid_argument("line spacing " + std::to_string(df) + " is not a positive number");
  if (!(b > 0.0) || !std::isfinite(b) || !std::isfinite(cutoff / b))
    throw std::invalid_argument("bandwidth " + std::to_string(b) + " is not a positive number");
  for (std::size_t k = 0; k < amplitude.size(); ++k)
    if (!std::isfinite(amplitude[k]))
      throw std::invalid_argument("amplitude of line " + std::to_string(k) + " is not finite");
}

}  // namespace

void konno_ohmachi(std::span<const double> amplitude, double df, double b,
                   std::span<double> smoothed) {
  check_arguments(amplitude, df, b, smoothed);
  const std::size_t n = amplitude.size();
  if (n == 0) return;
  // W depends on the ratio of two frequencies only, so df drops out.
  std::vector<double> lg(n, 0.0);
  for (std::size_t k = 1; k < n; ++k) lg[k] = std::log10(static_cast<double>(k));
  std::vector<double> out(n);
  out[0] = amplitude[0];
  const std::size_t direct_end = std::min(n, first_log_line(b));
  for (std::size_t c = 1; c < direct_end; ++c) out[c] = direct_line(amplitude, lg, b, c);
  if (direct_end < n) smooth_on_log_grid(amplitude, lg, b, direct_end, out);
  std::copy(out.begin(), out.end(), smoothed.begin());
}

}  // namespace sitewave::response
