#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/backend/display_backend.h"
#include "platform/ddraw.h"
#include "platform/gdi.h"
#include "tests/support/direct_draw_faults.h"
#include "window_fixture.h"

namespace {

class DirectDrawTest : public WindowTest {
 protected:
  ~DirectDrawTest() override {
    if (primary_ != nullptr) {
      primary_->Release();
    }
    if (directDraw_ != nullptr) {
      directDraw_->Release();
    }
  }

  // The host's display set-up: exclusive full screen, 640 x 480 x 8, a flipping primary surface
  // with one back buffer in system memory.
  void SetUpDisplay() {
    ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
    ASSERT_EQ(directDraw_->SetCooperativeLevel(CreateRecordedWindow(), 0x53), DD_OK);
    ASSERT_EQ(directDraw_->SetDisplayMode(640, 480, 8), DD_OK);
    ASSERT_EQ(CreatePrimary(primary_), DD_OK);
  }

  HRESULT CreatePrimary(IDirectDrawSurface*& surface) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = 0xA18;
    return directDraw_->CreateSurface(&desc, &surface, nullptr);
  }

  // Fills the whole surface with one value through a lock.
  static void Fill(IDirectDrawSurface* surface, BYTE value) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    std::memset(desc.lpSurface, value, static_cast<std::size_t>(desc.lPitch) * desc.dwHeight);
    ASSERT_EQ(surface->Unlock(desc.lpSurface), DD_OK);
  }

  IDirectDraw* directDraw_ = nullptr;
  IDirectDrawSurface* primary_ = nullptr;
};

TEST_F(DirectDrawTest, CapabilityBitsAreTheOnesTheHostCombines) {
  EXPECT_EQ(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_SYSTEMMEMORY, 0xA18u);
  EXPECT_EQ(DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX, 0x53u);
}

TEST_F(DirectDrawTest, ThePrimaryHasABackBufferToDrawInAndFlipShowsIt) {
  SetUpDisplay();
  DDSCAPS caps{DDSCAPS_BACKBUFFER};
  IDirectDrawSurface* back = nullptr;
  ASSERT_EQ(primary_->GetAttachedSurface(&caps, &back), DD_OK);

  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DD_OK);
  EXPECT_EQ(desc.dwWidth, 640u);
  EXPECT_EQ(desc.dwHeight, 480u);
  EXPECT_EQ(desc.lPitch, 640);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 8u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwFlags, DDPF_RGB | DDPF_PALETTEINDEXED8);
  EXPECT_EQ(desc.ddsCaps.dwCaps & (DDSCAPS_BACKBUFFER | DDSCAPS_PRIMARYSURFACE),
            DDSCAPS_BACKBUFFER);
  auto* pixels = static_cast<BYTE*>(desc.lpSurface);
  pixels[0] = 1;
  pixels[desc.lPitch * 479 + 639] = 2;
  EXPECT_EQ(primary_->Flip(nullptr, 0), DDERR_SURFACEBUSY) << "the back buffer is locked";
  ASSERT_EQ(back->Unlock(pixels), DD_OK);
  EXPECT_EQ(platform::ShownFrameCount(), 0u) << "a back buffer is not on the screen";

  ASSERT_EQ(primary_->Flip(nullptr, 0), DD_OK);
  const auto frame = platform::LastShownFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->width, 640);
  EXPECT_EQ(frame->height, 480);
  EXPECT_EQ(frame->bitsPerPixel, 8);
  ASSERT_EQ(frame->pixels.size(), 640u * 480u);
  EXPECT_EQ(frame->pixels.front(), 1);
  EXPECT_EQ(frame->pixels.back(), 2);

  // The old front is now the back buffer, still black.
  ASSERT_EQ(back->Lock(nullptr, &desc, 0, nullptr), DD_OK);
  EXPECT_EQ(static_cast<BYTE*>(desc.lpSurface)[0], 0);
  ASSERT_EQ(back->Unlock(desc.lpSurface), DD_OK);
  EXPECT_EQ(back->Release(), 1u) << "the primary still holds it";
}

