#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "device_fixture.h"
#include "engine/display/render_device_internal.h"
#include "tests/support/direct_draw_faults.h"

namespace {

using platform::DirectDrawCall;
using test_support::DirectDrawFaults;
using RenderDeviceTest = DeviceTest;

DWORD CapsOf(IDirectDrawSurface* surface) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  return desc.ddsCaps.dwCaps;
}

TEST(PixelFormatTest, MasksChooseTheLayout) {
  struct Case {
    DWORD red;
    DWORD blue;
    std::int32_t code;
  };
  for (const Case c : {Case{0x7C00, 0x001F, 1}, Case{0xF800, 0x001F, 2}, Case{0x001F, 0x7C00, 3},
                       Case{0x001F, 0xF800, 4}, Case{0x03E0, 0x001F, 1}, Case{0x001F, 0x03E0, 1}}) {
    DDPIXELFORMAT format{sizeof(DDPIXELFORMAT), DDPF_RGB, 16, c.red, 0, c.blue};
    EXPECT_EQ(_r3xPixelFormatOf(format), c.code) << std::hex << c.red << " " << c.blue;
  }
}

TEST(PixelFormatTest, ColoursPackInEachLayoutAndAnUnknownCodeIsRefused) {
  const R3xDeviceColour white{255, 255, 255, 0};
  // Blue 0x10, green 0x84, red 0xF8: every channel lands somewhere else in each layout.
  const R3xDeviceColour mixed{0x10, 0x84, 0xF8, 0xEE};
  struct Case {
    std::int32_t code;
    std::int32_t white;
    std::int32_t mixed;
  };
  for (const Case c : {Case{1, 0x7FFF, (0x1F << 10) | (0x10 << 5) | 0x02},
                       Case{2, 0xFFFF, (0x1F << 11) | (0x21 << 5) | 0x02},
                       Case{3, 0x7FFF, (0x02 << 10) | (0x10 << 5) | 0x1F},
                       Case{4, 0xFFFF, (0x02 << 11) | (0x21 << 5) | 0x1F}}) {
    EXPECT_EQ(_r3xPackRgb16(&white, c.code), c.white) << c.code;
    EXPECT_EQ(_r3xPackRgb16(&mixed, c.code), c.mixed) << c.code;
  }
  for (std::int32_t code : {0, 5, -1}) {
    EXPECT_EQ(_r3xPackRgb16(&white, code), R3X_DEVICE_FAILED) << code;
  }
}

TEST_F(RenderDeviceTest, TheGamesOpenBorrowsTheHostsDisplayAndKeysIndex253) {
  SetUpHostDisplay();
  R3xPalette palette{};
  palette.entries[1] = {10, 20, 30, 0};
  ASSERT_EQ(OpenAsTheGameDoes(&palette), 0);
  ASSERT_NE(device_, nullptr);
  EXPECT_EQ(device_->open, 1);
  EXPECT_EQ(device_->directDraw, directDraw_);
  EXPECT_EQ(device_->primary, primary_);
  EXPECT_NE(device_->back, nullptr);
  EXPECT_EQ(device_->flipping, 1);
  EXPECT_EQ(device_->width, 640u);
  EXPECT_EQ(device_->height, 480u);
  EXPECT_EQ(device_->colourKeyIndex, 253);
  EXPECT_EQ(device_->colourKey, 253u);
  EXPECT_EQ(device_->entries[1].peBlue, 30);
  for (const PALETTEENTRY& entry : device_->entries) {
    EXPECT_EQ(entry.peFlags, R3X_PALETTE_READONLY);
  }
  EXPECT_NE(device_->palette, nullptr);
  EXPECT_EQ(camera_->rowLength, 640);
  platform::WindowState state;
  ASSERT_TRUE(platform::GetWindowState(window_, state));
  EXPECT_NE(state.exStyle & WS_EX_TOPMOST, 0u);

  // The colour key follows the game's index.
  EXPECT_EQ(r3xSetDeviceColorKey(device_, 0, nullptr), 0);
  EXPECT_EQ(device_->colourKey, 0u);
}

TEST_F(RenderDeviceTest, OpeningAnOpenDeviceIsRefusedAndChangesNothing) {
  SetUpHostDisplay();
  ASSERT_EQ(OpenAsTheGameDoes(), 0);
  R3xRenderDevice* const first = device_;
  IDirectDrawSurface* const back = device_->back;
  EXPECT_EQ(OpenAsTheGameDoes(), R3X_DEVICE_FAILED);
  EXPECT_EQ(device_, first);
  EXPECT_EQ(device_->open, 1);
  EXPECT_EQ(device_->back, back);
  EXPECT_EQ(device_->primary, primary_);
}

