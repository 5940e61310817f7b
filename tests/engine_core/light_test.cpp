#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/core/light_internal.h"
#include "engine/core/point_light_internal.h"
#include "engine/r3x.h"
#include "tests/support/failing_memory.h"
#include "tests/support/test_world_builder.h"

namespace {

struct WorldDeleter {
  void operator()(R3xWorld* world) const { r3xDestroyWorld(world); }
};
using WorldPtr = std::unique_ptr<R3xWorld, WorldDeleter>;

const float kOne[] = {0.75f};
const float kThree[] = {0.1f, 0.5f, 0.9f};

R3xPlacement at(float x) { return {x, 0, 0, 0, 0, 0, -1}; }

std::vector<const R3xObjectHeader*> lightsOf(R3xWorld* world, std::int32_t region) {
  const R3xRegionInfo* info = r3xGetRegion(world, region)->info;
  return {info->lights, info->lights + info->lightCount};
}

std::vector<std::int32_t> regionsOf(const R3xPointLight* light) {
  return {light->regions, light->regions + light->regionCount};
}

// The regions whose light lists hold the light.
std::vector<std::int32_t> regionsListing(R3xWorld* world, const R3xObjectHeader* light) {
  std::vector<std::int32_t> regions;
  for (std::int32_t i = 0; r3xGetRegion(world, i) != nullptr; ++i) {
    const R3xRegionInfo* info = r3xGetRegion(world, i)->info;
    if (info != nullptr && std::count(info->lights, info->lights + info->lightCount, light) == 1) {
      regions.push_back(i);
    }
  }
  return regions;
}

class LightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_.reset(MakeTestWorld(MakeThreeSlabs()));
    ASSERT_NE(world_, nullptr);
    definition_ = r3xCreateLightDef(world_.get(), "LIGHTDEF", 1, kOne, 0, 30, 5);
    ASSERT_NE(definition_, nullptr);
    light_ = r3xCreateLight(world_.get(), definition_);
    ASSERT_NE(light_, nullptr);
  }
  R3xWorld* world() { return world_.get(); }

  WorldPtr world_;
  R3xLightDef* definition_ = nullptr;
  R3xLight* light_ = nullptr;
};

TEST_F(LightTest, AOneFrameDefinitionKeepsItsIntensityInPlace) {
  EXPECT_EQ(definition_->frameCount, 1u);
  EXPECT_EQ(definition_->intensity, 0.75f);
  EXPECT_EQ(definition_->intensities, nullptr);
  const float brighter[] = {0.9f};
  EXPECT_EQ(r3xSetLightDefIntensities(definition_, brighter), 0);
  EXPECT_EQ(definition_->intensity, 0.9f);

  R3xLightDef* frames = r3xCreateLightDef(world(), "FLICKER", 3, kThree, 2, 0, 0);
  ASSERT_NE(frames, nullptr);
  EXPECT_EQ(std::vector<float>(frames->intensities, frames->intensities + 3),
            std::vector<float>(kThree, kThree + 3));
  EXPECT_EQ(frames->defaultInstance->currentFrame, 2u);
}

TEST_F(LightTest, ADefinitionIsFoundByItsTagAndRefusedForAnotherKindOrNoFrames) {
  EXPECT_EQ(r3xCreateLightDef(world(), "LIGHTDEF", 3, kThree, 0, 0, 0), definition_);
  EXPECT_EQ(definition_->frameCount, 1u);
  EXPECT_EQ(r3xFindTag(world(), "LIGHTDEF"), &definition_->header);
  r3xSetTag(world(), &r3xGetRegion(world(), 0)->header, "ROOM");
  r3xAddTag(world(), &r3xGetRegion(world(), 0)->header);
  EXPECT_EQ(r3xCreateLightDef(world(), "ROOM", 1, kOne, 0, 0, 0), nullptr);
  EXPECT_EQ(r3xCreateLightDef(world(), "NONE", 0, kOne, 0, 0, 0), nullptr);
  EXPECT_EQ(world()->lightDefs.count, 1u);
  EXPECT_EQ(r3xIsLightDef(&definition_->header), 0);
  EXPECT_EQ(r3xIsLightDef(&light_->header), R3X_ERR_FAILED);
  EXPECT_EQ(r3xIsLightDef(nullptr), R3X_ERR_FAILED);
}

