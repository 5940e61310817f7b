#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/directional_light.h"
#include "engine/core/light.h"
#include "engine/core/render_work_arrays_internal.h"
#include "engine/core/vertex_lighting.h"
#include "tests/engine_display/display_fixture.h"

namespace {

using Texts = std::vector<std::string>;

constexpr R3xRenderMethod kFull = R3X_LIGHTING_FULL | R3X_RENDER_FILL_SOLID;
constexpr R3xRenderMethod kTextured = 0x100;

struct Corner {
  float x, y, z;
};

class PolygonTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    palette_[7] = {200, 100, 40, 0};
    palette_[9] = {255, 255, 255, 0};
    render_->paletteColours = palette_;
    render_->halfViewWidth = 320.0f;
    render_->halfViewHeight = 240.0f;
    render_->nearDistance = 1.0f;
    render_->farDistance = 100.0f;
    surface_.pen = 7;
  }

  // The corners in clip space (the source positions are not read without lights).
  void SetCorners(const std::vector<Corner>& corners) {
    for (std::size_t i = 0; i < corners.size(); ++i) {
      R3xClipVertex& in = render_->work.clip[1][i];
      in = R3xClipVertex{};
      in.x = corners[i].x;
      in.y = corners[i].y;
      in.z = corners[i].z;
    }
  }
  void SetTriangle(float z = 10.0f) { SetCorners({{0, 0, z}, {z, 0, z}, {0, z, z}}); }

  // The vertices of the one draw call recorded.
  static std::vector<GrVertex> Drawn() {
    for (const auto& call : platform::glide::RecordedCalls()) {
      if (call.name == "grDrawPolygonVertexList") {
        return call.vertices;
      }
    }
    return {};
  }

  PALETTEENTRY palette_[256]{};
  R3xSurface surface_{};
};

TEST_F(PolygonTest, ProjectsToSixteenthsWithWForTheFarDistance) {
  SetCorners({{0.3f, 0.0f, 10.0f}, {100.0f, 0.0f, 100.0f}, {0.0f, -10.0f, 10.0f}});
  Record();
  EXPECT_EQ(r3xGlideDrawPolygon(render_, 3, &surface_, kFull), R3X_GLIDE_POLYGON_DRAWN);
  const std::vector<GrVertex> v = Drawn();
  ASSERT_EQ(v.size(), 3u);
  // (1 + 0.03) x 320 = 329.6 snaps to 329.625.
  EXPECT_FLOAT_EQ(v[0].x, 329.625f);
  EXPECT_FLOAT_EQ(v[0].y, 240.0f);
  EXPECT_FLOAT_EQ(v[0].oow, 10.0f / 65528.0f);
  EXPECT_FLOAT_EQ(v[1].x, 640.0f);
  EXPECT_FLOAT_EQ(v[1].oow, 1.0f / 65528.0f);
  EXPECT_FLOAT_EQ(v[2].y, 480.0f);
  // Full light gives the palette colour of the pen, opaque.
  EXPECT_FLOAT_EQ(v[0].r, 200.0f);
  EXPECT_FLOAT_EQ(v[0].g, 100.0f);
  EXPECT_FLOAT_EQ(v[0].b, 40.0f);
  EXPECT_FLOAT_EQ(v[0].a, 255.0f);
  EXPECT_EQ(Calls(), (Texts{"grColorCombine(1, 0, 0, 2, 0)", "grDrawPolygonVertexList(3)"}));
}

TEST_F(PolygonTest, PositionsBeyondAnyWholeSixteenthAreSentFarOffTheScreen) {
  // Corrupt world data can reach the projection with positions no 32-bit sixteenth holds.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  SetCorners({{1.0e30f, 0.0f, 1.0e-30f}, {0.0f, nan, 10.0f}, {0.0f, -1.0e30f, 1.0e-30f}});
  Record();
  EXPECT_EQ(r3xGlideDrawPolygon(render_, 3, &surface_, kFull), R3X_GLIDE_POLYGON_DRAWN);
  const std::vector<GrVertex> v = Drawn();
  ASSERT_EQ(v.size(), 3u);
  // 2^20 pixels on, where the board draws nothing; the positions that fit are kept.
  EXPECT_EQ(v[0].x, 1048576.0f);
  EXPECT_EQ(v[0].y, 240.0f);
  EXPECT_EQ(v[1].x, 320.0f);
  EXPECT_EQ(v[1].y, 1048576.0f);
  EXPECT_EQ(v[2].y, 1048576.0f);
}

