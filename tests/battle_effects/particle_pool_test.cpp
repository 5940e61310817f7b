#include "battle/effects/particle_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/r3x.h"
#include "scripted_random.h"

namespace {

R3xCamera CameraAt(float x, float y, float farDistance) {
  R3xCamera camera{};
  camera.x = x;
  camera.y = y;
  camera.farDistance = farDistance;
  return camera;
}

// One frame of the particle drawing, without the drawing.
void AgeFrames(CParticlePool& pool, const R3xCamera& camera, int frames) {
  for (int i = 0; i < frames; ++i) {
    pool.DrawAndAge(camera, [](const Particle&) {});
  }
}

constexpr float kOrigin[3] = {0.0f, 0.0f, 0.0f};

// 10 draws an offset of 0 and a speed factor of 1: every attempt makes a particle.
constexpr std::uint32_t kCentre = 10;
// 20 draws offsets of 10 on every axis: outside the ball, every attempt makes none.
constexpr std::uint32_t kOutside = 20;

void FillAllBut(CParticlePool& pool, std::size_t freeEntries) {
  ASSERT_EQ(pool.EmitParticleBurst(ParticleKind::kBurst,
                                   static_cast<std::uint32_t>(CParticlePool::kSize - freeEntries),
                                   kOrigin, kOrigin, 0.0f, 20, 0, 0, 0),
            0);
}

TEST(ParticleBurstTest, ZeroAttemptsChangeNothing) {
  int draws = 0;
  CParticlePool pool([&draws] { return static_cast<std::uint32_t>(++draws); });
  EXPECT_EQ(pool.EmitParticleBurst(ParticleKind::kBurst, 0, kOrigin, kOrigin, 1.0f, 20, 1, 2, 3),
            0);
  EXPECT_EQ(pool.Count(), 0);
  EXPECT_EQ(draws, 0);
  EXPECT_EQ(pool.Entries()[0].kind, ParticleKind::kFree);
}

TEST(ParticleBurstTest, SpreadsTheVelocityByTheOffsetAndSpeedFactor) {
  // Offsets (3, -4, 0), speed factor 2, life 7 % 20 + 1; then an attempt outside the ball.
  CParticlePool pool(Scripted({13, 6, 10, 12, 7, 20, 20, 10}, kCentre));
  const float position[3] = {5.0f, 6.0f, 7.0f};
  const float velocity[3] = {1.0f, 2.0f, 3.0f};
  EXPECT_EQ(
      pool.EmitParticleBurst(ParticleKind::kBurst, 2, position, velocity, 0.5f, 20, 255, 128, 0),
      0);
  EXPECT_EQ(pool.Count(), 1);
  const Particle& p = pool.Entries()[0];
  EXPECT_EQ(p.kind, ParticleKind::kBurst);
  EXPECT_FLOAT_EQ(p.vx, 5.0f);
  EXPECT_FLOAT_EQ(p.vy, 0.0f);
  EXPECT_FLOAT_EQ(p.vz, 6.0f);
  EXPECT_EQ(p.x, 5.0f);
  EXPECT_EQ(p.z, 7.0f);
  EXPECT_EQ(p.life, 8);
  EXPECT_EQ(p.red, 255);
  EXPECT_EQ(p.green, 128);
  EXPECT_EQ(p.blue, 0);
  // The rejected attempt left its entry free.
  EXPECT_EQ(pool.Entries()[1].kind, ParticleKind::kFree);

  // One frame: moved by its velocity, then drag on x and y and gravity on z.
  AgeFrames(pool, CameraAt(0.0f, 0.0f, 500.0f), 1);
  EXPECT_FLOAT_EQ(p.x, 10.0f);
  EXPECT_FLOAT_EQ(p.z, 13.0f);
  EXPECT_FLOAT_EQ(p.vx, 4.75f);
  EXPECT_FLOAT_EQ(p.vz, 5.9975f);
  EXPECT_EQ(p.life, 7);
}

struct FullPoolCase {
  const char* name;
  std::uint32_t source;
  std::size_t freeEntries;
  std::uint32_t attempts;
  std::int32_t made;
  std::int32_t result;
};

TEST(ParticleBurstTest, StopsAtTheEndOfThePool) {
  const FullPoolCase cases[] = {
      {"five free, all hit", kCentre, 5, 80, 5, R3X_ERR_FAILED},
      {"five free, all miss", kOutside, 5, 80, 0, R3X_ERR_FAILED},
      {"five free, five attempts", kCentre, 5, 5, 5, 0},
      {"none free", kCentre, 0, 1, 0, R3X_ERR_FAILED},
  };
  for (const FullPoolCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::uint32_t source = kCentre;
    std::size_t draws = 0;
    CParticlePool pool([&source, &draws] {
      ++draws;
      return source;
    });
    FillAllBut(pool, c.freeEntries);
    const std::int32_t before = pool.Count();
    source = c.source;
    draws = 0;
    EXPECT_EQ(pool.EmitParticleBurst(ParticleKind::kBurst, c.attempts, kOrigin, kOrigin, 0.0f, 20,
                                     0, 0, 0),
              c.result);
    EXPECT_EQ(pool.Count() - before, c.made);
    // One attempt for each free entry at most: three offsets, and two more draws for a particle.
    const std::size_t tried = std::min<std::size_t>(c.freeEntries, c.attempts);
    EXPECT_EQ(draws, tried * 3 + static_cast<std::size_t>(c.made) * 2);
  }
}

TEST(ParticleBurstTest, AMaximumLifeOfZeroLivesOneFrame) {
  CParticlePool pool(Scripted({}, kCentre));
  EXPECT_EQ(pool.EmitParticleBurst(ParticleKind::kBurst, 1, kOrigin, kOrigin, 0.0f, 0, 0, 0, 0), 0);
  EXPECT_EQ(pool.Entries()[0].life, 1);
  AgeFrames(pool, CameraAt(0.0f, 0.0f, 500.0f), 1);
  EXPECT_EQ(pool.Count(), 0);
  EXPECT_EQ(pool.Entries()[0].kind, ParticleKind::kFree);
}

TEST(ParticleDrawTest, HandsLiveEntriesInPoolOrderAndNoneWhenIdle) {
  CParticlePool pool(Scripted({20, 20, 20}, kCentre));
  const R3xCamera camera = CameraAt(0.0f, 0.0f, 500.0f);
  int drawn = 0;
  pool.DrawAndAge(camera, [&drawn](const Particle&) { ++drawn; });
  EXPECT_EQ(drawn, 0);
  // The first entry's attempt misses, so the burst takes entries 1 and 2.
  ASSERT_EQ(pool.EmitParticleBurst(ParticleKind::kBurst, 3, kOrigin, kOrigin, 0.0f, 5, 0, 0, 0), 0);
  std::vector<const Particle*> seen;
  pool.DrawAndAge(camera, [&seen](const Particle& p) { seen.push_back(&p); });
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], &pool.Entries()[1]);
  EXPECT_EQ(seen[1], &pool.Entries()[2]);
}