TEST_F(LightTest, ACurrentFrameBeyondTheFramesIsKeptAndShowsFrameZero) {
  // Stored worlds hold such lights; the frame they show must lie in the definition.
  R3xLightDef* past = r3xCreateLightDef(world(), "PAST", 3, kThree, 3, 0, 0);
  ASSERT_NE(past, nullptr);
  EXPECT_EQ(past->defaultInstance->currentFrame, 3u);
  EXPECT_EQ(_r3xLightShownFrame(past->defaultInstance), 0u);
  R3xLight* light = r3xCreateLight(world(), past);
  ASSERT_NE(light, nullptr);
  EXPECT_EQ(_r3xLightShownFrame(light), 0u);
  EXPECT_EQ(r3xSetLightFrame(light, 3), R3X_ERR_FAILED);
  EXPECT_EQ(r3xSetLightFrame(light, 2), 0);
  EXPECT_EQ(_r3xLightShownFrame(light), 2u);
}

TEST_F(LightTest, ColoursAreCopiedReplacedAndFreed) {
  const float red[] = {1, 0, 0};
  const float blue[] = {0, 0, 1};
  EXPECT_EQ(r3xSetColoredLightIntensities(definition_, red), 0);
  ASSERT_NE(definition_->colours, nullptr);
  EXPECT_EQ(r3xSetColoredLightIntensities(definition_, blue), 0);
  EXPECT_EQ(std::vector<float>(definition_->colours, definition_->colours + 3),
            std::vector<float>(blue, blue + 3));
  EXPECT_EQ(r3xSetColoredLightIntensities(definition_, nullptr), 0);
  EXPECT_EQ(definition_->colours, nullptr);
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(r3xSetColoredLightIntensities(definition_, red), R3X_ERR_FAILED);
  }
  EXPECT_EQ(definition_->colours, nullptr);
}

TEST_F(LightTest, ALightStartsAfterItsDelayAndCountsInItsDefinition) {
  r3xSetWorldTime(world(), 1000);
  R3xLight* second = r3xCreateLight(world(), definition_);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->startTime, 1030u);
  EXPECT_EQ(second->word, 5);
  EXPECT_EQ(second->header.refCount, 0);
  EXPECT_EQ(definition_->header.refCount, 3);
  EXPECT_EQ(definition_->defaultInstance->startTime, 0u);
  EXPECT_EQ(r3xSetLightFrame(second, 0), 0);
  EXPECT_EQ(r3xSetLightFrame(second, 1), R3X_ERR_FAILED);
  EXPECT_EQ(r3xDestroyLight(world(), second), 0);
  EXPECT_EQ(definition_->header.refCount, 2);
}

TEST_F(LightTest, NothingInUseIsDestroyed) {
  const float inside[3] = {5, 0, 0};
  R3xPointLight* lamp = r3xCreatePointLight(world(), light_, inside, 1, 1);
  ASSERT_NE(lamp, nullptr);
  EXPECT_EQ(light_->header.refCount, 1);
  EXPECT_EQ(r3xDestroyLight(world(), light_), R3X_ERR_FAILED);
  EXPECT_EQ(r3xDestroyLight(world(), definition_->defaultInstance), R3X_ERR_FAILED);
  EXPECT_EQ(r3xDestroyLightDef(world(), definition_), R3X_ERR_FAILED);
  EXPECT_EQ(r3xRelease(&definition_->defaultInstance->header), 0);
  EXPECT_EQ(r3xRelease(&definition_->defaultInstance->header), R3X_ERR_FAILED);  // never below 0
  EXPECT_EQ(r3xAddRef(&definition_->defaultInstance->header), 0);

  EXPECT_EQ(r3xDestroyPointLight(world(), lamp), 0);
  EXPECT_EQ(light_->header.refCount, 0);
  EXPECT_EQ(r3xDestroyLight(world(), light_), 0);
  EXPECT_EQ(r3xDestroyLightDef(world(), definition_), 0);
  EXPECT_EQ(r3xFindTag(world(), "LIGHTDEF"), nullptr);
  EXPECT_EQ(world()->lights.count, 0u);
}

