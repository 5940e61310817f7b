#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/display/glide_frame_internal.h"
#include "platform/gdi.h"
#include "tests/engine_display/display_fixture.h"
#include "tests/support/dib_section_dc.h"
#include "tests/support/failing_memory.h"

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

namespace {

using ContextTest = DisplayTest;

TEST_F(ContextTest, InitOpensTheBoardAndSetsItsState) {
  r3xGlideShutdown(glide_);
  Record();
  ASSERT_EQ(r3xGlideInit(&glide_), 0);
  EXPECT_EQ(Calls(), (Texts{"grGlideInit()", "grSstQueryHardware()", "grSstSelect(0)",
                            "grSstWinOpen(7, 0, 0, 0, 2, 1)", "grTexFilterMode(0, 1, 1)",
                            "grTexClampMode(0, 0, 0)", "grChromakeyMode(0)",
                            "grAlphaBlendFunction(4, 0, 4, 0)", "grAlphaCombine(1, 0, 0, 2, 0)",
                            "grFogTable()"}));
  EXPECT_EQ(glide_->lruHead, nullptr);
  EXPECT_EQ(glide_->memoryTop, 0u);
  EXPECT_EQ(glide_->palette, nullptr);
}

TEST_F(ContextTest, InitWithoutMemoryClosesTheBoard) {
  r3xGlideShutdown(glide_);
  R3xGlideContext* context = glide_;
  {
    test_support::FailingMemory memory(0);
    Record();
    EXPECT_EQ(r3xGlideInit(&context), R3X_ERR_FAILED);
  }
  EXPECT_EQ(context, nullptr);
  EXPECT_EQ(Calls().back(), "grGlideShutdown()");
  ASSERT_EQ(r3xGlideInit(&glide_), 0);
}

TEST_F(ContextTest, OverlayIsWrittenKeyedBeforeTheSwap) {
  R3xPalette palette{};
  palette.entries[0] = {0x08, 0x10, 0x18, 0};
  r3xSetTransparentIndex(render_, 0);
  ASSERT_EQ(r3xGlideAttach(glide_, render_, &palette), 0);
  r3xGlideClear(glide_, 1, 1, 0, 0, 0xF8);
  // 150 x 60, bottom-up, all transparent but the top row.
  const std::uint16_t transparent = (0x08 >> 3) << 10 | (0x10 >> 3) << 5 | 0x18 >> 3;
  std::vector<std::uint16_t> pixels(150 * 60, transparent);
  std::fill(pixels.begin() + 59 * 150, pixels.end(), std::uint16_t{0x7C00});
  glide_->overlayPixels = pixels.data();
  glide_->overlaySwitch = 1;
  r3xGlidePresent(glide_, 0);
  const auto front = platform::glide::ColorBuffer(GR_BUFFER_FRONTBUFFER);
  EXPECT_EQ(front[0], Rgb565(0xFF, 0, 0));
  EXPECT_EQ(front[148], Rgb565(0xFF, 0, 0));
  EXPECT_EQ(front[149], Rgb565(0, 0, 0xF8));
  EXPECT_EQ(front[640], Rgb565(0, 0, 0xF8));
}

// The overlay's 150 x 60 DIB section and its DC.
class OverlaySurface {
 public:
  HDC Dc() const { return surface_.Dc(); }
  std::uint16_t* Pixels() const { return surface_.Bits(); }
  std::uint16_t At(int x, int y) const { return Pixels()[(59 - y) * 150 + x]; }

 private:
  test_support::DibSectionDc surface_{150, 60};
};

TEST_F(ContextTest, OverlayWritesItsLinesInTheirBands) {
  R3xPalette palette{};
  palette.entries[0] = {0x08, 0x10, 0x18, 0};
  r3xSetTransparentIndex(render_, 0);
  ASSERT_EQ(r3xGlideAttach(glide_, render_, &palette), 0);
  const std::uint16_t transparent = (0x08 >> 3) << 10 | (0x10 >> 3) << 5 | 0x18 >> 3;
  const std::uint16_t ink = (200 >> 3) << 5 | 100 >> 3;
  // What the polygon and region lines must look like, in the overlay's colour.
  OverlaySurface expected;
  std::fill_n(expected.Pixels(), 150 * 60, transparent);
  SetTextColor(expected.Dc(), RGB(0, 200, 100));
  SetBkMode(expected.Dc(), TRANSPARENT);
  ASSERT_TRUE(ExtTextOutA(expected.Dc(), 0, 0, 0, nullptr, "fps: ", 5, nullptr));
  ASSERT_TRUE(ExtTextOutA(expected.Dc(), 0, 20, 0, nullptr, "polys: 1234", 11, nullptr));
  ASSERT_TRUE(ExtTextOutA(expected.Dc(), 0, 40, 0, nullptr, "rgns: 56", 8, nullptr));

  OverlaySurface overlay;
  // The overlay fills and writes (0, 0) to (149, 59), exclusive; the last column and row
  // keep what they held.
  std::fill_n(overlay.Pixels(), 150 * 60, transparent);
  glide_->overlayDrawingContext = overlay.Dc();
  glide_->overlayPixels = overlay.Pixels();
  glide_->overlaySwitch = 1;
  glide_->overlayPolygonCount = 1234;
  glide_->overlayRegionCount = 56;
  // The overlay redraws at least once in six presents.
  for (int i = 0; i < 6; ++i) {
    r3xGlideClear(glide_, 1, 1, 0, 0, 0);
    r3xGlidePresent(glide_, 0);
  }
  int fpsInk = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 150; ++x) {
      const std::uint16_t pixel = overlay.At(x, y);
      ASSERT_TRUE(pixel == transparent || pixel == ink) << x << "," << y;
      if (y < 20) {
        // The rate differs from run to run; its label does not.
        EXPECT_TRUE(expected.At(x, y) != ink || pixel == ink) << x << "," << y;
        fpsInk += pixel == ink;
      } else {
        EXPECT_EQ(pixel, expected.At(x, y)) << x << "," << y;
      }
    }
  }
  EXPECT_GT(fpsInk, 0);
  // On the black frame the text shows and the rest of the overlay is keyed out.
  const auto front = platform::glide::ColorBuffer(GR_BUFFER_FRONTBUFFER);
  for (int y = 0; y < 59; ++y) {
    for (int x = 0; x < 149; ++x) {
      ASSERT_EQ(front[y * 640 + x] != 0, overlay.At(x, y) == ink) << x << "," << y;
    }
  }

  // Without counts only the rate line is written.
  glide_->overlayPolygonCount = 0;
  glide_->overlayRegionCount = 0;
  for (int i = 0; i < 6; ++i) {
    r3xGlidePresent(glide_, 0);
  }
  for (int y = 20; y < 60; ++y) {
    for (int x = 0; x < 150; ++x) {
      ASSERT_EQ(overlay.At(x, y), transparent) << x << "," << y;
    }
  }
  glide_->overlayDrawingContext = nullptr;
  glide_->overlayPixels = nullptr;
  glide_->overlaySwitch = 0;
}

}  // namespace
