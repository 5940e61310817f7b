#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <utility>
#include <vector>

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
const int kFitted = 0;

class PlayerTankInputTest : public TankArena {
 protected:
  void SetUp() override {
    TankArena::SetUp();
    TankSpec spec;
    spec.id = kOwnId;
    const auto record = ParseTankCreateRecord(tank_test::CreatePayload(spec));
    ASSERT_TRUE(record.has_value());
    tank_ = std::make_unique<CPlayerTank>(*record);
    tank_->designScreenOpen = 0;
  }
  void TearDown() override {
    tank_.reset();
    TankArena::TearDown();
  }

  void Command(std::uint32_t code) {
    InputEvent event{kInputCommand, code};
    tank_->HandleInput(event);
  }

  std::unique_ptr<CPlayerTank> tank_;
  CMailbox network_{kNetworkAddress};
};

TEST(MapControlCodeTest, PassesStepsMapsTenCodesAndDropsTheRest) {
  const struct {
    std::uint32_t code;
    std::uint32_t command;
  } cases[] = {
      {0x1001, 0x1001}, {0x1002, 0x1002}, {0x101F, 0x101F}, {0x1020, 0x102E}, {0x1021, 0x102A},
      {0x1022, 0x102B}, {0x1023, 0x102D}, {0x1024, 0x102C}, {0x1025, 0x1037}, {0x1026, 0x1038},
      {0x1027, 0x1039}, {0x1028, 0x103A}, {0x1029, 0x102F}, {0x102A, 0x1001}, {0, 0x1001},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MapControlCode(c.code), c.command) << std::hex << c.code;
  }
}

TEST(ScrollMessageLogTest, MovesSevenLinesWithinTheRing) {
  const struct {
    std::int32_t newest;
    std::int32_t shown;
    bool up;
    std::int32_t after;
  } cases[] = {
      {10, 10, true, 3},  {10, 3, true, 60},   {5, 3, true, 60},   {20, 14, true, 7},
      {10, 15, true, 17}, {10, 12, true, 17},  {60, 62, true, 3},  {10, 18, true, 18},
      {10, 17, true, 18}, {10, 10, false, 10}, {10, 3, false, 10}, {10, 60, false, 3},
      {10, 5, false, 10}, {60, 50, false, 57}, {2, 60, false, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScrollMessageLog(c.newest, c.shown, c.up), c.after)
        << c.newest << " " << c.shown << " " << c.up;
  }
}

// Forward while reversing first stops; pressed again it drives forward. Reverse mirrors it.
TEST_F(PlayerTankInputTest, ForwardAndReverseStopFirstWhenGoingTheOtherWay) {
  const struct {
    std::int32_t throttle;
    std::uint32_t command;
    std::int32_t target;
  } cases[] = {
      {-50, 0x1030, 0},  {0, 0x1030, 100},    {30, 0x1030, 100}, {50, 0x1031, 0},
      {0, 0x1031, -100}, {-30, 0x1031, -100}, {40, 0x1032, 40},
  };
  for (const auto& c : cases) {
    tank_->throttle = c.throttle;
    Command(c.command);
    EXPECT_EQ(tank_->throttleTarget, c.target) << c.throttle << " " << std::hex << c.command;
  }
}

TEST_F(PlayerTankInputTest, LowerGoesDeepOnlyForTheFirstChassisWithTheTurretAhead) {
  const struct {
    std::uint32_t chassis;
    float heading;
    float pitch;
  } cases[] = {
      {0, 0.0f, -90.0f},  {0, 7.9f, -90.0f}, {0, 8.0f, -20.0f},
      {0, -8.0f, -20.0f}, {1, 0.0f, -20.0f}, {4, 0.0f, -20.0f},
  };
  for (const auto& c : cases) {
    tank_->chassis = c.chassis;
    tank_->turretHeadingTarget = c.heading;
    gFrameTime += 5;
    Command(0x102B);
    EXPECT_EQ(tank_->barrelPitchTarget, c.pitch) << c.chassis << " " << c.heading;
    EXPECT_EQ(tank_->turretCommandTime, gFrameTime);
  }
}

