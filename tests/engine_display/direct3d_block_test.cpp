#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "device_fixture.h"
#include "engine/display/direct3d_block_internal.h"
#include "engine/display/render_device_internal.h"
#include "platform/d3d.h"
#include "tests/support/direct_draw_faults.h"

namespace {

using platform::DirectDrawCall;
using test_support::DirectDrawFaults;

constexpr DWORD kCameraWidth = 64;
constexpr DWORD kCameraHeight = 48;

// Sets the desktop's depth, which a windowed device's surfaces take.
void SetDesktopDepth(DWORD bitsPerPixel) {
  IDirectDraw* desktop = nullptr;
  ASSERT_EQ(DirectDrawCreate(nullptr, &desktop, nullptr), DD_OK);
  ASSERT_EQ(desktop->SetDisplayMode(640, 480, bitsPerPixel), DD_OK);
  desktop->Release();
}

DDSURFACEDESC DescribeSurface(IDirectDrawSurface* surface) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  return desc;
}

class Direct3DBlockTest : public DeviceTest {
 protected:
  Direct3DBlockTest() {
    SetCameraImageBuffer(camera_, nullptr, kCameraWidth, kCameraHeight);
    palette_.entries[0] = {51, 102, 255, 0};
  }

  // The device goes before the bitmaps its texture nodes point at, and takes every object along.
  ~Direct3DBlockTest() override {
    r3xDestroyRenderDevice(&device_, R3X_DEVICE_FREE);
    EXPECT_EQ(platform::LiveDirect3DObjectCount(), 0u);
    EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
    for (R3xBitmap& bitmap : bitmaps_) {
      r3xFree(bitmap.pixels);
    }
  }

  std::int32_t Open3D(std::uint32_t flags = R3X_DEVICE_SOFTWARE_3D, std::int32_t fullScreen = 0,
                      std::int32_t bitsPerPixel = 8) {
    return r3xCreateRenderDevice(&device_, camera_, fullScreen, 1, flags, &palette_, window_,
                                 bitsPerPixel, nullptr, nullptr);
  }

  R3xD3DBlock* Block() const { return device_->direct3D; }

  // Bitmaps of 3 x 2 pixels numbered from `first`, two bytes a pixel for a 16-bit device.
  void MakeBitmaps(std::size_t count, std::size_t bytesPerPixel = 1) {
    bitmaps_.assign(count, R3xBitmap{});
    for (std::size_t i = 0; i < count; ++i) {
      R3xBitmap& bitmap = bitmaps_[i];
      bitmap.width = 3;
      bitmap.height = 2;
      bitmap.pixels = static_cast<std::uint8_t*>(r3xMalloc(6 * bytesPerPixel));
      for (std::size_t b = 0; b < 6 * bytesPerPixel; ++b) {
        bitmap.pixels[b] = static_cast<std::uint8_t>(10 * i + b + 1);
      }
    }
  }

  // A texture node per bitmap, oldest first; those marked get a device copy: a video-memory
  // texture surface and its texture interface.
  void AddNodes(const std::vector<bool>& deviceCopies) {
    MakeBitmaps(deviceCopies.size());
    for (std::size_t i = 0; i < deviceCopies.size(); ++i) {
      ASSERT_EQ(_r3xCreateTextureSurface(Block(), &bitmaps_[i]), 0);
      if (!deviceCopies[i]) {
        continue;
      }
      auto* node = static_cast<R3xTextureSurface*>(bitmaps_[i].texture);
      DDSURFACEDESC desc{};
      desc.dwSize = sizeof(desc);
      desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
      desc.dwWidth = 4;
      desc.dwHeight = 4;
      desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY;
      ASSERT_EQ(device_->directDraw->CreateSurface(&desc, &node->deviceSurface, nullptr), DD_OK);
      void* texture = nullptr;
      ASSERT_EQ(node->deviceSurface->QueryInterface(IID_IDirect3DTexture, &texture), DD_OK);
      node->deviceTexture = static_cast<IDirect3DTexture*>(texture);
    }
  }

