#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/byte_reader.h"
#include "battle/arena/missile.h"
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
static_assert(kOwnId == 0x90005);
// Distinct module records: the loadout only compares and tests the pointers.
const int kModuleA = 0;
const int kModuleB = 0;
const int kModuleC = 0;
const int kModuleD = 0;

class PlayerTankWeaponsTest : public TankArena {
 protected:
  void SetUp() override {
    TankArena::SetUp();
    TankSpec spec;
    spec.id = kOwnId;
    spec.team = 2;
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

// What an attempt that costs the shot leaves: no message, not ready, the interval of the weapon.
TEST_F(PlayerTankWeaponsTest, ShotsWithoutAmmunitionOrPowerAreLost) {
  const struct {
    std::uint32_t type;
    float battery;
    GameParamRow rate;
  } cases[] = {
      {4, 0.0f, PARAM_MARK_I_FIRE_RATE},
      {7, 0.0f, PARAM_PLASMA_CANNON_FIRE_RATE},
      {3, 100.0f, PARAM_CHAIN_GUN_FIRE_RATE},
      {10, 100.0f, PARAM_CANNON_AP_FIRE_RATE},
  };
  for (const auto& c : cases) {
    tank_->weaponWord = c.type;
    tank_->battery = c.battery;
    tank_->weaponReady = 1;
    tank_->FireWeapon();
    EXPECT_TRUE(Drain(network_).empty()) << c.type;
    EXPECT_EQ(tank_->weaponReady, 0u);
    EXPECT_EQ(tank_->battery, c.battery);
    EXPECT_EQ(tank_->fireInterval, static_cast<std::uint32_t>(GetGameParamInt(c.rate)));
  }
}

TEST_F(PlayerTankWeaponsTest, ZoomedFireSendsBit24AndKeepsTheTypeClear) {
  for (const std::int32_t zoom : {0, 1}) {
    tank_->weaponWord = 8;
    tank_->stocks[kFragShellStock] = 2;
    tank_->zoomLevel = zoom;
    tank_->weaponReady = 1;
    tank_->FireWeapon();
    const std::vector<ReceivedMessage> sent = Drain(network_);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].type, MSG_TANK_FIRE);
    arena::ByteReader reader(sent[0].payload);
    reader.Skip(20);
    EXPECT_EQ(reader.U32(), zoom != 0 ? 0x1000008u : 8u);
    EXPECT_EQ(tank_->weaponWord, 8u);
    EXPECT_EQ(tank_->stocks[kFragShellStock], 1);
  }
}

TEST_F(PlayerTankWeaponsTest, ALaserShotDrainsThePhaseMultipliedCost) {
  tank_->weaponWord = 5;
  tank_->battery = 100.0f;
  tank_->phaseMultiplierOn = 1;
  tank_->FireWeapon();
  EXPECT_EQ(Drain(network_).size(), 1u);
  EXPECT_FLOAT_EQ(tank_->battery, 100.0f - GetGameParamFloat(PARAM_MARK_II_DRAIN) *
                                               GetGameParamFloat(PARAM_PHASE_MULTIPLIES_COST));
}

TEST_F(PlayerTankWeaponsTest, LayingAMinePostsItsRecord) {
  tank_->stocks[kProximityMineStock] = 2;
  tank_->position[0] = 1.5f;
  tank_->position[1] = -2.0f;
  tank_->position[2] = 3.0f;
  tank_->LayMine(2);
  const std::vector<ReceivedMessage> sent = Drain(network_);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].type, MSG_CREATE_MINE);
  const std::vector<std::uint8_t> expected = {
      0x02, 0x00, 0x00, 0x00, 0x05, 0x00, 0x09, 0x00, 0x02, 0x00, 0x00, 0x00, 0x05, 0x00,
      0x09, 0x00, 0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x40, 0x40};
  EXPECT_EQ(sent[0].payload, expected);
  EXPECT_EQ(tank_->stocks[kProximityMineStock], 1);
  EXPECT_EQ(tank_->fireInterval, 500u);
  EXPECT_EQ(tank_->weaponReady, 0u);
  // Not ready: the next mine waits.
  tank_->LayMine(2);
  EXPECT_TRUE(Drain(network_).empty());
}

TEST_F(PlayerTankWeaponsTest, ASecondGuidedMissileIsRefused) {
  R3xPlacement nowhere{};
  auto flying = std::make_unique<CMissile>(nowhere, CMissile::kPhoenix, kOwnId, 0);
  gSteeredMissile = flying.get();
  tank_->stocks[kGuidedStock] = 3;
  tank_->LaunchMissile(0x1042);
  EXPECT_TRUE(Drain(network_).empty());
  EXPECT_EQ(tank_->stocks[kGuidedStock], 3);
  EXPECT_EQ(tank_->weaponReady, 0u);
  gSteeredMissile = nullptr;
}

