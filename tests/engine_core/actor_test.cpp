#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/core/region_internal.h"
#include "engine/r3x.h"
#include "math_tables_fixture.h"
#include "tests/support/failing_memory.h"
#include "tests/support/test_world_builder.h"

namespace {

constexpr float kIntensity = 0.5f;

struct Level {
  float switchBack;
  float upper;
  std::int32_t part;
};

// Actors in three slabs along x: region 0 for x < 0, 1 for 0 <= x < 10, 2 for x >= 10.
class ActorTest : public MathTablesTest {
 protected:
  void SetUp() override {
    MathTablesTest::SetUp();
    world_ = MakeTestWorld(MakeThreeSlabs());
    ASSERT_NE(world_, nullptr);
  }
  void TearDown() override {
    r3xDestroyWorld(world_);
    MathTablesTest::TearDown();
  }

  // Actions in engine memory, as a world loader hands them over.
  static R3xAction* makeActions(const std::vector<std::vector<Level>>& actions) {
    auto* result = static_cast<R3xAction*>(r3xMalloc(actions.size() * sizeof(R3xAction)));
    for (std::size_t i = 0; i < actions.size(); ++i) {
      result[i].levelCount = static_cast<std::uint32_t>(actions[i].size());
      result[i].levels =
          static_cast<R3xLodLevel*>(r3xMalloc(actions[i].size() * sizeof(R3xLodLevel)));
      for (std::size_t j = 0; j < actions[i].size(); ++j) {
        const Level& level = actions[i][j];
        result[i].levels[j] = {level.switchBack, level.upper, level.part};
      }
    }
    return result;
  }

  // A 2D sprite without frames: a part with an offset and a radius.
  R3x2DSprite* makePart(float offsetX = 0.0f, float radius = 1.0f) {
    const float offset[3] = {offsetX, 0.0f, 0.0f};
    R3x2DSpriteDef* definition =
        r3xCreate2DSpriteDef(world_, nullptr, 0, 0, nullptr, 1.0f, 1.0f, 1.0f, nullptr, 0, 0, 0,
                             offset, nullptr, radius);
    return r3xCreate2DSprite(world_, definition, nullptr);
  }

  // One action of two levels {upper 100}, {switch-back 64, upper 1e30} over two parts, with a
  // sphere volume of radius 1, scale 1 and radius 1.
  R3xActorDef* makeTwoLevelDef(const char* tag, std::int32_t staticFlag = 0) {
    parts_ = {&makePart()->header, &makePart()->header};
    const R3xPlacement origin{5.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1};
    return r3xCreateActorDef(
        world_, tag, 1, makeActions({{{0.0f, 100.0f, 0}, {64.0f, R3X_LOD_LAST_UPPER, 1}}}),
        r3xMalloc(16), &origin, reinterpret_cast<R3xVolume*>(r3xCreateSphereVolume(1.0f)), nullptr,
        1.0f, 1.0f, 0, parts_.data(), staticFlag);
  }

  R3xActor* makeActor(R3xActorDef* definition, float x, float radius = 1.0f,
                      const char* tag = nullptr) {
    const R3xPlacement placement{x, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -1};
    return r3xCreateActor(world_, definition, tag, &placement, nullptr, nullptr, 1.0f, radius, 0);
  }

  // The regions whose object lists hold the actor.
  std::vector<std::int32_t> regionsHolding(const R3xActor* actor) const {
    std::vector<std::int32_t> found;
    for (std::int32_t k = 0; k < 3; ++k) {
      const R3xRegionInfo* info = _r3xRegionInfo(r3xGetRegion(world_, k));
      for (std::uint32_t i = 0; i < info->objectCount; ++i) {
        if (info->objects[i].object == actor->header.slot) {
          found.push_back(k);
        }
      }
    }
    return found;
  }

