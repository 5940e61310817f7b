#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/object_internal.h"
#include "engine/r3x.h"
#include "test_records.h"
#include "tests/support/failing_memory.h"

namespace {

class ObjectTest : public ::testing::Test {
 protected:
  void TearDown() override { r3xDestroyWorld(world_); }

  R3xWorld* world_ = r3xCreateWorld(nullptr, 0, nullptr);
  TestTypes types_{
      {{R3X_TYPE_ACTOR_DEF, R3X_TYPE_ACTOR}, {R3X_TYPE_SIMPLE_SPRITE_DEF, R3X_TYPE_SIMPLE_SPRITE}},
      {R3X_TYPE_PALETTE, R3X_TYPE_BITMAP, R3X_TYPE_SPHERE_LIST_DEF, R3X_TYPE_REGION}};
};

TEST_F(ObjectTest, SlotsAreTakenInOrderAndAFreedSlotIsReusedFirst) {
  std::vector<TestRecord*> records;
  for (int i = 0; i < 5; ++i) {
    records.push_back(makeRecord(world_, R3X_TYPE_PALETTE, nullptr));
    EXPECT_EQ(records.back()->header.slot, i);
  }
  EXPECT_EQ(world_->palettes.count, 5u);
  ASSERT_EQ(r3xUnregisterObject(world_, &records[3]->header), 0);
  EXPECT_EQ(records[3]->header.slot, -1);
  EXPECT_EQ(world_->palettes.slots[3].object, nullptr);
  EXPECT_EQ(world_->palettes.count, 4u);
  ASSERT_EQ(r3xRegisterObject(world_, &records[3]->header), 0);
  EXPECT_EQ(records[3]->header.slot, 3);
  EXPECT_EQ(makeRecord(world_, R3X_TYPE_PALETTE, nullptr)->header.slot, 5);
}

TEST_F(ObjectTest, UnregisteringAnObjectThatIsNotInItsSlotFails) {
  TestRecord* record = makeRecord(world_, R3X_TYPE_PALETTE, nullptr);
  ASSERT_EQ(r3xUnregisterObject(world_, &record->header), 0);
  EXPECT_EQ(r3xUnregisterObject(world_, &record->header), R3X_ERR_FAILED);
  EXPECT_EQ(world_->palettes.count, 0u);
  R3xObjectHeader camera{R3X_TYPE_CAMERA, 0, nullptr, 0, 0};
  EXPECT_EQ(r3xRegisterObject(world_, &camera), R3X_ERR_FAILED);
  r3xFree(record);
}

struct GrowthCase {
  std::int32_t type;
  std::uint32_t initial;
  std::uint32_t grown;
};

class GrowthTest : public ObjectTest, public ::testing::WithParamInterface<GrowthCase> {};

TEST_P(GrowthTest, AFullTableGrowsByAQuarter) {
  const GrowthCase c = GetParam();
  R3xSlotTable* table = _r3xSlotTableOf(world_, c.type);
  ASSERT_EQ(table->capacity, c.initial);
  for (std::uint32_t i = 0; i < c.initial; ++i) {
    ASSERT_NE(makeRecord(world_, c.type, nullptr), nullptr);
  }
  EXPECT_EQ(table->capacity, c.initial);
  TestRecord* next = makeRecord(world_, c.type, nullptr);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->header.slot, static_cast<std::int32_t>(c.initial));
  EXPECT_EQ(table->capacity, c.grown);
  EXPECT_EQ(table->freeHead, c.initial + 1);
  EXPECT_EQ(table->slots[c.grown - 1].nextFree, c.grown);
}

INSTANTIATE_TEST_SUITE_P(Types, GrowthTest,
                         ::testing::Values(GrowthCase{R3X_TYPE_SPHERE_LIST_DEF, 20, 25},
                                           GrowthCase{R3X_TYPE_ACTOR, 100, 125}));

TEST_F(ObjectTest, AFailedGrowthFailsTheRegistrationAndLeavesTheTableAsItWas) {
  for (int i = 0; i < 20; ++i) {
    makeRecord(world_, R3X_TYPE_PALETTE, nullptr);
  }
  const R3xSlotTable before = world_->palettes;
  R3xObjectHeader extra{R3X_TYPE_PALETTE, -1, nullptr, 0, 0};
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(r3xRegisterObject(world_, &extra), R3X_ERR_FAILED);
  }
  EXPECT_EQ(extra.slot, -1);
  EXPECT_EQ(world_->palettes.count, before.count);
  EXPECT_EQ(world_->palettes.capacity, before.capacity);
  EXPECT_EQ(world_->palettes.freeHead, before.freeHead);
  EXPECT_EQ(world_->palettes.slots, before.slots);
}

