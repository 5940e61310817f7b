#include <gtest/gtest.h>

#include <cmath>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "battle/arena/explosion.h"
#include "battle/arena/motion_model.h"
#include "battle/arena/tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "common/messages.h"
#include "tests/battle_arena/tank_arena.h"

namespace {

using tank_test::TankArena;

constexpr std::uint32_t kId = KIND_TANK | 6;

class TankCombatTest : public TankArena {
 protected:
  void SetUp() override {
    TankArena::SetUp();
    tank_ = Create({.id = kId, .x = 150, .y = 150});
    ASSERT_NE(tank_, nullptr);
  }
  void ClearMomentum() { std::fill(tank_->momentum, tank_->momentum + 3, 0.0f); }
  CTank* tank_ = nullptr;
};

// The shot word fired: a phase laser when the multiplier is not exactly 1 or the kind was one
// already (a received phase laser is fired at 2.0); kinds that do not fire give 0.
TEST_F(TankCombatTest, TheShotWordFired) {
  struct Case {
    std::uint32_t word;
    float multiplier;
    std::uint32_t fired;
  };
  const Case cases[] = {
      {4, 1.0f, 4},
      {4, 1.8f, 12},
      {12, 1.0f, 12},
      {14, 1.0f, 14},
      {6, 1.0f, 6},
      {10, 1.0f, 10},
      {0x01000009, 1.0f, 0x01000009},
      {0, 1.0f, 0},
      {2, 1.0f, 0},
      {11, 1.0f, 0},
      {15, 1.0f, 0},
      {0x00010003, 1.5f, 0x00010003},
  };
  const R3xPlacement muzzle{150, 150, 3, 0, 0, 0, 0};
  for (const Case& c : cases) {
    EXPECT_EQ(tank_->FireShell(c.word, muzzle, c.multiplier), c.fired) << c.word;
  }
}

// Firing pushes the tank back along the shot, its vertical part weakened by the air factor; a
// kind that does not fire pushes nothing.
TEST_F(TankCombatTest, RecoilAlongTheShot) {
  const float impulse = GetGameParamFloat(PARAM_AP_SHELL_LAUNCH_IMPULSE);
  const float air = GetGameParamFloat(PARAM_IMPULSE_RECOIL_AIR_FACTOR);
  ClearMomentum();
  tank_->FireShell(10, {150, 150, 3, 0, 0, 0, 0}, 1.0f);
  EXPECT_NEAR(tank_->momentum[0], -impulse, 1e-3f);
  EXPECT_NEAR(tank_->momentum[1], 0.0f, 1e-3f);
  EXPECT_NEAR(tank_->momentum[2], 0.0f, 1e-3f);
  ClearMomentum();
  tank_->FireShell(10, {150, 150, 3, 128, 128, 0, 0}, 1.0f);
  EXPECT_NEAR(tank_->momentum[0], 0.0f, 1e-3f);
  EXPECT_NEAR(tank_->momentum[2], -impulse * air, 1e-3f);
  ClearMomentum();
  tank_->FireShell(11, {150, 150, 3, 0, 0, 0, 0}, 1.0f);
  EXPECT_EQ(tank_->momentum[0], 0.0f);
}

TEST_F(TankCombatTest, AFireMessageFiresAndSetsTheTrigger) {
  arena::ByteWriter writer;
  for (float value : {150.0f, 150.0f, 3.0f, 0.0f, 0.0f}) {
    writer.F32(value);
  }
  writer.U32(10);
  ClearMomentum();
  Send(kId, MSG_TANK_FIRE, writer.bytes());
  Frame();
  EXPECT_EQ(tank_->weaponWord, 10u);
  EXPECT_LT(tank_->momentum[0], 0.0f);
}

// The side a hit comes from: front or rear by the nearer point 2 units along the hull, ties to
// the rear, both when a blast reaches the farther point.
TEST_F(TankCombatTest, TheHitSideTable) {
  R3xPlacement body{};
  r3xGetActorPlacement(tank_->bodyActor, &body);
  struct Case {
    float dx;
    float radius;
    std::uint32_t side;
  };
  const Case cases[] = {
      {10, 0, 1},     {-10, 0, 2}, {0, 0, 2},      {0, 1, 2},       {0, 3, 3},
      {10, 12.5f, 3}, {10, 11, 1}, {-10, 8.5f, 2}, {-10, 12.5f, 3},
  };
  for (const Case& c : cases) {
    const float point[3] = {body.x + c.dx, body.y, body.z};
    EXPECT_EQ(tank_->GetHitSide(point, c.radius), c.side) << c.dx << " " << c.radius;
  }
}

// A hit on a remote tank by a tower or a recon gun is not reported; the same hit on the own tank
// is, and so is a tank's hit on a remote tank.
TEST_F(TankCombatTest, HitReports) {
  CMailbox network(kNetworkAddress);
  std::uint32_t length = 0;
  tank_->ReportHit(30, KIND_DEFENSE | 1, 1, 11);
  tank_->ReportHit(30, KIND_RECON_GUN | 1, 1, 11);
  tank_->ReportHit(30, KIND_PERSONAL_DEFENSE | 1, 1, 12);
  EXPECT_EQ(network.Count(), 0u);
  tank_->ReportHit(30, KIND_TANK | 9, 3, 9);
  const MailboxMessagePtr report = network.Receive(length);
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->type, MSG_TANK_HIT);
  EXPECT_EQ(report->sender, kId);
  arena::ByteReader reader(report->Bytes());
  EXPECT_EQ(reader.U32(), kId);
  EXPECT_EQ(reader.U32(), 30u);
  EXPECT_EQ(reader.U32(), 3u);
  EXPECT_EQ(reader.U32(), KIND_TANK | 9);
  EXPECT_EQ(reader.U32(), 9u);
  EXPECT_TRUE(reader.ok());
  CTank local(*ParseTankCreateRecord(tank_test::CreatePayload({.id = KIND_TANK | 2, .x = 60})), 1);
  local.ReportHit(30, KIND_DEFENSE | 1, 1, 11);
  EXPECT_EQ(network.Count(), 1u);
}

