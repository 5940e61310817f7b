#include "battle/arena/flare.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>

#include "arena_object_fixture.h"
#include "battle/arena/actor_owner.h"
#include "battle/arena/arena_geometry.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "common/messages.h"
#include "tests/support/failing_memory.h"

namespace {

// "!Flare Speed" 40 per 500 ms: 8 units in a 100 ms step, along +x at heading 0 and pitch 0.
constexpr std::uint32_t kStepMs = 100;
constexpr float kStepLength = 8.0f;

class FlareTest : public ArenaObjectTest {
 protected:
  void SetUp() override {
    ArenaObjectTest::SetUp();
    MakeModel("FLARE_DEF", 1, 0.5f, 0.5f);
    MakeModel("OBSTACLE_DEF", 1, 2.0f, 2.0f);
  }
  void TearDown() override {
    DeleteAllFlares();
    for (R3xActor* actor : obstacles_) {
      r3xDestroyActor(world_, actor);
    }
    owners_.clear();
    ArenaObjectTest::TearDown();
  }
  static void SetParam(std::size_t row, std::uint32_t bits) {
    GameParamTable[row].SetConfirmed(bits);
  }
  // An object of the address's kind whose actor's part is a sphere of radius 2 at the point.
  void PlaceObstacle(std::uint32_t address, float x, float y, float z) {
    owners_.push_back(std::make_unique<CMailbox>(address));
    const R3xPlacement at{x, y, z, 0.0f, 0.0f, 0.0f, -1};
    auto* definition = reinterpret_cast<R3xActorDef*>(r3xFindTag(world_, "OBSTACLE_DEF"));
    R3xActor* actor = r3xCreateActor(world_, definition, nullptr, &at, r3xNoCollisionVolume(),
                                     nullptr, 1.0f, 2.0f, ActorUserData(owners_.back().get()));
    ASSERT_NE(actor, nullptr);
    obstacles_.push_back(actor);
  }
  CFlare* Launch(float x = 100.0f, float y = 100.0f, float z = 10.0f) {
    LaunchFlare(x, y, z, 0.0f, 0.0f);
    return gFlareList != nullptr ? static_cast<CFlare*>(gFlareList->object) : nullptr;
  }
  // Steps the frame clock and the flares until the flare is lit; the steps taken.
  int FlyUntilLit(const CFlare* flare, int limit) {
    for (int step = 1; step <= limit; ++step) {
      Step(kStepMs);
      UpdateAllFlares();
      if (flare->IsLit()) {
        return step;
      }
    }
    return -1;
  }

