#include <cstdint>
#include <vector>

#include "engine/core/light_internal.h"
#include "engine/core/math_sqrt.h"
#include "engine/raster/face_shading8_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/vertex_lighting8_internal.h"
#include "tests/engine_raster/raster_fixture.h"

namespace {

constexpr float kUp[3] = {0.0f, 0.0f, 1.0f};

// Clip space is the view space: x right, y up, z ahead.
class VertexLighting8Test : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    render_->clipColumns[0][0] = 1.0f;
    render_->clipColumns[1][1] = 1.0f;
    render_->view[8] = 1.0f;
  }
  void SetLights(std::vector<R3xObjectHeader*> lights) {
    lights_ = std::move(lights);
    render_->lights = lights_.data();
    render_->lightCount = static_cast<std::uint32_t>(lights_.size());
  }
  // The term of a light straight above a vertex at height h, as the engine computes it.
  static float TermAbove(float h, float radius, float intensity) {
    return h * r3xInvSqrt(h * h) * radius * radius * intensity * 0.05f / (h * h + 1.0f);
  }
  std::vector<R3xObjectHeader*> lights_;
};

TEST_F(VertexLighting8Test, PointLightsAddTheirTermsToTheSourceVertices) {
  R3xPointLight above = MakePointLight(0, 0, 2, 2);
  R3xPointLight behind = MakePointLight(0, 0, -2, 2);
  R3xPointLight onVertex = MakePointLight(5, 0, 0, 2);
  R3xPointLight excluded = MakePointLight(0, 0, 3, 2);
  SetLights({&above.header, &behind.header, &onVertex.header, &excluded.header});
  render_->excludedLight = &excluded.header;
  Source()[0] = At(0, 0, 0);
  Source()[1] = At(5, 0, 0);
  ASSERT_EQ(_r3xLightVertices8(render_, 2, kUp, 0.25f), R3X_DONE);
  EXPECT_FLOAT_EQ(Input()[0].red, 0.25f + TermAbove(2, 2, 1));
  // The vertex at a light gains nothing from it; the light above is 5 away sideways.
  const float d2 = 25.0f + 4.0f;
  const float side = 2.0f * r3xInvSqrt(d2) * 4.0f * 0.05f / (d2 + 1.0f);
  EXPECT_FLOAT_EQ(Input()[1].red, 0.25f + side);
}

TEST_F(VertexLighting8Test, TheCopiedLightIsLimitedAboveOnly) {
  Source()[0] = At(0, 0, 0, 0, 3, 4);
  ASSERT_EQ(_r3xLightTexturedVertices8(render_, 1, kUp, 1.5f), R3X_DONE);
  EXPECT_EQ(Input()[0].red, 0.99999f);
  EXPECT_EQ(Input()[0].u, 3.0f);
  EXPECT_EQ(Input()[0].v, 4.0f);
  ASSERT_EQ(_r3xLightVertices8(render_, 1, kUp, -0.5f), R3X_DONE);
  EXPECT_EQ(Input()[0].red, -0.5f);
}

TEST_F(VertexLighting8Test, VertexNormalsTakePointLightsWhenSmoothAndDirectionalOnesWhenAsked) {
  R3xPointLight above = MakePointLight(0, 0, 2, 2);
  R3xDirectionalLight down{};
  down.header.type = R3X_TYPE_DIRECTIONAL_LIGHT;
  down.light = &light_;
  down.direction[2] = -1.0f;
  SetLights({&down.header, &above.header});
  R3xClipVertex vertex = At(0, 0, 0);
  vertex.normal[2] = 1.0f;
  struct Case {
    R3xRenderMethod method;
    float expected;
  };
  const Case cases[] = {
      {0, 0.1f},
      {R3X_METHOD_SMOOTH, 0.1f + TermAbove(2, 2, 1)},
      {R3X_METHOD_DIRECTIONAL, 0.1f + 1.0f},
  };
  for (const Case& c : cases) {
    Source()[0] = vertex;
    ASSERT_EQ(_r3xLightVerticesNormals8(render_, 1, 0.1f, c.method), R3X_DONE);
    EXPECT_FLOAT_EQ(Source()[0].red, c.expected) << c.method;
  }
}