TEST_F(PolygonTest, LightingCodesGiveTheBaseColour) {
  struct Case {
    R3xRenderMethod lighting;
    float red, green, blue;  // the drawn channels with a white pen
  };
  // Ambient (0.25, 0.5, 0.75), ambient scale 2, intensity 0.5.
  const Case cases[] = {
      {0x00, 0.0f, 0.0f, 0.0f},
      {0x04, 255.0f, 255.0f, 255.0f},
      {0x08, 127.5f, 127.5f, 127.5f},
      {0x10, 63.75f, 127.5f, 191.25f},
      {0x14, 127.5f, 255.0f, 255.0f},
      // Codes the drawer gives no meaning light the polygon black.
      {0x0C, 0.0f, 0.0f, 0.0f},
      {0x18, 0.0f, 0.0f, 0.0f},
      {0x1C, 0.0f, 0.0f, 0.0f},
  };
  surface_.pen = 9;
  surface_.intensity = 0.5f;
  surface_.ambientScale = 2.0f;
  render_->ambient[0] = 0.25f;
  render_->ambient[1] = 0.5f;
  render_->ambient[2] = 0.75f;
  for (const Case& c : cases) {
    SetTriangle();
    Record();
    ASSERT_EQ(r3xGlideDrawPolygon(render_, 3, &surface_, c.lighting | R3X_RENDER_FILL_SOLID),
              R3X_GLIDE_POLYGON_DRAWN);
    const std::vector<GrVertex> v = Drawn();
    ASSERT_EQ(v.size(), 3u);
    EXPECT_FLOAT_EQ(v[1].r, c.red) << c.lighting;
    EXPECT_FLOAT_EQ(v[1].g, c.green) << c.lighting;
    EXPECT_FLOAT_EQ(v[1].b, c.blue) << c.lighting;
  }
}

class DirectionalTest : public PolygonTest {
 protected:
  void SetUp() override {
    PolygonTest::SetUp();
    definition_.frameCount = 1;
    definition_.intensity = 0.5f;
    light_.definition = &definition_;
    sun_.header.type = R3X_TYPE_DIRECTIONAL_LIGHT;
    sun_.light = &light_;
    sun_.direction[2] = -1.0f;
    render_->polygonNormal[2] = 1.0f;
    render_->ambient[0] = render_->ambient[1] = render_->ambient[2] = 0.25f;
    surface_.pen = 9;
    surface_.ambientScale = 1.0f;
  }
  float DrawnRed(R3xRenderMethod method) {
    SetTriangle();
    Record();
    EXPECT_EQ(r3xGlideDrawPolygon(render_, 3, &surface_, method), R3X_GLIDE_POLYGON_DRAWN);
    const std::vector<GrVertex> v = Drawn();
    return v.empty() ? -1.0f : v[0].r;
  }

  R3xLightDef definition_{};
  R3xLight light_{};
  R3xDirectionalLight sun_{};
};

TEST_F(DirectionalTest, LeadingDirectionalLightsAddTheirColourFacingTheNormal) {
  R3xObjectHeader other{};
  other.type = R3X_TYPE_LIGHT;
  R3xDirectionalLight away = sun_;
  away.direction[2] = 1.0f;
  // The light after the other object is not reached.
  R3xObjectHeader* lights[] = {&sun_.header, &away.header, &other, &sun_.header};
  render_->lights = lights;
  render_->lightCount = 4;
  const R3xRenderMethod ambient = R3X_LIGHTING_AMBIENT | 0x200000;
  EXPECT_FLOAT_EQ(DrawnRed(ambient), 0.75f * 255.0f);
  // Per-vertex normals, supplied colours or no directional bit: ambient only.
  EXPECT_FLOAT_EQ(DrawnRed(ambient | 0x20), 0.25f * 255.0f);
  EXPECT_FLOAT_EQ(DrawnRed(R3X_LIGHTING_AMBIENT), 0.25f * 255.0f);
}

