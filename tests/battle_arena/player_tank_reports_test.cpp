#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/byte_reader.h"
#include "battle/arena/player_loadout_slots.h"
#include "battle/arena/player_tank.h"
#include "battle/core/frame_time.h"
#include "common/messages.h"
#include "engine/r3x_core.h"
#include "tests/battle_arena/arena_object_fixture.h"
#include "tests/battle_arena/tank_arena.h"

namespace {

using tank_test::TankArena;
using tank_test::TankSpec;

constexpr std::uint32_t kOwnId = KIND_TANK | 5;

// Any non-null record stands for a fitted module: the reports only ask whether one is fitted.
const int kFitted = 0;

class PlayerTankReportsTest : public TankArena {
 protected:
  std::unique_ptr<CPlayerTank> MakeTank() {
    TankSpec spec;
    spec.id = kOwnId;
    const auto record = ParseTankCreateRecord(tank_test::CreatePayload(spec));
    EXPECT_TRUE(record.has_value());
    PlayerTankSession session;
    session.stateReportInterval = &interval_;
    return std::make_unique<CPlayerTank>(*record, session);
  }

  void Step(CPlayerTank& tank, std::uint32_t ms) {
    clock_.Advance(ms);
    gFrameTime = timeGetTime();
    tank.Update();
  }

  std::uint32_t interval_ = 250;
  CMailbox network_{kNetworkAddress};
};

// Every field packed from known values, byte by byte: the fixed-point fields truncated toward
// zero and wrapped to 16 bits, the target bytes halved and truncated, armor's low byte, the
// rocket flags, and the spare byte 0.
TEST_F(PlayerTankReportsTest, TheStateRecordPacksEveryFieldByteForByte) {
  auto tank = MakeTank();
  const float position[3] = {1.5f, -2.0f, 1025.0f};
  const float momentum[3] = {0.0005f, -0.0005f, 0.0f};
  const float spin[3] = {0.25f, 0.0f, -0.25f};
  std::copy_n(position, 3, tank->position);
  std::copy_n(momentum, 3, tank->momentum);
  std::copy_n(spin, 3, tank->angularMomentum);
  tank->heading = 300.7f;
  tank->pitch = -0.05f;
  tank->roll = 2.0f;
  tank->driveForce = 100.0f;
  tank->turnForce = -3.0f;
  tank->turretHeadingTarget = -7.0f;
  tank->barrelPitchTarget = 9.0f;
  tank->shieldBits = 0x10;
  tank->armor = 300;
  tank->crits = 55;
  tank->rocketFlight = 1;
  tank->rocketThrust = 0;
  const TankStateRecord expected = {
      0x30, 0x00, 0xC0, 0xFF, 0x20, 0x80,  // position 48, -64, 32800 wrapped
      0x96, 0x25, 0xFF, 0xFF, 0x40, 0x00,  // heading 9622, pitch -1, roll 64
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // momentum below one unit
      0x08, 0x00, 0x00, 0x00, 0xF8, 0xFF,  // angular momentum 8, 0, -8
      0x80, 0x0C, 0xA0, 0xFF,              // drive 3200, turn -96
      0x01, 0xFD, 0x04, 0x10, 0x2C, 0x37,  // at rest, -3, 4, shields, armor, crits
      0x01, 0x00};                         // rocket flight, spare
  EXPECT_EQ(tank->PackState(), expected);

  tank->rocketFlight = 0;
  tank->rocketThrust = 1;
  EXPECT_EQ(tank->PackState()[34], 0x02);
}

TEST_F(PlayerTankReportsTest, AtRestNeedsEveryMomentumStrictlyWithinOneThousandth) {
  const struct {
    float momentum[3];
    std::uint8_t atRest;
  } cases[] = {
      {{0.0f, 0.0f, 0.0f}, 1},    {{0.0009f, -0.0009f, 0.0009f}, 1}, {{0.001f, 0.0f, 0.0f}, 0},
      {{0.0f, -0.001f, 0.0f}, 0}, {{0.0f, 0.0f, 5.0f}, 0},
  };
  auto tank = MakeTank();
  for (const auto& c : cases) {
    std::copy_n(c.momentum, 3, tank->momentum);
    EXPECT_EQ(tank->PackState()[28], c.atRest) << c.momentum[0] << " " << c.momentum[1];
  }
}

// The gate: nothing while not alive or for a state report with value 0; any other type sends
// nothing of its own but still sets the next report.
TEST_F(PlayerTankReportsTest, SendStateFollowsItsGate) {
  auto tank = MakeTank();
  const std::uint32_t before = tank->nextStateReport;
  const struct {
    std::uint32_t alive;
    std::uint32_t type;
    std::uint32_t value;
    std::uint32_t posted;  // 0: nothing
    bool reschedules;
  } cases[] = {
      {0, MSG_TANK_STATE, 1, 0, false},           {0, MSG_TANK_FIRE, 7, 0, false},
      {1, MSG_TANK_STATE, 0, 0, false},           {1, MSG_TANK_STATE, 1, MSG_TANK_STATE, true},
      {1, MSG_TANK_FIRE, 7, MSG_TANK_FIRE, true}, {1, MSG_TANK_DAMAGE_LEVEL, 3, 0, true},
  };
  for (const auto& c : cases) {
    gFrameTime += 10;
    tank->nextStateReport = before;
    tank->alive = c.alive;
    tank->SendState(c.type, c.value);
    const std::vector<ReceivedMessage> sent = Drain(network_);
    if (c.posted == 0) {
      EXPECT_TRUE(sent.empty()) << c.type;
    } else {
      ASSERT_EQ(sent.size(), 1u) << c.type;
      EXPECT_EQ(sent[0].type, c.posted);
    }
    EXPECT_EQ(tank->nextStateReport, c.reschedules ? gFrameTime + interval_ : before) << c.type;
  }
}

TEST_F(PlayerTankReportsTest, TheFireReportCarriesTheBarrelPlacementAndTheShot) {
  auto tank = MakeTank();
  R3xPlacement muzzle{};
  if (tank->barrelActor != nullptr) {
    r3xGetActorPlacement(tank->barrelActor, &muzzle);
  }
  tank->SendState(MSG_TANK_FIRE, 0x1000009);
  const std::vector<ReceivedMessage> sent = Drain(network_);
  ASSERT_EQ(sent.size(), 1u);
  ASSERT_EQ(sent[0].payload.size(), 24u);
  arena::ByteReader reader(sent[0].payload);
  EXPECT_EQ(reader.F32(), muzzle.x);
  EXPECT_EQ(reader.F32(), muzzle.y);
  EXPECT_EQ(reader.F32(), muzzle.z);
  EXPECT_EQ(reader.F32(), muzzle.heading);
  EXPECT_EQ(reader.F32(), muzzle.pitch);
  EXPECT_EQ(reader.U32(), 0x1000009u);
}

// The frame's step reports the state when the report is due, at the server's interval, and not
// before the first loadout (damage level -1).
TEST_F(PlayerTankReportsTest, TheFrameReportsTheStateAtTheServersInterval) {
  auto tank = MakeTank();
  Step(*tank, 33);
  EXPECT_TRUE(Drain(network_).empty());
  tank->damageLevel = 0;
  Step(*tank, 33);
  std::vector<ReceivedMessage> sent = Drain(network_);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].type, MSG_TANK_STATE);
  EXPECT_EQ(sent[0].payload.size(), kTankStateRecordSize);
  EXPECT_EQ(tank->nextStateReport, gFrameTime + interval_);
  Step(*tank, interval_ - 1);
  EXPECT_TRUE(Drain(network_).empty());
  Step(*tank, 1);
  sent = Drain(network_);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].type, MSG_TANK_STATE);
}

