// Effective quality factors of the rows above and below an interface, and the
// complex velocities they give.
#include <gtest/gtest.h>

#include "core/ground/damping.hpp"

namespace sitewave::ground {
namespace {

TEST(Damping, ZeroCoefficientKeepsBaseFactorAtEveryFrequency) {
  for (const float freq : {0.25f, 1.0f, 7.5f, 250.0f}) {
    EXPECT_EQ(upper_q(20.0f, 0.0f, freq), 20.0f) << freq;
    EXPECT_EQ(lower_q(20.0f, 0.0f, freq), 20.0f) << freq;
  }
  EXPECT_EQ(damped_velocity(200.0f, 20.0f), (cplx{200.0f, 5.0f}));
}

TEST(Damping, UpperRowRisesAsPowerLowerRowLinearly) {
  EXPECT_EQ(upper_q(20.0f, 0.5f, 4.0f), 40.0f);
  EXPECT_EQ(lower_q(20.0f, 0.5f, 4.0f), 40.0f);
  EXPECT_EQ(damped_velocity(200.0f, 40.0f), (cplx{200.0f, 2.5f}));

  const float q1 = upper_q(20.0f, 0.5f, 9.0f);
  const float q2 = lower_q(20.0f, 0.5f, 9.0f);
  EXPECT_EQ(q1, 60.0f);
  EXPECT_EQ(q2, 90.0f);
  EXPECT_NEAR(damped_velocity(200.0f, q1).im, 1.6667f, 0.5e-4f);
  EXPECT_NEAR(damped_velocity(200.0f, q2).im, 1.1111f, 0.5e-4f);
  EXPECT_EQ(damped_velocity(200.0f, q1).re, 200.0f);
}

TEST(Damping, FactorNeverFallsBelowBase) {
  EXPECT_NEAR(upper_q(20.0f, 0.5f, 1.5f), 24.49f, 0.005f);
  EXPECT_EQ(lower_q(20.0f, 0.5f, 1.5f), 20.0f);  // 15 is raised to the base
  for (const float freq : {0.1f, 0.5f, 0.99f}) {
    EXPECT_EQ(upper_q(20.0f, 0.5f, freq), 20.0f) << freq;
    EXPECT_EQ(lower_q(20.0f, 0.5f, freq), 20.0f) << freq;
  }
}

// Each case below tells the prescribed rounding from a plausible alternative
// by the last bit; those bits reach the printed amplification figures.
TEST(Damping, UpperFactorRoundsDoublePowerThenProduct) {
  // A single-precision power gives 0x1.b3ddd8p+6 here.
  EXPECT_EQ(upper_q(34.0f, 0x1.3369c4p-2f, 0x1.833b0cp+5f), 0x1.b3ddd6p+6f);
  // Multiplying by the unrounded power gives 0x1.72687ap+10 here.
  EXPECT_EQ(upper_q(24.0f, 0x1.54513ap+0f, 0x1.63a71ep+4f), 0x1.72687cp+10f);
}

TEST(Damping, LowerFactorMultipliesBaseByFrequencyFirst) {
  // Q0 × (freq × F) gives 0x1.36e07ep+11 here.
  EXPECT_EQ(lower_q(45.0f, 0x1.1bc3aap+0f, 0x1.8ee04ep+5f), 0x1.36e07cp+11f);
}

TEST(Damping, LossFactorIsFormedBeforeScalingByVelocity) {
  // (v × 0.5) / q gives 0x1.e4aaaap+3 here.
  EXPECT_EQ(damped_velocity(727.0f, 24.0f), (cplx{727.0f, 0x1.e4aaacp+3f}));
}

}  // namespace
}  // namespace sitewave::ground
