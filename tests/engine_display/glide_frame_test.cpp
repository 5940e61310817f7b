#include <cstdint>
#include <string>
#include <vector>

#include "engine/display/glide_frame_internal.h"
#include "tests/engine_display/display_fixture.h"

namespace {

using FrameTest = DisplayTest;
using Texts = std::vector<std::string>;

TEST_F(FrameTest, EachClearVariantSendsItsCalls) {
  struct Case {
    int colour;
    int depth;
    Texts calls;
  };
  const Case cases[] = {
      {1, 1, {"grDepthBufferMode(2)", "grDepthMask(1)", "grBufferClear(1193046, 0, 65535)"}},
      {0,
       1,
       {"grDepthBufferMode(2)", "grDepthMask(1)", "grColorMask(0, 0)", "grBufferClear(0, 0, 65535)",
        "grColorMask(1, 0)"}},
      {1, 0, {"grDepthMask(0)", "grBufferClear(1193046, 0, 65535)"}},
      {0, 0, {}},
  };
  for (const Case& c : cases) {
    Record();
    EXPECT_EQ(r3xGlideClear(glide_, c.colour, c.depth, 0x12, 0x34, 0x56), 0);
    EXPECT_EQ(Calls(), c.calls) << c.colour << c.depth;
  }
}

TEST_F(FrameTest, ColourOnlyClearLeavesDepthUntouched) {
  r3xGlideClear(glide_, 1, 1, 0, 0, 0);
  const std::uint16_t farthest = platform::glide::DepthBuffer()[0];
  r3xGlideClear(glide_, 1, 0, 0xFF, 0, 0);
  EXPECT_EQ(BackPixel(5, 5), Rgb565(0xFF, 0, 0));
  EXPECT_EQ(platform::glide::DepthBuffer()[0], farthest);
}

TEST_F(FrameTest, FogTablesScaleTheRampByLevel) {
  struct Case {
    int level;
    std::vector<std::uint32_t> picks;  // entries 0, 1, 49, 50, 59, 60, 62, 63
  };
  const Case cases[] = {
      {256, {0, 2, 98, 105, 168, 190, 234, 255}},
      {128, {0, 1, 49, 52, 84, 95, 117, 127}},
      {1, {0, 0, 0, 0, 0, 0, 0, 0}},
  };
  const int indices[] = {0, 1, 49, 50, 59, 60, 62, 63};
  for (const Case& c : cases) {
    Record();
    EXPECT_EQ(r3xGlideSetFog(glide_, 1, c.level, 0x10, 0x20, 0x30), 0);
    const auto& calls = platform::glide::RecordedCalls();
    ASSERT_EQ(Calls(), (Texts{"grFogColorValue(1056816)", "grFogTable()", "grFogMode(2)"}));
    ASSERT_EQ(calls[1].table.size(), 64u);
    for (std::size_t i = 0; i < c.picks.size(); ++i) {
      EXPECT_EQ(calls[1].table[static_cast<std::size_t>(indices[i])], c.picks[i])
          << "level " << c.level << " entry " << indices[i];
    }
  }
}

TEST_F(FrameTest, FogOffKeepsTheTable) {
  for (const auto& [on, level] : {std::pair{0, 256}, std::pair{1, 0}}) {
    Record();
    r3xGlideSetFog(glide_, on, level, 1, 2, 3);
    EXPECT_EQ(Calls(), Texts{"grFogMode(0)"});
  }
}

TEST_F(FrameTest, DepthAndMipmapStateFollowTheRenderContext) {
  r3xSetDepthBuffering(render_, 1);
  render_->mipDistanceFactor = 0.75f;
  Record();
  _r3xGlideSetDepthState(render_);
  EXPECT_EQ(Calls(), (Texts{"grDepthBufferMode(2)", "grDepthMask(1)", "grDepthBufferFunction(3)",
                            "grTexLodBiasValue(0, 0.25)", "grTexMipMapMode(0, 1, 0)"}));
  r3xSetDepthBuffering(render_, 0);
  render_->mipSwitch = 0;
  Record();
  _r3xGlideSetDepthState(render_);
  EXPECT_EQ(Calls(), (Texts{"grDepthBufferMode(0)", "grDepthMask(0)", "grTexMipMapMode(0, 0, 0)"}));
}

TEST_F(FrameTest, PresentAsksForPendingSwapsBeforeSwapping) {
  Record();
  EXPECT_EQ(r3xGlidePresent(nullptr, 1), 0);
  EXPECT_EQ(Calls(), (Texts{"grBufferNumPending()", "grBufferSwap(1)"}));
  Record();
  r3xGlidePresent(glide_, 0);
  EXPECT_EQ(Calls(), (Texts{"grBufferNumPending()", "grBufferSwap(0)"}));
}

}  // namespace
