#include "tests/battle_arena/demo_arena_fixture.h"

#include <vector>

#include "battle/arena/arena_world.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "engine/r3x_world.h"
#include "tests/support/test_world_builder.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/demo_arena_map.h"

void DemoArenaFixture::SetUp() {
  ASSERT_EQ(r3xInit(), R3X_DONE);
  InitGameParams();
  pack_ = r3xOpenWad(ARENA_DEMO_PACK, 64);
  ASSERT_NE(pack_, nullptr);
  world_ = r3xCreateWorld(nullptr, 0, nullptr);
  ASSERT_EQ(r3xLoadWorldFile("arena.wld", world_, pack_, nullptr, nullptr, nullptr), 0);
  // The arena objects' models, read after the arena's own file as the world start reads them.
  equipPack_ = r3xOpenWad(ARENA_DEMO_EQUIP, 64);
  ASSERT_NE(equipPack_, nullptr);
  ASSERT_EQ(r3xLoadWorldFile("equip.wld", world_, equipPack_, nullptr, nullptr, nullptr), 0);
  map_ = std::make_unique<CArenaMap>(mkdata::EncodeArenaMap(mkdata::BuildDemoArenaMap()));
  ASSERT_TRUE(map_->IsValid());
  ASSERT_EQ(map_->GetMaxHeight(), kCeiling);
  gWorld = world_;
  gArenaMap = map_.get();
  gWorldCeiling = kCeiling;
  mover_ = std::make_unique<CMover>();
  gMover = mover_.get();
  gFrameTime = 1000;
}

void DemoArenaFixture::TearDown() {
  gMover = nullptr;
  mover_.reset();
  gArenaMap = nullptr;
  gWorldCeiling = 0.0f;
  if (world_ != nullptr) {
    r3xDestroyWorld(world_);
  }
  gWorld = nullptr;
  gFrameTime = 0;
  r3xCloseWad(equipPack_);
  r3xCloseWad(pack_);
  r3xShutdown();
}

R3xPlacement DemoArenaFixture::PlacementOf(const R3xActor* actor) {
  R3xPlacement placement{};
  r3xGetActorPlacement(actor, &placement);
  return placement;
}

R3xWorld* MakeHalfSpaceWorld() {
  TestWorldSpec spec;
  spec.regionCount = 1;
  spec.nodes = {MakeTestSplitX(0.0f, 1, -1), MakeTestLeaf(0)};
  return MakeTestWorld(spec);
}

R3xActorDef* MakeBareActorDef(R3xWorld* world, const char* tag, std::uint32_t actions) {
  auto* table = static_cast<R3xAction*>(r3xMalloc(sizeof(R3xAction) * actions));
  std::vector<R3xObjectHeader*> parts(actions, nullptr);
  for (std::uint32_t i = 0; i < actions; ++i) {
    table[i].levelCount = 1;
    table[i].levels = static_cast<R3xLodLevel*>(r3xMalloc(sizeof(R3xLodLevel)));
    table[i].levels[0] = {0.0f, R3X_LOD_LAST_UPPER, static_cast<std::int32_t>(i)};
  }
  const R3xPlacement origin{1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -1};
  return r3xCreateActorDef(world, tag, actions, table, nullptr, &origin, nullptr, nullptr, 1.0f,
                           1.0f, 0, parts.data(), 0);
}
