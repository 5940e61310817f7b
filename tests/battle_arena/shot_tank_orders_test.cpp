// Shots and tanks together in the demo arena: a tank's shot flies from the bullet pool, a bullet or
// missile that hits a tank reports the hit and pushes it once, splashes and blasts reach the tanks
// by their distance, and the shots meet a tank only at its small collision body.
#include "battle/arena/shot_tank_orders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "base/byte_reader.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/missile.h"
#include "battle/arena/shot_hits.h"
#include "battle/arena/tank.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "common/messages.h"
#include "tests/battle_arena/tank_arena.h"

namespace {

using tank_test::TankArena;

constexpr std::uint32_t kTarget = KIND_TANK | 21;
constexpr std::uint32_t kShooter = KIND_TANK | 22;
// Pitch 384 points straight down.
constexpr float kDown = 384.0f;

struct HitReport {
  std::uint32_t tank;
  std::uint32_t damage;
  std::uint32_t side;
  std::uint32_t hitter;
  std::uint32_t modelCode;
};

void SetParamFloat(std::size_t row, float value) {
  std::uint32_t word = 0;
  std::memcpy(&word, &value, sizeof word);
  GameParamTable[row].SetConfirmed(word);
}

class ShotTankOrdersTest : public TankArena {
 protected:
  void SetUp() override {
    TankArena::SetUp();
    MakeBulletPool();
    target_ = Create({.id = kTarget, .x = 150, .y = 150});
    ASSERT_NE(target_, nullptr);
    shooter_ = Create({.id = kShooter, .x = 100, .y = 150});
    ASSERT_NE(shooter_, nullptr);
    for (CTank* tank : {target_, shooter_}) {
      std::fill(tank->momentum, tank->momentum + 3, 0.0f);
      std::fill(tank->angularMomentum, tank->angularMomentum + 3, 0.0f);
    }
  }
  void TearDown() override {
    DeleteAllMissiles();
    TankArena::TearDown();
  }

  // A muzzle level with the target's centre, `dx` before it.
  R3xPlacement Level(float dx, float heading = 0.0f) const {
    const float* at = target_->position;
    return {at[0] + dx, at[1], at[2], heading, 0.0f, 0.0f, 0};
  }
  // Advances the frame time by 33 ms and runs the shot until it ends (at most 200 frames).
  template <typename Shot>
  void FlyOut(Shot& shot) {
    for (int i = 0; i < 200 && !shot.IsFinished(); ++i) {
      clock_.Advance(33);
      gFrameTime = timeGetTime();
      shot.Update();
    }
    ASSERT_TRUE(shot.IsFinished());
  }
  std::vector<HitReport> Reports() {
    std::vector<HitReport> reports;
    std::uint32_t length = 0;
    while (MailboxMessagePtr message = network_.Receive(length)) {
      if (message->type != MSG_TANK_HIT) {
        continue;
      }
      arena::ByteReader reader(message->Bytes());
      HitReport report{reader.U32(), reader.U32(), reader.U32(), reader.U32(), reader.U32()};
      EXPECT_TRUE(reader.ok());
      EXPECT_EQ(message->sender, report.tank);
      reports.push_back(report);
    }
    return reports;
  }
  static bool Still(const CTank& tank) {
    return tank.momentum[0] == 0.0f && tank.momentum[1] == 0.0f && tank.momentum[2] == 0.0f;
  }

  CMailbox network_{kNetworkAddress};
  CTank* target_ = nullptr;
  CTank* shooter_ = nullptr;
};

// The own tank's AP shell takes a bullet of the pool with the tank's damage and speed rows; it
// flies and hits the tank ahead from behind: the report names the rear side, and the tank is
// pushed along the shot. A remote tank's shot flies alike but is not reported here.
TEST_F(ShotTankOrdersTest, ATanksShellFliesFromThePoolAndHitsTheTankAhead) {
  for (const std::uint32_t local : {1u, 0u}) {
    shooter_->isLocal = local;
    std::fill(target_->momentum, target_->momentum + 3, 0.0f);
    ASSERT_EQ(shooter_->FireShell(10, Level(-40.0f), 1.0f), 10u);
    CBullet* shot = nullptr;
    for (const auto& node : gBulletPool) {
      if (node != nullptr && !node->IsFinished()) {
        ASSERT_EQ(shot, nullptr) << "one shot";
        shot = node.get();
      }
    }
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->Kind(), 10);
    EXPECT_EQ(shot->Owner(), kShooter);
    EXPECT_EQ(shot->Damage(), GetGameParamInt(PARAM_AP_SHELL_DAMAGE));
    const std::int32_t modelCode = shot->ModelCode();
    FlyOut(*shot);
    const std::vector<HitReport> reports = Reports();
    if (local == 1) {
      ASSERT_EQ(reports.size(), 1u);
      EXPECT_EQ(reports[0].tank, kTarget);
      EXPECT_EQ(reports[0].damage,
                static_cast<std::uint32_t>(GetGameParamInt(PARAM_AP_SHELL_DAMAGE)));
      EXPECT_EQ(reports[0].side, static_cast<std::uint32_t>(kHitSideRear));
      EXPECT_EQ(reports[0].hitter, kShooter);
      EXPECT_EQ(reports[0].modelCode, static_cast<std::uint32_t>(modelCode));
    } else {
      EXPECT_TRUE(reports.empty());
    }
    EXPECT_GT(target_->momentum[0], 0.0f) << local;
    EXPECT_NEAR(target_->momentum[1], 0.0f, 1e-4f);
  }
}

