// The P-SV recursion against an independent solution: one linear system per
// frequency for all wave amplitudes of the stack, for a few elastic layers
// and for a deep, strongly damped stack at high frequency and steep angles.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "close_values.hpp"
#include "core/exact/exact_transfer.hpp"
#include "global_system.hpp"

namespace sitewave::exact {
namespace {

constexpr double undamped = std::numeric_limits<double>::infinity();

zd to_double(reference::zl z) {
  return {static_cast<double>(z.real()), static_cast<double>(z.imag())};
}

// The columns of transfer_at from the reference motion.
transfer_at reference_transfer(std::span<const layer_row> rows, double theta, double omega) {
  const double p = std::sin(theta) / rows.back().vp;
  const reference::response r = reference::psv_global(rows, p, omega, true);
  const reference::response alone = reference::psv_global(rows.last(1), p, omega, true);
  const zd surface_x = to_double(r.surface_x), surface_z = to_double(r.surface_z);
  const zd base_z = to_double(r.base_z), incident_z = to_double(r.incident_z);
  transfer_at t{};
  t.vertical_incident = surface_z / incident_z;
  t.vertical_within = surface_z / base_z;
  t.radial_incident = -surface_x / incident_z;
  t.radial_within = -surface_x / base_z;
  t.vertical_free_surface = to_double(alone.surface_z / alone.incident_z);
  return t;
}

void expect_psv_agrees(const transfer_at& got, const transfer_at& want, double rel,
                       const char* where) {
  EXPECT_TRUE(close(got.vertical_incident, want.vertical_incident, rel)) << where;
  EXPECT_TRUE(close(got.vertical_within, want.vertical_within, rel)) << where;
  EXPECT_TRUE(close(got.radial_incident, want.radial_incident, rel)) << where;
  EXPECT_TRUE(close(got.radial_within, want.radial_within, rel)) << where;
  EXPECT_TRUE(close(got.vertical_free_surface, want.vertical_free_surface, rel)) << where;
}

TEST(GlobalSystem, ThreeElasticLayersAgreeWithRecursion) {
  // The second layer is faster than the half-space, so its P wave turns
  // evanescent at the steeper angles.
  const std::array<layer_row, 4> rows{{
      {1.8, 450.0, undamped, 0.0, 180.0, undamped, 0.0, 8.0},
      {2.1, 3000.0, undamped, 0.0, 1300.0, undamped, 0.0, 25.0},
      {1.9, 900.0, undamped, 0.0, 380.0, undamped, 0.0, 40.0},
      {2.3, 2200.0, undamped, 0.0, 1000.0, undamped, 0.0, 0.0},
  }};
  for (const double degrees : {10.0, 30.0, 50.0, 70.0}) {
    for (const double hertz : {0.4, 2.5, 6.3, 11.0, 27.0, 60.0}) {
      const double theta = radians(degrees);
      const double omega = two_pi * hertz;
      const std::string where = std::to_string(degrees) + " deg, " + std::to_string(hertz) + " Hz";
      expect_psv_agrees(exact_transfer_at(rows, theta, omega),
                        reference_transfer(rows, theta, omega), 1e-9, where.c_str());
    }
  }
}

// 50 rows of 1 to 500 m with Q from 5 to 200, rising with frequency.
std::vector<layer_row> deep_damped_stack() {
  std::vector<layer_row> rows;
  for (int l = 0; l < 50; ++l) {
    const double wave = std::sin(1.7 * l);
    const double vs = 150.0 + 40.0 * l + 100.0 * wave;
    const double qs = 5.0 + 195.0 * (0.5 + 0.5 * std::cos(2.3 * l));
    const double thickness = 1.0 + 499.0 * (0.5 + 0.5 * std::sin(0.9 * l + 1.0));
    rows.push_back({1.6 + 0.015 * l, (1.8 + 0.3 * (0.5 + 0.5 * wave)) * vs, 1.5 * qs, 0.2, vs, qs,
                    0.4, thickness});
  }
  return rows;
}

TEST(GlobalSystem, DeepDampedStackStaysFiniteAndAgrees) {
  const std::vector<layer_row> rows = deep_damped_stack();
  for (const double degrees : {0.0, 30.0, 60.0, 80.0}) {
    const double theta = radians(degrees);
    for (int i = 0; i <= 1000; ++i) {
      const transfer_at t = exact_transfer_at(rows, theta, two_pi * 0.1 * i);
      for (const zd v : {t.sh_incident, t.sh_within, t.vertical_incident, t.vertical_within,
                         t.radial_incident, t.radial_within, t.vertical_free_surface}) {
        ASSERT_TRUE(std::isfinite(v.real()) && std::isfinite(v.imag()))
            << degrees << " deg, " << 0.1 * i << " Hz";
      }
    }
    for (const double hertz : {0.3, 1.1, 4.0, 15.0, 100.0}) {
      const double omega = two_pi * hertz;
      const std::string where = std::to_string(degrees) + " deg, " + std::to_string(hertz) + " Hz";
      expect_psv_agrees(exact_transfer_at(rows, theta, omega),
                        reference_transfer(rows, theta, omega), 1e-9, where.c_str());
    }
  }
}

}  // namespace
}  // namespace sitewave::exact
