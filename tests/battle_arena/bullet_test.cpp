#include "battle/arena/bullet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_particles.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/explosion.h"
#include "battle/arena/shot_hits.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "battle/core/sound_code.h"
#include "common/messages.h"
#include "tests/battle_arena/demo_arena_fixture.h"

namespace {

struct SoundCall {
  std::uint32_t owner;
  std::uint32_t code;
};
std::vector<SoundCall> gSounds;
std::vector<ParticleBurst> gBursts;

int RecordSound(std::uint32_t owner, std::uint32_t code, float, float) {
  gSounds.push_back({owner, code});
  return 1;
}
void RecordBurst(const ParticleBurst& burst) { gBursts.push_back(burst); }

void SetParamFloat(std::size_t row, float value) {
  std::uint32_t word = 0;
  static_assert(sizeof word == sizeof value);
  std::memcpy(&word, &value, sizeof word);
  GameParamTable[row].SetConfirmed(word);
}

// A muzzle in the open, 5 above the demo arena's floor; pitch 384 points straight down.
constexpr R3xPlacement kMuzzle{100.0f, 100.0f, 5.0f, 0.0f, 0.0f, 0.0f, -1};
constexpr R3xPlacement kDown{100.0f, 100.0f, 5.0f, 0.0f, 384.0f, 0.0f, -1};
constexpr std::uint32_t kTank = KIND_TANK | 7;

class BulletTest : public DemoArenaFixture {
 protected:
  void SetUp() override {
    DemoArenaFixture::SetUp();
    gSounds.clear();
    gBursts.clear();
    gArenaSound.playAt = RecordSound;
    gArenaParticles.burst = RecordBurst;
    gListenerPlacement = kMuzzle;
    gCameraFollow = nullptr;
  }
  void TearDown() override {
    gBulletPool.clear();
    DeleteAllExplosions();
    gArenaSound = {};
    gArenaParticles = {};
    gListenerPlacement = {};
    DemoArenaFixture::TearDown();
  }