  R3xWorld* world_ = nullptr;
  std::vector<R3xObjectHeader*> parts_;
};

TEST_F(ActorTest, ADefinitionCountsItsActorsAndIsDestroyedOnlyWhenUnused) {
  R3xActorDef* definition = makeTwoLevelDef("TANK_ACTORDEF");
  ASSERT_NE(definition, nullptr);
  EXPECT_EQ(definition->header.refCount, 1);
  EXPECT_EQ(definition->partCount, 2u);
  EXPECT_EQ(parts_[0]->refCount, 1);
  EXPECT_EQ(r3xFindTag(world_, "TANK_ACTORDEF"), &definition->header);
  EXPECT_EQ(r3xCreateActorDef(world_, "TANK_ACTORDEF", 0, nullptr, nullptr, nullptr, nullptr,
                              nullptr, 0.0f, 0.0f, 0, nullptr, 0),
            definition);

  R3xActor* actor =
      r3xCreateActor(world_, definition, "TANK", nullptr, nullptr, nullptr, 0.0f, 0.0f, 0xA0001);
  ASSERT_NE(actor, nullptr);
  EXPECT_EQ(definition->header.refCount, 2);
  EXPECT_EQ(parts_[0]->refCount, 2);
  EXPECT_EQ(r3xGetActorUserData(actor), 0xA0001u);
  EXPECT_EQ(r3xFindTag(world_, "TANK"), &actor->header);
  EXPECT_EQ(actor->placement.region, 1);
  EXPECT_EQ(actor->header.flags, R3X_FLAG_TRANSFORM_DIRTY | R3X_FLAG_IN_DICTIONARY);
  EXPECT_EQ(r3xGetActorVolume(actor)->type, R3X_TYPE_SPHERE_VOLUME);
  EXPECT_NE(r3xGetActorVolume(actor), definition->defaultInstance->volume);

  EXPECT_EQ(r3xDestroyActorDef(world_, definition), R3X_ERR_FAILED);
  EXPECT_EQ(r3xDestroyActor(world_, definition->defaultInstance), R3X_ERR_FAILED);
  EXPECT_EQ(r3xDestroyActor(world_, actor), 0);
  EXPECT_EQ(definition->header.refCount, 1);
  EXPECT_EQ(parts_[0]->refCount, 1);
  EXPECT_EQ(r3xFindTag(world_, "TANK"), nullptr);
  // The parts go with the last actor that used them: only their definitions' defaults stay.
  EXPECT_EQ(r3xDestroyActorDef(world_, definition), 0);
  EXPECT_EQ(world_->sprites2D.count, 2u);
  EXPECT_EQ(world_->actors.count, 0u);
  EXPECT_EQ(world_->actorDefs.count, 0u);
  EXPECT_EQ(r3xFindTag(world_, "TANK_ACTORDEF"), nullptr);
}

TEST_F(ActorTest, MalformedDefinitionsAreRefusedAndLeaveEverythingToTheCaller) {
  R3xObjectHeader* part = &makePart()->header;
  R3xObjectHeader* notAPart =
      &r3xCreateSphereListDef(world_, "SL", 1.0f, 0, nullptr, nullptr, 1.0f)->header;
  struct Case {
    std::vector<std::vector<Level>> actions;
    std::uint32_t current;
    R3xObjectHeader* secondPart;
  } cases[] = {
      {{{}}, 0, part},                                                // an action without levels
      {{{{0.0f, R3X_LOD_LAST_UPPER, 2}}}, 0, part},                   // a part index past the table
      {{{{0.0f, R3X_LOD_LAST_UPPER, 0}}, {{0, 1e30f, 1}}}, 2, part},  // no such action
      {{{{0.0f, 10.0f, 0}, {0.0f, R3X_LOD_LAST_UPPER, 1}}}, 0, notAPart},
  };
  for (const Case& c : cases) {
    R3xAction* actions = makeActions(c.actions);
    R3xObjectHeader* parts[2] = {part, c.secondPart};
    EXPECT_EQ(
        r3xCreateActorDef(world_, "BAD", static_cast<std::uint32_t>(c.actions.size()), actions,
                          nullptr, nullptr, nullptr, nullptr, 1.0f, 1.0f, c.current, parts, 0),
        nullptr);
    for (std::size_t i = 0; i < c.actions.size(); ++i) {
      r3xFree(actions[i].levels);
    }
    r3xFree(actions);
    EXPECT_EQ(part->refCount, 0);
    EXPECT_EQ(world_->actorDefs.count, 0u);
    EXPECT_EQ(world_->actors.count, 0u);
    EXPECT_EQ(r3xFindTag(world_, "BAD"), nullptr);
  }
  // A tag that names another kind of object.
  R3xAction* actions = makeActions({{{0.0f, R3X_LOD_LAST_UPPER, 0}}});
  EXPECT_EQ(r3xCreateActorDef(world_, "SL", 1, actions, nullptr, nullptr, nullptr, nullptr, 1.0f,
                              1.0f, 0, &part, 0),
            nullptr);
  r3xFree(actions[0].levels);
  r3xFree(actions);
}

TEST_F(ActorTest, AnActorOutsideEveryRegionIsNotMade) {
  TestWorldSpec spec;
  spec.regionCount = 1;
  spec.nodes = {MakeTestSplitX(0.0f, 1, -1), MakeTestLeaf(0)};
  R3xWorld* holed = MakeTestWorld(spec);
  ASSERT_NE(holed, nullptr);
  std::swap(world_, holed);
  R3xActorDef* definition = makeTwoLevelDef("DEF");
  ASSERT_NE(definition, nullptr);
  EXPECT_EQ(makeActor(definition, -1.0f), nullptr);
  EXPECT_EQ(definition->header.refCount, 1);
  EXPECT_EQ(parts_[0]->refCount, 1);
  R3xActor* actor = makeActor(definition, 1.0f);
  ASSERT_NE(actor, nullptr);
  R3xPlacement outside = actor->placement;
  outside.x = -1.0f;
  EXPECT_EQ(r3xSetActorPlacement(world_, actor, &outside), R3X_ERR_FAILED);
  EXPECT_EQ(actor->placement.x, 1.0f);
  std::swap(world_, holed);
  r3xDestroyWorld(holed);
}

TEST_F(ActorTest, LevelsOfDetailFollowTheViewerWithHysteresis) {
  R3xActorDef* definition = makeTwoLevelDef("DEF");
  ASSERT_NE(definition, nullptr);
  R3xActor* actor = makeActor(definition, 5.0f);
  ASSERT_NE(actor, nullptr);
  // The viewer on the x axis at a squared distance d2 from the actor.
  struct Step {
    float d2;
    std::int32_t part;
  } steps[] = {{80.0f, 0}, {200.0f, 1}, {80.0f, 1},  {64.0f, 1},
               {50.0f, 0}, {80.0f, 0},  {100.0f, 0}, {1e31f, 1}};
  for (const Step& step : steps) {
    const float viewer[3] = {5.0f + std::sqrt(step.d2), 0.0f, 0.0f};
    EXPECT_EQ(r3xChooseActorLod(world_, actor, viewer), step.part) << step.d2;
  }
  // Replacing a part forgets what was shown.
  EXPECT_EQ(r3xReplaceActorPart(actor, 0, 1, nullptr), 0);
  EXPECT_EQ(actor->lodShown, -1);
  EXPECT_EQ(r3xGetActorPart(actor, 0, 1), r3xNullPart());
}

TEST_F(ActorTest, AnActionOfOneLevelAlwaysShowsIt) {
  R3xObjectHeader* parts[3] = {&makePart()->header, &makePart()->header, &makePart()->header};
  R3xActorDef* definition =
      r3xCreateActorDef(world_, "DEF", 2,
                        makeActions({{{0.0f, 100.0f, 0}, {0.0f, R3X_LOD_LAST_UPPER, 1}},
                                     {{0.0f, R3X_LOD_LAST_UPPER, 2}}}),
                        nullptr, nullptr, nullptr, nullptr, 1.0f, 1.0f, 1, parts, 0);
  ASSERT_NE(definition, nullptr);
  R3xActor* actor = makeActor(definition, 5.0f);
  ASSERT_NE(actor, nullptr);
  const float near[3] = {5.0f, 1.0f, 0.0f};
  EXPECT_EQ(r3xChooseActorLod(world_, actor, near), 2);
  EXPECT_EQ(r3xSetActorCurrentAction(actor, 2), R3X_ERR_FAILED);
  EXPECT_EQ(r3xSetActorCurrentAction(actor, 0), 0);
  EXPECT_EQ(r3xChooseActorLod(world_, actor, near), 0);
  EXPECT_EQ(r3xGetActorPart(actor, 1, 0), parts[2]);
  EXPECT_EQ(r3xGetActorPart(actor, 1, 1), nullptr);
  EXPECT_EQ(r3xGetActorPart(actor, 2, 0), nullptr);
}

TEST_F(ActorTest, AZeroScaleTakesTheSizeOfTheSecondVolume) {
  R3xActorDef* definition = makeTwoLevelDef("DEF");
  ASSERT_NE(definition, nullptr);
  struct Case {
    R3xVolume* second;
    float scale;
    float radius;
    float expectedScale;
    float expectedRadius;
  } cases[] = {
      {reinterpret_cast<R3xVolume*>(r3xCreateSphereVolume(2.0f)), 0.0f, 0.0f, 2.0f, 2.0f},
      {reinterpret_cast<R3xVolume*>(r3xCreateTwoValueVolume(3.0f, 5.0f)), -0.0f, 7.0f, 5.0f, 5.0f},
      {reinterpret_cast<R3xVolume*>(r3xCreateSphereVolume(2.0f)), 3.0f, 0.0f, 3.0f, 1.0f},
      {nullptr, 0.0f, 4.0f, 1.0f, 4.0f},
  };
  for (const Case& c : cases) {
    const R3xPlacement placement{5.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -1};
    R3xActor* actor = r3xCreateActor(world_, definition, nullptr, &placement, nullptr, c.second,
                                     c.scale, c.radius, 0);
    ASSERT_NE(actor, nullptr);
    EXPECT_EQ(actor->scale, c.expectedScale);
    EXPECT_EQ(r3xGetActorRadius(actor), c.expectedRadius);
    // The actor keeps a copy.
    EXPECT_EQ(actor->secondVolume == nullptr, c.second == nullptr);
    if (c.second != nullptr) {
      EXPECT_NE(actor->secondVolume, c.second);
    }
    r3xDestroyVolume(world_, c.second);
  }
}

TEST_F(ActorTest, MovingAcrossAPlaneRelinksAndTurningOnlyMarksTheTransform) {
  R3xActorDef* definition = makeTwoLevelDef("DEF");
  ASSERT_NE(definition, nullptr);
  R3xActor* actor = makeActor(definition, 9.5f);
  ASSERT_NE(actor, nullptr);
  EXPECT_EQ(regionsHolding(actor), (std::vector<std::int32_t>{1, 2}));
  ASSERT_EQ(actor->regionCount, 1u);
  EXPECT_EQ(actor->regions[0], 2);

  r3xBuildObjectRotation(actor, actor->scale, &actor->placement);
  R3xPlacement turned = actor->placement;
  turned.heading = 64.0f;
  EXPECT_EQ(r3xSetActorPlacement(world_, actor, &turned), 0);
  EXPECT_NE(actor->header.flags & R3X_FLAG_TRANSFORM_DIRTY, 0u);
  EXPECT_EQ(actor->placement.heading, 64.0f);
  EXPECT_EQ(regionsHolding(actor), (std::vector<std::int32_t>{1, 2}));

  r3xBuildObjectRotation(actor, actor->scale, &actor->placement);
  R3xPlacement moved = actor->placement;
  moved.x = -5.0f;
  moved.region = 7;
  EXPECT_EQ(r3xSetActorPlacement(world_, actor, &moved), 0);
  EXPECT_EQ(actor->header.flags & R3X_FLAG_TRANSFORM_DIRTY, 0u);
  EXPECT_EQ(actor->placement.region, 0);
  EXPECT_EQ(actor->regionCount, 0u);
  EXPECT_EQ(regionsHolding(actor), (std::vector<std::int32_t>{0}));

  R3xPlacement out{};
  EXPECT_EQ(r3xGetActorPlacement(actor, &out), 0);
  EXPECT_EQ(out.x, -5.0f);
  EXPECT_EQ(r3xDestroyActor(world_, actor), 0);
  EXPECT_TRUE(regionsHolding(actor).empty());
}

TEST_F(ActorTest, AStaticDefinitionsActorsStayInTheirRegionAndMarkTheir3DSprites) {
  R3xActorDef* definition = makeTwoLevelDef("DEF", 1);
  ASSERT_NE(definition, nullptr);
  R3xActor* actor = makeActor(definition, 9.5f);
  ASSERT_NE(actor, nullptr);
  EXPECT_EQ(actor->header.flags, R3X_FLAG_STATIC | R3X_FLAG_TRANSFORM_DIRTY);
  EXPECT_EQ(actor->regions, nullptr);
  EXPECT_EQ(regionsHolding(actor), (std::vector<std::int32_t>{1}));
}

TEST_F(ActorTest, ScaleRefusesNonPositiveValuesAndCanKeepTheVolumeSize) {
  R3xActorDef* definition = makeTwoLevelDef("DEF");
  ASSERT_NE(definition, nullptr);
  R3xActor* actor = makeActor(definition, 5.0f);
  ASSERT_NE(actor, nullptr);
  EXPECT_EQ(r3xSetActorScale(actor, 0.0f, 0), R3X_ERR_FAILED);
  EXPECT_EQ(r3xSetActorScale(actor, -1.0f, 0), R3X_ERR_FAILED);
  EXPECT_EQ(actor->scale, 1.0f);

  r3xBuildObjectRotation(actor, actor->scale, &actor->placement);
  EXPECT_EQ(r3xSetActorScale(actor, 2.0f, 0), 0);
  EXPECT_EQ(actor->scale, 2.0f);
  EXPECT_EQ(r3xGetVolumeRadius(actor->volume), 0.5f);
  // The part shown (radius 1, no offset) outgrows the halved sphere.
  EXPECT_EQ(actor->radius, 1.0f);
  EXPECT_NE(actor->header.flags & R3X_FLAG_TRANSFORM_DIRTY, 0u);

  EXPECT_EQ(r3xSetActorScale(actor, 4.0f, 1), 0);
  EXPECT_EQ(r3xGetVolumeRadius(actor->volume), 0.5f);

  EXPECT_EQ(r3xSetActorRadius(actor, 3.0f, 0), 0);
  EXPECT_EQ(actor->scale, 4.0f);
  EXPECT_EQ(r3xSetActorRadius(actor, 6.0f, 1), 0);
  EXPECT_EQ(actor->scale, 8.0f);
  EXPECT_EQ(actor->radius, 6.0f);
}

TEST_F(ActorTest, TheShownPartsRadiusAndOffsetBoundTheActor) {
  R3xObjectHeader* part = &makePart(3.0f, 2.0f)->header;
  R3xActorDef* definition = r3xCreateActorDef(
      world_, "DEF", 1, makeActions({{{0.0f, R3X_LOD_LAST_UPPER, 0}}}), nullptr, nullptr,
      reinterpret_cast<R3xVolume*>(r3xCreateSphereVolume(8.0f)), nullptr, 1.0f, 1.0f, 0, &part, 0);
  ASSERT_NE(definition, nullptr);
  R3xActor* actor = makeActor(definition, 5.0f);
  ASSERT_NE(actor, nullptr);
  EXPECT_EQ(r3xSetActorScale(actor, 2.0f, 0), 0);
  // max(8 / 2, 2) + |(3, 0, 0)|.
  EXPECT_EQ(actor->radius, 7.0f);
}

TEST_F(ActorTest, ReplacingAPartMovesTheReferenceAndRefusesOtherObjects) {
  R3xActorDef* definition = makeTwoLevelDef("DEF");
  ASSERT_NE(definition, nullptr);
  R3xActor* actor = makeActor(definition, 5.0f);
  ASSERT_NE(actor, nullptr);
  R3xObjectHeader* fresh = &makePart()->header;
  EXPECT_EQ(r3xReplaceActorPart(actor, 0, 0, fresh), 0);
  EXPECT_EQ(parts_[0]->refCount, 1);
  EXPECT_EQ(fresh->refCount, 1);
  EXPECT_EQ(r3xGetActorPart(actor, 0, 0), fresh);
  EXPECT_EQ(definition->defaultInstance->parts[0], parts_[0]);

  R3xObjectHeader* light = &r3xCreateLightDef(world_, "L", 1, &kIntensity, 0, 0, 0)->header;
  EXPECT_EQ(r3xReplaceActorPart(actor, 0, 0, light), R3X_ERR_BAD_PART_TYPE);
  EXPECT_EQ(r3xGetActorPart(actor, 0, 0), fresh);
  EXPECT_EQ(r3xReplaceActorPart(actor, 0, 2, fresh), R3X_ERR_FAILED);
  EXPECT_EQ(r3xReplaceActorPart(actor, 1, 0, fresh), R3X_ERR_FAILED);

  // The actor's own part goes with it; the definition's parts and the default instances of
  // the three sprite definitions stay.
  EXPECT_EQ(r3xDestroyActor(world_, actor), 0);
  EXPECT_EQ(world_->sprites2D.count, 2u + 3u);
}

TEST_F(ActorTest, ALampFollowsItsActorAndGoesWithIt) {
  R3xLightDef* lightDef = r3xCreateLightDef(world_, "LIGHTDEF", 1, &kIntensity, 0, 0, 0);
  ASSERT_NE(lightDef, nullptr);
  R3xLight* light = r3xCreateLight(world_, lightDef);
  R3xLight* other = r3xCreateLight(world_, lightDef);
  R3xActorDef* definition = makeTwoLevelDef("DEF");
  ASSERT_NE(definition, nullptr);
  R3xActor* actor = makeActor(definition, 5.0f);
  ASSERT_NE(actor, nullptr);
  EXPECT_EQ(r3xSetActorPointLight(world_, actor, light), 0);
  R3xPointLight* lamp = actor->pointLight;
  ASSERT_NE(lamp, nullptr);
  EXPECT_EQ(lamp->ownerSlot, actor->header.slot);
  EXPECT_EQ(lamp->position[0], 5.0f);
  EXPECT_EQ(light->header.refCount, 1);

  R3xPlacement moved = actor->placement;
  moved.x = 12.0f;
  EXPECT_EQ(r3xSetActorPlacement(world_, actor, &moved), 0);
  EXPECT_EQ(lamp->position[0], 12.0f);

  EXPECT_EQ(r3xSetActorPointLight(world_, actor, other), 0);
  EXPECT_EQ(actor->pointLight, lamp);
  EXPECT_EQ(light->header.refCount, 0);
  EXPECT_EQ(other->header.refCount, 1);

  // An actor made from a default actor with a lamp gets a lamp of its own.
  EXPECT_EQ(r3xSetActorPointLight(world_, definition->defaultInstance, light), 0);
  R3xActor* copy = makeActor(definition, 1.0f);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy->pointLight, nullptr);
  EXPECT_NE(copy->pointLight, definition->defaultInstance->pointLight);
  EXPECT_EQ(copy->pointLight->ownerSlot, copy->header.slot);
  EXPECT_EQ(copy->pointLight->position[0], 1.0f);
  EXPECT_EQ(world_->pointLights.count, 3u);