TEST_F(RenderDeviceTest, AResetToTheSameSizeDoesNothingAndANewSizeReplacesThePrimary) {
  SetUpHostDisplay();
  ASSERT_EQ(OpenAsTheGameDoes(), 0);
  IDirectDrawSurface* const back = device_->back;
  EXPECT_EQ(r3xResetRenderDevice(device_, camera_, 1, 0), 0);
  EXPECT_EQ(device_->primary, primary_);
  EXPECT_EQ(device_->back, back);

  // The primary and its back buffer are the only surfaces before and after.
  EXPECT_EQ(platform::LiveSurfaceCount(), 2u);
  SetCameraImageBuffer(camera_, nullptr, 320, 240);
  ASSERT_EQ(r3xResetRenderDevice(device_, camera_, 1, 0), 0);
  // The device released the host's primary; a second release would have found it gone.
  std::exchange(primary_, nullptr);
  EXPECT_EQ(platform::LiveSurfaceCount(), 2u);
  EXPECT_EQ(device_->width, 320u);
  EXPECT_EQ(device_->open, 1);
  EXPECT_EQ(platform::GetDisplayMode().width, 320);
  EXPECT_EQ(camera_->rowLength, 320);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(device_->primary->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 320u);
  IDirectDrawPalette* attached = nullptr;
  ASSERT_EQ(device_->primary->GetPalette(&attached), DD_OK)
      << "the palette moves to the new primary";
  EXPECT_EQ(attached, device_->palette);
  attached->Release();

  // The world stop keeps the host's objects and hands the live primary back; the host's release
  // of it is the last one.
  ASSERT_EQ(r3xDestroyRenderDevice(&device_, R3X_DEVICE_KEEP), 0);
  ASSERT_NE(device_, nullptr);
  EXPECT_EQ(device_->open, 0);
  IDirectDrawSurface* handedBack = device_->primary;
  EXPECT_EQ(platform::LiveSurfaceCount(), 2u);
  EXPECT_EQ(handedBack->Release(), 0u);
  EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
}

TEST_F(RenderDeviceTest, TheKeepModeLeavesTheHostsObjectsAndTheRecordAlive) {
  SetUpHostDisplay();
  ASSERT_EQ(OpenAsTheGameDoes(), 0);
  ASSERT_EQ(r3xDestroyRenderDevice(&device_, R3X_DEVICE_KEEP), 0);
  ASSERT_NE(device_, nullptr);
  EXPECT_EQ(device_->open, 0);
  EXPECT_EQ(device_->primary, primary_);
  EXPECT_EQ(device_->directDraw, directDraw_);
  EXPECT_EQ(device_->back, nullptr);
  ASSERT_NE(device_->palette, nullptr);
  // The device's and the primary's references.
  EXPECT_EQ(device_->palette->AddRef(), 3u);
  device_->palette->Release();
  EXPECT_EQ(primary_->AddRef(), 2u);
  primary_->Release();
  EXPECT_EQ(directDraw_->AddRef(), 2u);
  directDraw_->Release();
  EXPECT_EQ(r3xPresentDevice(device_), R3X_DEVICE_FAILED) << "closed";

  // Unloading the game frees what the keep mode left, still without the host's objects.
  ASSERT_EQ(r3xDestroyRenderDevice(&device_, R3X_DEVICE_FREE | R3X_DEVICE_KEEP), 0);
  EXPECT_EQ(device_, nullptr);
  EXPECT_EQ(platform::LiveSurfaceCount(), 2u);
  EXPECT_EQ(std::exchange(primary_, nullptr)->Release(), 0u);
  EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
  EXPECT_EQ(std::exchange(directDraw_, nullptr)->Release(), 0u);
}

TEST_F(RenderDeviceTest, AFailedOpenLeavesWhatTheCallerLentAlive) {
  ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
  ASSERT_EQ(directDraw_->SetCooperativeLevel(window_, 0x53), DD_OK);
  // A primary without a back buffer cannot be drawn into in full screen.
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  ASSERT_EQ(directDraw_->CreateSurface(&desc, &primary_, nullptr), DD_OK);
  EXPECT_EQ(OpenAsTheGameDoes(), DDERR_NOTFOUND);
  EXPECT_EQ(device_, nullptr);
  EXPECT_EQ(primary_->AddRef(), 2u);
  primary_->Release();
  EXPECT_EQ(directDraw_->AddRef(), 2u);
  directDraw_->Release();
}