TEST_F(DirectionalTest, AFullChannelTakesNoDirectionalLight) {
  // Ambient 0.5 times scale 3 is full light, so the (negative) light is not added; at scale 1
  // it is, and takes the channel to 0.
  definition_.intensity = -0.5f;
  R3xObjectHeader* lights[] = {&sun_.header};
  render_->lights = lights;
  render_->lightCount = 1;
  render_->ambient[0] = render_->ambient[1] = render_->ambient[2] = 0.5f;
  surface_.ambientScale = 3.0f;
  EXPECT_FLOAT_EQ(DrawnRed(R3X_LIGHTING_SCALED_AMBIENT | 0x200000), 255.0f);
  surface_.ambientScale = 1.0f;
  EXPECT_FLOAT_EQ(DrawnRed(R3X_LIGHTING_SCALED_AMBIENT | 0x200000), 0.0f);
}

TEST_F(PolygonTest, RenderMethodStateIsSetAroundTheDrawAndPutBack) {
  struct Case {
    R3xRenderMethod method;
    float alpha;
    Texts calls;
  };
  const std::string combine = "grColorCombine(1, 0, 0, 2, 0)";
  const std::string draw = "grDrawPolygonVertexList(3)";
  const Case cases[] = {
      {kFull | 0x1000000 | 0xF0000 | 0x100000,
       255.0f,
       {combine, "grAlphaBlendFunction(1, 4, 4, 0)", draw, "grAlphaBlendFunction(4, 0, 4, 0)"}},
      {kFull | 0x1000000 | 0xF0000,
       239.0625f,
       {combine, "grAlphaBlendFunction(1, 5, 4, 0)", draw, "grAlphaBlendFunction(4, 0, 4, 0)"}},
      {kFull | 0x400000, 255.0f, {combine, "grDepthBiasLevel(-3)", draw, "grDepthBiasLevel(0)"}},
      // Untextured, the chroma-key bit only leaves keying off and filtering bilinear.
      {kFull | 0x80, 255.0f, {combine, draw, "grChromakeyMode(0)", "grTexFilterMode(0, 1, 1)"}},
  };
  for (const Case& c : cases) {
    SetTriangle();
    Record();
    EXPECT_EQ(r3xGlideDrawPolygon(render_, 3, &surface_, c.method), R3X_GLIDE_POLYGON_DRAWN);
    EXPECT_EQ(Calls(), c.calls) << std::hex << c.method;
    const std::vector<GrVertex> v = Drawn();
    ASSERT_EQ(v.size(), 3u);
    EXPECT_FLOAT_EQ(v[2].a, c.alpha) << std::hex << c.method;
  }
}

TEST_F(PolygonTest, NothingLeftAfterClippingStillPutsTheStateBack) {
  render_->clipMask = R3X_CLIP_NEAR;
  SetTriangle(0.5f);
  Record();
  EXPECT_EQ(r3xGlideDrawPolygon(render_, 3, &surface_, kFull | 0x80 | 0x1000000 | 0x400000),
            R3X_GLIDE_POLYGON_CLIPPED);
  EXPECT_EQ(Calls(), (Texts{"grChromakeyMode(0)", "grTexFilterMode(0, 1, 1)",
                            "grAlphaBlendFunction(4, 0, 4, 0)", "grDepthBiasLevel(0)"}));
}

TEST_F(PolygonTest, OutlinesJoinEveryVertexToTheNext) {
  SetCorners({{0, 0, 10}, {5, 0, 10}, {5, 5, 10}, {0, 5, 10}});
  Record();
  EXPECT_EQ(r3xGlideDrawPolygon(render_, 4, &surface_, R3X_LIGHTING_FULL | 2),
            R3X_GLIDE_POLYGON_DRAWN);
  const auto& calls = platform::glide::RecordedCalls();
  ASSERT_EQ(calls.size(), 5u);
  for (std::size_t i = 1; i < 5; ++i) {
    ASSERT_EQ(calls[i].name, "grDrawLine");
    ASSERT_EQ(calls[i].vertices.size(), 2u);
  }
  // The last line closes the outline back to the first vertex.
  EXPECT_FLOAT_EQ(calls[4].vertices[0].y, calls[3].vertices[1].y);
  EXPECT_FLOAT_EQ(calls[4].vertices[1].x, calls[1].vertices[0].x);
  EXPECT_FLOAT_EQ(calls[4].vertices[1].y, calls[1].vertices[0].y);
}

