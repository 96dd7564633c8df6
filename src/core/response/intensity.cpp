// Over a step from a0 to a1 the linear acceleration adds (a0 + a1) h / 2 to
// the velocity, v h + (2 a0 + a1) h^2 / 6 to the displacement, h (a0^2 +
// a0 a1 + a1^2) / 3 to the integral of a^2 and h (|a0| + |a1|) / 2 to that of
// |a| (h (a0^2 + a1^2) / (2 (|a0| + |a1|)) when it crosses zero). A duration
// runs between the times where the Husid curve crosses its fractions,
// interpolated within the step on the exact quadratic-in-a integral taken as
// linear there.
#include "core/response/intensity.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace sitewave::response {

namespace {

double squared_over_step(double a0, double a1, double h) {
  return h * (a0 * a0 + a0 * a1 + a1 * a1) / 3.0;
}

double magnitude_over_step(double a0, double a1, double h) {
  const double sum = std::abs(a0) + std::abs(a1);
  if (sum == 0.0) return 0.0;
  if ((a0 < 0.0) == (a1 < 0.0) || a0 == 0.0 || a1 == 0.0) return h * sum / 2.0;
  return h * (a0 * a0 + a1 * a1) / (2.0 * sum);
}

// The time where the cumulative curve (at the samples, step dt) first
// reaches `level`, linear within the step.
double time_reaching(std::span<const double> cumulative, double dt, double level) {
  for (std::size_t i = 1; i < cumulative.size(); ++i) {
    if (cumulative[i] < level) continue;
    const double rise = cumulative[i] - cumulative[i - 1];
    const double f = rise > 0.0 ? (level - cumulative[i - 1]) / rise : 0.0;
    return (static_cast<double>(i - 1) + f) * dt;
  }
  return 0.0;
}

std::vector<double> cumulative_squares(std::span<const double> a, double dt) {
  std::vector<double> c(a.size(), 0.0);
  for (std::size_t i = 1; i < a.size(); ++i) c[i] = c[i - 1] + squared_over_step(a[i - 1], a[i], dt);
  return c;
}

}  // namespace

std::vector<double> husid_curve(std::span<const double> accel, double dt) {
  std::vector<double> c = cumulative_squares(accel, dt);
  const double total = c.empty() ? 0.0 : c.back();
  if (total > 0.0)
    for (double& v : c) v /= total;
  return c;
}

intensity_measures intensity_of(std::span<const double> accel, double dt, double g) {
  if (!(dt > 0.0) || !std::isfinite(dt))
    throw std::invalid_argument("time step " + std::to_string(dt) + " is not a positive number");
  if (!(g > 0.0) || !std::isfinite(g))
    throw std::invalid_argument("gravity " + std::to_string(g) + " is not a positive number");
  intensity_measures m{};
  double v = 0.0, d = 0.0;
  for (std::size_t i = 0; i < accel.size(); ++i) {
    m.pga = std::max(m.pga, std::abs(accel[i]));
    if (i == 0) continue;
    const double a0 = accel[i - 1], a1 = accel[i];
    d += v * dt + (2.0 * a0 + a1) * dt * dt / 6.0;
    v += (a0 + a1) * dt / 2.0;
    m.pgv = std::max(m.pgv, std::abs(v));
    m.pgd = std::max(m.pgd, std::abs(d));
    m.cav += magnitude_over_step(a0, a1, dt);
  }
  const std::vector<double> c = cumulative_squares(accel, dt);
  const double total = c.empty() ? 0.0 : c.back();
  m.arias = std::numbers::pi / (2.0 * g) * total;
  if (total > 0.0) {
    const double t5 = time_reaching(c, dt, 0.05 * total);
    m.d5_95 = time_reaching(c, dt, 0.95 * total) - t5;
    m.d5_75 = time_reaching(c, dt, 0.75 * total) - t5;
  }
  return m;
}

}  // namespace sitewave::response