TEST_F(PlayerTankWeaponsTest, TheWeaponFeedFollowsTheSelection) {
  tank_->weaponSlots[kSlotCannon] = &kModuleA;
  tank_->weaponSlots[kSlotChainGun] = &kModuleB;
  tank_->weaponSlots[kSlotMarkIV] = &kModuleC;
  tank_->modules[kHeatShellModule] = &kModuleD;
  const struct {
    const void* weapon;
    const void* shell;
    std::uint32_t type;
    std::int32_t row;
  } cases[] = {
      {nullptr, nullptr, 0, 5},     {&kModuleB, nullptr, 3, 0}, {&kModuleA, nullptr, 0, 5},
      {&kModuleA, &kModuleD, 9, 7}, {&kModuleC, nullptr, 6, 3}, {&kModuleD, nullptr, 0, 5},
  };
  for (const auto& c : cases) {
    tank_->selectedWeapon = c.weapon;
    tank_->selectedShell = c.shell;
    tank_->UpdateWeaponFeed();
    EXPECT_EQ(tank_->weaponWord, c.type);
    EXPECT_EQ(tank_->crosshairRow, c.row);
  }
}

TEST_F(PlayerTankWeaponsTest, NextWeaponSkipsUnusableSlotsAndWrapsToTheFirst) {
  tank_->weaponSlots[kSlotCannon] = &kModuleA;    // no shell selected: unusable
  tank_->weaponSlots[kSlotChainGun] = &kModuleB;  // without ammunition: unusable
  tank_->weaponSlots[kSlotMarkII] = &kModuleC;
  tank_->weaponSlots[kSlotPlasma] = &kModuleD;
  tank_->selectedWeapon = &kModuleC;
  tank_->SelectNextWeapon();
  EXPECT_EQ(tank_->selectedWeapon, &kModuleD);
  tank_->SelectNextWeapon();
  EXPECT_EQ(tank_->selectedWeapon, &kModuleC);
  tank_->modules[kChainGunAmmoModule] = &kModuleA;
  tank_->selectedWeapon = &kModuleD;
  tank_->SelectNextWeapon();
  EXPECT_EQ(tank_->selectedWeapon, &kModuleB);
  EXPECT_EQ(tank_->weaponWord, 3u);
}

TEST_F(PlayerTankWeaponsTest, NextShellCyclesThroughTheFittedShells) {
  const void* frag = &kModuleA;
  const void* heat = &kModuleB;
  const void* ap = &kModuleC;
  const struct {
    const void* frag;
    const void* heat;
    const void* ap;
    const void* from;
    const void* to;
  } cases[] = {
      {nullptr, nullptr, ap, ap, ap},    {nullptr, nullptr, ap, nullptr, ap},
      {frag, heat, ap, nullptr, frag},   {frag, heat, ap, frag, heat},
      {frag, nullptr, ap, frag, ap},     {frag, heat, ap, heat, ap},
      {frag, heat, nullptr, heat, frag}, {frag, heat, ap, ap, frag},
      {nullptr, heat, ap, ap, heat},     {nullptr, nullptr, nullptr, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    tank_->modules[kFragShellModule] = c.frag;
    tank_->modules[kHeatShellModule] = c.heat;
    tank_->modules[kApShellModule] = c.ap;
    tank_->selectedShell = c.from;
    tank_->SelectNextShell();
    EXPECT_EQ(tank_->selectedShell, c.to);
  }
}

TEST_F(PlayerTankWeaponsTest, TargetsAreTanksWithinTheTargetingRange) {
  const float range = GetGameParamFloat(PARAM_TARGETING_RANGE);
  ASSERT_EQ(range, 800.0f);
  const float x = tank_->position[0];
  const float y = tank_->position[1];
  CTank* far = Create({.id = KIND_TANK | 7, .x = x + 700.0f, .y = y + 300.0f});
  ASSERT_NE(far, nullptr);
  EXPECT_EQ(tank_->SelectPriorTarget(0), 0u);
  EXPECT_EQ(tank_->SelectNextTarget(0), 0u);
  CTank* near = Create({.id = KIND_TANK | 8, .x = x + 700.0f, .y = y + 200.0f});
  ASSERT_NE(near, nullptr);
  EXPECT_EQ(tank_->SelectPriorTarget(0), KIND_TANK | 8);
  EXPECT_EQ(tank_->SelectNextTarget(0), KIND_TANK | 8);
  near->stealthOn = 1;
  EXPECT_EQ(tank_->SelectPriorTarget(0), 0u);
  tank_->modules[kDopplerRadarModule] = &kModuleA;
  EXPECT_EQ(tank_->SelectPriorTarget(0), KIND_TANK | 8);
}

}  // namespace
