#include "battle/arena/explosion.h"

#include <gtest/gtest.h>

#include "battle/arena/arena_world.h"
#include "battle/core/frame_time.h"
#include "tests/battle_arena/demo_arena_fixture.h"
#include "tests/support/test_world_builder.h"

namespace {

constexpr float kOpen[3] = {200.0f, 200.0f, 5.0f};

class ExplosionTest : public DemoArenaFixture {
 protected:
  void TearDown() override {
    DeleteAllExplosions();
    DemoArenaFixture::TearDown();
  }
};

// A kind-1 blast shows frame 6 at once and steps at 0.012 frames per millisecond; it finishes in
// the first update in which trunc(elapsed x 0.012) reaches 10.
TEST_F(ExplosionTest, OneShotBlastStepsThroughItsFramesAndParks) {
  CExplosion* blast = CExplosion::Spawn(1, kOpen);
  ASSERT_NE(blast, nullptr);
  EXPECT_EQ(blast->Frame(), 6);
  EXPECT_EQ(r3xIsActorHidden(blast->Actor()), 0);
  struct Step {
    std::uint32_t elapsed;
    std::int32_t frame;
    bool finished;
  };
  const Step steps[] = {
      {83, 6, false}, {84, 7, false}, {500, 12, false}, {833, 15, false}, {834, 15, true}};
  for (const Step& step : steps) {
    gFrameTime = 1000 + step.elapsed;
    UpdateAllExplosions();
    EXPECT_EQ(blast->Frame(), step.frame) << step.elapsed;
    EXPECT_EQ(blast->IsFinished(), step.finished) << step.elapsed;
  }
  EXPECT_EQ(r3xIsActorHidden(blast->Actor()), 1);
  const R3xPlacement parked = PlacementOf(blast->Actor());
  EXPECT_EQ(parked.x, kOpen[0]);
  EXPECT_EQ(parked.z, kCeiling - 2.0f);
}

TEST_F(ExplosionTest, KindsRunTheirFrameRangesAtTheirRates) {
  struct Case {
    int kind;
    std::int32_t first;
    std::uint32_t lastAt;  // ms until the last frame shows
    std::int32_t last;
  };
  const Case cases[] = {
      {2, 18, 500, 24}, {3, 25, 125, 27}, {4, 28, 125, 30}, {5, 36, 125, 38}, {6, 39, 63, 40}};
  for (const Case& c : cases) {
    gFrameTime = 1000;
    CExplosion* blast = CExplosion::Spawn(c.kind, kOpen);
    ASSERT_NE(blast, nullptr);
    EXPECT_EQ(blast->Frame(), c.first) << c.kind;
    gFrameTime = 1000 + c.lastAt;
    UpdateAllExplosions();
    EXPECT_EQ(blast->Frame(), c.last) << c.kind;
    EXPECT_FALSE(blast->IsFinished()) << c.kind;
    blast->Stop();
  }
}

TEST_F(ExplosionTest, LoopingKindsRunUntilStopped) {
  for (int kind : {0, 7}) {
    CExplosion* beam = CExplosion::Spawn(kind, kOpen);
    ASSERT_NE(beam, nullptr);
    for (std::uint32_t t = 1000; t < 11000; t += 50) {
      gFrameTime = t;
      UpdateAllExplosions();
      ASSERT_FALSE(beam->IsFinished()) << kind << " at " << t;
    }
    beam->Stop();
    EXPECT_TRUE(beam->IsFinished());
    EXPECT_EQ(r3xIsActorHidden(beam->Actor()), 1);
    EXPECT_EQ(PlacementOf(beam->Actor()).z, kCeiling - 2.0f);
  }
}

TEST_F(ExplosionTest, TheRequestAfterThirtyRunningGrowsThePoolByOne) {
  MakeExplosionPool();
  ASSERT_EQ(gExplosionList.size(), 30u);
  for (int i = 0; i < 30; ++i) {
    ASSERT_NE(CExplosion::Spawn(1, kOpen), nullptr);
  }
  EXPECT_EQ(gExplosionList.size(), 30u);
  CExplosion* grown = CExplosion::Spawn(1, kOpen);
  ASSERT_NE(grown, nullptr);
  EXPECT_EQ(gExplosionList.size(), 31u);
  EXPECT_EQ(gExplosionList.front().get(), grown);
  // Once one run is over its member serves the next request.
  gFrameTime += 834;
  UpdateAllExplosions();
  ASSERT_NE(CExplosion::Spawn(1, kOpen), nullptr);
  EXPECT_EQ(gExplosionList.size(), 31u);
}

TEST_F(ExplosionTest, BlastSpritesAreDrawnAdditive) {
  CExplosion* blast = CExplosion::Spawn(1, kOpen);
  ASSERT_NE(blast, nullptr);
  for (std::uint32_t action : {0u, 6u, 15u}) {
    auto* sprite = reinterpret_cast<R3x2DSprite*>(r3xGetActorPart(blast->Actor(), action, 0));
    ASSERT_EQ(sprite->header.type, R3X_TYPE_2D_SPRITE);
    EXPECT_EQ(r3xGet2DSpriteRenderMethod(sprite) & 0x1170000u, 0x1170000u) << action;
  }
}

// The half-space world, with or without the blast's definition.
class ExplosionEdgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(r3xInit(), R3X_DONE);
    world_ = MakeHalfSpaceWorld();
    ASSERT_NE(world_, nullptr);
    gWorld = world_;
    gFrameTime = 1000;
  }
  void TearDown() override {
    DeleteAllExplosions();
    gWorld = nullptr;
    r3xDestroyWorld(world_);
    r3xShutdown();
  }

  static constexpr float kInside[3] = {5.0f, 0.0f, 0.0f};
  static constexpr float kOutside[3] = {-5.0f, 0.0f, 0.0f};
  R3xWorld* world_ = nullptr;
};