  EXPECT_EQ(r3xDestroyActor(world_, copy), 0);
  EXPECT_EQ(r3xSetActorPointLight(world_, actor, nullptr), 0);
  EXPECT_EQ(actor->pointLight, nullptr);
  EXPECT_EQ(world_->pointLights.count, 1u);
  EXPECT_EQ(other->header.refCount, 0);
}

TEST_F(ActorTest, HiddenFlagAndTagsOfActors) {
  R3xActorDef* definition = makeTwoLevelDef("DEF");
  ASSERT_NE(definition, nullptr);
  R3xActor* first = makeActor(definition, 5.0f, 1.0f, "BULLET");
  R3xActor* second = makeActor(definition, 5.0f, 1.0f, "BULLET");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(r3xFindTag(world_, "BULLET"), &first->header);
  EXPECT_STREQ(second->header.tag, "BULLET");
  EXPECT_EQ(r3xIsActorHidden(first), 0);
  EXPECT_EQ(r3xSetActorHidden(first, 1), 0);
  EXPECT_EQ(r3xIsActorHidden(first), 1);
  // A hidden default actor makes hidden actors.
  EXPECT_EQ(r3xSetActorHidden(definition->defaultInstance, 1), 0);
  EXPECT_EQ(r3xIsActorHidden(makeActor(definition, 5.0f)), 1);
  EXPECT_EQ(r3xSetActorHidden(first, 0), 0);
  EXPECT_EQ(r3xIsActorHidden(first), 0);
}

