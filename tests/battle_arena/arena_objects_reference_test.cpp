// The arena's shots, missiles, mines, explosions and smoke in the demo arena, drawn through the
// software board from a camera low over the floor, compared with the pictures in reference/
// (ARENA_UPDATE_REFERENCES=1 rewrites them). The demo's models show every object as its card.
#include <gtest/gtest.h>

#include <bit>
#include <memory>
#include <string>

#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet.h"
#include "battle/arena/explosion.h"
#include "battle/arena/mine.h"
#include "battle/arena/missile.h"
#include "battle/arena/mover.h"
#include "battle/arena/smoke.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "common/messages.h"
#include "tests/support/demo_arena_scene.h"
#include "tests/support/reference_picture.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/demo_arena_map.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
// From the floor by the near wall, looking along +y at the objects 30 to 60 ahead.
constexpr test_support::ArenaPlacement kView{"objects", 200.0f, 20.0f, 6.0f, 128.0f, 4.0f};
constexpr std::uint32_t kTank = KIND_TANK | 1;

class ArenaObjectFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scene_.ok());
    InitGameParams();
    map_ = std::make_unique<CArenaMap>(mkdata::EncodeArenaMap(mkdata::BuildDemoArenaMap()));
    ASSERT_TRUE(map_->IsValid());
    gWorld = scene_.world();
    gArenaMap = map_.get();
    gWorldCeiling = map_->GetMaxHeight();
    gMover = &mover_;
    gFrameTime = 1000;
    scene_.Place(kView, kWidth, kHeight);
  }
  void TearDown() override {
    DeleteAllMissiles();
    DeleteAllMines();
    DeleteAllSmoke();
    DeleteAllExplosions();
    gMover = nullptr;
    gArenaMap = nullptr;
    gWorld = nullptr;
    gWorldCeiling = 0.0f;
    gFrameTime = 0;
  }

  ::testing::AssertionResult Matches(const std::string& name) {
    if (scene_.DrawFrame() != 0) {
      return ::testing::AssertionFailure() << "the frame was not drawn";
    }
    const std::string difference = test_support::CompareWithReferencePicture(
        std::string(ARENA_REFERENCE_DIR) + "/" + name + ".png", 0, 0, kWidth, kHeight);
    if (!difference.empty()) {
      return ::testing::AssertionFailure() << difference;
    }
    return ::testing::AssertionSuccess();
  }

  test_support::DemoArenaScene scene_{ARENA_DEMO_PACK, ARENA_DEMO_EQUIP};
  std::unique_ptr<CArenaMap> map_;
  CMover mover_;
};

// A frag shell close ahead on the left, climbing away, and to the right the blast of another,
// 300 ms on.
TEST_F(ArenaObjectFrames, ACannonShotInFlightAndItsExplosion) {
  const R3xPlacement muzzle{197.0f, 26.0f, 5.0f, 140.0f, 10.0f, 0.0f, 0};
  CBullet shell(8, muzzle, kTank, 30, 40.0f, 0);
  ASSERT_FALSE(shell.IsFinished());
  gFrameTime += 50;
  ASSERT_EQ(shell.Update(), 0u);
  const float blast[3] = {212.0f, 60.0f, 3.0f};
  ASSERT_NE(CExplosion::Spawn(1, blast), nullptr);
  gFrameTime += 300;
  UpdateAllExplosions();
  EXPECT_TRUE(Matches("shell_and_blast"));
}

// A phoenix missile (the demo's box) crossing from the right, its exhaust glow 2.5 behind it.
// Its particle trail is the sky pass's, which draws nothing into the 8-bit palettised view.
TEST_F(ArenaObjectFrames, AMissileWithItsExhaust) {
  const R3xPlacement launch{210.0f, 28.0f, 7.0f, 200.0f, 0.0f, 0.0f, 0};
  CMissile* missile = ListMissile(std::make_unique<CMissile>(launch, 1, kTank, 0));
  ASSERT_NE(missile, nullptr);
  for (int i = 0; i < 3; ++i) {
    gFrameTime += 30;
    UpdateAllMissiles();
  }
  ASSERT_EQ(gMissileList.size(), 1u);
  EXPECT_TRUE(Matches("missile"));
}

// A proximity mine of team 1 resting on the floor ahead.
TEST_F(ArenaObjectFrames, AMineOnTheFloor) {
  gGravity = -10.0f;
  const std::uint32_t record[7] = {2,
                                   KIND_MINE_A | 1,
                                   1,
                                   kTank,
                                   std::bit_cast<std::uint32_t>(200.0f),
                                   std::bit_cast<std::uint32_t>(40.0f),
                                   std::bit_cast<std::uint32_t>(3.0f)};
  CreateMine({reinterpret_cast<const std::uint8_t*>(record), sizeof record});
  ASSERT_EQ(gMineList.size(), 1u);
  for (int i = 0; i < 100 && gMineList.front()->IsFalling(); ++i) {
    gFrameTime += 20;
    UpdateAllMines();
  }
  gGravity = 0.0f;
  EXPECT_FALSE(gMineList.front()->IsFalling());
  EXPECT_TRUE(Matches("mine"));
}

// A wreck (the demo's box) with its fire (the looping kind 0) and smoke puffs of kind 1 rising
// over it, started 200 ms apart.
TEST_F(ArenaObjectFrames, SmokeOverAWreck) {
  const R3xPlacement hull{200.0f, 55.0f, 1.5f, 30.0f, 0.0f, 0.0f, 0};
  auto* tank = reinterpret_cast<R3xActorDef*>(r3xFindTag(scene_.world(), "TANK_ACTORDEF"));
  ASSERT_NE(r3xCreateActor(scene_.world(), tank, nullptr, &hull, nullptr, nullptr, 1.5f, 0.0f, 0),
            nullptr);
  const float wreck[3] = {200.0f, 55.0f, 3.0f};
  ASSERT_NE(CExplosion::Spawn(0, wreck), nullptr);
  for (int i = 0; i < 6; ++i) {
    const float above[3] = {wreck[0], wreck[1], wreck[2] + 2.0f};
    ASSERT_NE(CSmoke::Spawn(1, above, 4000), nullptr);
    for (int step = 0; step < 10; ++step) {
      gFrameTime += 20;
      UpdateAllSmoke();
      UpdateAllExplosions();
    }
  }
  EXPECT_TRUE(Matches("smoke_over_wreck"));
}

}  // namespace
