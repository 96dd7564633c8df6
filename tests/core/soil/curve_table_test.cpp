// Curves from the user's own tables: how they read between and beyond their
// points, the sampling a curve listing uses, and the tables they refuse.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/soil/curve.hpp"

namespace sitewave::soil {
namespace {

using points = std::vector<curve_point>;

curve table_of(const points& modulus, const points& damping) {
  return curve::tabulated(modulus, damping);
}

std::string refusal(const points& modulus, const points& damping, bool percent = false) {
  try {
    if (percent)
      (void)curve::tabulated_percent(modulus, damping);
    else
      (void)curve::tabulated(modulus, damping);
  } catch (const std::invalid_argument& e) {
    return e.what();
  }
  return "accepted";
}

TEST(CurveTable, ReadsLinearInLogStrainAndHoldsTheEnds) {
  // Modulus and damping at strains of their own; 1e-4 lies a third of the
  // way in log from 1e-5 to 1e-2, where the damping table has its middle.
  const curve c = table_of({{1e-5, 1.0}, {1e-2, 0.1}}, {{1e-6, 0.0}, {1e-4, 0.05}, {1e-2, 0.25}});
  EXPECT_NEAR(c.modulus_ratio(1e-4), 1.0 - 0.9 / 3.0, 1e-15);
  EXPECT_EQ(c.damping_ratio(1e-4), 0.05);
  EXPECT_NEAR(c.damping_ratio(1e-3), 0.15, 1e-15);  // halfway in log from 1e-4 to 1e-2
  EXPECT_EQ(c.modulus_ratio(1e-9), 1.0);
  EXPECT_EQ(c.modulus_ratio(0.0), 1.0);
  EXPECT_EQ(c.modulus_ratio(1.0), 0.1);
  EXPECT_EQ(c.damping_ratio(1e-9), 0.0);
  EXPECT_EQ(c.damping_ratio(5.0), 0.25);
  EXPECT_TRUE(std::isnan(c.damping_ratio(NAN)));
  const curve single = table_of({{1e-3, 0.5}}, {{1e-3, 0.02}});
  EXPECT_EQ(single.modulus_ratio(1e-6), 0.5);
  EXPECT_EQ(single.damping_ratio(1.0), 0.02);
}

TEST(CurveTable, PercentTablesReadAsRatios) {
  const points modulus = {{1e-3, 1.0}, {1.0, 0.2}};
  const points damping = {{1e-3, 1.0}, {1.0, 20.0}};
  const curve c = curve::tabulated_percent(modulus, damping);
  EXPECT_EQ(c.modulus_ratio(1e-5), 1.0);
  EXPECT_EQ(c.damping_ratio(1e-2), 0.2);
  EXPECT_NEAR(c.damping_ratio(ratio_from_percent(0.0316227766016838)), 0.105, 1e-12);
}

TEST(CurveTable, RefusesTablesNoSoilHas) {
  const std::vector<curve_point> good = {{1e-4, 1.0}, {1e-2, 0.5}};
  const std::vector<curve_point> damping = {{1e-4, 0.01}, {1e-2, 0.1}};
  const struct {
    std::vector<curve_point> modulus, damping;
    bool percent;
    const char* message;
  } cases[] = {
      {{}, damping, false, "the modulus reduction table has no points: at least 1 is expected"},
      {good, std::vector<curve_point>(65, {1e-3, 0.1}), false,
       "the damping table has 65 points: at most 64 are kept"},
      {{{0.0, 1.0}},
       damping,
       false,
       "modulus reduction point 1: strain 0 is not a finite number above zero"},
      {{{1e-4, 1.0}, {-1e-3, 0.5}},
       damping,
       false,
       "modulus reduction point 2: strain -0.001 is not a finite number above zero"},
      {{{1e-4, 1.0}, {INFINITY, 0.5}},
       damping,
       false,
       "modulus reduction point 2: strain inf is not a finite number above zero"},
      {good,
       {{1e-4, 0.01}, {1e-4, 0.02}},
       false,
       "damping point 2: strain 0.0001 is not above the strain 0.0001 of point 1: strains must "
       "increase strictly"},
      {{{1e-3, 1.0}, {1e-4, 0.5}},
       damping,
       false,
       "modulus reduction point 2: strain 0.0001 is not above the strain 0.001 of point 1: "
       "strains must increase strictly"},
      {{{1e-4, 1.0}, {1e-3, 0.0}},
       damping,
       false,
       "modulus reduction point 2: G/Gmax 0 is outside (0, 1]"},
      {{{1e-4, 1.2}}, damping, false, "modulus reduction point 1: G/Gmax 1.2 is outside (0, 1]"},
      {{{1e-4, NAN}}, damping, false, "modulus reduction point 1: G/Gmax nan is outside (0, 1]"},
      {good, {{1e-4, 0.5}}, false, "damping point 1: damping ratio 0.5 is outside [0, 0.5)"},
      {good, {{1e-4, -0.01}}, false, "damping point 1: damping ratio -0.01 is outside [0, 0.5)"},
      {good,
       {{1e-2, 1.0}, {1.0, 50.0}},
       true,
       "damping point 2: damping 50 % is outside [0, 50) %"},
      {good,
       {{0.01, 1.0}, {0.01, 2.0}},
       true,
       "damping point 2: strain 0.01 % is not above the strain 0.01 % of point 1: strains must "
       "increase strictly"},
  };
  for (const auto& k : cases) EXPECT_EQ(refusal(k.modulus, k.damping, k.percent), k.message);
  // The limits themselves are soils: G/Gmax exactly 1, no damping at all.
  EXPECT_EQ(refusal({{1e-4, 1.0}}, {{1e-4, 0.0}}), "accepted");
}

TEST(CurveTable, SamplesAtTheDefaultStrains) {
  const std::vector<double> strains = default_strains();
  ASSERT_EQ(strains.size(), 21u);
  EXPECT_EQ(strains.front(), 1e-6);  // 1e-4 %
  EXPECT_EQ(strains[4], 1e-5);
  EXPECT_EQ(strains.back(), 1e-1);  // 10 %
  for (std::size_t i = 1; i < strains.size(); ++i)
    EXPECT_NEAR(strains[i] / strains[i - 1], std::pow(10.0, 0.25), 1e-14);

  const curve c = table_of({{1e-5, 1.0}, {1e-2, 0.1}}, {{1e-6, 0.0}, {1e-2, 0.2}});
  std::vector<curve_sample> out(strains.size());
  sample_curve(c, strains, out);
  EXPECT_EQ(out[4].strain, 1e-5);
  EXPECT_EQ(out[4].modulus_ratio, 1.0);
  EXPECT_EQ(out[4].damping_ratio, c.damping_ratio(1e-5));
  std::vector<curve_sample> short_out(3);
  EXPECT_THROW(sample_curve(c, strains, short_out), std::invalid_argument);
}

}  // namespace
}  // namespace sitewave::soil
