#include "engine/core/palette.h"
#include "engine/display/direct3d_block_internal.h"
#include "engine/display/render_device_internal.h"
#include "platform/ddraw.h"

namespace {

HRESULT copyScaleSurface(R3xRenderDevice* device) {
  if (device->scaleFactor == 1) {
    return device->back->BltFast(0, 0, device->scale, nullptr, DDBLTFAST_WAIT);
  }
  return device->back->Blt(nullptr, device->scale, nullptr, DDBLT_WAIT, nullptr);
}

}  // namespace

std::int32_t r3xClearDevice(R3xRenderDevice* device, std::int32_t index,
                            const R3xDeviceColour* colour) {
  IDirectDrawSurface* target = nullptr;
  if (device != nullptr) {
    target = device->scale != nullptr ? device->scale : device->back;
  }
  if (target == nullptr) {
    return R3X_DEVICE_FAILED;
  }
  // Other depths than 16 bits fill with the index.
  std::int32_t value = index;
  if (device->bitsPerPixel == 16) {
    if (colour == nullptr) {
      return R3X_DEVICE_FAILED;
    }
    value = _r3xPackRgb16(colour, device->pixelFormat);
    if (value == R3X_DEVICE_FAILED) {
      return R3X_DEVICE_FAILED;
    }
  }
  DDBLTFX effects{};
  effects.dwSize = sizeof(effects);
  effects.dwFillColor = static_cast<DWORD>(value);
  return target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
}

std::int32_t r3xPresentDevice(R3xRenderDevice* device) {
  if (device == nullptr || device->open == 0) {
    return R3X_DEVICE_FAILED;
  }
  if (device->scale != nullptr) {
    const HRESULT copied = _r3xRetryIfLost([device] { return copyScaleSurface(device); },
                                           [device] {
                                             device->back->Restore();
                                             device->scale->Restore();
                                           });
    // Nothing is shown when the frame did not reach the back surface.
    if (copied != DD_OK) {
      return copied;
    }
  }
  // Nothing in the game sets the overlay flag.
  if (device->overlayOn != 0 && device->overlay != nullptr) {
    _r3xDrawDeviceOverlay(device);
  }
  if (device->flipping != 0) {
    return _r3xRetryIfLost([device] { return device->primary->Flip(nullptr, DDFLIP_WAIT); },
                           [device] { device->primary->Restore(); });
  }
  return _r3xRetryIfLost(
      [device] {
        return device->primary->Blt(&device->clientRect, device->back, nullptr, DDBLT_WAIT,
                                    nullptr);
      },
      [device] {
        device->primary->Restore();
        device->back->Restore();
      });
}

std::int32_t r3xSetDevicePalette(R3xRenderDevice* device, const R3xPalette* palette) {
  if (device == nullptr || device->open == 0) {
    return R3X_DEVICE_FAILED;
  }
  if (palette != nullptr) {
    if (device->palette != nullptr) {
      const HRESULT loaded = device->palette->SetEntries(0, 0, 256, palette->entries);
      if (loaded != DD_OK) {
        return loaded;
      }
    }
    for (int i = 0; i < 256; ++i) {
      device->entries[i] = palette->entries[i];
      device->entries[i].peFlags |= R3X_PALETTE_READONLY;
    }
    if (device->direct3D != nullptr) {
      _r3xRefreshD3DPalette(device);
    }
  }
  HRESULT result = DD_OK;
  if (device->bitsPerPixel == 8) {
    if (device->fullScreen != 0) {
      result = _r3xRetryIfLost([device] { return device->primary->SetPalette(device->palette); },
                               [device] { device->primary->Restore(); });
    }
    for (std::int32_t i = 0; i < device->surfaceCount; ++i) {
      IDirectDrawSurface* surface = device->surfaces[i].surface;
      if (surface != nullptr) {
        const HRESULT attached = surface->SetPalette(device->palette);
        if (attached != DD_OK) {
          result = attached;
        }
      }
    }
  }
  return result;
}

std::int32_t r3xGetDeviceSurface(R3xRenderDevice* device, std::int32_t n,
                                 IDirectDrawSurface** surface) {
  if (device == nullptr || n < 1 || n > device->surfaceCount) {
    return R3X_DEVICE_FAILED;
  }
  if (device->surfaces[n - 1].surface == nullptr) {
    return R3X_DEVICE_EMPTY_SLOT;
  }
  *surface = device->surfaces[n - 1].surface;
  return 0;
}