TEST_F(DirectDrawTest, WritingIntoThePrimaryShowsAtUnlock) {
  SetUpDisplay();
  Fill(primary_, 9);
  EXPECT_EQ(platform::ShownFrameCount(), 1u);
  EXPECT_EQ(platform::LastShownFrame()->pixels[1234], 9);
}

TEST_F(DirectDrawTest, ALockedRectangleStartsAtItsTopLeftPixel) {
  SetUpDisplay();
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  RECT rect{10, 20, 30, 40};
  ASSERT_EQ(primary_->Lock(&rect, &desc, 0, nullptr), DD_OK);
  static_cast<BYTE*>(desc.lpSurface)[0] = 5;
  EXPECT_EQ(primary_->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACEBUSY);
  ASSERT_EQ(primary_->Unlock(nullptr), DD_OK);
  EXPECT_EQ(primary_->Unlock(nullptr), DDERR_NOTLOCKED);
  EXPECT_EQ(platform::LastShownFrame()->pixels[20 * 640 + 10], 5);

  for (RECT bad : {RECT{-1, 0, 5, 5}, RECT{0, 0, 641, 5}, RECT{0, 0, 5, 481}, RECT{5, 5, 5, 6}}) {
    EXPECT_EQ(primary_->Lock(&bad, &desc, 0, nullptr), DDERR_INVALIDRECT);
  }
  desc.dwSize = 4;
  EXPECT_EQ(primary_->Lock(nullptr, &desc, 0, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DirectDrawTest, ReleasingThePrimaryReleasesTheChainAndAllowsANewOne) {
  SetUpDisplay();
  IDirectDrawSurface* second = nullptr;
  EXPECT_EQ(CreatePrimary(second), DDERR_PRIMARYSURFACEALREADYEXISTS);

  DDSCAPS caps{DDSCAPS_BACKBUFFER};
  IDirectDrawSurface* back = nullptr;
  ASSERT_EQ(primary_->GetAttachedSurface(&caps, &back), DD_OK);
  EXPECT_EQ(primary_->AddRef(), 2u);
  EXPECT_EQ(primary_->Release(), 1u);
  EXPECT_EQ(std::exchange(primary_, nullptr)->Release(), 0u);
  // The caller's reference keeps the back buffer usable.
  Fill(back, 3);
  EXPECT_EQ(back->Release(), 0u);

  ASSERT_EQ(CreatePrimary(second), DD_OK);
  EXPECT_EQ(second->Release(), 0u);
  EXPECT_EQ(std::exchange(directDraw_, nullptr)->Release(), 0u);
}

TEST_F(DirectDrawTest, TheDisplayModeSizesThePrimary) {
  ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
  EXPECT_EQ(CreatePrimary(primary_), DDERR_NOCOOPERATIVELEVELSET);
  ASSERT_EQ(directDraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  for (const auto& [width, height, bits] :
       {std::tuple{0u, 480u, 8u}, std::tuple{640u, 480u, 24u}, std::tuple{5000u, 480u, 8u}}) {
    EXPECT_EQ(directDraw_->SetDisplayMode(width, height, bits), DDERR_INVALIDMODE);
  }
  ASSERT_EQ(directDraw_->SetDisplayMode(800, 600, 16), DD_OK);
  ASSERT_EQ(CreatePrimary(primary_), DD_OK);
  Fill(primary_, 0xAB);
  const auto frame = platform::LastShownFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->bitsPerPixel, 16);
  EXPECT_EQ(frame->pixels.size(), 800u * 600u * 2u);
  EXPECT_EQ(std::exchange(primary_, nullptr)->Release(), 0u);
  EXPECT_EQ(std::exchange(directDraw_, nullptr)->Release(), 0u);
}

TEST_F(DirectDrawTest, BadRequestsAreRefused) {
  GUID driver{};
  EXPECT_EQ(DirectDrawCreate(&driver, &directDraw_, nullptr), DDERR_INVALIDPARAMS);
  ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
  EXPECT_EQ(directDraw_->SetCooperativeLevel(nullptr, 0x53), DDERR_INVALIDPARAMS) << "no window";
  EXPECT_EQ(directDraw_->SetCooperativeLevel(CreateRecordedWindow(), DDSCL_FULLSCREEN),
            DDERR_INVALIDPARAMS);
  ASSERT_EQ(directDraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);

  struct BadSurface {
    DWORD size;
    DWORD flags;
    DWORD backBuffers;
    DWORD caps;
    HRESULT result;
  };
  const DWORD flipping = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  for (const BadSurface bad : {
           BadSurface{4, DDSD_CAPS, 0, DDSCAPS_PRIMARYSURFACE, DDERR_INVALIDPARAMS},
           BadSurface{sizeof(DDSURFACEDESC), 0, 0, DDSCAPS_PRIMARYSURFACE, DDERR_INVALIDPARAMS},
           BadSurface{sizeof(DDSURFACEDESC), DDSD_CAPS, 0, DDSCAPS_SYSTEMMEMORY, DDERR_INVALIDCAPS},
           BadSurface{sizeof(DDSURFACEDESC), DDSD_CAPS | DDSD_BACKBUFFERCOUNT, 0, flipping,
                      DDERR_INVALIDPARAMS},
           BadSurface{sizeof(DDSURFACEDESC), DDSD_CAPS | DDSD_BACKBUFFERCOUNT, 4, flipping,
                      DDERR_INVALIDPARAMS},
           BadSurface{sizeof(DDSURFACEDESC), DDSD_CAPS, 1, flipping, DDERR_INVALIDPARAMS},
           BadSurface{sizeof(DDSURFACEDESC), DDSD_CAPS | DDSD_BACKBUFFERCOUNT, 1,
                      DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP, DDERR_INVALIDPARAMS},
       }) {
    DDSURFACEDESC desc{};
    desc.dwSize = bad.size;
    desc.dwFlags = bad.flags;
    desc.dwBackBufferCount = bad.backBuffers;
    desc.ddsCaps.dwCaps = bad.caps;
    EXPECT_EQ(directDraw_->CreateSurface(&desc, &primary_, nullptr), bad.result)
        << bad.flags << " " << bad.caps;
  }
  DDSURFACEDESC single{};
  single.dwSize = sizeof(single);
  single.dwFlags = DDSD_CAPS;
  single.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  ASSERT_EQ(directDraw_->CreateSurface(&single, &primary_, nullptr), DD_OK);
  EXPECT_EQ(primary_->Flip(nullptr, 0), DDERR_NOTFLIPPABLE);
  DDSCAPS caps{DDSCAPS_BACKBUFFER};
  IDirectDrawSurface* back = nullptr;
  EXPECT_EQ(primary_->GetAttachedSurface(&caps, &back), DDERR_NOTFOUND);
  EXPECT_EQ(std::exchange(primary_, nullptr)->Release(), 0u);
  EXPECT_EQ(std::exchange(directDraw_, nullptr)->Release(), 0u);
}

// An offscreen surface of the given size and depth on an object in normal cooperation.
IDirectDrawSurface* CreateOffscreen(IDirectDraw* directDraw, DWORD width, DWORD height,
                                    DWORD bits) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  desc.ddpfPixelFormat =
      bits == 8 ? DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0}
                : DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 16, 0x7C00, 0x03E0, 0x001F};
  IDirectDrawSurface* surface = nullptr;
  EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
  return surface;
}

