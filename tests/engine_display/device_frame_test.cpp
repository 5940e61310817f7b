#include <gtest/gtest.h>

#include <vector>

#include "device_fixture.h"
#include "tests/support/direct_draw_faults.h"

namespace {

using DeviceFrameTest = DeviceTest;

TEST_F(DeviceFrameTest, TwoBlackFramesAfterTheOpenReachTheDisplay) {
  SetUpHostDisplay();
  R3xPalette palette{};
  palette.entries[0] = {0, 0, 0, 0};
  palette.entries[9] = {200, 100, 50, 0};
  ASSERT_EQ(OpenAsTheGameDoes(&palette), 0);
  // Something else on the screen first, so that the black frames are told apart.
  ASSERT_EQ(r3xClearDevice(device_, 9, nullptr), DD_OK);
  ASSERT_EQ(r3xPresentDevice(device_), DD_OK);
  ASSERT_TRUE(LastFrameIsAll(9));
  platform::ClearShownFrames();

  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(r3xClearDevice(device_, 0, nullptr), DD_OK);
    ASSERT_EQ(r3xPresentDevice(device_), DD_OK);
    EXPECT_TRUE(LastFrameIsAll(0)) << i;
  }
  EXPECT_EQ(platform::ShownFrameCount(), 2u);
  const auto frame = platform::LastShownFrame();
  ASSERT_EQ(frame->palette.size(), 256u);
  EXPECT_EQ(frame->palette[9].peRed, 200);
  EXPECT_EQ(frame->palette[0].peRed, 0);
}

TEST_F(DeviceFrameTest, APaletteChangeShowsInTheNextFrame) {
  SetUpHostDisplay();
  ASSERT_EQ(OpenAsTheGameDoes(), 0);
  R3xPalette palette{};
  palette.entries[4] = {1, 2, 3, 0};
  ASSERT_EQ(r3xSetDevicePalette(device_, &palette), 0);
  EXPECT_EQ(device_->entries[4].peGreen, 2);
  EXPECT_EQ(device_->entries[4].peFlags, R3X_PALETTE_READONLY);
  ASSERT_EQ(r3xClearDevice(device_, 4, nullptr), DD_OK);
  ASSERT_EQ(r3xPresentDevice(device_), DD_OK);
  auto frame = platform::LastShownFrame();
  ASSERT_EQ(frame->palette.size(), 256u);
  EXPECT_EQ(frame->palette[4].peBlue, 3);

  // Without a palette the device's palette is attached again, as after the window is activated.
  ASSERT_EQ(primary_->SetPalette(nullptr), DD_OK);
  ASSERT_EQ(r3xSetDevicePalette(device_, nullptr), 0);
  ASSERT_EQ(r3xPresentDevice(device_), DD_OK);
  frame = platform::LastShownFrame();
  ASSERT_EQ(frame->palette.size(), 256u);
  EXPECT_EQ(frame->palette[4].peBlue, 3);
}

TEST_F(DeviceFrameTest, AClosedOrMissingDeviceIsRefused) {
  SetUpHostDisplay();
  R3xPalette palette{};
  EXPECT_EQ(r3xPresentDevice(nullptr), R3X_DEVICE_FAILED);
  EXPECT_EQ(r3xSetDevicePalette(nullptr, &palette), R3X_DEVICE_FAILED);
  EXPECT_EQ(r3xClearDevice(nullptr, 0, nullptr), R3X_DEVICE_FAILED);
  ASSERT_EQ(OpenAsTheGameDoes(), 0);
  ASSERT_EQ(r3xDestroyRenderDevice(&device_, R3X_DEVICE_KEEP), 0);
  EXPECT_EQ(r3xPresentDevice(device_), R3X_DEVICE_FAILED);
  EXPECT_EQ(r3xSetDevicePalette(device_, &palette), R3X_DEVICE_FAILED);
  EXPECT_EQ(r3xSetDeviceColorKey(device_, 3, nullptr), R3X_DEVICE_FAILED);
  EXPECT_EQ(r3xClearDevice(device_, 0, nullptr), R3X_DEVICE_FAILED) << "no surface to fill";
}

TEST_F(DeviceFrameTest, SurfaceNumbersOutsideTheTableAreRefusedAndItsSlotsAreEmpty) {
  SetUpHostDisplay();
  ASSERT_EQ(OpenAsTheGameDoes(), 0);
  IDirectDrawSurface* surface = nullptr;
  for (std::int32_t n : {0, 5, -1}) {
    EXPECT_EQ(r3xGetDeviceSurface(device_, n, &surface), R3X_DEVICE_FAILED) << n;
  }
  for (std::int32_t n = 1; n <= 4; ++n) {
    EXPECT_EQ(r3xGetDeviceSurface(device_, n, &surface), R3X_DEVICE_EMPTY_SLOT) << n;
  }
  EXPECT_EQ(surface, nullptr);
}

