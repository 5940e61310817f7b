#include <gtest/gtest.h>

#include <bit>
#include <memory>
#include <vector>

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
const int kFitted = 0;

void SetRow(std::size_t row, float value) {
  GameParamTable[row].SetConfirmed(std::bit_cast<std::uint32_t>(value));
}

class PlayerTankEnergyTest : public TankArena {
 protected:
  void SetUp() override {
    TankArena::SetUp();
    TankSpec spec;
    spec.id = kOwnId;
    const auto record = ParseTankCreateRecord(tank_test::CreatePayload(spec));
    ASSERT_TRUE(record.has_value());
    tank_ = std::make_unique<CPlayerTank>(*record);
    tank_->designScreenOpen = 0;
    tank_->battery = 10.0f;
    tank_->momentum[0] = tank_->momentum[1] = tank_->momentum[2] = 0.0f;
    SetRow(PARAM_BASE_CHARGE_RATE, 10.0f);
    tank_->chargeZones[4] = 1;  // in the own base
  }
  void TearDown() override {
    tank_.reset();
    TankArena::TearDown();
  }

  std::unique_ptr<CPlayerTank> tank_;
  CMailbox network_{kNetworkAddress};
};

// A late step charges for the time that passed, at most 500 ms, and the next is 250 ms on.
TEST_F(PlayerTankEnergyTest, ALateStepChargesForTheTimeThatPassed) {
  const struct {
    std::uint32_t late;
    float battery;
  } cases[] = {{0, 12.5f}, {100, 13.5f}, {250, 15.0f}, {5000, 15.0f}};
  for (const auto& c : cases) {
    tank_->battery = 10.0f;
    tank_->nextEnergyTick = gFrameTime - c.late;
    tank_->UpdateEnergy();
    EXPECT_FLOAT_EQ(tank_->battery, c.battery) << c.late;
    EXPECT_EQ(tank_->nextEnergyTick, gFrameTime + 250);
  }
  tank_->battery = 10.0f;
  tank_->UpdateEnergy();  // not due yet
  EXPECT_EQ(tank_->battery, 10.0f);
}

TEST_F(PlayerTankEnergyTest, TheChargeGaugeShowsTheRateTimesTen) {
  const struct {
    float rate;
    std::int32_t gauge;
  } cases[] = {{10.0f, 100}, {0.05f, 1}, {-0.05f, -1}, {25.0f, 100}, {-25.0f, -100}, {0.0f, 0}};
  for (const auto& c : cases) {
    SetRow(PARAM_BASE_CHARGE_RATE, c.rate);
    tank_->nextEnergyTick = gFrameTime;
    tank_->UpdateEnergy();
    EXPECT_EQ(tank_->chargeGauge, c.gauge) << c.rate;
  }
}

TEST_F(PlayerTankEnergyTest, ShieldsChargeToTheirShareAndShowAsNibbles) {
  SetRow(PARAM_BASE_CHARGE_RATE, 0.0f);
  tank_->shieldMaximum = 100;
  tank_->shieldChargeRate = 30;
  tank_->shieldDrain = 4.0f;
  tank_->battery = 50.0f;
  tank_->frontShieldOn = 1;
  tank_->rearShieldOn = 1;
  tank_->shieldAllocation = 1.5f;  // front 150, rear 50
  for (int step = 0; step < 6; ++step) {
    tank_->nextEnergyTick = gFrameTime;
    tank_->UpdateEnergy();
  }
  EXPECT_EQ(tank_->frontShield, 150);
  EXPECT_EQ(tank_->rearShield, 50);
  EXPECT_EQ(tank_->shieldBits, 0x53);
  // Seven charging steps of 1.0 each: five front, two rear.
  EXPECT_FLOAT_EQ(tank_->battery, 50.0f - 7.0f);
  tank_->shieldMaximum = 0;
  tank_->nextEnergyTick = gFrameTime;
  tank_->UpdateEnergy();
  EXPECT_EQ(tank_->shieldBits, 0);
}

