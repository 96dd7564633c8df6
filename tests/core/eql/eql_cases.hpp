// Ground models, curves and records the equivalent-linear tests share: a
// hyperbolic soil (G/Gmax = 1/(1 + γ/γr), D growing as the soil softens; the
// constants are made up for the tests), a few profiles and harmonic records,
// and the comparison of rows.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

#include "core/eql/equivalent_linear.hpp"

namespace sitewave::eql::testing {

struct hyperbolic {
  double reference_strain, small_damping, large_damping;
  double modulus(double strain) const { return 1.0 / (1.0 + strain / reference_strain); }
  double damping(double strain) const {
    return small_damping + (large_damping - small_damping) * (1.0 - modulus(strain));
  }
};

inline soil_layer soil(double thickness, double density, double vs, double vp, hyperbolic h,
                       bool below_water = false) {
  return {.thickness = thickness,
          .density = density,
          .vs = vs,
          .vp = vp,
          .damping = h.small_damping,
          .modulus_ratio = [h](double g) { return h.modulus(g); },
          .damping_ratio = [h](double g) { return h.damping(g); },
          .below_water_table = below_water};
}

inline soil_layer rock(double density, double vs, double vp, double damping) {
  return {.thickness = 0.0, .density = density, .vs = vs, .vp = vp, .damping = damping};
}

// Three soils over a damped half-space; the second is stiff and linear.
inline std::vector<soil_layer> three_soils() {
  return {
      soil(6.0, 1.8, 160.0, 400.0, {4e-4, 0.02, 0.22}),
      {.thickness = 4.0, .density = 2.0, .vs = 450.0, .vp = 1300.0, .damping = 0.03},
      soil(12.0, 1.9, 260.0, 1600.0, {8e-4, 0.015, 0.18}, true),
      rock(2.3, 1000.0, 2200.0, 0.01),
  };
}

// A sin(2π k t / (N dt)) over exactly N samples: one line of the transform.
inline std::vector<double> harmonic(std::size_t n, std::size_t k, double amplitude) {
  std::vector<double> a(n);
  for (std::size_t j = 0; j < n; ++j) {
    a[j] = amplitude * std::sin(2.0 * std::numbers::pi * static_cast<double>(k * j % n) /
                                static_cast<double>(n));
  }
  return a;
}

// A Ricker wavelet of peak frequency f (Hz) centred at t0, n samples at dt.
inline std::vector<double> ricker(std::size_t n, double dt, double f, double t0, double peak) {
  std::vector<double> a(n);
  for (std::size_t j = 0; j < n; ++j) {
    const double x = std::numbers::pi * f * (static_cast<double>(j) * dt - t0);
    a[j] = peak * (1.0 - 2.0 * x * x) * std::exp(-x * x);
  }
  return a;
}

// Rows equal bit for bit, with no growth of Q with frequency.
inline void expect_same_rows(const std::vector<exact::layer_row>& a,
                             const std::vector<exact::layer_row>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t j = 0; j < a.size(); ++j) {
    EXPECT_EQ(a[j].vs, b[j].vs) << "row " << j + 1;
    EXPECT_EQ(a[j].vp, b[j].vp) << "row " << j + 1;
    EXPECT_EQ(a[j].qs, b[j].qs) << "row " << j + 1;
    EXPECT_EQ(a[j].qp, b[j].qp) << "row " << j + 1;
    EXPECT_EQ(a[j].fs, 0.0);
    EXPECT_EQ(a[j].fp, 0.0);
    EXPECT_EQ(a[j].density, b[j].density);
    EXPECT_EQ(a[j].thickness, b[j].thickness);
  }
}

}  // namespace sitewave::eql::testing
