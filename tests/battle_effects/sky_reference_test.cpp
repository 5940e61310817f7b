// Frames of the sky, the rain and the lens flare through the software board, compared with the
// pictures in reference/ (ARENA_UPDATE_REFERENCES=1 rewrites them).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "battle/effects/flare_and_particles.h"
#include "battle/effects/sky_dome.h"
#include "tests/battle_effects/sky_fixture.h"
#include "tests/support/reference_picture.h"

namespace {

class SkyFrameTest : public SkyTest {
 protected:
  // The sky of a frame as the frame tick draws it, without the world.
  void DrawSkyFrame(std::uint8_t clearGrey) {
    BeginFrame(clearGrey);
    DrawSky(&sky_);
  }
  // The same with the flare and the particles after it.
  void DrawFrame(std::uint8_t clearGrey) {
    DrawSkyFrame(clearGrey);
    DrawFlareAndParticles(&sky_);
  }

  // The view's rectangle against reference/`name`.png.
  static ::testing::AssertionResult Matches(const std::string& name) {
    const std::string difference = test_support::CompareWithReferencePicture(
        std::string(ARENA_REFERENCE_DIR) + "/" + name + ".png", 0, 0, kViewWidth, kViewHeight);
    if (!difference.empty()) {
      return ::testing::AssertionFailure() << difference;
    }
    return ::testing::AssertionSuccess();
  }
};

// A repeatable stand-in for the runtime's rand.
std::uint32_t NextRandom() {
  static std::uint32_t state = 12345;
  state = state * 1103515245u + 12345u;
  return (state >> 16) & 0x7FFF;
}

TEST_F(SkyFrameTest, NoonSkyWithTheSunHighAndTheGroundBeyondTheFarDistance) {
  sky_.step = 14;
  sky_.sunAngle = 80.0f;
  sky_.moonAngle = 336.0f;
  camera_->pitch = 24.0f;
  sky_.nearCloudScroll = 0.25f;
  DrawSkyFrame(180);
  EXPECT_TRUE(Matches("sky_noon"));
}

TEST_F(SkyFrameTest, DuskSkyWithTheSunLowOverTheHorizon) {
  sky_.step = 29;
  sky_.blend = 0.5f;
  sky_.sunAngle = 120.0f;
  camera_->pitch = 10.0f;
  camera_->heading = 8.0f;
  DrawSkyFrame(60);
  EXPECT_TRUE(Matches("sky_dusk"));
}

TEST_F(SkyFrameTest, NightSkyWithTheMoon) {
  sky_.step = 44;
  sky_.moonAngle = 70.0f;
  camera_->pitch = 24.0f;
  for (float& channel : render_->ambient) {
    channel = 0.15f;
  }
  DrawSkyFrame(0);
  EXPECT_TRUE(Matches("sky_night"));
}

TEST_F(SkyFrameTest, RainFallsInFrontOfTheClearColourWithoutTheDome) {
  CParticlePool rain(NextRandom);
  sky_.particles = &rain;
  sky_.step = 20;
  sky_.weatherLevel = 1.0f;
  sky_.sunAngle = 100.0f;
  camera_->pitch = 16.0f;
  // The first sky frame of the library frees the whole pool: the rain comes later.
  DrawFrame(110);
  ASSERT_EQ(rain.StartWeatherParticles(*camera_, WeatherMode::kRain), 0);
  for (int frame = 0; frame < 40; ++frame) {
    DrawFrame(110);
  }
  EXPECT_TRUE(Matches("sky_rain"));
}

TEST_F(SkyFrameTest, LensFlareInFrontOfTheSun) {
  sky_.step = 14;
  sky_.sunAngle = 80.0f;
  camera_->pitch = 20.0f;
  camera_->heading = 16.0f;
  DrawFrame(180);
  EXPECT_TRUE(Matches("sky_lens_flare"));
}

}  // namespace
