#include "battle/arena/arena_models.h"

#include <gtest/gtest.h>

#include <bit>

#include "arena_object_fixture.h"
#include "battle/arena/defense_tower.h"
#include "battle/arena/recon.h"
#include "battle/arena/recon_gun.h"
#include "common/messages.h"
#include "tests/support/word_payload.h"

namespace {

using test_support::WordPayload;

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

using ArenaModelsTest = ArenaObjectTest;

// The team objects take their definitions and scales from the model table's rows.
TEST_F(ArenaModelsTest, TeamObjectsAreMadeFromTheirRowsAndShownAtTheirScales) {
  MakeModel("RECON_DEF", 16);
  MakeModel("RECONGUN_DEF", 20);
  MakeModel("DRONE_DEF", 12);
  MakeModel("FLAG_DEF", 4);
  MakeModel("FLARE_DEF", 1);
  constexpr std::uint32_t kRecon = 0x30001;
  constexpr std::uint32_t kGun = KIND_RECON_GUN | 4;
  constexpr std::uint32_t kTower = KIND_DEFENSE | 7;
  CreateRecon(WordPayload({Bits(100.0f), Bits(100.0f), Bits(0.0f), kRecon, 1, 1}));
  CreateReconGun(WordPayload({Bits(120.0f), Bits(100.0f), Bits(0.0f), Bits(50.0f), kGun, 1}));
  CreateTower(WordPayload({kTower, 1, 0, 0, Bits(150.0f), Bits(160.0f)}));
  ASSERT_NE(FindRecon(kRecon), nullptr);
  ASSERT_NE(FindReconGun(kGun), nullptr);
  ASSERT_NE(FindTower(kTower), nullptr);
  struct Case {
    const R3xActor* actor;
    std::int32_t code;
    float scale;
  };
  const Case cases[] = {
      {FindRecon(kRecon)->Actor(), kModelRecon, 1.0f},
      {FindReconGun(kGun)->Actor(), kModelReconGun, 3.0f},
      {FindTower(kTower)->Actor(), kModelDrone, 4.0f * 1.2f},  // the tower enlarges its row's
  };
  for (const Case& c : cases) {
    ASSERT_NE(c.actor, nullptr) << c.code;
    EXPECT_EQ(c.actor->definition, FindArenaModel(c.code)) << c.code;
    EXPECT_FLOAT_EQ(c.actor->scale, c.scale) << c.code;
  }
  EXPECT_EQ(FindArenaModel(kModelFlag),
            reinterpret_cast<R3xActorDef*>(r3xFindTag(world_, "FLAG_DEF")));
  EXPECT_EQ(FindArenaModel(kModelFlare),
            reinterpret_cast<R3xActorDef*>(r3xFindTag(world_, "FLARE_DEF")));
  DeleteAllTowers();
  DeleteAllReconGuns();
  DeleteAllRecons();
}

}  // namespace
