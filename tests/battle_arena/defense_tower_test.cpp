#include "battle/arena/defense_tower.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>

#include "arena_object_fixture.h"
#include "battle/arena/actor_owner.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_particles.h"
#include "battle/arena/arena_targets.h"
#include "battle/arena/bullet.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/explosion.h"
#include "battle/arena/recon.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "battle/core/sound_code.h"
#include "battle/core/sound_table.h"
#include "common/messages.h"
#include "platform/kernel/random.h"
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

// The running explosions' kinds (by first frame) and positions.
struct Blast {
  std::int32_t frame;
  float x;
  float y;
  float z;
};
std::vector<Blast> RunningBlasts() {
  std::vector<Blast> blasts;
  for (const auto& member : gExplosionList) {
    if (member != nullptr && !member->IsFinished()) {
      R3xPlacement at{};
      r3xGetActorPlacement(member->Actor(), &at);
      blasts.push_back({member->Frame(), at.x, at.y, at.z});
    }
  }
  return blasts;
}

const CBullet* FlyingBullet() {
  for (const auto& bullet : gBulletPool) {
    if (bullet != nullptr && !bullet->IsFinished()) {
      return bullet.get();
    }
  }
  return nullptr;
}

class ScriptedRandom : public platform::RandomSource {
 public:
  explicit ScriptedRandom(std::vector<int> values) : values_(std::move(values)) {}
  int Next() override { return values_[next_++ % values_.size()]; }
  void Seed(std::uint32_t) override {}

 private:
  std::vector<int> values_;
  std::size_t next_ = 0;
};

