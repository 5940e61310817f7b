// Texture memory: sizes, bounds, downloads and sampling from the memory itself.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "tests/platform_glide/board_fixture.h"
#include "tests/platform_glide/texture_fixtures.h"

namespace {

using TextureMemoryTest = BoardTest;

GrTexInfo Info(int smallLod, int largeLod, int aspect, int format) {
  return GrTexInfo{smallLod, largeLod, aspect, format, nullptr};
}

TEST_F(TextureMemoryTest, RequiredBytesCoverAllLevelsRoundedToEight) {
  struct Case {
    GrTexInfo info;
    FxU32 bytes;
  };
  const Case cases[] = {
      {Info(0, 0, GR_ASPECT_8x1, GR_TEXFMT_P_8), 256 * 32},
      {Info(8, 2, GR_ASPECT_1x1, GR_TEXFMT_P_8), 64 * 64 + 32 * 32 + 16 * 16 + 64 + 16 + 8},
      {Info(5, 2, GR_ASPECT_1x1, GR_TEXFMT_P_8), 64 * 64 + 32 * 32 + 16 * 16 + 64},
      {Info(3, 2, GR_ASPECT_1x8, GR_TEXFMT_RGB_565), 2 * (8 * 64 + 4 * 32)},
      {Info(8, 8, GR_ASPECT_1x1, GR_TEXFMT_P_8), 8},
      // 2:1 from 8 x 4 down to 1 x 1 (the shorter side stops at 1): 86 bytes, rounded to 88.
      {Info(8, 5, 2, GR_TEXFMT_RGB_565), 88},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &c.info), c.bytes)
        << "lods " << c.info.largeLod << ".." << c.info.smallLod << " aspect " << c.info.aspectRatio
        << " format " << c.info.format;
  }
}

TEST_F(TextureMemoryTest, AddressesSpanTheConfiguredMemory) {
  EXPECT_EQ(grTexMinAddress(GR_TMU0), 0u);
  EXPECT_EQ(grTexMaxAddress(GR_TMU0) + 8, 2u * 1024 * 1024);
  platform::glide::SetTextureMemorySize(4096);
  grSstWinOpen(nullptr, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
               GR_ORIGIN_UPPER_LEFT, 2, 1);
  EXPECT_EQ(grTexMaxAddress(GR_TMU0) + 8, 4096u);
  EXPECT_EQ(platform::glide::TextureMemory().size(), 4096u);
}

TEST_F(TextureMemoryTest, DownloadsBeyondTheMemoryAreRefused) {
  platform::glide::SetTextureMemorySize(4096);
  grSstWinOpen(nullptr, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
               GR_ORIGIN_UPPER_LEFT, 2, 1);
  // 32 x 32 and 16 x 16 texels of one byte: 1280 bytes.
  TestTexture texture = MakeCheckerTexture(32, 4, GR_TEXFMT_P_8, 7, 7, 9, 9);
  const auto memory = platform::glide::TextureMemory();
  for (FxU32 start : {4096u - 1280u + 8u, 4096u, 0xFFFFFFF8u}) {
    texture.info.data = texture.texels.data();
    grTexDownloadMipMap(GR_TMU0, start, GR_MIPMAPLEVELMASK_BOTH, &texture.info);
    EXPECT_TRUE(std::all_of(memory.begin(), memory.end(), [](std::uint8_t b) { return b == 0; }))
        << "start " << start;
  }
  // A source that does not fit draws nothing.
  grTexSource(GR_TMU0, 4096 - 8, GR_MIPMAPLEVELMASK_BOTH, &texture.info);
  grColorCombine(3, 8, 1, 1, 0);
  const GrVertex triangle[3] = {MakeVertex(0, 0, 0, 0, 0), MakeVertex(20, 0, 0, 0, 0),
                                MakeVertex(0, 20, 0, 0, 0)};
  grBufferClear(0x00FFFFFF, 0, 0xFFFF);
  grDrawPolygonVertexList(3, triangle);
  EXPECT_EQ(BackPixel(2, 2), 0xFFFF);
  // The last place it fits takes it: levels contiguous, largest first.
  grTexDownloadMipMap(GR_TMU0, 4096 - 1280, GR_MIPMAPLEVELMASK_BOTH, &texture.info);
  EXPECT_EQ(memory[4096 - 1280], 7);
  EXPECT_EQ(memory[4096 - 256 - 1], 7);
  EXPECT_EQ(memory[4096 - 256], 9);
  EXPECT_EQ(memory[4095], 9);
}

TEST_F(TextureMemoryTest, SamplingReadsTextureMemoryThroughThePalette) {
  std::uint32_t palette[256] = {};
  palette[1] = 0x00FF0000;
  palette[2] = 0x0000FF00;
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
  TestTexture first = MakeCheckerTexture(16, 16, GR_TEXFMT_P_8, 1, 1, 1, 1);
  LoadAndSelect(first, 512);
  grColorCombine(3, 8, 1, 1, 0);
  grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
  const GrVertex quad[4] = {
      MakeVertex(0, 0, 0, 0, 0, 255, 1, 0, 0), MakeVertex(16, 0, 0, 0, 0, 255, 1, 256, 0),
      MakeVertex(16, 16, 0, 0, 0, 255, 1, 256, 256), MakeVertex(0, 16, 0, 0, 0, 255, 1, 0, 256)};
  grDrawPolygonVertexList(4, quad);
  EXPECT_EQ(BackPixel(8, 8), Rgb565(255, 0, 0));
  // A second texture overlapping the first one's place shows through it: no copy is kept.
  TestTexture second = MakeCheckerTexture(16, 16, GR_TEXFMT_P_8, 2, 2, 2, 2);
  second.info.data = second.texels.data();
  grTexDownloadMipMap(GR_TMU0, 512, GR_MIPMAPLEVELMASK_BOTH, &second.info);
  grDrawPolygonVertexList(4, quad);
  EXPECT_EQ(BackPixel(8, 8), Rgb565(0, 255, 0));
  // The palette is read when drawing, too.
  palette[2] = 0x000000FF;
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
  grDrawPolygonVertexList(4, quad);
  EXPECT_EQ(BackPixel(8, 8), Rgb565(0, 0, 255));
}

