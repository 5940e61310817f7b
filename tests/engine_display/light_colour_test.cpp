#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/core/vertex_lighting.h"
#include "engine/r3x.h"

namespace {

// A 32-frame definition whose frame i has intensity i.
struct AnimatedLight {
  explicit AnimatedLight(std::uint32_t catchUp, std::uint32_t delay = 100) {
    for (int i = 0; i < 32; ++i) {
      intensities.push_back(static_cast<float>(i));
    }
    definition.frameCount = 32;
    definition.intensities = intensities.data();
    light.delay = delay;
    light.startTime = 1000;
    light.word = static_cast<std::int32_t>(catchUp);
    light.definition = &definition;
  }
  std::vector<float> intensities;
  R3xLightDef definition{};
  R3xLight light{};
};

TEST(LightColourTest, FramesAdvanceByTheLateness) {
  struct Case {
    std::uint32_t catchUp, time, frame, nextChange;
  };
  const Case cases[] = {
      {1, 2450, 15, 2500},  // 14 steps while late > 100, then one more
      {1, 3000, 21, 3100},  // late 2000 > 1600: 20 delays at once, plus one
      {1, 1000, 0, 1000},   // not yet due
      {0, 2450, 1, 2550},
  };
  for (const Case& c : cases) {
    AnimatedLight a(c.catchUp);
    const R3xLightColour colour = _r3xCurrentLightColor(&a.light, c.time);
    EXPECT_EQ(a.light.currentFrame, c.frame) << c.time;
    EXPECT_EQ(a.light.startTime, c.nextChange) << c.time;
    EXPECT_EQ(colour.red, static_cast<float>(c.frame));
    EXPECT_EQ(colour.blue, static_cast<float>(c.frame));
  }
}

TEST(LightColourTest, AFrameDelayOfZeroStepsOnceAPerTime) {
  for (std::uint32_t catchUp : {0u, 1u}) {
    AnimatedLight a(catchUp, 0);
    _r3xCurrentLightColor(&a.light, 5000);
    EXPECT_EQ(a.light.currentFrame, 1u);
    _r3xCurrentLightColor(&a.light, 5000);
    EXPECT_EQ(a.light.currentFrame, 1u);
    _r3xCurrentLightColor(&a.light, 5016);
    EXPECT_EQ(a.light.currentFrame, 2u);
  }
}

TEST(LightColourTest, FramesWrapAndTriplesGiveTheColour) {
  AnimatedLight a(0);
  a.light.currentFrame = 31;
  std::vector<float> triples(32 * 3, 0.0f);
  triples[0] = 0.5f;
  triples[1] = 0.25f;
  triples[2] = 0.125f;
  a.definition.colours = triples.data();
  const R3xLightColour colour = _r3xCurrentLightColor(&a.light, 1001);
  EXPECT_EQ(a.light.currentFrame, 0u);
  EXPECT_EQ(colour.red, 0.5f);
  EXPECT_EQ(colour.green, 0.25f);
  EXPECT_EQ(colour.blue, 0.125f);
}

TEST(LightColourTest, SingleFrameDefinitionsNeverAdvance) {
  R3xLightDef definition{};
  definition.frameCount = 1;
  definition.intensity = 0.75f;
  R3xLight light{};
  light.definition = &definition;
  light.delay = 10;
  const R3xLightColour colour = _r3xCurrentLightColor(&light, 99999);
  EXPECT_EQ(colour.green, 0.75f);
  EXPECT_EQ(light.currentFrame, 0u);
  EXPECT_EQ(light.startTime, 0u);
}

}  // namespace