class DefenseTowerTest : public ArenaObjectTest {
 protected:
  void SetUp() override {
    ArenaObjectTest::SetUp();
    MakeModel("DRONE_DEF", 12, 1.0f, 1.0f);
    MakeModel("RECON_DEF", 16);
    MakeModel("BODY_DEF", 1, 1.0f, 2.0f);
    MakeModel("BULLETS_ACTORDEF", 24);
    MakeModel("EXPLODE_DEF", 43);
    gOwnTankPlacement = {kX + 20.0f, kY, 0.0f, 0.0f, 0.0f, 0.0f, 0};
    gDefenseRange = 100.0f;
    gTargets.clear();
    previousLister_ = gListArenaTargets;
    gListArenaTargets = ListTargets;
    gSparks.clear();
    gArenaParticles.sparks = RecordSparks;
  }
  void TearDown() override {
    DeleteAllTowers();
    gBulletPool.clear();
    DeleteAllExplosions();
    DeleteAllRecons();
    gArenaParticles.sparks = nullptr;
    gListArenaTargets = previousLister_;
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
  ArenaTargetLister previousLister_ = nullptr;
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

// A tower's shot is a defense laser from the bullet pool: kind 2 for a personal tower, 1 for a
// team one, fired from the tower's pose turned at the tank, with the tower as its owner.
TEST_F(DefenseTowerTest, AShotIsADefenseLaserFromTheBulletPoolAimedAtTheTank) {
  struct Case {
    std::uint32_t address;
    std::int32_t kind;
  };
  for (const Case& c : {Case{kTowerId, 1}, Case{kPersonalId, 2}}) {
    gTargets.clear();
    AddTank(1, kX + 40.0f, kY + 10.0f, 2.0f, 0.0f);
    MakeBulletPool();
    CDefenseTower* tower = MakeHovering(c.address);
    ASSERT_NE(tower, nullptr);
    EXPECT_EQ(FlyingBullet(), nullptr);
    Send(c.address, MSG_DEFENSE_TARGET, WordPayload({KIND_TANK | 1}));
    Step(100);
    UpdateAllTowers();  // idle to tracking
    Step(100);
    UpdateAllTowers();  // the first shot
    const CBullet* shot = FlyingBullet();
    ASSERT_NE(shot, nullptr) << c.kind;
    EXPECT_EQ(shot->Kind(), c.kind);
    EXPECT_EQ(shot->Owner(), c.address);
    EXPECT_EQ(shot->Pose().heading, tower->Pose().heading);
    EXPECT_EQ(shot->Pose().pitch, tower->Pose().pitch);
    // Its flight direction points from the tower at the tank.
    const float forward[3] = {r3xCosUnits(shot->Pose().heading) * r3xCosUnits(shot->Pose().pitch),
                              r3xSinUnits(shot->Pose().heading) * r3xCosUnits(shot->Pose().pitch),
                              r3xSinUnits(shot->Pose().pitch)};
    const R3xPlacement tank = PlacementOf(actors_.back());
    const float d[3] = {tank.x - tower->Pose().x, tank.y - tower->Pose().y,
                        tank.z - tower->Pose().z};
    const float along = (forward[0] * d[0] + forward[1] * d[1] + forward[2] * d[2]) /
                        std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    EXPECT_GT(along, 0.999f) << c.kind;
    DeleteAllTowers();
    gBulletPool.clear();
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

// Sinking, the tower blasts at its pose every 400 ms, shifted by (r mod 10) x 0.5 in x and then
// in y; at the ground it blasts twice, at ground + 0.3 and 2.0 above.
TEST_F(DefenseTowerTest, ASinkingTowerBlastsOnTheWayDownAndTwiceAtTheGround) {
  ScriptedRandom random({17, 4});
  platform::ScopedRandomSource scope(random);
  CDefenseTower* tower = MakeHovering();
  ASSERT_NE(tower, nullptr);
  Send(kTowerId, MSG_DEFENSE_DESCEND, FloatPayload({kX, kY, 0.0f}));
  Step(100);
  UpdateAllTowers();  // sinking, and at once the first blast
  const R3xPlacement at = tower->Pose();
  auto blasts = RunningBlasts();
  ASSERT_EQ(blasts.size(), 1u);
  EXPECT_EQ(blasts[0].frame, 6);  // kind 1
  EXPECT_EQ(blasts[0].x, at.x + 3.5f);
  EXPECT_EQ(blasts[0].y, at.y + 2.0f);
  EXPECT_EQ(blasts[0].z, at.z);
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(RunningBlasts().size(), 1u);  // the next one 400 ms later
  DeleteAllExplosions();
  ASSERT_TRUE(RunUntil([&] { return tower->GetState() != CDefenseTower::kSinking; }));
  // The blasts on the way down are all shifted; the two at the ground are not.
  std::vector<float> ground;
  for (const Blast& blast : RunningBlasts()) {
    if (blast.x == kX && blast.y == kY) {
      ground.push_back(blast.z);
    } else {
      EXPECT_EQ(blast.x, kX + 3.5f);
      EXPECT_EQ(blast.y, kY + 2.0f);
    }
  }
  std::sort(ground.begin(), ground.end());
  ASSERT_EQ(ground.size(), 2u);
  EXPECT_FLOAT_EQ(ground[0], 0.3f);
  EXPECT_FLOAT_EQ(ground[1], 2.3f);
}

// A raise spawns two beam blasts of kind 7 drifting down, at the tower and 14.5 above; no more
// while they exist; a blast below the beam's end starts again at the tower; the raise's end stops
// them both.
TEST_F(DefenseTowerTest, ARaiseRunsTwoBeamBlastsThatFallAndReturnUntilItEnds) {
  CDefenseTower* tower = MakeHovering();
  ASSERT_NE(tower, nullptr);
  StillAtCruise();
  Send(kTowerId, MSG_RAISE, FloatPayload({kX, kY, 0.0f}));
  ASSERT_TRUE(RunUntil([&] { return tower->GetState() == CDefenseTower::kRaising; }));
  EXPECT_EQ(tower->BeamExplosion(0), nullptr);
  Step(100);
  UpdateAllTowers();
  CExplosion* first = tower->BeamExplosion(0);
  CExplosion* second = tower->BeamExplosion(1);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  const R3xPlacement top = PlacementOf(tower->Actor());
  EXPECT_EQ(tower->Destination().z, top.z - 29.0f);
  EXPECT_EQ(PlacementOf(first->Actor()).z, top.z);
  EXPECT_EQ(PlacementOf(second->Actor()).z, top.z + 14.5f);
  EXPECT_EQ(first->Frame(), 39);  // kind 7, looping
  EXPECT_TRUE(first->IsLooping());
  float lowest = top.z;
  bool returned = false;
  for (int i = 0; i < 200 && !returned; ++i) {
    Step(50);
    UpdateAllExplosions();
    UpdateAllTowers();
    ASSERT_EQ(tower->BeamExplosion(0), first);  // never a new one while it exists
    ASSERT_EQ(tower->BeamExplosion(1), second);
    const float z = PlacementOf(first->Actor()).z;
    returned = z > lowest;
    lowest = std::min(lowest, z);
  }
  EXPECT_TRUE(returned);
  EXPECT_EQ(PlacementOf(first->Actor()).z, top.z);
  Send(kTowerId, MSG_RAISE_END, {});
  Step(100);
  UpdateAllTowers();
  EXPECT_EQ(tower->BeamExplosion(0), nullptr);
  EXPECT_EQ(tower->BeamExplosion(1), nullptr);
  EXPECT_TRUE(first->IsFinished());
  EXPECT_TRUE(second->IsFinished());
}

TEST_F(DefenseTowerTest, TheCameraFollowsATowerUntilItEnds) {
  CDefenseTower* tower = MakeHovering();
  ASSERT_NE(tower, nullptr);
  tower->SetCameraFollow();
  ASSERT_NE(gCameraFollow, nullptr);
  Send(kTowerId, MSG_DEFENSE_MOVE, FloatPayload({kX + 30.0f, kY, 0.0f}));
  Step(100);
  UpdateAllTowers();
  ASSERT_TRUE(RunUntil([&] { return tower->GetState() != CDefenseTower::kFlying; }));
  EXPECT_EQ(gCameraFollow->x, kX + 30.0f);
  DeleteAllTowers();
  EXPECT_EQ(gCameraFollow, nullptr);
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
