#include "battle/arena/player_tank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/byte_writer.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/missile.h"
#include "battle/arena/own_tank.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/sound_code.h"
#include "battle/core/sound_table.h"
#include "common/messages.h"
#include "host/interface/host_record.h"
#include "host/keyboard_device.h"
#include "host/process_record.h"
#include "platform/dinput.h"
#include "platform/win32.h"
#include "tests/battle_arena/tank_arena.h"
#include "tests/support/scoped_window_system.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/test_files.h"

namespace {

using tank_test::TankArena;
using tank_test::TankSpec;

constexpr std::uint32_t kOwnId = KIND_TANK | 5;

// A mailbox that notes, in one shared sequence, the messages posted to it.
class RecordingMailbox : public CMailbox {
 public:
  RecordingMailbox(std::uint32_t address, std::vector<std::uint32_t>& sequence)
      : CMailbox(address), sequence_(sequence) {}

 protected:
  bool Posted(std::uint32_t /*type*/) override {
    sequence_.push_back(Address());
    return false;
  }

 private:
  std::vector<std::uint32_t>& sequence_;
};

std::vector<std::uint8_t> Words(std::initializer_list<std::uint32_t> words) {
  arena::ByteWriter writer;
  for (const std::uint32_t word : words) {
    writer.U32(word);
  }
  return writer.bytes();
}

class PlayerTankTest : public TankArena {
 protected:
  std::unique_ptr<CPlayerTank> MakeTank(std::uint32_t team = 0, PlayerTankSession session = {}) {
    TankSpec spec;
    spec.id = kOwnId;
    spec.team = team;
    const auto record = ParseTankCreateRecord(tank_test::CreatePayload(spec));
    EXPECT_TRUE(record.has_value());
    return std::make_unique<CPlayerTank>(*record, session);
  }

  // Advances the clock and the frame time by `ms` and runs the tank's update.
  void Step(CPlayerTank& tank, std::uint32_t ms) {
    clock_.Advance(ms);
    gFrameTime = timeGetTime();
    tank.Update();
  }

