#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/core/region_link_internal.h"
#include "engine/r3x.h"
#include "tests/support/failing_memory.h"
#include "tests/support/test_world_builder.h"

namespace {

struct WorldDeleter {
  void operator()(R3xWorld* world) const { r3xDestroyWorld(world); }
};
using WorldPtr = std::unique_ptr<R3xWorld, WorldDeleter>;

// A registered actor record with only what linking reads: slot, flags, position, region,
// radius, scale and the region list.
class LinkedActor {
 public:
  LinkedActor(R3xWorld* world, float x, float radius, bool isStatic = false) : world_(world) {
    actor_ = static_cast<R3xActor*>(r3xMalloc(sizeof(R3xActor)));
    actor_->header = {R3X_TYPE_ACTOR, -1, nullptr, isStatic ? R3X_FLAG_STATIC : 0, 0};
    actor_->placement.region = -1;
    actor_->scale = 1;
    actor_->radius = radius;
    if (!isStatic) {
      actor_->regionCapacity = 8;
      actor_->regions = static_cast<std::int32_t*>(r3xMalloc(8 * sizeof(std::int32_t)));
    }
    r3xRegisterObject(world, &actor_->header);
    moveTo(x);
  }
  ~LinkedActor() {
    r3xUnlinkObjectRegions(world_, actor_);
    r3xUnregisterObject(world_, &actor_->header);
    r3xFree(actor_->regions);
    r3xFree(actor_);
  }
  LinkedActor(const LinkedActor&) = delete;
  LinkedActor& operator=(const LinkedActor&) = delete;

  // Moves as actor placement does: the new region first, then the relink.
  std::int32_t moveTo(float x) {
    const std::int32_t old = actor_->placement.region;
    actor_->placement.x = x;
    const float point[3] = {x, 0, 0};
    actor_->placement.region = r3xFindRegionIndexAt(world_, point);
    return r3xRelinkObjectRegions(world_, actor_, old);
  }
  R3xActor* get() const { return actor_; }
  std::vector<std::int32_t> listed() const {
    std::vector<std::int32_t> regions(actor_->regions, actor_->regions + actor_->regionCount);
    std::sort(regions.begin(), regions.end());
    return regions;
  }

