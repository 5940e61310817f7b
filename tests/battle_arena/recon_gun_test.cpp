#include "battle/arena/recon_gun.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "arena_object_fixture.h"
#include "battle/arena/actor_owner.h"
#include "battle/arena/arena_targets.h"
#include "battle/arena/arena_tools.h"
#include "battle/arena/bullet.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/explosion.h"
#include "battle/core/sound_code.h"
#include "battle/core/sound_table.h"
#include "common/messages.h"
#include "tests/support/word_payload.h"

namespace {

using test_support::WordPayload;

constexpr std::uint32_t kGunId = KIND_RECON_GUN | 4;
constexpr float kGunX = 100.0f;
constexpr float kGunY = 100.0f;
constexpr float kRange = 50.0f;

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

std::vector<ArenaTarget> gTargets;

std::span<const ArenaTarget> ListTargets() { return gTargets; }

class ReconGunTest : public ArenaObjectTest {
 protected:
  void SetUp() override {
    ArenaObjectTest::SetUp();
    MakeModel("RECONGUN_DEF", 20);
    MakeModel("BODY_DEF", 1, 1.0f, 2.0f);
    MakeModel("BULLETS_ACTORDEF", 24);
    MakeModel("EXPLODE_DEF", 43);
    gSphereVolume02 = r3xCreateSphereVolume(0.2f);
    gTargets.clear();
    previousLister_ = gListArenaTargets;
    gListArenaTargets = ListTargets;
  }
  void TearDown() override {
    DeleteAllReconGuns();
    gBulletPool.clear();
    DeleteAllExplosions();
    gListArenaTargets = previousLister_;
    gTargets.clear();
    for (R3xActor* actor : actors_) {
      r3xDestroyActor(world_, actor);
    }
    owners_.clear();
    r3xFreeVolumeRecord(reinterpret_cast<R3xVolume*>(gSphereVolume02));
    gSphereVolume02 = nullptr;
    ArenaObjectTest::TearDown();
  }
  static std::vector<std::uint8_t> Record(float x, float y, float z, float range,
                                          std::uint32_t team) {
    return WordPayload({Bits(x), Bits(y), Bits(z), Bits(range), kGunId, team});
  }
  CReconGun* MakeGun(std::uint32_t team = 1) {
    CreateReconGun(Record(kGunX, kGunY, 0.0f, kRange, team));
    return FindReconGun(kGunId);
  }
  // An object of the address's kind at the point, its own volume and its part's a sphere of
  // radius 2.
  R3xActor* PlaceActor(std::uint32_t address, float x, float y, float z) {
    owners_.push_back(std::make_unique<CMailbox>(address));
    const R3xPlacement at{x, y, z, 0.0f, 0.0f, 0.0f, -1};
    auto* definition = reinterpret_cast<R3xActorDef*>(r3xFindTag(world_, "BODY_DEF"));
    R3xSphereVolume* sphere = r3xCreateSphereVolume(2.0f);
    R3xActor* actor =
        r3xCreateActor(world_, definition, nullptr, &at, reinterpret_cast<R3xVolume*>(sphere),
                       nullptr, 1.0f, 2.0f, ActorUserData(owners_.back().get()));
    r3xFreeVolumeRecord(reinterpret_cast<R3xVolume*>(sphere));
    EXPECT_NE(actor, nullptr);
    actors_.push_back(actor);
    return actor;
  }
  void AddTank(std::uint32_t n, float x, float y, std::int32_t team = 2, bool dead = false) {
    R3xActor* body = PlaceActor(KIND_TANK | n, x, y, 2.0f);
    gTargets.push_back({KIND_TANK | n, body, team, dead, false, 0.0f});
  }
  // The shots fired since the last call (each one plays FIREDEFENSE at the gun).
  int Shots() {
    int shots = 0;
    for (const PlayedSound& sound : TakeSounds()) {
      EXPECT_EQ(sound.code, SOUND_POSITIONAL | SoundIndex("FIREDEFENSE"));
      EXPECT_EQ(sound.owner, kGunId);
      EXPECT_EQ(sound.x, kGunX);
      ++shots;
    }
    return shots;
  }