TEST_F(ActorTest, ASphereListVolumeFollowsItsActor) {
  const float centres[3] = {1.0f, 0.0f, 0.0f};
  const float radii[1] = {0.5f};
  R3xSphereListDef* listDef = r3xCreateSphereListDef(world_, "SL", 2.0f, 1, centres, radii, 1.0f);
  ASSERT_NE(listDef, nullptr);
  R3xActorDef* definition = makeTwoLevelDef("DEF");
  ASSERT_NE(definition, nullptr);
  const R3xPlacement placement{5.0f, 2.0f, 0.0f, 128.0f, 0.0f, 0.0f, -1};
  R3xActor* actor = r3xCreateActor(world_, definition, nullptr, &placement,
                                   reinterpret_cast<R3xVolume*>(listDef->defaultInstance), nullptr,
                                   1.0f, 1.0f, 0);
  ASSERT_NE(actor, nullptr);
  auto* list = reinterpret_cast<R3xSphereList*>(actor->volume);
  ASSERT_EQ(list->header.type, R3X_TYPE_SPHERE_LIST);
  EXPECT_EQ(list->owner, actor);
  float position[3];
  ASSERT_EQ(r3xGetSphereWorldPosition(list, 0, position), 0);
  EXPECT_NEAR(position[0], 5.0f, 1e-6);
  EXPECT_NEAR(position[1], 3.0f, 1e-6);
  EXPECT_NEAR(position[2], 0.0f, 1e-6);
  float radius = 0.0f;
  EXPECT_EQ(r3xGetSphereWorldRadius(list, 0, &radius), 0);
  EXPECT_EQ(radius, 0.5f);
  EXPECT_EQ(r3xGetSphereWorldRadius(list, 1, &radius), R3X_ERR_FAILED);
  EXPECT_EQ(r3xGetSphereWorldPosition(listDef->defaultInstance, 0, position), R3X_ERR_FAILED);

  EXPECT_EQ(r3xSetActorVolume(world_, actor, nullptr), 0);
  EXPECT_EQ(actor->volume, r3xEmptyVolume());
  EXPECT_EQ(listDef->header.refCount, 1);
}

