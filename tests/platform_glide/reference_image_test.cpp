// Small scenes drawn into a 64 x 64 clip window and compared with reference pictures.
#include "tests/platform_glide/reference_image.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/platform_glide/board_fixture.h"
#include "tests/platform_glide/texture_fixtures.h"

namespace {

constexpr int kLeft = 96;
constexpr int kTop = 64;

class ReferenceImageTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    grClipWindow(kLeft, kTop, kLeft + 64, kTop + 64);
    grBufferClear(0x00203040, 0, 0xFFFF);
  }

  static void Quad(GrVertex a, GrVertex b, GrVertex c, GrVertex d) {
    const GrVertex quad[4] = {a, b, c, d};
    grDrawPolygonVertexList(4, quad);
  }

  static void UseTexturePalette() {
    std::uint32_t palette[256] = {};
    palette[1] = 0xE02020;
    palette[2] = 0xF0F0F0;
    palette[3] = 0x2040E0;
    palette[4] = 0xF0E020;
    palette[5] = 0x20C040;
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
  }

  // A floor seen in perspective: near edge at the bottom (w = 1), far edge at the top (w = 6),
  // six times narrower, so that both triangles of the quad lie in one plane.
  static void DrawFloor() {
    Quad(MakeVertex(kLeft + 2, kTop + 62, 255, 255, 255, 255, 1, 0, 512),
         MakeVertex(kLeft + 62, kTop + 62, 255, 255, 255, 255, 1, 512, 512),
         MakeVertex(kLeft + 37, kTop + 4, 255, 255, 255, 255, 6, 512, 0),
         MakeVertex(kLeft + 27, kTop + 4, 255, 255, 255, 255, 6, 0, 0));
  }
};

TEST_F(ReferenceImageTest, GouraudTriangle) {
  const GrVertex triangle[3] = {MakeVertex(kLeft + 4, kTop + 6, 255, 0, 0),
                                MakeVertex(kLeft + 60.5f, kTop + 20.25f, 0, 255, 0),
                                MakeVertex(kLeft + 14.75f, kTop + 60, 0, 0, 255)};
  grDrawPolygonVertexList(3, triangle);
  EXPECT_TRUE(MatchesReference("gouraud_triangle", kLeft, kTop));
}

TEST_F(ReferenceImageTest, PerspectiveQuadPalettisedBilinearTwoLevels) {
  UseTexturePalette();
  TestTexture texture = MakeCheckerTexture(32, 4, GR_TEXFMT_P_8, 1, 2, 3, 4);
  LoadAndSelect(texture);
  grColorCombine(3, 1, 0, 1, 0);
  grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, 0);
  DrawFloor();
  EXPECT_TRUE(MatchesReference("perspective_quad_p8", kLeft, kTop));
}

TEST_F(ReferenceImageTest, PerspectiveQuadRgb565PointSampledTwoLevels) {
  TestTexture texture =
      MakeCheckerTexture(32, 4, GR_TEXFMT_RGB_565, Rgb565(224, 32, 32), Rgb565(240, 240, 240),
                         Rgb565(32, 64, 224), Rgb565(240, 224, 32));
  LoadAndSelect(texture, 4096);
  grColorCombine(3, 1, 0, 1, 0);
  grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
  grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, 0);
  DrawFloor();
  EXPECT_TRUE(MatchesReference("perspective_quad_565", kLeft, kTop));
}

TEST_F(ReferenceImageTest, ChromaKeyedSpriteOverBackground) {
  // Background: a green-to-blue shaded square.
  Quad(MakeVertex(kLeft, kTop, 20, 160, 40), MakeVertex(kLeft + 64, kTop, 20, 160, 40),
       MakeVertex(kLeft + 64, kTop + 64, 20, 40, 200), MakeVertex(kLeft, kTop + 64, 20, 40, 200));
  // Sprite: a 16 x 16 disc of colour 1 ringed by colour 2; outside it index 0, the key.
  std::uint32_t palette[256] = {};
  palette[0] = 0xFF00FF;
  palette[1] = 0xF0E020;
  palette[2] = 0xE02020;
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
  TestTexture sprite = MakeCheckerTexture(16, 16, GR_TEXFMT_P_8, 0, 0, 0, 0);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const int d = (2 * x - 15) * (2 * x - 15) + (2 * y - 15) * (2 * y - 15);
      sprite.texels[static_cast<std::size_t>(y * 16 + x)] = d < 120 ? 1 : (d < 200 ? 2 : 0);
    }
  }
  LoadAndSelect(sprite);
  grColorCombine(3, 1, 0, 1, 0);
  grChromakeyValue(0xFF00FF);
  grChromakeyMode(1);
  grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
  Quad(MakeVertex(kLeft + 8, kTop + 8, 255, 255, 255, 255, 1, 0, 0),
       MakeVertex(kLeft + 56, kTop + 8, 255, 255, 255, 255, 1, 256, 0),
       MakeVertex(kLeft + 56, kTop + 56, 255, 255, 255, 255, 1, 256, 256),
       MakeVertex(kLeft + 8, kTop + 56, 255, 255, 255, 255, 1, 0, 256));
  EXPECT_TRUE(MatchesReference("chroma_keyed_sprite", kLeft, kTop));
}

