// The SH wave field at depth: its surface value against the exact transfer,
// one layer over the half-space against the closed form (also oblique), a
// stack against one global linear system in long double at interior depths,
// and thick or evanescent rows that must leave finite fields.
#include "core/exact/wavefield.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "close_values.hpp"
#include "core/exact/damping.hpp"
#include "core/exact/exact_transfer.hpp"
#include "global_system.hpp"

namespace sitewave::exact {
namespace {

using reference::zl;

std::vector<damped_row> damped(std::span<const layer_row> rows, double hertz) {
  std::vector<damped_row> out;
  for (const layer_row& r : rows) out.push_back(damp(r, hertz));
  return out;
}

double slowness(std::span<const layer_row> rows, double theta) {
  return std::sin(theta) / rows.back().vs;
}

const std::vector<layer_row> stack{
    {1.7, 400.0, 15.0, 0.0, 150.0, 10.0, 0.3, 5.0},
    {1.9, 800.0, 25.0, 0.0, 300.0, 20.0, 0.0, 15.0},
    {2.0, 1500.0, 35.0, 0.0, 600.0, 30.0, 0.5, 22.0},
    // Faster than the apparent velocity at 60 degrees: evanescent there.
    {2.2, 3000.0, 60.0, 0.0, 1400.0, 60.0, 0.0, 8.0},
    {2.3, 2000.0, 60.0, 0.0, 900.0, 50.0, 0.0, 0.0},
};

TEST(ShWavefield, SurfaceEqualsExactTransfer) {
  for (const double degrees : {0.0, 20.0, 45.0, 60.0}) {
    const double theta = radians(degrees);
    for (const double hertz : {0.0, 0.4, 3.0, 7.7, 19.0, 51.0}) {
      const double omega = two_pi * hertz;
      const sh_wavefield field(damped(stack, hertz), slowness(stack, theta), omega);
      const transfer_at t = exact_transfer_at(stack, theta, omega);
      const zd surface = field.top(0).displacement;
      EXPECT_TRUE(close(surface, t.sh_incident, 1e-12)) << degrees << " deg, " << hertz << " Hz";
      EXPECT_TRUE(close(surface / field.reference(input_kind::within), t.sh_within, 1e-12))
          << degrees << " deg, " << hertz << " Hz";
      EXPECT_TRUE(close(surface / field.reference(input_kind::outcrop), t.sh_incident / 2.0, 1e-12));
      EXPECT_EQ(field.top(0).stress_yz, zd(0.0)) << "free surface";
    }
  }
}

// One damped layer of thickness h over a damped half-space: with k = ωη₁ and
// a = μ₁*η₁/(μ₂*η₂), u(z) = 2cos(kz)/(cos kh + i·a·sin kh) per unit incident
// wave, so γyz = −2k·sin(kz)/(…), the up-going wave is e^(ikz)/(…), and the
// motion over that at the top of the half-space is cos(kz)/cos(kh).
TEST(ShWavefield, OneLayerMatchesClosedFormAtDepth) {
  const double h = 12.0;
  const std::array<layer_row, 2> rows{{
      {1.8, 600.0, 20.0, 0.0, 200.0, 12.0, 0.0, h},
      {2.2, 2400.0, 50.0, 0.0, 800.0, 40.0, 0.0, 0.0},
  }};
  for (const double degrees : {0.0, 30.0, 70.0}) {
    const double p = slowness(rows, radians(degrees));
    const zd v1 = damped_velocity(200.0, 12.0), v2 = damped_velocity(800.0, 40.0);
    const zd eta1 = std::sqrt(1.0 / (v1 * v1) - p * p), eta2 = std::sqrt(1.0 / (v2 * v2) - p * p);
    const zd a = (1.8 * v1 * v1 * eta1) / (2.2 * v2 * v2 * eta2);
    for (const double hertz : {0.8, 4.1, 9.5, 23.0}) {
      const double omega = two_pi * hertz;
      const zd k = omega * eta1;
      const zd e = 1.0 / (std::cos(k * h) + zd(0.0, 1.0) * a * std::sin(k * h));
      const sh_wavefield field(damped(rows, hertz), p, omega);
      for (const double z : {0.0, 0.3, 5.0, 6.0, 11.9, h}) {
        const sh_point at = field.at(0, z);
        const zd u = 2.0 * e * std::cos(k * z);
        const std::string where = std::to_string(degrees) + " deg, " + std::to_string(hertz) +
                                  " Hz, " + std::to_string(z) + " m";
        EXPECT_TRUE(close(at.displacement, u, 1e-11)) << where;
        EXPECT_TRUE(close(at.strain_yz, -2.0 * k * e * std::sin(k * z), 1e-11, std::abs(k)))
            << where;
        EXPECT_TRUE(close(at.strain_xy, zd(0.0, -omega * p) * u, 1e-11, omega * p)) << where;
        EXPECT_TRUE(close(at.outcrop, 2.0 * e * std::exp(zd(0.0, 1.0) * k * z), 1e-11)) << where;
        EXPECT_TRUE(close(at.displacement / field.reference(input_kind::within),
                          std::cos(k * z) / std::cos(k * h), 1e-11))
            << where;
        if (degrees == 0.0) {
          EXPECT_EQ(at.strain_xy, zd(0.0)) << where;
        }
      }
      EXPECT_TRUE(close(field.middle(0).strain_yz, field.at(0, h / 2).strain_yz, 1e-13));
    }
  }
}

// Displacement at depth z below the surface per unit incident wave, from one
// linear system: per row the down-going wave at its top and the up-going one
// at its bottom, then the reflected wave of the half-space; continuity of u
// and τ at every interface and a free surface.
zl global_displacement(std::span<const layer_row> rows, long double p, long double omega,
                       long double depth) {
  const long double hertz = omega / (2.0L * std::numbers::pi_v<long double>);
  std::vector<reference::medium> m;
  for (const layer_row& r : rows) m.push_back(reference::medium_at(r, hertz));
  const std::size_t layers = m.size() - 1, n = 2 * layers + 1;
  std::vector<zl> a(n * n), b(n);
  std::vector<zl> eta, z, e;
  for (const reference::medium& x : m) {
    eta.push_back(reference::downward_slowness(x.vs, p));
    z.push_back(x.density * x.vs * x.vs * eta.back());
    e.push_back(std::exp(zl(0.0L, -omega * x.thickness) * eta.back()));
  }
  const auto at = [&](std::size_t row, std::size_t col) -> zl& { return a[row * n + col]; };
  at(0, 0) = z[0];
  at(0, 1) = -z[0] * e[0];
  for (std::size_t j = 0; j < layers; ++j) {
    const std::size_t u_row = 1 + 2 * j, t_row = 2 + 2 * j;
    at(u_row, 2 * j) = e[j];
    at(u_row, 2 * j + 1) = 1.0L;
    at(t_row, 2 * j) = z[j] * e[j];
    at(t_row, 2 * j + 1) = -z[j];
    if (j + 1 < layers) {
      at(u_row, 2 * j + 2) = -1.0L;
      at(u_row, 2 * j + 3) = -e[j + 1];
      at(t_row, 2 * j + 2) = -z[j + 1];
      at(t_row, 2 * j + 3) = z[j + 1] * e[j + 1];
    } else {  // the half-space: reflected R and the unit incident wave
      at(u_row, 2 * j + 2) = -1.0L;
      at(t_row, 2 * j + 2) = -z[j + 1];
      b[u_row] = 1.0L;
      b[t_row] = -z[j + 1];
    }
  }
  const std::vector<zl> x = reference::solve(std::move(a), std::move(b));
  long double top = 0.0L;
  for (std::size_t j = 0; j < layers; ++j) {
    const long double h = m[j].thickness;
    if (depth < top + h) {
      const long double dz = depth - top;
      return x[2 * j] * std::exp(zl(0.0L, -omega * dz) * eta[j]) +
             x[2 * j + 1] * std::exp(zl(0.0L, -omega * (h - dz)) * eta[j]);
    }
    top += h;
  }
  const long double dz = depth - top;
  return x[2 * layers] * std::exp(zl(0.0L, -omega * dz) * eta[layers]) +
         std::exp(zl(0.0L, omega * dz) * eta[layers]);
}

TEST(ShWavefield, StackMatchesGlobalSystemAtInteriorDepths) {
  for (const double degrees : {0.0, 35.0, 60.0}) {
    const double p = slowness(stack, radians(degrees));
    for (const double hertz : {1.3, 6.0, 14.5, 33.0}) {
      const double omega = two_pi * hertz;
      const sh_wavefield field(damped(stack, hertz), p, omega);
      for (const double depth : {0.0, 2.5, 5.0, 11.0, 19.999, 31.0, 42.0, 44.0, 50.0, 57.0}) {
        const zl want = global_displacement(stack, p, omega, depth);
        EXPECT_TRUE(close(field.at_depth(depth).displacement,
                          zd(static_cast<double>(want.real()), static_cast<double>(want.imag())),
                          1e-10))
            << degrees << " deg, " << hertz << " Hz, " << depth << " m";
      }
    }
  }
}

// Thick and strongly damped, or thick and evanescent: the field above fades
// to zero, never to inf or NaN, and the field below stays as it is.
TEST(ShWavefield, ThickRowsLeaveFiniteFields) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<layer_row> rows{
      {1.8, 600.0, 2.0, 0.0, 200.0, 2.0, 0.0, 1e6},
      {2.1, 3000.0, inf, 0.0, 1500.0, inf, 0.0, 1e5},  // evanescent at 60 degrees
      {2.3, 2000.0, 60.0, 0.0, 900.0, 50.0, 0.0, 0.0},
  };
  const double p = slowness(rows, radians(60.0));
  for (const double hertz : {0.5, 20.0, 100.0}) {
    const sh_wavefield field(damped(rows, hertz), p, two_pi * hertz);
    for (std::size_t j = 0; j < rows.size(); ++j) {
      EXPECT_TRUE(std::isfinite(std::abs(field.down(j))) && std::isfinite(std::abs(field.up(j))))
          << "row " << j + 1 << ", " << hertz << " Hz";
    }
    EXPECT_EQ(field.top(0).displacement, zd(0.0)) << hertz << " Hz";
    EXPECT_TRUE(std::isfinite(std::abs(field.middle(1).strain_yz)));
    EXPECT_TRUE(std::isfinite(std::abs(field.reference(input_kind::within))));
  }
}

TEST(ShWavefield, DepthsOnInterfacesBelongToTheRowBelow) {
  const row_depth a = locate(stack, 5.0);
  EXPECT_EQ(a.row, 1u);
  EXPECT_EQ(a.z, 0.0);
  const row_depth b = locate(stack, 60.0);
  EXPECT_EQ(b.row, 4u);
  EXPECT_DOUBLE_EQ(b.z, 10.0);
  EXPECT_THROW(locate(stack, -1.0), std::invalid_argument);
}

}  // namespace
}  // namespace sitewave::exact
