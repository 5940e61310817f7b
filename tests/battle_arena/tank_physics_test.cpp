#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "battle/arena/arena_geometry.h"
#include "battle/arena/tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "common/messages.h"
#include "tests/battle_arena/tank_arena.h"

namespace {

using tank_test::TankArena;

constexpr std::uint32_t kId = KIND_TANK | 5;

void SetPose(CTank* tank, float x, float y, float z, float heading, float roll) {
  tank->position[0] = x;
  tank->position[1] = y;
  tank->position[2] = z;
  tank->heading = heading;
  tank->pitch = 0.0f;
  tank->roll = roll;
  tank->SetOrientationFromAngles();
  tank->PlaceParts();
}

float Length3(const float* v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

using TankPhysicsTest = TankArena;

TEST_F(TankPhysicsTest, AFrameWithoutElapsedTimeMovesNothing) {
  CTank* tank = Create({.id = kId});
  ASSERT_NE(tank, nullptr);
  tank->momentum[0] = 100.0f;
  tank->lastMoveTime = gFrameTime;
  float pose[6];
  EXPECT_EQ(tank->Move(pose), kTankContactNone);
  EXPECT_EQ(pose[0], 100.0f);
  EXPECT_EQ(tank->momentum[0], 100.0f);
}

// A remote tank is stepped as often as the zone it lies in from the camera asks: every frame
// within 64 units or in sight ahead, every 4th frame ahead but hidden, every 100th behind the
// camera or beyond the far distance (frames of 10 ms, so the frame counts decide).
TEST_F(TankPhysicsTest, RemoteTanksAreSteppedByZone) {
  struct Case {
    const char* what;
    R3xPlacement camera;
    std::uint32_t everyFrames;
  };
  const Case cases[] = {
      {"within 64 units", {150, 150, 10, 256, 0, 0, 0}, 1},
      {"in sight ahead", {30, 100, 10, 0, 0, 0, 0}, 1},
      {"ahead but hidden", {-100, 100, 10, 0, 0, 0, 0}, 4},
      {"behind", {250, 100, 10, 0, 0, 0, 0}, 100},
      {"beyond the far distance", {100, 100, 900, 0, 0, 0, 0}, 100},
  };
  CTank* tank = Create({.id = kId, .x = 150, .y = 100});
  ASSERT_NE(tank, nullptr);
  for (const Case& c : cases) {
    gListenerPlacement = c.camera;
    Frame(10);
    tank->framesSinceStep = 0;
    tank->timeSinceStep = 0.0f;
    for (std::uint32_t frame = 1; frame < c.everyFrames; ++frame) {
      Frame(10);
      EXPECT_EQ(tank->framesSinceStep, frame) << c.what;
    }
    Frame(10);
    EXPECT_EQ(tank->framesSinceStep, 0u) << c.what;
  }
}

// A tank created in the air keeps its height at first; gravity then brings it down to the ground
// it probed, where it stays.
TEST_F(TankPhysicsTest, AFloatingTankFallsToItsGround) {
  CTank* tank = Create({.id = kId, .x = 150, .y = 150, .z = 12.0f});
  ASSERT_NE(tank, nullptr);
  EXPECT_EQ(tank->position[2], 12.0f);
  gListenerPlacement = {150, 120, 10, 128, 0, 0, 0};
  for (int frame = 0; frame < 120; ++frame) {
    Frame(33);
  }
  const float rest = tank->groundHeight + GetGameParamFloat(PARAM_NO_GRAVITY_ZONE_HEIGHT);
  EXPECT_NEAR(tank->position[2], rest, 0.05f);
  EXPECT_EQ(tank->airborne, 0u);
}

// A frame of 2 s counts as 0.5 s; a distant tank moves its whole accumulated time in one step.
TEST_F(TankPhysicsTest, LongFramesAreCutAndDistantTanksCatchUp) {
  CTank* tank = Create({.id = kId, .x = 150, .y = 100});
  ASSERT_NE(tank, nullptr);
  gListenerPlacement = {100, 100, 900, 0, 0, 0, 0};
  Frame(2000);
  Frame(2000);
  Frame(2000);
  EXPECT_FLOAT_EQ(tank->timeSinceStep, 1.5f);
  Frame(2000);
  EXPECT_EQ(tank->timeSinceStep, 0.0f);
}

// Turned over, a tank locks its drive for the disable duration; once unlocked (the player's
// status line clears the flag), drive and turn rock it through the flipping thrust.
TEST_F(TankPhysicsTest, ATankTurnedOverWaitsAndThenFlips) {
  CTank* tank = Create({.id = kId, .x = 150, .y = 150});
  ASSERT_NE(tank, nullptr);
  SetPose(tank, 150, 150, 3.0f, 0, 256);
  tank->moveTime = 7000;
  tank->driveForce = 50.0f;
  tank->SimulatePhysics(0.02f);
  EXPECT_EQ(tank->upsideDown, 1u);
  EXPECT_EQ(tank->notUpright, 1u);
  EXPECT_EQ(tank->flipUnlockTime, 7000u + static_cast<std::uint32_t>(
                                              GetGameParamInt(PARAM_UPSIDE_DOWN_DISABLE_DURATION)));
  const float locked = Length3(tank->angularMomentum);

  SetPose(tank, 150, 150, 3.0f, 0, 256);
  std::fill(tank->angularMomentum, tank->angularMomentum + 3, 0.0f);
  std::fill(tank->momentum, tank->momentum + 3, 0.0f);
  tank->notUpright = 0;
  tank->SimulatePhysics(0.02f);
  EXPECT_EQ(locked, 0.0f);
  EXPECT_GT(Length3(tank->angularMomentum), 0.1f);
}

struct WallCase {
  const char* what;
  float momentum[3];
  bool spins;
};

// A world contact at a corner point one unit below the contact point: the normal is +y.
class TankContactTest : public TankArena {
 protected:
  void SetUp() override {
    TankArena::SetUp();
    tank_ = Create({.id = kId, .x = 150, .y = 150});
    ASSERT_NE(tank_, nullptr);
    obstacle_.kind = R3X_OBSTACLE_EDGEPOLYGON;
    wall_.contactClass = R3X_CONTACT_OBSTACLE;
    wall_.obstacle = &obstacle_;
  }
  std::int32_t Touch(const float* q, const float* corner) {
    wall_.point = {R3X_TYPE_XYZ_VERTEX, corner[0], corner[1], corner[2]};
    return tank_->ApplyContacts(&wall_, q);
  }
  CTank* tank_ = nullptr;
  R3xObstacle obstacle_{};
  R3xContact wall_{};
};

TEST_F(TankContactTest, HeadOnAndGlancingWallContacts) {
  const WallCase cases[] = {
      {"head-on", {0, -300, 0}, false},
      {"glancing", {300, -300, 0}, true},
  };
  const float wall = GetGameParamFloat(PARAM_WALL_REBOUND_IMPULSE_FACTOR);
  for (const WallCase& c : cases) {
    std::copy(c.momentum, c.momentum + 3, tank_->momentum);
    std::fill(tank_->angularMomentum, tank_->angularMomentum + 3, 0.0f);
    const float q[3] = {tank_->position[0] + 3.0f, tank_->position[1] - 2.0f, 1.0f};
    const float corner[3] = {q[0], q[1] - 1.0f, q[2]};
    EXPECT_EQ(Touch(q, corner), kTankContactWall) << c.what;
    // The push along the normal reverses the approach, times the rebound factor.
    EXPECT_NEAR(tank_->momentum[1], -300.0f + 300.0f * wall, 1e-3f) << c.what;
    EXPECT_EQ(tank_->momentum[0], c.momentum[0]) << c.what;
    EXPECT_EQ(Length3(tank_->angularMomentum) > 1.0f, c.spins) << c.what;
  }
}

// Through the world: a tank falling onto the arena's ramp (an edge polygon rising toward +x)
// meets it as a slope and bounces up off it.
TEST_F(TankContactTest, ATankFallingOntoTheRampBouncesOffIt) {
  SetPose(tank_, 280, 292, 5.0f, 0, 0);
  tank_->momentum[0] = 30.0f;
  tank_->momentum[2] = -50.0f;
  EXPECT_EQ(tank_->SimulatePhysics(0.05f), kTankContactSlope);
  EXPECT_GT(tank_->momentum[2], 0.0f);
  EXPECT_LT(tank_->momentum[0], 30.0f);
}

TEST_F(TankContactTest, AFloorContactAndAnObstacleOfAnotherKind) {
  tank_->momentum[2] = -100.0f;
  const float q[3] = {150, 150, 0};
  const float below[3] = {150, 150, -1};
  EXPECT_EQ(Touch(q, below), kTankContactFloor);
  EXPECT_NEAR(tank_->momentum[2],
              -100.0f + 100.0f * GetGameParamFloat(PARAM_FLOOR_REBOUND_IMPULSE_FACTOR), 1e-3f);
  obstacle_.kind = R3X_OBSTACLE_XY_LINE;
  tank_->momentum[0] = 50.0f;
  EXPECT_EQ(Touch(q, below), kTankContactBlocked);
  EXPECT_EQ(tank_->momentum[0], 0.0f);
}

// A contact whose normal has no length (the contact point on the corner, or on the other tank's
// centre) gives no push at all.
TEST_F(TankContactTest, ZeroLengthNormalsGiveNoPush) {
  tank_->momentum[0] = 40.0f;
  tank_->angularMomentum[2] = 3.0f;
  const float q[3] = {152, 150, 1};
  EXPECT_EQ(Touch(q, q), kTankContactNone);
  CTank* other = Create({.id = kId + 1, .x = 160, .y = 150});
  ASSERT_NE(other, nullptr);
  R3xContact touch{};
  touch.contactClass = R3X_CONTACT_OBJECT;
  touch.target = other->smallCollisionActor;
  EXPECT_EQ(tank_->ApplyContacts(&touch, other->position), kTankContactNone);
  EXPECT_EQ(tank_->momentum[0], 40.0f);
  EXPECT_EQ(tank_->angularMomentum[2], 3.0f);
  EXPECT_EQ(other->momentum[0], 0.0f);
}

// A tank running into another pushes it by 1 / the tank rebound factor of its own push.
TEST_F(TankContactTest, TanksPushEachOther) {
  CTank* other = Create({.id = kId + 1, .x = 160, .y = 150});
  ASSERT_NE(other, nullptr);
  tank_->momentum[0] = 200.0f;
  R3xContact touch{};
  touch.contactClass = R3X_CONTACT_OBJECT;
  touch.target = other->smallCollisionActor;
  const float q[3] = {156, 150, other->position[2]};
  EXPECT_EQ(tank_->ApplyContacts(&touch, q), kTankContactRemoteTank);
  const float rebound = GetGameParamFloat(PARAM_TANK_REBOUND_IMPULSE_FACTOR);
  const float push = 200.0f * rebound;
  EXPECT_NEAR(tank_->momentum[0], 200.0f - push, 1e-3f);
  EXPECT_NEAR(other->momentum[0], push / rebound, 1e-3f);
}

// Driven into the other tank through the world, the tank stops against it and both get pushes.
TEST_F(TankContactTest, ATankDrivenIntoAnotherStopsAndPushes) {
  CTank* other = Create({.id = kId + 1, .x = 162, .y = 150});
  ASSERT_NE(other, nullptr);
  tank_->momentum[0] = tank_->mass * 120.0f;
  // The light tank's small body lies 1.4 below its medium one: the other tank stands that much
  // higher, so that the bodies meet level.
  other->position[2] += 1.4f;
  other->PlaceParts();
  const std::int32_t result = tank_->SimulatePhysics(0.1f);
  EXPECT_EQ(result, kTankContactRemoteTank);
  EXPECT_GT(other->momentum[0], 0.0f);
  EXPECT_LT(tank_->position[0], 162.0f - 4.0f);
}

// The own tank's sub-steps are bounded per frame, and a speed that is not a finite number counts
// as 0: the tank stands where it was.
TEST_F(TankPhysicsTest, TheOwnTanksSubStepsAlwaysEnd) {
  CTank local(*ParseTankCreateRecord(tank_test::CreatePayload({.id = kId, .x = 150, .y = 150})), 1);
  ASSERT_EQ(local.constructed, 1u);
  for (const float m : {1e30f, std::numeric_limits<float>::infinity()}) {
    local.momentum[0] = m;
    local.lastMoveTime = gFrameTime;
    clock_.Advance(33);
    gFrameTime = timeGetTime();
    float pose[6];
    local.Move(pose);
    EXPECT_NEAR(pose[0], 150.0f, 0.01f) << m;
    EXPECT_TRUE(std::isfinite(pose[2])) << m;
  }
}

}  // namespace
