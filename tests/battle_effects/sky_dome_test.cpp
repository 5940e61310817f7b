// The sky dome: its grid, colours and frustum, what a frame draws by the sun's and the moon's
// angles and in rain, the first frame's pool reset, and bitmaps that are missing.
#include "battle/effects/sky_dome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "battle/effects/sky_frustum.h"
#include "battle/effects/sky_gradient_table.h"
#include "tests/battle_effects/sky_fixture.h"

namespace {

constexpr std::array<float, 3> kUnset = {-1.0f, -1.0f, -1.0f};

class SkyDomeTest : public SkyTest {
 protected:
  // The number of lit pixels along the view's middle row, the sun straight ahead on a black
  // sky.
  int SunWidth(float weatherLevel) {
    sky_.weatherLevel = weatherLevel;
    sky_.sunAngle = 100.0f;
    camera_->z = 0.0f;
    const float toSun = std::atan2(r3xCosUnits(100.0f), r3xSinUnits(100.0f));
    camera_->pitch = toSun * 256.0f / 3.14159265f;
    BeginFrame();
    DrawSky(&sky_);
    int lit = 0;
    for (int x = 0; x < kViewWidth; ++x) {
      lit += BackPixel(x, kViewHeight / 2) != 0 ? 1 : 0;
    }
    return lit;
  }
};

TEST_F(SkyDomeTest, DomeIsASphericalCapFiveHundredAboveTheCamera) {
  EXPECT_NEAR(SkyDomeHeight(8, 8), 500.0f, 0.01f);
  // (X, Y) = (8192, 0) and a corner.
  // The engine's square root is good to a few parts in a million.
  EXPECT_NEAR(SkyDomeHeight(8, 16), -2731.3f, 0.1f);
  EXPECT_NEAR(SkyDomeHeight(0, 0), -8372.4f, 0.1f);
  EXPECT_FLOAT_EQ(SkyDomeHeight(16, 16), SkyDomeHeight(0, 0));
}

TEST_F(SkyDomeTest, VertexHeightChoosesTheGradientEntry) {
  const struct {
    float z;
    int entry;
  } cases[] = {{250.0f, 8}, {-50.0f, 16}, {10.0f, 16}, {29.9f, 16},        {30.0f, 15},
               {479.0f, 1}, {480.0f, 0},  {600.0f, 0}, {std::nanf(""), 16}};
  for (const auto& c : cases) {
    EXPECT_EQ(SkyGradientEntry(c.z), c.entry) << c.z;
  }
}

TEST_F(SkyDomeTest, VertexColourBlendsTheStepWithTheNextOneRow59FollowedByRow0) {
  const auto channel = [](std::uint8_t value) { return static_cast<float>(value) / 256.0f; };
  // Blend 1 shows row 59 alone; blend 0 the row after it, row 0, whose top colour differs.
  const SkyDomeColour row59 = SkyDomeVertexColour(59, 1.0f, 600.0f);
  EXPECT_FLOAT_EQ(row59.red, channel(0x4F));
  const SkyDomeColour row0 = SkyDomeVertexColour(59, 0.0f, 600.0f);
  EXPECT_FLOAT_EQ(row0.red, channel(0x5B));
  EXPECT_FLOAT_EQ(row0.blue, channel(0xCB));
  // A quarter of row 44 and three quarters of row 45 at the horizon.
  const SkyDomeColour night = SkyDomeVertexColour(44, 0.25f, 0.0f);
  const float expected = (static_cast<float>(SkyGradientTable[44][16].blue) * 0.25f +
                          static_cast<float>(SkyGradientTable[45][16].blue) * 0.75f) /
                         256.0f;
  EXPECT_FLOAT_EQ(night.blue, expected);
}

TEST_F(SkyDomeTest, PlaneFromThreePointsFacesByTheirOrder) {
  const float a[3] = {0, 0, 5};
  const float b[3] = {1, 0, 5};
  const float c[3] = {0, 1, 5};
  SkyPlane plane{};
  EXPECT_EQ(MakePlaneFrom3Points(&plane, a, b, c), 0);
  // (a - b) x (c - b) = (-1, 0, 0) x (-1, 1, 0) = (0, 0, -1).
  EXPECT_FLOAT_EQ(plane.normal[2], -1.0f);
  EXPECT_FLOAT_EQ(plane.distance, -5.0f);
  MakePlaneFrom3Points(&plane, c, b, a);
  EXPECT_FLOAT_EQ(plane.normal[2], 1.0f);
  EXPECT_FLOAT_EQ(plane.distance, 5.0f);
}

TEST_F(SkyDomeTest, BoxOutcodeNamesThePlanesABoxCrosses) {
  // The camera at (0, 0, 20) looks along +x: +y is its left, +z its top.
  BeginFrame();
  const SkyFrustum frustum = MakeSkyFrustum(*render_, *camera_);
  for (const SkyPlane& plane : frustum.planes) {
    const float ahead[3] = {100.0f, 0.0f, 20.0f};
    EXPECT_GT(plane.normal[0] * ahead[0] + plane.normal[1] * ahead[1] + plane.normal[2] * ahead[2] -
                  plane.distance,
              0.0f);
  }
  const struct {
    float min[3];
    float max[3];
    std::int32_t outcode;
  } cases[] = {
      {{90, -1, 19}, {100, 1, 21}, 0},
      {{-100, -1, 19}, {-90, 1, 21}, -1},
      {{0.5f, -0.1f, 19.9f}, {2, 0.1f, 20.1f}, R3X_CLIP_NEAR},
      {{90, 0, 19}, {100, 300, 21}, R3X_CLIP_LEFT},
      {{90, -300, 19}, {100, 0, 21}, R3X_CLIP_RIGHT},
      {{90, -1, 20}, {100, 1, 300}, R3X_CLIP_TOP},
      {{90, -1, -300}, {100, 1, 20}, R3X_CLIP_BOTTOM},
      {{90, -1, 600}, {100, 1, 700}, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ComputeBoxOutcode(frustum, c.min, c.max), c.outcode)
        << c.min[0] << " " << c.min[1] << " " << c.min[2];
  }
}

TEST_F(SkyDomeTest, NothingIsDrawnForAContextThatCannotDrawThroughTheBoard) {
  BeginFrame();
  platform::glide::StartRecording();
  render_->glideFlag = 0;
  EXPECT_EQ(DrawSky(&sky_), R3X_ERR_FAILED);
  render_->glideFlag = 1;
  render_->mode = R3X_MODE_PALETTISED;
  EXPECT_EQ(DrawSky(&sky_), R3X_ERR_FAILED);
  render_->mode = R3X_MODE_COLOUR;
  sky_.camera = nullptr;
  EXPECT_EQ(DrawSky(&sky_), R3X_ERR_FAILED);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(SkyDomeTest, TheSunAndTheMoonShowOnlyAboveTheHorizon) {
  const struct {
    float angle;
    bool shown;
  } cases[] = {{130, true}, {200, false}, {380, true}, {136, false}, {376, false}, {0, true}};
  for (const auto& c : cases) {
    BeginFrame();
    sky_.sunAngle = c.angle;
    sky_.moonAngle = c.angle;
    sky_.sunPosition = kUnset;
    sky_.moonPosition = kUnset;
    ASSERT_EQ(DrawSky(&sky_), 0);
    EXPECT_EQ(sky_.sunPosition != kUnset, c.shown) << c.angle;
    EXPECT_EQ(sky_.moonPosition != kUnset, c.shown) << c.angle;
  }
}

TEST_F(SkyDomeTest, SunStandsOnTheCamerasVerticalPlaneAlongXItsHeightFromZero) {
  camera_->x = 100.0f;
  camera_->y = -40.0f;
  sky_.sunAngle = 128.0f;  // on the horizon, straight along +x
  sky_.moonAngle = 0.0f;   // overhead
  BeginFrame();
  ASSERT_EQ(DrawSky(&sky_), 0);
  EXPECT_NEAR(sky_.sunPosition[0], 910.0f, 0.01f);
  EXPECT_FLOAT_EQ(sky_.sunPosition[1], -40.0f);
  EXPECT_NEAR(sky_.sunPosition[2], 0.0f, 0.01f);
  EXPECT_FLOAT_EQ(sky_.moonPosition[0], 100.0f);
  EXPECT_FLOAT_EQ(sky_.moonPosition[2], 800.0f);
}

TEST_F(SkyDomeTest, WeatherEnlargesTheSunByUpToTheFogScale) {
  // In rain no dome is drawn, so the sun stands on the clear colour.
  ASSERT_EQ(DrawSky(&sky_), 0);
  ASSERT_EQ(pool_.StartWeatherParticles(*camera_, WeatherMode::kRain), 0);
  sky_.sunScale = 80.0f;
  const int clear = SunWidth(0.0f);
  const int full = SunWidth(1.0f);
  ASSERT_GT(clear, 20);
  EXPECT_NEAR(static_cast<float>(full) / static_cast<float>(clear), 1.5f, 0.1f);
}

TEST_F(SkyDomeTest, RainLeavesTheDomeOutButNotTheSunMoonAndGround) {
  ASSERT_EQ(DrawSky(&sky_), 0);
  sky_.sunAngle = 100.0f;
  BeginFrame();
  ASSERT_EQ(DrawSky(&sky_), 0);
  EXPECT_EQ(r3xGlideSharedBatch()->polygonCount, 2 * kSkyDomeCells * kSkyDomeCells);
  const std::uint32_t withDome = render_->polygonCount;

  const std::uint32_t sunAndGround = 1 + 5;
  EXPECT_GT(withDome, sunAndGround);

  ASSERT_EQ(pool_.StartWeatherParticles(*camera_, WeatherMode::kRain), 0);
  BeginFrame();
  sky_.sunPosition = kUnset;
  ASSERT_EQ(DrawSky(&sky_), 0);
  EXPECT_NE(sky_.sunPosition, kUnset);
  // The sun and what is in view of the ground, no dome cell.
  EXPECT_GE(render_->polygonCount, 2u);
  EXPECT_LE(render_->polygonCount, sunAndGround);
}

TEST_F(SkyDomeTest, CellsOutsideTheViewAddEmptyPolygonsAndTheDomeFollowsTheCamera) {
  for (const float x : {0.0f, 5000.0f}) {
    camera_->x = x;
    BeginFrame();
    ASSERT_EQ(DrawSky(&sky_), 0);
    const R3xGlideBatch& batch = *r3xGlideSharedBatch();
    // Row 8, column 0 lies behind the camera; the cells ahead of it are in view.
    EXPECT_EQ(batch.polygonVertexCounts[2 * (8 * kSkyDomeCells + 0)], 0) << x;
    EXPECT_GE(batch.polygonVertexCounts[2 * (8 * kSkyDomeCells + 10)], 3) << x;
  }
}

TEST_F(SkyDomeTest, FirstFrameFreesThePoolLaterFramesLeaveIt) {
  const float at[3] = {0, 0, 0};
  const float velocity[3] = {0, 0, 1};
  pool_.EmitParticleBurst(ParticleKind::kBurst, 100, at, velocity, 0.0125f, 20, 255, 0, 0);
  ASSERT_GT(pool_.Count(), 0);
  BeginFrame();
  ASSERT_EQ(DrawSky(&sky_), 0);
  EXPECT_EQ(pool_.Count(), 0);
  EXPECT_TRUE(std::all_of(pool_.Entries().begin(), pool_.Entries().end(),
                          [](const Particle& p) { return p.kind == ParticleKind::kFree; }));

  pool_.EmitParticleBurst(ParticleKind::kBurst, 100, at, velocity, 0.0125f, 20, 255, 0, 0);
  const std::int32_t count = pool_.Count();
  BeginFrame();
  ASSERT_EQ(DrawSky(&sky_), 0);
  EXPECT_EQ(pool_.Count(), count);
}

// A player who joins while it rains: the rain began before the first sky frame.
TEST_F(SkyDomeTest, RainThatBeganBeforeTheFirstFrameGoesOnFalling) {
  const float at[3] = {0, 0, 0};
  const float velocity[3] = {0, 0, 1};
  ASSERT_EQ(pool_.StartWeatherParticles(*camera_, WeatherMode::kRain), 0);
  pool_.EmitParticleBurst(ParticleKind::kBurst, 100, at, velocity, 0.0125f, 20, 255, 0, 0);
  BeginFrame();
  ASSERT_EQ(DrawSky(&sky_), 0);
  EXPECT_EQ(pool_.Mode(), WeatherMode::kRain);
  // No dome: with the sun and the moon down only the ground in view is drawn.
  EXPECT_LE(render_->polygonCount, 5u);
  // The rain's drops, and nothing else, fall around the camera.
  EXPECT_EQ(pool_.Count(), static_cast<std::int32_t>(CParticlePool::kRainDrops));
  EXPECT_TRUE(std::all_of(pool_.Entries().begin(),
                          pool_.Entries().begin() + CParticlePool::kRainDrops,
                          [](const Particle& p) { return p.kind == ParticleKind::kRainDrop; }));
  EXPECT_TRUE(std::all_of(pool_.Entries().begin() + CParticlePool::kRainDrops,
                          pool_.Entries().end(),
                          [](const Particle& p) { return p.kind == ParticleKind::kFree; }));
}

// Each missing bitmap ends the frame where it is needed, with depth writes and table fog on again.
TEST_F(SkyDomeTest, MissingBitmapFailsTheFrameWithDepthAndFogBackOn) {
  sky_.sunAngle = 0.0f;
  sky_.moonAngle = 0.0f;
  for (R3xBitmap* SkyState::*field : kSkyBitmapFields) {
    R3xBitmap* kept = sky_.*field;
    if (field == &SkyState::flareRingBitmap || field == &SkyState::flareDiscBitmap) {
      continue;
    }
    sky_.*field = nullptr;
    BeginFrame();
    platform::glide::StartRecording();
    EXPECT_EQ(DrawSky(&sky_), R3X_ERR_FAILED);
    const std::vector<std::string> calls = Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "grFogMode(2)");
    EXPECT_EQ(calls.back(), "grDepthMask(1)");
    platform::glide::StopRecording();
    sky_.*field = kept;
  }
}

TEST_F(SkyDomeTest, ABitmapTheBoardCannotTakeFailsTheFrame) {
  // A side of 3 texels is no texture the board can hold.
  const std::int32_t width = sky_.skyBitmap->width;
  sky_.skyBitmap->width = 3;
  BeginFrame();
  EXPECT_EQ(DrawSky(&sky_), R3X_ERR_FAILED);
  sky_.skyBitmap->width = width;
}

}  // namespace