TEST_F(RenderDeviceTest, AHalfSizeCameraGetsADoubleSizeModeAndAStretchedScaleSurface) {
  SetCameraImageBuffer(camera_, nullptr, 320, 240);
  ASSERT_EQ(r3xCreateRenderDevice(&device_, camera_, 1, 1, R3X_DEVICE_SCALE_2, nullptr, window_, 8,
                                  nullptr, nullptr),
            0);
  EXPECT_EQ(platform::GetDisplayMode().width, 640);
  EXPECT_EQ(platform::GetDisplayMode().height, 480);
  ASSERT_NE(device_->scale, nullptr);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(device_->scale->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 320u);
  EXPECT_EQ(desc.dwHeight, 240u);

  ASSERT_EQ(r3xClearDevice(device_, 5, nullptr), DD_OK);
  ASSERT_EQ(r3xPresentDevice(device_), DD_OK);
  const auto frame = platform::LastShownFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->width, 640);
  EXPECT_TRUE(LastFrameIsAll(5));
  // The stored size is twice the camera's: the same camera reopens the device, which lets go
  // of its scale surface and makes a new one.
  IDirectDrawSurface* const scale = device_->scale;
  scale->AddRef();
  EXPECT_EQ(r3xResetRenderDevice(device_, camera_, 1, R3X_DEVICE_SCALE_2), 0);
  EXPECT_NE(device_->scale, scale);
  EXPECT_EQ(scale->Release(), 0u);
  EXPECT_EQ(device_->open, 1);
  EXPECT_EQ(device_->width, 640u);
  EXPECT_EQ(device_->scaleInUse, 1);
  r3xDestroyRenderDevice(&device_, R3X_DEVICE_FREE);
  EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
}

TEST_F(RenderDeviceTest, AWindowedResizeReplacesOnlyTheBackSurface) {
  ASSERT_EQ(
      r3xCreateRenderDevice(&device_, camera_, 0, 1, 0, nullptr, window_, 8, nullptr, nullptr), 0);
  IDirectDrawSurface* const primary = device_->primary;
  IDirectDrawClipper* const clipper = device_->clipper;
  EXPECT_EQ(device_->clientRect.right, 640);
  SetWindowPos(window_, nullptr, 30, 40, 0, 0, SWP_NOSIZE);
  SetCameraImageBuffer(camera_, nullptr, 200, 100);
  ASSERT_EQ(r3xResetRenderDevice(device_, camera_, 0, 0), 0);
  EXPECT_EQ(device_->primary, primary);
  EXPECT_EQ(device_->clipper, clipper);
  EXPECT_EQ(device_->clientRect.left, 30);
  EXPECT_EQ(device_->clientRect.top, 40);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(device_->back->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 200u);
  EXPECT_EQ(desc.dwHeight, 100u);
  EXPECT_EQ(camera_->rowLength, 200);
  // Primary and back surface only.
  EXPECT_EQ(platform::LiveSurfaceCount(), 2u);

  // Full screen replaces the primary with a flipping one at the camera's size.
  ASSERT_EQ(r3xResetRenderDevice(device_, camera_, 1, 0), 0);
  EXPECT_EQ(device_->clipper, nullptr);
  EXPECT_EQ(device_->flipping, 1);
  EXPECT_EQ(platform::GetDisplayMode().width, 200);
  r3xDestroyRenderDevice(&device_, R3X_DEVICE_FREE);
  EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
  EXPECT_EQ(platform::GetDisplayMode().width, 640) << "the display mode is restored";
}

