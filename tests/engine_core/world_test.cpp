#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/core/object_internal.h"
#include "engine/r3x.h"
#include "engine/world/parser_message_box.h"
#include "platform/kernel/message_box.h"
#include "test_records.h"
#include "tests/support/failing_memory.h"

namespace {

class WorldTest : public ::testing::Test {
 protected:
  TestTypes types_{{{R3X_TYPE_ACTOR_DEF, R3X_TYPE_ACTOR},
                    {R3X_TYPE_3D_SPRITE_DEF, R3X_TYPE_3D_SPRITE},
                    {R3X_TYPE_LIGHT_DEF, R3X_TYPE_LIGHT}},
                   {R3X_TYPE_BITMAP, R3X_TYPE_PALETTE, R3X_TYPE_SHADE_TABLE, R3X_TYPE_REGION}};
};

std::ptrdiff_t positionOf(const TestRecord* record) {
  const auto it = std::find(gDestroyedRecords.begin(), gDestroyedRecords.end(), record);
  return it == gDestroyedRecords.end() ? -1 : it - gDestroyedRecords.begin();
}

TEST_F(WorldTest, ANewWorldHasEveryTableAtItsInitialCapacity) {
  int creator = 0;
  R3xWorld* world = r3xCreateWorld(&creator, 0, nullptr);
  ASSERT_NE(world, nullptr);
  EXPECT_EQ(world->type, R3X_TYPE_WORLD);
  EXPECT_EQ(world->creator, &creator);
  EXPECT_EQ(world->bspStackCapacity, 8u);
  EXPECT_NE(world->vertices, nullptr);
  EXPECT_EQ(world->vertexCount, 0u);
  EXPECT_NE(world->dictionary, nullptr);
  const struct {
    std::int32_t type;
    std::uint32_t capacity;
  } tables[] = {{R3X_TYPE_POLYHEDRON_DEF, 20},    {R3X_TYPE_POLYHEDRON, 100},
                {R3X_TYPE_SPHERE_LIST_DEF, 20},   {R3X_TYPE_SPHERE_LIST, 100},
                {R3X_TYPE_SIMPLE_SPRITE_DEF, 20}, {R3X_TYPE_SIMPLE_SPRITE, 100},
                {R3X_TYPE_2D_SPRITE_DEF, 20},     {R3X_TYPE_2D_SPRITE, 100},
                {R3X_TYPE_3D_SPRITE_DEF, 20},     {R3X_TYPE_3D_SPRITE, 100},
                {R3X_TYPE_ACTOR_DEF, 100},        {R3X_TYPE_ACTOR, 100},
                {R3X_TYPE_REGION, 100},           {R3X_TYPE_BITMAP, 800},
                {R3X_TYPE_LIGHT_DEF, 20},         {R3X_TYPE_LIGHT, 100},
                {R3X_TYPE_POINT_LIGHT, 100},      {R3X_TYPE_DIRECTIONAL_LIGHT, 100},
                {R3X_TYPE_PALETTE, 20},           {R3X_TYPE_SHADE_TABLE, 20}};
  for (const auto& t : tables) {
    const R3xSlotTable* table = _r3xSlotTableOf(world, t.type);
    ASSERT_NE(table, nullptr) << t.type;
    EXPECT_EQ(table->capacity, t.capacity) << t.type;
    EXPECT_EQ(table->count, 0u);
    EXPECT_EQ(table->slots[t.capacity - 1].nextFree, t.capacity);
  }
  EXPECT_EQ(_r3xSlotTableOf(world, R3X_TYPE_CAMERA), nullptr);
  EXPECT_EQ(_r3xInitSlotTable(world, R3X_TYPE_PALETTE, 20), R3X_SLOT_TABLE_EXISTS);
  EXPECT_EQ(r3xDestroyWorld(world), 0);
}

TEST_F(WorldTest, CreationFailsCleanlyAtEveryAllocation) {
  // Under the address sanitizer a failure that leaves a block behind shows as a leak.
  long step = 0;
  for (;; ++step) {
    test_support::FailingMemory failing(step);
    R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
    if (world != nullptr) {
      r3xDestroyWorld(world);
      break;
    }
  }
  // The record, the walk stack, 20 tables, the dictionary's four blocks, the vertices.
  EXPECT_EQ(step, 27);
}

TEST_F(WorldTest, AWorldIsNotMadeForARenderDevice) {
  auto* device = reinterpret_cast<R3xRenderDevice*>(&types_);
  EXPECT_EQ(r3xCreateWorld(nullptr, 0, device), nullptr);
}

TEST_F(WorldTest, DestroyingTheWorldDestroysEveryObjectOnceInstancesFirst) {
  R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
  TestRecord* actorDef = makeDefinition(world, R3X_TYPE_ACTOR_DEF, R3X_TYPE_ACTOR, "TANK_ACTORDEF");
  std::vector<TestRecord*> actors;
  for (int i = 0; i < 150; ++i) {
    actors.push_back(makeInstance(world, actorDef));
  }
  TestRecord* spriteDef =
      makeDefinition(world, R3X_TYPE_3D_SPRITE_DEF, R3X_TYPE_3D_SPRITE, "TURRET");
  TestRecord* sprite = makeInstance(world, spriteDef);
  TestRecord* lightDef = makeDefinition(world, R3X_TYPE_LIGHT_DEF, R3X_TYPE_LIGHT, "LIGHTDEF");
  TestRecord* light = makeInstance(world, lightDef);
  TestRecord* bitmap = makeRecord(world, R3X_TYPE_BITMAP, "SKY");
  TestRecord* palette = makeRecord(world, R3X_TYPE_PALETTE, "PALETTE");
  TestRecord* shades = makeRecord(world, R3X_TYPE_SHADE_TABLE, nullptr);
  TestRecord* regions = makeRegions(world, 3);

  EXPECT_EQ(world->actors.count, 151u);
  EXPECT_EQ(world->actors.capacity, 156u);
  EXPECT_EQ(actorDef->header.refCount, 151);
  for (const char* tag : {"TANK_ACTORDEF", "TURRET", "LIGHTDEF", "SKY", "PALETTE"}) {
    const R3xObjectHeader* found = r3xFindTag(world, tag);
    ASSERT_NE(found, nullptr) << tag;
    EXPECT_STREQ(found->tag, tag);
  }
  EXPECT_EQ(r3xFindTag(world, "SKY")->type, R3X_TYPE_BITMAP);

  const TestRecord* defaultActor = actorDef->defaultInstance;
  const TestRecord* defaultSprite = spriteDef->defaultInstance;
  const TestRecord* defaultLight = lightDef->defaultInstance;
  ASSERT_EQ(r3xDestroyWorld(world), 0);

  std::vector<const TestRecord*> sorted = gDestroyedRecords;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end())
      << "an object destroyed twice";
  // 150 actors and 4 more instances, 3 definitions with their default instances, 3 plain
  // objects and 3 regions.
  EXPECT_EQ(gDestroyedRecords.size(), 150u + 2 + 6 + 3 + 3);
  for (const TestRecord* actor : actors) {
    EXPECT_LT(positionOf(actor), positionOf(defaultActor));
  }
  EXPECT_LT(positionOf(defaultActor), positionOf(actorDef))
      << "the definition destroys its default first";
  EXPECT_LT(positionOf(actorDef), positionOf(sprite));
  EXPECT_LT(positionOf(sprite), positionOf(defaultSprite));
  EXPECT_LT(positionOf(defaultSprite), positionOf(spriteDef));
  EXPECT_LT(positionOf(&regions[2]), positionOf(light));
  EXPECT_LT(positionOf(light), positionOf(bitmap));
  EXPECT_LT(positionOf(bitmap), positionOf(defaultLight));
  EXPECT_LT(positionOf(defaultLight), positionOf(lightDef));
  EXPECT_LT(positionOf(lightDef), positionOf(shades));
  EXPECT_LT(positionOf(shades), positionOf(palette));
}

