#include "battle/arena/shared_lights.h"

#include <gtest/gtest.h>

#include <bit>
#include <memory>

#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "engine/core/math_tables_internal.h"
#include "engine/r3x.h"
#include "world_fixture.h"

namespace {

constexpr const char* kTag = "LIGHTDEF";

class SharedLightsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(_r3xInitMathTables(), R3X_DONE);
    InitGameParams();
    CSharedLights::SetKeepLight(false);
    world_ = MakeOneRoomWorld();
    ASSERT_NE(world_, nullptr);
  }
  void TearDown() override {
    CSharedLights::SetKeepLight(false);
    world_.reset();
    _r3xFreeMathTables();
  }

  // An actor at x = 5 of one part (a 2D sprite without frames), in engine memory as a world
  // loader hands it over; later actors share the first one's definition.
  R3xActor* MakeActor() {
    const R3xPlacement origin{5.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0};
    if (R3xObjectHeader* made = r3xFindTag(world_.get(), "FLARE")) {
      return r3xCreateActor(world_.get(), reinterpret_cast<R3xActorDef*>(made), nullptr, &origin,
                            nullptr, nullptr, 1.0f, 1.0f, 0);
    }
    const float offset[3] = {0.0f, 0.0f, 0.0f};
    R3x2DSpriteDef* spriteDef =
        r3xCreate2DSpriteDef(world_.get(), nullptr, 0, 0, nullptr, 1.0f, 1.0f, 1.0f, nullptr, 0, 0,
                             0, offset, nullptr, 1.0f);
    R3xObjectHeader* part = &r3xCreate2DSprite(world_.get(), spriteDef, nullptr)->header;
    auto* action = static_cast<R3xAction*>(r3xMalloc(sizeof(R3xAction)));
    action->levelCount = 1;
    action->levels = static_cast<R3xLodLevel*>(r3xMalloc(sizeof(R3xLodLevel)));
    action->levels[0] = {0.0f, R3X_LOD_LAST_UPPER, 0};
    R3xActorDef* definition =
        r3xCreateActorDef(world_.get(), "FLARE", 1, action, r3xMalloc(16), &origin,
                          reinterpret_cast<R3xVolume*>(r3xCreateSphereVolume(1.0f)), nullptr, 1.0f,
                          1.0f, 0, &part, 0);
    if (definition == nullptr) {
      return nullptr;
    }
    return r3xCreateActor(world_.get(), definition, nullptr, &origin, nullptr, nullptr, 1.0f, 1.0f,
                          0);
  }

  std::unique_ptr<CSharedLights> MakeLamp() {
    return std::make_unique<CSharedLights>(world_.get());
  }
  R3xObjectHeader* FindDefinition() { return r3xFindTag(world_.get(), kTag); }

  WorldPtr world_;
};

TEST_F(SharedLightsTest, LampsShareOneLightThatGoesWithTheLast) {
  auto first = MakeLamp();
  R3xLight* light = CSharedLights::Light();
  ASSERT_NE(light, nullptr);
  auto second = MakeLamp();
  EXPECT_EQ(CSharedLights::Light(), light);
  EXPECT_EQ(CSharedLights::Users(), 2u);
  EXPECT_EQ(light->definition->intensity, 1.0f);
  first.reset();
  EXPECT_EQ(CSharedLights::Light(), light);
  EXPECT_NE(FindDefinition(), nullptr);
  second.reset();
  EXPECT_EQ(CSharedLights::Users(), 0u);
  EXPECT_EQ(CSharedLights::Light(), nullptr);
  EXPECT_EQ(FindDefinition(), nullptr);
}

TEST_F(SharedLightsTest, TheWorldStopLeavesTheLightToTheWorld) {
  auto lamp = MakeLamp();
  CSharedLights::SetKeepLight(true);
  lamp.reset();
  EXPECT_EQ(CSharedLights::Users(), 0u);
  EXPECT_NE(FindDefinition(), nullptr);
}

TEST_F(SharedLightsTest, AWorldsOwnDefinitionKeepsItsIntensity) {
  const float dim = 0.3f;
  R3xLightDef* own = r3xCreateLightDef(world_.get(), kTag, 1, &dim, 0, 0, 0);
  ASSERT_NE(own, nullptr);
  auto lamp = MakeLamp();
  ASSERT_NE(CSharedLights::Light(), nullptr);
  EXPECT_EQ(CSharedLights::Light()->definition, own);
  EXPECT_EQ(own->intensity, dim);
}

TEST_F(SharedLightsTest, AttachingGivesTheActorTheSharedLightWithTheRadius) {
  R3xActor* flare = MakeActor();
  ASSERT_NE(flare, nullptr);
  auto lamp = MakeLamp();
  lamp->AttachFixed(flare, 500.0f);
  ASSERT_NE(flare->pointLight, nullptr);
  EXPECT_EQ(flare->pointLight->light, CSharedLights::Light());
  EXPECT_EQ(flare->pointLight->radius, 500.0f);
}