  static int Flying() {
    int count = 0;
    for (const auto& node : gBulletPool) {
      count += node != nullptr && !node->IsFinished() ? 1 : 0;
    }
    return count;
  }
  // The bullet that flies a shot fired now, made on its own.
  static std::unique_ptr<CBullet> Shot(std::uint32_t kind, const R3xPlacement& pose = kMuzzle,
                                       std::int32_t damage = 100, float speed = 0.0f) {
    return std::make_unique<CBullet>(kind, pose, kTank, damage, speed, 1);
  }
  // Updates every 50 ms until the bullet finishes (at most 100 frames).
  static void FlyOut(CBullet& bullet) {
    for (int i = 0; i < 100 && !bullet.IsFinished(); ++i) {
      gFrameTime += 50;
      bullet.Update();
    }
  }
};

TEST_F(BulletTest, TheWorldStartsPoolIsIdleAndParked) {
  MakeBulletPool();
  ASSERT_EQ(gBulletPool.size(), 31u);
  for (const auto& node : gBulletPool) {
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(node->IsFinished());
    EXPECT_EQ(node->Address(), KIND_BULLET);
    EXPECT_EQ(r3xIsActorHidden(node->Actor()), 1);
    EXPECT_EQ(PlacementOf(node->Actor()).z, kCeiling - 1.0f);
  }
}

TEST_F(BulletTest, TheThirtySecondShotIsLostAndGrowsThePool) {
  MakeBulletPool();
  for (int i = 0; i < 31; ++i) {
    CBulletPool::Fire(4, kMuzzle, kTank, 10, 0.0f, 1, 0);
  }
  EXPECT_EQ(Flying(), 31);
  CBulletPool::Fire(4, kMuzzle, kTank, 10, 0.0f, 1, 0);
  EXPECT_EQ(Flying(), 31);
  EXPECT_EQ(gBulletPool.size(), 32u);
  EXPECT_TRUE(gBulletPool.front()->IsFinished());
  CBulletPool::Fire(4, kMuzzle, kTank, 10, 0.0f, 1, 0);
  EXPECT_EQ(Flying(), 32);
  EXPECT_EQ(gBulletPool.size(), 32u);
}

TEST_F(BulletTest, AnExpiredShotEndsWithoutEffects) {
  auto bullet = Shot(4);
  ASSERT_FALSE(bullet->IsFinished());
  EXPECT_EQ(bullet->Expiry(), 1000u + 1500u);  // "!Lazer1 Duration"
  gFrameTime = 2500;
  EXPECT_EQ(bullet->Update(), 0u);
  gFrameTime = 2501;
  EXPECT_EQ(bullet->Update(), 1u);
  EXPECT_TRUE(gSounds.empty());
  EXPECT_TRUE(gBursts.empty());
  EXPECT_EQ(r3xIsActorHidden(bullet->Actor()), 1);
  EXPECT_EQ(PlacementOf(bullet->Actor()).z, kCeiling - 1.0f);
}

TEST_F(BulletTest, AnAPShellsDamageDecaysByOneEachPeriod) {
  GameParamTable[PARAM_CANNON_DURATION].SetConfirmed(20000);
  auto bullet = Shot(10, kMuzzle, 2);
  gFrameTime = 1000 + 3001;  // "!AP -1 Damage Duration" 3000
  EXPECT_EQ(bullet->Update(), 0u);
  EXPECT_EQ(bullet->Damage(), 1);
  gFrameTime = 1000 + 6001;
  EXPECT_EQ(bullet->Update(), 1u);
  EXPECT_TRUE(gSounds.empty());
}

TEST_F(BulletTest, ImpactsShowTheirClassAndSound) {
  struct Case {
    std::uint32_t kind;
    bool explosion;
    std::uint32_t particles;
    std::uint8_t red, green, blue;
    std::uint32_t sound;
  };
  const Case cases[] = {
      {8, true, 0, 0, 0, 0, 10},          {10, true, 0, 0, 0, 0, 10},
      {4, false, 300, 100, 255, 100, 11}, {12, false, 600, 255, 100, 100, 11},
      {3, false, 300, 60, 60, 255, 11},   {1, false, 1200, 255, 255, 60, 11},
  };
  for (const Case& c : cases) {
    gSounds.clear();
    gBursts.clear();
    DeleteAllExplosions();
    auto bullet = Shot(c.kind, kDown, 100, 10.0f);
    FlyOut(*bullet);
    ASSERT_TRUE(bullet->IsFinished()) << c.kind;
    ASSERT_EQ(gSounds.size(), 1u) << c.kind;
    EXPECT_EQ(gSounds[0].code, c.sound | SOUND_POSITIONAL) << c.kind;
    EXPECT_EQ(gSounds[0].owner, bullet->Address()) << c.kind;
    EXPECT_EQ(gExplosionList.size(), c.explosion ? 1u : 0u)
        << c.kind << " at " << PlacementOf(bullet->Actor()).x;
    ASSERT_EQ(gBursts.size(), c.explosion ? 0u : 1u) << c.kind;
    if (!c.explosion) {
      EXPECT_EQ(gBursts[0].kind, 3);
      EXPECT_EQ(gBursts[0].attempts, c.particles) << c.kind;
      EXPECT_EQ(gBursts[0].red, c.red) << c.kind;
      EXPECT_EQ(gBursts[0].green, c.green) << c.kind;
      EXPECT_EQ(gBursts[0].blue, c.blue) << c.kind;
      EXPECT_FLOAT_EQ(gBursts[0].velocity[2], -0.2f * -1.0f) << c.kind;  // back up the shot
    }
  }
}

TEST_F(BulletTest, ImpactsBeyondTheFarDistanceShowNothing) {
  gListenerPlacement.x = kMuzzle.x + 600.0f;  // the far distance is 500
  auto bullet = Shot(8, kDown, 100, 10.0f);
  FlyOut(*bullet);
  ASSERT_TRUE(bullet->IsFinished());
  EXPECT_TRUE(gSounds.empty());
  EXPECT_TRUE(gExplosionList.empty());
}

// What a direct hit on a tank orders, as a table of the shot's kind and splash radius.
TEST_F(BulletTest, ADirectHitReportsOnlyWithoutSplash) {
  struct Case {
    std::uint32_t kind;
    float fragRadius;
    bool splashes;
    bool directReport;
  };
  const Case cases[] = {
      {8, 0.0f, false, true},  {8, 6.0f, true, false}, {8, -1.0f, false, true},
      {1, 15.0f, true, false}, {4, 0.0f, false, true},
  };
  for (const Case& c : cases) {
    SetParamFloat(PARAM_FRAG_SHELL_RADIUS, c.fragRadius);
    auto bullet = Shot(c.kind, kMuzzle, 40);
    EXPECT_EQ(bullet->Splashes(), c.splashes) << c.kind << " " << c.fragRadius;
    const ShotTankOrders orders = bullet->HitTank({.side = kHitSideRear});
    EXPECT_EQ(orders.report, c.directReport) << c.kind << " " << c.fragRadius;
    EXPECT_EQ(orders.damage, 40);
    EXPECT_EQ(orders.owner, kTank);
    EXPECT_EQ(orders.side, kHitSideRear);
    EXPECT_EQ(orders.modelCode, bullet->ModelCode());
    EXPECT_TRUE(orders.push);
  }
}

TEST_F(BulletTest, ModelCodesFollowTheKind) {
  const std::pair<std::uint32_t, std::int32_t> cases[] = {{1, 11}, {2, 12}, {3, 6}, {4, 0}, {5, 2},
                                                          {6, 4},  {7, 10}, {8, 7}, {9, 8}, {10, 9},
                                                          {12, 1}, {13, 3}, {14, 5}};
  for (const auto& [kind, code] : cases) {
    EXPECT_EQ(Shot(kind)->ModelCode(), code) << kind;
  }
}

TEST_F(BulletTest, TheLocalTanksHitShowsNothingHere) {
  for (bool local : {false, true}) {
    gSounds.clear();
    DeleteAllExplosions();
    auto bullet = Shot(10, kDown, 100, 10.0f);
    bullet->HitTank({.isLocal = local, .side = kHitSideFront});
    EXPECT_EQ(bullet->ShowsEffects(), !local);
    FlyOut(*bullet);
    EXPECT_EQ(gSounds.size(), local ? 0u : 1u);
    EXPECT_EQ(gExplosionList.size(), local ? 0u : 1u);
  }
}

TEST_F(BulletTest, ShieldsOnTheSideHitColourTheImpact) {
  struct Case {
    std::uint32_t shields;
    std::int32_t side;
    std::int32_t hitClass;
  };
  const Case cases[] = {{0xF0, kHitSideFront, 2}, {0x0F, kHitSideFront, 3},
                        {0x0F, kHitSideRear, 2},  {0xF0, kHitSideRear, 3},
                        {0x01, kHitSideOther, 2}, {0x00, kHitSideOther, 3}};
  for (const Case& c : cases) {
    auto bullet = Shot(4);
    bullet->HitTank({.shieldBits = c.shields, .side = c.side});
    EXPECT_EQ(bullet->HitClass(), c.hitClass) << c.shields << " " << c.side;
  }
}

TEST_F(BulletTest, ATankWithItsDesignScreenOpenIsNotPushed) {
  auto bullet = Shot(4);
  EXPECT_FALSE(bullet->HitTank({.designOpen = true}).push);
}

// A shot's push follows its heading and pitch; the upward share is scaled by the air factor.
TEST_F(BulletTest, ADirectHitPushesAlongTheShot) {
  const R3xPlacement level{100.0f, 100.0f, 5.0f, 128.0f, 0.0f, 0.0f, -1};
  auto bullet = Shot(4, level);
  const ShotTankOrders orders = bullet->HitTank({});
  const float impulse = GetGameParamFloat(PARAM_MARK_I_HIT_IMPULSE);
  EXPECT_NEAR(orders.velocity[0], 0.0f, 1e-5f);
  EXPECT_NEAR(orders.velocity[1], impulse, 1e-5f);
  EXPECT_NEAR(orders.velocity[2], 0.0f, 1e-5f);
}

// The splash's share by distance: body radius 2 and "!Frag Shell Radius" 6 reach 8.
TEST_F(BulletTest, SplashDamageFallsWithTheDistanceRatio) {
  SetParamFloat(PARAM_FRAG_SHELL_RADIUS, 6.0f);
  auto bullet = Shot(8, kMuzzle, 100);
  const Vector3 centre{100.0f, 100.0f, 2.0f};
  struct Case {
    float dx;
    bool reached;
    std::int32_t damage;
    float push;  // along +x, per unit impulse
  };
  const Case cases[] = {
      {1.0f, true, 88, 0.5f},                     // ratio 0.125 < 0.2: the fixed push
      {4.0f, true, 50, 0.02f / 0.25f},            // ratio 0.5
      {6.0f, true, 25, 0.02f / (0.75f * 0.75f)},  // ratio 0.75
      {8.0f, true, 0, 0.02f},                     // ratio 1: nothing left, still reported
      {8.5f, false, 0, 0.0f},
  };
  const float impulse = GetGameParamFloat(PARAM_FRAG_SHELL_HIT_IMPULSE);
  for (const Case& c : cases) {
    const Vector3 tank{centre[0] + c.dx, centre[1], centre[2]};
    const auto orders = bullet->SplashOnTank(centre, tank, 2.0f, {.side = kHitSideOther}, false);
    ASSERT_EQ(orders.has_value(), c.reached) << c.dx;
    if (!c.reached) {
      continue;
    }
    EXPECT_TRUE(orders->report);
    EXPECT_EQ(orders->damage, c.damage) << c.dx;
    EXPECT_EQ(orders->side, kHitSideOther);
    EXPECT_EQ(orders->modelCode, 7);
    EXPECT_TRUE(orders->push);
    EXPECT_FLOAT_EQ(orders->velocity[0], c.push * impulse) << c.dx;
    EXPECT_FLOAT_EQ(orders->velocity[2], 0.0f);
    // Rocking about the axis across the push: N x (0, 0, 1) = (0, -1, 0).
    EXPECT_FLOAT_EQ(orders->angularVelocity[1],
                    -GetGameParamFloat(PARAM_PROXIMITY_HIT_ROCKING_IMPULSE));
  }
}

// The tank pushed by the direct hit takes its splash share without a second push.
TEST_F(BulletTest, TheTouchedTankIsPushedOnce) {
  SetParamFloat(PARAM_FRAG_SHELL_RADIUS, 6.0f);
  auto bullet = Shot(8, kMuzzle, 100);
  const Vector3 centre{100.0f, 100.0f, 2.0f};
  const Vector3 tank{101.0f, 100.0f, 2.0f};
  const auto pushed = bullet->SplashOnTank(centre, tank, 2.0f, {}, true);
  ASSERT_TRUE(pushed.has_value());
  EXPECT_EQ(pushed->damage, 88);
  EXPECT_FALSE(pushed->push);
  const auto designing = bullet->SplashOnTank(centre, tank, 2.0f, {.designOpen = true}, false);
  ASSERT_TRUE(designing.has_value());
  EXPECT_FALSE(designing->push);
}

// A blast centred on the tank's own point pushes straight up instead of dividing by zero.
TEST_F(BulletTest, ASplashAtTheTanksOwnPointPushesUp) {
  SetParamFloat(PARAM_FRAG_SHELL_RADIUS, 6.0f);
  auto bullet = Shot(8, kMuzzle, 100);
  const Vector3 centre{100.0f, 100.0f, 2.0f};
  const auto orders = bullet->SplashOnTank(centre, centre, 2.0f, {}, false);
  ASSERT_TRUE(orders.has_value());
  EXPECT_EQ(orders->damage, 100);
  const float impulse = GetGameParamFloat(PARAM_FRAG_SHELL_HIT_IMPULSE);
  EXPECT_EQ(orders->velocity[0], 0.0f);
  EXPECT_EQ(orders->velocity[1], 0.0f);
  EXPECT_FLOAT_EQ(orders->velocity[2],
                  0.5f * impulse * GetGameParamFloat(PARAM_IMPULSE_RECOIL_AIR_FACTOR));
  EXPECT_EQ(orders->angularVelocity[0], 0.0f);
  EXPECT_EQ(orders->angularVelocity[1], 0.0f);
}

// The splash needs a clear line over the height map from 2.0 above the tank to its centre.
TEST_F(BulletTest, SolidGroundShieldsATankFromTheSplash) {
  SetParamFloat(PARAM_FRAG_SHELL_RADIUS, 6.0f);
  auto bullet = Shot(8, kMuzzle, 100);
  const Vector3 centre{100.0f, 100.0f, 2.0f};
  EXPECT_TRUE(bullet->SplashOnTank(centre, {104.0f, 100.0f, 2.0f}, 2.0f, {}, false));
  // The same distance below the floor: the line runs through solid ground.
  EXPECT_FALSE(
      bullet->SplashOnTank({100.0f, 100.0f, -4.0f}, {104.0f, 100.0f, -4.5f}, 2.0f, {}, false));
}

TEST_F(BulletTest, AShotNeverMeetsItsOwner) {
  CMailbox tower(KIND_DEFENSE | 3);
  CMailbox gun(KIND_RECON_GUN | 4);
  CMailbox personal(KIND_PERSONAL_DEFENSE | 7);
  CMailbox other(KIND_MINE_A | 1);
  const R3xPlacement at{150.0f, 150.0f, 5.0f, 0.0f, 0.0f, 0.0f, -1};
  auto* definition = reinterpret_cast<R3xActorDef*>(r3xFindTag(world_, "TANK_ACTORDEF"));
  auto actorOf = [&](CMailbox* owner) {
    return r3xCreateActor(world_, definition, nullptr, &at, nullptr, nullptr, 1.0f, 1.0f,
                          reinterpret_cast<std::uintptr_t>(owner));
  };
  struct Case {
    CMailbox* object;
    std::uint32_t owner;
    std::uint32_t filter;
  };
  const Case cases[] = {
      {&tower, tower.Address(), R3X_SWEEP_IGNORE},
      {&tower, kTank, R3X_SWEEP_PARTS},
      {&gun, gun.Address(), R3X_SWEEP_IGNORE},
      {&gun, tower.Address(), R3X_SWEEP_PARTS},
      // A tank's shots hit its own personal defense object.
      {&personal, kTank, R3X_SWEEP_PARTS},
      {&other, kTank, R3X_SWEEP_IGNORE},
      {nullptr, kTank, R3X_SWEEP_IGNORE},
  };
  for (const Case& c : cases) {
    CBullet bullet(4, kMuzzle, c.owner, 10, 0.0f, 1);
    R3xActor* actor = actorOf(c.object);
    ASSERT_NE(actor, nullptr);
    EXPECT_EQ(BulletSweepFilter(actor, &bullet), c.filter);
    r3xDestroyActor(world_, actor);
  }
}

TEST_F(BulletTest, TheHitCallbackStopsAtSolidTouches) {
  CBullet bullet(4, kMuzzle, kTank, 10, 0.0f, 1);
  struct Case {
    std::int32_t phase;
    std::int32_t passable;
    std::int32_t pass;
  };
  const Case cases[] = {
      {R3X_CONTACT_TOUCH, 0, 0}, {R3X_CONTACT_TOUCH, 1, 1}, {R3X_CONTACT_CROSS, 0, 1}};
  for (const Case& c : cases) {
    R3xContact contact{};
    contact.phase = c.phase;
    contact.passable = c.passable;
    gMover->hitFlag = 0;
    std::int32_t pass = -1;
    std::int32_t remaining = -1;
    float backoff = 0.0f;
    EXPECT_EQ(BulletSweepHit(&contact, &bullet, &pass, &remaining, &backoff), 0);
    EXPECT_EQ(pass, c.pass);
    EXPECT_EQ(remaining, 0);
    EXPECT_EQ(backoff, 0.8f);
    EXPECT_EQ(gMover->hitFlag, c.pass == 0 ? 1u : 0u);
  }
}

TEST_F(BulletTest, AddressesRepeatAfter65536Shots) {
  MakeBulletPool();
  CBulletPool::Fire(4, kMuzzle, kTank, 10, 0.0f, 1, 0);
  const std::uint32_t first = gBulletPool.front()->Address();
  EXPECT_EQ(first & 0xFFFF0000u, KIND_BULLET);
  for (int i = 0; i < 65535; ++i) {
    NextShotAddress();
  }
  gFrameTime += 2000;
  UpdateAllBullets();
  ASSERT_EQ(Flying(), 0);
  CBulletPool::Fire(4, kMuzzle, kTank, 10, 0.0f, 1, 0);
  EXPECT_EQ(gBulletPool.front()->Address(), first);
}

TEST_F(BulletTest, ShellsTakeTheCameraUnlessSharpshooting) {
  SetParamFloat(PARAM_SHARPSHOOTER_RANGE_MULTIPLIER, 2.0f);
  MakeBulletPool();
  struct Case {
    std::uint32_t kind;
    std::uint32_t camera;
    bool followed;
    std::uint32_t duration;
  };
  const Case cases[] = {
      {9, 1, true, 3000}, {9, 0, false, 3000}, {9 | kSharpshooterBit, 1, false, 6000},
      {8, 1, true, 3000}, {10, 1, true, 3000}, {4, 1, false, 1500}};
  for (const Case& c : cases) {
    gCameraFollow = nullptr;
    CBulletPool::Fire(c.kind, kMuzzle, kTank, 10, 0.0f, 1, c.camera);
    const CBullet* shot = nullptr;
    for (const auto& node : gBulletPool) {
      if (!node->IsFinished()) {
        shot = node.get();
      }
    }
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(gCameraFollow == &shot->Pose(), c.followed) << c.kind;
    EXPECT_EQ(shot->Expiry() - gFrameTime, c.duration) << c.kind;
    gFrameTime += 10000;
    UpdateAllBullets();
    // A followed shell lets the camera go when it ends.
    EXPECT_EQ(gCameraFollow, nullptr);
  }
}

// A shot that the pool cannot fly (no kind, or the muzzle in no region) is dropped: the bullet
// stays finished and parked, and the camera is not handed to it.
TEST_F(BulletTest, AShotWithoutAKindIsDropped) {
  MakeBulletPool();
  for (std::uint32_t kind : {0u, 11u, 15u, 0xFFFFu}) {
    CBulletPool::Fire(kind, kMuzzle, kTank, 10, 0.0f, 1, 1);
    EXPECT_EQ(Flying(), 0) << kind;
    EXPECT_EQ(gBulletPool.size(), 31u);
  }
  for (const auto& node : gBulletPool) {
    EXPECT_EQ(r3xIsActorHidden(node->Actor()), 1);
  }
  EXPECT_EQ(gCameraFollow, nullptr);
}

// The half-space world: points with x < 0 lie in no region.
class BulletEdgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(r3xInit(), R3X_DONE);
    InitGameParams();
    world_ = MakeHalfSpaceWorld();
    ASSERT_NE(world_, nullptr);
    gWorld = world_;
    gWorldCeiling = 50.0f;
    mover_ = std::make_unique<CMover>();
    gMover = mover_.get();
    gFrameTime = 1000;
  }
  void TearDown() override {
    gBulletPool.clear();
    gMover = nullptr;
    mover_.reset();
    gWorld = nullptr;
    gWorldCeiling = 0.0f;
    r3xDestroyWorld(world_);
    r3xShutdown();
  }

  R3xWorld* world_ = nullptr;
  std::unique_ptr<CMover> mover_;
};