TEST_F(ObjectTest, TheBitmapSlotArrayNeverMovesWhileBitmapsAreAlive) {
  R3xSlot* first = nullptr;
  for (int i = 0; i < 800; ++i) {
    TestRecord* bitmap = makeRecord(world_, R3X_TYPE_BITMAP, nullptr);
    ASSERT_NE(bitmap, nullptr);
    first = first == nullptr ? &world_->bitmaps.slots[bitmap->header.slot] : first;
  }
  R3xObjectHeader extra{R3X_TYPE_BITMAP, -1, nullptr, 0, 0};
  EXPECT_EQ(r3xRegisterObject(world_, &extra), R3X_ERR_FAILED);
  EXPECT_EQ(world_->bitmaps.capacity, 800u);
  EXPECT_EQ(&world_->bitmaps.slots[0], first);
  // A freed slot is there for the next bitmap, in the same array.
  ASSERT_EQ(destroyRecord(world_, reinterpret_cast<TestRecord*>(world_->bitmaps.slots[17].object)),
            0);
  ASSERT_EQ(r3xRegisterObject(world_, &extra), 0);
  EXPECT_EQ(extra.slot, 17);
  ASSERT_EQ(r3xUnregisterObject(world_, &extra), 0);
}

TEST_F(ObjectTest, ReferenceCountsCountOnlyTheCountedTypesAndNeverGoBelowZero) {
  const struct {
    std::int32_t type;
    bool counted;
  } cases[] = {{R3X_TYPE_POLYHEDRON_DEF, true}, {R3X_TYPE_SIMPLE_SPRITE, true},
               {R3X_TYPE_BITMAP, true},         {R3X_TYPE_LIGHT, true},
               {R3X_TYPE_ACTOR, false},         {R3X_TYPE_PALETTE, false},
               {R3X_TYPE_POINT_LIGHT, false},   {R3X_TYPE_CAMERA, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    R3xObjectHeader object{c.type, -1, nullptr, 0, 7};
    const std::int32_t expected = c.counted ? 0 : R3X_ERR_FAILED;
    EXPECT_EQ(r3xAddRef(&object), expected);
    EXPECT_EQ(object.refCount, c.counted ? 8 : 7);
    EXPECT_EQ(r3xRelease(&object), expected);
    EXPECT_EQ(object.refCount, 7);
  }
  R3xObjectHeader bitmap{R3X_TYPE_BITMAP, -1, nullptr, 0, 1};
  EXPECT_EQ(r3xRelease(&bitmap), 0);
  EXPECT_EQ(r3xRelease(&bitmap), R3X_ERR_FAILED);
  EXPECT_EQ(bitmap.refCount, 0);
}

TEST_F(ObjectTest, ADefinitionWithLiveInstancesIsNotDestroyedUntilTheyGo) {
  TestRecord* definition =
      makeDefinition(world_, R3X_TYPE_ACTOR_DEF, R3X_TYPE_ACTOR, "TANK_ACTORDEF");
  TestRecord* actor = makeInstance(world_, definition);
  EXPECT_EQ(definition->header.refCount, 2);
  EXPECT_EQ(actor->header.tag, nullptr);
  EXPECT_EQ(destroyRecord(world_, definition), R3X_ERR_DEF_IN_USE);
  EXPECT_EQ(r3xFindTag(world_, "TANK_ACTORDEF"), &definition->header);
  EXPECT_EQ(destroyRecord(world_, actor), 0);
  EXPECT_EQ(definition->header.refCount, 1);
  EXPECT_EQ(destroyRecord(world_, definition), 0);
  EXPECT_EQ(world_->actors.count, 0u);
  EXPECT_EQ(world_->actorDefs.count, 0u);
  EXPECT_EQ(r3xFindTag(world_, "TANK_ACTORDEF"), nullptr);
}

TEST_F(ObjectTest, DestroyAllOfAnInstanceTypePassesOverDefaultInstances) {
  TestRecord* definition =
      makeDefinition(world_, R3X_TYPE_SIMPLE_SPRITE_DEF, R3X_TYPE_SIMPLE_SPRITE, "FLARE");
  const TestRecord* a = makeInstance(world_, definition);
  const TestRecord* b = makeInstance(world_, definition);
  EXPECT_EQ(r3xDestroyAllOfType(world_, R3X_TYPE_SIMPLE_SPRITE), 0);
  EXPECT_EQ(gDestroyedRecords, (std::vector<const TestRecord*>{a, b}));
  EXPECT_EQ(world_->simpleSprites.count, 1u);
  EXPECT_NE(world_->simpleSprites.slots, nullptr)
      << "the default instance still lives in the array";
  EXPECT_EQ(definition->header.refCount, 1);

  EXPECT_EQ(r3xDestroyAllOfType(world_, R3X_TYPE_SIMPLE_SPRITE_DEF), 0);
  EXPECT_EQ(world_->simpleSprites.count, 0u);
  EXPECT_EQ(world_->simpleSpriteDefs.slots, nullptr);
  EXPECT_EQ(world_->simpleSpriteDefs.capacity, 0u);
  EXPECT_EQ(r3xDestroyAllOfType(world_, R3X_TYPE_SIMPLE_SPRITE), 0);
  EXPECT_EQ(world_->simpleSprites.slots, nullptr);
  // A table whose array is gone takes no more objects.
  R3xObjectHeader late{R3X_TYPE_SIMPLE_SPRITE, -1, nullptr, 0, 0};
  EXPECT_EQ(r3xRegisterObject(world_, &late), R3X_ERR_FAILED);
}
}  // namespace