  std::vector<std::unique_ptr<CMailbox>> owners_;
  std::vector<R3xActor*> obstacles_;
};

TEST_F(FlareTest, AFlareFliesAlongItsHeadingUntilTheFuseEnds) {
  const CFlare* flare = Launch();
  ASSERT_NE(flare, nullptr);
  EXPECT_EQ(flare->Timer(), FrameTime() + 1000);
  Step(kStepMs);
  UpdateAllFlares();
  EXPECT_FLOAT_EQ(PlacementOf(flare->Actor()).x, 100.0f + kStepLength);
  EXPECT_FLOAT_EQ(PlacementOf(flare->Actor()).y, 100.0f);
  // The fuse runs out after 1000 ms: the first update past that (the 11th) ignites.
  EXPECT_EQ(FlyUntilLit(flare, 20), 10);
}

TEST_F(FlareTest, TanksNeverStopAFlare) {
  PlaceObstacle(KIND_TANK | 1, 100.0f + 2.5f * kStepLength, 100.0f, 10.0f);
  const CFlare* flare = Launch();
  ASSERT_NE(flare, nullptr);
  EXPECT_EQ(FlyUntilLit(flare, 20), 11);  // the fuse, not the tank
  EXPECT_GT(PlacementOf(flare->Actor()).x, 100.0f + 5.0f * kStepLength);
}

TEST_F(FlareTest, ADefenseTowerOrReconGunIgnitesItOneStepBack) {
  for (const std::uint32_t kind : {KIND_DEFENSE, KIND_PERSONAL_DEFENSE, KIND_RECON_GUN}) {
    PlaceObstacle(kind | 1, 100.0f + 2.5f * kStepLength, 100.0f, 10.0f);
    const CFlare* flare = Launch();
    ASSERT_NE(flare, nullptr);
    EXPECT_EQ(FlyUntilLit(flare, 20), 3) << kind;
    // Struck in the third step: back where the second step ended.
    EXPECT_FLOAT_EQ(PlacementOf(flare->Actor()).x, 100.0f + 2.0f * kStepLength) << kind;
    EXPECT_TRUE(flare->HasLamp());
    EXPECT_NE(flare->Actor()->pointLight, nullptr);
    DeleteAllFlares();
    r3xDestroyActor(world_, obstacles_.back());
    obstacles_.pop_back();
  }
}

TEST_F(FlareTest, ALitFlareBurnsForExactlyItsDurationThenIsDeleted) {
  SetParam(PARAM_FLARE_SPEED, std::bit_cast<std::uint32_t>(0.0f));
  const CFlare* flare = Launch();
  ASSERT_NE(flare, nullptr);
  ASSERT_EQ(FlyUntilLit(flare, 20), 11);
  const float x = PlacementOf(flare->Actor()).x;
  EXPECT_EQ(x, 100.0f);  // no speed: it ignites where it was dropped
  const std::uint32_t litAt = FrameTime();
  EXPECT_EQ(flare->Timer(), litAt + 10000);
  EXPECT_EQ(CSharedLights::Users(), 1u);
  SetFrameTime(litAt + 10000);
  UpdateAllFlares();
  ASSERT_NE(gFlareList, nullptr);
  Step(1);
  UpdateAllFlares();
  EXPECT_EQ(gFlareList, nullptr);
  EXPECT_EQ(CSharedLights::Users(), 0u);
}

TEST_F(FlareTest, AFlareWhoseLightCannotBeMadeBurnsUnlitForItsDuration) {
  const CFlare* flare = Launch();
  ASSERT_NE(flare, nullptr);
  SetFrameTime(flare->Timer() + 1);
  {
    test_support::FailingMemory noMemory(0);
    UpdateAllFlares();
  }
  ASSERT_TRUE(flare->IsLit());
  EXPECT_FALSE(flare->HasLamp());
  EXPECT_EQ(flare->Actor()->pointLight, nullptr);
  EXPECT_EQ(CSharedLights::Users(), 0u);
  const std::uint32_t end = flare->Timer();
  SetFrameTime(end);
  UpdateAllFlares();
  ASSERT_NE(gFlareList, nullptr);
  Step(1);
  UpdateAllFlares();
  EXPECT_EQ(gFlareList, nullptr);
}

TEST_F(FlareTest, AnglesThatNoTurnGivesAreTheListeners) {
  gListenerPlacement = {0.0f, 0.0f, 0.0f, 100.0f, 20.0f, 5.0f, 0};
  LaunchFlare(100.0f, 100.0f, 10.0f, std::numeric_limits<float>::quiet_NaN(), 1e30f);
  ASSERT_NE(gFlareList, nullptr);
  const auto* flare = static_cast<const CFlare*>(gFlareList->object);
  EXPECT_EQ(flare->pose.heading, 100.0f);
  EXPECT_EQ(flare->pose.pitch, 20.0f);
  EXPECT_EQ(flare->pose.roll, 5.0f);
  EXPECT_EQ(PlacementOf(flare->Actor()).heading, 100.0f);
  gListenerPlacement = {};
}

TEST_F(FlareTest, WithoutItsModelNoFlareIsListed) {
  r3xRemoveTag(world_, "FLARE_DEF");
  EXPECT_EQ(Launch(), nullptr);
}

}  // namespace