TEST_F(RenderDeviceTest, AFailedResetFallsBackToAWindowAndReturnsTheFirstFailure) {
  ASSERT_EQ(
      r3xCreateRenderDevice(&device_, camera_, 1, 1, 0, nullptr, window_, 8, nullptr, nullptr), 0);
  SetCameraImageBuffer(camera_, nullptr, 320, 240);
  {
    DirectDrawFaults faults(
        {{DirectDrawCall::kSetDisplayMode, 0, DDERR_INVALIDMODE, DirectDrawFaults::kAlways}});
    EXPECT_EQ(r3xResetRenderDevice(device_, camera_, 1, 0), DDERR_INVALIDMODE);
  }
  EXPECT_EQ(device_->open, 1);
  EXPECT_EQ(device_->fullScreen, 0);
  EXPECT_EQ(device_->flipping, 0);
  EXPECT_NE(device_->clipper, nullptr);
  EXPECT_EQ(device_->width, 320u);
  EXPECT_EQ(camera_->rowLength, 320);
  platform::WindowState state;
  ASSERT_TRUE(platform::GetWindowState(window_, state));
  EXPECT_EQ(state.exStyle & WS_EX_TOPMOST, 0u) << "the failed full screen gave up the top";
  ASSERT_EQ(r3xClearDevice(device_, 7, nullptr), DD_OK);
  platform::ClearShownFrames();
  ASSERT_EQ(r3xPresentDevice(device_), DD_OK);
  EXPECT_EQ(platform::ShownFrameCount(), 1u);

  // When the window fails too, the device is left closed with the first failure.
  SetCameraImageBuffer(camera_, nullptr, 640, 480);
  {
    DirectDrawFaults faults(
        {{DirectDrawCall::kCreateSurface, DDSCAPS_PRIMARYSURFACE, DDERR_OUTOFMEMORY, 1},
         {DirectDrawCall::kCreateSurface, DDSCAPS_PRIMARYSURFACE, DDERR_NOCOOPERATIVELEVELSET, 1,
          1}});
    EXPECT_EQ(r3xResetRenderDevice(device_, camera_, 1, 0), DDERR_OUTOFMEMORY);
    EXPECT_EQ(faults.Count(DirectDrawCall::kCreateSurface, DDSCAPS_PRIMARYSURFACE), 2);
  }
  ASSERT_NE(device_, nullptr);
  EXPECT_EQ(device_->open, 0);
  EXPECT_EQ(device_->primary, nullptr);
  EXPECT_EQ(r3xResetRenderDevice(device_, camera_, 1, 0), R3X_DEVICE_FAILED) << "closed";
  r3xDestroyRenderDevice(&device_, R3X_DEVICE_FREE);
  EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
}

