#include "battle/arena/defense_tower.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <functional>
#include <limits>

#include "arena_object_fixture.h"
#include "battle/arena/actor_owner.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_particles.h"
#include "battle/arena/arena_targets.h"
#include "battle/arena/recon.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "battle/core/sound_code.h"
#include "battle/core/sound_table.h"
#include "common/messages.h"
#include "tests/support/word_payload.h"

namespace {

using test_support::WordPayload;

constexpr std::uint32_t kTowerId = KIND_DEFENSE | 7;
constexpr std::uint32_t kPersonalId = KIND_PERSONAL_DEFENSE | 7;
constexpr std::uint32_t kReconId = 0x30001;
constexpr float kX = 150.0f;
constexpr float kY = 160.0f;

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

std::vector<ArenaTarget> gTargets;
std::vector<std::array<float, 6>> gSparks;

std::span<const ArenaTarget> ListTargets() { return gTargets; }

void RecordSparks(const float* top, const float* bottom) {
  gSparks.push_back({top[0], top[1], top[2], bottom[0], bottom[1], bottom[2]});
}

std::uint32_t Hum(std::uint32_t index, std::uint32_t frequency) {
  return SOUND_POSITIONAL | LoopCode(index, frequency);
}

class DefenseTowerTest : public ArenaObjectTest {
 protected:
  void SetUp() override {
    ArenaObjectTest::SetUp();
    MakeModel("DRONE_DEF", 12, 1.0f, 1.0f);
    MakeModel("RECON_DEF", 16);
    MakeModel("BODY_DEF", 1, 1.0f, 2.0f);
    gOwnTankPlacement = {kX + 20.0f, kY, 0.0f, 0.0f, 0.0f, 0.0f, 0};
    gDefenseRange = 100.0f;
    gTargets.clear();
    gListArenaTargets = ListTargets;
    gSparks.clear();
    gArenaParticles.sparks = RecordSparks;
  }
  void TearDown() override {
    DeleteAllTowers();
    DeleteAllRecons();
    gArenaParticles.sparks = nullptr;
    gListArenaTargets = nullptr;
    gTargets.clear();
    for (R3xActor* actor : actors_) {
      r3xDestroyActor(world_, actor);
    }
    owners_.clear();
    gOwnTankPlacement = {};
    gDefenseRange = 0.0f;
    ArenaObjectTest::TearDown();
  }
  CDefenseTower* Make(std::uint32_t address = kTowerId, std::uint32_t colour = 2) {
    CreateTower(WordPayload({address, colour, 0, 0, Bits(kX), Bits(kY)}));
    return FindTower(address);
  }
  // Frames of 100 ms until the condition holds; false after `limit` frames.
  bool RunUntil(const std::function<bool()>& done, int limit = 400) {
    for (int i = 0; i < limit; ++i) {
      if (done()) {
        return true;
      }
      Step(100);
      UpdateAllTowers();
    }
    return done();
  }
  // A tower that arrived at hover height over its record, idle, with the sounds and reports
  // taken.
  CDefenseTower* MakeHovering(std::uint32_t address = kTowerId) {
    CDefenseTower* tower = Make(address);
    EXPECT_NE(tower, nullptr);
    if (tower != nullptr) {
      EXPECT_TRUE(RunUntil([&] { return tower->GetState() != CDefenseTower::kFlying; }));
    }
    TakeSounds();
    Drain(*network_);
    return tower;
  }
  void AddTank(std::uint32_t n, float x, float y, float z, float heading, bool moving = false,
               float forwardSpeed = 0.0f) {
    owners_.push_back(std::make_unique<CMailbox>(KIND_TANK | n));
    const R3xPlacement at{x, y, z, heading, 0.0f, 0.0f, -1};
    auto* definition = reinterpret_cast<R3xActorDef*>(r3xFindTag(world_, "BODY_DEF"));
    R3xActor* body = r3xCreateActor(world_, definition, nullptr, &at, nullptr, nullptr, 1.0f, 2.0f,
                                    ActorUserData(owners_.back().get()));
    ASSERT_NE(body, nullptr);
    actors_.push_back(body);
    gTargets.push_back({KIND_TANK | n, body, 1, false, moving, forwardSpeed});
  }
  // "!Defense Moving Speed" 0: a move to the point under the tower ends its level flight at once.
  static void StillAtCruise() {
    GameParamTable[PARAM_DEFENSE_MOVING_SPEED].SetConfirmed(std::bit_cast<std::uint32_t>(0.0f));
  }
  std::vector<std::uint32_t> SoundCodes() {
    std::vector<std::uint32_t> codes;
    for (const PlayedSound& sound : TakeSounds()) {
      codes.push_back(sound.code);
    }
    return codes;
  }