  // The bitmaps' indexes in list order.
  std::vector<int> Order() const {
    std::vector<int> order;
    for (R3xTextureSurface* node = Block()->head; node != nullptr; node = node->next) {
      order.push_back(static_cast<int>(node->bitmap - bitmaps_.data()));
    }
    return order;
  }

  R3xPalette palette_{};
  std::vector<R3xBitmap> bitmaps_;
};

TEST_F(Direct3DBlockTest, A3DOpenBuildsEveryInterfaceOnTheBackSurface) {
  struct Case {
    std::uint32_t flags;
    std::int32_t fullScreen;
    // Any device for flag 0x08 meets the ramp device first; the software search asks for RGB.
    std::int32_t rgbModel;
  };
  for (const Case c : {Case{R3X_DEVICE_SOFTWARE_3D, 0, 1}, Case{R3X_DEVICE_3D, 0, 0},
                       Case{R3X_DEVICE_SOFTWARE_3D, 1, 1}, Case{R3X_DEVICE_3D, 1, 0}}) {
    SCOPED_TRACE(testing::Message() << c.flags << " full screen " << c.fullScreen);
    ASSERT_EQ(Open3D(c.flags, c.fullScreen), 0);
    const R3xD3DBlock* block = Block();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->owner, device_);
    EXPECT_EQ(block->directDraw, device_->directDraw);
    EXPECT_EQ(block->palette, device_->palette);
    EXPECT_EQ(block->renderTarget, device_->back);
    EXPECT_EQ(block->softwareDevice, 1);
    EXPECT_EQ(block->rgbModel, c.rgbModel);
    EXPECT_EQ(block->width, kCameraWidth);
    EXPECT_EQ(block->halfWidth, 32.0f);
    EXPECT_EQ(block->heightF, 48.0f);
    EXPECT_EQ(block->halfHeight, 24.0f);
    EXPECT_EQ(block->executeBufferSize, 4096u);
    EXPECT_NE(block->executeBuffer, nullptr);
    EXPECT_NE(block->secondMaterial, nullptr);
    EXPECT_NE(block->secondMaterialHandle, 0u);
    EXPECT_NE(block->secondMaterialHandle, block->backgroundHandle);
    EXPECT_EQ(block->worldCapacity, 4u);
    EXPECT_EQ(block->worldCount, 0u);
    EXPECT_EQ(platform::LiveDirect3DObjectCount(), 6u);
    IDirectDrawPalette* attached = nullptr;
    ASSERT_EQ(block->renderTarget->GetPalette(&attached), DD_OK);
    EXPECT_EQ(attached, device_->palette);
    attached->Release();

    D3DVIEWPORT view{};
    view.dwSize = sizeof(view);
    ASSERT_EQ(block->viewport->GetViewport(&view), DD_OK);
    EXPECT_EQ(view.dwX, 0u);
    EXPECT_EQ(view.dwY, 0u);
    EXPECT_EQ(view.dwWidth, kCameraWidth);
    EXPECT_EQ(view.dwHeight, kCameraHeight);
    EXPECT_EQ(view.dvScaleX, 1.0f);
    EXPECT_EQ(view.dvScaleY, 1.0f);
    EXPECT_EQ(view.dvMaxX, 64.0f);
    EXPECT_EQ(view.dvMaxY, 48.0f);
    EXPECT_EQ(view.dvMinZ, 0.0f);
    EXPECT_EQ(view.dvMaxZ, 1000.0f);
    D3DMATERIALHANDLE background = 0;
    BOOL valid = FALSE;
    ASSERT_EQ(block->viewport->GetBackground(&background, &valid), DD_OK);
    EXPECT_EQ(background, block->backgroundHandle);
    // The background is palette entry 0's colour.
    D3DMATERIAL material{};
    material.dwSize = sizeof(material);
    ASSERT_EQ(block->background->GetMaterial(&material), DD_OK);
    EXPECT_FLOAT_EQ(material.diffuse.r, 0.2f);
    EXPECT_FLOAT_EQ(material.diffuse.g, 0.4f);
    EXPECT_FLOAT_EQ(material.diffuse.b, 1.0f);
    EXPECT_EQ(material.diffuse.a, 0.0f);
    EXPECT_EQ(material.dwRampSize, 1u);

    r3xDestroyRenderDevice(&device_, R3X_DEVICE_FREE);
    EXPECT_EQ(platform::LiveDirect3DObjectCount(), 0u);
    EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
  }
}