TEST_F(PolygonTest, TexturedPolygonsScaleTexelCoordinatesAndKeyTheChromaColour) {
  std::vector<std::uint8_t> pixels(64 * 32, 1);
  R3xBitmap bitmap = MakeBitmap(64, 32, 8, pixels);
  bitmap.header.type = R3X_TYPE_BITMAP;
  ASSERT_EQ(r3xGlideRegisterTexture(glide_, &bitmap), 0);
  surface_.texture = &bitmap.header;
  SetTriangle();
  const float u[] = {0.0f, 64.0f, 0.0f};
  const float v[] = {0.0f, 0.0f, 32.0f};
  for (int i = 0; i < 3; ++i) {
    render_->work.clip[0][i].u = u[i];
    render_->work.clip[0][i].v = v[i];
  }
  Record();
  EXPECT_EQ(r3xGlideDrawPolygon(render_, 3, &surface_, kFull | kTextured | 0x80),
            R3X_GLIDE_POLYGON_DRAWN);
  EXPECT_EQ(Calls(),
            (Texts{"grChromakeyMode(1)", "grTexFilterMode(0, 0, 0)", "grDrawPolygonVertexList(3)",
                   "grChromakeyMode(0)", "grTexFilterMode(0, 1, 1)"}));
  const std::vector<GrVertex> drawn = Drawn();
  ASSERT_EQ(drawn.size(), 3u);
  // Texel scale 256 / 64 = 4.
  EXPECT_FLOAT_EQ(drawn[1].tmuvtx[0].sow, 64.0f * drawn[1].oow * 4.0f);
  EXPECT_FLOAT_EQ(drawn[2].tmuvtx[0].tow, 32.0f * drawn[2].oow * 4.0f);
  EXPECT_FLOAT_EQ(drawn[0].r, 255.0f);

  // Any other kind of texture object fails without drawing.
  R3xObjectHeader other{};
  other.type = R3X_TYPE_LIGHT;
  surface_.texture = &other;
  SetTriangle();
  Record();
  EXPECT_EQ(r3xGlideDrawPolygon(render_, 3, &surface_, kFull | kTextured),
            R3X_GLIDE_POLYGON_FAILED);
  EXPECT_TRUE(Drawn().empty());
}

// Swaps the render context's vertex arrays with larger ones for the test's length.
void SwapVertexArrays(R3xRenderWorkArrays& a, R3xRenderWorkArrays& b) {
  std::swap(a.vertexCapacity, b.vertexCapacity);
  std::swap(a.transformed, b.transformed);
  std::swap(a.clip, b.clip);
}

TEST_F(PolygonTest, OnlyTheFirst256ClippedVerticesAreDrawn) {
  R3xRenderWorkArrays large{};
  ASSERT_EQ(_r3xAllocVertexArrays(&large, 300), R3X_DONE);
  SwapVertexArrays(render_->work, large);
  std::vector<Corner> corners;
  for (int i = 0; i < 300; ++i) {
    corners.push_back({static_cast<float>(i) / 300.0f, 0.0f, 10.0f});
  }
  SetCorners(corners);
  Record();
  EXPECT_EQ(r3xGlideDrawPolygon(render_, 300, &surface_, kFull), R3X_GLIDE_POLYGON_DRAWN);
  const std::vector<GrVertex> drawn = Drawn();
  SwapVertexArrays(render_->work, large);
  _r3xFreeWorkArrays(&large);
  ASSERT_EQ(drawn.size(), 256u);
  // (1 + 255 / 3000) x 320 in sixteenths.
  EXPECT_FLOAT_EQ(drawn[255].x, 347.1875f);
}