std::vector<std::uint8_t> Words(std::initializer_list<std::uint32_t> words) {
  std::vector<std::uint8_t> bytes;
  for (const std::uint32_t word : words) {
    for (int shift = 0; shift < 32; shift += 8) {
      bytes.push_back(static_cast<std::uint8_t>(word >> shift));
    }
  }
  return bytes;
}

TEST_F(PlayerTankReportsTest, TheStatusReportWithNothingFittedIsFourWords) {
  auto tank = MakeTank();
  tank->battery = 57.9f;
  tank->rearShield = 12;
  tank->frontShield = 34;
  EXPECT_EQ(tank->PackVehicleStatus(), Words({57, 0, 12, 34}));
}

// Fitted devices in the report's order; a shell stock only while a shell is selected.
TEST_F(PlayerTankReportsTest, TheStatusReportListsTheFittedDevicesInOrder) {
  auto tank = MakeTank();
  tank->battery = 100.0f;
  tank->weaponSlots[kSlotCannon] = &kFitted;
  tank->weaponSlots[kSlotChainGun] = &kFitted;
  tank->weaponSlots[kSlotPlasma] = &kFitted;
  tank->modules[kHeatShellModule] = &kFitted;
  tank->modules[kChainGunAmmoModule] = &kFitted;
  tank->modules[kProximityMineModule] = &kFitted;
  tank->modules[kDetonationMineModule] = &kFitted;
  tank->modules[kReservePowerModule] = &kFitted;
  tank->modules[kSharpshooterModule] = &kFitted;
  tank->modules[kSuperchargerModule] = &kFitted;
  tank->modules[kRocketsModule] = &kFitted;
  tank->modules[kReconCaptureModule] = &kFitted;
  tank->stocks[kHeatShellStock] = 9;
  tank->stocks[kChainGunBulletStock] = 400;
  tank->stocks[kProximityMineStock] = 2;
  tank->stocks[kDetonationMineStock] = 3;
  tank->stocks[kSpareBatteryStock] = 1;
  tank->stocks[kRocketStock] = 6;
  EXPECT_EQ(tank->PackVehicleStatus(), Words({100, 0,  0, 0,  2, 1,  1, 1,  11, 400, 6, 1,  17,
                                              3,   16, 2, 22, 1, 23, 1, 39, 1,  35,  6, 30, 1}));
  tank->selectedShell = &kFitted;
  const std::vector<std::uint8_t> withShell = tank->PackVehicleStatus();
  EXPECT_EQ(std::vector<std::uint8_t>(withShell.begin() + 16, withShell.begin() + 40),
            Words({2, 1, 9, 9, 1, 1}));
}

TEST_F(PlayerTankReportsTest, TheStatusRequestIsAnsweredFromTheInputMailbox) {
  auto tank = MakeTank();
  CMailbox::PostAnonymous(kPlayerInputAddress, MSG_STATUS_REPORT, 0, nullptr);
  tank->ProcessMessages();
  const std::vector<ReceivedMessage> sent = Drain(network_);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].type, MSG_STATUS_REPORT);
  EXPECT_EQ(sent[0].payload.size(), 16u);
}

}  // namespace
