#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/byte_reader.h"
#include "battle/arena/bullet.h"
#include "battle/arena/player_loadout_slots.h"
#include "battle/arena/player_tank.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "common/messages.h"
#include "tests/battle_arena/arena_object_fixture.h"
#include "tests/battle_arena/tank_arena.h"

namespace {

using tank_test::TankArena;
using tank_test::TankSpec;

constexpr std::uint32_t kOwnId = KIND_TANK | 5;
constexpr std::uint32_t kFront = 1;
constexpr std::uint32_t kRear = 2;

void SetRow(std::size_t row, int value) {
  GameParamTable[row].SetConfirmed(static_cast<std::uint32_t>(value));
}

class PlayerTankDamageTest : public TankArena {
 protected:
  void SetUp() override {
    TankArena::SetUp();
    TankSpec spec;
    spec.id = kOwnId;
    const auto record = ParseTankCreateRecord(tank_test::CreatePayload(spec));
    ASSERT_TRUE(record.has_value());
    tank_ = std::make_unique<CPlayerTank>(*record);
    tank_->damageLevel = 0;
    tank_->shieldMaximum = 100;
    SetRow(PARAM_SHIELD_CHARGE_DOWNTIME, 1000);
    SetRow(PARAM_FRONT_BACK_DOWNTIME_LINK, 0);
    SetRow(PARAM_DIZURORUV_SHIELD_MIN_DOWN_TIME, 3000);
  }
  void TearDown() override {
    tank_.reset();
    TankArena::TearDown();
  }

  std::vector<std::int32_t> DamageLevels() {
    std::vector<std::int32_t> levels;
    for (const ReceivedMessage& message : Drain(network_)) {
      if (message.type == MSG_TANK_DAMAGE_LEVEL) {
        levels.push_back(arena::ByteReader(message.payload).I32());
      }
    }
    return levels;
  }