  std::vector<std::unique_ptr<CMailbox>> owners_;
  ArenaTargetLister previousLister_ = nullptr;
  std::vector<R3xActor*> actors_;
};

TEST_F(ReconGunTest, AGunStands40AboveItsRecordInItsTeamsFrames) {
  const CReconGun* gun = MakeGun(2);
  ASSERT_NE(gun, nullptr);
  EXPECT_EQ(PlacementOf(gun->Actor()).z, 40.0f);
  EXPECT_EQ(gun->Actor()->currentActionIndex, 10);
  std::vector<std::int32_t> frames;
  for (int i = 0; i < 6; ++i) {
    Step(101);
    UpdateAllReconGuns();
    frames.push_back(gun->Actor()->currentActionIndex);
  }
  EXPECT_EQ(frames, (std::vector<std::int32_t>{11, 12, 13, 14, 10, 11}));
}

TEST_F(ReconGunTest, RecordsThatMakeNoGun) {
  auto shortRecord = Record(kGunX, kGunY, 0.0f, kRange, 1);
  shortRecord.resize(20);
  CreateReconGun(shortRecord);
  CreateReconGun(Record(kGunX, kGunY, 80.0f, kRange, 1));  // 120 is above the ceiling
  CreateReconGun(Record(kGunX, kGunY, 0.0f, kRange, 4));
  EXPECT_EQ(gReconGunList, nullptr);
  r3xRemoveTag(world_, "RECONGUN_DEF");
  CreateReconGun(Record(kGunX, kGunY, 0.0f, kRange, 1));
  EXPECT_EQ(gReconGunList, nullptr);
}

TEST_F(ReconGunTest, TheNearestLivingEnemyStrictlyWithinRangeIsChosen) {
  struct Case {
    const char* what;
    float x;
    std::int32_t team;
    bool dead;
    bool chosen;
  };
  const Case cases[] = {
      {"at the range", kGunX + kRange, 2, false, false},
      {"just inside", kGunX + kRange - 0.01f, 2, false, true},
      {"own team", kGunX + 10.0f, 1, false, false},
      {"destroyed", kGunX + 10.0f, 2, true, false},
  };
  CReconGun* gun = MakeGun(1);
  ASSERT_NE(gun, nullptr);
  std::uint32_t n = 1;
  for (const Case& c : cases) {
    gTargets.clear();
    AddTank(n, c.x, kGunY, c.team, c.dead);
    gun->AcquireTarget(gun->Range());
    EXPECT_EQ(gun->Target(), c.chosen ? (KIND_TANK | n) : 0u) << c.what;
    ++n;
  }
  // The nearest wins; of two at the same distance, the first listed.
  gTargets.clear();
  AddTank(10, kGunX + 30.0f, kGunY);
  AddTank(11, kGunX, kGunY - 20.0f);
  AddTank(12, kGunX, kGunY + 20.0f);
  gun->AcquireTarget(gun->Range());
  EXPECT_EQ(gun->Target(), KIND_TANK | 11);
}

TEST_F(ReconGunTest, AClearLineIsShotEvery1500Ms) {
  AddTank(1, kGunX + 40.0f, kGunY);
  const CReconGun* gun = MakeGun();
  ASSERT_NE(gun, nullptr);
  Step(1);
  UpdateAllReconGuns();
  EXPECT_EQ(gun->Target(), KIND_TANK | 1);
  EXPECT_EQ(Shots(), 1);
  Step(1500);
  UpdateAllReconGuns();
  EXPECT_EQ(Shots(), 0);
  Step(1);
  UpdateAllReconGuns();
  EXPECT_EQ(Shots(), 1);
}

// The shot is a team defense laser (kind 1) from the bullet pool, owned by the gun, flying from
// the gun's pose at the tank.
TEST_F(ReconGunTest, TheShotIsADefenseLaserFromTheBulletPoolAimedAtTheTank) {
  AddTank(1, kGunX + 30.0f, kGunY - 20.0f);
  MakeBulletPool();
  ASSERT_NE(MakeGun(), nullptr);
  Step(1);
  UpdateAllReconGuns();
  ASSERT_EQ(Shots(), 1);
  const CBullet* shot = nullptr;
  for (const auto& bullet : gBulletPool) {
    if (bullet != nullptr && !bullet->IsFinished()) {
      ASSERT_EQ(shot, nullptr);
      shot = bullet.get();
    }
  }
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(shot->Kind(), 1);
  EXPECT_EQ(shot->Owner(), kGunId);
  const R3xPlacement& pose = shot->Pose();
  const float forward[3] = {r3xCosUnits(pose.heading) * r3xCosUnits(pose.pitch),
                            r3xSinUnits(pose.heading) * r3xCosUnits(pose.pitch),
                            r3xSinUnits(pose.pitch)};
  const float d[3] = {30.0f, -20.0f, 2.0f - 40.0f};
  const float along = (forward[0] * d[0] + forward[1] * d[1] + forward[2] * d[2]) /
                      std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  EXPECT_GT(along, 0.999f);
}

TEST_F(ReconGunTest, ABlockedLineMeansNoShot) {
  struct Case {
    const char* what;
    std::uint32_t blocker;
    int shots;
  };
  const Case cases[] = {
      {"another tank", KIND_TANK | 9, 0},
      {"a defense tower", KIND_DEFENSE | 1, 0},
      {"a recon gun", KIND_RECON_GUN | 1, 0},
      {"a flag", KIND_FLAG | 1, 1},
  };
  for (const Case& c : cases) {
    gTargets.clear();
    AddTank(1, kGunX + 40.0f, kGunY);
    // Halfway along the line from the gun (z 40) to the tank (z 2).
    PlaceActor(c.blocker, kGunX + 20.0f, kGunY, 21.0f);
    CReconGun* gun = MakeGun();
    ASSERT_NE(gun, nullptr);
    Step(1);
    gun->Update();
    EXPECT_EQ(Shots(), c.shots) << c.what;
    DeleteAllReconGuns();
    r3xDestroyActor(world_, actors_.back());
    actors_.pop_back();
  }
}

TEST_F(ReconGunTest, ATargetThatLeftTheTankListIsNotShotAt) {
  AddTank(1, kGunX + 40.0f, kGunY);
  CReconGun* gun = MakeGun();
  ASSERT_NE(gun, nullptr);
  gun->AcquireTarget(gun->Range());
  gTargets.clear();
  gun->Fire();
  EXPECT_EQ(Shots(), 0);
}

TEST_F(ReconGunTest, ReplacingAGunChangesItsTeamAndPlaceButNotItsRange) {
  CReconGun* gun = MakeGun(1);
  ASSERT_NE(gun, nullptr);
  Send(kGunId, MSG_CREATE_RECON_GUN, Record(200.0f, 150.0f, 10.0f, 500.0f, 3));
  Step(1);
  UpdateAllReconGuns();
  EXPECT_EQ(gun->Range(), kRange);
  EXPECT_EQ(gun->Team(), 3);
  EXPECT_EQ(gun->Actor()->currentActionIndex, 15);
  EXPECT_EQ(PlacementOf(gun->Actor()).x, 200.0f);
  EXPECT_EQ(PlacementOf(gun->Actor()).z, 50.0f);
  // A team without frames moves nothing.
  Send(kGunId, MSG_CREATE_RECON_GUN, Record(300.0f, 150.0f, 10.0f, 500.0f, 7));
  Step(1);
  UpdateAllReconGuns();
  EXPECT_EQ(gun->Team(), 3);
  EXPECT_EQ(PlacementOf(gun->Actor()).x, 200.0f);
}

TEST_F(ReconGunTest, DestroyDeletesTheGunAndHitsAreReported) {
  CReconGun* gun = MakeGun();
  ASSERT_NE(gun, nullptr);
  gun->ReportHit(25);
  const auto reports = Drain(*network_);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].type, MSG_RECON_GUN_HIT);
  EXPECT_EQ(reports[0].payload, WordPayload({kGunId, 25}));
  Send(kGunId, MSG_RECON_GUN_DESTROY, {});
  UpdateAllReconGuns();
  EXPECT_EQ(gReconGunList, nullptr);
  // It goes with a blast of kind 1 at its pose.
  int blasts = 0;
  for (const auto& member : gExplosionList) {
    if (member != nullptr && !member->IsFinished()) {
      ++blasts;
      EXPECT_EQ(member->Frame(), 6);
      EXPECT_EQ(PlacementOf(member->Actor()).x, kGunX);
      EXPECT_EQ(PlacementOf(member->Actor()).z, 40.0f);
    }
  }
  EXPECT_EQ(blasts, 1);
}

}  // namespace
