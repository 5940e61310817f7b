#include "battle/effects/ambient_light.h"

#include <gtest/gtest.h>

#include <vector>

#include "battle/effects/ambient_table.h"
#include "engine/r3x.h"
#include "world_fixture.h"

namespace {

constexpr const char* kTag = "GLOBALAMBIENT_LIGHTDEF";

class AmbientLightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = MakeOneRoomWorld();
    ASSERT_NE(world_, nullptr);
  }
  // The world's ambient light definition with `frames` frames of 0.25.
  R3xLightDef* MakeAmbient(std::uint32_t frames) {
    const std::vector<float> levels(frames, 0.25f);
    return r3xCreateLightDef(world_.get(), kTag, frames, levels.data(), 0, 0, 0);
  }
  static std::vector<float> Frames(const R3xLightDef* definition) {
    if (definition->frameCount == 1) {
      return {definition->intensity};
    }
    return {definition->intensities, definition->intensities + definition->frameCount};
  }

  WorldPtr world_;
  CAmbientLight ambient_;
};

TEST_F(AmbientLightTest, StartsAtTheFirstStepsLevel) {
  EXPECT_EQ(ambient_.Level(), AmbientTable[kInitialTimeOfDayStep]);
}

TEST_F(AmbientLightTest, SetsEveryFrameOfTheDefinition) {
  for (std::uint32_t frames : {1u, 4u}) {
    SCOPED_TRACE(frames);
    world_ = MakeOneRoomWorld();
    R3xLightDef* definition = MakeAmbient(frames);
    ASSERT_NE(definition, nullptr);
    ambient_.SetAmbientLight(world_.get(), 0.4f);
    EXPECT_EQ(ambient_.Level(), 0.4f);
    EXPECT_EQ(Frames(definition), std::vector<float>(frames, 0.4f));
  }
}

TEST_F(AmbientLightTest, WithoutTheDefinitionSettingChangesNothingButStepsStillMove) {
  ambient_.SetAmbientLight(world_.get(), 0.4f);
  ambient_.SetAmbientLight(nullptr, 0.4f);
  EXPECT_EQ(ambient_.Level(), AmbientTable[kInitialTimeOfDayStep]);
  ambient_.StepAmbientLight(world_.get(), 0);
  EXPECT_EQ(ambient_.Level(), AmbientTable[kInitialTimeOfDayStep] - 0.01f);
  ambient_.StepAmbientLight(nullptr, 1);
  EXPECT_EQ(ambient_.Level(), AmbientTable[kInitialTimeOfDayStep] - 0.01f + 0.01f);
}

TEST_F(AmbientLightTest, ATagOnAnotherKindOfObjectIsNoLight) {
  ASSERT_EQ(r3xSetTag(world_.get(), &r3xGetRegion(world_.get(), 0)->header, kTag), 0);
  ambient_.SetAmbientLight(world_.get(), 0.4f);
  EXPECT_EQ(ambient_.Level(), AmbientTable[kInitialTimeOfDayStep]);
  ambient_.StepAmbientLight(world_.get(), 1);
  EXPECT_EQ(ambient_.Level(), AmbientTable[kInitialTimeOfDayStep] + 0.01f);
}

struct StepCase {
  float from;
  int up;
  float to;
};

TEST_F(AmbientLightTest, StepsByAHundredthInSinglePrecision) {
  const StepCase cases[] = {
      {1.0f, 1, 1.0f},
      {0.5f, 0, 0.5f - 0.01f},
      {0.0f, 1, 0.01f},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.from);
    world_ = MakeOneRoomWorld();
    R3xLightDef* definition = MakeAmbient(3);
    ASSERT_NE(definition, nullptr);
    ambient_.SetAmbientLight(world_.get(), c.from);
    ambient_.StepAmbientLight(world_.get(), c.up);
    EXPECT_EQ(ambient_.Level(), c.to);
    EXPECT_EQ(Frames(definition), std::vector<float>(3, c.to));
  }
}

// The bound is tested before the step: one step from just inside goes past the bound and is
// kept, and only the next step stops. Down from 0.02 lands on the stored 0.01, where it stops.
TEST_F(AmbientLightTest, TheBoundIsTestedBeforeTheStep) {
  struct BoundCase {
    float from;
    int up;
    bool past;  // whether the first step goes past the bound
  };
  const BoundCase cases[] = {{0.995f, 1, true}, {0.015f, 0, true}, {0.02f, 0, false}};
  for (const BoundCase& c : cases) {
    SCOPED_TRACE(c.from);
    world_ = MakeOneRoomWorld();
    R3xLightDef* definition = MakeAmbient(3);
    ASSERT_NE(definition, nullptr);
    ambient_.SetAmbientLight(world_.get(), c.from);
    ambient_.StepAmbientLight(world_.get(), c.up);
    const float stepped = ambient_.Level();
    EXPECT_NE(stepped, c.from);
    if (c.up != 0) {
      EXPECT_EQ(stepped > 1.0f, c.past) << stepped;
    } else {
      EXPECT_EQ(stepped < 0.01f, c.past) << stepped;
    }
    ambient_.StepAmbientLight(world_.get(), c.up);
    EXPECT_EQ(ambient_.Level(), stepped);
    EXPECT_EQ(Frames(definition), std::vector<float>(3, stepped));
  }
}

}  // namespace