TEST_F(Direct3DBlockTest, TheSoftwareSearchTakesAnyModelWhenNoRgbDeviceIsFound) {
  DirectDrawFaults faults({{DirectDrawCall::kFindDevice, 0, DDERR_NOTFOUND}});
  ASSERT_EQ(Open3D(), 0);
  EXPECT_EQ(faults.Count(DirectDrawCall::kFindDevice), 2);
  EXPECT_EQ(Block()->softwareDevice, 1);
  EXPECT_EQ(Block()->rgbModel, 0);
}

TEST_F(Direct3DBlockTest, AFailedStepFailsTheOpenAndLeavesNothingBehind) {
  const HRESULT refused = DDERR_OUTOFMEMORY;
  const DirectDrawFaults::Fault steps[] = {
      {DirectDrawCall::kSetPalette, DDSCAPS_3DDEVICE, DDERR_SURFACELOST},
      // The DirectDraw object's, the first asked.
      {DirectDrawCall::kQueryInterface, 0, E_NOINTERFACE},
      {DirectDrawCall::kFindDevice, 0, DDERR_NOTFOUND, DirectDrawFaults::kAlways},
      {DirectDrawCall::kQueryInterface, DDSCAPS_3DDEVICE, refused},
      {DirectDrawCall::kCreateViewport, 0, refused},
      {DirectDrawCall::kAddViewport, 0, refused},
      {DirectDrawCall::kSetViewport, 0, refused},
      {DirectDrawCall::kCreateExecuteBuffer, 0, refused},
      {DirectDrawCall::kCreateMaterial, 0, refused},
      {DirectDrawCall::kGetMaterialHandle, 0, refused},
      {DirectDrawCall::kCreateMaterial, 0, refused, 1, 1},
      {DirectDrawCall::kSetMaterial, 0, refused},
      {DirectDrawCall::kGetMaterialHandle, 0, refused, 1, 1},
      {DirectDrawCall::kSetBackground, 0, refused},
  };
  for (const DirectDrawFaults::Fault& step : steps) {
    SCOPED_TRACE(testing::Message()
                 << "call " << static_cast<int>(step.call) << " after " << step.after);
    DirectDrawFaults faults({step});
    EXPECT_EQ(Open3D(), R3X_DEVICE_FAILED);
    EXPECT_EQ(device_, nullptr);
    EXPECT_EQ(platform::LiveDirect3DObjectCount(), 0u);
    EXPECT_EQ(platform::LiveSurfaceCount(), 0u);
  }
}

TEST_F(Direct3DBlockTest, ATextureSurfaceTakesTheBitmapsRowsAtItsPitch) {
  for (const DWORD bits : {8u, 16u}) {
    SCOPED_TRACE(testing::Message() << bits << " bits");
    SetDesktopDepth(bits);
    ASSERT_EQ(Open3D(R3X_DEVICE_SOFTWARE_3D, 0, static_cast<std::int32_t>(bits)), 0);
    const std::size_t size = bits / 8;
    MakeBitmaps(1, size);
    R3xBitmap& bitmap = bitmaps_[0];
    const std::vector<std::uint8_t> pixels(bitmap.pixels, bitmap.pixels + 6 * size);
    const std::size_t surfaces = platform::LiveSurfaceCount();
    ASSERT_EQ(_r3xCreateTextureSurface(Block(), &bitmap), 0);
    EXPECT_EQ(bitmap.pixels, nullptr) << "the pixels live in the texture surface";
    auto* node = static_cast<R3xTextureSurface*>(bitmap.texture);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(Block()->head, node);
    EXPECT_EQ(Block()->tail, node);
    EXPECT_NE(node->texture, nullptr);
    EXPECT_NE(node->handle, 0u) << "a software device's texture has a handle";

    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(node->surface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(desc.lPitch, 4 * static_cast<LONG>(bits / 8)) << "rows start on 4 bytes";
    EXPECT_EQ(desc.ddsCaps.dwCaps, DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, bits);
    if (bits == 16) {
      EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0x7C00u);
    }
    const auto* rows = static_cast<const std::uint8_t*>(desc.lpSurface);
    for (std::size_t y = 0; y < 2; ++y) {
      EXPECT_EQ(std::memcmp(rows + y * static_cast<std::size_t>(desc.lPitch),
                            pixels.data() + y * 3 * size, 3 * size),
                0)
          << y;
    }
    ASSERT_EQ(node->surface->Unlock(desc.lpSurface), DD_OK);
    DDCOLORKEY key{};
    ASSERT_EQ(node->surface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, device_->colourKey);

    ASSERT_EQ(_r3xFreeTextureSurface(Block(), &bitmap), 0);
    EXPECT_EQ(bitmap.texture, nullptr);
    EXPECT_EQ(Block()->head, nullptr);
    EXPECT_EQ(Block()->tail, nullptr);
    EXPECT_EQ(platform::LiveSurfaceCount(), surfaces);
    r3xDestroyRenderDevice(&device_, R3X_DEVICE_FREE);
  }
}

