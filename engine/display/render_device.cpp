#include "engine/display/render_device.h"

#include "engine/core/camera.h"
#include "engine/core/memory.h"
#include "engine/core/palette.h"
#include "engine/display/direct3d_block_internal.h"
#include "engine/display/render_device_internal.h"
#include "platform/ddraw.h"
#include "platform/window/window.h"

namespace {

constexpr DWORD kFullScreenModeX = DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX;
constexpr DWORD kFullScreen = DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE;
constexpr std::int32_t kFirstColourKeyIndex = 253;
constexpr std::uint32_t kOverlayWidth = 150;
constexpr std::uint32_t kOverlayHeight = 60;

template <typename T>
void releaseField(T*& field) {
  if (field != nullptr) {
    field->Release();
    field = nullptr;
  }
}

std::int32_t scaleFactorOf(std::uint32_t flags) {
  if ((flags & R3X_DEVICE_SCALE_1) != 0) {
    return 1;
  }
  return (flags & R3X_DEVICE_SCALE_2) != 0 ? 2 : 0;
}

HRESULT describe(IDirectDrawSurface* surface, DDSURFACEDESC& desc) {
  desc = {};
  desc.dwSize = sizeof(desc);
  return surface->GetSurfaceDesc(&desc);
}

HRESULT createFlippingPrimary(R3xRenderDevice* device, std::uint32_t flags, bool for3D) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  const bool video = (flags & (R3X_DEVICE_SCALE_1 | R3X_DEVICE_VIDEO_PRIMARY)) != 0 || for3D;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX |
                        (for3D ? DDSCAPS_3DDEVICE : 0) |
                        (video ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
  HRESULT result = device->directDraw->CreateSurface(&desc, &device->primary, nullptr);
  if (result == DDERR_OUTOFVIDEOMEMORY) {
    desc.ddsCaps.dwCaps = (desc.ddsCaps.dwCaps & ~DDSCAPS_VIDEOMEMORY) | DDSCAPS_SYSTEMMEMORY;
    result = device->directDraw->CreateSurface(&desc, &device->primary, nullptr);
  }
  return result;
}

// The flip chain's back buffer, the camera's row length and the scale surface.
std::int32_t openFullScreen(R3xRenderDevice* device, R3xCamera* camera, std::uint32_t flags,
                            bool for3D) {
  if (device->primary == nullptr) {
    const HRESULT created = createFlippingPrimary(device, flags, for3D);
    if (created != DD_OK) {
      return created;
    }
  }
  DDSCAPS caps{DDSCAPS_BACKBUFFER};
  HRESULT result = device->primary->GetAttachedSurface(&caps, &device->back);
  if (result == DDERR_SURFACELOST) {
    device->primary->Restore();
    result = device->primary->GetAttachedSurface(&caps, &device->back);
  }
  if (result != DD_OK) {
    return result;
  }
  DDSURFACEDESC desc;
  if (describe(device->back, desc) == DD_OK) {
    camera->rowLength = desc.lPitch;
  }
  device->flipping = 1;
  if (device->scaleFactor != 0) {
    if (device->scale == nullptr) {
      device->scale = _r3xCreateDeviceSurface(
          device, static_cast<std::uint32_t>(r3xGetCameraImageWidth(camera)),
          static_cast<std::uint32_t>(r3xGetCameraImageHeight(camera)), 1, 0, 0);
      if (device->scale == nullptr) {
        return R3X_DEVICE_FAILED;
      }
    }
    device->scaleInUse = 1;
  }
  return 0;
}

// A single primary, an offscreen back surface and a clipper bound to the window.
std::int32_t openWindowed(R3xRenderDevice* device, R3xCamera* camera, bool for3D) {
  if (device->primary == nullptr) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    const HRESULT created = device->directDraw->CreateSurface(&desc, &device->primary, nullptr);
    if (created != DD_OK) {
      return created;
    }
  }
  if (device->back == nullptr) {
    device->back = _r3xCreateDeviceSurface(device, device->width, device->height, for3D ? 0 : 1, 0,
                                           for3D ? 1 : 0);
    if (device->back == nullptr) {
      return R3X_DEVICE_FAILED;
    }
  }
  DDSURFACEDESC desc;
  if (describe(device->back, desc) == DD_OK) {
    camera->rowLength = desc.lPitch;
  }
  device->scale = nullptr;
  device->scaleFactor = 0;
  device->scaleInUse = 0;
  device->flipping = 0;
  if (device->clipper == nullptr) {
    HRESULT result = device->directDraw->CreateClipper(0, &device->clipper, nullptr);
    if (result == DD_OK) {
      result = device->clipper->SetHWnd(0, device->window);
    }
    if (result == DD_OK) {
      result = device->primary->SetClipper(device->clipper);
    }
    if (result != DD_OK) {
      return result;
    }
  }
  return 0;
}