TEST_F(ReferenceImageTest, AlphaBlendedAndAdditiveQuads) {
  for (int i = 0; i < 4; ++i) {
    const float x = static_cast<float>(kLeft + 16 * i);
    const float shade = i % 2 == 0 ? 40.0f : 200.0f;
    Quad(MakeVertex(x, kTop, shade, shade, shade), MakeVertex(x + 16, kTop, shade, shade, shade),
         MakeVertex(x + 16, kTop + 64, shade, shade, shade),
         MakeVertex(x, kTop + 64, shade, shade, shade));
  }
  grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                       GR_BLEND_ZERO);
  Quad(MakeVertex(kLeft + 4, kTop + 4, 255, 0, 0, 128),
       MakeVertex(kLeft + 60, kTop + 4, 255, 0, 0, 128),
       MakeVertex(kLeft + 60, kTop + 28, 255, 0, 0, 0),
       MakeVertex(kLeft + 4, kTop + 28, 255, 0, 0, 0));
  grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
  Quad(MakeVertex(kLeft + 4, kTop + 36, 0, 0, 255, 255),
       MakeVertex(kLeft + 60, kTop + 36, 0, 0, 255, 255),
       MakeVertex(kLeft + 60, kTop + 60, 0, 255, 0, 64),
       MakeVertex(kLeft + 4, kTop + 60, 0, 255, 0, 64));
  EXPECT_TRUE(MatchesReference("blended_and_additive", kLeft, kTop));
}

TEST_F(ReferenceImageTest, DepthTestedOverlapWithBias) {
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDepthBufferFunction(GR_CMP_LEQUAL);
  grDepthMask(1);
  grBufferClear(0x00203040, 0, 0xFFFF);
  // A far grey wall, a nearer red square drawn after it and a farther blue one that it hides.
  Quad(MakeVertex(kLeft + 4, kTop + 4, 128, 128, 128, 255, 200),
       MakeVertex(kLeft + 44, kTop + 4, 128, 128, 128, 255, 200),
       MakeVertex(kLeft + 44, kTop + 44, 128, 128, 128, 255, 200),
       MakeVertex(kLeft + 4, kTop + 44, 128, 128, 128, 255, 200));
  Quad(MakeVertex(kLeft + 20, kTop + 20, 220, 30, 30, 255, 100),
       MakeVertex(kLeft + 60, kTop + 20, 220, 30, 30, 255, 100),
       MakeVertex(kLeft + 60, kTop + 60, 220, 30, 30, 255, 100),
       MakeVertex(kLeft + 20, kTop + 60, 220, 30, 30, 255, 100));
  Quad(MakeVertex(kLeft + 10, kTop + 30, 30, 30, 220, 255, 300),
       MakeVertex(kLeft + 54, kTop + 30, 30, 30, 220, 255, 300),
       MakeVertex(kLeft + 54, kTop + 40, 30, 30, 220, 255, 300),
       MakeVertex(kLeft + 10, kTop + 40, 30, 30, 220, 255, 300));
  // Two decals 2 units behind the red square: with bias -3 the left one shows, the right one
  // without bias stays hidden.
  grDepthBiasLevel(-3);
  Quad(MakeVertex(kLeft + 24, kTop + 48, 30, 220, 30, 255, 102),
       MakeVertex(kLeft + 38, kTop + 48, 30, 220, 30, 255, 102),
       MakeVertex(kLeft + 38, kTop + 56, 30, 220, 30, 255, 102),
       MakeVertex(kLeft + 24, kTop + 56, 30, 220, 30, 255, 102));
  grDepthBiasLevel(0);
  Quad(MakeVertex(kLeft + 42, kTop + 48, 30, 220, 30, 255, 102),
       MakeVertex(kLeft + 56, kTop + 48, 30, 220, 30, 255, 102),
       MakeVertex(kLeft + 56, kTop + 56, 30, 220, 30, 255, 102),
       MakeVertex(kLeft + 42, kTop + 56, 30, 220, 30, 255, 102));
  EXPECT_TRUE(MatchesReference("depth_with_bias", kLeft, kTop));
}

