#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "base/byte_writer.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/smoke.h"
#include "battle/arena/tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/sound_code.h"
#include "common/messages.h"
#include "tests/battle_arena/tank_arena.h"
#include "tests/support/word_payload.h"

namespace {

using tank_test::StatePayload;
using tank_test::StateSpec;
using tank_test::TankArena;

constexpr std::uint32_t kId = KIND_TANK | 3;

bool Hidden(const R3xActor* actor) { return r3xIsActorHidden(actor) != 0; }

class TankUpdateTest : public TankArena {
 protected:
  void SetUp() override {
    TankArena::SetUp();
    tank_ = Create({.id = kId, .x = 100, .y = 100});
    ASSERT_NE(tank_, nullptr);
  }
  CTank* tank_ = nullptr;
};

TEST_F(TankUpdateTest, TwoStatesInOneFrameApplyOnlyTheLater) {
  StateSpec first;
  first.position[0] = 80.0f;
  first.shields = 0x10;
  StateSpec second;
  second.position[0] = 120.0f;
  second.position[1] = 90.0f;
  second.turretHalf = 10;
  Send(kId, MSG_TANK_STATE, StatePayload(first));
  Send(kId, MSG_TANK_STATE, StatePayload(second));
  Frame();
  EXPECT_NEAR(tank_->position[0], 120.0f, 0.01f);
  EXPECT_NEAR(tank_->position[1], 90.0f, 0.01f);
  EXPECT_EQ(tank_->turretHeadingTarget, 20.0f);
  EXPECT_EQ(tank_->shieldBits, 0);
}

TEST_F(TankUpdateTest, StateFieldsReachTheTank) {
  StateSpec state;
  state.momentum[0] = 12.5f;
  state.drive = 3.0f;
  state.turn = -2.0f;
  state.barrelHalf = -5;
  state.shields = 0x05;
  state.rockets = 2;  // thrust alone sets both flags
  TankStateRecord record{};
  const std::vector<std::uint8_t> bytes = StatePayload(state);
  std::copy(bytes.begin(), bytes.end(), record.begin());
  tank_->ApplyState(record);
  EXPECT_EQ(tank_->momentum[0], 12.5f);
  EXPECT_EQ(tank_->driveForce, 3.0f);
  EXPECT_EQ(tank_->turnForce, -2.0f);
  EXPECT_EQ(tank_->barrelPitchTarget, -10.0f);
  EXPECT_EQ(tank_->rocketFlight, 1u);
  EXPECT_EQ(tank_->rocketThrust, 1u);
}

// The turret's ramp restarts only when a target changes.
TEST_F(TankUpdateTest, ANewTurretTargetRestartsTheRamp) {
  StateSpec state;
  state.turretHalf = 20;
  TankStateRecord record{};
  auto apply = [&] {
    const std::vector<std::uint8_t> bytes = StatePayload(state);
    std::copy(bytes.begin(), bytes.end(), record.begin());
    tank_->ApplyState(record);
  };
  gFrameTime = 5000;
  apply();
  EXPECT_EQ(tank_->turretCommandTime, 5000u);
  gFrameTime = 5100;
  apply();
  EXPECT_EQ(tank_->turretCommandTime, 5000u);
  EXPECT_EQ(tank_->turretStepTime, 5100u);
  state.barrelHalf = 3;
  gFrameTime = 5200;
  apply();
  EXPECT_EQ(tank_->turretCommandTime, 5200u);
}

// The turret follows its target at 0.06 units per ms times the chassis's factor, slowed by the
// square of the ramp's share while the ramp runs.
TEST_F(TankUpdateTest, TheTurretRampsTowardItsTarget) {
  const float factor = GetGameParamFloat(PARAM_DIZURORUV_HORIZONTAL_TURRET_FACTOR);
  tank_->turretHeadingTarget = 100.0f;
  tank_->turretStepTime = gFrameTime;
  tank_->turretCommandTime = gFrameTime;
  gFrameTime += 10;
  tank_->SmoothControls();
  EXPECT_NEAR(tank_->turretHeading, std::min(100.0f, 10 * 0.06f * factor), 1e-4f);
  GameParamTable[PARAM_TURRET_TIME_TO_FULL_SPEED].SetConfirmed(std::bit_cast<std::uint32_t>(40.0f));
  tank_->turretHeading = 0.0f;
  tank_->turretCommandTime = gFrameTime;
  tank_->turretStepTime = gFrameTime;
  gFrameTime += 10;
  tank_->SmoothControls();
  EXPECT_NEAR(tank_->turretHeading, 10 * 0.06f * factor * (10.0f / 40) * (10.0f / 40), 1e-4f);
}

// Cloak messages, firing and the player's infra-red, as a table of steps.
TEST_F(TankUpdateTest, TheCloakStates) {
  struct Case {
    const char* what;
    std::uint32_t cloak;  // MSG_TANK_CLOAK
    std::uint32_t seeCloaked;
    bool fire;
    std::uint32_t waitMs;  // frames after
    std::uint32_t state;
    bool hidden;
  };
  const std::uint32_t uncloak =
      static_cast<std::uint32_t>(GetGameParamInt(PARAM_CLOAK_FIRE_UNCLOAK_DURATION));
  const Case cases[] = {
      {"cloaked", 1, 0, false, 0, 1, true},
      {"uncloaked", 0, 0, false, 0, 0, false},
      {"seen by infra-red", 1, 1, false, 0, 4, false},
      {"fires: shown", 1, 0, true, 0, 2, false},
      {"fires, then hides again", 1, 0, true, uncloak + 100, 1, true},
      {"fires while seen", 1, 1, true, uncloak + 100, 4, false},
  };
  for (const Case& c : cases) {
    tank_->cloakState = 0;
    tank_->ShowParts();
    gSeeCloaked = 0;
    Send(kId, MSG_TANK_CLOAK, test_support::WordPayload({c.cloak}));
    Frame();
    gSeeCloaked = c.seeCloaked;
    if (c.fire) {
      tank_->fireTrigger = 1;
    }
    Frame();
    for (std::uint32_t waited = 0; waited < c.waitMs; waited += 100) {
      Frame(100);
    }
    EXPECT_EQ(tank_->cloakState, c.state) << c.what;
    EXPECT_EQ(Hidden(tank_->bodyActor), c.hidden) << c.what;
  }
}

// A damaged tank smokes every 400 ms at level 1 and every 200 ms at level 2.
TEST_F(TankUpdateTest, DamageSmokeTiming) {
  for (const auto& [level, interval] : {std::pair{1, 400u}, std::pair{2, 200u}}) {
    Send(kId, MSG_TANK_DAMAGE_LEVEL,
         test_support::WordPayload({static_cast<std::uint32_t>(level)}));
    Frame(500);
    EXPECT_EQ(tank_->nextSmokeTime, gFrameTime + interval) << level;
    const std::uint32_t next = tank_->nextSmokeTime;
    Frame(interval - 10);
    EXPECT_EQ(tank_->nextSmokeTime, next) << level;
    Frame(20);
    EXPECT_EQ(tank_->nextSmokeTime, gFrameTime + interval) << level;
  }
  Send(kId, MSG_TANK_DAMAGE_LEVEL, test_support::WordPayload({0}));
  Frame(1000);
  const std::uint32_t idle = tank_->nextSmokeTime;
  Frame(1000);
  EXPECT_EQ(tank_->nextSmokeTime, idle);
}

// The damage smoke rises 8 behind and 3.5 above the hull, one puff each time it is due.
TEST_F(TankUpdateTest, ADamagedTankSmokesBehindItsHull) {
  Frame(500);
  EXPECT_EQ(RunningSmoke(), 0);
  Send(kId, MSG_TANK_DAMAGE_LEVEL, test_support::WordPayload({1}));
  Frame(500);
  ASSERT_EQ(RunningSmoke(), 1);
  R3xPlacement puff{};
  for (const auto& smoke : gSmokeList) {
    if (smoke != nullptr && !smoke->IsFinished()) {
      r3xGetActorPlacement(smoke->Actor(), &puff);
    }
  }
  EXPECT_NEAR(puff.x, tank_->position[0] - 8.0f, 0.5f);
  EXPECT_NEAR(puff.y, tank_->position[1], 0.5f);
  EXPECT_NEAR(puff.z, tank_->position[2] + 3.5f, 0.5f);
  Frame(410);
  EXPECT_EQ(RunningSmoke(), 2);
}

TEST_F(TankUpdateTest, ScoreStealthChassisAndAppearance) {
  Send(kId, MSG_TANK_SCORE, test_support::WordPayload({5, 6, 7, 8}));
  Send(kId, MSG_TANK_STEALTH, test_support::WordPayload({1}));
  Send(kId, MSG_TANK_CHASSIS, test_support::WordPayload({2}));
  Frame();
  EXPECT_EQ(tank_->score[3], 8u);
  EXPECT_EQ(tank_->stealthOn, 1u);
  EXPECT_EQ(tank_->chassis, 2u);
  std::vector<std::uint8_t> appearance = test_support::WordPayload({0, 0, 2});
  appearance.push_back(0x50);
  Send(kId, MSG_TANK_APPEARANCE, appearance);
  Frame();
  EXPECT_EQ(tank_->stealthOn, 0u);
  EXPECT_EQ(tank_->damageLevel, 2);
  EXPECT_EQ(tank_->shieldBits, 0x50);
  EXPECT_FALSE(Hidden(tank_->frontShieldActor));
}

// A payload shorter than the record its handler reads is dropped and logged; the tank keeps its
// state.
TEST_F(TankUpdateTest, ShortMessagesAreDroppedAndLogged) {
  const float x = tank_->position[0];
  StateSpec state;
  state.position[0] = 50.0f;
  std::vector<std::uint8_t> bytes = StatePayload(state);
  bytes.resize(20);
  Send(kId, MSG_TANK_STATE, bytes);
  Send(kId, MSG_TANK_SCORE, test_support::WordPayload({9, 9}));
  Send(kId, MSG_TANK_APPEARANCE, test_support::WordPayload({0, 0, 1}));
  Frame();
  EXPECT_NEAR(tank_->position[0], x, 0.01f);
  EXPECT_EQ(tank_->score[0], 0u);
  EXPECT_EQ(tank_->damageLevel, 0);
  EXPECT_NE(Log().find("short message: type 0x04001006, 20 bytes of 36"), std::string::npos)
      << Log();
  EXPECT_NE(Log().find("short message: type 0x04001013, 12 bytes of 13"), std::string::npos);
}

// The carried flag is the flag's id, posted by the flag itself; the same word from the server is
// not taken.
TEST_F(TankUpdateTest, OnlyAFlagNamesTheFlagATankCarries) {
  constexpr std::uint32_t kFlagId = KIND_FLAG | 4;
  Send(kId, MSG_FLAG_TAKEN, test_support::WordPayload({0xDEADBEEF}));
  Frame();
  EXPECT_EQ(tank_->carriedFlag, 0u);
  CMailbox flag(kFlagId);
  const std::vector<std::uint8_t> word = test_support::WordPayload({kFlagId});
  flag.Post(kId, MSG_FLAG_TAKEN, 4, word.data());
  Frame();
  EXPECT_EQ(tank_->carriedFlag, kFlagId);
  Send(kId, MSG_FLAG_DROPPED, std::vector<std::uint8_t>(12));
  Frame();
  EXPECT_EQ(tank_->carriedFlag, 0u);
}

TEST_F(TankUpdateTest, StatesWaitWhileTheTankIsDeadAndTheRespawnPlacesIt) {
  Send(kId, MSG_TANK_DESTROYED, {});
  Frame();
  EXPECT_EQ(tank_->dead, 1u);
  EXPECT_EQ(tank_->damageLevel, -1);
  StateSpec state;
  state.position[0] = 150.0f;
  Send(kId, MSG_TANK_STATE, StatePayload(state));
  Frame();
  EXPECT_NEAR(tank_->position[0], 100.0f, 0.5f);
  state.position[0] = 160.0f;
  Send(kId, MSG_TANK_RESPAWN, StatePayload(state));
  Frame();
  EXPECT_EQ(tank_->dead, 0u);
  EXPECT_NEAR(tank_->position[0], 160.0f, 0.01f);
  EXPECT_FALSE(Hidden(tank_->turretActor));
}

TEST_F(TankUpdateTest, TheLocalTanksEntryIsLeftToItsOwnUpdate) {
  CTank local(*ParseTankCreateRecord(tank_test::CreatePayload({.id = KIND_TANK | 9, .x = 150})), 1);
  ASSERT_EQ(local.constructed, 1u);
  local.finished = 1;
  EXPECT_EQ(local.Update(), 0u);
  EXPECT_TRUE(Hidden(local.bodyActor));
}

}  // namespace

