// The colour polygon drawer whole: its slot in the colour attachment, the base light through the
// palette (unchanged near 1.0, modulated otherwise), the keyed face's colour stage, fog toward the
// fog colour, and the faults it keeps away from (no rows, no 16-bit image, an image wider than
// the rows, pixels past the image).
#include <cstdint>
#include <vector>

#include "base/pixel16.h"
#include "engine/core/render_device_record.h"
#include "engine/raster/draw_polygon_rgb_internal.h"
#include "engine/raster/software_drawers_internal.h"
#include "engine/raster/vertex_lighting8_internal.h"
#include "tests/engine_raster/draw_polygon8_fixture.h"

namespace {

constexpr std::uint16_t kGuard16 = 0xBEEF;
constexpr std::uint8_t kTexel = 5;

class DrawPolygonRGBTest : public DrawPolygon8Test {
 protected:
  void SetUp() override {
    DrawPolygon8Test::SetUp();
    _r3xRegisterSoftwareDrawers();
    for (int i = 0; i < R3X_PALETTE_ENTRIES; ++i) {
      palette_.entries[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                             static_cast<std::uint8_t>(i / 2), 0};
    }
    R3xRenderDevice device{};
    device.bitsPerPixel = 16;
    device.pixelFormat = 2;
    ASSERT_EQ(r3xAttachRenderDevice(render_, R3X_MODE_COLOUR, &device, &palette_), 0);
    image16_.assign(static_cast<std::size_t>(kWidth) * (kHeight + 2 * kGuardRows), kGuard16);
    std::fill(image16_.begin() + kGuardRows * kWidth, image16_.end() - kGuardRows * kWidth, 0);
    render_->raster.image16 = image16_.data() + kGuardRows * kWidth;
  }
  std::int32_t DrawRGB(const std::vector<R3xClipVertex>& polygon, R3xRenderMethod method) {
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      Source()[i] = polygon[i];
      Input()[i] = polygon[i];
    }
    return _r3xDrawPolygonRGB(render_, static_cast<std::uint32_t>(polygon.size()), &surface_,
                              method);
  }
  std::uint16_t At16(std::int32_t x, std::int32_t y) const {
    return image16_[static_cast<std::size_t>(y + kGuardRows) * kWidth +
                    static_cast<std::size_t>(x)];
  }
  // The palette entry as a 565 pixel, each channel first through modulation row level.
  std::uint16_t Entry565(std::uint8_t index, std::uint32_t level = 32) const {
    const PALETTEENTRY& e = palette_.entries[index];
    const std::uint8_t* m = render_->modulation + level * 256;
    return static_cast<std::uint16_t>(
        arena::Pack565(arena::Rgb(m[e.peRed], m[e.peGreen], m[e.peBlue])));
  }
  bool Guards16Intact() const {
    for (std::int32_t i = 0; i < kGuardRows * kWidth; ++i) {
      if (image16_[static_cast<std::size_t>(i)] != kGuard16 ||
          image16_[image16_.size() - 1 - static_cast<std::size_t>(i)] != kGuard16) {
        return false;
      }
    }
    return true;
  }

  R3xPalette palette_{};
  std::vector<std::uint16_t> image16_;
};

constexpr R3xRenderMethod kExact = 0x100;

TEST_F(DrawPolygonRGBTest, TheColourAttachmentInstallsTheColourDrawer) {
  EXPECT_EQ(render_->drawPolygon, &_r3xDrawPolygonRGB);
}

TEST_F(DrawPolygonRGBTest, LightNearOneDrawsThePaletteColoursAndOtherLightModulatesThem) {
  struct Case {
    R3xRenderMethod lighting;
    float intensity;
    std::uint32_t level;
  };
  const Case cases[] = {
      {R3X_LIGHTING_FULL, 0.0f, 32},
      {R3X_LIGHTING_CONSTANT, 1.0f, 32},
      {R3X_LIGHTING_CONSTANT, 0.5f, 16},
      {R3X_LIGHTING_CONSTANT, 1.5f, 48},
      // Above the cap: 1.99999, level 63.
      {R3X_LIGHTING_CONSTANT, 7.0f, 63},
  };
  for (const bool textured : {false, true}) {
    if (textured) {
      UseTexture();
    }
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << textured << " " << c.intensity);
      surface_.intensity = c.intensity;
      ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
      EXPECT_EQ(DrawRGB(Square(10, 10, 20, 20), kSolid | c.lighting | (textured ? kExact : 0)), 4);
      EXPECT_EQ(At16(15, 15), Entry565(textured ? kTexel : kPen, c.level));
      EXPECT_EQ(At16(25, 15), 0);
    }
  }
}

TEST_F(DrawPolygonRGBTest, AKeyedFaceDrawsItsColoursOnlyWhereTheTexelIsNotTheKey) {
  UseTexture();
  surface_.intensity = 1.0f;
  // Texel columns 0-31 are colour 5, 32-63 the key.
  ASSERT_EQ(
      DrawRGB(Square(20, 10, 44, 20), kSolid | R3X_LIGHTING_CONSTANT | kExact | R3X_METHOD_KEYED),
      4);
  EXPECT_EQ(At16(25, 15), Entry565(kTexel));
  EXPECT_EQ(At16(40, 15), 0);
  EXPECT_EQ(RowRuns(15), (std::vector<std::pair<std::int32_t, std::int32_t>>{{20, 32}}));
}

