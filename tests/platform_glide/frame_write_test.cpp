// Frame writes one after another: each passes on the pixels written under its own lock only,
// whatever the earlier writes, their write modes and the clip window were.
#include <cstdint>
#include <initializer_list>

#include "tests/platform_glide/board_fixture.h"

namespace {

using FrameWriteTest = BoardTest;

struct Write {
  int x;
  int y;
  std::uint16_t pixel;
};

constexpr std::uint16_t kRed555 = 0x7C00;
constexpr std::uint16_t kGreen555 = 0x03E0;
constexpr std::uint16_t kOpaqueBlue1555 = 0x801F;

// A write lock as the game takes it: 1555 pixels alpha blended, or 555 pixels keyed by `key`.
void WriteFrame(int writeMode, GrColor key, std::initializer_list<Write> writes) {
  grColorCombine(3, 8, 1, 1, 0);
  grAlphaCombine(3, 8, 1, 1, 0);
  if (writeMode == GR_LFBWRITEMODE_1555) {
    grChromakeyMode(0);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                         GR_BLEND_ZERO);
  } else {
    grChromakeyMode(1);
    grChromakeyValue(key);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
  }
  GrLfbInfo info{};
  info.size = sizeof info;
  ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, writeMode, GR_ORIGIN_UPPER_LEFT,
                        GR_LFB_PIXELPIPELINE, &info));
  auto* rows = static_cast<std::uint8_t*>(info.lfbPtr);
  for (const Write& write : writes) {
    auto* pixel = reinterpret_cast<std::uint16_t*>(rows + info.strideInBytes * write.y);
    pixel[write.x] = write.pixel;
  }
  ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
}

TEST_F(FrameWriteTest, APixelIsPassedOnByTheWriteThatWroteItOnly) {
  WriteFrame(GR_LFBWRITEMODE_555, 0x00FF00FF, {{10, 10, kRed555}, {600, 470, kRed555}});
  EXPECT_EQ(BackPixel(10, 10), Rgb565(255, 0, 0));
  grBufferClear(0, 0, 0xFFFF);
  WriteFrame(GR_LFBWRITEMODE_555, 0x00FF00FF, {{20, 10, kGreen555}});
  EXPECT_EQ(BackPixel(10, 10), 0);
  EXPECT_EQ(BackPixel(600, 470), 0);
  EXPECT_EQ(BackPixel(20, 10), Rgb565(0, 255, 0));
}

TEST_F(FrameWriteTest, APixelOutsideTheClipWindowIsNotPassedOnLater) {
  grClipWindow(0, 0, 640, 100);
  WriteFrame(GR_LFBWRITEMODE_555, 0x00FF00FF, {{5, 50, kRed555}, {5, 200, kRed555}});
  EXPECT_EQ(BackPixel(5, 50), Rgb565(255, 0, 0));
  EXPECT_EQ(BackPixel(5, 200), 0);
  grClipWindow(0, 0, 640, 480);
  WriteFrame(GR_LFBWRITEMODE_555, 0x00FF00FF, {});
  EXPECT_EQ(BackPixel(5, 200), 0);
}

TEST_F(FrameWriteTest, AWriteInTheOtherModeStartsFromAWindowOfItsOwn) {
  WriteFrame(GR_LFBWRITEMODE_1555, 0, {{30, 30, kOpaqueBlue1555}});
  EXPECT_EQ(BackPixel(30, 30), Rgb565(0, 0, 255));
  grBufferClear(0, 0, 0xFFFF);
  WriteFrame(GR_LFBWRITEMODE_555, 0x00FF00FF, {{31, 30, kRed555}});
  WriteFrame(GR_LFBWRITEMODE_1555, 0, {{32, 30, kOpaqueBlue1555}});
  EXPECT_EQ(BackPixel(30, 30), 0);
  EXPECT_EQ(BackPixel(31, 30), Rgb565(255, 0, 0));
  EXPECT_EQ(BackPixel(32, 30), Rgb565(0, 0, 255));
}

TEST_F(FrameWriteTest, WritesBetweenKeyedOnesComparedAgainstTheBackBufferPassOnTheirOwnPixelsOnly) {
  WriteFrame(GR_LFBWRITEMODE_555, 0x00FF00FF, {{39, 40, kGreen555}});
  // The lowest green step of the frame, which no 555 pixel holds: passed on, it would be lost.
  grBufferClear(0x00000400, 0, 0xFFFF);
  // A key no 555 pixel widens to: the window holds the back buffer to compare against.
  WriteFrame(GR_LFBWRITEMODE_555, 0x00090909, {{40, 40, kRed555}});
  EXPECT_EQ(BackPixel(0, 0), 0x0020);
  EXPECT_EQ(BackPixel(40, 40), Rgb565(255, 0, 0));
  grBufferClear(0x00FFFFFF, 0, 0xFFFF);
  WriteFrame(GR_LFBWRITEMODE_555, 0x00FF00FF, {{41, 40, kGreen555}});
  EXPECT_EQ(BackPixel(0, 0), 0xFFFF);
  EXPECT_EQ(BackPixel(40, 40), 0xFFFF);
  EXPECT_EQ(BackPixel(41, 40), Rgb565(0, 255, 0));
}

TEST_F(FrameWriteTest, AReadLockLeavesTheWriteWindowAsItWas) {
  WriteFrame(GR_LFBWRITEMODE_555, 0x00FF00FF, {{50, 50, kRed555}});
  grBufferClear(0, 0, 0x1234);
  GrLfbInfo info{};
  info.size = sizeof info;
  ASSERT_TRUE(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_AUXBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_ANY,
                        GR_LFB_NOPIPELINE, &info));
  ASSERT_TRUE(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_AUXBUFFER));
  WriteFrame(GR_LFBWRITEMODE_555, 0x00FF00FF, {{51, 50, kRed555}});
  EXPECT_EQ(BackPixel(0, 0), 0);
  EXPECT_EQ(BackPixel(50, 50), 0);
  EXPECT_EQ(BackPixel(51, 50), Rgb565(255, 0, 0));
}

}  // namespace
