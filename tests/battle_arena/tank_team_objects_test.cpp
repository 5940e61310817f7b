// The tanks together with the team objects: the guns see the tank list, a taken flag rides on its
// carrier, and the tanks make the flares they drop and hear of.
#include <gtest/gtest.h>

#include <bit>

#include "base/byte_writer.h"
#include "battle/arena/arena_targets.h"
#include "battle/arena/arena_tools.h"
#include "battle/arena/bullet.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/flag.h"
#include "battle/arena/flare.h"
#include "battle/arena/recon_gun.h"
#include "battle/arena/tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/vector3.h"
#include "common/messages.h"
#include "tests/battle_arena/tank_arena.h"
#include "tests/support/word_payload.h"

namespace {

using tank_test::TankArena;
using test_support::WordPayload;

constexpr std::uint32_t kRed = KIND_TANK | 1;
constexpr std::uint32_t kGreen = KIND_TANK | 2;

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

std::vector<std::uint8_t> Floats(std::initializer_list<float> values) {
  arena::ByteWriter writer;
  for (float value : values) {
    writer.F32(value);
  }
  return writer.bytes();
}

R3xPlacement PlacementOf(const R3xActor* actor) {
  R3xPlacement at{};
  r3xGetActorPlacement(actor, &at);
  return at;
}

int FlareCount() {
  int count = 0;
  for (const LinkNode* node = gFlareList; node != nullptr; node = node->next) {
    ++count;
  }
  return count;
}

using TankTeamObjectsTest = TankArena;

// The guns' view is the tank list: each tank's address, body, team and death, and whether and
// how fast it moves along its forward axis.
TEST_F(TankTeamObjectsTest, TheGunsSeeEveryTankOnTheTankList) {
  CTank* red = Create({.id = kRed, .team = 0, .x = 100, .y = 100});
  CTank* green = Create({.id = kGreen, .team = 1, .x = 200, .y = 100});
  ASSERT_NE(red, nullptr);
  ASSERT_NE(green, nullptr);
  red->momentum[0] = 12.0f;
  red->momentum[1] = 5.0f;
  green->dead = 1;
  const auto targets = ListArenaTargets();
  ASSERT_EQ(targets.size(), 2u);
  for (const ArenaTarget& target : targets) {
    const CTank* tank = target.id == kRed ? red : green;
    EXPECT_EQ(target.bodyActor, tank->bodyActor);
    EXPECT_EQ(target.team, static_cast<std::int32_t>(tank->team));
    EXPECT_EQ(target.dead, tank == green);
    EXPECT_EQ(target.moving, tank == red);
    EXPECT_FLOAT_EQ(target.forwardSpeed,
                    Dot(tank->orientation[0], tank->momentum) * tank->inverseMass);
  }
  EXPECT_NE(targets[0].id, targets[1].id);
  EXPECT_EQ(FindArenaTarget(kGreen)->bodyActor, green->bodyActor);
  KillTank(kGreen);
  Frame();
  EXPECT_EQ(FindArenaTarget(kGreen), nullptr);
}

// A recon gun of another team picks a tank from the tank list and shoots at it.
TEST_F(TankTeamObjectsTest, AReconGunShootsAtAnEnemyTankOfTheTankList) {
  ASSERT_NE(Create({.id = kRed, .team = 0, .x = 100, .y = 100}), nullptr);
  gSphereVolume02 = r3xCreateSphereVolume(0.2f);
  MakeBulletPool();
  constexpr std::uint32_t kGun = KIND_RECON_GUN | 3;
  CreateReconGun(WordPayload({Bits(130.0f), Bits(100.0f), Bits(0.0f), Bits(50.0f), kGun, 1}));
  CReconGun* gun = FindReconGun(kGun);
  ASSERT_NE(gun, nullptr);
  gFrameTime += 1;
  UpdateAllReconGuns();
  EXPECT_EQ(gun->Target(), kRed);
  int shots = 0;
  for (const auto& bullet : gBulletPool) {
    if (bullet != nullptr && !bullet->IsFinished()) {
      ++shots;
      EXPECT_EQ(bullet->Owner(), kGun);
    }
  }
  EXPECT_EQ(shots, 1);
  DeleteAllReconGuns();
  gBulletPool.clear();
  r3xFreeVolumeRecord(reinterpret_cast<R3xVolume*>(gSphereVolume02));
  gSphereVolume02 = nullptr;
}

// The server gives a flag to a tank; the tank, told by the flag, carries it 3.0 above its point
// from then on.
TEST_F(TankTeamObjectsTest, AFlagTakenByATankRidesOnIt) {
  CTank* red = Create({.id = kRed, .x = 100, .y = 100});
  ASSERT_NE(red, nullptr);
  constexpr std::uint32_t kFlag = KIND_FLAG | 1;
  CreateFlag(WordPayload({kFlag, 1, Bits(140.0f), Bits(120.0f), Bits(5.0f), 0}));
  CFlag* flag = FindFlag(kFlag);
  ASSERT_NE(flag, nullptr);
  Frame();
  EXPECT_EQ(flag->Pose().x, 140.0f);
  Send(kFlag, MSG_FLAG_TAKEN, WordPayload({kRed}));
  UpdateAllFlags();  // the flag tells its carrier
  Frame();           // the tank takes it and places it
  EXPECT_EQ(red->carriedFlag, kFlag);
  EXPECT_FALSE(flag->IsFree());
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(flag->Pose().x, red->position[0]);
    EXPECT_FLOAT_EQ(flag->Pose().y, red->position[1]);
    EXPECT_FLOAT_EQ(flag->Pose().z, red->position[2] + CFlag::kCarryHeight);
    EXPECT_EQ(PlacementOf(flag->Actor()).x, flag->Pose().x);
    Frame();
  }
  DeleteAllFlags();
}

// A tank makes the flares it drops, and another client's flares from their announcement; a
// short announcement makes none.
TEST_F(TankTeamObjectsTest, TanksMakeTheFlaresTheyDropAndHearOf) {
  CTank* red = Create({.id = kRed, .x = 100, .y = 100});
  ASSERT_NE(red, nullptr);
  red->DropFlares(100.0f, 100.0f, 6.0f, 64.0f, 20.0f);
  ASSERT_EQ(FlareCount(), 1);
  const auto* dropped = static_cast<const CFlare*>(gFlareList->object);
  EXPECT_EQ(dropped->pose.x, 100.0f);
  EXPECT_EQ(dropped->pose.heading, 64.0f);
  Send(kRed, MSG_FIRE_FLARES, Floats({120.0f, 90.0f, 7.0f, 128.0f, 10.0f}));
  Send(kRed, MSG_FIRE_FLARES, Floats({120.0f, 90.0f, 7.0f, 128.0f}));
  Frame();
  ASSERT_EQ(FlareCount(), 2);
  const auto* heard = static_cast<const CFlare*>(gFlareList->next->object);
  EXPECT_EQ(PlacementOf(heard->Actor()).x, 120.0f);
  EXPECT_EQ(PlacementOf(heard->Actor()).y, 90.0f);
  EXPECT_EQ(heard->pose.pitch, 10.0f);
  DeleteAllFlares();
}

}  // namespace
