// The team objects drawn in the demo arena through the software board, compared with reference
// pictures of the 320 x 240 view (ARENA_UPDATE_REFERENCES=1 rewrites them): a defense tower
// descending from under the ceiling, a recon gun, and a burning flare lighting the floor around
// it, and a flag carried by a tank, each with the equipment world's model for its tag.
#include <gtest/gtest.h>

#include <bit>
#include <memory>
#include <string>

#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/defense_tower.h"
#include "battle/arena/flag.h"
#include "battle/arena/flare.h"
#include "battle/arena/mover.h"
#include "battle/arena/recon_gun.h"
#include "battle/arena/shared_lights.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "common/messages.h"
#include "tests/support/demo_arena_scene.h"
#include "tests/support/reference_picture.h"
#include "tests/support/word_payload.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/demo_arena_map.h"

namespace {

using test_support::ArenaPlacement;
using test_support::WordPayload;

constexpr float kCeiling = 112.0f;

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

class TeamObjectFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    InitGameParams();
    ASSERT_TRUE(scene_.ok());
    gWorld = scene_.world();
    gArenaMap = &map_;
    gWorldCeiling = kCeiling;
    gMover = mover_.get();
    gFrameTime = 1000;
  }
  void TearDown() override {
    DeleteAllTowers();
    DeleteAllReconGuns();
    DeleteAllFlares();
    gMover = nullptr;
    gArenaMap = nullptr;
    gWorld = nullptr;
    gWorldCeiling = 0.0f;
    gFrameTime = 0;
  }
  void Frames(int count, void (*update)()) {
    for (int i = 0; i < count; ++i) {
      gFrameTime += 100;
      update();
    }
  }
  std::string Draw(const ArenaPlacement& at, const char* name) {
    scene_.Place(at, 320, 240);
    EXPECT_EQ(scene_.DrawFrame(), 0);
    return test_support::CompareWithReferencePicture(
        std::string(ARENA_REFERENCE_DIR) + "/" + name + ".png", 0, 0, 320, 240);
  }

  test_support::DemoArenaScene scene_{ARENA_DEMO_PACK, ARENA_DEMO_EQUIP};
  CArenaMap map_{mkdata::EncodeArenaMap(mkdata::BuildDemoArenaMap())};
  std::unique_ptr<CMover> mover_ = std::make_unique<CMover>();
};

TEST_F(TeamObjectFrames, ADefenseTowerInFlight) {
  CreateTower(WordPayload({KIND_DEFENSE | 1, 2, 0, 0, Bits(200.0f), Bits(200.0f)}));
  const CDefenseTower* tower = FindTower(KIND_DEFENSE | 1);
  ASSERT_NE(tower, nullptr);
  Frames(10, UpdateAllTowers);
  ASSERT_EQ(tower->GetState(), CDefenseTower::kFlying);
  EXPECT_EQ(Draw({"tower", 200.0f, 150.0f, 80.0f, 128.0f, 0.0f}, "tower_in_flight"), "");
}

TEST_F(TeamObjectFrames, AReconGun) {
  CreateReconGun(
      WordPayload({Bits(200.0f), Bits(200.0f), Bits(0.0f), Bits(60.0f), KIND_RECON_GUN | 1, 1}));
  ASSERT_NE(FindReconGun(KIND_RECON_GUN | 1), nullptr);
  EXPECT_EQ(Draw({"gun", 200.0f, 160.0f, 40.0f, 128.0f, 0.0f}, "recon_gun"), "");
}

TEST_F(TeamObjectFrames, ALitFlareLightsTheFloorAroundIt) {
  GameParamTable[PARAM_FLARE_SPEED].SetConfirmed(std::bit_cast<std::uint32_t>(0.0f));
  LaunchFlare(200.0f, 200.0f, 15.0f, 0.0f, 0.0f);
  ASSERT_NE(gFlareList, nullptr);
  const auto* flare = static_cast<const CFlare*>(gFlareList->object);
  // Night: the demo's walls and floor, lit at a constant full brightness, turned down so that
  // the lamp shows.
  for (std::int32_t index = 0;; ++index) {
    R3xRegion* region = r3xGetRegion(gWorld, index);
    if (region == nullptr) {
      break;
    }
    auto* mesh = static_cast<R3xMeshGeometry*>(region->geometry);
    if (mesh == nullptr || mesh->type != R3X_TYPE_MESH_GEOMETRY) {
      continue;
    }
    for (std::uint32_t face = 0; face < mesh->faceCount; ++face) {
      mesh->faces[face].surface.intensity = 0.25f;
    }
  }
  Frames(11, UpdateAllFlares);
  ASSERT_TRUE(flare->IsLit());
  ASSERT_TRUE(flare->HasLamp());
  // The render context's switches for point lights, as the frame sets them.
  CSharedLights switches(gWorld);
  switches.Attach(scene_.render(), nullptr, 1);
  EXPECT_EQ(Draw({"flare", 200.0f, 150.0f, 30.0f, 128.0f, -40.0f}, "lit_flare"), "");
}

TEST_F(TeamObjectFrames, AFlagOnATank) {
  // A small stand-in tank: the demo's box at scale 2.
  const R3xPlacement tank{150.0f, 110.0f, 2.0f, 0.0f, 0.0f, 0.0f, 0};
  R3xActor* body =
      r3xCreateActor(gWorld, reinterpret_cast<R3xActorDef*>(r3xFindTag(gWorld, "TANK_ACTORDEF")),
                     nullptr, &tank, nullptr, nullptr, 2.0f, 0.0f, 0);
  ASSERT_NE(body, nullptr);
  CreateFlag(WordPayload({KIND_FLAG | 1, 5, Bits(180.0f), Bits(150.0f), Bits(0.0f), 0}));
  CFlag* flag = FindFlag(KIND_FLAG | 1);
  ASSERT_NE(flag, nullptr);
  CMailbox::PostAnonymous(KIND_FLAG | 1, MSG_FLAG_TAKEN, 4, WordPayload({KIND_TANK | 1}).data());
  gFrameTime += 100;
  UpdateAllFlags();
  ASSERT_FALSE(flag->IsFree());
  flag->PlaceAt(tank);
  EXPECT_EQ(Draw({"flag", 150.0f, 90.0f, 8.0f, 128.0f, 0.0f}, "flag_on_tank"), "");
  DeleteAllFlags();
  r3xDestroyActor(gWorld, body);
}

}  // namespace
