#include "battle/arena/missile.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_particles.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/explosion.h"
#include "battle/arena/shot_hits.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "battle/core/log.h"
#include "battle/core/sound_code.h"
#include "common/messages.h"
#include "tests/battle_arena/demo_arena_fixture.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"

namespace {

std::vector<std::uint32_t> gSoundCodes;
std::vector<ParticleBurst> gBursts;

int RecordSound(std::uint32_t, std::uint32_t code, float, float) {
  gSoundCodes.push_back(code);
  return 1;
}
void RecordBurst(const ParticleBurst& burst) { gBursts.push_back(burst); }

void SetParamFloat(std::size_t row, float value) {
  GameParamTable[row].SetConfirmed(std::bit_cast<std::uint32_t>(value));
}

constexpr std::uint32_t kLauncher = KIND_TANK | 0x0021;
// Level, 5 above the demo arena's floor, heading along +x; down from 20, pitch 384.
constexpr R3xPlacement kLevel{100.0f, 100.0f, 5.0f, 0.0f, 0.0f, 0.0f, 0};
constexpr R3xPlacement kDown{100.0f, 100.0f, 20.0f, 0.0f, 384.0f, 0.0f, 0};

std::vector<std::uint8_t> CreateRecord(std::uint32_t owner, std::int32_t kind,
                                       const R3xPlacement& pose) {
  const std::array<std::uint32_t, 7> words{owner,
                                           static_cast<std::uint32_t>(kind),
                                           std::bit_cast<std::uint32_t>(pose.x),
                                           std::bit_cast<std::uint32_t>(pose.y),
                                           std::bit_cast<std::uint32_t>(pose.z),
                                           std::bit_cast<std::uint32_t>(pose.heading),
                                           std::bit_cast<std::uint32_t>(pose.pitch)};
  std::vector<std::uint8_t> bytes(sizeof words);
  std::memcpy(bytes.data(), words.data(), sizeof words);
  return bytes;
}

std::vector<std::uint8_t> StateBytes(const std::array<float, 10>& state) {
  std::vector<std::uint8_t> bytes(sizeof state);
  std::memcpy(bytes.data(), state.data(), sizeof state);
  return bytes;
}

class MissileTest : public DemoArenaFixture {
 protected:
  void SetUp() override {
    DemoArenaFixture::SetUp();
    gSoundCodes.clear();
    gBursts.clear();
    gArenaSound.playAt = RecordSound;
    gArenaParticles.burst = RecordBurst;
    gListenerPlacement = kLevel;
  }
  void TearDown() override {
    gSteeredMissile = nullptr;
    DeleteAllMissiles();
    DeleteAllExplosions();
    gArenaSound = {};
    gArenaParticles = {};
    gListenerPlacement = {};
    DemoArenaFixture::TearDown();
  }