// The ring is built from the engine's sine and cosine tables.
class SparksTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(r3xInit(), R3X_DONE); }
  void TearDown() override { r3xShutdown(); }
};

struct SparkCase {
  const char* name;
  float topZ;
  float bottomZ;
  std::uint32_t fallDraw;
  std::int32_t life;
};

TEST_F(SparksTest, LiveUntilTheyReachTheBottom) {
  // The z draw 0 keeps the spark at the top; fall draws 10 / 0 / 20 give -0.5 / -0.625 / -0.375.
  const SparkCase cases[] = {
      {"one unit at -0.5", 10.0f, 9.0f, 10, 3},
      {"ten units at -0.625", 10.0f, 0.0f, 0, 17},
      {"ten units at -0.375", 10.0f, 0.0f, 20, 27},
      {"bottom above the top", 0.0f, 10.0f, 10, 1},
      {"top not a number", std::nanf(""), 0.0f, 10, 1},
  };
  for (const SparkCase& c : cases) {
    SCOPED_TRACE(c.name);
    CParticlePool pool(Scripted({10, 10, 0, c.fallDraw}, kOutside));
    const float top[3] = {1.0f, 2.0f, c.topZ};
    const float bottom[3] = {1.0f, 2.0f, c.bottomZ};
    EXPECT_EQ(pool.EmitSparks(top, bottom), 0);
    ASSERT_EQ(pool.Count(), 1);
    const Particle& spark = pool.Entries()[0];
    EXPECT_EQ(spark.kind, ParticleKind::kSpark);
    EXPECT_EQ(spark.life, c.life);
    AgeFrames(pool, CameraAt(0.0f, 0.0f, 500.0f), c.life - 1);
    EXPECT_EQ(pool.Count(), 1);
    AgeFrames(pool, CameraAt(0.0f, 0.0f, 500.0f), 1);
    EXPECT_EQ(pool.Count(), 0);
  }
}