TEST_F(WorldTest, ObjectsOfATypeWithoutDestroyOperationAreLeftAlone) {
  // Take the type's destroy operation away for this test, whatever the engine provides.
  const R3xTypeDestroy saved = _r3xDestroyTable[R3X_TYPE_DIRECTIONAL_LIGHT];
  _r3xDestroyTable[R3X_TYPE_DIRECTIONAL_LIGHT] = {};
  R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
  R3xObjectHeader light{R3X_TYPE_DIRECTIONAL_LIGHT, -1, nullptr, 0, 0};
  ASSERT_EQ(r3xRegisterObject(world, &light), 0);
  EXPECT_EQ(r3xDestroyAllOfType(world, R3X_TYPE_DIRECTIONAL_LIGHT), R3X_ERR_FAILED);
  EXPECT_EQ(world->directionalLights.count, 1u);
  EXPECT_EQ(world->directionalLights.slots[0].object, &light);
  // An empty table of such a type goes as usual.
  EXPECT_EQ(r3xDestroyAllOfType(world, R3X_TYPE_SPHERE_LIST), 0);
  EXPECT_EQ(world->sphereLists.slots, nullptr);
  EXPECT_EQ(r3xDestroyAllOfType(world, R3X_TYPE_CAMERA), R3X_ERR_FAILED);
  r3xUnregisterObject(world, &light);
  _r3xDestroyTable[R3X_TYPE_DIRECTIONAL_LIGHT] = saved;
  EXPECT_EQ(r3xDestroyWorld(world), 0);
}