TEST_F(ActorTest, AFailedCreationLeavesNothingBehind) {
  R3xLightDef* lightDef = r3xCreateLightDef(world_, "LIGHTDEF", 1, &kIntensity, 0, 0, 0);
  R3xActorDef* definition = makeTwoLevelDef("DEF");
  ASSERT_NE(definition, nullptr);
  ASSERT_EQ(
      r3xSetActorPointLight(world_, definition->defaultInstance, r3xCreateLight(world_, lightDef)),
      0);
  const R3xPlacement placement{9.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -1};
  const R3xSphereVolume second{R3X_TYPE_SPHERE_VOLUME, nullptr, 2.0f};
  R3xActor* actor = nullptr;
  long failures = 0;
  for (long allowed = 0; actor == nullptr; ++allowed) {
    test_support::FailingMemory failing(allowed);
    actor = r3xCreateActor(world_, definition, "A", &placement, nullptr,
                           reinterpret_cast<const R3xVolume*>(&second), 1.0f, 1.0f, 0);
    if (actor == nullptr) {
      ++failures;
      EXPECT_EQ(world_->actors.count, 1u);
      EXPECT_EQ(world_->pointLights.count, 1u);
      EXPECT_EQ(definition->header.refCount, 1);
      EXPECT_EQ(parts_[0]->refCount, 1);
      EXPECT_EQ(r3xFindTag(world_, "A"), nullptr);
      for (std::int32_t k = 0; k < 3; ++k) {
        EXPECT_EQ(_r3xRegionInfo(r3xGetRegion(world_, k))->objectCount, 0u);
      }
    }
  }
  EXPECT_GE(failures, 5);
  EXPECT_EQ(regionsHolding(actor), (std::vector<std::int32_t>{1, 2}));
}