  std::vector<std::unique_ptr<CMailbox>> owners_;
  std::vector<R3xActor*> actors_;
};

TEST_F(DefenseTowerTest, ViewNumbersFollowTheAddressAndColour) {
  struct Case {
    std::uint32_t address;
    std::uint32_t colour;
    std::int32_t view;
  };
  for (const Case& c :
       {Case{KIND_DEFENSE | 7, 2, 9}, Case{KIND_PERSONAL_DEFENSE | 7, 1, 3},
        Case{KIND_DEFENSE | 0x105, 0, 11}, Case{KIND_PERSONAL_DEFENSE | 20, 3, 6}}) {
    const CDefenseTower* tower = Make(c.address, c.colour);
    ASSERT_NE(tower, nullptr);
    EXPECT_EQ(tower->ViewNumber(), c.view) << std::hex << c.address;
    EXPECT_EQ(tower->Frame(), static_cast<std::int32_t>(c.colour) * 3);
    DeleteAllTowers();
  }
}

TEST_F(DefenseTowerTest, RecordsThatMakeNoTower) {
  CreateTower(WordPayload({kTowerId, 4, 0, 0, Bits(kX), Bits(kY)}));
  CreateTower(WordPayload({kTowerId, 1, 0, 0, Bits(kX)}));
  EXPECT_EQ(gTowerList, nullptr);
  r3xRemoveTag(world_, "DRONE_DEF");
  CreateTower(WordPayload({kTowerId, 1, 0, 0, Bits(kX), Bits(kY)}));
  EXPECT_EQ(gTowerList, nullptr);
}

TEST_F(DefenseTowerTest, ANewTowerDescendsFromUnderTheCeilingToHoverHeightAndSaysSo) {
  CDefenseTower* tower = Make();
  ASSERT_NE(tower, nullptr);
  EXPECT_EQ(tower->Pose().z, kCeiling - 3.0f);
  EXPECT_EQ(tower->GetState(), CDefenseTower::kFlying);
  EXPECT_EQ(tower->GetPhase(), CDefenseTower::kDescent);
  EXPECT_EQ(tower->Destination().z, 33.0f);  // the demo's ground is at 0
  ASSERT_TRUE(RunUntil([&] { return tower->GetState() != CDefenseTower::kFlying; }));
  EXPECT_EQ(tower->GetState(), CDefenseTower::kIdle);
  EXPECT_EQ(PlacementOf(tower->Actor()).z, 33.0f);
  EXPECT_EQ(PlacementOf(tower->Actor()).x, kX);
  const auto reports = Drain(*network_);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].type, MSG_DEFENSE_ARRIVED);
  EXPECT_EQ(reports[0].payload, WordPayload({kTowerId}));
}

TEST_F(DefenseTowerTest, AHoverHeightNearTheCeilingIsClamped) {
  gWorldCeiling = 34.0f;  // ground + 33 lies within 1.5 of it
  const CDefenseTower* tower = Make();
  ASSERT_NE(tower, nullptr);
  EXPECT_EQ(tower->Destination().z, 34.0f - 3.5f);
}