  static CMissile* Launch(std::int32_t kind, const R3xPlacement& pose = kLevel,
                          std::uint32_t report = 1) {
    return ListMissile(std::make_unique<CMissile>(pose, kind, kLauncher, report));
  }
  // Updates the list every 50 ms until the missile is gone or finished (at most 400 frames).
  static void FlyOut(const CMissile* missile) {
    for (int i = 0; i < 400; ++i) {
      bool listed = false;
      for (const auto& m : gMissileList) {
        listed |= m.get() == missile && !m->IsFinished();
      }
      if (!listed) {
        return;
      }
      gFrameTime += 50;
      UpdateAllMissiles();
    }
  }
};

TEST_F(MissileTest, KindsTakeTheirAddressesModelsAndDamage) {
  struct Case {
    std::int32_t kind;
    std::uint32_t address;
    std::int32_t modelCode;
    std::int32_t damage;
    bool blasts;
    std::uint32_t duration;
  };
  const Case cases[] = {
      {0, KIND_MISSILE | 0x0021, 22, 35, true, 10000},
      {1, kMissileAddressPhoenix, 22, 30, true, 8000},
      {2, kMissileAddressDeactivator, 23, 0, false, 8000},
      {3, kMissileAddressFlash, 25, 0, false, 8000},
      {4, kMissileAddressBatteryDrain, 24, 0, false, 8000},
  };
  for (const Case& c : cases) {
    CMissile* missile = Launch(c.kind);
    ASSERT_NE(missile, nullptr) << c.kind;
    EXPECT_EQ(missile->Address(), c.address) << c.kind;
    EXPECT_EQ(missile->ModelCode(), c.modelCode) << c.kind;
    EXPECT_EQ(missile->Damage(), c.damage) << c.kind;
    EXPECT_EQ(missile->Blasts(), c.blasts) << c.kind;
    EXPECT_EQ(missile->Expiry(), gFrameTime + c.duration) << c.kind;
    EXPECT_EQ(missile->IsSteered(), c.kind == 0) << c.kind;
    // Launched 2.0 ahead of the pose.
    EXPECT_FLOAT_EQ(missile->Motion().pose.x, kLevel.x + 2.0f);
  }
  EXPECT_FALSE(ListMissile(std::make_unique<CMissile>(kLevel, 0, kLauncher, 0))->IsSteered());
}

TEST_F(MissileTest, AnExpiredMissileExplodesWithoutBlastOrReport) {
  CMissile* missile = Launch(1, kLevel, 1);
  ASSERT_NE(missile, nullptr);
  gFrameTime = missile->Expiry() + 1;
  UpdateAllMissiles();
  EXPECT_TRUE(gMissileList.empty());
  EXPECT_EQ(gSoundCodes, std::vector<std::uint32_t>{11 | SOUND_POSITIONAL});
  EXPECT_EQ(gExplosionList.size(), 1u);
}

TEST_F(MissileTest, AMissileFliesTrailingItsExhaustIntoTheFloor) {
  CMissile* missile = Launch(2, kDown);
  ASSERT_NE(missile, nullptr);
  gFrameTime += 20;
  UpdateAllMissiles();
  ASSERT_EQ(gMissileList.size(), 1u);
  ASSERT_EQ(gBursts.size(), 1u);
  EXPECT_EQ(gBursts[0].attempts, 80u);
  EXPECT_EQ(gBursts[0].kind, 3);
  EXPECT_EQ(gBursts[0].red, 255);
  EXPECT_EQ(gBursts[0].green, 128);
  EXPECT_EQ(gBursts[0].blue, 0);
  // The exhaust rides 2.5 behind (above) the missile, its trail streaming back up.
  const R3xPlacement body = PlacementOf(missile->Actor());
  const R3xPlacement exhaust = PlacementOf(missile->Exhaust());
  EXPECT_NEAR(exhaust.z - body.z, 2.5f, 1e-4f);
  EXPECT_GT(gBursts[0].velocity[2], 0.0f);
  FlyOut(missile);
  EXPECT_TRUE(gMissileList.empty());
  EXPECT_EQ(gSoundCodes, std::vector<std::uint32_t>{11 | SOUND_POSITIONAL});
  EXPECT_EQ(gExplosionList.size(), 1u);
}

TEST_F(MissileTest, EffectMissilesReportNoDamageButTheirModelCode) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {{2, 23}, {3, 25}, {4, 24}};
  for (const auto& [kind, code] : cases) {
    CMissile* missile = Launch(kind);
    const ShotTankOrders orders = missile->HitTank({.side = kHitSideFront});
    EXPECT_TRUE(orders.report) << kind;
    EXPECT_EQ(orders.damage, 0) << kind;
    EXPECT_EQ(orders.modelCode, code) << kind;
    EXPECT_EQ(orders.owner, kLauncher);
    EXPECT_TRUE(orders.push);
  }
}

