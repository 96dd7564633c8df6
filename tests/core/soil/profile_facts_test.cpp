// Effective stresses, Vs30 and the site period of small profiles worked by
// hand, with the water table inside a layer, at a boundary, and absent.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/soil/profile_facts.hpp"

namespace sitewave::soil {
namespace {

// 4 m at 1.8 t/m^3 (17.65197 kN/m^3, k0 0.5) and 6 m at 2.0 t/m^3
// (19.6133 kN/m^3, k0 1) over a half-space; water weighs 9.81 kN/m^3.
const std::vector<profile_row> two_layers = {
    {4.0, 1.8, 200.0, 0.5}, {6.0, 2.0, 400.0, 1.0}, {0.0, 2.2, 800.0, 0.5}};

TEST(ProfileFacts, EffectiveStressesAtLayerMiddles) {
  const struct {
    std::optional<double> water;
    double upper, lower;  // sigma'v at 2 m and 7 m, kPa
  } cases[] = {
      // Dry: 2 x 17.65197; 4 x 17.65197 + 3 x 19.6133.
      {std::nullopt, 35.30394, 129.44778},
      // Water at 3 m, inside the first layer below its middle:
      // 3 x 17.65197 + 1 x 7.84197 + 3 x 9.8033.
      {3.0, 35.30394, 90.20778},
      // Water at the boundary: 4 x 17.65197 + 3 x 9.8033.
      {4.0, 35.30394, 100.01778},
      // Water at 1 m, above the first middle: 17.65197 + 7.84197;
      // 17.65197 + 3 x 7.84197 + 3 x 9.8033.
      {1.0, 25.49394, 70.58778},
      // Water at the surface, and below the column (no effect).
      {0.0, 15.68394, 2 * 15.68394 + 3 * 9.8033},
      {50.0, 35.30394, 129.44778},
  };
  for (const auto& k : cases) {
    std::vector<layer_stress> out(2);
    layer_stresses(two_layers, k.water, out);
    EXPECT_EQ(out[0].depth, 2.0);
    EXPECT_EQ(out[1].depth, 7.0);
    EXPECT_NEAR(out[0].vertical, k.upper, 1e-9) << k.water.value_or(-1);
    EXPECT_NEAR(out[1].vertical, k.lower, 1e-9) << k.water.value_or(-1);
    EXPECT_NEAR(out[0].mean, k.upper * 2.0 / 3.0, 1e-9);  // (1 + 2 x 0.5) / 3
    EXPECT_NEAR(out[1].mean, k.lower, 1e-9);              // k0 = 1
  }
}

std::string refusal(const std::vector<profile_row>& rows, std::optional<double> water,
                    std::size_t room) {
  std::vector<layer_stress> out(room);
  try {
    layer_stresses(rows, water, out);
  } catch (const std::invalid_argument& e) {
    return e.what();
  }
  return "accepted";
}

TEST(ProfileFacts, RefusesProfilesWithoutSoundStresses) {
  const struct {
    std::vector<profile_row> rows;
    std::optional<double> water;
    std::size_t room;
    const char* message;
  } cases[] = {
      {{}, std::nullopt, 0, "the profile has no rows: at least the half-space is expected"},
      {{{-1.0, 1.8, 200.0}, {0.0, 2.0, 500.0}},
       std::nullopt,
       1,
       "layer row 1, thickness -1: a finite value of zero or more is expected"},
      {{{1.0, 1.8, 200.0, 0.0}, {0.0, 2.0, 500.0}},
       std::nullopt,
       1,
       "layer row 1, k0 0: a finite value above zero is expected"},
      {{{1.0, 1.8, 200.0}, {0.0, 2.0, NAN}},
       std::nullopt,
       1,
       "layer row 2, Vs nan: a finite value above zero is expected"},
      {{{2.0, 1.8, 200.0}, {3.0, 1.0, 200.0}, {0.0, 2.0, 500.0}},
       1.0,
       2,
       "layer row 2, density 1 t/m^3 below the water table weighs 9.80665 kN/m^3: more than "
       "water's 9.81 kN/m^3 is expected"},
      {two_layers, -0.5, 2, "water table depth -0.5: a finite depth of zero or more is expected"},
      {two_layers, std::nullopt, 3, "2 layers but room for 3 stresses"},
  };
  for (const auto& k : cases) EXPECT_EQ(refusal(k.rows, k.water, k.room), k.message);
  // A light layer above the water table is no fault.
  EXPECT_EQ(refusal({{2.0, 0.9, 100.0}, {0.0, 2.0, 500.0}}, 2.0, 1), "accepted");
}

TEST(ProfileFacts, Vs30AndSitePeriodByHand) {
  // 10 m at 300 m/s and 10 m at 600 m/s over 900 m/s: the half-space fills
  // the last 10 m, 30 / (10/300 + 10/600 + 10/900) = 490.909 m/s; the column
  // period is 4 (10/300 + 10/600) = 0.2 s.
  const std::vector<profile_row> shallow = {{10, 1.9, 300}, {10, 2.0, 600}, {0, 2.2, 900}};
  EXPECT_NEAR(vs30(shallow), 490.909091, 1e-6);
  EXPECT_NEAR(site_period(shallow), 0.2, 1e-15);
  // 20 m at 200 m/s and 20 m at 400 m/s: the top 30 m end inside the second,
  // 30 / (20/200 + 10/400) = 240 m/s; the period 4 (20/200 + 20/400) = 0.6 s.
  const std::vector<profile_row> deep = {{20, 1.9, 200}, {20, 2.0, 400}, {0, 2.2, 800}};
  EXPECT_NEAR(vs30(deep), 240.0, 1e-12);
  EXPECT_NEAR(site_period(deep), 0.6, 1e-15);
  // A half-space alone.
  const std::vector<profile_row> rock = {{0, 2.5, 1500}};
  EXPECT_EQ(vs30(rock), 1500.0);
  EXPECT_EQ(site_period(rock), 0.0);
}

}  // namespace
}  // namespace sitewave::soil
