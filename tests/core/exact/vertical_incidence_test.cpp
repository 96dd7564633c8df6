// Vertical incidence: the exact SH is the legacy SH, P and SV decouple so the
// vertical motion follows the SH recursion with the P properties, and one
// layer over the half-space has its closed form.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "close_values.hpp"
#include "core/exact/exact_transfer.hpp"
#include "core/exact/sh_recursion.hpp"
#include "core/ground/amplification.hpp"

namespace sitewave::exact {
namespace {

constexpr double undamped = std::numeric_limits<double>::infinity();

// Damping that does not depend on frequency, where the legacy rule for the
// two sides of an interface and the exact one agree.
const std::vector<layer_row> three_layers{
    {1.7, 400.0, 15.0, 0.0, 150.0, 10.0, 0.0, 5.0},
    {1.9, 800.0, 25.0, 0.0, 300.0, 20.0, 0.0, 15.0},
    {2.0, 1500.0, 35.0, 0.0, 600.0, 30.0, 0.0, 22.0},
    {2.3, 2000.0, 60.0, 0.0, 900.0, 50.0, 0.0, 0.0},
};

ground::layer_table legacy_table(const std::vector<layer_row>& rows) {
  ground::layer_table t;
  for (const layer_row& r : rows) {
    ++t.nl;
    t.dns(t.nl) = static_cast<float>(r.density);
    t.vp(t.nl) = static_cast<float>(r.vp);
    t.qp(t.nl) = static_cast<float>(r.qp);
    t.fp(t.nl) = static_cast<float>(r.fp);
    t.vs(t.nl) = static_cast<float>(r.vs);
    t.qs(t.nl) = static_cast<float>(r.qs);
    t.fs(t.nl) = static_cast<float>(r.fs);
    t.thk(t.nl) = static_cast<float>(r.thickness);
  }
  return t;
}

TEST(VerticalIncidence, ShEqualsLegacySh) {
  const ground::layer_table table = legacy_table(three_layers);
  const std::vector<layer_row> rows = rows_of(table);
  constexpr float dom = 0.37f;
  constexpr int nom = 400;
  auto legacy = std::make_unique<ground::amp_table>(nom);
  ground::sbshml(0.0f, dom, nom, table, 0.0f, legacy->columns());
  for (int i = 1; i <= nom; ++i) {
    const double omega = static_cast<double>(static_cast<float>(i - 1) * dom);
    const transfer_at t = exact_transfer_at(rows, 0.0, omega);
    const cplx c1 = (*legacy)(i, 1);
    const cplx c2 = (*legacy)(i, 2);
    // Single-precision rounding of the legacy recursion, grown at the peaks.
    EXPECT_TRUE(close(t.sh_incident, zd(c1.re, c1.im), 2e-5)) << "entry " << i;
    EXPECT_TRUE(close(t.sh_within, zd(c2.re, c2.im), 2e-5)) << "entry " << i;
  }
}

// The same rows seen by SH waves with the P velocity and P damping.
std::vector<damped_row> as_sh_with_p(const std::vector<layer_row>& rows, double hertz) {
  std::vector<damped_row> out;
  for (const layer_row& r : rows) {
    const damped_row d = damp(r, hertz);
    out.push_back({d.density, d.vp, d.vp, d.thickness});
  }
  return out;
}

TEST(VerticalIncidence, PsvDecouplesIntoShWithPProperties) {
  std::vector<layer_row> rows = three_layers;
  for (layer_row& r : rows) {
    r.fp = 0.4;  // frequency-dependent damping, used by both sides alike
    r.fs = 0.7;
  }
  for (const double hertz : {0.0, 0.3, 2.0, 7.5, 19.0, 43.0, 100.0}) {
    const double omega = two_pi * hertz;
    const transfer_at t = exact_transfer_at(rows, 0.0, omega);
    const sh_columns sh = sh_response(as_sh_with_p(rows, hertz), 0.0, omega);
    EXPECT_TRUE(close(t.vertical_incident, sh.incident, 1e-9)) << hertz;
    EXPECT_TRUE(close(t.vertical_within, sh.within, 1e-9)) << hertz;
    EXPECT_EQ(std::abs(t.radial_incident), 0.0) << hertz;
    EXPECT_EQ(std::abs(t.radial_within), 0.0) << hertz;
    EXPECT_TRUE(close(t.vertical_free_surface, 2.0, 1e-12)) << hertz;
  }
}

// One layer of thickness h over the half-space: with k the layer's vertical
// wavenumber and a the impedance ratio layer over half-space, column 1 is
// 2/(cos kh + i·a·sin kh) and column 2 is 1/cos kh.
struct closed_form {
  zd incident, within;
};

closed_form one_layer(double rho1, zd v1, double rho2, zd v2, double h, double omega) {
  const zd kh = omega / v1 * h;
  const zd a = rho1 * v1 / (rho2 * v2);
  return {2.0 / (std::cos(kh) + zd(0.0, 1.0) * a * std::sin(kh)), 1.0 / std::cos(kh)};
}

TEST(VerticalIncidence, OneLayerMatchesClosedForm) {
  for (const double q : {undamped, 12.0}) {
    const std::array<layer_row, 2> rows{{
        {1.8, 800.0, 2.0 * q, 0.0, 200.0, q, 0.0, 10.0},
        {2.2, 2400.0, 5.0 * q, 0.0, 900.0, 4.0 * q, 0.0, 0.0},
    }};
    const damped_row top = damp(rows[0], 0.0);
    const damped_row half = damp(rows[1], 0.0);
    for (const double hertz : {0.7, 4.9, 5.1, 13.0, 20.0, 31.0, 77.0}) {
      const double omega = two_pi * hertz;
      const transfer_at t = exact_transfer_at(rows, 0.0, omega);
      const closed_form s = one_layer(1.8, top.vs, 2.2, half.vs, 10.0, omega);
      const closed_form p = one_layer(1.8, top.vp, 2.2, half.vp, 10.0, omega);
      EXPECT_TRUE(close(t.sh_incident, s.incident, 1e-9)) << hertz;
      EXPECT_TRUE(close(t.sh_within, s.within, 1e-9)) << hertz;
      EXPECT_TRUE(close(t.vertical_incident, p.incident, 1e-9)) << hertz;
      EXPECT_TRUE(close(t.vertical_within, p.within, 1e-9)) << hertz;
    }
  }
}

// The vertical motion resonates at the P quarter-wavelength frequency
// Vp/(4h), 20 Hz here, not at the 8.9 Hz of the legacy combined velocity.
TEST(VerticalIncidence, VerticalPeakSitsAtPQuarterWavelength) {
  const std::array<layer_row, 2> rows{{
      {1.8, 800.0, 20.0, 0.0, 200.0, 10.0, 0.0, 10.0},
      {2.2, 2400.0, 50.0, 0.0, 900.0, 40.0, 0.0, 0.0},
  }};
  double peak_hertz = 0.0;
  double peak = 0.0;
  for (int i = 1; i <= 400; ++i) {
    const double hertz = 0.1 * i;
    const double a = std::abs(exact_transfer_at(rows, 0.0, two_pi * hertz).vertical_incident);
    if (a > peak) {
      peak = a;
      peak_hertz = hertz;
    }
  }
  EXPECT_NEAR(peak_hertz, 20.0, 0.25);
}

}  // namespace
}  // namespace sitewave::exact