// A phase laser fired by the own tank at 1.8 flies with trunc(damage x 1.8).
TEST_F(ShotTankOrdersTest, ThePhaseMultiplierReachesTheShotsDamage) {
  ASSERT_EQ(shooter_->FireShell(4, Level(-40.0f), 1.8f), 12u);
  for (const auto& node : gBulletPool) {
    if (node != nullptr && !node->IsFinished()) {
      EXPECT_EQ(node->Kind(), 12);
      EXPECT_EQ(node->Damage(),
                static_cast<std::int32_t>(static_cast<float>(GetGameParamInt(PARAM_MARK_I_DAMAGE)) *
                                          1.8f));
      return;
    }
  }
  FAIL() << "no shot in flight";
}

// A shell with a splash that touches a tank reports through the splash alone and pushes the tank
// once, by the direct hit; the tank behind it, out of the splash's reach, is neither.
TEST_F(ShotTankOrdersTest, ASplashingShellPushesTheTankItTouchesOnce) {
  SetParamFloat(PARAM_FRAG_SHELL_RADIUS, 1.0f);
  const R3xPlacement muzzle = Level(20.0f, 256.0f);
  CBullet shell(8, muzzle, kShooter, 100, 200.0f, 1);
  FlyOut(shell);
  const std::vector<HitReport> reports = Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].tank, kTarget);
  EXPECT_GT(reports[0].damage, 0u);
  EXPECT_LT(reports[0].damage, 100u);
  EXPECT_EQ(reports[0].side, static_cast<std::uint32_t>(kHitSideFront));
  // The direct push along the shot (heading 256: toward -x), not the splash's push away.
  const float impulse = GetGameParamFloat(PARAM_FRAG_SHELL_HIT_IMPULSE);
  EXPECT_NEAR(target_->momentum[0], -impulse, 1e-3f);
  EXPECT_NEAR(target_->momentum[1], 0.0f, 1e-3f);
  EXPECT_TRUE(Still(*shooter_));
}

// A shell bursting on the floor between two tanks: each within reach is reported with the damage
// less its distance ratio's share and pushed away from the burst; a tank beyond is untouched.
TEST_F(ShotTankOrdersTest, ASplashReachesTanksByTheirDistanceRatio) {
  const float radius = 30.0f;
  SetParamFloat(PARAM_FRAG_SHELL_RADIUS, radius);
  CTank* far = Create({.id = KIND_TANK | 23, .x = 250, .y = 150});
  ASSERT_NE(far, nullptr);
  std::fill(far->momentum, far->momentum + 3, 0.0f);
  const R3xPlacement muzzle{130.0f, 150.0f, 6.0f, 0.0f, kDown, 0.0f, 0};
  CBullet shell(8, muzzle, KIND_TANK | 30, 100, 100.0f, 1);
  FlyOut(shell);
  std::vector<HitReport> reports = Reports();
  ASSERT_EQ(reports.size(), 2u);
  const float burstZ = 1.0f;  // where the shell stopped, just above the floor
  for (const HitReport& report : reports) {
    CTank* tank = report.tank == kTarget ? target_ : shooter_;
    const float reach = r3xGetActorRadius(tank->bodyActor) + radius;
    const float dx = tank->position[0] - muzzle.x;
    const float dz = tank->position[2] - burstZ;
    const float ratio = std::sqrt(dx * dx + dz * dz) / reach;
    EXPECT_NEAR(static_cast<float>(report.damage), 100.0f - std::trunc(100.0f * ratio), 2.0f)
        << report.tank;
    EXPECT_EQ(report.hitter, KIND_TANK | 30u);
    EXPECT_EQ(report.modelCode, static_cast<std::uint32_t>(shell.ModelCode()));
  }
  const HitReport& nearer = reports[0].tank == kTarget ? reports[0] : reports[1];
  const HitReport& farther = reports[0].tank == kTarget ? reports[1] : reports[0];
  EXPECT_EQ(farther.tank, kShooter);
  EXPECT_GT(nearer.damage, farther.damage);
  EXPECT_GT(target_->momentum[0], 0.0f);
  EXPECT_LT(shooter_->momentum[0], 0.0f);
  EXPECT_GT(std::fabs(target_->angularMomentum[1]), 0.0f);
  EXPECT_TRUE(Still(*far));
}