TEST_F(DefenseTowerTest, ACarriedReconLowersTheHoverAndArrivalThrowsSparks) {
  CreateRecon(WordPayload({Bits(kX), Bits(kY), Bits(0.0f), kReconId, 1, 1}));
  const CRecon* recon = FindRecon(kReconId);
  ASSERT_NE(recon, nullptr);
  CDefenseTower* tower = MakeHovering();
  ASSERT_NE(tower, nullptr);
  Send(kTowerId, MSG_DEFENSE_CARRY_RECON, WordPayload({kReconId}));
  // A move to the point under it at no cruising speed: the climb to the cruising height, then
  // straight down.
  StillAtCruise();
  Send(kTowerId, MSG_DEFENSE_MOVE, FloatPayload({kX, kY, 0.0f}));
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(recon->IsVisibleToTeam(1), 1);  // the move before it took nothing
  EXPECT_EQ(tower->GetPhase(), CDefenseTower::kClimb);
  Send(kTowerId, MSG_DEFENSE_CARRY_RECON, WordPayload({kReconId}));
  ASSERT_TRUE(RunUntil([&] { return tower->GetPhase() != CDefenseTower::kClimb; }));
  EXPECT_EQ(tower->Pose().z, kCeiling - 10.5f);
  ASSERT_TRUE(RunUntil([&] { return tower->GetState() != CDefenseTower::kFlying; }));
  EXPECT_EQ(tower->GetState(), CDefenseTower::kCarrying);
  EXPECT_EQ(PlacementOf(tower->Actor()).z, 28.0f);
  EXPECT_EQ(recon->IsVisibleToTeam(1), 0);
  EXPECT_EQ(recon->IsActive(), 0);
  gSparks.clear();
  TakeSounds();
  Step(100);
  UpdateAllTowers();
  ASSERT_EQ(gSparks.size(), 1u);
  EXPECT_EQ(gSparks[0], (std::array<float, 6>{kX, kY, 26.0f, kX, kY, 0.0f}));
  EXPECT_EQ(SoundCodes(), std::vector<std::uint32_t>{Hum(SoundIndex("LOOPCHARGE"), 10000)});

  // A move sets the drone down again.
  Send(kTowerId, MSG_DEFENSE_MOVE, FloatPayload({kX, kY, 0.0f}));
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(recon->IsVisibleToTeam(1), 1);
}

TEST_F(DefenseTowerTest, AFarTowerFliesAndAnimatesButNeitherFiresNorHums) {
  AddTank(1, kX + 10.0f, kY, 2.0f, 0.0f);
  gOwnTankPlacement = {5000.0f, 5000.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0};
  CDefenseTower* tower = Make();
  ASSERT_NE(tower, nullptr);
  const float startZ = tower->Pose().z;
  Send(kTowerId, MSG_DEFENSE_TARGET, WordPayload({KIND_TANK | 1}));
  std::vector<std::int32_t> frames;
  for (int i = 0; i < 5; ++i) {
    Step(101);
    UpdateAllTowers();
    frames.push_back(tower->Actor()->currentActionIndex);
  }
  EXPECT_EQ(frames, (std::vector<std::int32_t>{7, 8, 6, 7, 8}));
  EXPECT_LT(tower->Pose().z, startZ);
  EXPECT_FALSE(tower->IsNear());
  ASSERT_TRUE(RunUntil([&] { return tower->GetState() == CDefenseTower::kTracking; }));
  for (int i = 0; i < 40; ++i) {
    Step(100);
    UpdateAllTowers();
  }
  EXPECT_TRUE(TakeSounds().empty());
}

TEST_F(DefenseTowerTest, ANearTowerHumsAsItsStateAndKindSay) {
  CDefenseTower* tower = Make();
  ASSERT_NE(tower, nullptr);
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(SoundCodes(), std::vector<std::uint32_t>{Hum(SoundIndex("LOOPDEFENSE"), 10000)});
  CDefenseTower* personal = Make(kPersonalId, 1);
  ASSERT_NE(personal, nullptr);
  Step(100);
  personal->Update();
  EXPECT_EQ(SoundCodes(), std::vector<std::uint32_t>{Hum(SoundIndex("LOOPDEFENSE"), 12000)});
  ASSERT_TRUE(RunUntil([&] { return personal->GetState() != CDefenseTower::kFlying; }));
  TakeSounds();
  Step(100);
  personal->Update();
  EXPECT_EQ(SoundCodes(), std::vector<std::uint32_t>{Hum(SoundIndex("LOOPDEFENSE"), 11000)});
}