TEST_F(SparksTest, RingComesOnTheFifthCallAndEveryTenthAfter) {
  CParticlePool pool(Scripted({}, kOutside));
  const float top[3] = {100.0f, 200.0f, 20.0f};
  const float bottom[3] = {100.0f, 200.0f, 4.5f};
  std::vector<int> ringCalls;
  for (int call = 1; call <= 25; ++call) {
    const std::int32_t before = pool.Count();
    pool.EmitSparks(top, bottom);
    if (pool.Count() != before) {
      EXPECT_EQ(pool.Count() - before, 32);
      ringCalls.push_back(call);
    }
  }
  EXPECT_EQ(ringCalls, (std::vector<int>{5, 15, 25}));

  // Segments 31 down to 0 in pool order, each from its ring point to the next, on the top.
  const Particle& first = pool.Entries()[0];
  const Particle& last = pool.Entries()[31];
  EXPECT_EQ(first.kind, ParticleKind::kRingSegment);
  EXPECT_EQ(first.aux, 31u);
  EXPECT_EQ(last.aux, 0u);
  EXPECT_EQ(first.life, 32);
  EXPECT_NEAR(last.x, 101.5f, 1e-4f);
  EXPECT_NEAR(last.y, 200.0f, 1e-4f);
  EXPECT_EQ(last.z, 20.0f);
  // Segment 31 closes the ring at point 0.
  EXPECT_NEAR(first.vx, 101.5f, 1e-4f);
  EXPECT_NEAR(first.vy, 200.0f, 1e-4f);
  // Point 8 is a quarter turn round.
  EXPECT_NEAR(pool.Entries()[23].x, 100.0f, 1e-4f);
  EXPECT_NEAR(pool.Entries()[23].y, 201.5f, 1e-4f);

  // Both ends fall half a unit a frame.
  AgeFrames(pool, CameraAt(0.0f, 0.0f, 500.0f), 1);
  EXPECT_EQ(first.z, 19.5f);
  EXPECT_EQ(first.vz, 19.5f);
  EXPECT_EQ(first.life, 31);
}

struct RingRoomCase {
  std::size_t freeEntries;
  std::int32_t made;
  std::uint32_t lastSegment;
};

TEST_F(SparksTest, RingTakesOnlyTheFreeEntriesLeft) {
  const RingRoomCase cases[] = {{40, 32, 0}, {10, 10, 22}, {1, 1, 31}};
  for (const RingRoomCase& c : cases) {
    SCOPED_TRACE(c.freeEntries);
    std::uint32_t source = kCentre;
    CParticlePool pool([&source] { return source; });
    FillAllBut(pool, c.freeEntries);
    const std::int32_t before = pool.Count();
    // No spark is made, so the fifth call's ring has the free entries to itself.
    source = kOutside;
    const float top[3] = {0.0f, 0.0f, 5.0f};
    const float bottom[3] = {0.0f, 0.0f, 1.0f};
    for (int call = 1; call <= 5; ++call) {
      EXPECT_EQ(pool.EmitSparks(top, bottom), 0);
    }
    EXPECT_EQ(pool.Count() - before, c.made);
    const Particle& last =
        pool.Entries()[CParticlePool::kSize - c.freeEntries + static_cast<std::size_t>(c.made) - 1];
    EXPECT_EQ(last.kind, ParticleKind::kRingSegment);
    EXPECT_EQ(last.aux, c.lastSegment);
    EXPECT_EQ(last.life, 9);
  }
}

