#include "battle/arena/rigid_body.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/r3x.h"

namespace {

constexpr float kAxisZ[3] = {0, 0, 1};

class RigidBodyTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(r3xInit(), R3X_DONE); }
  void TearDown() override { r3xShutdown(); }
};

TEST_F(RigidBodyTest, MassAndInertiaBounds) {
  struct {
    float value;
    int result;
    float kept;
  } const cases[] = {
      {0.00005f, -1, 1.0f}, {0.0001f, 0, 0.0001f},
      {-3.0f, -1, 1.0f},    {std::numeric_limits<float>::quiet_NaN(), -1, 1.0f},
      {4.0f, 0, 4.0f},
  };
  for (const auto& c : cases) {
    CRigidBody body;
    EXPECT_EQ(body.SetMass(c.value), c.result);
    EXPECT_EQ(body.SetInertia(c.value), c.result);
    EXPECT_FLOAT_EQ(body.mass, c.kept);
    EXPECT_FLOAT_EQ(body.inverseMass, 1.0f / c.kept);
    EXPECT_FLOAT_EQ(body.inertia, c.kept);
    EXPECT_FLOAT_EQ(body.inverseInertia, 1.0f / c.kept);
  }
}

TEST_F(RigidBodyTest, SmallForcesAreIgnored) {
  struct {
    float f;
    bool applied;
  } const cases[] = {{0.001f, false}, {-0.001f, false}, {0.0011f, true}, {-0.0011f, true}};
  for (const auto& c : cases) {
    CRigidBody body;
    body.AddForwardForce(c.f);
    body.AddSideForce(c.f, 2.0f);
    EXPECT_FLOAT_EQ(body.force[0], c.applied ? c.f : 0.0f);
    EXPECT_FLOAT_EQ(body.force[1], c.applied ? c.f : 0.0f);
    EXPECT_FLOAT_EQ(body.torque[2], c.applied ? 2.0f * c.f : 0.0f);
  }
}

TEST_F(RigidBodyTest, FlipThrustAndGravity) {
  CRigidBody body;
  body.SetMass(2.0f);
  body.ApplyFlipThrust(-4.0f, 8.0f, 0.5f, 0.25f);
  EXPECT_FLOAT_EQ(body.force[0], -1.0f);
  EXPECT_FLOAT_EQ(body.force[1], 2.0f);
  EXPECT_FLOAT_EQ(body.force[2], -12.0f);
  EXPECT_FLOAT_EQ(body.torque[0], -2.0f);
  EXPECT_FLOAT_EQ(body.torque[1], -2.0f);
  body.ApplyGravity(10.0f);
  EXPECT_FLOAT_EQ(body.force[2], -32.0f);
}

// Every brake stops its motion at exactly 0 rather than reversing it.
TEST_F(RigidBodyTest, BrakesStopButNeverReverse) {
  CRigidBody forward;
  forward.forwardDrag.constant = 5.0f;
  forward.momentum[0] = 0.1f;
  forward.IntegrateMomentum(0.1f, kAxisZ);
  EXPECT_EQ(forward.momentum[0], 0.0f);

  CRigidBody backward;
  backward.forwardDrag.linear = 100.0f;
  backward.momentum[0] = -0.1f;
  backward.IntegrateMomentum(0.1f, kAxisZ);
  EXPECT_EQ(backward.momentum[0], 0.0f);

  CRigidBody spin;
  spin.spinDrag.constant = 5.0f;
  spin.angularMomentum[2] = -0.1f;
  spin.IntegrateMomentum(0.1f, kAxisZ);
  EXPECT_EQ(spin.angularMomentum[2], 0.0f);

  CRigidBody sideways;
  sideways.lateralDrag.constant = 5.0f;
  sideways.momentum[1] = 0.1f;
  sideways.momentum[2] = -0.1f;
  sideways.IntegrateMomentum(0.1f, kAxisZ);
  EXPECT_EQ(sideways.momentum[1], 0.0f);
  EXPECT_EQ(sideways.momentum[2], 0.0f);

  CRigidBody tilt;
  tilt.tiltDrag.constant = 5.0f;
  tilt.angularMomentum[0] = 0.1f;
  tilt.IntegrateMomentum(0.1f, kAxisZ);
  EXPECT_EQ(tilt.angularMomentum[0], 0.0f);

  // A brake that does not reach zero takes its share; a body at rest stays at rest (the
  // direction of a zero motion is zero, never a number that is not one).
  CRigidBody partial;
  partial.forwardDrag.linear = 1.0f;
  partial.forwardDrag.constant = 1.0f;
  partial.momentum[0] = 10.0f;
  partial.IntegrateMomentum(0.5f, kAxisZ);
  EXPECT_FLOAT_EQ(partial.momentum[0], 10.0f - (1.0f + 10.0f) * 0.5f);
  CRigidBody rest;
  rest.lateralDrag.constant = 5.0f;
  rest.tiltDrag.constant = 5.0f;
  rest.IntegrateMomentum(0.1f, kAxisZ);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(rest.momentum[i], 0.0f);
    EXPECT_EQ(rest.angularMomentum[i], 0.0f);
  }
}