TEST_F(DefenseTowerTest, AMovingTargetIsLedBy075OfItsForwardSpeed) {
  struct Case {
    bool moving;
    float forwardSpeed;
    float lead;
  };
  for (const Case& c : {Case{true, 20.0f, 15.0f}, Case{false, 20.0f, 0.0f}}) {
    gTargets.clear();
    AddTank(1, kX + 40.0f, kY + 10.0f, 2.0f, 64.0f, c.moving, c.forwardSpeed);
    CDefenseTower* tower = MakeHovering();
    ASSERT_NE(tower, nullptr);
    Send(kTowerId, MSG_DEFENSE_TARGET, WordPayload({KIND_TANK | 1}));
    Step(100);
    UpdateAllTowers();  // idle to tracking
    TakeSounds();
    Step(100);
    UpdateAllTowers();  // the first shot
    const auto codes = SoundCodes();
    ASSERT_FALSE(codes.empty()) << tower->GetState();
    EXPECT_EQ(codes[0], SOUND_POSITIONAL | SoundIndex("FIREDEFENSE"));
    R3xPlacement aim = PlacementOf(actors_.back());
    const float lead[6] = {c.lead, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    ComposeTransform(&aim, lead);
    float heading = 0.0f;
    float pitch = 0.0f;
    const R3xPlacement at = tower->Pose();
    GetHeadingPitch(&at.x, &aim.x, &heading, &pitch);
    EXPECT_EQ(PlacementOf(tower->Actor()).heading, heading) << c.lead;
    EXPECT_EQ(PlacementOf(tower->Actor()).pitch, pitch) << c.lead;
    DeleteAllTowers();
  }
}

TEST_F(DefenseTowerTest, ATargetThatIsNoListedTankMakesTheTowerIdleAndOneOutOfRangeIsNotShot) {
  CDefenseTower* tower = MakeHovering();
  ASSERT_NE(tower, nullptr);
  Send(kTowerId, MSG_DEFENSE_TARGET, WordPayload({KIND_FLAG | 1}));
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(tower->GetState(), CDefenseTower::kTracking);
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(tower->GetState(), CDefenseTower::kIdle);
  EXPECT_EQ(tower->Target(), 0u);

  AddTank(1, kX + 150.0f, kY, 2.0f, 0.0f);
  Send(kTowerId, MSG_DEFENSE_TARGET, WordPayload({KIND_TANK | 1}));
  for (int i = 0; i < 3; ++i) {
    Step(100);
    UpdateAllTowers();
  }
  EXPECT_EQ(tower->GetState(), CDefenseTower::kTracking);
  for (const std::uint32_t code : SoundCodes()) {
    EXPECT_NE(code, SOUND_POSITIONAL | SoundIndex("FIREDEFENSE"));
  }
}

// The level flight's heading points at the destination, so a tower sent to a point off to any
// side climbs, flies there, descends and reports its arrival over that point.
TEST_F(DefenseTowerTest, ATowerSentToAPointOffToTheSideArrivesThere) {
  const float points[][2] = {{250, 190}, {60, 100}, {150, 280}, {240, 60}, {30, 165}};
  for (const auto& point : points) {
    CDefenseTower* tower = MakeHovering();
    ASSERT_NE(tower, nullptr);
    Send(kTowerId, MSG_DEFENSE_MOVE, FloatPayload({point[0], point[1], 0.0f}));
    Step(100);
    UpdateAllTowers();
    ASSERT_EQ(tower->GetState(), CDefenseTower::kFlying);
    ASSERT_TRUE(RunUntil([&] { return tower->GetState() != CDefenseTower::kFlying; }))
        << point[0] << " " << point[1] << ": at " << tower->Pose().x << " " << tower->Pose().y;
    EXPECT_EQ(tower->GetState(), CDefenseTower::kIdle);
    EXPECT_EQ(PlacementOf(tower->Actor()).x, point[0]);
    EXPECT_EQ(PlacementOf(tower->Actor()).y, point[1]);
    EXPECT_EQ(PlacementOf(tower->Actor()).z, 33.0f);
    const auto reports = Drain(*network_);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].type, MSG_DEFENSE_ARRIVED);
    DeleteAllTowers();
  }
}