TEST_F(DrawPolygonRGBTest, ASmoothFaceInterpolatesEachChannelOnItsOwn) {
  // A red directional light shining straight onto the right edge's normals and past the left's.
  float red[3] = {1.0f, 0.0f, 0.0f};
  definition_.colours = red;
  R3xDirectionalLight light{};
  light.header.type = R3X_TYPE_DIRECTIONAL_LIGHT;
  light.light = &light_;
  light.direction[0] = -1.0f;
  R3xObjectHeader* lights[] = {&light.header};
  render_->lights = lights;
  render_->lightCount = 1;
  surface_.intensity = 0.5f;
  std::vector<R3xClipVertex> square = Square(4, 10, 60, 20);
  for (R3xClipVertex& v : square) {
    v.normal[0] = v.x > 0.0f ? 1.0f : 0.0f;
  }
  const R3xRenderMethod method = kSolid | R3X_LIGHTING_CONSTANT | R3X_METHOD_SMOOTH |
                                 R3X_METHOD_VERTEX_NORMALS | R3X_METHOD_DIRECTIONAL;
  ASSERT_EQ(DrawRGB(square, method), 4);
  const std::uint32_t left = arena::Widen565(At16(5, 15));
  const std::uint32_t middle = arena::Widen565(At16(32, 15));
  const std::uint32_t right = arena::Widen565(At16(58, 15));
  // Red rises from about half the pen's red to about one and a half times it; green and blue stay
  // at half.
  EXPECT_LT(left >> 16, middle >> 16);
  EXPECT_LT(middle >> 16, right >> 16);
  EXPECT_EQ(left & 0xFFFF, right & 0xFFFF);
  EXPECT_EQ(left & 0xFFFF, arena::Widen565(Entry565(kPen, 16)) & 0xFFFF);
}

TEST_F(DrawPolygonRGBTest, AFlatFaceAcrossFogLevelsIsFoggedPerPixelAndOneLevelOnce) {
  render_->fogMode = R3X_FOG_MODE_2;
  render_->fogDistance = 8.0f;
  render_->fogScale = 0.99999f / 8.0f;
  render_->raster.fogWeights[0] = 1.0f;
  render_->raster.fogWeights[1] = 1.0f;
  render_->raster.fogColour = 0xFFFFFF;
  surface_.intensity = 1.0f;
  // Near on the left, far on the right: the fog grows toward white along the row.
  std::vector<R3xClipVertex> square = Square(4, 10, 60, 20);
  for (R3xClipVertex& v : square) {
    const float z = v.x < 0.0f ? 1.0f : 7.0f;
    v.x *= z;
    v.y *= z;
    v.z = z;
  }
  ASSERT_EQ(DrawRGB(square, kSolid | R3X_LIGHTING_CONSTANT), 4);
  const std::uint32_t near = arena::Widen565(At16(5, 15));
  const std::uint32_t far = arena::Widen565(At16(58, 15));
  EXPECT_LT(near & 0xFF, far & 0xFF);
  EXPECT_LT(near >> 8 & 0xFF, far >> 8 & 0xFF);
  // A small face straight ahead lies within one fog level: one fogged colour throughout.
  ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
  ASSERT_EQ(DrawRGB(Square(30, 14, 34, 18, 3.0f), kSolid | R3X_LIGHTING_CONSTANT), 4);
  EXPECT_NE(At16(30, 15), Entry565(kPen));
  for (std::int32_t x = 30; x < 34; ++x) {
    EXPECT_EQ(At16(x, 15), At16(30, 15)) << x;
  }
}

TEST_F(DrawPolygonRGBTest, ABitmapWithItsOwnColoursIsDrawnWithThemForItsFaceOnly) {
  std::vector<std::uint8_t> colours(256 * 4, 0);
  colours[kTexel * 4 + 0] = 0x10;
  colours[kTexel * 4 + 1] = 0x20;
  colours[kTexel * 4 + 2] = 0xF0;
  bitmap_.colourTable = colours.data();
  UseTexture();
  surface_.intensity = 1.0f;
  ASSERT_EQ(DrawRGB(Square(10, 10, 20, 20), kSolid | R3X_LIGHTING_CONSTANT | kExact), 4);
  EXPECT_EQ(At16(15, 15), arena::Pack565(arena::Rgb(0x10, 0x20, 0xF0)));
  surface_.texture = nullptr;
  ASSERT_EQ(DrawRGB(Square(30, 10, 40, 20), kSolid | R3X_LIGHTING_CONSTANT), 4);
  EXPECT_EQ(At16(35, 15), Entry565(kPen));
}