 private:
  R3xWorld* world_;
  R3xActor* actor_;
};

const R3xObjectEntry* entryOf(R3xWorld* world, std::int32_t region, const R3xActor* actor) {
  const R3xRegionInfo* info = r3xGetRegion(world, region)->info;
  if (info == nullptr) {
    return nullptr;
  }
  for (std::uint32_t i = 0; i < info->objectCount; ++i) {
    if (info->objects[i].object == actor->header.slot) {
      return &info->objects[i];
    }
  }
  return nullptr;
}

// The regions whose object lists hold the actor.
std::vector<std::int32_t> holding(R3xWorld* world, const R3xActor* actor) {
  std::vector<std::int32_t> regions;
  for (std::int32_t i = 0; r3xGetRegion(world, i) != nullptr; ++i) {
    if (entryOf(world, i, actor) != nullptr) {
      regions.push_back(i);
    }
  }
  return regions;
}

std::vector<std::uint32_t> pathOf(const R3xObjectEntry* entry) {
  return {entry->path, entry->path + entry->pathCount};
}

TEST(RegionLinkTest, AnObjectInsideOneRegionIsLinkedThereAndListsNoOther) {
  WorldPtr world(MakeTestWorld(MakeThreeSlabs()));
  ASSERT_NE(world, nullptr);
  LinkedActor actor(world.get(), 5, 1);
  EXPECT_EQ(actor.get()->placement.region, 1);
  EXPECT_EQ(holding(world.get(), actor.get()), (std::vector<std::int32_t>{1}));
  EXPECT_TRUE(actor.listed().empty());
}

TEST(RegionLinkTest, AnObjectSpanningTwoRegionsIsLinkedIntoBothAndLeavesWhenItMovesAway) {
  WorldPtr world(MakeTestWorld(MakeThreeSlabs()));
  ASSERT_NE(world, nullptr);
  LinkedActor actor(world.get(), 9.5f, 1);
  EXPECT_EQ(holding(world.get(), actor.get()), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(actor.listed(), (std::vector<std::int32_t>{2}));
  // Region 2 lies in front of the straddled plane x = 10 at depth 1; region 1 behind it.
  EXPECT_EQ(pathOf(entryOf(world.get(), 2, actor.get())), (std::vector<std::uint32_t>{1}));
  EXPECT_TRUE(pathOf(entryOf(world.get(), 1, actor.get())).empty());

  EXPECT_EQ(actor.moveTo(5), 1);
  EXPECT_EQ(holding(world.get(), actor.get()), (std::vector<std::int32_t>{1}));
  EXPECT_TRUE(actor.listed().empty());

  EXPECT_EQ(actor.moveTo(0.5f), 1);
  EXPECT_EQ(holding(world.get(), actor.get()), (std::vector<std::int32_t>{0, 1}));
  EXPECT_EQ(actor.listed(), (std::vector<std::int32_t>{0}));

  EXPECT_EQ(actor.moveTo(-5), 1);
  EXPECT_EQ(actor.get()->placement.region, 0);
  EXPECT_EQ(holding(world.get(), actor.get()), (std::vector<std::int32_t>{0}));
  EXPECT_TRUE(actor.listed().empty());

  EXPECT_EQ(r3xUnlinkObjectRegions(world.get(), actor.get()), 0);
  EXPECT_TRUE(holding(world.get(), actor.get()).empty());
}

TEST(RegionLinkTest, AStaticObjectIsLinkedOnlyIntoItsCurrentRegion) {
  WorldPtr world(MakeTestWorld(MakeThreeSlabs()));
  ASSERT_NE(world, nullptr);
  LinkedActor actor(world.get(), 9.5f, 1, true);
  EXPECT_EQ(holding(world.get(), actor.get()), (std::vector<std::int32_t>{1}));
  EXPECT_EQ(actor.get()->regionCount, 0u);
}

TEST(RegionLinkTest, PathsListTheStraddledPlanesDeepestFirst) {
  WorldPtr world(MakeTestWorld(MakeComb(8)));
  ASSERT_NE(world, nullptr);
  // Around x = 2.5 the sphere straddles x = 2 (depth 2) and x = 3 (depth 3).
  LinkedActor actor(world.get(), 2.5f, 1);
  EXPECT_EQ(actor.get()->placement.region, 3);
  EXPECT_EQ(holding(world.get(), actor.get()), (std::vector<std::int32_t>{2, 3, 4}));
  EXPECT_EQ(pathOf(entryOf(world.get(), 4, actor.get())), (std::vector<std::uint32_t>{3, 2}));
  EXPECT_EQ(pathOf(entryOf(world.get(), 3, actor.get())), (std::vector<std::uint32_t>{2}));
  EXPECT_TRUE(pathOf(entryOf(world.get(), 2, actor.get())).empty());
}

TEST(RegionLinkTest, APathArrayGrowsToTheDepthOfTheTreeWhateverItHeldBefore) {
  WorldPtr world(MakeTestWorld(MakeComb(64)));
  ASSERT_NE(world, nullptr);
  LinkedActor actor(world.get(), 39.5f, 10);
  const R3xObjectEntry* entry = entryOf(world.get(), 40, actor.get());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->pathCapacity, 16u);
  EXPECT_EQ(entry->pathCount, 10u);  // x = 30 ... 39

  // Same place, far larger sphere: 40 planes behind region 40 are straddled.
  actor.get()->radius = 45;
  EXPECT_EQ(actor.moveTo(39.5f), 1);
  entry = entryOf(world.get(), 40, actor.get());
  ASSERT_NE(entry, nullptr);
  ASSERT_EQ(entry->pathCount, 40u);
  EXPECT_GE(entry->pathCapacity, 40u);
  for (std::uint32_t i = 0; i < 40; ++i) {
    EXPECT_EQ(entry->path[i], 39 - i);
  }
  EXPECT_EQ(actor.listed().size(), 64u);
}

TEST(RegionLinkTest, ObjectListsGrowAndEveryEntryStaysFindable) {
  WorldPtr world(MakeTestWorld(MakeThreeSlabs()));
  ASSERT_NE(world, nullptr);
  std::vector<std::unique_ptr<LinkedActor>> actors;
  for (int i = 0; i < 40; ++i) {
    actors.push_back(std::make_unique<LinkedActor>(world.get(), 9.5f, 1));
  }
  EXPECT_EQ(r3xGetRegion(world.get(), 2)->info->objectCount, 40u);
  EXPECT_GE(r3xGetRegion(world.get(), 2)->info->objectCapacity, 40u);
  actors.erase(actors.begin() + 3);
  EXPECT_EQ(r3xGetRegion(world.get(), 1)->info->objectCount, 39u);
  for (const auto& actor : actors) {
    EXPECT_EQ(holding(world.get(), actor->get()), (std::vector<std::int32_t>{1, 2}));
  }
}

TEST(RegionLinkTest, UnlinkingAnAbsentObjectChangesNothingAndAnEmptyListIsReported) {
  WorldPtr world(MakeTestWorld(MakeThreeSlabs()));
  ASSERT_NE(world, nullptr);
  LinkedActor inside(world.get(), 5, 1);
  LinkedActor elsewhere(world.get(), -5, 1);
  R3xRegion* middle = r3xGetRegion(world.get(), 1);
  EXPECT_EQ(_r3xUnlinkObjectRegion(world.get(), middle, elsewhere.get()), R3X_DONE);
  EXPECT_EQ(middle->info->objectCount, 1u);
  EXPECT_EQ(_r3xUnlinkObjectRegion(world.get(), middle, inside.get()), R3X_DONE);
  EXPECT_EQ(middle->info->objectCount, 0u);
  EXPECT_EQ(middle->info->objects[0].object, 0);
  EXPECT_EQ(middle->info->objects[0].path, nullptr);
  EXPECT_EQ(_r3xUnlinkObjectRegion(world.get(), middle, inside.get()), R3X_ERR_REGION_LIST_EMPTY);
}

TEST(RegionLinkTest, ARegionWithoutDynamicInformationLinksNothing) {
  TestWorldSpec spec = MakeThreeSlabs();
  spec.regionsWithoutInfo = {2};
  WorldPtr world(MakeTestWorld(spec));
  ASSERT_NE(world, nullptr);
  LinkedActor actor(world.get(), 9.5f, 1);
  EXPECT_EQ(holding(world.get(), actor.get()), (std::vector<std::int32_t>{1}));
  EXPECT_TRUE(actor.listed().empty());
}

TEST(RegionLinkTest, AFailedGrowthLeavesRegionsAndListsInAgreement) {
  WorldPtr world(MakeTestWorld(MakeComb(64)));
  ASSERT_NE(world, nullptr);
  for (long after = 0; after < 8; ++after) {
    LinkedActor actor(world.get(), 0, 0);
    actor.get()->placement.x = 32;
    actor.get()->radius = 40;
    const std::int32_t old = actor.get()->placement.region;
    std::int32_t result = 0;
    {
      test_support::FailingMemory failing(after);
      actor.get()->placement.region = 33;
      result = r3xRelinkObjectRegions(world.get(), actor.get(), old);
    }
    EXPECT_TRUE(result == -1 || result == R3X_ERR_FAILED) << after << " " << result;
    std::vector<std::int32_t> expected = actor.listed();
    if (entryOf(world.get(), 33, actor.get()) != nullptr) {
      expected.push_back(33);
      std::sort(expected.begin(), expected.end());
    }
    EXPECT_EQ(holding(world.get(), actor.get()), expected) << after;
  }
}

}  // namespace