// A deactivator missile reports its direct hit with no damage and its model code, and pushes the
// tank; a phoenix with a proximity radius blasts every tank within radius + 20.
TEST_F(ShotTankOrdersTest, MissilesReportTheirHitsAndBlastTheTanksAround) {
  CMissile deactivator(Level(-30.0f), 2, kShooter, 1);
  FlyOut(deactivator);
  std::vector<HitReport> reports = Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].tank, kTarget);
  EXPECT_EQ(reports[0].damage, 0u);
  EXPECT_EQ(reports[0].side, static_cast<std::uint32_t>(kHitSideRear));
  EXPECT_EQ(reports[0].hitter, kShooter);
  EXPECT_EQ(reports[0].modelCode, 23u);
  EXPECT_GT(target_->momentum[0], 0.0f);

  SetParamFloat(PARAM_PHOENIX_MISSILE_PROXIMITY_RADIUS, 5.0f);
  std::fill(target_->momentum, target_->momentum + 3, 0.0f);
  CMissile phoenix({140.0f, 150.0f, 6.0f, 0.0f, kDown, 0.0f, 0}, 1, KIND_TANK | 30, 1);
  FlyOut(phoenix);
  reports = Reports();
  ASSERT_EQ(reports.size(), 1u) << "the shooter 40 away is beyond 25";
  EXPECT_EQ(reports[0].tank, kTarget);
  EXPECT_GT(reports[0].damage, 0u);
  EXPECT_LT(reports[0].damage, static_cast<std::uint32_t>(phoenix.Damage()));
  EXPECT_GT(target_->momentum[0], 0.0f);
  EXPECT_TRUE(Still(*shooter_));
}

// Shots meet another tank only at its small collision body, and never their own tank.
TEST_F(ShotTankOrdersTest, ShotsMeetATankAtItsSmallCollisionBody) {
  CBullet bullet(10, Level(-40.0f), kShooter, 10, 0.0f, 1);
  CMissile missile(Level(-40.0f), 1, kShooter, 1);
  struct Case {
    R3xActor* actor;
    std::uint32_t filter;
  };
  const Case cases[] = {
      {target_->smallCollisionActor, R3X_SWEEP_VOLUME},  {target_->bodyActor, R3X_SWEEP_IGNORE},
      {target_->mediumCollisionActor, R3X_SWEEP_IGNORE}, {target_->turretActor, R3X_SWEEP_IGNORE},
      {shooter_->smallCollisionActor, R3X_SWEEP_IGNORE},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BulletSweepFilter(c.actor, &bullet), c.filter);
    EXPECT_EQ(MissileSweepFilter(c.actor, &missile), c.filter);
  }
  EXPECT_TRUE(IsTanksSmallBody(target_->smallCollisionActor));
  EXPECT_FALSE(IsTanksSmallBody(target_->bodyActor));
}

// What a tank tells a shot: the local flag, its shields and its hit side for the point.
TEST_F(ShotTankOrdersTest, TheTanksAnswersForAShot) {
  target_->shieldBits = 0xF0;
  const R3xPlacement behind = Level(-10.0f);
  ShotTankFacts facts = TankFactsForShot(*target_, &behind.x, 0.0f);
  EXPECT_FALSE(facts.isLocal);
  EXPECT_FALSE(facts.designOpen);
  EXPECT_EQ(facts.shieldBits, 0xF0u);
  EXPECT_EQ(facts.side, kHitSideRear);
  facts = TankFactsForShot(*target_, &behind.x, 40.0f);
  EXPECT_EQ(facts.side, kHitSideOther);
  shooter_->isLocal = 1;
  EXPECT_TRUE(TankFactsForShot(*shooter_, &behind.x, 0.0f).isLocal);
}

}  // namespace
