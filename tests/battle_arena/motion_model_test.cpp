#include "battle/arena/motion_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "battle/core/frame_time.h"
#include "battle/core/global_params.h"
#include "engine/r3x.h"

namespace {

class MotionModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(r3xInit(), R3X_DONE);
    gFrameTime = 100000;
    gGravity = 0.0f;
  }
  void TearDown() override {
    gFrameTime = 0;
    gGravity = 0.0f;
    r3xShutdown();
  }
  // Lets ms pass and runs one plain step.
  static void Step(CMotionModel& model, std::uint32_t ms, bool ballistic = false) {
    gFrameTime += ms;
    if (ballistic) {
      model.IntegrateBallistic(nullptr);
    } else {
      model.Integrate(nullptr);
    }
  }
};

TEST_F(MotionModelTest, ConstructionStartsAtRestWithDefaultLimits) {
  const CMotionModel model;
  EXPECT_EQ(model.clock, gFrameTime);
  EXPECT_FLOAT_EQ(model.speedRamp, 5.0f);
  EXPECT_NEAR(model.rateRamp, 6.6667f, 1e-4f);
  EXPECT_FLOAT_EQ(model.turnDamping, 0.25f);
  EXPECT_FLOAT_EQ(model.floorHeight, 0.05f);
}

TEST_F(MotionModelTest, LimitsTable) {
  struct {
    float a, b, c, d, e;
    float speedRamp, rateRamp, damping;
  } const cases[] = {
      {0, 0, 0, 0, -5, 50.0f, 66.667f, 0.0f},
      {-0.0f, 7, -3, 9, 0, 50.0f, 66.667f, 0.0f},
      {2000, 0, 500, 0, 4000, 2.5f, 13.333f, 1.0f},
  };
  for (const auto& c : cases) {
    CMotionModel model;
    model.SetLimits(c.a, c.b, c.c, c.d, c.e);
    EXPECT_FLOAT_EQ(model.speedRamp, c.speedRamp);
    EXPECT_NEAR(model.rateRamp, c.rateRamp, 1e-3f);
    EXPECT_FLOAT_EQ(model.turnDamping, c.damping);
  }
}