TEST_F(TankCombatTest, OnlyTheOwnTankReportsItsFlares) {
  CMailbox network(kNetworkAddress);
  ClearMomentum();
  tank_->DropFlares(150, 150, 3, 0, 0);
  EXPECT_EQ(network.Count(), 0u);
  EXPECT_NEAR(tank_->momentum[0], -GetGameParamFloat(PARAM_FLARE_LAUNCH_IMPULSE), 1e-3f);
  CTank local(*ParseTankCreateRecord(tank_test::CreatePayload({.id = KIND_TANK | 2, .x = 60})), 1);
  local.DropFlares(60, 100, 3, 0, 0);
  std::uint32_t length = 0;
  const MailboxMessagePtr flares = network.Receive(length);
  ASSERT_NE(flares, nullptr);
  EXPECT_EQ(flares->type, MSG_FIRE_FLARES);
  EXPECT_EQ(length, 20u);
}

TEST_F(TankCombatTest, ResetStateClearsTheCombatState) {
  tank_->stealthOn = tank_->cloakState = 1;
  tank_->damageLevel = 2;
  tank_->turretHeading = 30.0f;
  tank_->carriedFlag = KIND_FLAG | 1;
  tank_->shieldBits = 0x55;
  gFrameTime += 500;
  tank_->ResetState();
  EXPECT_EQ(tank_->cloakState, 0u);
  EXPECT_EQ(tank_->damageLevel, 0);
  EXPECT_EQ(tank_->turretHeading, 0.0f);
  EXPECT_EQ(tank_->carriedFlag, 0u);
  EXPECT_EQ(tank_->shieldBits, 0);
  EXPECT_EQ(tank_->nextSmokeTime, gFrameTime);
}

