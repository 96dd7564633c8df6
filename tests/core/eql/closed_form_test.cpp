// One soil layer over an elastic half-space under a harmonic record that
// fills the transform exactly (one line): every history is a sampled sinusoid
// of the closed-form amplitude, so the strain-compatible loop reduces to a
// scalar one on the closed form. At θ = 0 that is the vertical-incidence form
// k = ω/v*, a = ρ₁v₁*/(ρ₂v₂*); oblique, k = ωη₁ and a = μ₁*η₁/(μ₂*η₂).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "core/eql/equivalent_linear.hpp"
#include "eql_cases.hpp"

namespace sitewave::eql {
namespace {

using zd = std::complex<double>;

constexpr std::size_t n = 1024;
constexpr std::size_t line = 20;  // 1.95 Hz, below the layer's 2.5 Hz
constexpr double dt = 0.01;
constexpr double h = 20.0;
constexpr double amplitude = 0.8;  // m/s², outcrop
const testing::hyperbolic soil{5e-4, 0.02, 0.2};

// Peak over the N samples of |Re(c·e^(iωt))| for one history, or of the
// resultant of two.
double sampled_peak(zd c, zd d = 0.0) {
  double peak = 0.0;
  for (std::size_t j = 0; j < n; ++j) {
    const zd turn = std::polar(1.0, 2.0 * std::numbers::pi * static_cast<double>(line * j % n) /
                                        static_cast<double>(n));
    peak = std::max(peak, std::hypot((c * turn).real(), (d * turn).real()));
  }
  return peak;
}

struct closed_form_result {
  double modulus_ratio, damping, strain, stress, surface_pga, base_pga;
  int iterations;
};

// The loop on the closed form. A record A·sin(ωt) is Re(−iA·e^(iωt)), its
// displacement Re(iA/ω²·e^(iωt)); an outcrop record is twice the incident
// wave, so the layer moves by E·cos(kz) per unit of it, E = 1/(cos kh + i·a·sin kh).
closed_form_result closed_form(double theta, const eql_settings& s) {
  const double omega = 2.0 * std::numbers::pi * static_cast<double>(line) / (n * dt);
  const double p = std::sin(theta) / 800.0;
  const zd v2 = 800.0;
  double ratio = 1.0, damping = soil.small_damping;
  for (int it = 1;; ++it) {
    const zd v1 = 200.0 * std::sqrt(ratio) * zd(1.0, damping);
    const zd mu1 = 1.9 * v1 * v1, mu2 = 2.2 * v2 * v2;
    zd k = omega / v1, a = 1.9 * v1 / (2.2 * v2);
    if (theta != 0.0) {
      const zd eta1 = std::sqrt(1.0 / (v1 * v1) - p * p), eta2 = std::sqrt(1.0 / (v2 * v2) - p * p);
      k = omega * eta1;
      a = mu1 * eta1 / (mu2 * eta2);
    }
    const zd e = 1.0 / (std::cos(k * h) + zd(0.0, 1.0) * a * std::sin(k * h));
    const zd u = zd(0.0, amplitude / (omega * omega));  // the record's displacement
    const zd gamma_yz = -k * e * std::sin(k * h / 2.0) * u;
    const zd gamma_xy = zd(0.0, -omega * p) * e * std::cos(k * h / 2.0) * u;
    const double strain = sampled_peak(gamma_yz, gamma_xy);
    const double g = soil.modulus(s.strain_ratio * strain), d = soil.damping(s.strain_ratio * strain);
    const bool agreed = std::abs(g - ratio) / std::max(g, ratio) < s.tolerance &&
                        std::abs(d - damping) / std::max(d, damping) < s.tolerance;
    if (agreed || it == s.max_iterations) {
      const zd record = zd(0.0, -amplitude);
      return {ratio,
              damping,
              strain,
              sampled_peak(mu1 * gamma_yz),
              sampled_peak(e * record),
              sampled_peak(e * std::cos(k * h) * record),
              it};
    }
    ratio = g;
    damping = d;
  }
}

TEST(EqlClosedForm, HarmonicRecordOnOneLayerMatchesTheScalarLoop) {
  const std::vector<double> a = testing::harmonic(n, line, amplitude);
  const std::vector<soil_layer> layers{
      testing::soil(h, 1.9, 200.0, 500.0, soil),
      testing::rock(2.2, 800.0, 1600.0, 0.0),
  };
  for (const double degrees : {0.0, 40.0}) {
    const double theta = degrees * std::numbers::pi / 180.0;
    const eql_settings s{.strain_ratio = 0.65, .tolerance = 1e-4, .max_iterations = 40};
    const closed_form_result want = closed_form(theta, s);
    const eql_result got = equivalent_linear(
        layers, {.acceleration = a, .dt = dt, .transform_size = n, .kind = exact::input_kind::outcrop, .theta = theta},
        s);
    ASSERT_EQ(got.outcome, eql_outcome::converged) << degrees << " deg";
    EXPECT_EQ(got.iterations, want.iterations) << degrees << " deg";
    EXPECT_GT(want.iterations, 4) << degrees << " deg";
    EXPECT_LT(want.modulus_ratio, 0.6) << degrees << " deg";
    const layer_result& layer = got.profile.layers[0];
    EXPECT_NEAR(layer.modulus_ratio, want.modulus_ratio, 1e-10 * want.modulus_ratio);
    EXPECT_NEAR(layer.damping, want.damping, 1e-10 * want.damping);
    EXPECT_NEAR(layer.max_strain, want.strain, 1e-10 * want.strain);
    EXPECT_NEAR(layer.max_stress, want.stress, 1e-10 * want.stress);
    EXPECT_NEAR(layer.pga, want.surface_pga, 1e-10 * want.surface_pga);
    EXPECT_NEAR(got.profile.layers[1].pga, want.base_pga, 1e-10 * want.base_pga);
    EXPECT_DOUBLE_EQ(layer.vs, 200.0 * std::sqrt(want.modulus_ratio));
  }
}

}  // namespace
}  // namespace sitewave::eql
