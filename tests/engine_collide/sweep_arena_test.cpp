// Random sweeps through the demo arena with the default callbacks: none ends beyond a solid
// wall or inside a post.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/core/math_tables_internal.h"
#include "engine/r3x.h"

namespace {

// The arena: four cells over [0, 400] x [0, 400], a vertical post from (300, 100, 0) to
// (300, 100, 20) and an XY post at (100, 300).
constexpr float kSize = 400.0f;
constexpr float kPost[3] = {300.0f, 100.0f, 0.0f};
constexpr float kPostTop = 20.0f;
constexpr float kXYPost[2] = {100.0f, 300.0f};
// What a stop may lie within a feature: the back-off takes 0.001, rounding a little more.
constexpr float kSlack = 0.01f;

float distanceToPost(const float* p) {
  const float z = std::clamp(p[2], kPost[2], kPostTop);
  return std::hypot(p[0] - kPost[0], p[1] - kPost[1], p[2] - z);
}

float distanceToXYPost(const float* p) { return std::hypot(p[0] - kXYPost[0], p[1] - kXYPost[1]); }

// Clear of the outer walls and both posts by the radius.
bool clear(const float* p, float radius, float slack) {
  for (int i = 0; i < 2; ++i) {
    if (p[i] < radius - slack || p[i] > kSize - radius + slack) {
      return false;
    }
  }
  return distanceToPost(p) >= radius - slack && distanceToXYPost(p) >= radius - slack;
}

class DemoArena : public ::testing::Test {
 protected:
  DemoArena() {
    _r3xInitMathTables();
    pack_ = r3xOpenWad(ARENA_DEMO_PACK, 64);
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
    loaded_ = pack_ != nullptr &&
              r3xLoadWorldFile("arena.wld", world_, pack_, nullptr, nullptr, nullptr) == 0;
  }
  ~DemoArena() override {
    r3xDestroyWorld(world_);
    r3xCloseWad(pack_);
    _r3xFreeMathTables();
  }

  R3xWad* pack_;
  R3xWorld* world_;
  bool loaded_;
};

TEST_F(DemoArena, RandomSweepsNeverEndBeyondASolidWall) {
  ASSERT_TRUE(loaded_);
  R3xSweepQuery* query = r3xCreateSweepQuery();
  std::mt19937 generator(4102);
  std::uniform_real_distribution<float> across(0.0f, kSize);
  std::uniform_real_distribution<float> height(0.0f, 60.0f);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  std::uniform_real_distribution<float> length(0.0f, 600.0f);
  int swept = 0;
  int stopped = 0;
  for (const float radius : {0.5f, 2.0f, 5.0f, 12.0f}) {
    R3xSphereVolume* volume = r3xCreateSphereVolume(radius);
    for (int i = 0; i < 2500; ++i) {
      R3xPlacement placement{
          across(generator), across(generator), radius + height(generator), 0.0f, 0.0f, 0.0f, -1};
      const float start[3] = {placement.x, placement.y, placement.z};
      if (!clear(start, radius, -0.01f)) {
        continue;
      }
      float direction[3] = {unit(generator), unit(generator), 0.3f * unit(generator)};
      const float norm = std::hypot(direction[0], direction[1], direction[2]);
      if (norm < 0.1f) {
        continue;
      }
      for (float& component : direction) {
        component /= norm;
      }
      const std::int32_t testFlagged = i % 2;
      float stop[3];
      ASSERT_EQ(r3xSweepActor(world_, nullptr, reinterpret_cast<R3xVolume*>(volume), 1.0f,
                              &placement, nullptr, direction, length(generator), testFlagged, 0,
                              nullptr, nullptr, query, nullptr, stop, nullptr, 0),
                0);
      ++swept;
      stopped += r3xGetSweepContacts(query)->count > 0 ? 1 : 0;
      EXPECT_TRUE(clear(stop, radius, kSlack))
          << "radius " << radius << " from " << start[0] << " " << start[1] << " " << start[2]
          << " to " << stop[0] << " " << stop[1] << " " << stop[2];
      // With the floor tested the sphere stays above it.
      if (testFlagged != 0) {
        EXPECT_GE(stop[2], radius - kSlack);
      }
    }
    r3xFreeVolumeRecord(reinterpret_cast<R3xVolume*>(volume));
  }
  EXPECT_GT(swept, 8000);
  // Most motions are long enough to meet a wall.
  EXPECT_GT(stopped, swept / 2);
  r3xDestroySweepQuery(query);
}

}  // namespace
