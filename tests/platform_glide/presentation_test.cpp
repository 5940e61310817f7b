// Swapping, showing, pacing, reading frames back and recording calls.
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend/display_backend.h"
#include "platform/backend/headless_backend.h"
#include "platform/kernel/clock.h"
#include "tests/platform_glide/board_fixture.h"
#include "tests/support/png_picture.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/scratch_folder.h"

namespace {

using PresentationTest = BoardTest;

TEST_F(PresentationTest, SwapExchangesBuffersKeepsBothAndShowsTheFront) {
  platform::ClearShownFrames();
  grBufferClear(0x00FF0000, 0, 0xFFFF);
  grBufferSwap(1);
  grBufferClear(0x0000FF00, 0, 0xFFFF);
  EXPECT_EQ(platform::glide::ColorBuffer(GR_BUFFER_FRONTBUFFER)[0], Rgb565(255, 0, 0));
  grBufferSwap(1);
  EXPECT_EQ(platform::glide::ColorBuffer(GR_BUFFER_FRONTBUFFER)[0], Rgb565(0, 255, 0));
  EXPECT_EQ(BackPixel(0, 0), Rgb565(255, 0, 0));
  const auto shown = platform::LastShownFrame();
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(platform::ShownFrameCount(), 2u);
  EXPECT_EQ(shown->width, 640);
  EXPECT_EQ(shown->height, 480);
  EXPECT_EQ(shown->bitsPerPixel, 16);
  EXPECT_EQ(shown->pixels[0] | shown->pixels[1] << 8, Rgb565(0, 255, 0));
  EXPECT_EQ(grBufferNumPending(), 0);
}

TEST_F(PresentationTest, HeadlessBackendWritesTheShownFrameWhenAsked) {
  test_support::ScratchFolder folder("glide");
  const std::string path = folder / "frame.png";
  test_support::ScopedEnvironment frameFile("ARENA_FRAME_FILE", path.c_str());
  auto previous = platform::SetDisplayBackend(std::make_unique<platform::HeadlessBackend>());
  grBufferClear(0x00FF8000, 0, 0xFFFF);
  grBufferSwap(0);
  platform::SetDisplayBackend(std::move(previous));
  const auto picture = test_support::ReadPngPicture(path);
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 640);
  EXPECT_EQ(picture->height, 480);
  // The first row's first pixel: the cleared colour widened from RGB565.
  EXPECT_EQ(picture->rgb[0], 0xFF);
  EXPECT_EQ(picture->rgb[1], 0x82);
  EXPECT_EQ(picture->rgb[2], 0x00);
  // A cleared frame is one colour: the picture is deflated to a small part of its rows.
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  EXPECT_LT(file.tellg(), 640 * 480 * 3 / 50);
}

TEST_F(PresentationTest, SwapIntervalOnePacesToSixtyFramesBySleeping) {
  platform::VirtualClock clock;
  platform::ScopedProcessClock scoped(clock);
  platform::glide::SetSwapPacing(true);
  const DWORD start = timeGetTime();
  for (int i = 0; i < 61; ++i) {
    grBufferSwap(1);
  }
  // 60 frame periods after the first swap, each slept to the millisecond.
  EXPECT_NEAR(static_cast<double>(timeGetTime() - start), 1000.0, 30.0);
  const DWORD unpaced = timeGetTime();
  grBufferSwap(0);
  grBufferSwap(0);
  EXPECT_EQ(timeGetTime(), unpaced);
  platform::glide::SetSwapPacing(false);
  grBufferSwap(1);
  grBufferSwap(1);
  EXPECT_EQ(timeGetTime(), unpaced);
}

TEST_F(PresentationTest, ReadRegionCopiesTheFrontBufferRows) {
  grClipWindow(0, 0, 640, 1);
  grBufferClear(0x00FFFFFF, 0, 0xFFFF);
  grBufferSwap(0);
  std::vector<std::uint16_t> capture(640 * 480, 0x1234);
  ASSERT_TRUE(grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 0, 0, 640, 480, 1280, capture.data()));
  EXPECT_EQ(capture[0], 0xFFFF);
  EXPECT_EQ(capture[639], 0xFFFF);
  EXPECT_EQ(capture[640], 0x0000);
  std::uint16_t small[4] = {};
  EXPECT_FALSE(grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 639, 0, 2, 1, 4, small));
  EXPECT_FALSE(grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 0, 479, 1, 2, 2, small));
  EXPECT_FALSE(grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 0, 0, 2, 1, 2, small));
}

TEST_F(PresentationTest, OneLockAtATime) {
  GrLfbInfo info{};
  info.size = sizeof info;
  ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_555,
                        GR_ORIGIN_UPPER_LEFT, GR_LFB_PIXELPIPELINE, &info));
  EXPECT_EQ(info.strideInBytes, 1280u);
  EXPECT_FALSE(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_AUXBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_ANY,
                         GR_LFB_NOPIPELINE, &info));
  EXPECT_FALSE(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_AUXBUFFER));
  EXPECT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
}

TEST_F(PresentationTest, RecordingKeepsCallsWithTheirArguments) {
  platform::glide::StartRecording();
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDepthMask(1);
  grBufferClear(0x00102030, 0, 0xFFFF);
  grTexLodBiasValue(GR_TMU0, 0.5f);
  const GrVertex triangle[3] = {MakeVertex(1, 2, 3, 4, 5), MakeVertex(6, 7, 8, 9, 10),
                                MakeVertex(11, 12, 13, 14, 15)};
  grDrawPolygonVertexList(3, triangle);
  FxU8 table[GR_FOG_TABLE_SIZE] = {};
  table[63] = 255;
  grFogTable(table);
  platform::glide::StopRecording();
  grDepthMask(0);
  const std::vector<std::string> expected = {"grDepthBufferMode(2)",
                                             "grDepthMask(1)",
                                             "grBufferClear(1056816, 0, 65535)",
                                             "grTexLodBiasValue(0, 0.5)",
                                             "grDrawPolygonVertexList(3)",
                                             "grFogTable()"};
  EXPECT_EQ(platform::glide::RecordedCallTexts(), expected);
  const auto& calls = platform::glide::RecordedCalls();
  ASSERT_EQ(calls[4].vertices.size(), 3u);
  EXPECT_EQ(calls[4].vertices[2].x, 11.0f);
  EXPECT_EQ(calls[4].vertices[1].g, 9.0f);
  ASSERT_EQ(calls[5].table.size(), 64u);
  EXPECT_EQ(calls[5].table[63], 255u);
}

}  // namespace