TEST(RainTest, PlacesADropToLandInWholeFrames) {
  // x 300, y 700, height 300 + 312, vx -1, vy -2, speed 5 + 5; every other drop draws 0s.
  CParticlePool pool(Scripted({300, 700, 312, 1, 2, 5}, 0));
  const R3xCamera camera = CameraAt(1000.0f, 2000.0f, 500.0f);
  ASSERT_EQ(pool.StartWeatherParticles(camera, WeatherMode::kRain), 0);
  EXPECT_EQ(pool.Count(), 10000);
  EXPECT_EQ(pool.Entries()[10000].kind, ParticleKind::kFree);
  const Particle& drop = pool.Entries()[0];
  EXPECT_EQ(drop.kind, ParticleKind::kRainDrop);
  EXPECT_EQ(drop.x, 800.0f);
  EXPECT_EQ(drop.y, 2200.0f);
  EXPECT_EQ(drop.z, 610.0f);
  EXPECT_EQ(drop.vx, -1.0f);
  EXPECT_EQ(drop.vy, -2.0f);
  EXPECT_EQ(drop.vz, -10.0f);
  EXPECT_EQ(drop.life, 62);

  ASSERT_EQ(pool.StartWeatherParticles(camera, WeatherMode::kNone), 0);
  AgeFrames(pool, camera, 61);
  EXPECT_EQ(drop.kind, ParticleKind::kRainDrop);
  EXPECT_EQ(drop.z, 0.0f);
  AgeFrames(pool, camera, 1);
  EXPECT_EQ(drop.kind, ParticleKind::kFree);
}

TEST(RainTest, ALandedDropFallsAgainWhileItRains) {
  CParticlePool pool(Scripted({}, 0));
  const R3xCamera camera = CameraAt(0.0f, 0.0f, 100.0f);
  ASSERT_EQ(pool.StartWeatherParticles(camera, WeatherMode::kRain), 0);
  // Every drop starts at 300 falling 5 a frame: 61 frames.
  AgeFrames(pool, camera, 61);
  EXPECT_EQ(pool.Count(), 10000);
  EXPECT_EQ(pool.Entries()[0].z, 300.0f);
  EXPECT_EQ(pool.Entries()[0].life, 61);
}

TEST(RainTest, WrapsAroundTheMovingCamera) {
  CParticlePool pool(Scripted({}, 0));
  ASSERT_EQ(pool.StartWeatherParticles(CameraAt(0.0f, 0.0f, 100.0f), WeatherMode::kRain), 0);
  // Drops start at (-100, -100); the camera jumps 500 ahead in x and 150 back in y.
  AgeFrames(pool, CameraAt(500.0f, -150.0f, 100.0f), 1);
  EXPECT_EQ(pool.Entries()[0].x, 100.0f);
  EXPECT_EQ(pool.Entries()[0].y, -100.0f);
  AgeFrames(pool, CameraAt(-500.0f, -400.0f, 100.0f), 1);
  EXPECT_EQ(pool.Entries()[0].x, -100.0f);
  EXPECT_EQ(pool.Entries()[0].y, -300.0f);
}

TEST(RainTest, AFarDistanceOfZeroStillPlacesDrops) {
  CParticlePool pool(Scripted({}, 7));
  ASSERT_EQ(pool.StartWeatherParticles(CameraAt(4.0f, 5.0f, 0.0f), WeatherMode::kRain), 0);
  EXPECT_EQ(pool.Entries()[0].x, 4.0f);
  EXPECT_EQ(pool.Entries()[0].y, 5.0f);
}

