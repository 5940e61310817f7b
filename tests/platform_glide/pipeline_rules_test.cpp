// The board rules left open by what the game asks of it, each decided once and pinned here.
#include <cstdint>

#include "tests/platform_glide/board_fixture.h"
#include "tests/platform_glide/texture_fixtures.h"

namespace {

using PipelineRulesTest = BoardTest;

void Square(float x, float y, float side, float r, float g, float b, float w = 1.0f,
            float s0 = 0.0f, float s1 = 0.0f) {
  const GrVertex quad[4] = {MakeVertex(x, y, r, g, b, 255, w, s0, 0),
                            MakeVertex(x + side, y, r, g, b, 255, w, s1, 0),
                            MakeVertex(x + side, y + side, r, g, b, 255, w, s1, s1 - s0),
                            MakeVertex(x, y + side, r, g, b, 255, w, s0, s1 - s0)};
  grDrawPolygonVertexList(4, quad);
}

TEST_F(PipelineRulesTest, FogTableEntryFollowsQuarterDoublingsOfW) {
  // Only entry 40 (W from 1024 up to 2^10.25 = 1217.97) fogs, fully, to white.
  FxU8 table[GR_FOG_TABLE_SIZE] = {};
  table[40] = 255;
  grFogTable(table);
  grFogColorValue(0x00FFFFFF);
  grFogMode(GR_FOG_WITH_TABLE);
  Square(10, 10, 4, 0, 0, 0, 1023.0f);
  Square(20, 10, 4, 0, 0, 0, 1024.0f);
  Square(30, 10, 4, 0, 0, 0, 1217.0f);
  Square(40, 10, 4, 0, 0, 0, 1219.0f);
  EXPECT_EQ(BackPixel(11, 11), 0x0000);
  EXPECT_EQ(BackPixel(21, 11), 0xFFFF);
  EXPECT_EQ(BackPixel(31, 11), 0xFFFF);
  EXPECT_EQ(BackPixel(41, 11), 0x0000);
}

TEST_F(PipelineRulesTest, NearestMipmapLevelSwitchesAtAStepOfRootTwo) {
  // Level 0 all red, level 1 all blue; a 64-pixel square showing n texels of level 0 across.
  TestTexture texture = MakeCheckerTexture(32, 32, GR_TEXFMT_RGB_565, Rgb565(255, 0, 0),
                                           Rgb565(255, 0, 0), Rgb565(0, 0, 255), Rgb565(0, 0, 255));
  LoadAndSelect(texture);
  grColorCombine(3, 8, 1, 1, 0);
  grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, 0);
  // 8 units of s are one texel of the 32-texel level 0.
  Square(0, 0, 64, 255, 255, 255, 1.0f, 0.0f, 8.0f * 64 * 1.40f);
  EXPECT_EQ(BackPixel(32, 32), Rgb565(255, 0, 0));
  Square(100, 0, 64, 255, 255, 255, 1.0f, 0.0f, 8.0f * 64 * 1.43f);
  EXPECT_EQ(BackPixel(132, 32), Rgb565(0, 0, 255));
  // Mipmapping off: always the largest level.
  grTexMipMapMode(GR_TMU0, GR_MIPMAP_DISABLE, 0);
  Square(200, 0, 64, 255, 255, 255, 1.0f, 0.0f, 8.0f * 64 * 4.0f);
  EXPECT_EQ(BackPixel(232, 32), Rgb565(255, 0, 0));
  // A bias of 1 moves the switch one level earlier.
  grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, 0);
  grTexLodBiasValue(GR_TMU0, 1.0f);
  Square(300, 0, 64, 255, 255, 255, 1.0f, 0.0f, 8.0f * 64 * 0.75f);
  EXPECT_EQ(BackPixel(332, 32), Rgb565(0, 0, 255));
}

