// The vertical's rows from two horizontal profiles: the component that
// strains a layer more sets its modulus and damping, the P velocity keeps the
// Poisson ratio above the water table and its own value below it, and rows
// without curves and the half-space stay as they are.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/eql/equivalent_linear.hpp"
#include "eql_cases.hpp"

namespace sitewave::eql {
namespace {

layer_profile profile(std::vector<layer_result> layers) {
  return {std::move(layers), {}};
}

double poisson(double vp, double vs) {
  const double r = (vp / vs) * (vp / vs);
  return (r - 2.0) / (2.0 * (r - 1.0));
}

TEST(VerticalRows, LargerStrainSetsTheLayerAndWaterHoldsVp) {
  const std::vector<soil_layer> layers = testing::three_soils();
  // Rows: soil above water, linear row, soil below water, half-space.
  const layer_profile h1 = profile({{.modulus_ratio = 0.5, .damping = 0.1, .max_strain = 1e-3},
                                    {.modulus_ratio = 1.0, .damping = 0.03, .max_strain = 9e-3},
                                    {.modulus_ratio = 0.9, .damping = 0.03, .max_strain = 1e-4},
                                    {.modulus_ratio = 1.0, .damping = 0.01, .max_strain = 1e-5}});
  const layer_profile h2 = profile({{.modulus_ratio = 0.7, .damping = 0.06, .max_strain = 5e-4},
                                    {.modulus_ratio = 1.0, .damping = 0.03, .max_strain = 1e-5},
                                    {.modulus_ratio = 0.8, .damping = 0.05, .max_strain = 2e-4},
                                    {.modulus_ratio = 1.0, .damping = 0.01, .max_strain = 2e-5}});
  const std::vector<exact::layer_row> rows = vertical_rows(layers, h1, h2);
  ASSERT_EQ(rows.size(), 4u);
  struct expected {
    double vs, vp, q;
  };
  const expected want[] = {
      {160.0 * std::sqrt(0.5), 400.0 * std::sqrt(0.5), 5.0},  // H1 strains it more
      {450.0, 1300.0, 0.5 / 0.03},                           // no curves
      {260.0 * std::sqrt(0.8), 1600.0, 10.0},                // H2, below the water table
      {1000.0, 2200.0, 50.0},                                // the half-space
  };
  for (std::size_t j = 0; j < rows.size(); ++j) {
    EXPECT_DOUBLE_EQ(rows[j].vs, want[j].vs) << "row " << j + 1;
    EXPECT_DOUBLE_EQ(rows[j].vp, want[j].vp) << "row " << j + 1;
    EXPECT_DOUBLE_EQ(rows[j].qs, want[j].q) << "row " << j + 1;
    EXPECT_EQ(rows[j].qp, rows[j].qs) << "row " << j + 1;
    EXPECT_EQ(rows[j].fs, 0.0);
    EXPECT_EQ(rows[j].fp, 0.0);
    EXPECT_EQ(rows[j].density, layers[j].density);
    EXPECT_EQ(rows[j].thickness, layers[j].thickness);
  }
  EXPECT_NEAR(poisson(rows[0].vp, rows[0].vs), poisson(400.0, 160.0), 1e-14);
}

}  // namespace
}  // namespace sitewave::eql
