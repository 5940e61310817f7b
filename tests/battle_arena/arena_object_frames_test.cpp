// The team objects drawn in the demo arena through the software board, compared with reference
// pictures of the 320 x 240 view (ARENA_UPDATE_REFERENCES=1 rewrites them): a defense tower
// descending from under the ceiling, a recon gun, and a burning flare lighting the floor around
// it. The equipment world's models are not in the demo pack, so the objects' definitions are
// made here from the demo's box (towers, recon guns) and spark (flares).
#include <gtest/gtest.h>

#include <bit>
#include <memory>
#include <string>
#include <vector>

#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/defense_tower.h"
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

class ArenaObjectFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    InitGameParams();
    ASSERT_TRUE(scene_.ok());
    gWorld = scene_.world();
    gArenaMap = &map_;
    gWorldCeiling = kCeiling;
    gMover = mover_.get();
    gFrameTime = 1000;
    ASSERT_TRUE(MakeModelFrom("DRONE_DEF", "TANK_ACTORDEF", 12));
    ASSERT_TRUE(MakeModelFrom("RECONGUN_DEF", "TANK_ACTORDEF", 20));
    ASSERT_TRUE(MakeModelFrom("FLARE_DEF", "BULLETS_ACTORDEF", 1));
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
  // A model of `actions` actions, each showing the first part of the demo's definition.
  bool MakeModelFrom(const char* tag, const char* sourceTag, std::uint32_t actions) {
    auto* source = reinterpret_cast<R3xActorDef*>(r3xFindTag(gWorld, sourceTag));
    if (source == nullptr) {
      return false;
    }
    std::vector<R3xObjectHeader*> parts(actions, source->defaultInstance->parts[0]);
    auto* actionArray = static_cast<R3xAction*>(r3xMalloc(actions * sizeof(R3xAction)));
    for (std::uint32_t i = 0; i < actions; ++i) {
      actionArray[i].levelCount = 1;
      actionArray[i].levels = static_cast<R3xLodLevel*>(r3xMalloc(sizeof(R3xLodLevel)));
      actionArray[i].levels[0] = {0.0f, R3X_LOD_LAST_UPPER, static_cast<std::int32_t>(i)};
    }
    const R3xPlacement origin{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -1};
    return r3xCreateActorDef(gWorld, tag, actions, actionArray, nullptr, &origin, nullptr, nullptr,
                             1.0f, 1.0f, 0, parts.data(), 0) != nullptr;
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

  test_support::DemoArenaScene scene_{ARENA_DEMO_PACK};
  CArenaMap map_{mkdata::EncodeArenaMap(mkdata::BuildDemoArenaMap())};
  std::unique_ptr<CMover> mover_ = std::make_unique<CMover>();
};

TEST_F(ArenaObjectFrames, ADefenseTowerInFlight) {
  CreateTower(WordPayload({KIND_DEFENSE | 1, 2, 0, 0, Bits(200.0f), Bits(200.0f)}));
  const CDefenseTower* tower = FindTower(KIND_DEFENSE | 1);
  ASSERT_NE(tower, nullptr);
  Frames(10, UpdateAllTowers);
  ASSERT_EQ(tower->GetState(), CDefenseTower::kFlying);
  EXPECT_EQ(Draw({"tower", 200.0f, 150.0f, 80.0f, 128.0f, 0.0f}, "tower_in_flight"), "");
}

TEST_F(ArenaObjectFrames, AReconGun) {
  CreateReconGun(
      WordPayload({Bits(200.0f), Bits(200.0f), Bits(0.0f), Bits(60.0f), KIND_RECON_GUN | 1, 1}));
  ASSERT_NE(FindReconGun(KIND_RECON_GUN | 1), nullptr);
  EXPECT_EQ(Draw({"gun", 200.0f, 160.0f, 40.0f, 128.0f, 0.0f}, "recon_gun"), "");
}

TEST_F(ArenaObjectFrames, ALitFlareLightsTheFloorAroundIt) {
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

}  // namespace