// The palette of an 8-bit display, or the pixel layout of a 16-bit one.
std::int32_t openPixels(R3xRenderDevice* device) {
  if (device->bitsPerPixel <= 8) {
    if (device->palette == nullptr) {
      const HRESULT created = device->directDraw->CreatePalette(
          DDPCAPS_8BIT | DDPCAPS_ALLOW256, device->entries, &device->palette, nullptr);
      if (created != DD_OK) {
        return created;
      }
    }
    if (device->fullScreen != 0) {
      HRESULT result = device->primary->SetPalette(device->palette);
      if (result == DDERR_SURFACELOST) {
        device->primary->Restore();
        result = device->primary->SetPalette(device->palette);
      }
      if (result != DD_OK) {
        return result;
      }
    }
  } else if (device->bitsPerPixel == 16) {
    DDSURFACEDESC desc;
    device->pixelFormat = describe(device->back, desc) == DD_OK
                              ? _r3xPixelFormatOf(desc.ddpfPixelFormat)
                              : R3X_PIXEL_FORMAT_555;
  }
  return 0;
}

// Steps of an open after the record exists; the caller closes the device on failure.
std::int32_t openDevice(R3xRenderDevice* device, bool isNew, bool for3D, R3xCamera* camera,
                        std::int32_t fullScreen, std::int32_t modeX, std::uint32_t flags,
                        const R3xPalette* palette, HWND window, std::int32_t bitsPerPixel,
                        IDirectDraw* directDraw, IDirectDrawSurface* primary) {
  device->open = 1;
  device->window = window;
  device->width = static_cast<std::uint32_t>(r3xGetCameraImageWidth(camera));
  device->height = static_cast<std::uint32_t>(r3xGetCameraImageHeight(camera));
  device->bitsPerPixel = bitsPerPixel;
  device->fullScreen = fullScreen;
  device->modeX = modeX;
  device->scaleFactor = scaleFactorOf(flags);
  if (fullScreen != 0 && device->scaleFactor != 0) {
    device->width *= static_cast<std::uint32_t>(device->scaleFactor);
    device->height *= static_cast<std::uint32_t>(device->scaleFactor);
  }
  if (palette != nullptr) {
    for (int i = 0; i < 256; ++i) {
      device->entries[i] = palette->entries[i];
      device->entries[i].peFlags |= R3X_PALETTE_READONLY;
    }
  }
  _r3xEnumDisplayModes(device, nullptr, nullptr);
  if (fullScreen != 0) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  device->directDraw = directDraw;
  if (device->directDraw == nullptr && for3D && device->software3D == 0) {
    DirectDrawEnumerateA(_r3xEnumDeviceCallback, &device->directDraw);
  }
  if (device->directDraw == nullptr) {
    const HRESULT created = DirectDrawCreate(nullptr, &device->directDraw, nullptr);
    if (created != DD_OK) {
      return created;
    }
  }
  const DWORD level = fullScreen == 0 ? DDSCL_NORMAL : modeX != 0 ? kFullScreenModeX : kFullScreen;
  HRESULT result = device->directDraw->SetCooperativeLevel(window, level);
  if (result == DD_OK && fullScreen != 0) {
    result = device->directDraw->SetDisplayMode(device->width, device->height,
                                                static_cast<DWORD>(bitsPerPixel));
  }
  if (result == DD_OK) {
    DDCAPS caps{};
    caps.dwSize = sizeof(caps);
    result = device->directDraw->GetCaps(&caps, nullptr);
  }
  if (result != DD_OK) {
    return result;
  }

  device->primary = primary;
  std::int32_t step = fullScreen != 0 ? openFullScreen(device, camera, flags, for3D)
                                      : openWindowed(device, camera, for3D);
  if (step == 0) {
    step = openPixels(device);
  }
  if (step != 0) {
    return step;
  }
  if (isNew) {
    const R3xDeviceColour black{};
    r3xSetDeviceColorKey(device, kFirstColourKeyIndex, &black);
  }
  if (device->overlayOn != 0 && device->overlay == nullptr) {
    device->overlay = _r3xCreateDeviceSurface(device, kOverlayWidth, kOverlayHeight, 0, 1, 0);
    device->overlayOn = device->overlay != nullptr ? 1 : 0;
  }
  if (for3D && _r3xCreateD3DObjects(device) != 0) {
    return R3X_DEVICE_FAILED;
  }
  if (fullScreen == 0) {
    platform::WindowState state;
    if (platform::GetWindowState(window, state)) {
      device->clientRect = {state.x, state.y, state.x + state.width, state.y + state.height};
    }
  }
  return 0;
}

}  // namespace