TEST_F(PlayerTankInputTest, TheDetonatorSetsOffAPendingMineInsteadOfLayingOne) {
  tank_->detonationPending = 1;
  tank_->stocks[kDetonationMineStock] = 3;
  Command(0x103C);
  const std::vector<ReceivedMessage> sent = Drain(network_);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].type, MSG_MINE_DETONATE);
  EXPECT_TRUE(sent[0].payload.empty());
  EXPECT_EQ(tank_->detonationPending, 0u);
  EXPECT_EQ(tank_->stocks[kDetonationMineStock], 3);
}

// A turbo whose drain empties the battery with no spare left lasts half as long.
TEST_F(PlayerTankInputTest, TurboOnAnExhaustedBatteryLastsHalfItsDuration) {
  const auto duration = static_cast<std::uint32_t>(GetGameParamInt(PARAM_TURBO_BOOST_DURATION));
  const float drain = GetGameParamFloat(PARAM_TURBO_BOOST_DRAIN);
  ASSERT_GT(drain, 0.0f);
  const struct {
    float battery;
    std::uint32_t lasts;
    float batteryAfter;
  } cases[] = {
      {drain + 10.0f, duration, 10.0f},
      {drain, duration / 2, 0.0f},
      {drain * 0.5f, duration / 2, 0.0f},
  };
  tank_->modules[kTurboModule] = &kFitted;
  for (const auto& c : cases) {
    tank_->battery = c.battery;
    tank_->turboOn = 0;
    tank_->stocks[kTurboStock] = 2;
    tank_->throttle = 60;
    Command(0x106A);
    EXPECT_EQ(tank_->turboOn, 1u);
    EXPECT_EQ(tank_->turboEnd, gFrameTime + c.lasts) << c.battery;
    EXPECT_FLOAT_EQ(tank_->battery, c.batteryAfter);
    EXPECT_EQ(tank_->stocks[kTurboStock], 1);
    EXPECT_EQ(tank_->throttle, 0);
  }
}

TEST_F(PlayerTankInputTest, TheRosterHidesOnTheFourthPressWithinTenSeconds) {
  const std::uint32_t start = gFrameTime;
  for (int press = 1; press <= 3; ++press) {
    gFrameTime += 1000;
    Command(0x1064);
    EXPECT_EQ(tank_->rosterShownUntil, gFrameTime + 10000) << press;
  }
  gFrameTime += 1000;
  Command(0x1064);
  EXPECT_EQ(tank_->rosterShownUntil, 0u);
  EXPECT_EQ(tank_->rosterDirty, 1u);
  // After the roster's time a press starts over.
  gFrameTime = start + 60000;
  Command(0x1064);
  EXPECT_EQ(tank_->rosterPresses, 0);
  EXPECT_EQ(tank_->rosterShownUntil, gFrameTime + 10000);
}

TEST_F(PlayerTankInputTest, TheSatelliteViewRewritesItsKeys) {
  const struct {
    InputEvent in;
    InputEvent out;
    std::int32_t panHeading;
    std::int32_t panPitch;
  } cases[] = {
      {{kInputKeyPress, 0x0F}, {kInputCommand, 0x106D}, 7, 7},
      {{kInputCharacter, '~'}, {kInputCommand, 0x106D}, 7, 7},
      {{kInputKeyPress, 0x01}, {kInputCommand, 0x106C}, 7, 7},
      {{kInputKeyPress, 0x1C}, {kInputCommand, 0x106C}, 7, 7},
      {{kInputKeyPress, 0x39}, {kInputCommand, 0x106C}, 7, 7},
      {{kInputKeyPress, 0x2F}, {kInputCommand, 0x106C}, 7, 7},
      {{kInputControlCode, 0x1025}, {kInputCommand, 0x106C}, 7, 7},
      {{kInputKeyPress, 0x1E}, {}, 7, 1},
      {{kInputKeyPress, 0x2C}, {}, 7, -1},
      {{kInputKeyRelease, 0x1E}, {}, 7, 0},
      {{kInputKeyPress, 0xCB}, {}, 1, 7},
      {{kInputKeyPress, 0xCD}, {}, -1, 7},
      {{kInputKeyRelease, 0xCD}, {}, 0, 7},
      {{kInputControlCode, 0x1003}, {}, -1, 7},
      {{kInputControlCode, 0x1009}, {}, 0, 7},
      {{kInputKeyPress, 0x1F}, {}, 7, 0},
      {{kInputKeyPress, 0x30}, {}, 7, 7},
      {{kInputCommand, 0x1037}, {}, 7, 7},
  };
  for (const auto& c : cases) {
    tank_->satellitePanHeading = 7;
    tank_->satellitePanPitch = 7;
    InputEvent event = c.in;
    tank_->HandleFollowCameraInput(event);
    EXPECT_EQ(event, c.out) << c.in.kind << " " << std::hex << c.in.value;
    EXPECT_EQ(tank_->satellitePanHeading, c.panHeading) << std::hex << c.in.value;
    EXPECT_EQ(tank_->satellitePanPitch, c.panPitch) << std::hex << c.in.value;
  }
}

