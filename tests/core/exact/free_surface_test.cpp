// A half-space alone: the surface motion of incident P and SV waves against
// the free-surface displacement coefficients of Aki and Richards
// (Quantitative Seismology, §5.2), undamped, including SV beyond the critical
// angle where the reflected P wave is evanescent.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "close_values.hpp"
#include "core/exact/exact_transfer.hpp"
#include "core/exact/psv_recursion.hpp"

namespace sitewave::exact {
namespace {

constexpr double vp = 2000.0, vs = 1000.0, rho = 2.2;
constexpr double undamped = std::numeric_limits<double>::infinity();

// Their formulas with the time factor e^(+iωt): beyond the critical angle the
// vertical P slowness is −i·√(p² − 1/α²), the conjugate of theirs.
struct aki_richards {
  double p;
  zd eta_p, eta_s, rayleigh;

  explicit aki_richards(double p_) : p(p_) {
    const zd ep2 = 1.0 / (vp * vp) - p * p;
    eta_p = ep2.real() >= 0.0 ? std::sqrt(ep2) : zd(0.0, -std::sqrt(-ep2.real()));
    eta_s = std::sqrt(zd(1.0 / (vs * vs) - p * p));
    const double g = 1.0 / (vs * vs) - 2.0 * p * p;
    rayleigh = g * g + 4.0 * p * p * eta_p * eta_s;
  }
  // Surface over incident motion along the incident wave's dominant
  // component: vertical for P, horizontal for SV.
  zd along() const { return 2.0 * (1.0 / (vs * vs) - 2.0 * p * p) / (vs * vs * rayleigh); }
  // Surface radial over incident upward vertical motion, for P.
  zd p_radial() const { return 4.0 * p * eta_s / (vs * vs * rayleigh); }
  // Surface upward vertical over incident radial motion, for SV.
  zd sv_vertical() const { return -4.0 * p * eta_p / (vs * vs * rayleigh); }
};

TEST(FreeSurface, IncidentPMatchesAkiRichards) {
  for (const double q : {undamped, 1e30}) {
    const std::array<layer_row, 1> half{{{rho, vp, q, 0.0, vs, q, 0.0, 0.0}}};
    for (const double degrees : {0.0, 5.0, 20.0, 35.0, 50.0, 65.0, 80.0, 89.0}) {
      const aki_richards ar(std::sin(radians(degrees)) / vp);
      const transfer_at t = exact_transfer_at(half, radians(degrees), two_pi * 3.0);
      EXPECT_TRUE(close(t.vertical_incident, ar.along(), 1e-9)) << degrees;
      EXPECT_TRUE(close(t.vertical_free_surface, ar.along(), 1e-9)) << degrees;
      EXPECT_TRUE(close(t.radial_incident, ar.p_radial(), 1e-9, 1.0)) << degrees;
      EXPECT_TRUE(close(t.vertical_within, 1.0, 1e-12)) << degrees;
      EXPECT_TRUE(close(t.sh_incident, 2.0, 1e-12)) << degrees;
      EXPECT_TRUE(close(t.sh_within, 1.0, 1e-12)) << degrees;
    }
  }
}

TEST(FreeSurface, IncidentSvMatchesAkiRichardsBeyondCriticalAngle) {
  // The critical angle is 30 degrees for vp = 2·vs.
  const std::array<damped_row, 1> half{{{rho, vp, vs, 0.0}}};
  for (const double degrees : {0.0, 15.0, 29.0, 31.0, 40.0, 55.0, 70.0}) {
    const double p = std::sin(radians(degrees)) / vs;
    const aki_richards ar(p);
    const psv_motion m = psv_response(half, p, two_pi * 3.0, incident_wave::sv);
    EXPECT_TRUE(close(m.surface.x / m.incident.x, ar.along(), 1e-9)) << degrees;
    EXPECT_TRUE(close(-m.surface.z / m.incident.x, ar.sv_vertical(), 1e-9, 1.0)) << degrees;
  }
}

}  // namespace
}  // namespace sitewave::exact