TEST_F(RenderDeviceTest, AnOpenRestoresALostPrimaryAndTakesSystemMemoryOnce) {
  constexpr HRESULT kLost = DDERR_SURFACELOST;
  constexpr DWORD kPrimary = DDSCAPS_PRIMARYSURFACE;
  constexpr DWORD kVideoPrimary = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
  using enum DirectDrawCall;
  struct Case {
    const char* name;
    DirectDrawFaults::Fault fault;
    std::int32_t result;
    // The calls on the primary surface, its creation included.
    std::vector<DirectDrawCall> calls;
  };
  const Case cases[] = {
      {"back buffer lost once",
       {kGetAttachedSurface, kPrimary, kLost},
       0,
       {kCreateSurface, kGetAttachedSurface, kRestore, kGetAttachedSurface, kSetPalette}},
      {"back buffer lost twice",
       {kGetAttachedSurface, kPrimary, kLost, 2},
       kLost,
       {kCreateSurface, kGetAttachedSurface, kRestore, kGetAttachedSurface}},
      {"palette lost once",
       {kSetPalette, kPrimary, kLost},
       0,
       {kCreateSurface, kGetAttachedSurface, kSetPalette, kRestore, kSetPalette}},
      {"palette lost twice",
       {kSetPalette, kPrimary, kLost, 2},
       kLost,
       {kCreateSurface, kGetAttachedSurface, kSetPalette, kRestore, kSetPalette}},
      {"no video memory",
       {kCreateSurface, kVideoPrimary, DDERR_OUTOFVIDEOMEMORY},
       0,
       {kCreateSurface, kCreateSurface, kGetAttachedSurface, kSetPalette}},
      {"no memory at all",
       {kCreateSurface, kPrimary, DDERR_OUTOFVIDEOMEMORY, DirectDrawFaults::kAlways},
       DDERR_OUTOFVIDEOMEMORY,
       {kCreateSurface, kCreateSurface}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DirectDrawFaults faults({c.fault});
    // A created primary in video memory.
    ASSERT_EQ(r3xCreateRenderDevice(&device_, camera_, 1, 1, R3X_DEVICE_VIDEO_PRIMARY, nullptr,
                                    window_, 8, nullptr, nullptr),
              c.result);
    EXPECT_EQ(faults.Calls(kPrimary), c.calls);
    if (c.result != 0) {
      EXPECT_EQ(device_, nullptr);
      EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
      continue;
    }
    const bool inVideo = c.fault.call != kCreateSurface;
    EXPECT_EQ((CapsOf(device_->primary) & DDSCAPS_VIDEOMEMORY) != 0, inVideo);
    EXPECT_EQ((CapsOf(device_->primary) & DDSCAPS_SYSTEMMEMORY) != 0, !inVideo);
    EXPECT_NE(device_->back, nullptr);
    r3xDestroyRenderDevice(&device_, R3X_DEVICE_FREE);
  }
}

TEST_F(RenderDeviceTest, AnOffscreenSurfaceTakesSystemMemoryOnceWhenVideoMemoryRunsOut) {
  ASSERT_EQ(
      r3xCreateRenderDevice(&device_, camera_, 0, 1, 0, nullptr, window_, 8, nullptr, nullptr), 0);
  const std::size_t surfaces = platform::LiveSurfaceCount();
  const DWORD offscreenVideo = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
  {
    DirectDrawFaults faults({{DirectDrawCall::kCreateSurface, offscreenVideo,
                              DDERR_OUTOFVIDEOMEMORY, DirectDrawFaults::kAlways}});
    IDirectDrawSurface* surface = _r3xCreateDeviceSurface(device_, 8, 8, 0, 1, 0);
    ASSERT_NE(surface, nullptr);
    EXPECT_NE(CapsOf(surface) & DDSCAPS_SYSTEMMEMORY, 0u);
    EXPECT_EQ(faults.Count(DirectDrawCall::kCreateSurface), 2);
    DDCOLORKEY key{};
    ASSERT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, 253u);
    surface->Release();
  }
  {
    // System memory asked for is not tried again, nor is another failure.
    DirectDrawFaults faults(
        {{DirectDrawCall::kCreateSurface, 0, DDERR_OUTOFVIDEOMEMORY, DirectDrawFaults::kAlways}});
    EXPECT_EQ(_r3xCreateDeviceSurface(device_, 8, 8, 1, 0, 0), nullptr);
    EXPECT_EQ(faults.Count(DirectDrawCall::kCreateSurface), 1);
  }
  {
    DirectDrawFaults faults({{DirectDrawCall::kCreateSurface, offscreenVideo, DDERR_OUTOFMEMORY}});
    EXPECT_EQ(_r3xCreateDeviceSurface(device_, 8, 8, 0, 0, 0), nullptr);
    EXPECT_EQ(faults.Count(DirectDrawCall::kCreateSurface), 1);
  }
  // A surface whose colour key is refused is given up.
  DirectDrawFaults faults({{DirectDrawCall::kSetColorKey, 0, DDERR_SURFACELOST}});
  EXPECT_EQ(_r3xCreateDeviceSurface(device_, 8, 8, 1, 1, 0), nullptr);
  EXPECT_EQ(platform::LiveSurfaceCount(), surfaces);
  r3xDestroyRenderDevice(&device_, R3X_DEVICE_FREE);
}

TEST_F(RenderDeviceTest, TheModeListCopiesOutNoMoreThanItFound) {
  SetUpHostDisplay();
  ASSERT_EQ(OpenAsTheGameDoes(), 0);
  R3xDisplayMode table[R3X_DISPLAY_MODE_LIMIT];
  std::fill(std::begin(table), std::end(table), R3xDisplayMode{7, 7, 7});
  std::int32_t count = R3X_DISPLAY_MODE_LIMIT;
  ASSERT_EQ(_r3xEnumDisplayModes(device_, &count, table), 0);
  ASSERT_GT(count, 0);
  ASSERT_LT(count, R3X_DISPLAY_MODE_LIMIT);
  EXPECT_TRUE(std::any_of(table, table + count, [](const R3xDisplayMode& mode) {
    return mode.width == 640 && mode.height == 480 && mode.bitsPerPixel == 8;
  }));
  EXPECT_EQ(table[count].width, 7u) << "entries past the modes found are left alone";

  std::int32_t asked = 2;
  ASSERT_EQ(_r3xEnumDisplayModes(device_, &asked, table), 0);
  EXPECT_EQ(asked, 2);
  asked = -3;
  ASSERT_EQ(_r3xEnumDisplayModes(device_, &asked, table), 0);
  EXPECT_EQ(asked, 0);
}

}  // namespace