TEST_F(ActorTest, AFailedDefinitionLeavesNothingBehind) {
  R3xActorDef* definition = nullptr;
  for (long allowed = 0; definition == nullptr; ++allowed) {
    parts_ = {&makePart()->header};
    R3xAction* actions = makeActions({{{0.0f, R3X_LOD_LAST_UPPER, 0}}});
    {
      test_support::FailingMemory failing(allowed);
      definition = r3xCreateActorDef(world_, "DEF", 1, actions, nullptr, nullptr, nullptr, nullptr,
                                     1.0f, 1.0f, 0, parts_.data(), 0);
    }
    if (definition == nullptr) {
      EXPECT_EQ(world_->actorDefs.count, 0u);
      EXPECT_EQ(world_->actors.count, 0u);
      EXPECT_EQ(parts_[0]->refCount, 0);
      EXPECT_EQ(r3xFindTag(world_, "DEF"), nullptr);
      r3xFree(actions[0].levels);
      r3xFree(actions);
    }
  }
  EXPECT_EQ(parts_[0]->refCount, 1);
}

TEST_F(ActorTest, TheWorldDestroysActorsBeforeTheirDefinitions) {
  R3xActorDef* definition = makeTwoLevelDef("DEF");
  ASSERT_NE(definition, nullptr);
  ASSERT_NE(makeActor(definition, 5.0f), nullptr);
  ASSERT_NE(makeActor(definition, 15.0f), nullptr);
  EXPECT_EQ(r3xDestroyAllOfType(world_, R3X_TYPE_ACTOR), 0);
  EXPECT_EQ(world_->actors.count, 1u);
  EXPECT_EQ(definition->header.refCount, 1);
  EXPECT_EQ(r3xDestroyAllOfType(world_, R3X_TYPE_ACTOR_DEF), 0);
  EXPECT_EQ(world_->actorDefs.count, 0u);
  EXPECT_EQ(world_->actors.count, 0u);
}

}  // namespace
