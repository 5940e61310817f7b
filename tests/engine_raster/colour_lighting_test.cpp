// The colour drawer's lighting: three channels per vertex from each vertex's own normal, the
// viewer light after clipping, and face-wide light and fog applied to the 256 palette colours.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/core/math_sqrt.h"
#include "engine/raster/colour_lighting_internal.h"
#include "engine/raster/software_drawers_internal.h"
#include "engine/raster/vertex_lighting8_internal.h"
#include "tests/engine_raster/raster_fixture.h"

namespace {

// Clip space is the view space: x right, y up, z ahead.
class ColourLightingTest : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    _r3xRegisterSoftwareDrawers();
    render_->clipColumns[0][0] = 1.0f;
    render_->clipColumns[1][1] = 1.0f;
    render_->view[8] = 1.0f;
    for (int i = 0; i < R3X_PALETTE_ENTRIES; ++i) {
      palette_.entries[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                             static_cast<std::uint8_t>(i / 2), 0x55};
    }
    ASSERT_EQ(r3xAttachRenderDevice(render_, R3X_MODE_COLOUR, nullptr, &palette_), 0);
    render_->span.paletteColours = reinterpret_cast<const std::uint8_t*>(palette_.entries);
    // A red light: RGB (1, 0, 0).
    definition_.colours = red_;
  }
  void SetLights(std::vector<R3xObjectHeader*> lights) {
    lights_ = std::move(lights);
    render_->lights = lights_.data();
    render_->lightCount = static_cast<std::uint32_t>(lights_.size());
  }
  std::uint8_t M(std::uint32_t level, std::uint32_t value) const {
    return render_->modulation[level * 256 + value];
  }
  const std::uint8_t* Colour(int i) const { return render_->span.paletteColours + 4 * i; }
  // The term of a light straight above a vertex at height h.
  static float TermAbove(float h, float radius) {
    return radius * radius * 0.05f * (h * r3xInvSqrt(h * h) / (h * h + 1.0f));
  }

  R3xPalette palette_{};
  float red_[3] = {1.0f, 0.0f, 0.0f};
  std::vector<R3xObjectHeader*> lights_;
};

TEST_F(ColourLightingTest, ARedPointLightRaisesOnlyTheRedChannelAndOnlyWhenSmooth) {
  R3xPointLight above = MakePointLight(0, 0, 2, 2);
  SetLights({&above.header});
  R3xClipVertex vertex = At(0, 0, 0);
  vertex.normal[2] = 1.0f;
  for (const R3xRenderMethod method : {R3xRenderMethod{0}, R3X_METHOD_SMOOTH}) {
    Source()[0] = vertex;
    ASSERT_EQ(_r3xLightVerticesNormalsRGB(render_, 1, 0.25f, 0.5f, 0.75f, method), R3X_DONE);
    const float gain = method == R3X_METHOD_SMOOTH ? TermAbove(2, 2) : 0.0f;
    EXPECT_FLOAT_EQ(Input()[0].red, 0.25f + gain) << method;
    EXPECT_EQ(Input()[0].green, 0.5f);
    EXPECT_EQ(Input()[0].blue, 0.75f);
  }
}

TEST_F(ColourLightingTest, NearExcludedAndFacingAwayLightsGiveNothing) {
  R3xPointLight onVertex = MakePointLight(0, 0, 0.005f, 2);
  R3xPointLight below = MakePointLight(0, 0, -2, 2);
  R3xPointLight excluded = MakePointLight(0, 0, 2, 2);
  SetLights({&onVertex.header, &below.header, &excluded.header});
  render_->excludedLight = &excluded.header;
  Source()[0] = At(0, 0, 0);
  Source()[0].normal[2] = 1.0f;
  ASSERT_EQ(_r3xLightVerticesNormalsRGB(render_, 1, 0.25f, 0.25f, 0.25f, R3X_METHOD_SMOOTH),
            R3X_DONE);
  EXPECT_EQ(Input()[0].red, 0.25f);
}