// The phoenix missile reports its direct hit only without a proximity radius; with one, every
// tank within radius + 20 takes its share by distance, the touched one pushed once.
TEST_F(MissileTest, APhoenixBlastsOnlyWithAProximityRadius) {
  SetParamFloat(PARAM_PHOENIX_MISSILE_PROXIMITY_RADIUS, 0.0f);
  CMissile* plain = Launch(1);
  EXPECT_FALSE(plain->Blasts());
  EXPECT_TRUE(plain->HitTank({}).report);
  EXPECT_EQ(plain->HitTank({}).damage, 30);

  SetParamFloat(PARAM_PHOENIX_MISSILE_PROXIMITY_RADIUS, 5.0f);
  CMissile* phoenix = Launch(1);
  EXPECT_TRUE(phoenix->Blasts());
  EXPECT_FALSE(phoenix->HitTank({}).report);
  const Vector3 centre{100.0f, 100.0f, 2.0f};
  struct Case {
    float dx;
    bool reached;
    std::int32_t damage;
  };
  // Reach 25: no line of sight is asked for.
  const Case cases[] = {
      {0.0f, true, 30}, {5.0f, true, 24}, {12.5f, true, 15}, {25.0f, true, 0}, {25.5f, false, 0}};
  for (const Case& c : cases) {
    const Vector3 tank{centre[0] + c.dx, centre[1], centre[2]};
    const auto orders = phoenix->BlastOnTank(centre, tank, {}, false);
    ASSERT_EQ(orders.has_value(), c.reached) << c.dx;
    if (c.reached) {
      EXPECT_TRUE(orders->report);
      EXPECT_EQ(orders->damage, c.damage) << c.dx;
      EXPECT_TRUE(orders->push);
    }
  }
  const auto touched = phoenix->BlastOnTank(centre, {101.0f, 100.0f, 2.0f}, {}, true);
  ASSERT_TRUE(touched.has_value());
  EXPECT_FALSE(touched->push);
  // Under the floor too: the blast asks no line of sight.
  EXPECT_TRUE(phoenix->BlastOnTank(centre, {110.0f, 100.0f, -8.0f}, {}, false).has_value());
}

TEST_F(MissileTest, AMissileNeverMeetsItsLaunchersTank) {
  CMissile* missile = Launch(1);
  CMailbox launcher(kLauncher);
  CMailbox otherTank(KIND_TANK | 0x0022);
  CMailbox ownTower(KIND_PERSONAL_DEFENSE | 0x0021);
  CMailbox gun(KIND_RECON_GUN | 3);
  const R3xPlacement at{150.0f, 150.0f, 5.0f, 0.0f, 0.0f, 0.0f, -1};
  auto* definition = reinterpret_cast<R3xActorDef*>(r3xFindTag(world_, "TANK_ACTORDEF"));
  struct Case {
    CMailbox* object;
    std::uint32_t filter;
  };
  const Case cases[] = {{&launcher, R3X_SWEEP_IGNORE},
                        {&otherTank, R3X_SWEEP_IGNORE},  // only its small collision actor
                        {&ownTower, R3X_SWEEP_PARTS},
                        {&gun, R3X_SWEEP_PARTS},
                        {nullptr, R3X_SWEEP_IGNORE}};
  for (const Case& c : cases) {
    R3xActor* actor = r3xCreateActor(world_, definition, nullptr, &at, nullptr, nullptr, 1.0f, 1.0f,
                                     reinterpret_cast<std::uintptr_t>(c.object));
    EXPECT_EQ(MissileSweepFilter(actor, missile), c.filter);
    // Every contact with a target stops the missile, touch or not.
    R3xContact contact{};
    contact.phase = R3X_CONTACT_CROSS;
    contact.passable = 1;
    contact.contactClass = R3X_CONTACT_OBJECT;
    contact.target = actor;
    std::int32_t pass = -1;
    std::int32_t remaining = -1;
    float backoff = 0.0f;
    gMover->hitFlag = 0;
    MissileSweepHit(&contact, missile, &pass, &remaining, &backoff);
    EXPECT_EQ(pass, c.object != nullptr ? 0 : 1);
    EXPECT_EQ(gMover->hitFlag, c.object != nullptr ? 1u : 0u);
    EXPECT_EQ(backoff, 0.8f);
    r3xDestroyActor(world_, actor);
  }
}

TEST_F(MissileTest, TheSteeredMissileEndsButStaysListed) {
  CMissile* missile = Launch(0);
  ASSERT_TRUE(missile->IsSteered());
  gSteeredMissile = missile;
  gFrameTime += 20;
  UpdateAllMissiles();
  // The camera and the listener ride it.
  EXPECT_FLOAT_EQ(gListenerPlacement.x, missile->Motion().pose.x);
  gFrameTime = missile->Expiry() + 1;
  UpdateAllMissiles();
  ASSERT_EQ(gMissileList.size(), 1u);
  EXPECT_TRUE(missile->IsFinished());
  const float x = gListenerPlacement.x;
  gFrameTime += 50;
  UpdateAllMissiles();
  EXPECT_EQ(gMissileList.size(), 1u);
  EXPECT_EQ(gListenerPlacement.x, x);
  // The player's vehicle deletes it.
  gMissileList.clear();
  EXPECT_EQ(gSteeredMissile, nullptr);
}