// A dead or deactivated tank performs only events that a screen routed.
TEST_F(PlayerTankInputTest, DeadOrDeactivatedTanksPerformOnlyScreenEvents) {
  const struct {
    std::uint32_t alive;
    std::uint32_t deactivated;
    std::uint32_t designScreen;
    std::uint32_t performed;
  } cases[] = {
      {1, 0, 0, 1}, {0, 0, 0, 0}, {1, 1, 0, 0}, {0, 1, 1, 1}, {1, 0, 1, 1},
  };
  for (const auto& c : cases) {
    tank_->alive = c.alive;
    tank_->deactivated = c.deactivated;
    tank_->designScreenOpen = c.designScreen;
    tank_->precisionAiming = 0;
    Command(0x1060);
    EXPECT_EQ(tank_->precisionAiming, c.performed) << c.alive << c.deactivated << c.designScreen;
  }
}

TEST_F(PlayerTankInputTest, APendingQuitIgnoresEvents) {
  tank_->quitTime = gFrameTime + 100;
  Command(0x1060);
  EXPECT_EQ(tank_->precisionAiming, 0u);
}

TEST_F(PlayerTankInputTest, ShieldAllocationStepsStayWithinZeroToEight) {
  const struct {
    std::int32_t step;
    std::uint32_t command;
    std::int32_t after;
    float allocation;
  } cases[] = {
      {4, 0x104E, 5, 1.25f}, {7, 0x104E, 8, 2.0f},  {8, 0x104E, 8, -1.0f}, {4, 0x104F, 3, 0.75f},
      {1, 0x104F, 0, 0.0f},  {0, 0x104F, 0, -1.0f}, {6, 0x108E, 4, 1.0f},  {4, 0x108E, 4, -1.0f},
  };
  for (const auto& c : cases) {
    tank_->shieldAllocationStep = c.step;
    tank_->shieldAllocation = -1.0f;
    Command(c.command);
    EXPECT_EQ(tank_->shieldAllocationStep, c.after);
    EXPECT_EQ(tank_->shieldAllocation, c.allocation) << c.step << " " << std::hex << c.command;
  }
}

TEST_F(PlayerTankInputTest, RadarDepthCyclesLongShortMedium) {
  const float longRange = GetGameParamFloat(PARAM_RADAR_RANGE_LONG);
  const float shortRange = GetGameParamFloat(PARAM_RADAR_RANGE_SHORT);
  const float mediumRange = GetGameParamFloat(PARAM_RADAR_RANGE_MEDIUM);
  tank_->radarRange = longRange;
  Command(0x103A);
  EXPECT_EQ(tank_->radarRange, shortRange);
  Command(0x103A);
  EXPECT_EQ(tank_->radarRange, mediumRange);
  Command(0x103A);
  EXPECT_EQ(tank_->radarRange, longRange);
}

TEST_F(PlayerTankInputTest, DevicesNeedTheirModuleAndBattery) {
  Command(0x1057);
  EXPECT_EQ(tank_->stealthOn, 0u);
  tank_->modules[kStealthModule] = &kFitted;
  tank_->battery = 0.0f;
  Command(0x1057);
  EXPECT_EQ(tank_->stealthOn, 0u);
  tank_->battery = 50.0f;
  Command(0x1057);
  EXPECT_EQ(tank_->stealthOn, 1u);
  const std::vector<ReceivedMessage> sent = Drain(network_);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].type, MSG_TANK_STEALTH);
  EXPECT_EQ(sent[0].payload, (std::vector<std::uint8_t>{1, 0, 0, 0}));
}