TEST_F(PlayerTankEnergyTest, FallDamageNeedsAHardLandingFromHighEnough) {
  SetRow(PARAM_FALLING_DAMAGE_MINIMUM_FALL_HEIGHT, 18.0f);
  SetRow(PARAM_FALLING_DAMAGE_MINIMUM_SPEED, 10.0f);
  SetRow(PARAM_FALLING_DAMAGE_FACTOR_LINEAR, 1.0f);
  SetRow(PARAM_FALLING_DAMAGE_FACTOR_CONSTANT, 5.0f);
  const struct {
    float peak;
    float impulse;
    bool dampener;
    std::int32_t damage;
  } cases[] = {
      {20.0f, 15.0f * 1.0f, false, -1},  // computed below from the mass
      {20.0f, 0.0f, false, 0},
      {10.0f, 1.0e6f, false, 0},
      {20.0f, 1.0e6f, true, 0},
  };
  for (const auto& c : cases) {
    tank_->modules[kDampenerModule] = c.dampener ? &kFitted : nullptr;
    tank_->armor = 100000;
    tank_->fallHeight = 0.0f;
    tank_->fallPeakHeight = -1.0f;
    tank_->position[2] = c.peak;
    tank_->airborne = 1;
    tank_->contactImpulse[2] = 0.0f;
    EXPECT_EQ(tank_->CheckFallDamage(), 0);
    tank_->position[2] = 0.0f;
    tank_->airborne = 0;
    const float minimum = tank_->mass * 10.0f;
    const float impulse = c.damage < 0 ? minimum + 15.0f : c.impulse;
    tank_->contactImpulse[2] = impulse;
    const std::int32_t expected = c.damage < 0 ? 15 + 5 : c.damage;
    EXPECT_EQ(tank_->CheckFallDamage(), expected) << c.peak << " " << c.dampener;
    EXPECT_EQ(tank_->armor, 100000 - expected);
  }
}

TEST_F(PlayerTankEnergyTest, AFatalFallReportsTheFallAsDestroyer) {
  SetRow(PARAM_FALLING_DAMAGE_MINIMUM_FALL_HEIGHT, 1.0f);
  SetRow(PARAM_FALLING_DAMAGE_MINIMUM_SPEED, 0.0f);
  SetRow(PARAM_FALLING_DAMAGE_FACTOR_LINEAR, 1.0f);
  SetRow(PARAM_FALLING_DAMAGE_FACTOR_CONSTANT, 0.0f);
  tank_->armor = 5;
  tank_->crits = 5;
  tank_->fallHeight = 30.0f;
  tank_->contactImpulse[2] = 50.0f;
  EXPECT_EQ(tank_->CheckFallDamage(), 50);
  EXPECT_EQ(tank_->armor, 0);
  EXPECT_EQ(tank_->crits, 0);
  const std::vector<ReceivedMessage> sent = Drain(network_);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].type, MSG_TANK_DESTROYED);
  EXPECT_EQ(sent[0].payload, (std::vector<std::uint8_t>{0xF0, 0x0F, 0, 0}));
}

TEST_F(PlayerTankEnergyTest, ARocketBurnsItsFuelAndIsUsedUp) {
  SetRow(PARAM_ROCKET_DRAIN_PER_200_MIL, 4.0f);
  tank_->rocketThrust = 1;
  tank_->rocketFlight = 1;
  tank_->rocketFuel = 6.0f;
  tank_->rocketFuelSet = 1;
  tank_->stocks[kRocketStock] = 2;
  tank_->nextRocketDrain = gFrameTime;
  tank_->UpdateRockets();
  EXPECT_FLOAT_EQ(tank_->rocketFuel, 2.0f);
  EXPECT_EQ(tank_->nextRocketDrain, gFrameTime + 200);
  tank_->UpdateRockets();  // not due
  EXPECT_FLOAT_EQ(tank_->rocketFuel, 2.0f);
  gFrameTime += 200;
  tank_->UpdateRockets();
  EXPECT_EQ(tank_->rocketThrust, 0u);
  EXPECT_EQ(tank_->nextRocketDrain, 0u);
  EXPECT_EQ(tank_->rocketFuelSet, 0u);
  EXPECT_EQ(tank_->stocks[kRocketStock], 1);
  tank_->airborne = 0;
  tank_->UpdateRockets();
  EXPECT_EQ(tank_->rocketFlight, 0u);
}

}  // namespace