TEST_F(DeviceFrameTest, ASixteenBitWindowedDeviceClearsInPackedColoursAndBlitsToTheWindow) {
  // A desktop of 16 bits per pixel.
  IDirectDraw* desktop = nullptr;
  ASSERT_EQ(DirectDrawCreate(nullptr, &desktop, nullptr), DD_OK);
  ASSERT_EQ(desktop->SetDisplayMode(640, 480, 16), DD_OK);
  desktop->Release();
  ASSERT_EQ(
      r3xCreateRenderDevice(&device_, camera_, 0, 1, 0, nullptr, window_, 16, nullptr, nullptr), 0);
  EXPECT_EQ(device_->flipping, 0);
  EXPECT_NE(device_->clipper, nullptr);
  EXPECT_EQ(device_->pixelFormat, R3X_PIXEL_FORMAT_565);
  EXPECT_EQ(device_->colourKey, 0u) << "black";
  EXPECT_EQ(device_->palette, nullptr);

  EXPECT_EQ(r3xClearDevice(device_, 0, nullptr), R3X_DEVICE_FAILED);
  const R3xDeviceColour red{0, 0, 255, 0};
  ASSERT_EQ(r3xClearDevice(device_, 0, &red), DD_OK);
  platform::ClearShownFrames();
  ASSERT_EQ(r3xPresentDevice(device_), DD_OK);
  const auto frame = platform::LastShownFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->bitsPerPixel, 16);
  EXPECT_EQ(frame->pixels[0], 0x00);
  EXPECT_EQ(frame->pixels[1], 0xF8);
  EXPECT_EQ(frame->pixels[frame->pixels.size() - 1], 0xF8);

  // A palette only reaches the record's entries.
  R3xPalette palette{};
  palette.entries[2] = {9, 9, 9, 0};
  EXPECT_EQ(r3xSetDevicePalette(device_, &palette), 0);
  EXPECT_EQ(device_->entries[2].peRed, 9);
  // An unknown layout fails the colour key and the clear.
  device_->pixelFormat = 5;
  EXPECT_EQ(r3xSetDeviceColorKey(device_, 0, &red), R3X_DEVICE_FAILED);
  EXPECT_EQ(r3xClearDevice(device_, 0, &red), R3X_DEVICE_FAILED);
  r3xDestroyRenderDevice(&device_, R3X_DEVICE_FREE);
  EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
}

// A lost surface is restored and the step done once more; lost again, the present or palette
// change returns the failure, and a failed scale copy shows nothing.
TEST_F(DeviceFrameTest, LostSurfacesAreRestoredAndTheStepDoneOnceMore) {
  using enum platform::DirectDrawCall;
  using test_support::DirectDrawFaults;
  constexpr HRESULT kLost = DDERR_SURFACELOST;
  constexpr DWORD kPrimary = DDSCAPS_PRIMARYSURFACE;
  constexpr DWORD kBack = DDSCAPS_BACKBUFFER;
  struct Case {
    const char* name;
    std::int32_t fullScreen;
    std::uint32_t flags;
    std::int32_t cameraWidth;
    DirectDrawFaults::Fault fault;
    bool palette;
    HRESULT result;
    std::vector<platform::DirectDrawCall> calls;
  };
  const Case cases[] = {
      {"flip", 1, 0, 640, {kFlip, kPrimary, kLost}, false, DD_OK, {kFlip, kRestore, kFlip}},
      {"flip lost twice",
       1,
       0,
       640,
       {kFlip, kPrimary, kLost, 2},
       false,
       kLost,
       {kFlip, kRestore, kFlip}},
      // The primary, then the back surface.
      {"window blit",
       0,
       0,
       640,
       {kBlt, kPrimary, kLost},
       false,
       DD_OK,
       {kBlt, kRestore, kRestore, kBlt}},
      // The back surface, then the scale surface.
      {"scale copy",
       1,
       R3X_DEVICE_SCALE_1,
       640,
       {kBltFast, kBack, kLost},
       false,
       DD_OK,
       {kBltFast, kRestore, kRestore, kBltFast, kFlip}},
      {"scale copy lost twice",
       1,
       R3X_DEVICE_SCALE_1,
       640,
       {kBltFast, kBack, kLost, 2},
       false,
       kLost,
       {kBltFast, kRestore, kRestore, kBltFast}},
      {"scale stretch",
       1,
       R3X_DEVICE_SCALE_2,
       320,
       {kBlt, kBack, kLost},
       false,
       DD_OK,
       {kBlt, kRestore, kRestore, kBlt, kFlip}},
      {"palette",
       1,
       0,
       640,
       {kSetPalette, kPrimary, kLost},
       true,
       DD_OK,
       {kSetPalette, kRestore, kSetPalette}},
      {"palette lost twice",
       1,
       0,
       640,
       {kSetPalette, kPrimary, kLost, 2},
       true,
       kLost,
       {kSetPalette, kRestore, kSetPalette}},
  };
  R3xPalette palette{};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetCameraImageBuffer(camera_, nullptr, c.cameraWidth, c.cameraWidth * 3 / 4);
    ASSERT_EQ(r3xCreateRenderDevice(&device_, camera_, c.fullScreen, 1, c.flags, nullptr, window_,
                                    8, nullptr, nullptr),
              0);
    ASSERT_EQ(r3xClearDevice(device_, 6, nullptr), DD_OK);
    platform::ClearShownFrames();
    {
      DirectDrawFaults faults({c.fault});
      EXPECT_EQ(c.palette ? r3xSetDevicePalette(device_, &palette) : r3xPresentDevice(device_),
                c.result);
      EXPECT_EQ(faults.Calls(), c.calls);
    }
    if (!c.palette) {
      EXPECT_EQ(platform::ShownFrameCount(), c.result == DD_OK ? 1u : 0u);
      EXPECT_TRUE(c.result != DD_OK || LastFrameIsAll(6));
    }
    r3xDestroyRenderDevice(&device_, R3X_DEVICE_FREE);
  }
  EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
}

}  // namespace