std::int32_t r3xCreateRenderDevice(R3xRenderDevice** slot, const R3xCamera* camera,
                                   std::int32_t fullScreen, std::int32_t modeX, std::uint32_t flags,
                                   const R3xPalette* palette, HWND window,
                                   std::int32_t bitsPerPixel, IDirectDraw* directDraw,
                                   IDirectDrawSurface* primary) {
  R3xRenderDevice* device = *slot;
  const bool isNew = device == nullptr;
  bool for3D = false;
  if (isNew) {
    device = static_cast<R3xRenderDevice*>(r3xMalloc(sizeof(R3xRenderDevice)));
    if (device == nullptr) {
      return R3X_DEVICE_FAILED;
    }
    device->modeX = 1;
    device->software3D = (flags & R3X_DEVICE_SOFTWARE_3D) != 0 ? 1 : 0;
    device->bitsPerPixel = bitsPerPixel;
    device->surfaces = static_cast<R3xDeviceSurfaceSlot*>(
        r3xMalloc(R3X_DEVICE_SURFACE_SLOTS * sizeof(R3xDeviceSurfaceSlot)));
    if (device->surfaces == nullptr) {
      r3xFree(device);
      return R3X_DEVICE_FAILED;
    }
    device->surfaceCount = R3X_DEVICE_SURFACE_SLOTS;
    *slot = device;
    for3D = (flags & (R3X_DEVICE_3D | R3X_DEVICE_SOFTWARE_3D)) != 0;
  } else {
    if (device->open != 0) {
      return R3X_DEVICE_FAILED;
    }
    for3D = device->direct3D != nullptr;
  }
  // The device records the camera's row length, as the surface's pitch.
  auto* drawnCamera = const_cast<R3xCamera*>(camera);
  const std::int32_t result = openDevice(device, isNew, for3D, drawnCamera, fullScreen, modeX,
                                         flags, palette, window, bitsPerPixel, directDraw, primary);
  if (result == 0) {
    return 0;
  }
  // What the caller lent to a new record stays the caller's: the failed open forgets it
  // instead of releasing it, so the caller's own release later is not a second one.
  if (isNew && directDraw != nullptr && device->directDraw == directDraw) {
    device->directDraw = nullptr;
  }
  if (isNew && primary != nullptr && device->primary == primary) {
    releaseField(device->back);
    device->primary = nullptr;
  }
  const bool wasFullScreen = device->fullScreen != 0;
  r3xDestroyRenderDevice(slot, isNew ? R3X_DEVICE_FREE : R3X_DEVICE_CLOSE);
  if (*slot != nullptr && window != nullptr && wasFullScreen) {
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return result;
}

std::int32_t r3xResetRenderDevice(R3xRenderDevice* device, const R3xCamera* camera,
                                  std::int32_t fullScreen, std::uint32_t flags) {
  if (device == nullptr || device->open == 0) {
    return R3X_DEVICE_FAILED;
  }
  const std::int32_t scaleFactor = scaleFactorOf(flags);
  const auto width = static_cast<std::uint32_t>(r3xGetCameraImageWidth(camera));
  const auto height = static_cast<std::uint32_t>(r3xGetCameraImageHeight(camera));
  const bool sameScreen = (fullScreen != 0) == (device->fullScreen != 0);
  if (width == device->width && height == device->height && sameScreen &&
      scaleFactor == device->scaleFactor) {
    return 0;
  }
  const std::uint32_t factor = scaleFactor != 0 ? static_cast<std::uint32_t>(scaleFactor) : 1;
  const bool newSize = width * factor != device->width || height * factor != device->height;
  r3xDestroyRenderDevice(&device, !sameScreen || (fullScreen != 0 && newSize)
                                      ? R3X_DEVICE_CLOSE
                                      : R3X_DEVICE_CLOSE_BACK);
  // Reopened at 8 bits per pixel whatever the device had, keeping its palette and entries.
  const std::int32_t result =
      r3xCreateRenderDevice(&device, camera, fullScreen, device->modeX, flags, nullptr,
                            device->window, 8, device->directDraw, device->primary);
  if (result != 0) {
    r3xCreateRenderDevice(&device, camera, 0, device->modeX, flags, nullptr, device->window, 8,
                          device->directDraw, device->primary);
  }
  return result;
}

std::int32_t r3xDestroyRenderDevice(R3xRenderDevice** slot, std::int32_t mode) {
  R3xRenderDevice* device = *slot;
  if (device == nullptr) {
    return 0;
  }
  const bool keep = (mode & R3X_DEVICE_KEEP) != 0;
  const std::int32_t level = mode & ~R3X_DEVICE_KEEP;
  if (device->direct3D != nullptr) {
    _r3xReleaseD3DObjects(device, level == R3X_DEVICE_FREE ? 1 : 0);
  }
  // A windowed back surface is the device's own; a full-screen one belongs to the flip chain,
  // and only the device's reference to it goes here.
  releaseField(device->back);
  releaseField(device->scale);
  device->open = 0;
  if (level == R3X_DEVICE_FREE || level == R3X_DEVICE_CLOSE) {
    if (level == R3X_DEVICE_FREE && !keep && device->fullScreen != 0 &&
        device->directDraw != nullptr) {
      device->directDraw->RestoreDisplayMode();
    }
    releaseField(device->clipper);
    if (!keep) {
      releaseField(device->primary);
    }
    releaseField(device->overlay);
    for (std::int32_t i = 0; i < device->surfaceCount; ++i) {
      releaseField(device->surfaces[i].surface);
    }
  }
  if (level == R3X_DEVICE_FREE) {
    releaseField(device->palette);
    if (!keep) {
      releaseField(device->directDraw);
    }
    r3xFree(device->surfaces);
    r3xFree(device);
    *slot = nullptr;
    _r3xForgetDisplayModes();
  }
  return 0;
}
