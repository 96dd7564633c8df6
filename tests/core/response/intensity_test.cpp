// Intensity measures of a sine burst against closed forms: a = A sin(w t)
// over N whole cycles, from rest.
#include "core/response/intensity.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace sitewave::response {
namespace {

constexpr double pi = std::numbers::pi;

TEST(Intensity, SineBurstMatchesClosedForms) {
  // v = A/w (1 - cos w t), at most 2A/w; d = A/w t - A/w^2 sin w t, at most
  // A/w T_end at the end; integral of a^2 = A^2 T_end / 2, so the Husid
  // curve is t/T_end - sin(2 w t)/(2 w T_end), through 5 % and 95 % at
  // whole quarter cycles to within sin terms; CAV = 2 A / w per half cycle.
  const double amplitude = 2.0, frequency = 2.0, cycles = 10.0, g = 9.80665;
  const double w = 2.0 * pi * frequency, duration = cycles / frequency, dt = 1e-4;
  std::vector<double> a;
  for (int i = 0; i <= static_cast<int>(std::lround(duration / dt)); ++i)
    a.push_back(amplitude * std::sin(w * i * dt));
  const intensity_measures m = intensity_of(a, dt, g);
  EXPECT_NEAR(m.pga / amplitude, 1.0, 1e-6);
  EXPECT_NEAR(m.pgv / (2.0 * amplitude / w), 1.0, 1e-6);
  EXPECT_NEAR(m.pgd / (amplitude / w * duration), 1.0, 1e-6);
  EXPECT_NEAR(m.arias / (pi / (2.0 * g) * amplitude * amplitude * duration / 2.0), 1.0, 1e-6);
  EXPECT_NEAR(m.cav / (2.0 * cycles * 2.0 * amplitude / w), 1.0, 1e-6);
  // H(t) = t/T - sin(2wt)/(2wT): solve H = p by a few fixed-point steps.
  const auto crossing = [&](double p) {
    double t = p * duration;
    for (int k = 0; k < 50; ++k) t = duration * (p + std::sin(2.0 * w * t) / (2.0 * w * duration));
    return t;
  };
  EXPECT_NEAR(m.d5_95, crossing(0.95) - crossing(0.05), 2e-4);
  EXPECT_NEAR(m.d5_75, crossing(0.75) - crossing(0.05), 2e-4);
  const auto husid = husid_curve(a, dt);
  EXPECT_EQ(husid.front(), 0.0);
  EXPECT_NEAR(husid.back(), 1.0, 1e-15);
}

TEST(Intensity, RecordAtRestHasNoDurationAndBadStepsAreRefused) {
  const std::vector<double> rest(50, 0.0);
  const intensity_measures m = intensity_of(rest, 0.01, 9.80665);
  EXPECT_EQ(m.arias, 0.0);
  EXPECT_EQ(m.d5_95, 0.0);
  EXPECT_THROW(intensity_of(rest, 0.0, 9.80665), std::invalid_argument);
  EXPECT_THROW(intensity_of(rest, 0.01, -1.0), std::invalid_argument);
}

}  // namespace
}  // namespace sitewave::response