TEST_F(RigidBodyTest, ForcesBecomeMomentumAndMomentumMovesTheBody) {
  CRigidBody body;
  body.SetMass(2.0f);
  body.AddForce(4.0f, 0.0f, -2.0f);
  body.IntegrateMomentum(0.5f, kAxisZ);
  EXPECT_FLOAT_EQ(body.momentum[0], 2.0f);
  EXPECT_FLOAT_EQ(body.momentum[2], -1.0f);
  body.IntegratePose(2.0f);
  EXPECT_FLOAT_EQ(body.position[0], 2.0f);
  EXPECT_FLOAT_EQ(body.position[2], -1.0f);
}

TEST_F(RigidBodyTest, TinyMomentaMoveNothingHoweverLong) {
  CRigidBody body;
  body.heading = 10.0f;
  body.SetOrientationFromAngles();
  const CRigidBody before = body;
  body.angularMomentum[0] = 0.001f;
  body.angularMomentum[2] = -0.001f;
  body.momentum[1] = 0.001f;
  body.IntegratePose(1000.0f);
  EXPECT_EQ(body.heading, before.heading);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(body.position[i], 0.0f);
    for (int j = 0; j < 3; ++j) {
      EXPECT_EQ(body.orientation[i][j], before.orientation[i][j]);
    }
  }
}

TEST_F(RigidBodyTest, SpinTurnsTheHeadingAndKeepsTheAxesOrthonormal) {
  CRigidBody body;
  // About +z at 2 * pi / 512 radians a second... times 16 seconds' worth of small steps.
  body.angularMomentum[2] = 2.0f * 3.14159265f / 512.0f * 8.0f;
  for (int i = 0; i < 10; ++i) {
    body.IntegratePose(0.1f);
  }
  EXPECT_NEAR(body.heading, 8.0f, 0.1f);
  for (int i = 0; i < 3; ++i) {
    float length = 0.0f;
    for (int j = 0; j < 3; ++j) {
      length += body.orientation[i][j] * body.orientation[i][j];
    }
    EXPECT_NEAR(length, 1.0f, 1e-3f);
  }
}

TEST_F(RigidBodyTest, LevelingTorque) {
  // Upright toward the vertical: no torque.
  CRigidBody upright;
  upright.ApplyLevelingTorque(3.0f, 1.0f, kAxisZ);
  for (float t : upright.torque) {
    EXPECT_EQ(t, 0.0f);
  }
  // Rolled a quarter turn (up along -y): k = 1 gives s = 1, and the torque about -x turns the
  // up axis back toward +z.
  CRigidBody side;
  side.roll = 128.0f;
  side.SetOrientationFromAngles();
  ASSERT_NEAR(side.orientation[2][1], -1.0f, 1e-4f);
  side.SetInertia(2.0f);
  side.ApplyLevelingTorque(1.0f, 1.0f, kAxisZ);
  EXPECT_NEAR(side.torque[0], -2.0f, 1e-3f);
  EXPECT_NEAR(side.torque[1], 0.0f, 1e-3f);
  EXPECT_NEAR(side.torque[2], 0.0f, 1e-3f);
  // With k above 1 on its side the torque keeps the share L = tilt constant / k x 1.5.
  CRigidBody share;
  share.roll = 128.0f;
  share.SetOrientationFromAngles();
  share.tiltDrag.constant = 2.0f;
  share.ApplyLevelingTorque(3.0f, 1.0f, kAxisZ);
  float size = 0.0f;
  for (float t : share.torque) {
    size += t * t;
  }
  EXPECT_NEAR(std::sqrt(size), 1.0f * 1.0f * 3.0f * (2.0f / 3.0f * 1.5f), 1e-2f);
  // Upside down the torque points the other way.
  CRigidBody flipped;
  flipped.roll = 200.0f;
  flipped.SetOrientationFromAngles();
  CRigidBody tilted;
  tilted.roll = 56.0f;
  tilted.SetOrientationFromAngles();
  flipped.ApplyLevelingTorque(1.0f, 1.0f, kAxisZ);
  tilted.ApplyLevelingTorque(1.0f, 1.0f, kAxisZ);
  EXPECT_LT(flipped.torque[0] * tilted.torque[0], 0.0f);
  EXPECT_LT(flipped.orientation[2][2], 0.0f);
}

TEST_F(RigidBodyTest, RaiseToNeverLowers) {
  CRigidBody body;
  body.position[2] = 5.0f;
  body.RaiseTo(3.0f);
  EXPECT_EQ(body.position[2], 5.0f);
  body.RaiseTo(7.0f);
  EXPECT_EQ(body.position[2], 7.0f);
}

}  // namespace
