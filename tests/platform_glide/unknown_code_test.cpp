// A call with a code outside the game's list is ignored and said once on standard error, in
// every build.
#include <cstdint>
#include <functional>
#include <string>

#include "tests/platform_glide/board_fixture.h"

namespace {

using UnknownCodeTest = BoardTest;

struct UnknownCall {
  const char* said;
  std::function<void()> call;
};

GrTexInfo* TextureOfFormat(int format) {
  static GrTexInfo info;
  static std::uint8_t texels[64] = {};
  info = GrTexInfo{3, 3, GR_ASPECT_1x1, format, texels};
  return &info;
}

const UnknownCall kUnknownCalls[] = {
    {"grSstSelect(1)", [] { grSstSelect(1); }},
    {"grSstWinOpen(8, 0, 0, 0, 2, 1)",
     [] {
       grSstWinOpen(nullptr, 8, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 1);
     }},
    {"grDepthBufferMode(1)", [] { grDepthBufferMode(1); }},
    {"grDepthBufferFunction(1)", [] { grDepthBufferFunction(1); }},
    {"grDepthBiasLevel(65536)", [] { grDepthBiasLevel(0x10000); }},
    {"grFogMode(1)", [] { grFogMode(1); }},
    {"grAlphaBlendFunction(1, 2, 4, 0)",
     [] { grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, 2, GR_BLEND_ONE, GR_BLEND_ZERO); }},
    {"grAlphaCombine(3, 1, 0, 1, 0)", [] { grAlphaCombine(3, 1, 0, 1, 0); }},
    {"grColorCombine(1, 0, 0, 2, 1)", [] { grColorCombine(1, 0, 0, 2, 1); }},
    {"grTexCombine(0, 3, 0, 1, 0, 0, 0)", [] { grTexCombine(GR_TMU0, 3, 0, 1, 0, 0, 0); }},
    {"grTexFilterMode(0, 0, 1)", [] { grTexFilterMode(GR_TMU0, 0, 1); }},
    {"grTexClampMode(0, 1, 0)", [] { grTexClampMode(GR_TMU0, 1, 0); }},
    {"grTexMipMapMode(0, 1, 1)", [] { grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, 1); }},
    {"grTexLodBiasValue(0, 9.5)", [] { grTexLodBiasValue(GR_TMU0, 9.5f); }},
    {"grTexMinAddress(1)", [] { grTexMinAddress(1); }},
    {"grTexMaxAddress(1)", [] { grTexMaxAddress(1); }},
    {"grTexTextureMemRequired(3) with texture codes 3, 3, 3, 7",
     [] { grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, TextureOfFormat(7)); }},
    {"grTexDownloadMipMap(1, 0, 3) with texture codes 3, 3, 3, 5",
     [] { grTexDownloadMipMap(1, 0, GR_MIPMAPLEVELMASK_BOTH, TextureOfFormat(GR_TEXFMT_P_8)); }},
    {"grTexSource(0, 0, 1) with texture codes 3, 3, 3, 5",
     [] { grTexSource(GR_TMU0, 0, 1, TextureOfFormat(GR_TEXFMT_P_8)); }},
    {"grTexDownloadTable(0, 1)",
     [] {
       const std::uint32_t table[256] = {};
       grTexDownloadTable(GR_TMU0, 1, table);
     }},
    {"grChromakeyMode(2)", [] { grChromakeyMode(2); }},
    {"grLfbLock(1, 0, 1, 0, 1)",
     [] {
       GrLfbInfo info{};
       grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_555,
                 GR_ORIGIN_UPPER_LEFT, GR_LFB_PIXELPIPELINE, &info);
     }},
    {"grLfbReadRegion(2, 0, 0, 4, 4, 8)",
     [] {
       std::uint16_t pixels[16];
       grLfbReadRegion(GR_BUFFER_AUXBUFFER, 0, 0, 4, 4, 8, pixels);
     }},
};

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST_F(UnknownCodeTest, EachCallIsSaidOnceWithItsCodes) {
  for (const UnknownCall& row : kUnknownCalls) {
    SCOPED_TRACE(row.said);
    testing::internal::CaptureStderr();
    row.call();
    row.call();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Count(said, "software board: "), 1u) << said;
    EXPECT_EQ(Count(said, std::string(row.said) + " passes a code outside the game's list"), 1u)
        << said;
  }
}

TEST_F(UnknownCodeTest, CodesTheGameUsesAreNotSaid) {
  testing::internal::CaptureStderr();
  grSstSelect(0);
  grFogMode(GR_FOG_WITH_TABLE);
  grTexLodBiasValue(GR_TMU0, -1.5f);
  grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, TextureOfFormat(GR_TEXFMT_P_8));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(UnknownCodeTest, AnotherCodeOfANotedCallIsNotSaidUntilTheBoardIsShutDown) {
  testing::internal::CaptureStderr();
  grFogMode(1);
  grFogMode(3);
  grDepthBufferMode(1);
  grGlideShutdown();
  grFogMode(3);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Count(said, "grFogMode(1) passes"), 1u) << said;
  EXPECT_EQ(Count(said, "grDepthBufferMode(1) passes"), 1u) << said;
  EXPECT_EQ(Count(said, "grFogMode(3) passes"), 1u) << said;
  EXPECT_EQ(Count(said, "software board: "), 3u) << said;
}

TEST_F(UnknownCodeTest, AnIgnoredCodeLeavesTheStateAsItWas) {
  grFogMode(GR_FOG_WITH_TABLE);
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  testing::internal::CaptureStderr();
  grFogMode(1);
  grDepthBufferMode(1);
  testing::internal::GetCapturedStderr();
  GrState state{};
  grGlideGetState(&state);
  EXPECT_EQ(state.fogMode, GR_FOG_WITH_TABLE);
  EXPECT_EQ(state.depthMode, GR_DEPTHBUFFER_WBUFFER);
}

}  // namespace