namespace {

std::vector<std::uint32_t>& PlayedCodes() {
  static std::vector<std::uint32_t> codes;
  return codes;
}

int RecordSound(std::uint32_t /*owner*/, std::uint32_t code, float /*x*/, float /*y*/) {
  PlayedCodes().push_back(code);
  return 1;
}

// The engine loop's pitch follows the forward speed, at least a quarter of the chassis's base;
// a speed too large for any pitch, or not a number, takes that lowest pitch.
TEST_F(TankUpdateTest, TheEngineLoopFollowsTheSpeed) {
  gArenaSound.playAt = RecordSound;
  struct Case {
    float momentum;
    std::uint32_t frequency;
  };
  const Case cases[] = {
      {0.0f, 13000 / 4},
      {10.0f, static_cast<std::uint32_t>(13000 * 10.0f * 0.075f)},
      {-10.0f, static_cast<std::uint32_t>(13000 * 10.0f * 0.075f)},
      {1e9f, 13000 / 4},
      {std::numeric_limits<float>::quiet_NaN(), 13000 / 4},
  };
  for (const Case& c : cases) {
    PlayedCodes().clear();
    tank_->momentum[0] = c.momentum;
    tank_->UpdateEngineSound();
    ASSERT_EQ(PlayedCodes().size(), 1u);
    EXPECT_EQ(PlayedCodes()[0], LoopCode(1, c.frequency) | SOUND_POSITIONAL) << c.momentum;
  }
  tank_->upsideDown = 1;
  PlayedCodes().clear();
  tank_->UpdateEngineSound();
  EXPECT_EQ(PlayedCodes(), std::vector<std::uint32_t>{SOUND_LOOP | 1});
  gArenaSound = {};
}

}  // namespace