TEST_F(DrawPolygonRGBTest, ConstantDepthLinesAreDrawnAsPerspectiveEvery16Pixels) {
  UseTexture();
  surface_.intensity = 1.0f;
  ASSERT_EQ(DrawRGB(Square(3, 5, 61, 40), kSolid | R3X_LIGHTING_CONSTANT | 0x500), 4);
  const std::vector<std::uint16_t> perspective = image16_;
  std::fill(image16_.begin() + kGuardRows * kWidth, image16_.end() - kGuardRows * kWidth, 0);
  ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
  ASSERT_EQ(DrawRGB(Square(3, 5, 61, 40), kSolid | R3X_LIGHTING_CONSTANT | 0x300), 4);
  EXPECT_EQ(image16_, perspective);
  EXPECT_EQ(At16(10, 20), Entry565(kTexel));
}

TEST_F(DrawPolygonRGBTest, TheLightSpotBrightensTheChannelsOfItsLightUnderIt) {
  R3xPointLight point = MakePointLight(0.0f, 0.0f, 0.5f, 4.0f);
  R3xObjectHeader* lights[] = {&point.header};
  render_->lights = lights;
  render_->lightCount = 1;
  render_->polygonNormal[2] = -1.0f;
  R3xRegionFace face{};
  face.polygon.normal[2] = -1.0f;
  face.polygon.distance = 1.0f;
  surface_.intensity = 0.5f;
  const R3xRenderMethod method = kSolid | R3X_LIGHTING_CONSTANT | R3X_METHOD_SMOOTH;
  // A red, then a blue point light half a unit in front of the plane z = 1, over the centre:
  // the spot raises that channel only (the 565 colour's blue is bits 0-7, red bits 16-23).
  for (const int channel : {0, 2}) {
    SCOPED_TRACE(channel);
    float colour[3] = {0.0f, 0.0f, 0.0f};
    colour[channel] = 1.0f;
    definition_.colours = colour;
    const std::uint32_t shift = channel == 0 ? 16 : 0;
    const std::uint32_t others = ~(0xFFu << shift) & 0xFFFFFFu;
    render_->raster.currentFace = nullptr;
    ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
    ASSERT_EQ(DrawRGB(Square(4, 4, 60, 44), method), 4);
    const std::uint32_t plain = arena::Widen565(At16(32, 24));
    ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
    render_->raster.currentFace = &face;
    EXPECT_EQ(DrawRGB(Square(4, 4, 60, 44), method), 4);
    const std::uint32_t spot = arena::Widen565(At16(32, 24));
    EXPECT_GT(spot >> shift & 0xFF, plain >> shift & 0xFF);
    EXPECT_EQ(spot & others, plain & others);
  }
}

TEST_F(DrawPolygonRGBTest, AFaceBeyondTheFogRangeIsFilledWithTheFogColour) {
  UseTexture();
  render_->fogMode = R3X_FOG_MODE_2;
  render_->fogDistance = 1.0f;
  render_->fogScale = 0.99999f;
  render_->raster.fogStart = 1.0f;
  render_->raster.fogWeights[0] = 1.0f;
  render_->raster.fogWeights[1] = 1.0f;
  render_->raster.fogColour = 0x204060;
  ASSERT_EQ(DrawRGB(Square(10, 10, 20, 20, 8.0f), kSolid | R3X_LIGHTING_FULL | kExact), 4);
  EXPECT_EQ(At16(15, 15), arena::Pack565(0x604020));
}

TEST_F(DrawPolygonRGBTest, AFaceLargerThanTheImageDrawsNothingPastIt) {
  surface_.intensity = 1.0f;
  EXPECT_GT(DrawRGB(Square(-40, -30, 100, 90), kSolid | R3X_LIGHTING_CONSTANT), 0);
  EXPECT_EQ(At16(0, 0), Entry565(kPen));
  EXPECT_EQ(At16(kWidth - 1, kHeight - 1), Entry565(kPen));
  EXPECT_TRUE(Guards16Intact());
}

// The original wrote through whatever the rows held; without them nothing is drawn.
TEST_F(DrawPolygonRGBTest, WithoutRowsOrImageOrForAWiderImageNothingIsDrawn) {
  surface_.intensity = 1.0f;
  render_->raster.image16 = nullptr;
  EXPECT_EQ(DrawRGB(Square(10, 10, 20, 20), kSolid | R3X_LIGHTING_CONSTANT), 0);
  render_->raster.image16 = image16_.data() + kGuardRows * kWidth;
  render_->raster.width = render_->span.rowCapacity + 1;
  EXPECT_EQ(DrawRGB(Square(10, 10, 20, 20), kSolid | R3X_LIGHTING_CONSTANT), 0);
  render_->raster.width = kWidth;
  render_->span.rowCapacity = 0;
  EXPECT_EQ(DrawRGB(Square(10, 10, 20, 20), kSolid | R3X_LIGHTING_CONSTANT), 0);
  EXPECT_EQ(At16(15, 15), 0);
  render_->span.rowCapacity = R3X_COLOUR_ROW_CAPACITY;
}

TEST_F(DrawPolygonRGBTest, APreProjectedQuadHasNoColourForm) {
  EXPECT_EQ(DrawRGB(Square(10, 10, 20, 20), kSolid | R3X_LIGHTING_FULL | 0xFF00), 0);
  EXPECT_EQ(At16(15, 15), 0);
}

}  // namespace