TEST_F(BulletEdgeTest, AShotFromAMuzzleInNoRegionIsDropped) {
  ASSERT_NE(MakeBareActorDef(world_, "BULLETS_ACTORDEF", 24), nullptr);
  MakeBulletPool();
  ASSERT_EQ(gBulletPool.size(), 31u);
  const R3xPlacement outside{-10.0f, 0.0f, 5.0f, 0.0f, 0.0f, 0.0f, -1};
  CBulletPool::Fire(9, outside, kTank, 10, 0.0f, 1, 1);
  for (const auto& node : gBulletPool) {
    EXPECT_TRUE(node->IsFinished());
  }
  EXPECT_EQ(gCameraFollow, nullptr);
  const R3xPlacement inside{10.0f, 0.0f, 5.0f, 0.0f, 0.0f, 0.0f, -1};
  CBulletPool::Fire(9, inside, kTank, 10, 0.0f, 1, 1);
  EXPECT_FALSE(gBulletPool.front()->IsFinished());
}

// Without the bullets' definition no bullet has an actor: the pool holds empty nodes, and shots
// are lost without touching a missing actor or growing the pool.
TEST_F(BulletEdgeTest, BulletsWithoutTheirDefinitionAreNeverShown) {
  MakeBulletPool();
  ASSERT_EQ(gBulletPool.size(), 31u);
  for (const auto& node : gBulletPool) {
    EXPECT_EQ(node, nullptr);
  }
  const R3xPlacement inside{10.0f, 0.0f, 5.0f, 0.0f, 0.0f, 0.0f, -1};
  for (int i = 0; i < 5; ++i) {
    CBulletPool::Fire(4, inside, kTank, 10, 0.0f, 1, 0);
  }
  UpdateAllBullets();
  EXPECT_EQ(gBulletPool.size(), 31u);
  EXPECT_EQ(gBulletPool.front(), nullptr);
}

// The world stop leaves the pool; the next world start must not touch the bullets' old actors,
// which went with their world.
TEST_F(BulletEdgeTest, TheNextWorldStartsAFreshPool) {
  ASSERT_NE(MakeBareActorDef(world_, "BULLETS_ACTORDEF", 24), nullptr);
  MakeBulletPool();
  r3xDestroyWorld(world_);
  world_ = MakeHalfSpaceWorld();
  gWorld = world_;
  ASSERT_NE(MakeBareActorDef(world_, "BULLETS_ACTORDEF", 24), nullptr);
  MakeBulletPool();
  ASSERT_EQ(gBulletPool.size(), 31u);
  const R3xPlacement inside{10.0f, 0.0f, 5.0f, 0.0f, 0.0f, 0.0f, -1};
  CBulletPool::Fire(4, inside, kTank, 10, 0.0f, 1, 0);
  EXPECT_FALSE(gBulletPool.front()->IsFinished());
}

}  // namespace