TEST_F(MissileTest, StateReportsCarryThePoseAndRates) {
  CMissile* sender = Launch(0);
  CMailbox network(kNetworkAddress);
  sender->SendState();
  std::uint32_t length = 0;
  MailboxMessagePtr message = network.Receive(length);
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(message->type, MSG_MISSILE_STATE);
  ASSERT_EQ(length, 40u);
  std::array<float, 10> words{};
  std::memcpy(words.data(), message->Payload(), sizeof words);
  EXPECT_EQ(words[0], static_cast<float>(sender->Address()));
  EXPECT_EQ(words[1], sender->Motion().pose.x);

  CMissile* copy = ListMissile(std::make_unique<CMissile>(kLevel, 1, kLauncher, 0));
  copy->ApplyState(
      StateBytes({0.0f, 150.0f, 160.0f, 7.0f, 100.0f, 20.0f, 0.0005f, -0.0009f, 3.0f, -0.002f}));
  const CMotionModel& motion = copy->Motion();
  EXPECT_EQ(motion.pose.x, 150.0f);
  EXPECT_EQ(motion.pose.y, 160.0f);
  EXPECT_EQ(motion.pose.z, 7.0f);
  EXPECT_EQ(motion.pose.heading, 100.0f);
  EXPECT_EQ(motion.pose.pitch, 20.0f);
  EXPECT_EQ(motion.pose.roll, 0.0f);
  EXPECT_EQ(motion.targetHeadingRate, 0.0f);
  EXPECT_EQ(motion.headingRate, 0.0f);
  EXPECT_EQ(motion.previousHeadingRate, 0.0f);
  EXPECT_EQ(motion.targetPitchRate, 3.0f);
  EXPECT_EQ(motion.pitchRate, -0.002f);
  EXPECT_EQ(motion.previousPitchRate, -0.002f);
  EXPECT_EQ(PlacementOf(copy->Actor()).x, 150.0f);
  EXPECT_NEAR(PlacementOf(copy->Exhaust()).z, 7.0f - 2.5f * r3xSinUnits(20.0f), 1e-4f);
}

// A state report reaches the missile through its mailbox in its next update.
TEST_F(MissileTest, AStateReportArrivesThroughTheMailbox) {
  CMissile* copy = ListMissile(std::make_unique<CMissile>(kLevel, 0, kLauncher, 0));
  const std::vector<std::uint8_t> state =
      StateBytes({0.0f, 150.0f, 160.0f, 7.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f});
  CMailbox::PostAnonymous(copy->Address(), MSG_MISSILE_STATE,
                          static_cast<std::uint32_t>(state.size()), state.data());
  gFrameTime += 1;
  UpdateAllMissiles();
  EXPECT_NEAR(copy->Motion().pose.x, 150.0f, 0.1f);
  EXPECT_EQ(copy->Motion().pose.y, 160.0f);
}

TEST_F(MissileTest, AShortStateReportIsDroppedAndLogged) {
  test_support::ScratchFolder folder("short_state");
  const std::filesystem::path log = folder.Path() / "arena.log";
  OpenLog(log.c_str());
  CMissile* copy = Launch(1);
  const float x = copy->Motion().pose.x;
  std::vector<std::uint8_t> state =
      StateBytes({0.0f, 150.0f, 160.0f, 7.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f});
  state.resize(36);
  copy->ApplyState(state);
  std::vector<std::uint8_t> record = CreateRecord(kLauncher, 0, kLevel);
  record.resize(20);
  CreateMissile(record);
  CloseLog();
  EXPECT_EQ(copy->Motion().pose.x, x);
  EXPECT_EQ(gMissileList.size(), 1u);
  EXPECT_EQ(test_support::ReadTestFile(log),
            "00 short message: type 0x04007003, 36 bytes of 40\n"
            "00 short message: type 0x04007001, 20 bytes of 28\n");
}