TEST_F(LightTest, APointLightReachesExactlyTheRegionsWithinItsRadius) {
  const struct {
    float x;
    float radius;
    std::vector<std::int32_t> regions;
  } cases[] = {{5, 2, {1}},     {5, 5, {0, 1, 2}}, {5, 4.9f, {1}},  {9, 1, {1, 2}},
               {9, 0.99f, {1}}, {-3, 3, {0, 1}},   {15, 5, {1, 2}}, {12, 1, {2}}};
  for (const auto& c : cases) {
    const float position[3] = {c.x, 0, 0};
    R3xPointLight* lamp = r3xCreatePointLight(world(), light_, position, c.radius, 1);
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(regionsOf(lamp), c.regions) << c.x << " " << c.radius;
    EXPECT_EQ(regionsListing(world(), &lamp->header), c.regions) << c.x << " " << c.radius;
    r3xDestroyPointLight(world(), lamp);
    EXPECT_TRUE(regionsListing(world(), &lamp->header).empty());
  }
  EXPECT_EQ(light_->header.refCount, 0);
}

TEST_F(LightTest, MovingAndResizingAPointLightUpdatesBothSides) {
  const float position[3] = {5, 0, 0};
  R3xPointLight* lamp = r3xCreatePointLight(world(), light_, position, 1, 1);
  ASSERT_NE(lamp, nullptr);
  const R3xPlacement near = at(9.5f);
  EXPECT_EQ(r3xMovePointLight(world(), lamp, &near), 0);
  EXPECT_EQ(regionsOf(lamp), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(regionsListing(world(), &lamp->header), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(r3xSetPointLightRadius(world(), lamp, 20), 0);
  EXPECT_EQ(regionsListing(world(), &lamp->header), (std::vector<std::int32_t>{0, 1, 2}));
  const R3xPlacement far = at(30);
  EXPECT_EQ(r3xMovePointLight(world(), lamp, &far), 0);
  EXPECT_EQ(regionsListing(world(), &lamp->header), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(lamp->position[0], 30);
}

TEST_F(LightTest, StaticLightsKeepTheirPlaceAndRadius) {
  const float position[3] = {5, 0, 0};
  R3xPointLight* fixed = r3xCreatePointLight(world(), light_, position, 1, 1);
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(r3xSetLightStatic(fixed), 0);
  const R3xPlacement elsewhere = at(15);
  EXPECT_EQ(r3xMovePointLight(world(), fixed, &elsewhere), R3X_ERR_FAILED);
  EXPECT_EQ(r3xSetPointLightRadius(world(), fixed, 50), R3X_ERR_FAILED);
  EXPECT_EQ(fixed->position[0], 5);
  EXPECT_EQ(fixed->radius, 1);
  EXPECT_EQ(regionsOf(fixed), (std::vector<std::int32_t>{1}));

  R3xPointLight* given = r3xCreatePointLight(world(), light_, position, 1, 0);
  ASSERT_NE(given, nullptr);
  EXPECT_TRUE(regionsOf(given).empty());
  EXPECT_EQ(r3xAddPointLightToRegion(world(), given, 2), R3X_ERR_FAILED);
  EXPECT_EQ(r3xSetLightStaticInfluence(given), 0);
  EXPECT_EQ(r3xSetPointLightRadius(world(), given, 50), 0);
  EXPECT_EQ(given->radius, 1);
  EXPECT_EQ(r3xAddPointLightToRegion(world(), given, 2), 0);
  EXPECT_EQ(r3xAddPointLightToRegion(world(), given, 0), 0);
  EXPECT_EQ(r3xAddPointLightToRegion(world(), given, 2), 0);
  EXPECT_EQ(r3xAddPointLightToRegion(world(), given, 3), R3X_ERR_FAILED);
  EXPECT_EQ(regionsOf(given), (std::vector<std::int32_t>{0, 2}));
  EXPECT_EQ(regionsListing(world(), &given->header), (std::vector<std::int32_t>{0, 2}));
  // Moving keeps the regions given by hand.
  EXPECT_EQ(r3xMovePointLight(world(), given, &elsewhere), 0);
  EXPECT_EQ(regionsOf(given), (std::vector<std::int32_t>{0, 2}));
}

TEST_F(LightTest, ARegionListsDirectionalLightsNewestFirstThenPointLightsInOrder) {
  const float down[3] = {0, 0, -1};
  R3xDirectionalLight* sun = r3xCreateDirectionalLight(world(), light_, down);
  R3xDirectionalLight* moon = r3xCreateDirectionalLight(world(), light_, down);
  ASSERT_NE(sun, nullptr);
  ASSERT_NE(moon, nullptr);
  const float position[3] = {5, 0, 0};
  R3xPointLight* first = r3xCreatePointLight(world(), light_, position, 1, 1);
  R3xPointLight* second = r3xCreatePointLight(world(), light_, position, 1, 1);
  EXPECT_EQ(r3xAddDirectionalLightToRegion(world(), sun, 1), 0);
  EXPECT_EQ(r3xAddDirectionalLightToRegion(world(), moon, 1), 0);
  EXPECT_EQ(r3xAddDirectionalLightToRegion(world(), sun, 1), 0);
  EXPECT_EQ(r3xAddDirectionalLightToRegion(world(), sun, 7), R3X_ERR_FAILED);
  EXPECT_EQ(sun->regionCount, 1u);
  EXPECT_EQ(lightsOf(world(), 1),
            (std::vector<const R3xObjectHeader*>{&moon->header, &sun->header, &first->header,
                                                 &second->header}));
  EXPECT_EQ(light_->header.refCount, 4);
  EXPECT_EQ(r3xDestroyDirectionalLight(world(), moon), 0);
  EXPECT_EQ(lightsOf(world(), 1),
            (std::vector<const R3xObjectHeader*>{&sun->header, &first->header, &second->header}));
  EXPECT_EQ(light_->header.refCount, 3);
}

TEST_F(LightTest, APointLightOutsideEveryRegionIsNotMade) {
  TestWorldSpec spec = MakeThreeSlabs();
  spec.nodes[0].back = -1;
  spec.regionsWithoutInfo = {1};
  WorldPtr open(MakeTestWorld(spec));
  ASSERT_NE(open, nullptr);
  R3xLightDef* definition = r3xCreateLightDef(open.get(), "L", 1, kOne, 0, 0, 0);
  R3xLight* light = definition->defaultInstance;
  const float outside[3] = {-5, 0, 0};
  EXPECT_EQ(r3xCreatePointLight(open.get(), light, outside, 1, 1), nullptr);
  EXPECT_EQ(open->pointLights.count, 0u);
  EXPECT_EQ(light->header.refCount, 1);
  // Regions without dynamic information are passed over.
  const float inside[3] = {9.5f, 0, 0};
  R3xPointLight* lamp = r3xCreatePointLight(open.get(), light, inside, 1, 1);
  ASSERT_NE(lamp, nullptr);
  EXPECT_EQ(regionsOf(lamp), (std::vector<std::int32_t>{2}));
  const R3xPlacement away = at(-5);
  EXPECT_EQ(r3xMovePointLight(open.get(), lamp, &away), R3X_ERR_FAILED);
  EXPECT_EQ(lamp->position[0], 9.5f);
}

TEST_F(LightTest, AFailedCreationLeavesNoRegistrationNoReferenceAndNoRegion) {
  const float position[3] = {5, 0, 0};
  // Enough regions to make both sides grow.
  WorldPtr wide(MakeTestWorld(MakeComb(20)));
  ASSERT_NE(wide, nullptr);
  R3xLight* light = r3xCreateLightDef(wide.get(), "L", 1, kOne, 0, 0, 0)->defaultInstance;
  bool made = false;
  for (long after = 0; !made; ++after) {
    R3xPointLight* lamp = nullptr;
    {
      test_support::FailingMemory failing(after);
      lamp = r3xCreatePointLight(wide.get(), light, position, 30, 1);
    }
    made = lamp != nullptr;
    if (!made) {
      EXPECT_EQ(wide->pointLights.count, 0u) << after;
      EXPECT_EQ(light->header.refCount, 1) << after;
      for (std::int32_t i = 0; i <= 20; ++i) {
        EXPECT_EQ(r3xGetRegion(wide.get(), i)->info->lightCount, 0u) << after;
      }
    } else {
      EXPECT_EQ(regionsOf(lamp).size(), 21u);
    }
  }
}

TEST_F(LightTest, ALampClearsItsActorWhenDestroyed) {
  auto* actor = static_cast<R3xActor*>(r3xMalloc(sizeof(R3xActor)));
  actor->header = {R3X_TYPE_ACTOR, -1, nullptr, 0, 0};
  ASSERT_EQ(r3xRegisterObject(world(), &actor->header), 0);
  const R3xPlacement place = at(5);
  const float position[3] = {5, 0, 0};
  R3xPointLight* lamp = r3xCreatePointLight(world(), light_, position, 2, 1);
  ASSERT_NE(lamp, nullptr);
  R3xPointLight* copy = _r3xCopyPointLight(world(), lamp, &place, 1);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->ownerSlot, -1);
  EXPECT_EQ(copy->radius, 2);
  EXPECT_EQ(regionsOf(copy), (std::vector<std::int32_t>{1}));
  copy->ownerSlot = actor->header.slot;
  actor->pointLight = copy;
  EXPECT_EQ(r3xDestroyPointLight(world(), copy), 0);
  EXPECT_EQ(actor->pointLight, nullptr);
  EXPECT_EQ(light_->header.refCount, 1);
  r3xUnregisterObject(world(), &actor->header);
  r3xFree(actor);
}

TEST_F(LightTest, ARenamedPointLightIsFoundUnderItsNewTag) {
  const float position[3] = {5, 0, 0};
  R3xPointLight* lamp = r3xCreatePointLight(world(), light_, position, 1, 1);
  ASSERT_NE(lamp, nullptr);
  EXPECT_EQ(r3xSetObjectTag(world(), &lamp->header, "LAMP"), 0);
  EXPECT_EQ(r3xAddTag(world(), &lamp->header), 0);
  EXPECT_EQ(r3xSetObjectTag(world(), &lamp->header, "TORCH"), 0);
  EXPECT_EQ(r3xFindTag(world(), "TORCH"), &lamp->header);
  EXPECT_EQ(r3xFindTag(world(), "LAMP"), nullptr);
  EXPECT_EQ(r3xDestroyPointLight(world(), lamp), 0);
  EXPECT_EQ(r3xFindTag(world(), "TORCH"), nullptr);
}

TEST_F(LightTest, TheWorldTakesLightsAndRegionsDownInOrder) {
  const float position[3] = {5, 0, 0};
  const float down[3] = {0, 0, -1};
  ASSERT_NE(r3xCreatePointLight(world(), light_, position, 20, 1), nullptr);
  R3xDirectionalLight* sun = r3xCreateDirectionalLight(world(), light_, down);
  ASSERT_EQ(r3xAddDirectionalLightToRegion(world(), sun, 0), 0);
  ASSERT_NE(r3xCreateLight(world(), definition_), nullptr);
  // Released by each point or directional light before the lights go.
  EXPECT_EQ(light_->header.refCount, 2);
  world_.reset();
}

}  // namespace