TEST_F(MotionModelTest, StepCoversAtMost500Ms) {
  struct {
    const char* name;
    std::int64_t clockOffset;  // the model's clock relative to the frame time of the step
    float x;                   // position after one step at speed 10 along heading 0
  } const cases[] = {
      {"100 ms", -100, 2.0f},
      {"10 s gap", -10000, 10.0f},
      {"clock 100 ms in the future", 100, 10.0f},
      {"no time", 0, 0.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CMotionModel model;
    model.speed = 10.0f;
    model.targetSpeed = 10.0f;
    model.clock = static_cast<std::uint32_t>(gFrameTime + c.clockOffset);
    model.Integrate(nullptr);
    EXPECT_NEAR(model.pose.x, c.x, 1e-4f);
    EXPECT_EQ(model.clock, gFrameTime);
  }
  CMotionModel model;
  model.speed = 10.0f;
  model.targetSpeed = 10.0f;
  model.SetClockBack(250);
  model.Integrate(nullptr);
  EXPECT_NEAR(model.pose.x, 5.0f, 1e-4f);
}

TEST_F(MotionModelTest, SpeedRampsTowardItsTarget) {
  CMotionModel model;
  model.targetSpeed = 10.0f;
  const float expected[] = {5.0f, 10.0f, 10.0f};
  for (float speed : expected) {
    Step(model, 500);
    EXPECT_FLOAT_EQ(model.speed, speed);
  }
  model.targetSpeed = -1.0f;
  Step(model, 500);
  EXPECT_FLOAT_EQ(model.speed, 5.0f);
  Step(model, 1000);
  Step(model, 500);
  EXPECT_FLOAT_EQ(model.speed, -1.0f);
}

TEST_F(MotionModelTest, TurnRatesAreDampedBySpeed) {
  CMotionModel model;
  model.rateRamp = 100.0f;
  model.speed = 4.0f;
  model.targetSpeed = 4.0f;
  model.targetHeadingRate = 10.0f;
  model.targetPitchRate = -10.0f;
  model.targetRollRate = 10.0f;
  Step(model, 500);
  EXPECT_FLOAT_EQ(model.headingRate, 5.0f);
  EXPECT_FLOAT_EQ(model.pitchRate, -5.0f);
  // Roll is not damped.
  EXPECT_FLOAT_EQ(model.rollRate, 10.0f);
  // Backwards the damping uses |speed|.
  CMotionModel backwards;
  backwards.rateRamp = 100.0f;
  backwards.speed = -4.0f;
  backwards.targetSpeed = -4.0f;
  backwards.targetHeadingRate = 10.0f;
  Step(backwards, 500);
  EXPECT_FLOAT_EQ(backwards.headingRate, 5.0f);
  // A rate already at its target is not ramped toward the damped goal.
  CMotionModel steady;
  steady.speed = 4.0f;
  steady.targetSpeed = 4.0f;
  steady.headingRate = 10.0f;
  steady.targetHeadingRate = 10.0f;
  Step(steady, 500);
  EXPECT_FLOAT_EQ(steady.headingRate, 10.0f);
}

TEST_F(MotionModelTest, AnglesTurnWithThePreviousStepsRatesAndWrap) {
  CMotionModel model;
  model.pose.heading = 510.0f;
  model.velocity.headingRate = 10.0f;
  model.headingRate = 10.0f;
  model.targetHeadingRate = 10.0f;
  Step(model, 500);
  EXPECT_FLOAT_EQ(model.pose.heading, 8.0f);

  // A changed rate shows one step later.
  CMotionModel later;
  later.rateRamp = 100.0f;
  later.targetHeadingRate = 20.0f;
  Step(later, 500);
  EXPECT_FLOAT_EQ(later.pose.heading, 0.0f);
  EXPECT_FLOAT_EQ(later.velocity.headingRate, 20.0f);
  Step(later, 500);
  EXPECT_FLOAT_EQ(later.pose.heading, 20.0f);

  // An angle outside [0, 512) stays while its rate is 0.
  CMotionModel still;
  still.pose.pitch = 700.0f;
  still.pose.roll = -3.0f;
  Step(still, 500);
  EXPECT_FLOAT_EQ(still.pose.pitch, 700.0f);
  EXPECT_FLOAT_EQ(still.pose.roll, -3.0f);
}

// Huge and non-finite angles end their wrap at once, inside [0, 512).
TEST_F(MotionModelTest, WrappingEndsForHugeAndNonFiniteAngles) {
  const float angles[] = {3.0e38f,
                          -3.0e38f,
                          1.0e9f,
                          std::numeric_limits<float>::infinity(),
                          std::numeric_limits<float>::quiet_NaN(),
                          -1.0e-6f};
  for (float angle : angles) {
    CMotionModel model;
    model.pose.heading = angle;
    model.pose.roll = angle;
    model.velocity.headingRate = 1.0f;
    model.velocity.rollRate = 1.0f;
    Step(model, 100);
    for (float wrapped : {model.pose.heading, model.pose.roll}) {
      EXPECT_GE(wrapped, 0.0f) << angle;
      EXPECT_LT(wrapped, 512.0f) << angle;
    }
  }
}

TEST_F(MotionModelTest, SetPoseRefusesUnusableAngles) {
  CMotionModel model;
  model.pose.region = 3;
  model.SetPose(1, 2, 3, 10, 20, 30);
  model.SetPose(4, 5, 6, std::numeric_limits<float>::quiet_NaN(), 2.0e6f, -7.0f);
  EXPECT_EQ(model.pose.x, 4.0f);
  EXPECT_EQ(model.pose.z, 6.0f);
  EXPECT_EQ(model.pose.heading, 10.0f);
  EXPECT_EQ(model.pose.pitch, 20.0f);
  EXPECT_EQ(model.pose.roll, -7.0f);
  EXPECT_EQ(model.pose.region, 3);
}

TEST_F(MotionModelTest, VelocityFollowsHeadingAndPitch) {
  CMotionModel model;
  model.speed = 2.0f;
  model.targetSpeed = 2.0f;
  model.pose.heading = 128.0f;  // +y
  Step(model, 500);
  EXPECT_NEAR(model.velocity.vx, 0.0f, 1e-5f);
  EXPECT_NEAR(model.velocity.vy, 2.0f, 1e-5f);
  EXPECT_NEAR(model.pose.y, 2.0f, 1e-5f);
  model.pose.pitch = 128.0f;  // straight up
  Step(model, 500);
  EXPECT_NEAR(model.velocity.vz, 2.0f, 1e-5f);
  EXPECT_NEAR(model.pose.z, 2.0f, 1e-5f);
}

TEST_F(MotionModelTest, BallisticFloorAndGravity) {
  gGravity = -4.0f;
  CMotionModel falling;
  falling.floorHeight = 0.0f;
  falling.pose.z = 10.0f;
  Step(falling, 500, true);
  EXPECT_FLOAT_EQ(falling.push[2], -4.0f);
  EXPECT_FLOAT_EQ(falling.pose.z, 6.0f);

  // Below the floor: ends on it with no vertical speed or push.
  CMotionModel below;
  below.floorHeight = 5.0f;
  below.pose.z = 2.0f;
  below.push[2] = -3.0f;
  Step(below, 500, true);
  EXPECT_FLOAT_EQ(below.pose.z, 5.0f);
  EXPECT_FLOAT_EQ(below.velocity.vz, 0.0f);
  EXPECT_FLOAT_EQ(below.push[2], 0.0f);

  // Without gravity the push velocity stays; acceleration adds to it.
  gGravity = 0.0f;
  CMotionModel pushed;
  pushed.floorHeight = -100.0f;
  pushed.push[0] = 3.0f;
  pushed.acceleration[1] = 2.0f;
  Step(pushed, 500, true);
  EXPECT_FLOAT_EQ(pushed.push[0], 3.0f);
  EXPECT_FLOAT_EQ(pushed.push[1], 2.0f);
  EXPECT_FLOAT_EQ(pushed.pose.x, 3.0f);
  EXPECT_FLOAT_EQ(pushed.pose.y, 2.0f);
}

TEST_F(MotionModelTest, BallisticStepRampsNoRollAndSetsOnlyTheHeadingRate) {
  CMotionModel model;
  model.floorHeight = -100.0f;
  model.rateRamp = 100.0f;
  model.targetHeadingRate = 8.0f;
  model.targetRollRate = 8.0f;
  model.velocity.pitchRate = 3.0f;
  Step(model, 500, true);
  EXPECT_FLOAT_EQ(model.rollRate, 0.0f);
  // The applied heading rate leans with the pitch (turned by 3 this step).
  EXPECT_FLOAT_EQ(model.velocity.headingRate, 8.0f * r3xCosUnits(model.pose.pitch));
  EXPECT_FLOAT_EQ(model.pose.pitch, 3.0f);
  EXPECT_FLOAT_EQ(model.velocity.pitchRate, 3.0f);
  EXPECT_FLOAT_EQ(model.velocity.rollRate, 0.0f);

  // With the floor switched off it is the plain step.
  CMotionModel plain;
  plain.floorHeight = CMotionModel::kNoFloor;
  plain.rateRamp = 100.0f;
  plain.targetRollRate = 8.0f;
  plain.targetPitchRate = 4.0f;
  Step(plain, 500, true);
  EXPECT_FLOAT_EQ(plain.rollRate, 8.0f);
  EXPECT_FLOAT_EQ(plain.velocity.rollRate, 8.0f);
  EXPECT_FLOAT_EQ(plain.velocity.pitchRate, 4.0f);
}

TEST_F(MotionModelTest, RevertUndoesTheLastStep) {
  CMotionModel model;
  model.SetPose(1, 2, 3, 10, 20, 30);
  model.pose.region = 7;
  model.targetSpeed = 6.0f;
  model.targetHeadingRate = 4.0f;
  Step(model, 500);
  const R3xPlacement before = model.pose;
  const float speed = model.speed;
  const float rate = model.headingRate;
  const MotionVelocity velocity = model.velocity;
  Step(model, 500);
  ASSERT_NE(model.pose.x, before.x);
  R3xPlacement out{};
  model.Revert(&out);
  model.Revert(nullptr);
  for (const R3xPlacement& pose : {model.pose, out}) {
    EXPECT_EQ(pose.x, before.x);
    EXPECT_EQ(pose.heading, before.heading);
    EXPECT_EQ(pose.region, 7);
  }
  EXPECT_EQ(model.speed, speed);
  EXPECT_EQ(model.headingRate, rate);
  EXPECT_EQ(model.velocity.vx, velocity.vx);
  EXPECT_EQ(model.velocity.headingRate, velocity.headingRate);
}

}  // namespace
