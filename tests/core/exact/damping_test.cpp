// Damping of the exact physics: each row takes Q(f) = max(Q0, Q0·f^F) for
// both of its interfaces, an undamped row is the limit of growing Q, and at
// zero frequency the layers are transparent.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "close_values.hpp"
#include "core/exact/exact_transfer.hpp"

namespace sitewave::exact {
namespace {

const std::vector<layer_row> damped_rows{
    {1.7, 400.0, 15.0, 0.3, 150.0, 10.0, 0.5, 5.0},
    {1.9, 800.0, 25.0, -0.4, 300.0, 20.0, 1.2, 15.0},
    {2.3, 2000.0, 60.0, 0.8, 900.0, 50.0, -0.2, 0.0},
};

// The same rows with frequency-independent factors equal to Q(f) at hertz.
std::vector<layer_row> frozen_at(double hertz) {
  std::vector<layer_row> rows = damped_rows;
  for (layer_row& r : rows) {
    r.qp = std::max(r.qp, r.qp * std::pow(hertz, r.fp));
    r.qs = std::max(r.qs, r.qs * std::pow(hertz, r.fs));
    r.fp = 0.0;
    r.fs = 0.0;
  }
  return rows;
}

TEST(ExactDamping, EachRowUsesItsQualityFactorAtTheFrequency) {
  for (const double hertz : {0.2, 1.0, 3.7, 12.0, 55.0}) {
    const double omega = two_pi * hertz;
    for (const double degrees : {0.0, 40.0}) {
      EXPECT_EQ(exact_transfer_at(damped_rows, radians(degrees), omega),
                exact_transfer_at(frozen_at(hertz), radians(degrees), omega))
          << hertz << " Hz, " << degrees << " deg";
    }
  }
}

TEST(ExactDamping, GrowingQualityTendsToUndamped) {
  const auto with_q = [](double q) {
    std::vector<layer_row> rows = damped_rows;
    for (layer_row& r : rows) r.qp = r.qs = q;
    return rows;
  };
  const double theta = radians(35.0);
  for (const double hertz : {0.9, 6.0, 23.0}) {
    const transfer_at elastic =
        exact_transfer_at(with_q(std::numeric_limits<double>::infinity()), theta, two_pi * hertz);
    const transfer_at nearly = exact_transfer_at(with_q(1e9), theta, two_pi * hertz);
    EXPECT_TRUE(close(nearly.sh_incident, elastic.sh_incident, 1e-6)) << hertz;
    EXPECT_TRUE(close(nearly.vertical_incident, elastic.vertical_incident, 1e-6)) << hertz;
    EXPECT_TRUE(close(nearly.radial_within, elastic.radial_within, 1e-6)) << hertz;
  }
}

// At zero frequency the whole stack moves with the half-space's free surface.
TEST(ExactDamping, ZeroFrequencyIsTransparentLimit) {
  // Factors that fall with frequency reach their zero-frequency limit (no
  // damping) too slowly for a comparison just above zero: these all rise.
  std::vector<layer_row> rows = damped_rows;
  for (layer_row& r : rows) {
    r.fp = std::abs(r.fp);
    r.fs = std::abs(r.fs);
  }
  const double theta = radians(50.0);
  std::array<transfer_at, 1> grid{};
  exact_transfer(rows, theta, 0.5, grid, {});
  const transfer_at& zero = grid[0];
  EXPECT_EQ(zero.sh_incident, 2.0);
  EXPECT_EQ(zero.sh_within, 1.0);
  EXPECT_TRUE(close(zero.vertical_incident, zero.vertical_free_surface, 1e-14));
  EXPECT_TRUE(close(zero.vertical_within, 1.0, 1e-14));
  EXPECT_TRUE(close(zero.radial_within, zero.radial_incident / zero.vertical_incident, 1e-14));
  const std::array<layer_row, 1> half{rows.back()};
  EXPECT_TRUE(
      close(zero.radial_incident, exact_transfer_at(half, theta, 0.0).radial_incident, 1e-14));

  const transfer_at near = exact_transfer_at(rows, theta, 1e-7);
  EXPECT_TRUE(close(near.vertical_incident, zero.vertical_incident, 1e-6));
  EXPECT_TRUE(close(near.radial_within, zero.radial_within, 1e-6));
  EXPECT_TRUE(close(near.sh_within, zero.sh_within, 1e-6));
}

}  // namespace
}  // namespace sitewave::exact
