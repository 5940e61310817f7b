// Tanks in the demo arena drawn through the software board from its corner view, compared with
// reference pictures of the 320 x 240 view (ARENA_UPDATE_REFERENCES=1 rewrites them): three tanks
// of different chassis and teams on the floor, and a destroyed tank's debris in flight over its
// burning, smoking wreck.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/explosion.h"
#include "battle/arena/mover.h"
#include "battle/arena/smoke.h"
#include "battle/arena/tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "common/messages.h"
#include "tests/battle_arena/tank_arena.h"
#include "tests/support/demo_arena_scene.h"
#include "tests/support/reference_picture.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/demo_arena_map.h"

namespace {

class TankFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scene_.ok());
    InitGameParams();
    gGravity = -40.0f;
    gWorld = scene_.world();
    gArenaMap = map_.get();
    gWorldCeiling = 112.0f;
    mover_.neighbourSource = CollectTankNeighbours;
    gMover = &mover_;
    gFrameTime = 1000;
    scene_.Place(test_support::kArenaPlacements[0], 320, 240);
  }
  void TearDown() override {
    DeleteAllTanks();
    DeleteAllExplosions();
    DeleteAllSmoke();
    gMover = nullptr;
    gWorld = nullptr;
    gArenaMap = nullptr;
  }
  static CTank* Create(const tank_test::TankSpec& spec) {
    return CreateTankFromMessage(tank_test::CreatePayload(spec));
  }
  std::string Compare(const char* name) {
    EXPECT_EQ(scene_.DrawFrame(), 0);
    return test_support::CompareWithReferencePicture(
        std::string(ARENA_TANK_REFERENCE_DIR) + "/" + name + ".png", 0, 0, 320, 240);
  }

  test_support::DemoArenaScene scene_{ARENA_DEMO_PACK, ARENA_DEMO_EQUIP};
  std::unique_ptr<CArenaMap> map_ =
      std::make_unique<CArenaMap>(mkdata::EncodeArenaMap(mkdata::BuildDemoArenaMap()));
  CMover mover_;
};

TEST_F(TankFrames, ThreeTanksOnTheFloor) {
  ASSERT_NE(Create({.id = KIND_TANK | 1, .chassis = 0, .team = 0, .x = 82, .y = 122, .heading = 0}),
            nullptr);
  CTank* blue =
      Create({.id = KIND_TANK | 2, .chassis = 2, .team = 2, .x = 122, .y = 84, .heading = 100});
  ASSERT_NE(blue, nullptr);
  blue->turretHeading = 60.0f;
  blue->barrelPitch = 20.0f;
  blue->PlaceParts();
  ASSERT_NE(
      Create({.id = KIND_TANK | 3, .chassis = 4, .team = 1, .x = 100, .y = 100, .heading = 330}),
      nullptr);
  EXPECT_EQ(Compare("tanks_corner"), "");
}

TEST_F(TankFrames, DebrisOfADestroyedTank) {
  CTank* tank = Create({.id = KIND_TANK | 4, .chassis = 1, .team = 3, .x = 90, .y = 92});
  ASSERT_NE(tank, nullptr);
  std::srand(3);
  tank->LaunchDebris();
  for (int frame = 0; frame < 6; ++frame) {
    gFrameTime += 50;
    tank->UpdateDebris();
    UpdateAllSmoke();
    UpdateAllExplosions();
  }
  ASSERT_NE(tank->turretDebris.model, nullptr);
  EXPECT_EQ(Compare("tank_debris"), "");
}

}  // namespace