TEST_F(WorldTest, WorldValuesAreStoredAndOwnedBlocksReplaced) {
  R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
  EXPECT_EQ(r3xSetWorldTime(world, 123456), 0);
  EXPECT_EQ(world->time, 123456u);
  EXPECT_EQ(r3xSetWorldFlag(world, 1), 0);
  EXPECT_EQ(world->bitmapColourTableFlag, 1);
  EXPECT_EQ(r3xSetWorldString(world, r3xMalloc(16)), 0);
  EXPECT_EQ(r3xSetWorldString(world, r3xMalloc(16)), 0);

  ASSERT_EQ(r3xSetDefaultPalette(world, "palette.bmp"), 0);
  EXPECT_STREQ(world->defaultPalette, "palette.bmp");
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(r3xSetDefaultPalette(world, "pal_Infr.bmp"), R3X_ERR_FAILED);
  }
  EXPECT_STREQ(world->defaultPalette, "palette.bmp");
  ASSERT_EQ(r3xSetDefaultPalette(world, nullptr), 0);
  EXPECT_EQ(world->defaultPalette, nullptr);
  r3xDestroyWorld(world);
}

TEST_F(WorldTest, AWorldFileThatCannotBeReadFailsTheLoad) {
  R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
  EXPECT_EQ(r3xReadWorld("no_such_world.wld", world, nullptr), R3X_ERR_FAILED);
  EXPECT_EQ(r3xLoadWorldFile("no_such_world.wld", world, nullptr, nullptr, nullptr, nullptr),
            R3X_ERR_FAILED);
  EXPECT_EQ(world->regions.count, 0u);
  EXPECT_EQ(world->bspRoot, nullptr);
  r3xDestroyWorld(world);
}

TEST(StartupTest, StartUpBuildsTheMathTablesAndShutdownFreesThem) {
  ASSERT_EQ(r3xInit(), R3X_DONE);
  ASSERT_NE(gR3xMathTables, nullptr);
  EXPECT_FLOAT_EQ(gR3xMathTables->cosine[0], 1.0f);
  EXPECT_EQ(r3xShutdown(), 0);
  EXPECT_EQ(gR3xMathTables, nullptr);
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(r3xInit(), R3X_ERR_MATH_NO_MEMORY);
  }
  EXPECT_EQ(gR3xMathTables, nullptr);
}

TEST(ParserMessageBoxTest, ParserMessagesShowAsErrorBoxes) {
  platform::ClearShownMessageBoxes();
  EXPECT_EQ(parMessageBox(0, "cannot open world file: arena.wld"), PAR_MESSAGE_SHOWN);
  const std::vector<platform::ShownMessageBox> shown = platform::ShownMessageBoxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "World File Parser");
  EXPECT_EQ(shown[0].text, "cannot open world file: arena.wld");
  EXPECT_EQ(shown[0].type, 0x12010u);
}

}  // namespace