TEST_F(PipelineRulesTest, MipmapLevelChangesPixelByPixelAlongARow) {
  // Level 0 all red, level 1 all blue; a quad leaning away to the right, whose texel step grows
  // along each row and from row to row, so the switch falls at different columns.
  TestTexture texture = MakeCheckerTexture(32, 32, GR_TEXFMT_P_8, 1, 1, 2, 2);
  const FxU32 palette[256] = {0, 0x00FF0000, 0x000000FF};
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
  LoadAndSelect(texture);
  grColorCombine(3, 8, 1, 1, 0);
  grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, 0);
  const GrVertex quad[4] = {MakeVertex(0, 0, 255, 255, 255, 255, 1.0f, 0, 0),
                            MakeVertex(128, 0, 255, 255, 255, 255, 3.0f, 600, 0),
                            MakeVertex(128, 40, 255, 255, 255, 255, 4.0f, 600, 100),
                            MakeVertex(0, 40, 255, 255, 255, 255, 1.0f, 0, 100)};
  grDrawPolygonVertexList(4, quad);
  bool switchInsideAVector = false;
  for (int y = 0; y < 40; ++y) {
    int firstBlue = 128;
    for (int x = 0; x < 128; ++x) {
      const std::uint16_t pixel = BackPixel(x, y);
      ASSERT_TRUE(pixel == Rgb565(255, 0, 0) || pixel == Rgb565(0, 0, 255)) << x << ", " << y;
      if (pixel == Rgb565(0, 0, 255) && firstBlue == 128) {
        firstBlue = x;
      }
      // Once the step has passed root two it stays past it.
      ASSERT_EQ(pixel, x < firstBlue ? Rgb565(255, 0, 0) : Rgb565(0, 0, 255)) << x << ", " << y;
    }
    ASSERT_GT(firstBlue, 0) << y;
    ASSERT_LT(firstBlue, 128) << y;
    switchInsideAVector |= firstBlue % 4 != 0;
  }
  EXPECT_TRUE(switchInsideAVector);
}

TEST_F(PipelineRulesTest, AnyOriginReadLockGivesRowsFromTheBottom) {
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDepthMask(1);
  Square(300, 10, 1, 0, 0, 0, 1234.0f);
  GrLfbInfo info{};
  info.size = sizeof info;
  ASSERT_TRUE(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_AUXBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_ANY,
                        GR_LFB_NOPIPELINE, &info));
  const auto* rows = static_cast<const std::uint8_t*>(info.lfbPtr);
  const FxU32 stride = info.strideInBytes & ~1u;
  const auto* row = reinterpret_cast<const std::uint16_t*>(rows + stride * (479 - 10));
  EXPECT_EQ(row[300], 1234);
  EXPECT_EQ(row[301], 0xFFFF);
  EXPECT_EQ(info.origin, GR_ORIGIN_LOWER_LEFT);
  EXPECT_TRUE(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_AUXBUFFER));
  EXPECT_FALSE(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_AUXBUFFER));
}

TEST_F(PipelineRulesTest, FrameBufferKeyComparesThePixelWidenedAsTheBoardWidens) {
  grColorCombine(3, 8, 1, 1, 0);
  grChromakeyMode(1);
  GrLfbInfo info{};
  info.size = sizeof info;
  // The 555 pixel with 1 in each channel widens to 0x08 a channel: keyed by 0x080808 only.
  for (GrColor key : {0x00080808u, 0x00090909u}) {
    grChromakeyValue(key);
    ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_555,
                          GR_ORIGIN_UPPER_LEFT, GR_LFB_PIXELPIPELINE, &info));
    static_cast<std::uint16_t*>(info.lfbPtr)[key == 0x00080808u ? 0 : 1] = 0x0421;
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
  }
  EXPECT_EQ(BackPixel(0, 0), 0x0000);
  EXPECT_EQ(BackPixel(1, 0), Rgb565(8, 8, 8));
}

