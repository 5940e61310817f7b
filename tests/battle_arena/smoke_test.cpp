#include "battle/arena/smoke.h"

#include <gtest/gtest.h>

#include <vector>

#include "battle/core/frame_time.h"
#include "platform/kernel/random.h"
#include "tests/battle_arena/demo_arena_fixture.h"

namespace {

constexpr float kOpen[3] = {200.0f, 200.0f, 5.0f};

class SmokeTest : public DemoArenaFixture {
 protected:
  void TearDown() override {
    DeleteAllSmoke();
    DemoArenaFixture::TearDown();
  }

  // The frames a puff shows, each once per change, until it parks (at most 10 s).
  static std::vector<std::int32_t> FramesUntilParked(CSmoke* puff) {
    std::vector<std::int32_t> frames{puff->Frame()};
    for (int i = 0; i < 1000 && !puff->IsFinished(); ++i) {
      gFrameTime += 10;
      UpdateAllSmoke();
      if (puff->Frame() != frames.back()) {
        frames.push_back(puff->Frame());
      }
    }
    return frames;
  }
};

TEST_F(SmokeTest, KindsRiseThroughTheirFramesThenDissolveOnceAndPark) {
  struct Case {
    std::int32_t kind;
    std::vector<std::int32_t> frames;
  };
  // 700 ms of rising: a frame change every 210 ms (the first update past each 200 ms step),
  // then the dissolving frames from their first.
  const Case cases[] = {
      {2, {8, 9, 10, 11, 12, 13, 14, 15}},
      {1, {0, 1, 2, 3, 4, 5, 6, 7}},
      {0, {0, 1, 2, 3, 4, 5, 6, 7}},
      {5, {0, 1, 2, 3, 4, 5, 6, 7}},
  };
  for (const Case& c : cases) {
    CSmoke* puff = CSmoke::Spawn(c.kind, kOpen, 700);
    ASSERT_NE(puff, nullptr);
    EXPECT_EQ(FramesUntilParked(puff), c.frames) << c.kind;
    EXPECT_TRUE(puff->IsFinished());
    EXPECT_EQ(r3xIsActorHidden(puff->Actor()), 1);
    EXPECT_EQ(PlacementOf(puff->Actor()).z, kCeiling - 1.0f);
  }
}

TEST_F(SmokeTest, RiseDependsOnTheKind) {
  struct Case {
    std::int32_t kind;
    float rise;
  };
  const Case cases[] = {{1, 0.04f}, {2, 0.04f}, {0, 0.15f}, {3, 0.15f}};
  for (const Case& c : cases) {
    CSmoke* puff = CSmoke::Spawn(c.kind, kOpen, 5000);
    ASSERT_NE(puff, nullptr);
    gFrameTime += 10;
    puff->Animate();
    EXPECT_FLOAT_EQ(PlacementOf(puff->Actor()).z, kOpen[2] + c.rise) << c.kind;
  }
}

TEST_F(SmokeTest, TwoPuffsStartedInOneFrameDriftAlike) {
  // x and y in [128, 256) as kOpen's, so that equal steps add equal amounts.
  const float other[3] = {180.0f, 240.0f, 5.0f};
  CSmoke* first = CSmoke::Spawn(0, kOpen, 5000);
  CSmoke* second = CSmoke::Spawn(0, other, 5000);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  for (int i = 0; i < 20; ++i) {
    gFrameTime += 10;
    UpdateAllSmoke();
  }
  const R3xPlacement a = PlacementOf(first->Actor());
  const R3xPlacement b = PlacementOf(second->Actor());
  EXPECT_FLOAT_EQ(a.x - kOpen[0], b.x - other[0]);
  EXPECT_FLOAT_EQ(a.y - kOpen[1], b.y - other[1]);
  EXPECT_FLOAT_EQ(a.z, b.z);
}

class RecordingRandom : public platform::RandomSource {
 public:
  int Next() override { return next_++; }
  void Seed(std::uint32_t seed) override { seeds.push_back(seed); }
  std::vector<std::uint32_t> seeds;

 private:
  int next_ = 13;
};

// Each start reseeds the process's generator with the frame time, then draws the x and the y
// drift: (r mod 10) x 0.004 each.
TEST_F(SmokeTest, AStartReseedsWithTheFrameTimeAndDrawsTheDrift) {
  CSmoke* parked = CSmoke::Spawn(0, kOpen, 1);
  ASSERT_NE(parked, nullptr);
  FramesUntilParked(parked);
  RecordingRandom random;
  platform::ScopedRandomSource scope(random);
  gFrameTime = 4321;
  CSmoke* puff = CSmoke::Spawn(0, kOpen, 5000);
  ASSERT_EQ(puff, parked);
  EXPECT_EQ(random.seeds, std::vector<std::uint32_t>{4321});
  gFrameTime += 10;
  puff->Animate();
  const R3xPlacement placement = PlacementOf(puff->Actor());
  EXPECT_EQ(placement.x, kOpen[0] + 3 * 0.004f);
  EXPECT_EQ(placement.y, kOpen[1] + 4 * 0.004f);
}

TEST_F(SmokeTest, APuffThatWouldLeaveTheOpenSpaceDissolves) {
  const float high[3] = {200.0f, 200.0f, kCeiling - 0.1f};
  CSmoke* puff = CSmoke::Spawn(0, high, 5000);
  ASSERT_NE(puff, nullptr);
  gFrameTime += 10;
  puff->Animate();
  EXPECT_EQ(puff->Phase(), 1);
  EXPECT_EQ(PlacementOf(puff->Actor()).z, high[2]);
  puff->Animate();
  EXPECT_EQ(puff->Phase(), 2);
  EXPECT_EQ(puff->Frame(), 4);
}

TEST_F(SmokeTest, ThePoolGrowsOnlyWhenEveryPuffRuns) {
  MakeSmokePool();
  ASSERT_EQ(gSmokeList.size(), 50u);
  // The world start's puffs run their 1 ms start under the ceiling, then dissolve and park.
  for (int i = 0; i < 100; ++i) {
    gFrameTime += 10;
    UpdateAllSmoke();
  }
  for (int i = 0; i < 50; ++i) {
    ASSERT_NE(CSmoke::Spawn(1, kOpen, 5000), nullptr);
  }
  EXPECT_EQ(gSmokeList.size(), 50u);
  CSmoke* grown = CSmoke::Spawn(1, kOpen, 5000);
  ASSERT_NE(grown, nullptr);
  EXPECT_EQ(gSmokeList.size(), 51u);
  EXPECT_EQ(gSmokeList.front().get(), grown);
}

}  // namespace