TEST_F(MissileTest, TheSessionsRecordMakesAnUnreportedMissile) {
  CreateMissile(CreateRecord(kLauncher, 0, kLevel));
  ASSERT_EQ(gMissileList.size(), 1u);
  const CMissile& missile = *gMissileList.front();
  EXPECT_FALSE(missile.IsSteered());
  EXPECT_EQ(missile.Owner(), kLauncher);
  EXPECT_EQ(missile.Kind(), 0);
  EXPECT_FALSE(missile.HitTank({}).report);
  std::vector<std::uint8_t> shorter = CreateRecord(kLauncher, 0, kLevel);
  shorter.pop_back();
  CreateMissile(shorter);
  EXPECT_EQ(gMissileList.size(), 1u);
}

// A record's angle that no turn could come from is taken as 0, as a state report's would be.
TEST_F(MissileTest, ALaunchAngleBeyondAnyTurnIsTakenAsZero) {
  R3xPlacement wild = kLevel;
  wild.heading = 1e30f;
  wild.pitch = std::bit_cast<float>(0x7FC00000u);  // not a number
  CreateMissile(CreateRecord(kLauncher, 1, wild));
  ASSERT_EQ(gMissileList.size(), 1u);
  const CMissile& missile = *gMissileList.front();
  EXPECT_EQ(missile.Motion().pose.heading, 0.0f);
  EXPECT_EQ(missile.Motion().pose.pitch, 0.0f);
  EXPECT_FLOAT_EQ(missile.Motion().pose.x, kLevel.x + 2.0f);
}

// The half-space world with the missile's models: points with x < 0 lie in no region.
class MissileEdgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(r3xInit(), R3X_DONE);
    InitGameParams();
    world_ = MakeHalfSpaceWorld();
    ASSERT_NE(world_, nullptr);
    gWorld = world_;
    ASSERT_NE(MakeBareActorDef(world_, "MISSILE_ACTORDEF", 1), nullptr);
    ASSERT_NE(MakeBareActorDef(world_, "EXFLARE_DEF", 1), nullptr);
    mover_ = std::make_unique<CMover>();
    gMover = mover_.get();
    gFrameTime = 1000;
  }
  void TearDown() override {
    DeleteAllMissiles();
    DeleteAllExplosions();
    gMover = nullptr;
    mover_.reset();
    gWorld = nullptr;
    r3xDestroyWorld(world_);
    r3xShutdown();
  }

  R3xWorld* world_ = nullptr;
  std::unique_ptr<CMover> mover_;
};

// A missile the session cannot list goes at once with its mailbox, which would otherwise take
// the state reports of the missiles sharing its address.
TEST_F(MissileEdgeTest, AMissileThatCannotBeListedGoesWithItsMailbox) {
  const R3xPlacement inside{10.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0};
  const R3xPlacement outside{-10.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0};
  CreateMissile(CreateRecord(kLauncher, 1, inside));
  CreateMissile(CreateRecord(kLauncher, 1, outside));
  CreateMissile(CreateRecord(kLauncher, 7, inside));
  ASSERT_EQ(gMissileList.size(), 1u);
  const std::vector<std::uint8_t> state =
      StateBytes({0.0f, 30.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f});
  CMailbox::PostAnonymous(kMissileAddressPhoenix, MSG_MISSILE_STATE,
                          static_cast<std::uint32_t>(state.size()), state.data());
  EXPECT_EQ(gMissileList.front()->Count(), 1u);
}

TEST_F(MissileEdgeTest, AMissileLeavingTheWorldEndsAtOnce) {
  const R3xPlacement back{2.0f, 0.0f, 0.0f, 256.0f, 0.0f, 0.0f, 0};
  CMissile* missile = ListMissile(std::make_unique<CMissile>(back, 1, kLauncher, 1));
  ASSERT_NE(missile, nullptr);
  for (int i = 0; i < 10 && !gMissileList.empty(); ++i) {
    gFrameTime += 50;
    UpdateAllMissiles();
  }
  EXPECT_TRUE(gMissileList.empty());
}

}  // namespace