TEST_F(PipelineRulesTest, FrameBufferWritesSkipDepthAndFog) {
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDepthMask(1);
  grBufferClear(0, 0, 0);
  FxU8 table[GR_FOG_TABLE_SIZE];
  for (FxU8& entry : table) {
    entry = 255;
  }
  grFogTable(table);
  grFogColorValue(0x00FFFFFF);
  grFogMode(GR_FOG_WITH_TABLE);
  grColorCombine(3, 8, 1, 1, 0);
  GrLfbInfo info{};
  info.size = sizeof info;
  ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_555,
                        GR_ORIGIN_UPPER_LEFT, GR_LFB_PIXELPIPELINE, &info));
  static_cast<std::uint16_t*>(info.lfbPtr)[640 * 5 + 5] = 0x7C00;
  ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
  EXPECT_EQ(BackPixel(5, 5), Rgb565(255, 0, 0));
  EXPECT_EQ(DepthAt(5, 5), 0);
}

TEST_F(PipelineRulesTest, DisableAllEffectsTurnsOffBlendKeyFogAndDepthOnly) {
  grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
  grChromakeyMode(1);
  grFogMode(GR_FOG_WITH_TABLE);
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDepthMask(0);
  grColorCombine(3, 1, 0, 1, 0);
  grClipWindow(1, 2, 3, 4);
  grDisableAllEffects();
  GrState state;
  grGlideGetState(&state);
  EXPECT_EQ(state.blendSrc, GR_BLEND_ONE);
  EXPECT_EQ(state.blendDst, GR_BLEND_ZERO);
  EXPECT_FALSE(state.chromakey);
  EXPECT_EQ(state.fogMode, GR_FOG_DISABLE);
  EXPECT_EQ(state.depthMode, GR_DEPTHBUFFER_DISABLE);
  EXPECT_FALSE(state.depthWrite);
  EXPECT_EQ(state.colorCombine, 1);
  EXPECT_EQ(state.clipRight, 3);
}

TEST_F(PipelineRulesTest, SavedStateComesBackWhole) {
  TestTexture texture =
      MakeCheckerTexture(16, 4, GR_TEXFMT_RGB_565, Rgb565(255, 0, 0), Rgb565(255, 0, 0), 0, 0);
  LoadAndSelect(texture, 64);
  grColorCombine(3, 8, 1, 1, 0);
  GrState saved;
  grGlideGetState(&saved);
  grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &texture.info);
  grColorCombine(1, 0, 0, 2, 0);
  grGlideSetState(&saved);
  Square(10, 10, 4, 0, 0, 0);
  EXPECT_EQ(BackPixel(11, 11), Rgb565(255, 0, 0));
}

TEST_F(PipelineRulesTest, ClearFollowsTheWriteMasksAndClipWindow) {
  grDepthMask(1);
  grBufferClear(0x00FF0000, 0, 0x1234);
  EXPECT_EQ(BackPixel(0, 0), Rgb565(255, 0, 0));
  EXPECT_EQ(DepthAt(0, 0), 0x1234);
  grColorMask(0, 0);
  grBufferClear(0x0000FF00, 0, 0xFFFF);
  EXPECT_EQ(BackPixel(0, 0), Rgb565(255, 0, 0));
  EXPECT_EQ(DepthAt(0, 0), 0xFFFF);
  grColorMask(1, 0);
  grDepthMask(0);
  grClipWindow(10, 10, 20, 20);
  grBufferClear(0x000000FF, 0, 0);
  EXPECT_EQ(BackPixel(10, 10), Rgb565(0, 0, 255));
  EXPECT_EQ(BackPixel(9, 10), Rgb565(255, 0, 0));
  EXPECT_EQ(DepthAt(10, 10), 0xFFFF);
}

TEST_F(PipelineRulesTest, AlwaysPassingDepthIgnoresTheBufferButWrites) {
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDepthMask(1);
  grBufferClear(0, 0, 10);
  grDepthBufferFunction(GR_CMP_ALWAYS);
  Square(0, 0, 4, 255, 255, 255, 500.0f);
  EXPECT_EQ(BackPixel(1, 1), 0xFFFF);
  EXPECT_EQ(DepthAt(1, 1), 500);
  grDepthBufferFunction(GR_CMP_LEQUAL);
  Square(0, 0, 4, 255, 0, 0, 600.0f);
  EXPECT_EQ(BackPixel(1, 1), 0xFFFF);
}

}  // namespace