TEST_F(DefenseTowerTest, ARaiseEndWhileFlyingKeepsTheFlightAndARaiseHoldsTheBeamUntilItEnds) {
  CDefenseTower* tower = MakeHovering();
  ASSERT_NE(tower, nullptr);
  StillAtCruise();
  Send(kTowerId, MSG_RAISE, FloatPayload({kX, kY, 0.0f}));
  Step(100);
  UpdateAllTowers();
  ASSERT_EQ(tower->GetState(), CDefenseTower::kFlying);
  ASSERT_TRUE(RunUntil([&] { return tower->GetState() != CDefenseTower::kFlying; }));
  EXPECT_EQ(tower->GetState(), CDefenseTower::kRaising);
  EXPECT_TRUE(tower->IsBeamOn());
  TakeSounds();
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(SoundCodes(), std::vector<std::uint32_t>{Hum(SoundIndex("LOOPCHARGE"), 11000)});
  Send(kTowerId, MSG_RAISE_END, {});
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(tower->GetState(), CDefenseTower::kIdle);
  EXPECT_FALSE(tower->IsBeamOn());

  Send(kTowerId, MSG_DEFENSE_MOVE, FloatPayload({kX, kY, 0.0f}));
  Step(100);
  UpdateAllTowers();
  Send(kTowerId, MSG_RAISE_END, {});
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(tower->GetState(), CDefenseTower::kFlying);
}

TEST_F(DefenseTowerTest, ADescendSinksTheTowerAndAReleaseBringsItBack) {
  CDefenseTower* tower = MakeHovering();
  ASSERT_NE(tower, nullptr);
  Send(kTowerId, MSG_DEFENSE_DESCEND, FloatPayload({kX - 50.0f, kY - 40.0f, 0.0f}));
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(tower->GetState(), CDefenseTower::kSinking);
  EXPECT_EQ(SoundCodes().back(), Hum(kSoundStopIndex, 11000));
  const float z = tower->Pose().z;
  Step(100);
  UpdateAllTowers();
  EXPECT_FLOAT_EQ(tower->Pose().z, z - 1.6f);  // speed 8 per 500 ms, straight down
  ASSERT_TRUE(RunUntil([&] { return tower->GetState() != CDefenseTower::kSinking; }));
  EXPECT_EQ(tower->GetState(), CDefenseTower::kSunk);
  EXPECT_EQ(r3xIsActorHidden(tower->Actor()), 1);
  EXPECT_EQ(r3xGetActorVolume(tower->Actor())->type, R3X_TYPE_NULL);
  EXPECT_EQ(tower->Pose().z, kCeiling - 3.0f);
  TakeSounds();
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(SoundCodes(), std::vector<std::uint32_t>{Hum(kSoundStopIndex, 0)});

  Send(kTowerId, MSG_DEFENSE_RELEASE, {});
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(tower->GetState(), CDefenseTower::kFlying);
  EXPECT_EQ(r3xIsActorHidden(tower->Actor()), 0);
  EXPECT_NE(r3xGetActorVolume(tower->Actor())->type, R3X_TYPE_NULL);
  ASSERT_TRUE(RunUntil([&] { return tower->GetState() != CDefenseTower::kFlying; }));
  EXPECT_EQ(PlacementOf(tower->Actor()).x, kX - 50.0f);
  EXPECT_EQ(PlacementOf(tower->Actor()).y, kY - 40.0f);
  EXPECT_EQ(PlacementOf(tower->Actor()).z, 33.0f);
}

TEST_F(DefenseTowerTest, APointThatIsNoNumberMovesNothing) {
  CDefenseTower* tower = MakeHovering();
  ASSERT_NE(tower, nullptr);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Send(kTowerId, MSG_DEFENSE_MOVE, FloatPayload({nan, kY, 0.0f}));
  Send(kTowerId, MSG_DEFENSE_DESCEND,
       FloatPayload({kX, std::numeric_limits<float>::infinity(), 0.0f}));
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(tower->GetState(), CDefenseTower::kIdle);
  EXPECT_EQ(tower->Destination().x, kX);
}

TEST_F(DefenseTowerTest, HitsAreReported) {
  CDefenseTower* tower = Make();
  ASSERT_NE(tower, nullptr);
  tower->ReportHit(12);
  const auto reports = Drain(*network_);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].type, MSG_DEFENSE_HIT);
  EXPECT_EQ(reports[0].payload, WordPayload({kTowerId, 12}));
}

}  // namespace