TEST_F(PolygonTest, FilledPolygonReachesTheBackBuffer) {
  r3xGlideClear(glide_, 1, 1, 0, 0, 0);
  SetCorners({{-5, 5, 10}, {5, 5, 10}, {5, -5, 10}, {-5, -5, 10}});
  EXPECT_EQ(r3xGlideDrawPolygon(render_, 4, &surface_, kFull), R3X_GLIDE_POLYGON_DRAWN);
  // The quad covers x 160..480, y 120..360.
  EXPECT_EQ(BackPixel(320, 240), Rgb565(200, 100, 40));
  EXPECT_EQ(BackPixel(170, 130), Rgb565(200, 100, 40));
  EXPECT_EQ(BackPixel(100, 240), 0);
  EXPECT_EQ(BackPixel(320, 400), 0);
}

class BatchTest : public PolygonTest {
 protected:
  void SetUp() override {
    PolygonTest::SetUp();
    batch_ = r3xGlideSharedBatch();
    batch_->vertexCount = 0;
    batch_->polygonCount = 0;
  }
  void SetSourceColours(float red) {
    for (int i = 0; i < 3; ++i) {
      render_->work.clip[0][i].red = red;
      render_->work.clip[0][i].u = 0.25f * static_cast<float>(i);
    }
  }
  R3xGlideBatch* batch_ = nullptr;
};

TEST_F(BatchTest, PolygonsAreCutToTheVerticesThatFit) {
  batch_->vertexCount = R3X_GLIDE_BATCH_VERTICES - 2;
  SetTriangle();
  SetSourceColours(1.5f);
  EXPECT_EQ(r3xGlideBatchPolygon(render_, 3, nullptr, 0), R3X_GLIDE_POLYGON_DRAWN);
  EXPECT_EQ(batch_->polygonCount, 1);
  EXPECT_EQ(batch_->polygonVertexCounts[0], 2);
  EXPECT_EQ(batch_->vertexCount, R3X_GLIDE_BATCH_VERTICES);
  const GrVertex& last = batch_->vertices[R3X_GLIDE_BATCH_VERTICES - 1];
  // Colours are not limited to 255; u and v stay as they are.
  EXPECT_FLOAT_EQ(last.r, 1.5f * 255.0f);
  EXPECT_FLOAT_EQ(last.tmuvtx[0].sow, 0.25f);
  EXPECT_FLOAT_EQ(last.x, 640.0f);
  EXPECT_FLOAT_EQ(last.oow, 10.0f / 65528.0f);

  SetTriangle();
  EXPECT_EQ(r3xGlideBatchPolygon(render_, 3, nullptr, 0), R3X_GLIDE_POLYGON_DRAWN);
  EXPECT_EQ(batch_->polygonCount, 2);
  EXPECT_EQ(batch_->polygonVertexCounts[1], 0);
}

TEST_F(BatchTest, ClippedAwayPolygonsTakeAnEmptyEntry) {
  render_->clipMask = R3X_CLIP_NEAR;
  SetTriangle(0.5f);
  SetSourceColours(1.0f);
  EXPECT_EQ(r3xGlideBatchPolygon(render_, 3, nullptr, 0), R3X_GLIDE_POLYGON_CLIPPED);
  EXPECT_EQ(batch_->polygonCount, 1);
  EXPECT_EQ(batch_->polygonVertexCounts[0], 0);
  EXPECT_EQ(batch_->vertexCount, 0);
}

TEST_F(BatchTest, AFullPolygonListRefusesMore) {
  SetSourceColours(3.0f);
  for (int i = 0; i < R3X_GLIDE_BATCH_POLYGONS; ++i) {
    batch_->vertexCount = 0;
    SetTriangle();
    ASSERT_EQ(r3xGlideBatchPolygon(render_, 3, nullptr, 0), R3X_GLIDE_POLYGON_DRAWN);
  }
  batch_->vertexCount = 0;
  SetTriangle();
  EXPECT_EQ(r3xGlideBatchPolygon(render_, 3, nullptr, 0), R3X_GLIDE_POLYGON_FAILED);
  EXPECT_EQ(batch_->polygonCount, R3X_GLIDE_BATCH_POLYGONS);
  EXPECT_EQ(batch_->vertexCount, 0);
  // The source colours are capped at the light limit before the batch scales them.
  EXPECT_FLOAT_EQ(batch_->vertices[0].r, R3X_LIGHT_CHANNEL_LIMIT * 255.0f);
}

}  // namespace
