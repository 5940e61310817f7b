#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/byte_reader.h"
#include "battle/arena/input_event.h"
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
const int kRecordA = 0;
const int kRecordB = 0;
const int kRecordC = 0;

void SetRow(std::size_t row, int value) {
  GameParamTable[row].SetConfirmed(static_cast<std::uint32_t>(value));
}

LoadoutConfig Config(std::uint32_t chassis, std::initializer_list<LoadoutBay> bays) {
  LoadoutConfig config;
  config.chassis = chassis;
  std::size_t i = 0;
  for (const LoadoutBay& bay : bays) {
    config.bays[i++] = bay;
  }
  return config;
}

class PlayerTankLoadoutTest : public TankArena {
 protected:
  void SetUp() override {
    TankArena::SetUp();
    TankSpec spec;
    spec.id = kOwnId;
    const auto record = ParseTankCreateRecord(tank_test::CreatePayload(spec));
    ASSERT_TRUE(record.has_value());
    tank_ = std::make_unique<CPlayerTank>(*record);
  }
  void TearDown() override {
    tank_.reset();
    TankArena::TearDown();
  }

  std::unique_ptr<CPlayerTank> tank_;
  CMailbox network_{kNetworkAddress};
};

TEST_F(PlayerTankLoadoutTest, ARivavaruWithOneShield) {
  tank_->ApplyLoadout(Config(1, {{&kRecordA, 1, 0}}));
  EXPECT_EQ(tank_->chassis, 1u);
  EXPECT_EQ(tank_->shieldMaximum, GetGameParamInt(PARAM_SHIELD_AMOUNT));
  EXPECT_EQ(tank_->shieldChargeRate, GetGameParamInt(PARAM_RIVAVARU_SHIELD_CHARGE_RATE) / 10);
  EXPECT_EQ(tank_->shieldTransferRate, GetGameParamInt(PARAM_RIVAVARU_SHIELD_TRANSFER_RATE) / 10);
  EXPECT_EQ(tank_->shieldDecayRate, GetGameParamInt(PARAM_RIVAVARU_SHIELD_DECAY_RATE) / 10);
  EXPECT_EQ(tank_->batteryCapacity, GetGameParamInt(PARAM_RIVAVARU_BATTERY));
  EXPECT_EQ(tank_->armor, GetGameParamInt(PARAM_RIVAVARU_ARMOR));
  EXPECT_EQ(tank_->damageLevel, 0);
}

// The first loadout fills up; a refit keeps the spare count within the new maximum.
TEST_F(PlayerTankLoadoutTest, ReservePowerFillsFirstAndIsOnlyCutByARefit) {
  const std::int32_t q = GetGameParamInt(PARAM_RESERVE_POWER_QUANTITY);
  ASSERT_GT(q, 0);
  tank_->ApplyLoadout(Config(0, {{&kRecordA, 4, 0}, {&kRecordB, 4, 0}}));
  EXPECT_EQ(tank_->stocks[kSpareBatteryStock], 2 * q);
  EXPECT_EQ(tank_->stocks[kSpareBatteryMaximum], 2 * q);
  EXPECT_EQ(tank_->modules[kReservePowerModule], &kRecordB);
  tank_->ApplyLoadout(Config(0, {{&kRecordA, 4, 0}}));
  EXPECT_EQ(tank_->stocks[kSpareBatteryStock], q);
  tank_->stocks[kSpareBatteryStock] = 0;
  tank_->ApplyLoadout(Config(0, {{&kRecordA, 4, 0}, {&kRecordB, 4, 0}}));
  EXPECT_EQ(tank_->stocks[kSpareBatteryStock], 0);
  EXPECT_EQ(tank_->stocks[kSpareBatteryMaximum], 2 * q);
}

TEST_F(PlayerTankLoadoutTest, ASuperchargerMultipliesTheCapacity) {
  SetRow(PARAM_VODIDORIR_BATTERY, 75);
  SetRow(PARAM_SUPERCHARGED_BATTERY_PERCENT, 180);
  tank_->ApplyLoadout(Config(3, {{&kRecordA, 5, 0}}));
  EXPECT_EQ(tank_->batteryCapacity, 135);
  EXPECT_EQ(tank_->battery, 135.0f);
}