// The work arrays hold 32 vertices.
TEST_F(VertexLighting8Test, MoreVerticesThanTheWorkArraysHoldAreRefused) {
  EXPECT_EQ(_r3xLightVertices8(render_, 32, kUp, 0.1f), R3X_DONE);
  EXPECT_EQ(_r3xLightVertices8(render_, 33, kUp, 0.1f), R3X_ERR_FAILED);
  EXPECT_EQ(_r3xLightTexturedVerticesNormals8(render_, 33, 0.1f, 0), R3X_ERR_FAILED);
}

TEST_F(VertexLighting8Test, AnimatedLightsStepTheirFrames) {
  const float intensities[4] = {0.1f, 0.2f, 0.3f, 0.4f};
  R3xLightDef definition{};
  definition.frameCount = 4;
  definition.intensities = const_cast<float*>(intensities);
  struct Case {
    std::uint32_t delay;
    std::int32_t catchUp;
    std::uint32_t frame;
    std::uint32_t next;
  };
  const Case cases[] = {
      {100, 1, (1 + 21) % 4, 5000 + 100},
      {100, 0, 2, 5000 + 100},
      // A delay of 0 steps one frame instead of dividing by it.
      {0, 1, 2, 5000},
  };
  for (const Case& c : cases) {
    R3xLight light{};
    light.definition = &definition;
    light.currentFrame = 1;
    light.delay = c.delay;
    light.word = c.catchUp;
    light.startTime = 3000;
    EXPECT_FLOAT_EQ(_r3xCurrentLightIntensity(&light, 5000), intensities[c.frame]);
    EXPECT_EQ(light.currentFrame, c.frame);
    EXPECT_EQ(light.startTime, c.next);
  }
}

TEST_F(VertexLighting8Test, TheViewerLightShinesOnVerticesFacingTheEye) {
  render_->raster.viewerLight = 0.5f;
  const float towardEye[3] = {0.0f, 0.0f, -1.0f};
  R3xClipVertex vertices[3] = {At(0, 0, 5, 0.2f), At(0, 0, 5, 0.99999f), At(0, 0, 0, 0.2f)};
  ASSERT_EQ(_r3xAddViewLight8(render_, vertices, 3, towardEye), R3X_DONE);
  EXPECT_FLOAT_EQ(vertices[0].red, 0.2f + 0.5f * (5.0f * r3xInvSqrt(25.0f)) / 26.0f);
  EXPECT_EQ(vertices[1].red, 0.99999f);
  EXPECT_EQ(vertices[2].red, 0.2f);
  R3xClipVertex away = At(0, 0, 5, 0.2f);
  away.normal[2] = 1.0f;
  ASSERT_EQ(_r3xAddViewLightNormals8(render_, &away, 1), R3X_DONE);
  EXPECT_EQ(away.red, 0.2f);
}

// Four vertices 10 away: the mean distance is 10 (as the engine's square root gives it).
class FaceFogTest : public VertexLighting8Test {
 protected:
  void SetUp() override {
    VertexLighting8Test::SetUp();
    distance_ = r3xSqrt(100.0f);
    render_->fogMode = R3X_FOG_MODE_2;
    render_->fogDistance = 64.0f;
    render_->fogScale = 1.0f / 64.0f;
    shade_.assign(16 * 4096, 0);
    render_->shadeData = shade_.data();
    for (R3xClipVertex& v : vertices_) {
      v = At(0, 0, 10);
    }
  }
  float distance_ = 0.0f;
  std::vector<std::uint8_t> shade_;
  R3xClipVertex vertices_[4];
};

TEST_F(FaceFogTest, TheFogFactorScalesTheMeanDistancePastTheStart) {
  struct Case {
    float start;
    float fog;
  };
  const Case cases[] = {
      {distance_ + 1.0f, 0.0f},
      {distance_ - 64.0f, 0.99999f},
      {distance_ - 80.0f, 0.99999f},
      {distance_ - 16.0f, 0.25f},
  };
  for (const Case& c : cases) {
    render_->raster.fogStart = c.start;
    EXPECT_EQ(_r3xPolygonFogFactor(render_, 4, vertices_), c.fog) << c.start;
  }
}