TEST_F(ReferenceImageTest, TableFogAtTwoDepths) {
  // The game's fog ramp at full level.
  FxU8 table[GR_FOG_TABLE_SIZE];
  int value = 0;
  for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i) {
    table[i] = static_cast<FxU8>(i == 63 ? 255 : value);
    value += i < 49 ? 2 : (i < 59 ? 7 : 22);
  }
  grFogTable(table);
  grFogColorValue(0x00C0C0C0);
  grFogMode(GR_FOG_WITH_TABLE);
  // Near (W 1024, entry 40: 80 of 255) and far (W 40000, entry 61: 212 of 255) red squares.
  for (int i = 0; i < 2; ++i) {
    const float x = static_cast<float>(kLeft + 4 + 30 * i);
    const float w = i == 0 ? 1024.0f : 40000.0f;
    Quad(MakeVertex(x, kTop + 8, 200, 20, 20, 255, w),
         MakeVertex(x + 26, kTop + 8, 200, 20, 20, 255, w),
         MakeVertex(x + 26, kTop + 56, 20, 20, 200, 255, w),
         MakeVertex(x, kTop + 56, 20, 20, 200, 255, w));
  }
  EXPECT_TRUE(MatchesReference("table_fog", kLeft, kTop));
}

TEST_F(ReferenceImageTest, FrameBufferPanelWithKeyedPixels) {
  Quad(MakeVertex(kLeft, kTop, 200, 120, 40), MakeVertex(kLeft + 64, kTop, 40, 120, 200),
       MakeVertex(kLeft + 64, kTop + 64, 40, 120, 200), MakeVertex(kLeft, kTop + 64, 200, 120, 40));
  GrState saved;
  grDepthMask(0);
  grGlideGetState(&saved);
  grDisableAllEffects();
  grColorCombine(3, 8, 1, 1, 0);
  // An RGB555 panel keyed on black: a frame with a black (see-through) window.
  grChromakeyMode(1);
  grChromakeyValue(0x000000);
  GrLfbInfo info{};
  info.size = sizeof info;
  ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_555,
                        GR_ORIGIN_UPPER_LEFT, GR_LFB_PIXELPIPELINE, &info));
  auto* lfb = static_cast<std::uint8_t*>(info.lfbPtr);
  const FxU32 stride = info.strideInBytes & ~1u;
  for (int y = 0; y < 28; ++y) {
    auto* row = reinterpret_cast<std::uint16_t*>(lfb + stride * static_cast<FxU32>(kTop + 4 + y));
    for (int x = 0; x < 56; ++x) {
      const bool window = x >= 8 && x < 48 && y >= 6 && y < 22;
      row[kLeft + 4 + x] =
          window ? 0x0000 : static_cast<std::uint16_t>(0x4210 + (x / 4) * 0x0421 % 0x2000);
    }
  }
  grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
  // An ARGB1555 image blended by its alpha bit: a diagonal band of opaque white.
  grChromakeyMode(0);
  grAlphaCombine(3, 8, 1, 1, 0);
  grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                       GR_BLEND_ZERO);
  ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_1555,
                        GR_ORIGIN_UPPER_LEFT, GR_LFB_PIXELPIPELINE, &info));
  lfb = static_cast<std::uint8_t*>(info.lfbPtr);
  for (int y = 0; y < 24; ++y) {
    auto* row = reinterpret_cast<std::uint16_t*>(lfb + stride * static_cast<FxU32>(kTop + 36 + y));
    for (int x = 0; x < 56; ++x) {
      const bool band = (x - y) >= 0 && (x - y) < 12;
      row[kLeft + 4 + x] = band ? 0xFFFF : 0x7FFF;
    }
  }
  grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
  grGlideSetState(&saved);
  EXPECT_TRUE(MatchesReference("lfb_panel", kLeft, kTop));
}

TEST_F(ReferenceImageTest, LinesAndPoints) {
  const float cx = kLeft + 32;
  const float cy = kTop + 32;
  for (int i = 0; i < 16; ++i) {
    const float angle = static_cast<float>(i) * 0.3926991f;
    const GrVertex centre = MakeVertex(cx, cy, 255, 255, 255, 255);
    const GrVertex end = MakeVertex(cx + 28.0f * std::cos(angle), cy + 28.0f * std::sin(angle),
                                    static_cast<float>(i * 16), 64, 255 - i * 16);
    grDrawLine(&centre, &end);
  }
  for (int i = 0; i < 8; ++i) {
    const GrVertex point = MakeVertex(kLeft + 4.5f + 7 * i, kTop + 2.25f, 255, 255, 0);
    grDrawPoint(&point);
  }
  EXPECT_TRUE(MatchesReference("lines_and_points", kLeft, kTop));
}

}  // namespace
