#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/core/bsp_internal.h"
#include "engine/r3x.h"
#include "tests/support/failing_memory.h"
#include "tests/support/test_world_builder.h"

namespace {

struct WorldDeleter {
  void operator()(R3xWorld* world) const { r3xDestroyWorld(world); }
};
using WorldPtr = std::unique_ptr<R3xWorld, WorldDeleter>;

std::vector<std::int32_t> sorted(std::vector<std::int32_t> values) {
  std::sort(values.begin(), values.end());
  return values;
}

TEST(BspTest, APointBelongsToTheRegionOfItsLeafAndAPointOnAPlaneToTheFront) {
  WorldPtr world(MakeTestWorld(MakeThreeSlabs()));
  ASSERT_NE(world, nullptr);
  const struct {
    float x;
    std::int32_t region;
  } cases[] = {{-1e6f, 0}, {-0.001f, 0}, {0.0f, 1}, {9.999f, 1}, {10.0f, 2}, {1e6f, 2}};
  for (const auto& c : cases) {
    const float point[3] = {c.x, 3.0f, -7.0f};
    EXPECT_EQ(r3xFindRegionIndexAt(world.get(), point), c.region) << c.x;
    EXPECT_EQ(r3xFindRegionAt(world.get(), point), r3xGetRegion(world.get(), c.region)) << c.x;
  }
}

TEST(BspTest, APointOutsideTheTreeHasNoRegion) {
  TestWorldSpec spec = MakeThreeSlabs();
  spec.nodes[0].back = -1;  // nothing behind x = 0
  WorldPtr world(MakeTestWorld(spec));
  ASSERT_NE(world, nullptr);
  const float behind[3] = {-1, 0, 0};
  EXPECT_EQ(r3xFindRegionIndexAt(world.get(), behind), R3X_NO_REGION);
  EXPECT_EQ(r3xFindRegionAt(world.get(), behind), nullptr);

  WorldPtr empty(r3xCreateWorld(nullptr, 0, nullptr));
  EXPECT_EQ(r3xFindRegionIndexAt(empty.get(), behind), R3X_NO_REGION);
  EXPECT_EQ(r3xFindRegionAt(empty.get(), behind), nullptr);
}

TEST(BspTest, ALeafNamingNoRegionOfTheWorldGivesNoIndex) {
  WorldPtr world(MakeTestWorld(MakeThreeSlabs()));
  ASSERT_NE(world, nullptr);
  world->bspRoot[3].leaf = 4;  // x >= 10 names a fourth region that the world does not have
  const float point[3] = {20, 0, 0};
  EXPECT_EQ(r3xFindRegionIndexAt(world.get(), point), R3X_NO_REGION);
  EXPECT_TRUE(FindRegionsInSphere(world.get(), point, 1).empty());
  EXPECT_EQ(r3xGetRegion(world.get(), 3), nullptr);
  EXPECT_EQ(r3xGetRegion(world.get(), -1), nullptr);
}

TEST(BspTest, ThePointQueryEvaluatesPlanesInDouble) {
  // In float, 2^24 - 0.25 rounds to 2^24 and the point would lie on the plane.
  TestWorldSpec spec{2, {{{1, 1, 0, -16777216.0f}, 1, 2, 0}, MakeTestLeaf(1), MakeTestLeaf(0)}, {}};
  WorldPtr world(MakeTestWorld(spec));
  ASSERT_NE(world, nullptr);
  const float point[3] = {16777216.0f, -0.25f, 0};
  EXPECT_EQ(r3xFindRegionIndexAt(world.get(), point), 0);
}

TEST(BspTest, ASphereReachesTheRegionsItTouches) {
  WorldPtr world(MakeTestWorld(MakeThreeSlabs()));
  ASSERT_NE(world, nullptr);
  const struct {
    float x;
    float radius;
    std::vector<std::int32_t> regions;
  } cases[] = {
      {5, 1, {1}},
      {-5, 1, {0}},
      {15, 1, {2}},
      {9.5f, 1, {1, 2}},
      {0.5f, 0.5f, {0, 1}},
      {5, 100, {0, 1, 2}},
      {9, 1, {1, 2}},
      {8.9f, 1, {1}},
      // Radius 0: the region of the centre and the back of every plane through it.
      {0, 0, {0, 1}},
      {10, 0, {1, 2}},
      {3, 0, {1}},
  };
  for (const auto& c : cases) {
    const float centre[3] = {c.x, 1, 2};
    EXPECT_EQ(sorted(FindRegionsInSphere(world.get(), centre, c.radius)), c.regions)
        << c.x << " " << c.radius;
  }
}

TEST(BspTest, ACallbackResultOtherThanZeroEndsTheWalk) {
  WorldPtr world(MakeTestWorld(MakeThreeSlabs()));
  ASSERT_NE(world, nullptr);
  int calls = 0;
  const float centre[3] = {5, 0, 0};
  EXPECT_EQ(r3xQueryRegionsInSphere(
                world.get(), centre, 100,
                [](R3xWorld*, R3xRegion*, void* user) {
                  ++*static_cast<int*>(user);
                  return std::int32_t{7};
                },
                &calls),
            7);
  EXPECT_EQ(calls, 1);
}

struct NestedWalk {
  std::vector<std::int32_t> outer;
  std::vector<std::vector<std::int32_t>> inner;
};

TEST(BspTest, AWalkStartedFromACallbackLeavesTheOuterWalkIntact) {
  WorldPtr world(MakeTestWorld(MakeComb(6)));
  ASSERT_NE(world, nullptr);
  const float centre[3] = {3, 0, 0};
  const std::vector<std::int32_t> alone = FindRegionsInSphere(world.get(), centre, 10);
  ASSERT_EQ(alone.size(), 7u);

  NestedWalk walk;
  r3xQueryRegionsInSphere(
      world.get(), centre, 10,
      [](R3xWorld* w, R3xRegion* region, void* user) {
        auto* nested = static_cast<NestedWalk*>(user);
        nested->outer.push_back(region->header.slot);
        const float elsewhere[3] = {0.5f, 0, 0};
        nested->inner.push_back(FindRegionsInSphere(w, elsewhere, 2));
        return std::int32_t{0};
      },
      &walk);
  EXPECT_EQ(walk.outer, alone);
  for (const auto& inner : walk.inner) {
    EXPECT_EQ(sorted(inner), (std::vector<std::int32_t>{0, 1, 2, 3}));
  }
}

TEST(BspTest, ADeepTreeGrowsTheWalkStackOrFailsWhenItCannot) {
  WorldPtr world(MakeTestWorld(MakeComb(100)));
  ASSERT_NE(world, nullptr);
  const float centre[3] = {50, 0, 0};
  EXPECT_EQ(FindRegionsInSphere(world.get(), centre, 1000).size(), 101u);
  const float point[3] = {49.5f, 0, 0};
  EXPECT_EQ(r3xFindRegionIndexAt(world.get(), point), 50);

  test_support::FailingMemory failing(0);
  EXPECT_EQ(r3xQueryRegionsInSphere(
                world.get(), centre, 1000,
                [](R3xWorld*, R3xRegion*, void*) { return std::int32_t{0}; }, nullptr),
            R3X_ERR_FAILED);
}

// World files may give two nodes one child. In a chain of 40 nodes whose front and back are both
// the next node, the sphere straddles every plane: a walk that entered a node once per path to
// it would reach the last leaf 2^40 times.
TEST(BspTest, ASphereWalkEntersASharedNodeOnce) {
  constexpr std::uint32_t kChain = 40;
  WorldPtr world(MakeTestWorld(MakeComb(kChain)));
  ASSERT_NE(world, nullptr);
  for (std::uint32_t k = 0; k < kChain; ++k) {
    world->bspRoot[2 * k].back = world->bspRoot[2 * k].front;
  }
  world->bspSharesNodes = 1;  // as the world-file loader finds it
  const float centre[3] = {20, 0, 0};
  EXPECT_EQ(FindRegionsInSphere(world.get(), centre, 1000),
            std::vector<std::int32_t>{static_cast<std::int32_t>(kChain)});
  // A sphere inside one side of each plane follows a single path, as before.
  const float point[3] = {100, 0, 0};
  EXPECT_EQ(FindRegionsInSphere(world.get(), point, 0.5f),
            std::vector<std::int32_t>{static_cast<std::int32_t>(kChain)});
}

TEST(BspTest, ATreeFromAWorldFileIsCheckedBeforeUse) {
  const TestWorldSpec good = MakeThreeSlabs();
  std::vector<R3xWorldNode> nodes(good.nodes.size());
  const auto build = [&](const std::vector<TestWorldNode>& spec) {
    for (std::size_t i = 0; i < spec.size(); ++i) {
      const auto child = [&](int k) { return k < 0 ? nullptr : nodes.data() + k; };
      nodes[i] = {spec[i].plane[0],     spec[i].plane[1],    spec[i].plane[2], spec[i].plane[3],
                  child(spec[i].front), child(spec[i].back), spec[i].leaf};
    }
  };
  build(good.nodes);
  EXPECT_EQ(_r3xCheckWorldTree(nodes.data(), 5, 3), 0);
  EXPECT_EQ(_r3xCheckWorldTree(nodes.data(), 5, 2), R3X_ERR_FAILED);  // leaf 3 of 2 regions
  EXPECT_EQ(_r3xCheckWorldTree(nodes.data(), 4, 3), R3X_ERR_FAILED);  // child beyond the array
  EXPECT_EQ(_r3xCheckWorldTree(nullptr, 0, 3), R3X_ERR_FAILED);

  const struct {
    int node;
    int back;
    std::int32_t result;
  } links[] = {
      {1, 0, R3X_ERR_FAILED},  // the root as a child
      {0, 0, R3X_ERR_FAILED},  // the root as its own child
      {3, 1, R3X_ERR_FAILED},  // a cycle below the root
      {1, 2, 0},               // leaf 2 shared by the root and node 1
  };
  for (const auto& link : links) {
    build(good.nodes);
    nodes[link.node].back = nodes.data() + link.back;
    EXPECT_EQ(_r3xCheckWorldTree(nodes.data(), 5, 3), link.result) << link.node << link.back;
  }
}

}  // namespace