TEST_F(FaceFogTest, AFlatFaceIsFoggedFromOneSixteenth) {
  R3xSurface surface{};
  for (float past : {3.84f, 4.0f}) {
    render_->raster.fogStart = distance_ - past;
    R3xFaceShading shading = _r3xFaceBaseLight8(render_, &surface, R3X_LIGHTING_ZERO, kUp);
    _r3xDecideFaceFog8(render_, vertices_, 4, &shading);
    EXPECT_EQ(shading.fog, past == 4.0f) << past;
  }
}

TEST_F(FaceFogTest, ASmoothFaceGetsFogPerVertexOrOneFoldedLevel) {
  R3xSurface surface{};
  vertices_[2] = At(0, 0, 40);
  render_->raster.fogStart = 0.0f;
  R3xFaceShading shading = _r3xFaceBaseLight8(render_, &surface, R3X_METHOD_SMOOTH, kUp);
  _r3xDecideFaceFog8(render_, vertices_, 4, &shading);
  EXPECT_TRUE(shading.fog);
  EXPECT_EQ(vertices_[0].fog, distance_ / 64.0f);
  EXPECT_EQ(vertices_[2].fog, r3xSqrt(1600.0f) / 64.0f);
  // 36 to 39 past the start: fog level 9 for every vertex.
  render_->raster.fogStart = -26.0f;
  vertices_[2] = At(0, 0, 10);
  vertices_[3] = At(0, 0, 13);
  shading = _r3xFaceBaseLight8(render_, &surface, R3X_METHOD_SMOOTH, kUp);
  _r3xDecideFaceFog8(render_, vertices_, 4, &shading);
  EXPECT_FALSE(shading.fog);
  EXPECT_EQ(shading.shadeData, shade_.data() + 9 * 4096);
  EXPECT_FLOAT_EQ(shading.fogAmount, (r3xSqrt(169.0f) + 26.0f) / 64.0f);
  // Nearer than the start: no fog.
  render_->raster.fogStart = 50.0f;
  shading = _r3xFaceBaseLight8(render_, &surface, R3X_METHOD_SMOOTH, kUp);
  _r3xDecideFaceFog8(render_, vertices_, 4, &shading);
  EXPECT_FALSE(shading.fog);
  EXPECT_EQ(shading.fogAmount, 0.0f);
}

// The spot is searched for on smooth faces that are not keyed while a current face is named;
// such a face still gets its fog per vertex.
TEST_F(FaceFogTest, AFaceWithTheLightSpotIsFoggedPerVertex) {
  R3xSurface surface{};
  R3xRegionFace face{};
  render_->raster.currentFace = &face;
  render_->raster.fogStart = 0.0f;
  vertices_[2] = At(0, 0, 40);
  EXPECT_FALSE(
      _r3xFaceBaseLight8(render_, &surface, R3X_METHOD_SMOOTH | R3X_METHOD_KEYED, kUp).spot);
  R3xFaceShading shading = _r3xFaceBaseLight8(render_, &surface, R3X_METHOD_SMOOTH, kUp);
  ASSERT_TRUE(shading.spot);
  _r3xDecideFaceFog8(render_, vertices_, 4, &shading);
  EXPECT_TRUE(shading.fog);
  EXPECT_EQ(vertices_[0].fog, distance_ / 64.0f);
  EXPECT_EQ(vertices_[2].fog, r3xSqrt(1600.0f) / 64.0f);
  render_->raster.currentFace = nullptr;
  EXPECT_FALSE(_r3xFaceBaseLight8(render_, &surface, R3X_METHOD_SMOOTH, kUp).spot);
}