TEST_F(Direct3DBlockTest, ABitmapWhoseTextureCannotBeMadeKeepsItsPixels) {
  ASSERT_EQ(Open3D(), 0);
  const HRESULT refused = DDERR_OUTOFMEMORY;
  const DirectDrawFaults::Fault steps[] = {
      {DirectDrawCall::kCreateSurface, DDSCAPS_TEXTURE, refused},
      {DirectDrawCall::kSetPalette, DDSCAPS_TEXTURE, refused},
      // The pixels would otherwise be given up without having been copied.
      {DirectDrawCall::kLock, DDSCAPS_TEXTURE, DDERR_SURFACELOST},
      {DirectDrawCall::kQueryInterface, DDSCAPS_TEXTURE, refused},
      {DirectDrawCall::kGetTextureHandle, 0, refused},
      {DirectDrawCall::kSetColorKey, DDSCAPS_TEXTURE, refused},
  };
  MakeBitmaps(1);
  R3xBitmap& bitmap = bitmaps_[0];
  std::uint8_t* const pixels = bitmap.pixels;
  const std::size_t surfaces = platform::LiveSurfaceCount();
  const std::size_t objects = platform::LiveDirect3DObjectCount();
  for (const DirectDrawFaults::Fault& step : steps) {
    SCOPED_TRACE(testing::Message() << "call " << static_cast<int>(step.call));
    DirectDrawFaults faults({step});
    EXPECT_EQ(_r3xCreateTextureSurface(Block(), &bitmap), R3X_ERR_FAILED);
    EXPECT_EQ(faults.Count(step.call, step.caps), 1) << "the step was reached";
    EXPECT_EQ(bitmap.pixels, pixels);
    EXPECT_EQ(bitmap.pixels[5], 6);
    EXPECT_EQ(bitmap.texture, nullptr);
    EXPECT_EQ(Block()->head, nullptr);
    EXPECT_EQ(platform::LiveSurfaceCount(), surfaces);
    EXPECT_EQ(platform::LiveDirect3DObjectCount(), objects);
  }
  EXPECT_EQ(_r3xEvictTexture(Block()), 0) << "an empty list";
}

TEST_F(Direct3DBlockTest, TheWorldArrayGrowsByAQuarterAndOne) {
  ASSERT_EQ(Open3D(), 0);
  std::vector<R3xWorld> worlds(9);
  const std::uint32_t capacities[] = {4, 4, 4, 4, 6, 6, 8, 8, 11};
  for (std::size_t i = 0; i < worlds.size(); ++i) {
    ASSERT_EQ(_r3xAttachWorldToDevice(device_, &worlds[i]), 0);
    EXPECT_EQ(Block()->worldCapacity, capacities[i]) << i;
    EXPECT_EQ(worlds[i].device, device_);
  }
  R3xWorld stranger{};
  EXPECT_EQ(_r3xDetachWorldFromDevice(device_, &stranger), 0);
  EXPECT_EQ(Block()->worldCount, 9u);
  EXPECT_EQ(_r3xDetachWorldFromDevice(device_, &worlds[2]), 0);
  EXPECT_EQ(Block()->worldCount, 8u);
  EXPECT_EQ(Block()->worlds[2], &worlds[3]);
  EXPECT_EQ(Block()->worlds[7], &worlds[8]);
  EXPECT_EQ(worlds[2].device, nullptr);
}