TEST(RainTest, RefusesTheModeInForceAndLeavesThePoolAlone) {
  CParticlePool pool(Scripted({}, 3));
  const R3xCamera camera = CameraAt(0.0f, 0.0f, 100.0f);
  EXPECT_EQ(pool.StartWeatherParticles(camera, WeatherMode::kNone), R3X_ERR_FAILED);
  ASSERT_EQ(pool.StartWeatherParticles(camera, WeatherMode::kRain), 0);
  AgeFrames(pool, camera, 3);
  const Particle before = pool.Entries()[0];
  EXPECT_EQ(pool.StartWeatherParticles(camera, WeatherMode::kRain), R3X_ERR_FAILED);
  EXPECT_EQ(pool.Entries()[0].z, before.z);
  EXPECT_EQ(pool.Entries()[0].life, before.life);
  EXPECT_EQ(pool.StartWeatherParticles(camera, WeatherMode::kNone), 0);
  EXPECT_EQ(pool.StartWeatherParticles(camera, WeatherMode::kNone), R3X_ERR_FAILED);
  EXPECT_EQ(pool.Mode(), WeatherMode::kNone);
}

TEST(RainTest, EndsWithinTheLongestDropLifeAndLeavesThePoolIdle) {
  // Three bursts with centre draws (five each), then a first drop of the longest life: height
  // 900 at speed 5; every other drop starts at 300.
  std::vector<std::uint32_t> script(15, kCentre);
  script.insert(script.end(), {0, 0, 600, 0, 0, 0});
  CParticlePool pool(Scripted(script, 0));
  const R3xCamera camera = CameraAt(0.0f, 0.0f, 500.0f);
  ASSERT_EQ(pool.EmitParticleBurst(ParticleKind::kBurst, 3, kOrigin, kOrigin, 0.0f, 20, 0, 0, 0),
            0);
  ASSERT_EQ(pool.Count(), 3);
  // The live bursts among the first 10000 entries are taken by the rain and counted once.
  ASSERT_EQ(pool.StartWeatherParticles(camera, WeatherMode::kRain), 0);
  EXPECT_EQ(pool.Count(), 10000);
  EXPECT_EQ(pool.Entries()[0].life, 181);
  ASSERT_EQ(pool.StartWeatherParticles(camera, WeatherMode::kNone), 0);
  AgeFrames(pool, camera, 180);
  EXPECT_EQ(pool.Count(), 1);
  AgeFrames(pool, camera, 1);
  EXPECT_EQ(pool.Count(), 0);
  int drawn = 0;
  pool.DrawAndAge(camera, [&drawn](const Particle&) { ++drawn; });
  EXPECT_EQ(drawn, 0);
}

TEST(ParticleResetTest, FreesTheEntriesAndTheCountButKeepsTheWeather) {
  struct Case {
    const char* name;
    bool rain;
    std::int32_t count;
  };
  // The rain in force lays its drops again; without rain nothing is left.
  const Case cases[] = {{"no weather", false, 0}, {"rain", true, 10000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CParticlePool pool(Scripted({}, kCentre));
    const R3xCamera camera = CameraAt(0.0f, 0.0f, 100.0f);
    if (c.rain) {
      ASSERT_EQ(pool.StartWeatherParticles(camera, WeatherMode::kRain), 0);
    }
    ASSERT_EQ(pool.EmitParticleBurst(ParticleKind::kBurst, 3, kOrigin, kOrigin, 0.0f, 20, 0, 0, 0),
              0);
    pool.Reset(camera);
    EXPECT_EQ(pool.Count(), c.count);
    EXPECT_EQ(pool.Mode(), c.rain ? WeatherMode::kRain : WeatherMode::kNone);
    const auto& entries = pool.Entries();
    const auto live = std::count_if(entries.begin(), entries.end(), [](const Particle& p) {
      return p.kind != ParticleKind::kFree;
    });
    EXPECT_EQ(live, c.count);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const Particle& p) { return p.kind == ParticleKind::kBurst; }),
              0);
    // The rain in force is not started twice; without rain it can start.
    EXPECT_EQ(pool.StartWeatherParticles(camera, WeatherMode::kRain), c.rain ? R3X_ERR_FAILED : 0);
    EXPECT_EQ(pool.Count(), 10000);
  }
}

}  // namespace