TEST_F(PlayerTankInputTest, TheDrainUsesSpareBatteriesAndFailsWhenTheyRunOut) {
  const struct {
    float battery;
    std::int32_t spares;
    float amount;
    bool succeeds;
    float after;
    std::int32_t sparesAfter;
  } cases[] = {
      {50.0f, 0, 0.0f, true, 50.0f, 0},   {0.0f, 2, 0.0f, true, 0.0f, 2},
      {0.0f, 2, 1.0f, false, 0.0f, 2},    {50.0f, 0, 20.0f, true, 30.0f, 0},
      {50.0f, 1, 50.0f, true, 100.0f, 0}, {50.0f, 2, 260.0f, false, 0.0f, 0},
      {50.0f, 3, 260.0f, true, 90.0f, 0}, {50.0f, 0, 60.0f, false, 0.0f, 0},
      {50.0f, 1, -30.0f, true, 50.0f, 1}, {50.0f, 1, -1000.0f, true, 50.0f, 1},
  };
  for (const auto& c : cases) {
    tank_->battery = c.battery;
    tank_->stocks[kSpareBatteryStock] = c.spares;
    EXPECT_EQ(tank_->DrainBattery(c.amount), c.succeeds) << c.battery << " " << c.amount;
    EXPECT_FLOAT_EQ(tank_->battery, c.after) << c.battery << " " << c.amount;
    EXPECT_EQ(tank_->stocks[kSpareBatteryStock], c.sparesAfter);
  }
}

TEST_F(PlayerTankInputTest, InputEventsFromTheMailboxArePerformed) {
  CMailbox poll{KIND_TANK | 99};
  PostInputEvent(poll, {kInputCommand, 0x1060});
  tank_->ProcessMessages();
  EXPECT_EQ(tank_->precisionAiming, 1u);
}

TEST_F(PlayerTankInputTest, ReconCaptureNeedsAReconInRangeAndACapture) {
  tank_->stocks[kReconCaptureStock] = 1;
  Command(0x1074);
  EXPECT_TRUE(Drain(network_).empty());
  tank_->chargeZones[6] = 1;
  Command(0x1074);
  const std::vector<ReceivedMessage> sent = Drain(network_);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].type, MSG_DEFENSE_CALL);
  EXPECT_EQ(sent[0].payload.size(), 12u);
  EXPECT_EQ(tank_->stocks[kReconCaptureStock], 0);
  Command(0x1074);
  EXPECT_TRUE(Drain(network_).empty());
}

TEST_F(PlayerTankInputTest, TheQuickRaiseCheckNeedsTheControllerAndNoDisguise) {
  const struct {
    bool controller;
    std::int32_t raise;
    std::uint32_t cloak;
    std::uint32_t stealth;
    std::uint32_t result;
  } cases[] = {
      {true, 0, 0, 0, 1}, {false, 0, 0, 0, 0}, {true, 1, 0, 0, 0},
      {true, 0, 1, 0, 0}, {true, 0, 0, 1, 0},
  };
  for (const auto& c : cases) {
    tank_->modules[kControllerModule] = c.controller ? &kFitted : nullptr;
    tank_->raiseState = c.raise;
    tank_->cloakOn = c.cloak;
    tank_->stealthOn = c.stealth;
    EXPECT_EQ(tank_->CanRise(0), c.result);
  }
}

int gEditorsClosed = 0;