TEST_F(SharedLightsTest, ALampThatMadeNoLightIsNotCountedDown) {
  // The tag held by a region: no light definition can be made under it.
  ASSERT_EQ(r3xSetTag(world_.get(), &r3xGetRegion(world_.get(), 0)->header, kTag), 0);
  auto failed = MakeLamp();
  EXPECT_EQ(CSharedLights::Users(), 0u);
  R3xActor* flare = MakeActor();
  ASSERT_NE(flare, nullptr);
  failed->AttachFixed(flare, 500.0f);
  EXPECT_EQ(flare->pointLight, nullptr);
  ASSERT_EQ(r3xRemoveTag(world_.get(), kTag), 0);
  auto burning = MakeLamp();
  ASSERT_NE(CSharedLights::Light(), nullptr);
  EXPECT_EQ(CSharedLights::Users(), 1u);
  failed.reset();
  EXPECT_EQ(CSharedLights::Users(), 1u);
  EXPECT_NE(CSharedLights::Light(), nullptr);
  burning.reset();
  EXPECT_EQ(CSharedLights::Light(), nullptr);
}

void SetParam(std::size_t row, float value) {
  GameParamTable[row].SetConfirmed(std::bit_cast<std::uint32_t>(value));
}

class SharedLightsAttachTest : public SharedLightsTest {
 protected:
  void SetUp() override {
    SharedLightsTest::SetUp();
    context_ = CreateRenderContext(0, nullptr);
    ASSERT_NE(context_, nullptr);
  }
  void TearDown() override {
    r3xDestroyRenderContext(nullptr, context_, 0);
    SharedLightsTest::TearDown();
  }
  R3xRenderContext* context_ = nullptr;
};

struct AttachCase {
  const char* name;
  float lighting;      // "Light & Tessellation"
  float tessellation;  // "TessellationMultiPolygon"
  int mode;
  std::uint32_t pointLightMode;
  std::int32_t dynamicLighting;
  bool lit;
  float radius;
};

TEST_F(SharedLightsAttachTest, SwitchesAndRadiusFollowTheParametersAndTheMode) {
  const AttachCase cases[] = {
      {"mode 1: the high radius", 0.05f, 0.05f, 1, 1, 1, true, 3.0f},
      {"mode 2: the tessellation value as radius", 0.05f, 0.05f, 2, 1, 1, true, 0.05f},
      {"mode 0 takes the light away", 0.05f, 0.05f, 0, 1, 1, false, 0.0f},
      {"another mode attaches without a radius", 0.05f, 0.05f, 7, 1, 1, true, 0.0f},
      {"no tessellation: point-light mode 0", 0.05f, 0.0f, 1, 0, 1, true, 3.0f},
      {"lighting off removes the light whatever the mode", 0.0f, 0.05f, 1, 1, 0, false, 0.0f},
      {"minus zero counts as off", -0.0f, -0.0f, 2, 0, 0, false, 0.0f},
  };
  auto lamp = MakeLamp();
  for (const AttachCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetParam(PARAM_LIGHT_AND_TESSELLATION, c.lighting);
    SetParam(PARAM_TESSELLATION_MULTI_POLYGON, c.tessellation);
    R3xActor* flare = MakeActor();
    ASSERT_NE(flare, nullptr);
    // An actor that had the light before, so that removing it shows.
    lamp->AttachFixed(flare, 9.0f);
    lamp->Attach(context_, flare, c.mode);
    EXPECT_EQ(context_->pointLightMode, c.pointLightMode);
    EXPECT_EQ(context_->dynamicLighting, c.dynamicLighting);
    ASSERT_EQ(flare->pointLight != nullptr, c.lit);
    if (c.lit) {
      EXPECT_EQ(flare->pointLight->light, CSharedLights::Light());
      EXPECT_EQ(flare->pointLight->radius, c.mode == 7 ? 9.0f : c.radius);
    }
  }
}

TEST_F(SharedLightsAttachTest, EveryFrameOfAWorldsDefinitionTakesTheIntensity) {
  const float frames[3] = {0.3f, 0.4f, 0.5f};
  R3xLightDef* own = r3xCreateLightDef(world_.get(), kTag, 3, frames, 0, 0, 0);
  ASSERT_NE(own, nullptr);
  auto lamp = MakeLamp();
  SetParam(PARAM_LIGHT_INTENSITY_HIGH, 0.75f);
  lamp->Attach(context_, nullptr, 1);
  ASSERT_NE(own->intensities, nullptr);
  EXPECT_EQ(own->intensities[0], 0.75f);
  EXPECT_EQ(own->intensities[2], 0.75f);
  EXPECT_EQ(context_->dynamicLighting, 1);
}

TEST_F(SharedLightsAttachTest, ALampWithoutALightOnlySetsTheSwitches) {
  ASSERT_EQ(r3xSetTag(world_.get(), &r3xGetRegion(world_.get(), 0)->header, kTag), 0);
  auto failed = MakeLamp();
  R3xActor* flare = MakeActor();
  ASSERT_NE(flare, nullptr);
  failed->Attach(context_, flare, 1);
  failed->Attach(nullptr, nullptr, 2);
  EXPECT_EQ(flare->pointLight, nullptr);
  EXPECT_EQ(context_->dynamicLighting, 1);
  EXPECT_EQ(context_->pointLightMode, 1u);
}

}  // namespace