  std::unique_ptr<CPlayerTank> tank_;
  CMailbox network_{kNetworkAddress};
};

// One hit per row, from full armor and crits: where the damage goes.
TEST_F(PlayerTankDamageTest, HitsSplitBetweenShieldsAndArmor) {
  const struct {
    const char* what;
    std::int32_t kind;
    GameParamRow shareRow;
    std::int32_t share;
    std::int32_t damage;
    std::uint32_t sides;
    std::int32_t front;
    std::int32_t rear;
    std::int32_t frontAfter;
    std::int32_t rearAfter;
    std::int32_t armorAfter;
    std::uint32_t frontDown;
  } cases[] = {
      {"chain gun through a weak front shield", 6, PARAM_SHIELD_MG_DAMAGE_PERCENT, 100, 100, kFront,
       30, 0, 0, 0, 30, 3000},
      {"odd share on both sides loses a point", 7, PARAM_SHIELD_FRAG_DAMAGE_PERCENT, 50, 10,
       kFront | kRear, 50, 50, 48, 48, 95, 0},
      {"plasma takes five times its share", 10, PARAM_SHIELD_PLASMA_DAMAGE_PERCENT, 100, 10, kFront,
       80, 0, 30, 0, 100, 0},
      {"plasma's overflow counts the plain share", 10, PARAM_SHIELD_PLASMA_DAMAGE_PERCENT, 100, 10,
       kFront, 20, 0, 0, 0, 100, 3000},
      {"AP with share 0 passes everything", 9, PARAM_SHIELD_AP_DAMAGE_PERCENT, 0, 40,
       kFront | kRear, 60, 60, 60, 60, 60, 0},
      {"no side: the share passes too", 8, PARAM_SHIELD_HEAT_DAMAGE_PERCENT, 100, 30, 0, 60, 60, 60,
       60, 70, 0},
      {"rear only", 0, PARAM_SHIELD_LAZER1_DAMAGE_PERCENT, 50, 20, kRear, 60, 60, 60, 50, 90, 0},
      {"a share above 100 is held to 100", 6, PARAM_SHIELD_MG_DAMAGE_PERCENT, 150, 20, kFront, 60,
       0, 40, 0, 100, 0},
      {"a negative share is held to 0", 6, PARAM_SHIELD_MG_DAMAGE_PERCENT, -50, 20, kFront, 60, 0,
       60, 0, 80, 0},
  };
  for (const auto& c : cases) {
    SetRow(c.shareRow, c.share);
    tank_->armor = 100;
    tank_->crits = 100;
    tank_->frontShield = c.front;
    tank_->rearShield = c.rear;
    tank_->frontShieldDownTime = 0;
    EXPECT_EQ(tank_->TakeHit(c.damage, c.sides, c.kind), 0u) << c.what;
    EXPECT_EQ(tank_->frontShield, c.frontAfter) << c.what;
    EXPECT_EQ(tank_->rearShield, c.rearAfter) << c.what;
    EXPECT_EQ(tank_->armor, c.armorAfter) << c.what;
    EXPECT_EQ(tank_->frontShieldDownTime, c.frontDown) << c.what;
  }
}

TEST_F(PlayerTankDamageTest, ArmorThenCritsPostDamageLevelsOneAndTwo) {
  SetRow(PARAM_SHIELD_HEAT_DAMAGE_PERCENT, 0);
  tank_->armor = 10;
  tank_->crits = 40;
  EXPECT_EQ(tank_->TakeHit(25, kFront, 8), 0u);
  EXPECT_EQ(tank_->armor, 0);
  EXPECT_EQ(tank_->crits, 25);
  EXPECT_EQ(DamageLevels(), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(tank_->TakeHit(5, kFront, 8), 0u);
  EXPECT_TRUE(DamageLevels().empty());
  EXPECT_EQ(tank_->TakeHit(20, kFront, 8), 1u);
  EXPECT_EQ(tank_->crits, 0);
}

// Fall damage can empty the armor without a level 1: the first crits damage below 30 still
// reports level 2, as the last posted level starts at 0.
TEST_F(PlayerTankDamageTest, TheFirstCritsWarningIsPostedOnAFreshTank) {
  SetRow(PARAM_SHIELD_HEAT_DAMAGE_PERCENT, 0);
  tank_->armor = 0;
  tank_->crits = 40;
  tank_->TakeHit(15, kFront, 8);
  EXPECT_EQ(DamageLevels(), (std::vector<std::int32_t>{2}));
}

TEST_F(PlayerTankDamageTest, PercentagesOfAZeroMaximumAreFull) {
  SetRow(PARAM_SHIELD_HEAT_DAMAGE_PERCENT, 0);
  tank_->armorMaximum = 0;
  tank_->critsMaximum = 0;
  tank_->armor = 10;
  tank_->crits = 50;
  tank_->TakeHit(15, kFront, 8);
  EXPECT_EQ(tank_->armorPercent, 100.0f);
  EXPECT_EQ(tank_->critsPercent, 100.0f);
  tank_->armorMaximum = 100;
  tank_->critsMaximum = 100;
  tank_->armor = 10;
  tank_->TakeHit(15, kFront, 8);
  EXPECT_EQ(tank_->armorPercent, 0.0f);
  EXPECT_EQ(tank_->critsPercent, 40.0f);
}

TEST_F(PlayerTankDamageTest, HitsAreIgnoredBeforeTheLoadoutAndForUnknownKinds) {
  tank_->armor = 100;
  for (const std::int32_t kind : {13, 18, 26, -1}) {
    EXPECT_EQ(tank_->TakeHit(50, kFront, kind), 0u);
  }
  tank_->damageLevel = -1;
  EXPECT_EQ(tank_->TakeHit(50, kFront, 8), 0u);
  tank_->damageLevel = 0;
  tank_->alive = 0;
  EXPECT_EQ(tank_->TakeHit(50, kFront, 8), 0u);
  EXPECT_EQ(tank_->armor, 100);
}

// The deactivators weaken with the shield on the hit side: a full shield gives no deactivation,
// none gives the full time.
TEST_F(PlayerTankDamageTest, TheDeactivatorMineWeakensWithTheShield) {
  SetRow(PARAM_SHIELD_DEACTIVATOR_MINE_DAMAGE_PERCENT, 0);
  SetRow(PARAM_DEACTIVATOR_MINE_DEACTIVATION_TIME, 8000);
  const struct {
    std::int32_t front;
    std::int32_t maximum;
    std::uint32_t deactivated;
    std::uint32_t time;
  } cases[] = {
      {100, 100, 0, 0},
      {0, 100, 1, 8000},
      {50, 100, 1, 4000},
      {30, 0, 1, 8000},
  };
  for (const auto& c : cases) {
    tank_->deactivated = 0;
    tank_->reactivationTime = 0;
    tank_->frontShield = c.front;
    tank_->shieldMaximum = c.maximum;
    tank_->TakeHit(0, kFront, 21);
    EXPECT_EQ(tank_->deactivated, c.deactivated) << c.front << " " << c.maximum;
    EXPECT_EQ(tank_->reactivationTime, c.deactivated != 0 ? gFrameTime + c.time : 0u);
  }
}

// A flash blanks the view for its time, weakened by the shield; not while the camera follows
// something else.
TEST_F(PlayerTankDamageTest, AFlashBlanksTheViewUnlessTheCameraFollowsAShot) {
  SetRow(PARAM_SHIELD_MISSILE_FLASH_DAMAGE_PERCENT, 0);
  SetRow(PARAM_FLASH_MISSILE_NORMAL_EFFECT_TIME, 3000);
  SetRow(PARAM_FLASH_MISSILE_INFRA_RED_EFFECT_TIME, 1000);
  std::uint32_t noDrawUntil = 0;
  TankSpec spec;
  spec.id = kOwnId;
  const auto record = ParseTankCreateRecord(tank_test::CreatePayload(spec));
  PlayerTankSession session;
  session.noDrawUntil = &noDrawUntil;
  tank_.reset();
  tank_ = std::make_unique<CPlayerTank>(*record, session);
  tank_->damageLevel = 0;
  tank_->shieldMaximum = 100;
  tank_->frontShield = 50;
  tank_->TakeHit(0, kFront, 25);
  EXPECT_EQ(noDrawUntil, gFrameTime + 1500);
  tank_->infraRedOn = 1;
  tank_->frontShield = 0;
  tank_->TakeHit(0, kFront, 25);
  EXPECT_EQ(noDrawUntil, gFrameTime + 1000);
  R3xPlacement shot{};
  gCameraFollow = &shot;
  noDrawUntil = 0;
  tank_->TakeHit(0, kFront, 25);
  EXPECT_EQ(noDrawUntil, 0u);
  gCameraFollow = nullptr;
}

TEST_F(PlayerTankDamageTest, AChargeOverCapacityBecomesASpareBattery) {
  const struct {
    float battery;
    std::int32_t spares;
    std::int32_t maximum;
    float amount;
    float after;
    std::int32_t sparesAfter;
  } cases[] = {
      {90.0f, 0, 2, 20.0f, 10.0f, 1}, {90.0f, 2, 2, 20.0f, 100.0f, 2},
      {50.0f, 0, 2, 20.0f, 70.0f, 0}, {50.0f, 0, 2, -20.0f, 50.0f, 0},
      {50.0f, 0, 2, 0.0f, 50.0f, 0},
  };
  for (const auto& c : cases) {
    tank_->battery = c.battery;
    tank_->stocks[kSpareBatteryStock] = c.spares;
    tank_->stocks[kSpareBatteryMaximum] = c.maximum;
    tank_->ChargeBattery(c.amount);
    EXPECT_FLOAT_EQ(tank_->battery, c.after) << c.battery << " " << c.amount;
    EXPECT_EQ(tank_->stocks[kSpareBatteryStock], c.sparesAfter);
  }
}

TEST_F(PlayerTankDamageTest, AnEmptyBatteryPowersTheTankDown) {
  tank_->battery = 1.0f;
  tank_->stocks[kSpareBatteryStock] = 2;
  EXPECT_TRUE(tank_->DrainBattery(150.0f));
  EXPECT_FLOAT_EQ(tank_->battery, 51.0f);
  tank_->battery = 1.0f;
  tank_->stocks[kSpareBatteryStock] = 2;
  tank_->stealthOn = 1;
  tank_->phaseMultiplierOn = 1;
  EXPECT_FALSE(tank_->DrainBattery(250.0f));
  EXPECT_EQ(tank_->battery, 0.0f);
  EXPECT_EQ(tank_->stealthOn, 0u);
  EXPECT_EQ(tank_->phaseMultiplierOn, 0u);
  const std::vector<ReceivedMessage> sent = Drain(network_);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].type, MSG_TANK_STEALTH);
}

// The server's hit reaches TakeHit through the own mailbox; a fatal one reports the hitter.
TEST_F(PlayerTankDamageTest, AFatalHitFromTheServerReportsTheDestroyer) {
  SetRow(PARAM_SHIELD_AP_DAMAGE_PERCENT, 0);
  tank_->armor = 0;
  tank_->crits = 10;
  Send(kOwnId, MSG_TANK_HIT, {20, 0, 0, 0, 0x33, 0, 0x0C, 0, 1, 0, 0, 0, 9, 0, 0, 0});
  clock_.Advance(33);
  gFrameTime = timeGetTime();
  tank_->Update();
  bool destroyed = false;
  for (const ReceivedMessage& message : Drain(network_)) {
    if (message.type == MSG_TANK_DESTROYED) {
      destroyed = true;
      EXPECT_EQ(arena::ByteReader(message.payload).U32(), 0x0C0033u);
    }
  }
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(tank_->crits, 0);
}

}  // namespace