TEST_F(TextureMemoryTest, SamplingFollowsEveryChangeOfTheTexturesBytes) {
  std::uint32_t palette[256] = {};
  palette[1] = 0x00FF0000;
  palette[2] = 0x0000FF00;
  palette[3] = 0x000000FF;
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
  grColorCombine(3, 8, 1, 1, 0);
  grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
  const GrVertex quad[4] = {
      MakeVertex(0, 0, 0, 0, 0, 255, 1, 0, 0), MakeVertex(16, 0, 0, 0, 0, 255, 1, 256, 0),
      MakeVertex(16, 16, 0, 0, 0, 255, 1, 256, 256), MakeVertex(0, 16, 0, 0, 0, 255, 1, 0, 256)};
  // Two textures of 320 bytes at 0 and 512, drawn in turn.
  TestTexture red = MakeCheckerTexture(16, 16, GR_TEXFMT_P_8, 1, 1, 1, 1);
  TestTexture blue = MakeCheckerTexture(16, 16, GR_TEXFMT_P_8, 3, 3, 3, 3);
  LoadAndSelect(blue, 512);
  LoadAndSelect(red, 0);
  for (int round = 0; round < 2; ++round) {
    grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &red.info);
    grDrawPolygonVertexList(4, quad);
    EXPECT_EQ(BackPixel(8, 8), Rgb565(255, 0, 0)) << "round " << round;
    grTexSource(GR_TMU0, 512, GR_MIPMAPLEVELMASK_BOTH, &blue.info);
    grDrawPolygonVertexList(4, quad);
    EXPECT_EQ(BackPixel(8, 8), Rgb565(0, 0, 255)) << "round " << round;
  }
  // A download over rows 4..15 of the first texture's largest level changes those rows only.
  TestTexture green = MakeCheckerTexture(16, 16, GR_TEXFMT_P_8, 2, 2, 2, 2);
  green.info.data = green.texels.data();
  grTexDownloadMipMap(GR_TMU0, 64, GR_MIPMAPLEVELMASK_BOTH, &green.info);
  grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &red.info);
  grDrawPolygonVertexList(4, quad);
  EXPECT_EQ(BackPixel(8, 2), Rgb565(255, 0, 0));
  EXPECT_EQ(BackPixel(8, 8), Rgb565(0, 255, 0));
  // A board opened again starts with zeroed texture memory and palette.
  grSstWinOpen(nullptr, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
               GR_ORIGIN_UPPER_LEFT, 2, 1);
  grColorCombine(3, 8, 1, 1, 0);
  grBufferClear(0x00FFFFFF, 0, 0xFFFF);
  grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &red.info);
  grDrawPolygonVertexList(4, quad);
  EXPECT_EQ(BackPixel(8, 8), 0);
}

TEST_F(TextureMemoryTest, CoordinatesWrapAndSpanTheLargerSide) {
  // An 8:1 texture 32 x 4: s 0..256 spans its width, t 0..256 spans 32 texels, its height 8 times.
  std::vector<std::uint8_t> texels(32 * 4 + 16 * 2);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 32; ++x) {
      texels[static_cast<std::size_t>(y * 32 + x)] = static_cast<std::uint8_t>(x < 16 ? 1 : 2);
    }
  }
  std::uint32_t palette[256] = {};
  palette[1] = 0x00FF0000;
  palette[2] = 0x000000FF;
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
  GrTexInfo info{LodOfSide(16), LodOfSide(32), GR_ASPECT_8x1, GR_TEXFMT_P_8, texels.data()};
  grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
  grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
  grColorCombine(3, 8, 1, 1, 0);
  grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
  // 64 pixels across for s 0..512: two repeats, each half red, half blue.
  const GrVertex quad[4] = {
      MakeVertex(0, 0, 0, 0, 0, 255, 1, 0, 0), MakeVertex(64, 0, 0, 0, 0, 255, 1, 512, 0),
      MakeVertex(64, 8, 0, 0, 0, 255, 1, 512, 64), MakeVertex(0, 8, 0, 0, 0, 255, 1, 0, 64)};
  grDrawPolygonVertexList(4, quad);
  EXPECT_EQ(BackPixel(4, 4), Rgb565(255, 0, 0));
  EXPECT_EQ(BackPixel(20, 4), Rgb565(0, 0, 255));
  EXPECT_EQ(BackPixel(36, 4), Rgb565(255, 0, 0));
  EXPECT_EQ(BackPixel(52, 4), Rgb565(0, 0, 255));
}

}  // namespace