TEST_F(Direct3DBlockTest, EvictionSparesTheFourOldestLongestAndMovesTheEvictedToTheTail) {
  ASSERT_EQ(Open3D(), 0);
  AddNodes({true, true, true, true, true, true, false});
  const std::size_t surfaces = platform::LiveSurfaceCount();
  DirectDrawFaults faults;
  std::vector<int> evicted;
  while (_r3xEvictTexture(Block()) == 1) {
    evicted.push_back(Order().back());
  }
  EXPECT_EQ(evicted, (std::vector<int>{4, 5, 3, 2, 1, 0}));
  EXPECT_EQ(faults.Count(DirectDrawCall::kUnload), 6);
  EXPECT_EQ(platform::LiveSurfaceCount(), surfaces - 6) << "the device copies are released";
  for (const R3xBitmap& bitmap : bitmaps_) {
    const auto* node = static_cast<const R3xTextureSurface*>(bitmap.texture);
    EXPECT_EQ(node->deviceTexture, nullptr);
    EXPECT_NE(node->texture, nullptr) << "the system-memory texture stays";
  }
  EXPECT_EQ(Order(), (std::vector<int>{6, 4, 5, 3, 2, 1, 0}));
  EXPECT_EQ(Block()->tail->next, nullptr);
  EXPECT_EQ(Block()->head->previous, nullptr);
}

TEST_F(Direct3DBlockTest, TheDeviceSideReleaseUnloadsDeviceCopiesAndTheFullReleaseFreesAll) {
  ASSERT_EQ(Open3D(), 0);
  AddNodes({false, true, false});
  ASSERT_EQ(_r3xFreeTextureSurface(Block(), &bitmaps_[0]), 0);
  EXPECT_EQ(bitmaps_[0].texture, nullptr);
  EXPECT_EQ(Order(), (std::vector<int>{1, 2}));

  DirectDrawFaults faults;
  _r3xReleaseD3DObjects(device_, 0);
  EXPECT_EQ(faults.Count(DirectDrawCall::kUnload), 1);
  R3xD3DBlock* block = Block();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->direct3D, nullptr);
  EXPECT_EQ(block->device3D, nullptr);
  EXPECT_EQ(block->viewport, nullptr);
  EXPECT_EQ(block->background, nullptr);
  EXPECT_EQ(Order(), (std::vector<int>{1, 2}));
  EXPECT_EQ(block->head->deviceSurface, nullptr);
  // The two system-memory textures.
  EXPECT_EQ(platform::LiveDirect3DObjectCount(), 2u);
  _r3xReleaseD3DObjects(device_, 0);
  EXPECT_EQ(faults.Count(DirectDrawCall::kUnload), 1) << "a second release does nothing more";

  _r3xReleaseD3DObjects(device_, 1);
  EXPECT_EQ(device_->direct3D, nullptr);
  EXPECT_EQ(bitmaps_[1].texture, nullptr);
  EXPECT_EQ(platform::LiveDirect3DObjectCount(), 0u);
}

TEST_F(Direct3DBlockTest, OutOfVideoMemoryEvictsTexturesBeforeTakingSystemMemory) {
  ASSERT_EQ(Open3D(), 0);
  AddNodes({true, true, true});
  const DWORD offscreenVideo = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
  {
    DirectDrawFaults faults(
        {{DirectDrawCall::kCreateSurface, offscreenVideo, DDERR_OUTOFVIDEOMEMORY, 2}});
    IDirectDrawSurface* surface = _r3xCreateDeviceSurface(device_, 8, 8, 0, 0, 0);
    ASSERT_NE(surface, nullptr);
    EXPECT_NE(DescribeSurface(surface).ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY, 0u);
    EXPECT_EQ(faults.Count(DirectDrawCall::kUnload), 2);
    surface->Release();
  }
  DirectDrawFaults faults({{DirectDrawCall::kCreateSurface, offscreenVideo, DDERR_OUTOFVIDEOMEMORY,
                            DirectDrawFaults::kAlways}});
  IDirectDrawSurface* surface = _r3xCreateDeviceSurface(device_, 8, 8, 0, 0, 0);
  ASSERT_NE(surface, nullptr);
  EXPECT_NE(DescribeSurface(surface).ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY, 0u);
  EXPECT_EQ(faults.Count(DirectDrawCall::kUnload), 1) << "the last device copy";
  EXPECT_EQ(faults.Count(DirectDrawCall::kCreateSurface), 3);
  surface->Release();
}