TEST_F(FaceFogTest, ASmoothFaceOfOneLightLevelIsDrawnFlat) {
  struct Case {
    float low;
    float high;
    bool spot;
    bool smooth;
  };
  const Case cases[] = {
      {0.50f, 0.53f, false, false},
      {0.55f, 0.60f, false, true},
      {0.50f, 0.53f, true, true},
  };
  R3xSurface surface{};
  render_->fogMode = R3X_FOG_OFF;
  for (const Case& c : cases) {
    vertices_[0].red = c.low;
    vertices_[1].red = c.high;
    vertices_[2].red = c.low;
    vertices_[3].red = c.low;
    R3xFaceShading shading = _r3xFaceBaseLight8(render_, &surface, R3X_METHOD_SMOOTH, kUp);
    shading.spot = c.spot;
    _r3xFlatFallback8(render_, vertices_, 4, &shading);
    EXPECT_EQ(shading.smooth, c.smooth) << c.high;
    if (!c.smooth) {
      EXPECT_EQ(shading.light, c.high);
    }
  }
  // A folded fog level goes back to the fog amount.
  render_->fogMode = R3X_FOG_MODE_2;
  render_->raster.fogStart = -26.0f;
  R3xFaceShading shading = _r3xFaceBaseLight8(render_, &surface, R3X_METHOD_SMOOTH, kUp);
  vertices_[1].red = 0.53f;
  _r3xDecideFaceFog8(render_, vertices_, 4, &shading);
  ASSERT_FALSE(shading.fog);
  _r3xFlatFallback8(render_, vertices_, 4, &shading);
  EXPECT_FALSE(shading.smooth);
  EXPECT_TRUE(shading.fog);
  EXPECT_EQ(shading.shadeData, shade_.data());
}

TEST_F(VertexLighting8Test, TheLightingCodeGivesTheBaseLight) {
  R3xSurface surface{};
  surface.intensity = 1.5f;
  surface.ambientScale = 3.0f;
  render_->raster.ambientLight = 0.25f;
  struct Case {
    R3xRenderMethod code;
    float light;
  };
  const Case cases[] = {
      {R3X_LIGHTING_ZERO, 0.0f},
      {R3X_LIGHTING_FULL, 0.99999f},
      {R3X_LIGHTING_CONSTANT, 0.99999f},
      {R3X_LIGHTING_AMBIENT, 0.25f},
      {R3X_LIGHTING_SCALED_AMBIENT, 0.75f},
      // Codes that name no light.
      {0x0C, 0.0f},
      {0x18, 0.0f},
      {0x1C, 0.0f},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(_r3xFaceBaseLight8(render_, &surface, c.code, kUp).light, c.light) << c.code;
  }
  surface.intensity = -0.5f;
  EXPECT_EQ(_r3xFaceBaseLight8(render_, &surface, R3X_LIGHTING_CONSTANT, kUp).light, -0.5f);
  render_->raster.ambientLight = 0.5f;
  EXPECT_EQ(_r3xFaceBaseLight8(render_, &surface, R3X_LIGHTING_SCALED_AMBIENT, kUp).light,
            0.99999f);
}

TEST_F(VertexLighting8Test, DirectionalLightsAtTheHeadOfTheListAddToTheBaseLight) {
  R3xSurface surface{};
  surface.intensity = 0.5f;
  R3xDirectionalLight down{};
  down.header.type = R3X_TYPE_DIRECTIONAL_LIGHT;
  down.light = &light_;
  down.direction[2] = -0.25f;
  R3xPointLight point = MakePointLight(0, 0, 1, 1);
  R3xDirectionalLight late = down;
  SetLights({&down.header, &point.header, &late.header});
  const R3xRenderMethod method = R3X_LIGHTING_CONSTANT | R3X_METHOD_DIRECTIONAL;
  R3xFaceShading shading = _r3xFaceBaseLight8(render_, &surface, method, kUp);
  EXPECT_EQ(shading.light, 0.75f);
  EXPECT_FALSE(shading.smooth);
  shading = _r3xFaceBaseLight8(render_, &surface, method | R3X_METHOD_VERTEX_NORMALS, kUp);
  EXPECT_EQ(shading.light, 0.5f);
  EXPECT_TRUE(shading.smooth);
  // Lit to 0.9375 or more: flat, without the directional lights.
  surface.intensity = 0.9375f;
  shading = _r3xFaceBaseLight8(render_, &surface, method | R3X_METHOD_SMOOTH, kUp);
  EXPECT_EQ(shading.light, 0.9375f);
  EXPECT_FALSE(shading.smooth);
  EXPECT_EQ(shading.method & R3X_METHOD_DIRECTIONAL, 0u);
}

}  // namespace
