// The render device's statistics overlay: text on a keyed 150 x 60 surface, copied to the top
// left of every presented frame and redrawn on every sixth present.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "device_fixture.h"
#include "tests/support/direct_draw_faults.h"

namespace {

constexpr BYTE kClear = 9;
// The system palette's nearest to the overlay's text colour (0, 200, 100): (0, 128, 128). The
// overlay surface has no palette of its own.
constexpr BYTE kInk = 6;
constexpr int kOverlayWidth = 149;
constexpr int kOverlayHeight = 59;

class DeviceOverlayTest : public DeviceTest {
 protected:
  // The game's device, closed and opened again with the overlay flag set, keyed on index 0.
  void OpenWithOverlay() {
    SetUpHostDisplay();
    ASSERT_EQ(OpenAsTheGameDoes(), 0);
    ASSERT_EQ(device_->overlay, nullptr);
    ASSERT_EQ(r3xDestroyRenderDevice(&device_, R3X_DEVICE_KEEP), 0);
    device_->overlayOn = 1;
    ASSERT_EQ(OpenAsTheGameDoes(), 0);
    ASSERT_NE(device_->overlay, nullptr);
    const R3xDeviceColour black{0, 0, 0, 0};
    ASSERT_EQ(r3xSetDeviceColorKey(device_, 0, &black), 0);
  }

  // Clears the frame, presents it and counts the ink pixels in rows [top, bottom) of the
  // overlay's area; every other pixel of the frame must be the cleared colour.
  int PresentAndCountInk(int top, int bottom) {
    EXPECT_EQ(r3xClearDevice(device_, kClear, nullptr), DD_OK);
    EXPECT_EQ(r3xPresentDevice(device_), DD_OK);
    const auto frame = platform::LastShownFrame();
    int ink = 0;
    for (int y = 0; y < frame->height; ++y) {
      for (int x = 0; x < frame->width; ++x) {
        const BYTE pixel = frame->pixels[static_cast<std::size_t>(y) * frame->width + x];
        const bool inOverlay = x < kOverlayWidth && y < kOverlayHeight;
        if (inOverlay && pixel == kInk) {
          ink += y >= top && y < bottom ? 1 : 0;
        } else {
          EXPECT_EQ(pixel, kClear) << x << "," << y;
        }
      }
    }
    return ink;
  }

  // Presents until a redraw has shown the polygon line (at most six presents).
  void PresentUntilThePolygonLineShows() {
    for (int i = 0; i < 6; ++i) {
      if (PresentAndCountInk(20, 40) > 0) {
        return;
      }
    }
    FAIL() << "no redraw in six presents";
  }
};

TEST_F(DeviceOverlayTest, TheRateLineIsKeyedOverTheFrameAndTheCountLinesOnlyWhenNotZero) {
  OpenWithOverlay();
  device_->polygonCount = 0;
  device_->regionCount = 0;
  // Whatever the last redraw left, six presents redraw once with no count lines.
  int countInk = 0;
  for (int i = 0; i < 6; ++i) {
    countInk = PresentAndCountInk(20, kOverlayHeight);
  }
  EXPECT_EQ(countInk, 0);
  EXPECT_GT(PresentAndCountInk(0, 20), 0);
}

TEST_F(DeviceOverlayTest, TheTextIsRedrawnOnEverySixthPresent) {
  OpenWithOverlay();
  device_->polygonCount = 1234;
  device_->regionCount = 0;
  PresentUntilThePolygonLineShows();
  // The region line waits for the next redraw, five presents on.
  device_->regionCount = 56;
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(PresentAndCountInk(40, kOverlayHeight), 0) << i;
  }
  EXPECT_GT(PresentAndCountInk(40, kOverlayHeight), 0);
  EXPECT_GT(PresentAndCountInk(20, 40), 0);
}

TEST_F(DeviceOverlayTest, TheGamesDeviceShowsNoOverlay) {
  SetUpHostDisplay();
  ASSERT_EQ(OpenAsTheGameDoes(), 0);
  device_->polygonCount = 99;
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(PresentAndCountInk(0, kOverlayHeight), 0) << i;
  }
}

TEST_F(DeviceOverlayTest, ALostOverlayCopyIsRestoredAndTheOverlaysFailuresNeverFailThePresent) {
  using enum platform::DirectDrawCall;
  using test_support::DirectDrawFaults;
  OpenWithOverlay();
  device_->polygonCount = 0;
  device_->regionCount = 0;
  // Six presents draw the text once.
  for (int i = 0; i < 6; ++i) {
    PresentAndCountInk(0, kOverlayHeight);
  }
  {
    DirectDrawFaults faults({{kBltFast, DDSCAPS_BACKBUFFER, DDERR_SURFACELOST}});
    EXPECT_GT(PresentAndCountInk(0, 20), 0);
    // The clear, the copy, the back surface restored and the copy again.
    EXPECT_EQ(faults.Calls(DDSCAPS_BACKBUFFER),
              (std::vector<platform::DirectDrawCall>{kBlt, kBltFast, kRestore, kBltFast}));
    EXPECT_EQ(faults.Count(kRestore, DDSCAPS_OFFSCREENPLAIN), 1);
  }
  DirectDrawFaults faults(
      {{kBltFast, DDSCAPS_BACKBUFFER, DDERR_SURFACELOST, DirectDrawFaults::kAlways},
       {kGetDC, DDSCAPS_OFFSCREENPLAIN, DDERR_SURFACELOST, DirectDrawFaults::kAlways},
       {kBlt, DDSCAPS_OFFSCREENPLAIN, DDERR_SURFACELOST, DirectDrawFaults::kAlways}});
  platform::ClearShownFrames();
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(PresentAndCountInk(0, kOverlayHeight), 0) << i;
  }
  EXPECT_EQ(platform::ShownFrameCount(), 7u);
  EXPECT_GT(faults.Count(kGetDC), 1) << "a redraw was tried";
}

}  // namespace
