// Oblique SH through one layer over the half-space: the closed form with the
// impedance ratio μ₁*η₁/(μ₂*η₂), also where the layer is faster than the
// apparent horizontal velocity and its field is evanescent.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "close_values.hpp"
#include "core/exact/damping.hpp"
#include "core/exact/exact_transfer.hpp"

namespace sitewave::exact {
namespace {

struct one_layer_case {
  double rho1, vs1, qs1, rho2, vs2, qs2, h, degrees;
};

constexpr std::array<one_layer_case, 4> cases{{
    {1.8, 200.0, 20.0, 2.2, 800.0, 50.0, 10.0, 30.0},
    {2.0, 450.0, 8.0, 2.4, 1500.0, 80.0, 37.5, 60.0},
    {1.8, 200.0, 1e300, 2.2, 800.0, 1e300, 10.0, 75.0},
    // Layer faster than the half-space's apparent velocity 800/sin 70°.
    {2.1, 1000.0, 30.0, 2.3, 800.0, 50.0, 12.0, 70.0},
}};

zd sh_slowness(zd v, double p) {
  const zd eta = std::sqrt(1.0 / (v * v) - p * p);
  return eta.imag() > 0.0 ? -eta : eta;
}

TEST(ObliqueSh, OneLayerMatchesClosedFormWithObliqueImpedance) {
  for (const one_layer_case& c : cases) {
    const std::array<layer_row, 2> rows{{
        {c.rho1, 3.0 * c.vs1, c.qs1, 0.0, c.vs1, c.qs1, 0.0, c.h},
        {c.rho2, 3.0 * c.vs2, c.qs2, 0.0, c.vs2, c.qs2, 0.0, 0.0},
    }};
    const double p = std::sin(radians(c.degrees)) / c.vs2;
    const zd v1 = damped_velocity(c.vs1, c.qs1), v2 = damped_velocity(c.vs2, c.qs2);
    const zd eta1 = sh_slowness(v1, p), eta2 = sh_slowness(v2, p);
    const zd ratio = (c.rho1 * v1 * v1 * eta1) / (c.rho2 * v2 * v2 * eta2);
    for (const double hertz : {0.5, 3.0, 5.0, 9.0, 17.0, 40.0}) {
      const double omega = two_pi * hertz;
      const zd kh = omega * eta1 * c.h;
      const zd col1 = 2.0 / (std::cos(kh) + zd(0.0, 1.0) * ratio * std::sin(kh));
      const zd col2 = 1.0 / std::cos(kh);
      const transfer_at t = exact_transfer_at(rows, radians(c.degrees), omega);
      EXPECT_TRUE(close(t.sh_incident, col1, 1e-9)) << c.degrees << " deg, " << hertz << " Hz";
      EXPECT_TRUE(close(t.sh_within, col2, 1e-9)) << c.degrees << " deg, " << hertz << " Hz";
    }
  }
}

}  // namespace
}  // namespace sitewave::exact