  static void Input(std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
    Send(kPlayerInputAddress, type, bytes);
  }
};

TEST_F(PlayerTankTest, ConstructionSetsTheOwnIdAndTheStartingState) {
  auto tank = MakeTank();
  ASSERT_TRUE(tank->Works());
  EXPECT_EQ(gOwnTankId, kOwnId);
  EXPECT_EQ(tank->damageLevel, -1);
  EXPECT_EQ(tank->designScreenOpen, 1u);
  EXPECT_EQ(tank->InputMailbox().Address(), KIND_PLAYER_INPUT);
  EXPECT_EQ(tank->radarRange, GetGameParamFloat(PARAM_RADAR_RANGE_LONG));
  tank.reset();
  EXPECT_EQ(gOwnTankId, 0u);
}

// The macros come from "macro.dat" in the working folder, and a missing "control.dat" leaves the
// built-in bindings.
TEST_F(PlayerTankTest, MacrosAndBindingsComeFromTheWorkingFolder) {
  test_support::ScopedWorkingFolder working(folder_.Path());
  test_support::WriteTestFile(folder_.Path() / "macro.dat", "Hello\r\nGo left\n");
  auto tank = MakeTank();
  EXPECT_EQ(tank->chatMacros[0], "Hello");
  EXPECT_EQ(tank->chatMacros[1], "Go left");
  EXPECT_EQ(tank->chatMacros[2], "");
  EXPECT_TRUE(tank->keyBindings->IsBuiltIn());
  std::filesystem::remove(folder_.Path() / "macro.dat");
  EXPECT_EQ(MakeTank()->chatMacros[0], "");
}

TEST_F(PlayerTankTest, TheTargetMarkerIsHiddenAndBelongsToTheTank) {
  auto tank = MakeTank();
  ASSERT_NE(tank->targetMarker, nullptr);
  EXPECT_EQ(r3xIsActorHidden(tank->targetMarker), 1);
  EXPECT_EQ(r3xGetActorUserData(tank->targetMarker),
            reinterpret_cast<std::uintptr_t>(static_cast<CMailbox*>(tank.get())));
  tank.reset();
  EXPECT_EQ(r3xFindTag(world_, "Target"), nullptr);
  ASSERT_EQ(r3xRemoveTag(world_, "TARGET_POINTER_DEF"), 0);
  EXPECT_EQ(MakeTank()->targetMarker, nullptr);
}

TEST_F(PlayerTankTest, AnUnfinishedTankPartLeavesATankThatDoesNotWork) {
  ASSERT_EQ(r3xRemoveTag(world_, "TURRET_ACTORDEF"), 0);
  auto unfinished = MakeTank();
  EXPECT_FALSE(unfinished->Works());
  EXPECT_EQ(gOwnTankId, 0u);
  ASSERT_EQ(r3xRemoveTag(world_, "TANK_ACTORDEF"), 0);
  auto bodiless = MakeTank();
  EXPECT_FALSE(bodiless->Works());
}

TEST_F(PlayerTankTest, ParamEditorPayloadLengthsChooseTheTable) {
  struct Case {
    std::size_t length;
    CParam* table;
    std::uint32_t rows;
  };
  const Case cases[] = {
      {0, GameParamTable.data(), GAME_PARAM_COUNT},
      {396, ArenaParamTable.data(), 104},
      {392, nullptr, 0},
      {400, nullptr, 0},
      {4, nullptr, 0},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> payload(c.length);
    for (std::size_t i = 0; i < c.length; i += 4) {
      payload[i] = static_cast<std::uint8_t>(i / 4 + 1);
    }
    const ParamEditorTable table = PrepareParamEditorTable(payload);
    EXPECT_EQ(table.table, c.table) << c.length;
    EXPECT_EQ(table.rowCount, c.rows) << c.length;
  }
  // The 396 bytes: row 0 to -1, rows 1 to 99 from the words, all confirmed.
  EXPECT_EQ(ArenaParamTable[0].value, 0xFFFFFFFFu);
  EXPECT_EQ(ArenaParamTable[0].savedValue, 0xFFFFFFFFu);
  EXPECT_EQ(ArenaParamTable[1].value, 1u);
  EXPECT_EQ(ArenaParamTable[99].value, 99u);
  EXPECT_EQ(ArenaParamTable[99].savedValue, 99u);
  EXPECT_EQ(ArenaParamTable[99].modified, 0u);
}

TEST_F(PlayerTankTest, ParamSetIgnoresRowsOutsideTheTableAndShortPayloads) {
  auto tank = MakeTank();
  const std::uint32_t before = GameParamTable[5].value;
  struct Case {
    std::vector<std::uint8_t> payload;
    std::uint32_t expected5;
  };
  const Case cases[] = {
      {Words({5, 77}), 77}, {Words({500, 1}), 77},        {Words({0xFFFFFFFFu, 1}), 77},
      {Words({5}), 77},     {Words({5, before}), before},
  };
  for (const Case& c : cases) {
    Input(MSG_PARAM_SET, c.payload);
    tank->ProcessMessages();
    EXPECT_EQ(GameParamTable[5].value, c.expected5);
    EXPECT_EQ(GameParamTable[5].savedValue, c.expected5);
  }
}

TEST_F(PlayerTankTest, QuitTimerClearsAndPostsToTheServerThenTheSession) {
  std::vector<std::uint32_t> sequence;
  RecordingMailbox network(kNetworkAddress, sequence);
  RecordingMailbox session(kSessionAddress, sequence);
  auto tank = MakeTank();
  tank->quitTime = gFrameTime + 10;
  tank->ProcessMessages();
  EXPECT_TRUE(sequence.empty());
  clock_.Advance(10);
  gFrameTime = timeGetTime();
  tank->ProcessMessages();
  EXPECT_EQ(tank->quitTime, 0u);
  EXPECT_EQ(sequence, (std::vector<std::uint32_t>{kNetworkAddress, kSessionAddress}));
  tank->ProcessMessages();
  EXPECT_EQ(sequence.size(), 2u);
}

TEST_F(PlayerTankTest, ChatLinesTakeTheColourOfTheirTypeAndTheOwnTeam) {
  struct Case {
    std::uint32_t team;
    std::uint32_t type;
    const char* expected;  // null: nothing logged
  };
  const Case cases[] = {
      {0, MSG_CHAT, "\aehi"},        {0, MSG_CHAT_TEAM, "\aahi"},    {1, MSG_CHAT_TEAM, "\abhi"},
      {2, MSG_CHAT_TEAM, "\achi"},   {3, MSG_CHAT_TEAM, "\adhi"},    {1, MSG_CHAT_COMMAND, "\afhi"},
      {2, MSG_CHAT_REPORT, "\afhi"}, {0, MSG_CHAT_IGNORED, nullptr},
  };
  for (const Case& c : cases) {
    auto tank = MakeTank(c.team);
    Input(c.type, {'h', 'i', 0});
    tank->ProcessMessages();
    if (c.expected == nullptr) {
      EXPECT_EQ(tank->logCount, 0u);
    } else {
      ASSERT_EQ(tank->logCount, 1u);
      EXPECT_EQ(tank->messageLog[0], c.expected);
    }
  }
}

struct SoundCall {
  std::uint32_t owner;
  std::uint32_t code;
};
std::vector<SoundCall> gSounds;

TEST_F(PlayerTankTest, PlaySoundDropsShortPayloadsAndBoundsTheIndex) {
  gSounds.clear();
  const ArenaSound saved = gArenaSound;
  gArenaSound.playAt = [](std::uint32_t owner, std::uint32_t code, float, float) {
    gSounds.push_back({owner, code});
    return 0;
  };
  auto tank = MakeTank();
  Input(MSG_PLAY_SOUND, Words({7, 0}));
  Input(MSG_PLAY_SOUND, Words({kSoundCount, 0, 0}));
  Input(MSG_PLAY_SOUND, Words({SOUND_POSITIONAL | 0xFE, 0, 0}));
  Input(MSG_PLAY_SOUND, Words({7, 0, 0}));
  Input(MSG_PLAY_SOUND, Words({SOUND_POSITIONAL | (kSoundCount - 1), 0, 0}));
  Input(MSG_PLAY_SOUND, Words({SOUND_LOOP | kSoundStopIndex, 0, 0}));
  tank->ProcessMessages();
  gArenaSound = saved;
  ASSERT_EQ(gSounds.size(), 3u);
  EXPECT_EQ(gSounds[0].code, 7u);
  EXPECT_EQ(gSounds[1].code, SOUND_POSITIONAL | (kSoundCount - 1));
  EXPECT_EQ(gSounds[2].code, SOUND_LOOP | kSoundStopIndex);
  EXPECT_EQ(gSounds[0].owner, 0u) << "the sender of an anonymous post";
}

TEST_F(PlayerTankTest, TheStickAndTheQuitKeyDriveTheTankThroughThePoll) {
  test_support::ScopedWindowSystem windowSystem;
  HostRecord host{};
  host.window = test_support::CreateShownWindow("player_tank_wc", DefWindowProcA);
  ASSERT_NE(host.window, nullptr);
  gHostRecord = &host;
  ASSERT_TRUE(OpenKeyboardDevice(host.keyboard));
  PlayerTankSession session;
  session.host = &host;
  auto tank = MakeTank(0, session);
  tank->designScreenOpen = 0;
  tank->maxTurningThrust = 10.0f;
  tank->joystickPresent = true;
  tank->joystickCaps = {0, 200, 0, 200, 32};
  platform::SetJoystick(
      0, platform::AttachedJoystick{tank->joystickCaps, {20, 20, 0, 0}, JOY_POVCENTERED, 0});
  clock_.Advance(200);
  PlayerInputTank view = tank->InputPollView();
  PollPlayerInput(view, tank->InputPollState());
  EXPECT_EQ(tank->throttleTarget, 100);
  EXPECT_FLOAT_EQ(tank->turnForce, 10.0f);

  platform::DeliverKeyToKeyboards(DIK_LMENU, true, timeGetTime());
  platform::DeliverKeyToKeyboards(DIK_Q, true, timeGetTime());
  view = tank->InputPollView();
  PollPlayerInput(view, tank->InputPollState());
  EXPECT_NE(tank->quitTime, 0u);
  EXPECT_EQ(tank->throttleTarget, 0);
  platform::SetJoystick(0, std::nullopt);
  CloseKeyboardDevice(host.keyboard);
  gHostRecord = nullptr;
}

// The steered missile takes the keys' rates, reports its state once per 250 ms and flies on
// alone after Space.
TEST_F(PlayerTankTest, TheSteeredMissileTakesTheKeysAndReportsEvery250Ms) {
  test_support::ScopedWindowSystem windowSystem;
  HostRecord host{};
  host.window = test_support::CreateShownWindow("player_tank_wc", DefWindowProcA);
  ASSERT_NE(host.window, nullptr);
  gHostRecord = &host;
  ASSERT_TRUE(OpenKeyboardDevice(host.keyboard));
  PlayerTankSession session;
  session.host = &host;
  auto tank = MakeTank(0, session);
  tank->designScreenOpen = 0;
  const R3xPlacement pose{};
  auto missile = std::make_unique<CMissile>(pose, CMissile::kGuided, kOwnId, 1);
  ASSERT_TRUE(missile->IsSteered());
  gSteeredMissile = missile.get();
  CMailbox network(kNetworkAddress);
  const auto reports = [&network] {
    std::size_t count = 0;
    std::uint32_t length = 0;
    while (const MailboxMessagePtr message = network.Receive(length)) {
      count += message->type == MSG_MISSILE_STATE ? 1 : 0;
    }
    return count;
  };
  const auto poll = [&tank] {
    PlayerInputTank view = tank->InputPollView();
    PollPlayerInput(view, tank->InputPollState());
  };
  missile->nextStateTime = gFrameTime;
  platform::DeliverKeyToKeyboards(DIK_RIGHT, true, timeGetTime());
  poll();
  EXPECT_FLOAT_EQ(missile->Motion().targetHeadingRate, tank->InputPollState().missileTurnRate);
  EXPECT_NE(missile->Motion().targetHeadingRate, 0.0f);
  EXPECT_EQ(reports(), 1u);
  EXPECT_EQ(missile->nextStateTime, gFrameTime + 250);
  poll();
  EXPECT_EQ(reports(), 0u);
  platform::DeliverKeyToKeyboards(DIK_SPACE, true, timeGetTime());
  poll();
  EXPECT_FALSE(missile->IsSteered());
  gSteeredMissile = nullptr;
  missile.reset();
  CloseKeyboardDevice(host.keyboard);
  gHostRecord = nullptr;
}

TEST_F(PlayerTankTest, AnotherTankPushesTheOwnTankOnlyOutsideTheDesignScreen) {
  auto own = MakeTank();
  CTank* other = Create({.id = KIND_TANK | 9, .x = 90, .y = 100});
  ASSERT_NE(other, nullptr);
  R3xContact touch{};
  touch.contactClass = R3X_CONTACT_OBJECT;
  touch.target = own->smallCollisionActor;
  const float q[3] = {96, 100, own->position[2]};
  for (const std::uint32_t open : {1u, 0u}) {
    own->designScreenOpen = open;
    std::fill(own->momentum, own->momentum + 3, 0.0f);
    other->momentum[0] = 200.0f;
    EXPECT_EQ(other->ApplyContacts(&touch, q), kTankContactLocalTank);
    EXPECT_LT(other->momentum[0], 200.0f) << open;
    EXPECT_EQ(own->momentum[0] > 0.0f, open == 0) << open;
  }
}

TEST_F(PlayerTankTest, AFinishedSteeredMissileGivesTheCameraBackAndLeavesTheList) {
  auto tank = MakeTank();
  const R3xPlacement launch{100.0f, 110.0f, 5.0f, 0.0f, 0.0f, 0.0f, 0};
  CMissile* missile = ListMissile(std::make_unique<CMissile>(launch, CMissile::kGuided, kOwnId, 1));
  ASSERT_NE(missile, nullptr);
  EXPECT_FALSE(tank->InputPollView().steeringMissile);
  gSteeredMissile = missile;
  EXPECT_TRUE(tank->InputPollView().steeringMissile) << "the poll steers it";
  Step(*tank, 33);
  EXPECT_EQ(gSteeredMissile, missile) << "steered and flying: the camera rides it";
  EXPECT_EQ(missile->Explode(), 0u);
  Step(*tank, 33);
  EXPECT_EQ(gSteeredMissile, nullptr);
  EXPECT_TRUE(gMissileList.empty());
  EXPECT_FALSE(tank->InputPollView().steeringMissile);
  R3xPlacement barrel{};
  r3xGetActorPlacement(tank->barrelActor, &barrel);
  EXPECT_EQ(gListenerPlacement.x, barrel.x);
  EXPECT_EQ(gListenerPlacement.y, barrel.y);
}

TEST_F(PlayerTankTest, ThrottleReachesFullAfter400Ms) {
  for (const std::uint32_t frame : {33u, 10u, 4u, 3u, 1u}) {
    auto tank = MakeTank();
    tank->maxForwardThrust = 10.0f;
    tank->SetThrottle(100);
    std::uint32_t elapsed = 0;
    while (elapsed + frame < 400) {
      Step(*tank, frame);
      elapsed += frame;
    }
    EXPECT_LT(tank->throttle, 100) << frame;
    EXPECT_GT(tank->throttle, 0) << frame;
    Step(*tank, 400 - elapsed);
    EXPECT_EQ(tank->throttle, 100) << frame;
    EXPECT_FLOAT_EQ(tank->driveForce, 10.0f) << frame;
  }
}

TEST_F(PlayerTankTest, TurboForcesFullThrottleUntilItsEnd) {
  auto tank = MakeTank();
  tank->turboForceMultiplier = 3.0f;
  tank->maxForwardThrust = 10.0f;
  tank->turboOn = 1;
  tank->turboEnd = gFrameTime + 100;
  tank->SetThrottle(-50);  // ignored in turbo
  Step(*tank, 33);
  EXPECT_EQ(tank->throttle, 100);
  EXPECT_FLOAT_EQ(tank->driveForce, 30.0f);
  Step(*tank, 100);
  EXPECT_EQ(tank->turboOn, 0u);
  EXPECT_EQ(tank->throttle, 0);
  EXPECT_EQ(tank->throttleTarget, 0);
  EXPECT_FLOAT_EQ(tank->driveForce, 0.0f);
}

TEST_F(PlayerTankTest, NoPowerAndACarriedFlagClampTheThrottle) {
  GameParamTable[PARAM_WITH_FLAG_MOVE_MAX].SetConfirmed(30);
  auto tank = MakeTank();
  tank->battery = 0.0f;
  tank->SetThrottle(100);
  EXPECT_EQ(tank->throttleTarget, GetGameParamInt(PARAM_NO_POWER_MOVE_MAX));
  tank->SetThrottle(-100);
  EXPECT_EQ(tank->throttleTarget, -GetGameParamInt(PARAM_NO_POWER_MOVE_MAX));
  tank->carriedFlag = 1;
  tank->SetThrottle(100);
  EXPECT_EQ(tank->throttleTarget, 30);
  tank->battery = 1.0f;
  tank->carriedFlag = 0;
  tank->SetThrottle(100);
  EXPECT_EQ(tank->throttleTarget, 100);
}

TEST_F(PlayerTankTest, ZoomTakes41StepsOf60MsFrom85To3) {
  auto tank = MakeTank();
  tank->targetViewAngle = 3.0f;
  Step(*tank, 60);
  EXPECT_EQ(tank->viewAngle, 83.0f);
  EXPECT_EQ(tank->zoomLevel, 1);
  int steps = 1;
  while (tank->viewAngle != 3.0f && steps < 100) {
    const float before = tank->viewAngle;
    Step(*tank, 59);
    EXPECT_EQ(tank->viewAngle, before);  // a step every 60 ms
    Step(*tank, 1);
    EXPECT_EQ(tank->viewAngle, before - 2.0f);
    ++steps;
  }
  EXPECT_EQ(steps, 41);
  EXPECT_EQ(tank->zoomLevel, 16);
  tank->ResetZoom();
  EXPECT_EQ(tank->zoomLevel, 0);
  EXPECT_EQ(tank->viewAngle, 85.0f);
}

TEST_F(PlayerTankTest, DestroyedEndsTheUpdateAndLeavesLaterMessages) {
  auto tank = MakeTank();
  Send(kOwnId, MSG_TANK_DESTROYED, Words({KIND_TANK | 9}));
  Send(kOwnId, MSG_TANK_SCORE, Words({1, 2, 3, 4}));
  Step(*tank, 33);
  EXPECT_EQ(tank->dead, 1u);
  EXPECT_EQ(tank->score[0], 0u);
  EXPECT_EQ(tank->Count(), 1u);
}

TEST_F(PlayerTankTest, ShortOwnMessagesAreDropped) {
  auto tank = MakeTank();
  tank->alive = 0;
  Send(kOwnId, MSG_TANK_SCORE, Words({1, 2}));
  Send(kOwnId, MSG_TANK_RESPAWN, Words({1, 2}));
  Send(kOwnId, MSG_FLAG_TAKEN, {});
  Step(*tank, 33);
  EXPECT_EQ(tank->score[0], 0u);
  EXPECT_EQ(tank->alive, 0u);
  EXPECT_EQ(tank->carriedFlag, 0u);
  EXPECT_EQ(tank->Count(), 0u);
}

TEST_F(PlayerTankTest, TheRespawnWaitPostsItsReportsAndEnds) {
  std::vector<std::uint32_t> sequence;
  RecordingMailbox network(kNetworkAddress, sequence);
  auto tank = MakeTank();
  tank->dead = 1;
  Step(*tank, 33);
  EXPECT_EQ(tank->alive, 0u);
  EXPECT_EQ(tank->damageLevel, -1);
  EXPECT_EQ(network.Count(), 1u);  // MSG_TANK_DAMAGE_LEVEL
  Step(*tank, static_cast<std::uint32_t>(GetGameParamInt(PARAM_DEATH_RESTART_TIME)));
  EXPECT_EQ(tank->dead, 0u);
  EXPECT_EQ(tank->deathWaitEnd, 0u);
  std::uint32_t length = 0;
  EXPECT_EQ(network.Receive(length)->type, MSG_TANK_DAMAGE_LEVEL);
  EXPECT_EQ(network.Receive(length)->type, MSG_TANK_RESPAWN);
}

}  // namespace
