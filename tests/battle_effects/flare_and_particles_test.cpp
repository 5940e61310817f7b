// The lens flare (when it shows, what hides it, where its elements go, a texture that is missing)
// and the particles' drawing (blend by kind, colours, the rain's grey, lines on whole pixels).
#include "battle/effects/flare_and_particles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "battle/effects/ambient_table.h"
#include "battle/effects/lens_flare.h"
#include "battle/effects/sky_dome.h"
#include "battle/effects/sky_view.h"
#include "tests/battle_effects/sky_fixture.h"

namespace {

using platform::glide::RecordedCall;

// The sun straight ahead of the fixture's camera: the middle of the view, pixel (80, 60).
constexpr std::array<float, 3> kSunAhead = {500.0f, 0.0f, 20.0f};
constexpr std::uint32_t kFlareElements = 8;

std::vector<RecordedCall> CallsNamed(const std::string& name) {
  std::vector<RecordedCall> found;
  for (const RecordedCall& call : platform::glide::RecordedCalls()) {
    if (call.name == name) {
      found.push_back(call);
    }
  }
  return found;
}

bool Contains(const std::vector<std::string>& calls, const std::vector<std::string>& inOrder) {
  auto at = calls.begin();
  for (const std::string& wanted : inOrder) {
    at = std::find(at, calls.end(), wanted);
    if (at == calls.end()) {
      return false;
    }
    ++at;
  }
  return true;
}

class FlareTest : public SkyTest {
 protected:
  void SetUp() override {
    SkyTest::SetUp();
    // The library's first sky frame frees the pool; the tests fill it afterwards.
    BeginFrame();
    ASSERT_EQ(DrawSky(&sky_), 0);
    sky_.sunAngle = 0.0f;
    sky_.sunPosition = kSunAhead;
  }

  // A depth-writing square of 5 x 5 pixels at (x, y), nearer than anything of the sky.
  static void Occlude(float x, float y) {
    GrVertex corners[4]{};
    const float offsets[4][2] = {{-2.5f, -2.5f}, {2.5f, -2.5f}, {2.5f, 2.5f}, {-2.5f, 2.5f}};
    for (int k = 0; k < 4; ++k) {
      corners[k].x = x + offsets[k][0];
      corners[k].y = y + offsets[k][1];
      corners[k].oow = 1.0f;
      corners[k].r = corners[k].g = corners[k].b = corners[k].a = 255.0f;
    }
    grDrawPolygonVertexList(4, corners);
  }