// Closing the editor posts the changed rows of the game table one by one and confirms them; of
// the arena table it posts rows 1-99 whole when any row changed.
TEST_F(PlayerTankInputTest, ClosingTheParameterEditorPostsItsChanges) {
  TankSpec spec;
  spec.id = kOwnId;
  const auto record = ParseTankCreateRecord(tank_test::CreatePayload(spec));
  PlayerTankSession session;
  session.openParamEditor = [](CParam*, std::uint32_t) { return true; };
  session.closeParamEditor = [] { ++gEditorsClosed; };
  tank_.reset();
  tank_ = std::make_unique<CPlayerTank>(*record, session);
  tank_->designScreenOpen = 0;
  gEditorsClosed = 0;

  CMailbox::PostAnonymous(kPlayerInputAddress, MSG_PARAM_EDITOR, 0, nullptr);
  tank_->ProcessMessages();
  ASSERT_EQ(tank_->paramEditorOpen, 1u);
  GameParamTable[7].value = 1234;
  GameParamTable[7].modified = 1;
  GameParamTable[3].value = 55;
  GameParamTable[3].modified = 1;
  Drain(network_);
  Command(0x105D);
  std::vector<ReceivedMessage> sent;
  for (ReceivedMessage& message : Drain(network_)) {
    if (message.type == MSG_PARAM_SET || message.type == MSG_PARAM_EDITOR) {
      sent.push_back(std::move(message));
    }
  }
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].payload, (std::vector<std::uint8_t>{3, 0, 0, 0, 55, 0, 0, 0}));
  EXPECT_EQ(sent[1].payload, (std::vector<std::uint8_t>{7, 0, 0, 0, 0xD2, 0x04, 0, 0}));
  EXPECT_EQ(sent[2].type, MSG_PARAM_EDITOR);
  EXPECT_EQ(GameParamTable[7].modified, 0u);
  EXPECT_EQ(GameParamTable[7].savedValue, 1234u);
  EXPECT_EQ(tank_->paramEditorOpen, 0u);
  EXPECT_EQ(gEditorsClosed, 1);

  CMailbox::PostAnonymous(kPlayerInputAddress, MSG_PARAM_EDITOR, 396,
                          std::vector<std::uint8_t>(396, 0).data());
  tank_->ProcessMessages();
  ASSERT_EQ(tank_->paramEditorOpen, 1u);
  ArenaParamTable[5].value = 9;
  ArenaParamTable[5].modified = 1;
  Drain(network_);
  Command(0x105D);
  sent.clear();
  for (ReceivedMessage& message : Drain(network_)) {
    if (message.type == MSG_PARAM_SET || message.type == MSG_PARAM_EDITOR) {
      sent.push_back(std::move(message));
    }
  }
  ASSERT_EQ(sent.size(), 2u);
  ASSERT_EQ(sent[0].payload.size(), 396u);
  EXPECT_EQ(sent[0].payload[16], 9);  // row 5
  EXPECT_EQ(ArenaParamTable[5].modified, 1u);
  EXPECT_EQ(sent[1].type, MSG_PARAM_EDITOR);
  ArenaParamTable[5].modified = 0;
}

// The open design screen translates every event first: here Enter becomes its exit command and
// everything else is consumed.
TEST_F(PlayerTankInputTest, TheDesignScreenTranslatesEventsFirst) {
  TankSpec spec;
  spec.id = kOwnId;
  const auto record = ParseTankCreateRecord(tank_test::CreatePayload(spec));
  PlayerTankSession session;
  session.translateDesignKey = [](std::array<std::uint32_t, 12>& words) {
    const bool enter = words[0] == kInputKeyPress && words[1] == 0x1C;
    words = {};
    if (enter) {
      words[0] = kInputCommand;
      words[1] = 0x1051;
    }
  };
  tank_.reset();
  tank_ = std::make_unique<CPlayerTank>(*record, session);
  ASSERT_EQ(tank_->designScreenOpen, 1u);
  Command(0x1060);
  EXPECT_EQ(tank_->precisionAiming, 0u);
  EXPECT_EQ(tank_->designScreenOpen, 1u);
  InputEvent enter{kInputKeyPress, 0x1C};
  tank_->HandleInput(enter);
  EXPECT_EQ(tank_->designScreenOpen, 0u);
  EXPECT_EQ(tank_->damageLevel, 0);  // the loadout was applied
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> gSessionCommands;

TEST_F(PlayerTankInputTest, SessionCommandsGoToTheSession) {
  TankSpec spec;
  spec.id = kOwnId;
  const auto record = ParseTankCreateRecord(tank_test::CreatePayload(spec));
  PlayerTankSession session;
  session.sessionCommand = [](std::uint32_t command, std::uint32_t value) {
    gSessionCommands.emplace_back(command, value);
  };
  tank_.reset();
  tank_ = std::make_unique<CPlayerTank>(*record, session);
  tank_->designScreenOpen = 0;
  gSessionCommands.clear();
  for (const std::uint32_t code : {0x1049u, 0x1053u, 0x1053u, 0x107Bu, 0x1082u, 0x1070u}) {
    Command(code);
  }
  EXPECT_EQ(gSessionCommands,
            (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                {0x1049, 0}, {0x1053, 1}, {0x1053, 0}, {0x107B, 0}, {0x1082, 0}}));
}

TEST_F(PlayerTankInputTest, TheVersionCommandAddsItsLine) {
  Command(0x1072);
  ASSERT_EQ(tank_->logCount, 1u);
  EXPECT_EQ(tank_->messageLog[0], "\afVer .91 Wed Jul 23 14:17:40 1997");
}

}  // namespace