// A request that starts nothing gives null rather than a parked member that the caller would
// then move or stop as its own.
TEST_F(ExplosionEdgeTest, ARequestThatStartsNothingGivesNull) {
  ASSERT_NE(MakeBareActorDef(world_, "EXPLODE_DEF", 43), nullptr);
  ASSERT_EQ(r3xFindRegionAt(world_, kOutside), nullptr);
  EXPECT_EQ(CExplosion::Spawn(1, kOutside), nullptr);
  EXPECT_EQ(CExplosion::Spawn(8, kInside), nullptr);
  EXPECT_EQ(CExplosion::Spawn(-1, kInside), nullptr);
  // The one grown member, empty, and nothing else touched.
  ASSERT_EQ(gExplosionList.size(), 1u);
  EXPECT_EQ(gExplosionList.front(), nullptr);
  CExplosion* blast = CExplosion::Spawn(1, kInside);
  ASSERT_NE(blast, nullptr);
  blast->Stop();
  EXPECT_EQ(CExplosion::Spawn(1, kOutside), nullptr);
  EXPECT_TRUE(blast->IsFinished());
  EXPECT_EQ(gExplosionList.size(), 2u);
}

TEST_F(ExplosionEdgeTest, DriftMovesAtFrameChangesAndEndsOutsideTheWorld) {
  ASSERT_NE(MakeBareActorDef(world_, "EXPLODE_DEF", 43), nullptr);
  const float start[3] = {3.0f, 0.0f, 0.0f};
  CExplosion* beam = CExplosion::Spawn(7, start);
  ASSERT_NE(beam, nullptr);
  beam->SetDrift(-1.0f, 0.0f, 0.5f);
  struct Step {
    std::uint32_t at;
    int result;
    float x;
  };
  // Frames change at 63, 125, 188 and 250 ms; the fourth step would leave the world.
  const Step steps[] = {
      {1030, 0, 3.0f}, {1063, 0, 2.0f}, {1125, 0, 1.0f}, {1188, 0, 0.0f}, {1250, 1, 0.0f}};
  for (const Step& step : steps) {
    gFrameTime = step.at;
    EXPECT_EQ(beam->Animate(), step.result) << step.at;
    R3xPlacement placement{};
    r3xGetActorPlacement(beam->Actor(), &placement);
    EXPECT_EQ(placement.x, step.x) << step.at;
  }
}

TEST_F(ExplosionEdgeTest, AGrownMemberWithoutItsDefinitionIsDiscarded) {
  EXPECT_EQ(CExplosion::Spawn(1, kInside), nullptr);
  ASSERT_EQ(gExplosionList.size(), 1u);
  EXPECT_EQ(gExplosionList.front(), nullptr);
  // An empty node is passed over by the update and the next request.
  UpdateAllExplosions();
  EXPECT_EQ(CExplosion::Spawn(1, kInside), nullptr);
  EXPECT_EQ(gExplosionList.size(), 2u);
}

}  // namespace