TEST_F(PlayerTankLoadoutTest, AnEmptyBayEndsTheWalk) {
  tank_->ApplyLoadout(Config(0, {{&kRecordA, 13, 2}, {nullptr, 0, 0}, {&kRecordB, 11, 1}}));
  EXPECT_EQ(tank_->weaponSlots[kSlotCannon], &kRecordA);
  EXPECT_EQ(tank_->weaponSlots[kSlotChainGun], nullptr);
}

TEST_F(PlayerTankLoadoutTest, WeaponsAndShellsAreSelectedAfterTheLoadout) {
  tank_->ApplyLoadout(Config(0, {{&kRecordA, 13, 2}, {&kRecordB, 14, 10}, {&kRecordC, 15, 5}}));
  EXPECT_EQ(tank_->weaponSlots[kSlotMarkIV], &kRecordC);
  EXPECT_EQ(tank_->selectedShell, &kRecordB);
  EXPECT_EQ(tank_->selectedWeapon, &kRecordA);
  EXPECT_EQ(tank_->weaponWord, 9u);
  EXPECT_EQ(tank_->stocks[kHeatShellStock], GetGameParamInt(PARAM_HEAT_SHELLS_QUANTITY));
}

TEST_F(PlayerTankLoadoutTest, ARefitKeepsTheArmorPercentage) {
  tank_->ApplyLoadout(Config(0, {}));
  tank_->armorPercent = 50.0f;
  tank_->battery = 1.0e6f;
  tank_->ApplyLoadout(Config(0, {}));
  EXPECT_EQ(tank_->armor, tank_->armorMaximum / 2);
  EXPECT_EQ(tank_->battery, static_cast<float>(tank_->batteryCapacity));
}

TEST_F(PlayerTankLoadoutTest, TheLoadoutTellsTheServer) {
  tank_->ApplyLoadout(Config(2, {{&kRecordA, 20, 0}}));
  std::vector<std::uint32_t> types;
  for (const ReceivedMessage& message : Drain(network_)) {
    types.push_back(message.type);
    if (message.type == MSG_DESIGN_MODE) {
      EXPECT_EQ(arena::ByteReader(message.payload).U32(), 1u);
    }
    if (message.type == MSG_TANK_CHASSIS) {
      EXPECT_EQ(arena::ByteReader(message.payload).U32(), 2u);
    }
  }
  EXPECT_EQ(types, (std::vector<std::uint32_t>{MSG_TANK_CHASSIS, MSG_TANK_DAMAGE_LEVEL,
                                               MSG_DESIGN_MODE, MSG_DEFENSE_MODULE}));
}

// The view reset posts the device toggles, the Vodidorir's cloak last.
TEST_F(PlayerTankLoadoutTest, TheViewResetPostsTheToggleCommandsInOrder) {
  CMailbox& input = tank_->InputMailbox();
  for (const std::uint32_t chassis : {0u, 3u}) {
    tank_->ApplyLoadout(Config(chassis, {}));
    Drain(input);
    tank_->ResetView();
    std::vector<std::uint32_t> commands;
    for (const ReceivedMessage& message : Drain(input)) {
      if (message.type == MSG_INPUT_EVENT) {
        commands.push_back(ReadInputEvent(message.payload).value);
      }
    }
    std::vector<std::uint32_t> expected = {0x104C, 0x104D, 0x1057, 0x105A};
    if (chassis == 3) {
      expected.push_back(0x1056);
    }
    EXPECT_EQ(commands, expected) << chassis;
  }
}

TEST_F(PlayerTankLoadoutTest, EnteringDesignModeStopsTheTankAndKeepsThePercentages) {
  tank_->ApplyLoadout(Config(0, {}));
  tank_->designScreenOpen = 0;
  tank_->armor = tank_->armorMaximum / 4;
  tank_->frontShield = 20;
  tank_->throttle = 50;
  tank_->EnterDesignMode(1);
  EXPECT_EQ(tank_->designScreenOpen, 1u);
  EXPECT_EQ(tank_->frontShield, 0);
  EXPECT_EQ(tank_->throttle, 0);
  EXPECT_FLOAT_EQ(tank_->armorPercent, 25.0f);
  tank_->designScreenOpen = 0;
  tank_->deactivated = 1;
  tank_->EnterDesignMode(1);
  EXPECT_EQ(tank_->designScreenOpen, 0u);
}

}  // namespace