// The pixel bytes of a surface, row by row without padding.
std::vector<BYTE> PixelsOf(IDirectDrawSurface* surface) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  EXPECT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
  const std::size_t row = desc.dwWidth * (desc.ddpfPixelFormat.dwRGBBitCount / 8);
  std::vector<BYTE> pixels;
  for (DWORD y = 0; y < desc.dwHeight; ++y) {
    const BYTE* start = static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch;
    pixels.insert(pixels.end(), start, start + row);
  }
  EXPECT_EQ(surface->Unlock(desc.lpSurface), DD_OK);
  return pixels;
}

HRESULT FillRect(IDirectDrawSurface* surface, RECT* rect, DWORD value) {
  DDBLTFX effects{};
  effects.dwSize = sizeof(effects);
  effects.dwFillColor = value;
  return surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
}

TEST_F(DirectDrawTest, BlitsFillStretchAndLeaveOutTheSourceKey) {
  ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
  ASSERT_EQ(directDraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  IDirectDrawSurface* source = CreateOffscreen(directDraw_, 2, 2, 8);
  IDirectDrawSurface* target = CreateOffscreen(directDraw_, 4, 4, 8);
  RECT right{1, 0, 2, 2};
  ASSERT_EQ(FillRect(source, nullptr, 3), DD_OK);
  ASSERT_EQ(FillRect(source, &right, 9), DD_OK);
  EXPECT_EQ(PixelsOf(source), (std::vector<BYTE>{3, 9, 3, 9}));

  // Stretched to twice the size: each source pixel covers 2 x 2.
  ASSERT_EQ(target->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(PixelsOf(target), (std::vector<BYTE>{3, 3, 9, 9, 3, 3, 9, 9, 3, 3, 9, 9, 3, 3, 9, 9}));

  ASSERT_EQ(FillRect(target, nullptr, 1), DD_OK);
  EXPECT_EQ(target->BltFast(1, 1, source, nullptr, DDBLTFAST_SRCCOLORKEY), DDERR_NOCOLORKEY);
  DDCOLORKEY key{9, 9};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  ASSERT_EQ(target->BltFast(1, 1, source, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT), DD_OK);
  EXPECT_EQ(PixelsOf(target), (std::vector<BYTE>{1, 1, 1, 1, 1, 3, 1, 1, 1, 3, 1, 1, 1, 1, 1, 1}));
  ASSERT_EQ(target->BltFast(2, 2, source, nullptr, DDBLTFAST_WAIT), DD_OK);
  EXPECT_EQ(PixelsOf(target)[15], 9);

  // Nothing reaches past a surface without a clipper, and depths do not mix.
  EXPECT_EQ(target->BltFast(3, 3, source, nullptr, 0), DDERR_INVALIDRECT);
  RECT outside{2, 2, 5, 5};
  EXPECT_EQ(FillRect(target, &outside, 0), DDERR_INVALIDRECT);
  IDirectDrawSurface* wide = CreateOffscreen(directDraw_, 2, 2, 16);
  EXPECT_EQ(target->Blt(nullptr, wide, nullptr, 0, nullptr), DDERR_INVALIDPARAMS);
  ASSERT_EQ(FillRect(wide, nullptr, 0x7C1F), DD_OK);
  EXPECT_EQ(PixelsOf(wide), (std::vector<BYTE>{0x1F, 0x7C, 0x1F, 0x7C, 0x1F, 0x7C, 0x1F, 0x7C}));
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(wide->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0x7C00u);
  for (IDirectDrawSurface* surface : {source, target, wide}) {
    EXPECT_EQ(surface->Release(), 0u);
  }
}

TEST_F(DirectDrawTest, AnEightBitPrimaryIsShownThroughItsPalette) {
  SetUpDisplay();
  PALETTEENTRY entries[256] = {};
  entries[6] = {250, 0, 0, 0};
  IDirectDrawPalette* palette = nullptr;
  EXPECT_EQ(directDraw_->CreatePalette(0, entries, &palette, nullptr), DDERR_INVALIDPARAMS);
  ASSERT_EQ(directDraw_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr),
            DD_OK);
  ASSERT_EQ(primary_->SetPalette(palette), DD_OK);
  const PALETTEENTRY green{0, 240, 0, 0};
  ASSERT_EQ(palette->SetEntries(0, 7, 1, &green), DD_OK);
  EXPECT_EQ(palette->SetEntries(0, 255, 2, &green), DDERR_INVALIDPARAMS);
  Fill(primary_, 6);
  auto frame = platform::LastShownFrame();
  ASSERT_EQ(frame->palette.size(), 256u);
  EXPECT_EQ(frame->palette[6].peRed, 250);
  EXPECT_EQ(frame->palette[7].peGreen, 240);

  // The primary holds its own reference; without a palette frames are grey levels.
  EXPECT_EQ(palette->AddRef(), 3u);
  palette->Release();
  ASSERT_EQ(primary_->SetPalette(nullptr), DD_OK);
  Fill(primary_, 6);
  EXPECT_TRUE(platform::LastShownFrame()->palette.empty());
  EXPECT_EQ(palette->Release(), 0u);
}

TEST_F(DirectDrawTest, AClippedPrimaryTakesBlitsReachingPastItsEdges) {
  ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
  ASSERT_EQ(directDraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  ASSERT_EQ(directDraw_->CreateSurface(&desc, &primary_, nullptr), DD_OK);
  IDirectDrawSurface* back = CreateOffscreen(directDraw_, 640, 480, 8);
  ASSERT_EQ(FillRect(back, nullptr, 4), DD_OK);
  RECT shifted{100, 50, 740, 530};
  EXPECT_EQ(primary_->Blt(&shifted, back, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);

  IDirectDrawClipper* clipper = nullptr;
  ASSERT_EQ(directDraw_->CreateClipper(0, &clipper, nullptr), DD_OK);
  ASSERT_EQ(clipper->SetHWnd(0, CreateRecordedWindow()), DD_OK);
  ASSERT_EQ(primary_->SetClipper(clipper), DD_OK);
  EXPECT_EQ(clipper->Release(), 1u) << "the primary holds it";
  ASSERT_EQ(primary_->Blt(&shifted, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  const auto frame = platform::LastShownFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->pixels[49 * 640 + 100], 0);
  EXPECT_EQ(frame->pixels[50 * 640 + 99], 0);
  EXPECT_EQ(frame->pixels[50 * 640 + 100], 4);
  EXPECT_EQ(frame->pixels.back(), 4);
  EXPECT_EQ(back->Release(), 0u);
}

TEST_F(DirectDrawTest, TheDriverListsItsModesAndHasNoHardware3D) {
  ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
  std::vector<DDSURFACEDESC> modes;
  auto collect = [](DDSURFACEDESC* desc, LPVOID context) -> HRESULT {
    auto* list = static_cast<std::vector<DDSURFACEDESC>*>(context);
    list->push_back(*desc);
    return list->size() < 3 ? DDENUMRET_OK : DDENUMRET_CANCEL;
  };
  ASSERT_EQ(directDraw_->EnumDisplayModes(0, nullptr, &modes, collect), DD_OK);
  ASSERT_EQ(modes.size(), 3u) << "the callback stops the list";
  EXPECT_GT(modes[0].dwWidth, 0u);
  EXPECT_TRUE(modes[0].ddpfPixelFormat.dwRGBBitCount == 8 ||
              modes[0].ddpfPixelFormat.dwRGBBitCount == 16);

  DDCAPS caps{};
  caps.dwSize = sizeof(caps);
  caps.dwCaps = ~0u;
  ASSERT_EQ(directDraw_->GetCaps(&caps, nullptr), DD_OK);
  EXPECT_EQ(caps.dwCaps & DDCAPS_3D, 0u);

  int drivers = 0;
  auto count = [](GUID* driver, LPSTR, LPSTR, LPVOID context) -> BOOL {
    EXPECT_EQ(driver, nullptr);
    ++*static_cast<int*>(context);
    return TRUE;
  };
  ASSERT_EQ(DirectDrawEnumerateA(count, &drivers), DD_OK);
  EXPECT_EQ(drivers, 1);
}

// Counts the pixels of an 8-bit surface that hold each value.
std::vector<int> Histogram(IDirectDrawSurface* surface) {
  std::vector<int> counts(256, 0);
  for (BYTE pixel : PixelsOf(surface)) {
    ++counts[pixel];
  }
  return counts;
}

// Writes "M" in the colour at the surface's top left through its DC.
void WriteThroughDc(IDirectDrawSurface* surface, COLORREF colour) {
  HDC dc = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  ASSERT_TRUE(ExtTextOutA(dc, 0, 0, 0, nullptr, "M", 1, nullptr));
  ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
}

TEST_F(DirectDrawTest, AFaultAnswersTheCallWhichThenDoesNothing) {
  using platform::DirectDrawCall;
  ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
  ASSERT_EQ(directDraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  IDirectDrawSurface* source = CreateOffscreen(directDraw_, 2, 2, 8);
  IDirectDrawSurface* target = CreateOffscreen(directDraw_, 2, 2, 8);
  ASSERT_EQ(FillRect(source, nullptr, 3), DD_OK);
  PALETTEENTRY entries[256] = {};
  IDirectDrawPalette* palette = nullptr;
  ASSERT_EQ(directDraw_->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
  DDCOLORKEY key{5, 5};
  struct Case {
    DirectDrawCall call;
    std::function<HRESULT()> make;
  };
  const Case cases[] = {
      {DirectDrawCall::kBlt, [&] { return FillRect(target, nullptr, 7); }},
      {DirectDrawCall::kBltFast, [&] { return target->BltFast(0, 0, source, nullptr, 0); }},
      {DirectDrawCall::kSetColorKey, [&] { return target->SetColorKey(DDCKEY_SRCBLT, &key); }},
      {DirectDrawCall::kSetPalette, [&] { return target->SetPalette(palette); }},
      {DirectDrawCall::kRestore, [&] { return target->Restore(); }},
      {DirectDrawCall::kLock,
       [&] {
         DDSURFACEDESC desc{};
         desc.dwSize = sizeof(desc);
         const HRESULT result = target->Lock(nullptr, &desc, 0, nullptr);
         return result == DD_OK ? target->Unlock(desc.lpSurface) : result;
       }},
      {DirectDrawCall::kGetDC,
       [&] {
         HDC dc = nullptr;
         const HRESULT result = target->GetDC(&dc);
         return result == DD_OK ? target->ReleaseDC(dc) : result;
       }},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(FillRect(target, nullptr, 1), DD_OK);
    test_support::DirectDrawFaults faults({{c.call, DDSCAPS_OFFSCREENPLAIN, DDERR_SURFACELOST}});
    EXPECT_EQ(c.make(), DDERR_SURFACELOST) << static_cast<int>(c.call);
    EXPECT_EQ(faults.Calls(), std::vector<DirectDrawCall>{c.call});
    EXPECT_EQ(PixelsOf(target), (std::vector<BYTE>{1, 1, 1, 1})) << static_cast<int>(c.call);
    EXPECT_EQ(c.make(), DD_OK) << "once restored " << static_cast<int>(c.call);
  }
  DDCOLORKEY read{};
  EXPECT_EQ(target->GetColorKey(DDCKEY_SRCBLT, &read), DD_OK);
  EXPECT_EQ(read.dwColorSpaceLowValue, 5u);

  // Video memory runs out where system memory does not.
  test_support::DirectDrawFaults faults(
      {{DirectDrawCall::kCreateSurface, DDSCAPS_VIDEOMEMORY, DDERR_OUTOFVIDEOMEMORY,
        test_support::DirectDrawFaults::kAlways}});
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = 2;
  desc.dwHeight = 2;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
  IDirectDrawSurface* made = nullptr;
  EXPECT_EQ(directDraw_->CreateSurface(&desc, &made, nullptr), DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(made, nullptr);
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  ASSERT_EQ(directDraw_->CreateSurface(&desc, &made, nullptr), DD_OK);
  for (IDirectDrawSurface* surface : {source, target, made}) {
    EXPECT_EQ(surface->Release(), 0u);
  }
  EXPECT_EQ(palette->Release(), 0u);
}

TEST_F(DirectDrawTest, ADcOnAnEightBitSurfaceDrawsInTheNearestPaletteEntry) {
  ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
  ASSERT_EQ(directDraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  PALETTEENTRY entries[256] = {};
  entries[1] = {10, 10, 10, 0};
  entries[7] = {0, 190, 110, 0};
  entries[8] = {0, 255, 0, 0};
  IDirectDrawPalette* palette = nullptr;
  ASSERT_EQ(directDraw_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr),
            DD_OK);
  IDirectDrawSurface* withPalette = CreateOffscreen(directDraw_, 40, 20, 8);
  IDirectDrawSurface* without = CreateOffscreen(directDraw_, 40, 20, 8);
  ASSERT_EQ(withPalette->SetPalette(palette), DD_OK);
  for (IDirectDrawSurface* surface : {withPalette, without}) {
    ASSERT_EQ(FillRect(surface, nullptr, 1), DD_OK);
    WriteThroughDc(surface, RGB(0, 200, 100));
  }
  const std::vector<int> drawn = Histogram(withPalette);
  EXPECT_GT(drawn[7], 0);
  EXPECT_EQ(drawn[1] + drawn[7], 40 * 20) << "only ink, on a transparent background";
  // Without a palette of its own the surface takes the system palette's nearest, (0, 128, 128).
  const std::vector<int> system = Histogram(without);
  EXPECT_GT(system[6], 0);
  EXPECT_EQ(system[1] + system[6], 40 * 20);
  for (IDirectDrawSurface* surface : {withPalette, without}) {
    EXPECT_EQ(surface->Release(), 0u);
  }
  EXPECT_EQ(palette->Release(), 0u);
}

TEST_F(DirectDrawTest, ADcOnASixteenBitSurfacePacksByItsMasks) {
  ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
  ASSERT_EQ(directDraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  IDirectDrawSurface* surface = CreateOffscreen(directDraw_, 40, 20, 16);
  ASSERT_EQ(FillRect(surface, nullptr, 0x0001), DD_OK);
  WriteThroughDc(surface, RGB(0, 200, 100));
  const std::vector<BYTE> bytes = PixelsOf(surface);
  int ink = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const int pixel = bytes[i] | bytes[i + 1] << 8;
    // 5-5-5: green 200 >> 3 = 25, blue 100 >> 3 = 12.
    if (pixel == (25 << 5 | 12)) {
      ++ink;
    } else {
      EXPECT_EQ(pixel, 0x0001);
    }
  }
  EXPECT_GT(ink, 0);
  EXPECT_EQ(surface->Release(), 0u);
}

TEST_F(DirectDrawTest, ASurfaceWithItsDcOutIsBusyUntilTheDcComesBack) {
  ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
  ASSERT_EQ(directDraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  IDirectDrawSurface* surface = CreateOffscreen(directDraw_, 4, 4, 8);
  HDC dc = nullptr;
  EXPECT_EQ(surface->GetDC(nullptr), DDERR_INVALIDPARAMS);
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  HDC second = nullptr;
  EXPECT_EQ(surface->GetDC(&second), DDERR_SURFACEBUSY);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  EXPECT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
  EXPECT_EQ(FillRect(surface, nullptr, 2), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->ReleaseDC(nullptr), DDERR_INVALIDPARAMS);
  ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID) << "the DC is gone";
  EXPECT_EQ(surface->ReleaseDC(dc), DDERR_INVALIDPARAMS);
  EXPECT_EQ(FillRect(surface, nullptr, 2), DD_OK);
  // A surface released with its DC out takes the DC with it.
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  EXPECT_EQ(surface->Release(), 0u);
  EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
}

TEST_F(DirectDrawTest, TextWrittenIntoThePrimaryShowsWhenItsDcComesBack) {
  SetUpDisplay();
  Fill(primary_, 1);
  platform::ClearShownFrames();
  WriteThroughDc(primary_, RGB(255, 255, 255));
  ASSERT_EQ(platform::ShownFrameCount(), 1u);
  const auto frame = platform::LastShownFrame();
  // The system palette's white.
  EXPECT_NE(std::find(frame->pixels.begin(), frame->pixels.end(), 255), frame->pixels.end());
}

}  // namespace