TEST_F(ColourLightingTest, DirectionalLightsOnlyWithTheirBitAndEveryChannelCappedBelowTwo) {
  R3xDirectionalLight down{};
  down.header.type = R3X_TYPE_DIRECTIONAL_LIGHT;
  down.light = &light_;
  down.direction[2] = -1.0f;
  SetLights({&down.header});
  definition_.colours = nullptr;  // intensity 1 in every channel
  R3xClipVertex vertex = At(0, 0, 0, 0, 3, 4);
  vertex.normal[2] = 1.0f;
  Source()[0] = vertex;
  ASSERT_EQ(_r3xLightTexturedVerticesNormalsRGB(render_, 1, 0.5f, 1.0f, 1.5f, 0), R3X_DONE);
  EXPECT_EQ(Input()[0].red, 0.5f);
  Source()[0] = vertex;
  ASSERT_EQ(
      _r3xLightTexturedVerticesNormalsRGB(render_, 1, 0.5f, 1.0f, 1.5f, R3X_METHOD_DIRECTIONAL),
      R3X_DONE);
  EXPECT_EQ(Input()[0].red, 1.5f);
  EXPECT_EQ(Input()[0].green, 1.99999f);
  EXPECT_EQ(Input()[0].blue, 1.99999f);
  EXPECT_EQ(Input()[0].u, 3.0f);
  EXPECT_EQ(Input()[0].v, 4.0f);
  EXPECT_EQ(_r3xLightVerticesNormalsRGB(render_, 33, 1, 1, 1, 0), R3X_ERR_FAILED);
}

TEST_F(ColourLightingTest, TheViewerLightShinesPerChannelOnVerticesFacingTheEye) {
  render_->viewLight[0] = 0.5f;
  render_->viewLight[1] = 0.0f;
  render_->viewLight[2] = 4.0f;
  R3xClipVertex vertices[2] = {At(0, 0, 5, 0.2f), At(0, 0, 5, 0.2f)};
  vertices[0].normal[2] = -1.0f;
  vertices[1].normal[2] = 1.0f;  // facing away
  vertices[0].green = vertices[1].green = 0.3f;
  vertices[0].blue = vertices[1].blue = 1.9f;
  ASSERT_EQ(_r3xAddViewLightNormalsRGB(render_, vertices, 2), R3X_DONE);
  EXPECT_FLOAT_EQ(vertices[0].red, 0.2f + 0.5f * (5.0f * r3xInvSqrt(25.0f) / 26.0f));
  EXPECT_EQ(vertices[0].green, 0.3f);
  EXPECT_EQ(vertices[0].blue, 1.99999f);
  EXPECT_EQ(vertices[1].red, 0.2f);
  EXPECT_EQ(vertices[1].blue, 1.9f);
}

TEST_F(ColourLightingTest, ModulatingByOneKeepsThePaletteAndOtherLevelsScaleEachChannel) {
  _r3xModulatePaletteRGB(render_, 1.0f, 1.0f, 1.0f);
  EXPECT_EQ(render_->span.paletteColours, render_->span.colourBuffer);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(Colour(i)[0], palette_.entries[i].peRed);
    EXPECT_EQ(Colour(i)[1], palette_.entries[i].peGreen);
    EXPECT_EQ(Colour(i)[2], palette_.entries[i].peBlue);
    EXPECT_EQ(Colour(i)[3], 0);
  }
  render_->span.paletteColours = reinterpret_cast<const std::uint8_t*>(palette_.entries);
  _r3xModulatePaletteRGB(render_, 0.5f, 1.99999f, 0.0f);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(Colour(i)[0], M(16, palette_.entries[i].peRed));
    EXPECT_EQ(Colour(i)[1], M(63, palette_.entries[i].peGreen));
    EXPECT_EQ(Colour(i)[2], 0);
  }
}

TEST_F(ColourLightingTest, FogLiesOverTheModulatedPalette) {
  render_->raster.fogColour = 0x204060;
  _r3xFogPaletteRGB(render_, 0);
  EXPECT_EQ(Colour(9)[0], 9);
  EXPECT_EQ(Colour(9)[1], 246);
  render_->span.paletteColours = reinterpret_cast<const std::uint8_t*>(palette_.entries);
  _r3xModulatePaletteRGB(render_, 0.5f, 1.0f, 1.0f);
  _r3xFogPaletteRGB(render_, 31 << 15);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(Colour(i)[0], M(1, M(16, palette_.entries[i].peRed)) + M(31, 0x60));
    EXPECT_EQ(Colour(i)[1], M(1, palette_.entries[i].peGreen) + M(31, 0x40));
    EXPECT_EQ(Colour(i)[2], M(1, palette_.entries[i].peBlue) + M(31, 0x20));
  }
}

}  // namespace