  // A pool whose random numbers are all 10: every burst and spark attempt makes a particle that
  // keeps the given velocity.
  CParticlePool tens_{[] { return 10u; }};
};

TEST_F(FlareTest, FlareShowsWhileTheSunIsWithin128OfNoon) {
  const struct {
    float angle;
    bool shown;
  } cases[] = {{128, true}, {384, true}, {0, true}, {129, false}, {383, false}, {256, false}};
  for (const auto& c : cases) {
    BeginFrame();
    sky_.sunAngle = c.angle;
    ASSERT_EQ(DrawFlareAndParticles(&sky_), 0);
    EXPECT_EQ(render_->polygonCount, c.shown ? kFlareElements : 0u) << c.angle;
  }
}

TEST_F(FlareTest, SunPixelMustLieOnTheViewInFrontOfTheCamera) {
  BeginFrame();
  // A 640 x 480 view in which clip space is the camera's own space.
  camera_->x = camera_->y = camera_->z = 0.0f;
  render_->halfViewWidth = 320.0f;
  render_->halfViewHeight = 240.0f;
  std::fill(std::begin(render_->view), std::end(render_->view), 0.0f);
  render_->view[8] = 1.0f;
  render_->clipColumns[0][0] = 1.0f;
  render_->clipColumns[0][1] = render_->clipColumns[0][2] = 0.0f;
  render_->clipColumns[1][1] = 1.0f;
  render_->clipColumns[1][0] = render_->clipColumns[1][2] = 0.0f;
  const struct {
    std::array<float, 3> sun;
    bool onView;
    int x;
    int y;
  } cases[] = {
      {{0, 0, 100}, true, 320, 240},
      // Screen x 639.5, rounded in sixteenths: pixel 639, the last column.
      {{99.84375f, 0, 100}, true, 639, 240},
      {{100, 0, 100}, false, 0, 0},
      {{-100.1f, 0, 100}, false, 0, 0},
      {{0, -99.89f, 100}, true, 320, 479},
      {{0, 0, -100}, false, 0, 0},
      {{std::nanf(""), 0, 100}, false, 0, 0},
      {{1e30f, 0, 100}, false, 0, 0},
  };
  for (const auto& c : cases) {
    sky_.sunPosition = c.sun;
    const SunPixel pixel = FindSunPixel(sky_);
    EXPECT_EQ(pixel.onView, c.onView) << c.sun[0] << " " << c.sun[1] << " " << c.sun[2];
    if (c.onView && pixel.onView) {
      EXPECT_EQ(pixel.x, c.x);
      EXPECT_EQ(pixel.y, c.y);
    }
  }
}

TEST_F(FlareTest, AnythingDrawnOnTheSunsOwnPixelHidesTheWholeFlare) {
  BeginFrame();
  Occlude(80.0f, 60.0f);
  ASSERT_EQ(DrawFlareAndParticles(&sky_), 0);
  EXPECT_EQ(render_->polygonCount, 0u);
  // The depth is read from the sun's row: the row as far from the bottom does not hide it.
  BeginFrame();
  Occlude(80.0f, 479.0f - 60.0f);
  ASSERT_EQ(DrawFlareAndParticles(&sky_), 0);
  EXPECT_EQ(render_->polygonCount, kFlareElements);
}

TEST_F(FlareTest, FlareIsDrawnWithoutFogOverEverythingThenDepthAndFogReturn) {
  BeginFrame();
  platform::glide::StartRecording();
  ASSERT_EQ(DrawFlareAndParticles(&sky_), 0);
  const std::vector<std::string> calls = Calls();
  EXPECT_TRUE(
      Contains(calls, {"grLfbLock(0, 2, 255, 255, 0)", "grLfbUnlock(0, 2)", "grFogMode(0)",
                       "grDepthBufferFunction(7)", "grDepthMask(0)", "grDrawPolygonVertexList(4)",
                       "grDepthMask(1)", "grDepthBufferFunction(3)", "grFogMode(2)"}));
  EXPECT_EQ(CallsNamed("grDrawPolygonVertexList").size(), kFlareElements);
}

// The element's square on the screen: its centre and half side in pixels.
struct ScreenSquare {
  float x;
  float y;
  float half;
};

ScreenSquare LastSquare() {
  const std::vector<RecordedCall> drawn = CallsNamed("grDrawPolygonVertexList");
  const std::vector<GrVertex>& v = drawn.back().vertices;
  float minX = v[0].x;
  float maxX = v[0].x;
  float sumX = 0.0f;
  float sumY = 0.0f;
  for (const GrVertex& vertex : v) {
    minX = std::min(minX, vertex.x);
    maxX = std::max(maxX, vertex.x);
    sumX += vertex.x;
    sumY += vertex.y;
  }
  const auto n = static_cast<float>(v.size());
  return {sumX / n, sumY / n, (maxX - minX) / 2.0f};
}

TEST_F(FlareTest, ElementRunsFromTheSunToTheMiddleOfTheViewAtAFixedScreenSize) {
  BeginFrame();
  ASSERT_EQ(r3xGlideSelectBitmap(glide_, sky_.flareDiscBitmap), 0);
  // The sun up and to the left of the view's middle.
  const float sun[3] = {400.0f, 60.0f, 60.0f};
  platform::glide::StartRecording();
  ASSERT_EQ(DrawFlareElement(sky_.world, render_, camera_, sky_.flareDiscBitmap, sun, 1.0f, 0.4f,
                             255, 255, 255),
            0);
  ScreenSquare square = LastSquare();
  EXPECT_NEAR(square.x, 80.0f, 0.1f);
  EXPECT_NEAR(square.y, 60.0f, 0.1f);
  EXPECT_NEAR(square.half, 50.0f * 0.4f, 0.1f);

  ASSERT_EQ(DrawFlareElement(sky_.world, render_, camera_, sky_.flareDiscBitmap, sun, 0.0f, 0.2f,
                             255, 255, 255),
            0);
  square = LastSquare();
  const ClipPoint clip = ToClipSpace(*render_, *camera_, sun);
  const GrVertex onScreen = ProjectToScreen(*render_, clip);
  EXPECT_NEAR(square.x, onScreen.x, 0.1f);
  EXPECT_NEAR(square.y, onScreen.y, 0.1f);
  EXPECT_LT(square.x, 80.0f);
  EXPECT_NEAR(square.half, 50.0f * 0.2f, 0.1f);
}

TEST_F(FlareTest, MissingFlareTextureFailsWithDepthAndFogBackAndTheParticlesStillRun) {
  sky_.particles = &tens_;
  const float at[3] = {100.0f, 0.0f, 20.0f};
  const float still[3] = {0.0f, 0.0f, 0.0f};
  ASSERT_EQ(tens_.EmitParticleBurst(ParticleKind::kBurst, 1, at, still, 0.0f, 20, 255, 0, 0), 0);
  const std::int32_t life = tens_.Entries()[0].life;
  sky_.flareDiscBitmap = nullptr;
  BeginFrame();
  platform::glide::StartRecording();
  EXPECT_EQ(DrawFlareAndParticles(&sky_), R3X_ERR_FAILED);
  EXPECT_TRUE(Contains(Calls(), {"grDepthMask(0)", "grDepthMask(1)", "grDepthBufferFunction(3)",
                                 "grFogMode(2)", "grDrawPoint()"}));
  EXPECT_EQ(tens_.Entries()[0].life, life - 1);
}

TEST_F(FlareTest, NothingIsDrawnOrAgedForAContextThatCannotDrawThroughTheBoard) {
  sky_.particles = &tens_;
  const float at[3] = {100.0f, 0.0f, 20.0f};
  const float still[3] = {0.0f, 0.0f, 0.0f};
  tens_.EmitParticleBurst(ParticleKind::kBurst, 1, at, still, 0.0f, 20, 255, 0, 0);
  const std::int32_t life = tens_.Entries()[0].life;
  BeginFrame();
  render_->glideFlag = 0;
  platform::glide::StartRecording();
  EXPECT_EQ(DrawFlareAndParticles(&sky_), R3X_ERR_FAILED);
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(tens_.Entries()[0].life, life);
}

TEST_F(FlareTest, ParticlesSetTheirBlendWhenTheKindChangesAndDrawInTheirColours) {
  sky_.particles = &tens_;
  sky_.sunAngle = 256.0f;
  const float at[3] = {100.0f, 0.0f, 20.0f};
  const float still[3] = {0.0f, 0.0f, 0.0f};
  ASSERT_EQ(tens_.EmitParticleBurst(ParticleKind::kBurst, 4, at, still, 0.0f, 20, 255, 128, 0), 0);
  const float top[3] = {100.0f, 5.0f, 30.0f};
  const float bottom[3] = {100.0f, 5.0f, 10.0f};
  tens_.EmitSparks(top, bottom);
  BeginFrame();
  platform::glide::StartRecording();
  ASSERT_EQ(DrawFlareAndParticles(&sky_), 0);
  std::vector<std::string> blends;
  for (const RecordedCall& call : CallsNamed("grAlphaBlendFunction")) {
    blends.push_back(call.Text());
  }
  // The pass's own, then bursts and sparks, each added onto the frame.
  EXPECT_EQ(blends, (std::vector<std::string>{"grAlphaBlendFunction(1, 5, 4, 0)",
                                              "grAlphaBlendFunction(1, 4, 4, 0)",
                                              "grAlphaBlendFunction(1, 4, 4, 0)"}));
  const std::vector<RecordedCall> points = CallsNamed("grDrawPoint");
  ASSERT_EQ(points.size(), 4u);
  const GrVertex& point = points[0].vertices[0];
  EXPECT_FLOAT_EQ(point.r, 255.0f);
  EXPECT_FLOAT_EQ(point.g, 128.0f);
  EXPECT_FLOAT_EQ(point.b, 0.0f);
  EXPECT_FLOAT_EQ(point.a, 128.0f);
  EXPECT_NEAR(point.x, 80.0f, 0.01f);
  const std::vector<RecordedCall> lines = CallsNamed("grDrawLine");
  ASSERT_EQ(lines.size(), 3u);
  // From 2 above the spark, light blue and faint, down to it, blue and solid.
  EXPECT_FLOAT_EQ(lines[0].vertices[0].r, 120.0f);
  EXPECT_FLOAT_EQ(lines[0].vertices[0].a, 64.0f);
  EXPECT_FLOAT_EQ(lines[0].vertices[1].r, 60.0f);
  EXPECT_FLOAT_EQ(lines[0].vertices[1].a, 255.0f);
  EXPECT_LT(lines[0].vertices[0].y, lines[0].vertices[1].y);
}

// A repeatable stand-in for the runtime's rand.
std::uint32_t NextRandom() {
  static std::uint32_t state = 2024;
  state = state * 1103515245u + 12345u;
  return (state >> 16) & 0x7FFF;
}

TEST_F(FlareTest, RainStreaksFadeInTowardTheDropOnWholePixelsAsBrightAsTheHourAllows) {
  CParticlePool rain(NextRandom);
  sky_.particles = &rain;
  sky_.sunAngle = 256.0f;
  camera_->pitch = 40.0f;
  ASSERT_EQ(rain.StartWeatherParticles(*camera_, WeatherMode::kRain), 0);
  for (const std::int32_t step : {44, 14}) {
    sky_.step = step;
    const float grey = std::min(AmbientTable[static_cast<std::size_t>(step)] + 0.2f, 1.0f) * 255.0f;
    BeginFrame();
    platform::glide::StartRecording();
    ASSERT_EQ(DrawFlareAndParticles(&sky_), 0);
    const std::vector<RecordedCall> lines = CallsNamed("grDrawLine");
    ASSERT_FALSE(lines.empty());
    EXPECT_LT(lines.size(), CParticlePool::kRainDrops);
    for (const RecordedCall& line : lines) {
      const GrVertex& tail = line.vertices[0];
      const GrVertex& head = line.vertices[1];
      EXPECT_FLOAT_EQ(tail.r, grey);
      EXPECT_FLOAT_EQ(head.b, grey);
      EXPECT_FLOAT_EQ(tail.a, 0.0f);
      EXPECT_FLOAT_EQ(head.a, 255.0f);
      EXPECT_EQ(head.x, std::round(head.x));
      EXPECT_EQ(tail.y, std::round(tail.y));
    }
    platform::glide::StopRecording();
  }
}

}  // namespace
