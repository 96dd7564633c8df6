// The branch of the vertical slowness: waves travel in their stated direction
// or decay away from their source, so that an evanescent row of any thickness
// only attenuates the surface motion.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "close_values.hpp"
#include "core/exact/damping.hpp"
#include "core/exact/exact_transfer.hpp"
#include "core/exact/vertical_slowness.hpp"

namespace sitewave::exact {
namespace {

constexpr double undamped = std::numeric_limits<double>::infinity();

TEST(VerticalSlowness, DecaysDownwardsOrTravelsDownwards) {
  // Undamped, propagating and evanescent.
  EXPECT_EQ(vertical_slowness(500.0, 1e-3), zd(std::sqrt(4e-6 - 1e-6), 0.0));
  const zd evanescent = vertical_slowness(2000.0, 1e-3);
  EXPECT_EQ(evanescent.real(), 0.0);
  EXPECT_DOUBLE_EQ(evanescent.imag(), -std::sqrt(1e-6 - 0.25e-6));
  // Damped, on both sides of p = 1/v and for very strong damping.
  for (const double q : {200.0, 5.0, 0.6}) {
    for (const double p : {0.0, 1e-3, 1.999e-3, 2e-3, 2.001e-3, 5e-3}) {
      const zd eta = vertical_slowness(damped_velocity(500.0, q), p);
      EXPECT_LT(eta.imag(), 0.0) << q << " " << p;
      EXPECT_GT(eta.real(), 0.0) << q << " " << p;
    }
  }
}

// A fast layer over a slower half-space beyond its critical angle: the layer's
// field is evanescent and the surface motion falls as e^(−ωκh), κ the decay
// slowness of the layer's slowest decaying wave.
TEST(VerticalSlowness, EvanescentLayerAttenuatesWithThickness) {
  const double theta = radians(60.0);
  const double omega = two_pi * 20.0;
  std::array<layer_row, 2> rows{{
      {2.4, 2600.0, undamped, 0.0, 1500.0, undamped, 0.0, 0.0},
      {2.0, 1000.0, undamped, 0.0, 500.0, undamped, 0.0, 0.0},
  }};
  const double p_sh = std::sin(theta) / 500.0;
  const double kappa_sh = std::sqrt(p_sh * p_sh - 1.0 / (1500.0 * 1500.0));
  const double p_p = std::sin(theta) / 1000.0;
  const double kappa_psv = std::sqrt(p_p * p_p - 1.0 / (1500.0 * 1500.0));

  // Thick enough that the faster-decaying P part no longer shows.
  rows[0].thickness = 400.0;
  const transfer_at thin = exact_transfer_at(rows, theta, omega);
  rows[0].thickness = 450.0;
  const transfer_at thicker = exact_transfer_at(rows, theta, omega);
  EXPECT_NEAR(std::abs(thicker.sh_incident / thin.sh_incident), std::exp(-omega * kappa_sh * 50.0),
              1e-9);
  EXPECT_NEAR(std::abs(thicker.vertical_incident / thin.vertical_incident) /
                  std::exp(-omega * kappa_psv * 50.0),
              1.0, 1e-3);

  // Far thicker than any exponential of a layer-matrix product could hold.
  rows[0].thickness = 50000.0;
  const transfer_at deep = exact_transfer_at(rows, theta, omega);
  for (const zd v : {deep.sh_incident, deep.vertical_incident, deep.radial_incident}) {
    EXPECT_TRUE(std::isfinite(v.real()) && std::isfinite(v.imag()));
    EXPECT_LT(std::abs(v), 1e-100);
  }
}

}  // namespace
}  // namespace sitewave::exact