TEST_F(Direct3DBlockTest, APaletteChangeReachesTheBackgroundMaterial) {
  ASSERT_EQ(Open3D(), 0);
  R3xPalette red{};
  red.entries[0] = {255, 0, 0, 0};
  ASSERT_EQ(r3xSetDevicePalette(device_, &red), 0);
  D3DMATERIAL material{};
  material.dwSize = sizeof(material);
  ASSERT_EQ(Block()->background->GetMaterial(&material), DD_OK);
  EXPECT_EQ(material.diffuse.r, 1.0f);
  EXPECT_EQ(material.diffuse.b, 0.0f);

  // The refresh's failures are its own; the palette change does not report them.
  DirectDrawFaults faults(
      {{DirectDrawCall::kSetMaterial, 0, DDERR_OUTOFMEMORY, DirectDrawFaults::kAlways}});
  red.entries[0] = {0, 0, 255, 0};
  EXPECT_EQ(r3xSetDevicePalette(device_, &red), 0);
  EXPECT_EQ(_r3xRefreshD3DPalette(device_), R3X_ERR_FAILED);
  ASSERT_EQ(Block()->background->GetMaterial(&material), DD_OK);
  EXPECT_EQ(material.diffuse.r, 1.0f);
}

TEST_F(Direct3DBlockTest, AResetRebuildsTheBlockInPlaceKeepingWorldsAndTextures) {
  ASSERT_EQ(Open3D(), 0);
  R3xWorld world{};
  ASSERT_EQ(_r3xAttachWorldToDevice(device_, &world), 0);
  AddNodes({true});
  R3xD3DBlock* const block = Block();
  auto* const node = static_cast<R3xTextureSurface*>(bitmaps_[0].texture);

  DirectDrawFaults faults;
  SetCameraImageBuffer(camera_, nullptr, 32, 24);
  ASSERT_EQ(r3xResetRenderDevice(device_, camera_, 0, 0), 0);
  EXPECT_EQ(Block(), block);
  EXPECT_EQ(block->worlds[0], &world);
  EXPECT_EQ(block->head, node);
  EXPECT_NE(node->texture, nullptr);
  EXPECT_EQ(node->deviceSurface, nullptr);
  EXPECT_EQ(faults.Count(DirectDrawCall::kUnload), 1);
  EXPECT_EQ(block->renderTarget, device_->back);
  EXPECT_EQ(block->width, 32u);
  D3DVIEWPORT view{};
  view.dwSize = sizeof(view);
  ASSERT_EQ(block->viewport->GetViewport(&view), DD_OK);
  EXPECT_EQ(view.dwWidth, 32u);
  // The texture's and the six interfaces.
  EXPECT_EQ(platform::LiveDirect3DObjectCount(), 7u);

  // A full-screen reopen whose Direct3D step fails falls back to a window, the block still in
  // place.
  DirectDrawFaults viewportRefused({{DirectDrawCall::kCreateViewport, 0, DDERR_OUTOFMEMORY}});
  EXPECT_EQ(r3xResetRenderDevice(device_, camera_, 1, 0), R3X_DEVICE_FAILED);
  EXPECT_EQ(device_->open, 1);
  EXPECT_EQ(device_->fullScreen, 0);
  EXPECT_EQ(Block(), block);
  EXPECT_EQ(block->worldCount, 1u);
  EXPECT_EQ(block->head, node);
  EXPECT_NE(block->viewport, nullptr);
  EXPECT_EQ(platform::LiveDirect3DObjectCount(), 7u);
}

}  // namespace