// A destroyed tank throws its turret and barrel up and off; they fly on a ballistic arc, land,
// and are hidden, while the wreck smokes every 400 ms. The respawn shows them again.
TEST_F(TankCombatTest, DebrisFliesLandsAndTheWreckBurns) {
  std::srand(7);
  Send(kId, MSG_TANK_DESTROYED, {});
  Frame();
  EXPECT_EQ(tank_->dead, 1u);
  EXPECT_EQ(tank_->damageLevel, -1);
  ASSERT_NE(tank_->turretDebris.model, nullptr);
  ASSERT_NE(tank_->barrelDebris.model, nullptr);
  EXPECT_GE(tank_->turretDebris.pose.pitch, 0.0f);
  EXPECT_GE(tank_->turretDebris.spin, 3.0f);
  EXPECT_LE(tank_->turretDebris.spin, 8.0f);
  float highest = 0.0f;
  int frames = 0;
  int landings = 0;
  while ((tank_->turretDebris.model != nullptr || tank_->barrelDebris.model != nullptr) &&
         frames < 1000) {
    const int flying = (tank_->turretDebris.model != nullptr ? 1 : 0) +
                       (tank_->barrelDebris.model != nullptr ? 1 : 0);
    const int explosions = RunningExplosions();
    Frame();
    const int landed = flying - (tank_->turretDebris.model != nullptr ? 1 : 0) -
                       (tank_->barrelDebris.model != nullptr ? 1 : 0);
    // Each part bursts where it lands.
    EXPECT_GE(RunningExplosions(), explosions + landed - 1);
    landings += landed;
    if (tank_->turretDebris.model != nullptr) {
      highest = std::max(highest, tank_->turretDebris.pose.z);
    }
    ++frames;
  }
  EXPECT_EQ(landings, 2);
  EXPECT_LT(frames, 1000);
  EXPECT_GT(highest, tank_->position[2] + 2.0f);
  EXPECT_TRUE(r3xIsActorHidden(tank_->turretActor) != 0);
  EXPECT_TRUE(r3xIsActorHidden(tank_->barrelActor) != 0);
  const std::uint32_t smoke = tank_->nextSmokeTime;
  EXPECT_GT(smoke, gFrameTime);
  EXPECT_LE(smoke, gFrameTime + 400);
  const int puffs = RunningSmoke();
  Frame(401);
  EXPECT_EQ(tank_->nextSmokeTime, gFrameTime + 400);
  EXPECT_GE(RunningSmoke(), puffs + 1);

  tank_test::StateSpec state;
  state.position[0] = 150.0f;
  state.position[1] = 150.0f;
  Send(kId, MSG_TANK_RESPAWN, tank_test::StatePayload(state));
  Frame();
  EXPECT_EQ(tank_->dead, 0u);
  EXPECT_FALSE(r3xIsActorHidden(tank_->turretActor) != 0);
}

// A destroyed tank bursts and burns: a blast and a looping fire 5 above the hull, the fire riding
// on the wreck while it moves; the respawn puts the fire out and bursts three times along the
// hull, each with its smoke.
TEST_F(TankCombatTest, TheWreckBurnsUntilTheRespawn) {
  Send(kId, MSG_TANK_DESTROYED, {});
  Frame();
  CExplosion* fire = tank_->hullExplosion;
  ASSERT_NE(fire, nullptr);
  EXPECT_TRUE(fire->IsLooping());
  EXPECT_FALSE(fire->IsFinished());
  EXPECT_EQ(RunningExplosions(), 2);
  auto above = [&] {
    R3xPlacement body{};
    r3xGetActorPlacement(tank_->bodyActor, &body);
    R3xPlacement flame{};
    r3xGetActorPlacement(fire->Actor(), &flame);
    EXPECT_NEAR(flame.x, body.x, 0.01f);
    EXPECT_NEAR(flame.y, body.y, 0.01f);
    EXPECT_NEAR(flame.z, body.z + 5.0f, 0.5f);
  };
  above();
  tank_->momentum[1] = 40.0f;
  const float y = tank_->position[1];
  Frame();
  Frame();
  ASSERT_GT(tank_->position[1], y + 0.5f);
  above();

  const int explosions = RunningExplosions();
  const int smoke = RunningSmoke();
  tank_test::StateSpec state;
  state.position[0] = 150.0f;
  state.position[1] = 150.0f;
  Send(kId, MSG_TANK_RESPAWN, tank_test::StatePayload(state));
  Frame();
  EXPECT_EQ(tank_->hullExplosion, nullptr);
  // The fire's member was freed and burst again for the hull: no fire burns on.
  for (const auto& explosion : gExplosionList) {
    EXPECT_FALSE(explosion != nullptr && !explosion->IsFinished() && explosion->IsLooping());
  }
  // The fire out; three bursts along the hull and two for the debris still in flight.
  EXPECT_EQ(RunningExplosions(), explosions - 1 + 3 + 2);
  EXPECT_EQ(RunningSmoke(), smoke + 3);
}

// A wreck deleted while it burns puts its fire out: the pool member runs no more.
TEST_F(TankCombatTest, ADeletedWreckPutsItsFireOut) {
  Send(kId, MSG_TANK_DESTROYED, {});
  Frame();
  CExplosion* fire = tank_->hullExplosion;
  ASSERT_NE(fire, nullptr);
  DeleteAllTanks();
  EXPECT_TRUE(fire->IsFinished());
}

TEST_F(TankCombatTest, RemovalEndsDebrisInFlight) {
  Send(kId, MSG_TANK_DESTROYED, {});
  Frame();
  ASSERT_NE(tank_->turretDebris.model, nullptr);
  KillTank(kId);
  EXPECT_EQ(tank_->turretDebris.model, nullptr);
  EXPECT_EQ(tank_->dead, 0u);
  Frame();
  EXPECT_EQ(ListLength(), 0u);
}

}  // namespace
