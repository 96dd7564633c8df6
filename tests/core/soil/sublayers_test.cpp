// Sublayer counts and depths for a small profile and a few highest
// frequencies, and the frequencies that are refused.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "core/soil/sublayers.hpp"

namespace sitewave::soil {
namespace {

// 10 m at 100 m/s, 3 m at 300 m/s, a layer of no thickness, the half-space.
const std::vector<profile_row> rows = {
    {10.0, 1.8, 100.0}, {3.0, 1.9, 300.0}, {0.0, 1.9, 200.0}, {0.0, 2.2, 800.0}};

TEST(Sublayers, CountsFollowTheFifthWavelength) {
  const struct {
    double frequency;
    std::vector<int> per_layer;  // sublayers of each row, the half-space last
  } cases[] = {
      {0.0, {1, 1, 1, 1}},         // no split
      {10.0, {5, 1, 1, 1}},        // 10 m / (100 / 50) = 5 exactly; 3 / 6 = 0.5
      {10.0000001, {6, 1, 1, 1}},  // just past 5
      {25.0, {13, 2, 1, 1}},       // 12.5 and 1.25
      {1000.0, {500, 50, 1, 1}},
  };
  for (const auto& k : cases) {
    const int count = sublayer_count(rows, k.frequency);
    std::vector<sublayer> out(count);
    split_layers(rows, k.frequency, out);
    std::vector<int> per_layer(rows.size(), 0);
    for (const sublayer& s : out) ++per_layer[s.layer];
    EXPECT_EQ(per_layer, k.per_layer) << k.frequency;
  }
}

TEST(Sublayers, DepthsShareEachLayerEquallyAndEndAtItsBottom) {
  std::vector<sublayer> out(sublayer_count(rows, 25.0));
  split_layers(rows, 25.0, out);
  ASSERT_EQ(out.size(), 17u);
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(out[i].layer, 0);
    EXPECT_NEAR(out[i].top, 10.0 * i / 13, 1e-14);
    EXPECT_NEAR(out[i].bottom - out[i].top, 10.0 / 13, 1e-14);
    if (i > 0) {
      EXPECT_EQ(out[i].top, out[i - 1].bottom);
    }
  }
  EXPECT_EQ(out[12].bottom, 10.0);
  EXPECT_EQ(out[13].top, 10.0);
  EXPECT_EQ(out[13].bottom, 11.5);
  EXPECT_EQ(out[14].bottom, 13.0);
  EXPECT_EQ(out[15].layer, 2);
  EXPECT_EQ(out[15].top, 13.0);
  EXPECT_EQ(out[15].bottom, 13.0);
  EXPECT_EQ(out[16].layer, 3);
  EXPECT_EQ(out[16].top, 13.0);
  EXPECT_TRUE(std::isinf(out[16].bottom));
}

TEST(Sublayers, RefusesFrequenciesThatCannotBeMet) {
  EXPECT_THROW((void)sublayer_count(rows, -1.0), std::invalid_argument);
  EXPECT_THROW((void)sublayer_count(rows, NAN), std::invalid_argument);
  try {
    (void)sublayer_count(rows, 1e6);
    ADD_FAILURE() << "accepted";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(),
                 "a highest frequency of 1e+06 Hz needs 550002 sublayers: at most 100000 are "
                 "allowed");
  }
  std::vector<sublayer> wrong(3);
  EXPECT_THROW(split_layers(rows, 0.0, wrong), std::invalid_argument);
}

}  // namespace
}  // namespace sitewave::soil
