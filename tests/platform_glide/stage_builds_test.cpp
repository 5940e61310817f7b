// The pixel stages' builds (AVX-512, AVX2 and base x86-64) draw the same pixels and depths.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/platform_glide/board_fixture.h"
#include "tests/platform_glide/texture_fixtures.h"

namespace {

struct Frame {
  std::vector<std::uint16_t> colour;
  std::vector<std::uint16_t> depth;
};

// Polygons, lines and points under every setting the stages branch on, from a fixed seed.
Frame DrawVariedScene() {
  grSstWinOpen(nullptr, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
               GR_ORIGIN_UPPER_LEFT, 2, 1);
  std::mt19937 random(5);
  auto real = [&](float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
  };
  auto whole = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  std::uint32_t palette[256];
  for (std::uint32_t& entry : palette) {
    entry = random() & 0xFFFFFF;
  }
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
  TestTexture textures[2] = {
      MakeCheckerTexture(64, 8, GR_TEXFMT_P_8, 3, 9, 40, 41),
      MakeCheckerTexture(32, 4, GR_TEXFMT_RGB_565, 0xF800, 0x07FF, 0x001F, 0xFFE0)};
  LoadAndSelect(textures[1], 8192);
  LoadAndSelect(textures[0], 0);
  for (int polygon = 0; polygon < 400; ++polygon) {
    grTexSource(GR_TMU0, polygon % 2 == 0 ? 0 : 8192, GR_MIPMAPLEVELMASK_BOTH,
                &textures[polygon % 2].info);
    grDepthBufferMode(whole(0, 2) != 0 ? GR_DEPTHBUFFER_WBUFFER : GR_DEPTHBUFFER_DISABLE);
    grDepthBufferFunction(whole(0, 3) != 0 ? GR_CMP_LEQUAL : GR_CMP_ALWAYS);
    grDepthMask(whole(0, 3) != 0);
    grDepthBiasLevel(whole(-200, 200));
    grFogColorValue(random() & 0xFFFFFF);
    FxU8 fog[GR_FOG_TABLE_SIZE];
    for (FxU8& entry : fog) {
      entry = static_cast<FxU8>(random());
    }
    grFogTable(fog);
    grFogMode(whole(0, 2) == 0 ? GR_FOG_WITH_TABLE : GR_FOG_DISABLE);
    const int blend = whole(0, 2);
    grAlphaBlendFunction(blend == 1 ? GR_BLEND_SRC_ALPHA : GR_BLEND_ONE,
                         blend == 0   ? GR_BLEND_ZERO
                         : blend == 1 ? GR_BLEND_ONE_MINUS_SRC_ALPHA
                                      : GR_BLEND_ONE,
                         GR_BLEND_ONE, GR_BLEND_ZERO);
    const int combine = whole(0, 2);
    combine == 0   ? grColorCombine(1, 0, 0, 2, 0)
    : combine == 1 ? grColorCombine(3, 1, 0, 1, 0)
                   : grColorCombine(3, 8, 1, 1, 0);
    whole(0, 1) == 0 ? grAlphaCombine(1, 0, 0, 2, 0) : grAlphaCombine(3, 8, 1, 1, 0);
    const int filter = whole(0, 1);
    grTexFilterMode(GR_TMU0, filter, filter);
    grTexMipMapMode(GR_TMU0, whole(0, 1) != 0 ? GR_MIPMAP_NEAREST : GR_MIPMAP_DISABLE, 0);
    grChromakeyMode(whole(0, 2) == 0 ? 1 : 0);
    grChromakeyValue(palette[9]);
    const int corners = whole(1, 7);
    const float x = real(-60, 700);
    const float y = real(-60, 540);
    const float radius = real(2, 200);
    const float w = real(1, 30000);
    std::vector<GrVertex> vertices;
    for (int i = 0; i < corners; ++i) {
      const float angle = 6.2831853f * static_cast<float>(i) / static_cast<float>(corners);
      vertices.push_back(MakeVertex(x + radius * std::cos(angle), y + radius * std::sin(angle),
                                    real(-20, 300), real(-20, 300), real(-20, 300), real(-20, 300),
                                    w * real(0.5f, 2.0f), real(-300, 600), real(-300, 600)));
    }
    if (corners == 1) {
      grDrawPoint(vertices.data());
    } else if (corners == 2) {
      grDrawLine(&vertices[0], &vertices[1]);
    } else {
      grDrawPolygonVertexList(corners, vertices.data());
    }
  }
  const auto colour = platform::glide::ColorBuffer(GR_BUFFER_BACKBUFFER);
  const auto depth = platform::glide::DepthBuffer();
  return Frame{{colour.begin(), colour.end()}, {depth.begin(), depth.end()}};
}

struct WideBuild {
  platform::glide::StageBuild build;
  const char* name;
};

class StageBuildsTest : public BoardTest, public testing::WithParamInterface<WideBuild> {};

TEST_P(StageBuildsTest, DrawsAsTheBaseBuildDoes) {
  using platform::glide::StageBuild;
  const WideBuild wide = GetParam();
  if (!platform::glide::StageBuildRuns(wide.build)) {
    GTEST_SKIP() << "the processor has no " << wide.name << ": its build is not compared";
  }
  platform::glide::CapStageBuild(StageBuild::kBase);
  const Frame base = DrawVariedScene();
  std::size_t drawn = 0;
  for (std::uint16_t pixel : base.colour) {
    drawn += pixel != 0 ? 1 : 0;
  }
  // Most of the screen is drawn over.
  EXPECT_GT(drawn, base.colour.size() / 2);
  platform::glide::CapStageBuild(wide.build);
  const Frame drawnWide = DrawVariedScene();
  platform::glide::CapStageBuild(StageBuild::kAvx512);
  for (std::size_t i = 0; i < base.colour.size(); ++i) {
    ASSERT_EQ(drawnWide.colour[i], base.colour[i]) << "colour at " << i % 640 << ", " << i / 640;
    ASSERT_EQ(drawnWide.depth[i], base.depth[i]) << "depth at " << i % 640 << ", " << i / 640;
  }
}

INSTANTIATE_TEST_SUITE_P(WideBuilds, StageBuildsTest,
                         testing::Values(WideBuild{platform::glide::StageBuild::kAvx2, "AVX2"},
                                         WideBuild{platform::glide::StageBuild::kAvx512,
                                                   "AVX-512"}),
                         [](const testing::TestParamInfo<WideBuild>& info) {
                           return info.param.build == platform::glide::StageBuild::kAvx2
                                      ? std::string("Avx2")
                                      : std::string("Avx512");
                         });

// The first board opened in a process says which build draws: the widest the processor runs.
TEST(StageBuildNoteTest, TheFirstBoardOpenedSaysWhichBuildDraws) {
  using platform::glide::StageBuild;
  const char* build = platform::glide::StageBuildRuns(StageBuild::kAvx512) ? "AVX-512"
                      : platform::glide::StageBuildRuns(StageBuild::kAvx2) ? "AVX2"
                                                                           : "base x86-64";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        platform::glide::SetSwapPacing(false);
        grGlideInit();
        grSstWinOpen(nullptr, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                     GR_ORIGIN_UPPER_LEFT, 2, 1);
        std::exit(0);
      },
      testing::ExitedWithCode(0),
      std::string("software board: the pixel stages draw with the ") + build + " build");
}

using StageBuildNoteAgainTest = BoardTest;

TEST_F(StageBuildNoteAgainTest, ALaterBoardSaysNothing) {
  testing::internal::CaptureStderr();
  grGlideShutdown();
  grSstWinOpen(nullptr, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
               GR_ORIGIN_UPPER_LEFT, 2, 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
