#include "engine/display/direct3d_block_internal.h"
#include "engine/display/render_device_internal.h"
#include "platform/ddraw.h"

IDirectDrawSurface* _r3xCreateDeviceSurface(R3xRenderDevice* device, std::uint32_t width,
                                            std::uint32_t height, std::int32_t systemMemory,
                                            std::int32_t colourKeyed, std::int32_t for3D) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN |
                        (systemMemory != 0 ? DDSCAPS_SYSTEMMEMORY : DDSCAPS_VIDEOMEMORY) |
                        (for3D != 0 ? DDSCAPS_3DDEVICE : 0);
  IDirectDrawSurface* surface = nullptr;
  HRESULT result = device->directDraw->CreateSurface(&desc, &surface, nullptr);
  if (systemMemory == 0) {
    // Textures give way to the new surface while there are any to evict; then system memory.
    while (result == DDERR_OUTOFVIDEOMEMORY && device->direct3D != nullptr &&
           _r3xEvictTexture(device->direct3D) == 1) {
      result = device->directDraw->CreateSurface(&desc, &surface, nullptr);
    }
    if (result == DDERR_OUTOFVIDEOMEMORY) {
      desc.ddsCaps.dwCaps = (desc.ddsCaps.dwCaps & ~DDSCAPS_VIDEOMEMORY) | DDSCAPS_SYSTEMMEMORY;
      result = device->directDraw->CreateSurface(&desc, &surface, nullptr);
    }
  }
  if (result != DD_OK) {
    return nullptr;
  }
  if (colourKeyed != 0) {
    DDCOLORKEY key{device->colourKey, device->colourKey};
    if (surface->SetColorKey(DDCKEY_SRCBLT, &key) != DD_OK) {
      surface->Release();
      return nullptr;
    }
  }
  return surface;
}

BOOL _r3xEnumDeviceCallback(GUID* driver, LPSTR /*description*/, LPSTR /*name*/, LPVOID context) {
  auto* found = static_cast<IDirectDraw**>(context);
  // The primary driver is the one the device would take anyway.
  if (driver == nullptr) {
    return TRUE;
  }
  IDirectDraw* directDraw = nullptr;
  if (DirectDrawCreate(driver, &directDraw, nullptr) != DD_OK) {
    return FALSE;
  }
  DDCAPS caps{};
  caps.dwSize = sizeof(caps);
  if (directDraw->GetCaps(&caps, nullptr) != DD_OK) {
    directDraw->Release();
    return FALSE;
  }
  if ((caps.dwCaps & DDCAPS_3D) != 0) {
    *found = directDraw;
    return FALSE;
  }
  *found = nullptr;
  directDraw->Release();
  return TRUE;
}
