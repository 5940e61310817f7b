#include <cstring>

#include "engine/core/bitmap.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/world.h"
#include "engine/display/direct3d_block_internal.h"
#include "platform/d3d.h"
#include "platform/ddraw.h"

namespace {

// The node nearest the head that eviction looks at first: the four before it are spared longest.
constexpr int kEvictionStart = 4;
constexpr D3DVALUE kViewportDepth = 1000.0f;

template <typename T>
void releaseField(T*& field) {
  if (field != nullptr) {
    field->Release();
    field = nullptr;
  }
}

// Takes the node's device copy out of the 3D device's memory and releases it.
void unloadDeviceCopy(R3xTextureSurface* node) {
  if (node->deviceTexture != nullptr) {
    node->deviceTexture->Unload();
  }
  releaseField(node->deviceTexture);
  releaseField(node->deviceSurface);
}

void unlink(R3xD3DBlock* block, R3xTextureSurface* node) {
  (node->previous != nullptr ? node->previous->next : block->head) = node->next;
  (node->next != nullptr ? node->next->previous : block->tail) = node->previous;
  node->previous = nullptr;
  node->next = nullptr;
}

void append(R3xD3DBlock* block, R3xTextureSurface* node) {
  node->previous = block->tail;
  node->next = nullptr;
  (block->tail != nullptr ? block->tail->next : block->head) = node;
  block->tail = node;
}

// Releases everything of the node, clears the bitmap's link and frees it.
void freeNode(R3xTextureSurface* node) {
  releaseField(node->deviceTexture);
  releaseField(node->texture);
  releaseField(node->deviceSurface);
  releaseField(node->surface);
  node->bitmap->texture = nullptr;
  r3xFree(node);
}

// The block's interfaces, newest first; their fields are cleared.
void releaseInterfaces(R3xD3DBlock* block) {
  releaseField(block->background);
  releaseField(block->secondMaterial);
  releaseField(block->executeBuffer);
  releaseField(block->viewport);
  releaseField(block->device3D);
  releaseField(block->direct3D);
}

// A device description: any device for a device on a secondary driver (the software one when
// the found device has no hardware description), else a software device, RGB when there is one.
// Sets the block's software-device and RGB-model flags; false when none is found.
bool findDevice(R3xD3DBlock* block, std::int32_t software3D, GUID& guid) {
  D3DFINDDEVICESEARCH search{};
  search.dwSize = sizeof(search);
  D3DFINDDEVICERESULT found{};
  found.dwSize = sizeof(found);
  if (software3D == 0) {
    if (block->direct3D->FindDevice(&search, &found) != DD_OK) {
      return false;
    }
    block->softwareDevice = found.ddHwDesc.dwFlags == 0 ? 1 : 0;
  } else {
    search.dwFlags = D3DFDS_HARDWARE | D3DFDS_COLORMODEL;
    search.bHardware = FALSE;
    search.dcmColorModel = D3DCOLOR_RGB;
    if (block->direct3D->FindDevice(&search, &found) != DD_OK) {
      search.dwFlags = D3DFDS_HARDWARE;
      if (block->direct3D->FindDevice(&search, &found) != DD_OK) {
        return false;
      }
    }
    if (found.ddSwDesc.dwFlags == 0) {
      return false;
    }
    block->softwareDevice = 1;
  }
  const D3DDEVICEDESC& chosen = block->softwareDevice != 0 ? found.ddSwDesc : found.ddHwDesc;
  block->rgbModel = chosen.dcmColorModel == D3DCOLOR_RGB ? 1 : 0;
  guid = found.guid;
  return true;
}

// The background material takes the colour of the palette entry at the background index.
HRESULT setBackgroundColour(R3xD3DBlock* block) {
  const PALETTEENTRY& entry = block->owner->entries[block->backgroundIndex];
  D3DMATERIAL material{};
  material.dwSize = sizeof(material);
  material.diffuse = {entry.peRed / 255.0f, entry.peGreen / 255.0f, entry.peBlue / 255.0f, 0.0f};
  material.dwRampSize = 1;
  return block->background->SetMaterial(&material);
}

// The interfaces, in the order they depend on each other; false at the first failure, leaving
// what was made in the block's fields.
bool createInterfaces(R3xRenderDevice* device, R3xD3DBlock* block) {
  if (device->bitsPerPixel <= 8 && block->renderTarget->SetPalette(block->palette) != DD_OK) {
    return false;
  }
  void* made = nullptr;
  if (device->directDraw->QueryInterface(IID_IDirect3D, &made) != DD_OK) {
    return false;
  }
  block->direct3D = static_cast<IDirect3D*>(made);
  GUID guid{};
  if (!findDevice(block, device->software3D, guid) ||
      block->renderTarget->QueryInterface(guid, &made) != DD_OK) {
    return false;
  }
  block->device3D = static_cast<IDirect3DDevice*>(made);

  if (block->direct3D->CreateViewport(&block->viewport, nullptr) != DD_OK ||
      block->device3D->AddViewport(block->viewport) != DD_OK) {
    return false;
  }
  D3DVIEWPORT view{};
  view.dwSize = sizeof(view);
  view.dwWidth = block->width;
  view.dwHeight = block->height;
  view.dvScaleX = 1.0f;
  view.dvScaleY = 1.0f;
  view.dvMaxX = block->widthF;
  view.dvMaxY = block->heightF;
  view.dvMaxZ = kViewportDepth;
  if (block->viewport->SetViewport(&view) != DD_OK) {
    return false;
  }

  block->executeBufferSize = R3X_D3D_EXECUTE_BUFFER_SIZE;
  D3DEXECUTEBUFFERDESC buffer{};
  buffer.dwSize = sizeof(buffer);
  buffer.dwFlags = D3DDEB_BUFSIZE;
  buffer.dwBufferSize = block->executeBufferSize;
  if (block->device3D->CreateExecuteBuffer(&buffer, &block->executeBuffer, nullptr) != DD_OK) {
    return false;
  }

  if (block->direct3D->CreateMaterial(&block->secondMaterial, nullptr) != DD_OK ||
      block->secondMaterial->GetHandle(block->device3D, &block->secondMaterialHandle) != DD_OK) {
    return false;
  }
  return block->direct3D->CreateMaterial(&block->background, nullptr) == DD_OK &&
         setBackgroundColour(block) == DD_OK &&
         block->background->GetHandle(block->device3D, &block->backgroundHandle) == DD_OK &&
         block->viewport->SetBackground(block->backgroundHandle) == DD_OK;
}

// The node's system-memory texture surface holding the bitmap's pixels, its texture interface
// and handle and the colour key; false at the first failure, leaving what was made in the node.
bool createTexture(R3xD3DBlock* block, R3xTextureSurface* node) {
  const R3xBitmap* bitmap = node->bitmap;
  const bool paletted = block->owner->bitsPerPixel <= 8;
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
  desc.dwWidth = static_cast<DWORD>(bitmap->width);
  desc.dwHeight = static_cast<DWORD>(bitmap->height);
  desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE;
  desc.ddpfPixelFormat =
      paletted ? DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0}
               : DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 16, 0x7C00, 0x03E0, 0x001F};
  if (block->directDraw->CreateSurface(&desc, &node->surface, nullptr) != DD_OK) {
    return false;
  }
  if (paletted && node->surface->SetPalette(block->palette) != DD_OK) {
    return false;
  }
  // Without the lock the pixels would stay only in the bitmap, which gives them up below.
  DDSURFACEDESC locked{};
  locked.dwSize = sizeof(locked);
  if (node->surface->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr) != DD_OK) {
    return false;
  }
  const std::size_t row = static_cast<std::size_t>(bitmap->width) * (paletted ? 1 : 2);
  for (std::int32_t y = 0; y < bitmap->height; ++y) {
    std::memcpy(static_cast<std::uint8_t*>(locked.lpSurface) +
                    static_cast<std::size_t>(y) * static_cast<std::size_t>(locked.lPitch),
                bitmap->pixels + static_cast<std::size_t>(y) * row, row);
  }
  node->surface->Unlock(locked.lpSurface);
  void* texture = nullptr;
  if (node->surface->QueryInterface(IID_IDirect3DTexture, &texture) != DD_OK) {
    return false;
  }
  node->texture = static_cast<IDirect3DTexture*>(texture);
  if (block->softwareDevice != 0 &&
      node->texture->GetHandle(block->device3D, &node->handle) != DD_OK) {
    return false;
  }
  DDCOLORKEY key{block->owner->colourKey, block->owner->colourKey};
  return node->surface->SetColorKey(DDCKEY_SRCBLT, &key) == DD_OK;
}

}  // namespace

std::int32_t _r3xCreateD3DObjects(R3xRenderDevice* device) {
  R3xD3DBlock* block = device->direct3D;
  const bool newBlock = block == nullptr;
  if (newBlock) {
    block = static_cast<R3xD3DBlock*>(r3xMalloc(sizeof(R3xD3DBlock)));
    if (block == nullptr) {
      return R3X_ERR_FAILED;
    }
  }
  block->directDraw = device->directDraw;
  block->palette = device->palette;
  block->renderTarget = device->back;
  block->width = device->width;
  block->height = device->height;
  block->widthF = static_cast<float>(device->width);
  block->halfWidth = block->widthF * 0.5f;
  block->heightF = static_cast<float>(device->height);
  block->halfHeight = block->heightF * 0.5f;
  block->owner = device;
  block->backgroundIndex = 0;
  const bool newWorlds = block->worlds == nullptr;
  if (newWorlds) {
    block->worlds =
        static_cast<R3xWorld**>(r3xMalloc(R3X_D3D_FIRST_WORLD_CAPACITY * sizeof(R3xWorld*)));
    if (block->worlds == nullptr) {
      if (newBlock) {
        r3xFree(block);
      }
      return R3X_ERR_FAILED;
    }
    block->worldCount = 0;
    block->worldCapacity = R3X_D3D_FIRST_WORLD_CAPACITY;
    block->head = nullptr;
    block->tail = nullptr;
  }
  if (!createInterfaces(device, block)) {
    releaseInterfaces(block);
    if (newWorlds) {
      r3xFree(block->worlds);
      block->worlds = nullptr;
    }
    if (newBlock) {
      r3xFree(block);
    }
    return R3X_ERR_FAILED;
  }
  device->direct3D = block;
  return 0;
}

void _r3xReleaseD3DObjects(R3xRenderDevice* device, std::int32_t all) {
  R3xD3DBlock* block = device->direct3D;
  if (block == nullptr) {
    return;
  }
  releaseInterfaces(block);
  if (all == 0) {
    for (R3xTextureSurface* node = block->head; node != nullptr; node = node->next) {
      if (node->deviceSurface != nullptr) {
        unloadDeviceCopy(node);
      }
    }
    return;
  }
  while (block->head != nullptr) {
    R3xTextureSurface* node = block->head;
    unlink(block, node);
    freeNode(node);
  }
  r3xFree(block->worlds);
  r3xFree(block);
  device->direct3D = nullptr;
}

std::int32_t _r3xAttachWorldToDevice(R3xRenderDevice* device, R3xWorld* world) {
  R3xD3DBlock* block = device->direct3D;
  if (block == nullptr) {
    return R3X_ERR_FAILED;
  }
  if (block->worldCount == block->worldCapacity) {
    const std::uint32_t capacity = block->worldCapacity + block->worldCapacity / 4 + 1;
    auto* grown = static_cast<R3xWorld**>(r3xRealloc(block->worlds, capacity * sizeof(R3xWorld*)));
    if (grown == nullptr) {
      return R3X_ERR_FAILED;
    }
    block->worlds = grown;
    block->worldCapacity = capacity;
  }
  block->worlds[block->worldCount++] = world;
  world->device = device;
  return 0;
}

std::int32_t _r3xDetachWorldFromDevice(R3xRenderDevice* device, R3xWorld* world) {
  R3xD3DBlock* block = device->direct3D;
  if (block == nullptr) {
    return 0;
  }
  for (std::uint32_t i = 0; i < block->worldCount; ++i) {
    if (block->worlds[i] == world) {
      std::memmove(block->worlds + i, block->worlds + i + 1,
                   (block->worldCount - i - 1) * sizeof(R3xWorld*));
      --block->worldCount;
      world->device = nullptr;
      break;
    }
  }
  return 0;
}

std::int32_t _r3xCreateTextureSurface(R3xD3DBlock* block, R3xBitmap* bitmap) {
  auto* node = static_cast<R3xTextureSurface*>(r3xMalloc(sizeof(R3xTextureSurface)));
  if (node == nullptr) {
    return R3X_ERR_FAILED;
  }
  node->bitmap = bitmap;
  if (!createTexture(block, node)) {
    releaseField(node->texture);
    releaseField(node->surface);
    r3xFree(node);
    return R3X_ERR_FAILED;
  }
  append(block, node);
  bitmap->texture = node;
  // From now on the pixels live only in the texture surface.
  r3xFree(bitmap->pixels);
  bitmap->pixels = nullptr;
  return 0;
}

std::int32_t _r3xFreeTextureSurface(R3xD3DBlock* block, R3xBitmap* bitmap) {
  auto* node = static_cast<R3xTextureSurface*>(bitmap->texture);
  if (node == nullptr) {
    return 0;
  }
  unlink(block, node);
  freeNode(node);
  return 0;
}

std::int32_t _r3xEvictTexture(R3xD3DBlock* block) {
  if (block->head == nullptr) {
    return 0;
  }
  R3xTextureSurface* start = block->head;
  for (int i = 0; i < kEvictionStart && start->next != nullptr; ++i) {
    start = start->next;
  }
  R3xTextureSurface* found = nullptr;
  for (R3xTextureSurface* node = start; node != nullptr && found == nullptr; node = node->next) {
    if (node->deviceSurface != nullptr) {
      found = node;
    }
  }
  for (R3xTextureSurface* node = start->previous; node != nullptr && found == nullptr;
       node = node->previous) {
    if (node->deviceSurface != nullptr) {
      found = node;
    }
  }
  if (found == nullptr) {
    return 0;
  }
  unloadDeviceCopy(found);
  unlink(block, found);
  append(block, found);
  return 1;
}

std::int32_t _r3xRefreshD3DPalette(R3xRenderDevice* device) {
  R3xD3DBlock* block = device->direct3D;
  block->palette = device->palette;
  if (device->bitsPerPixel <= 8 && block->renderTarget->SetPalette(block->palette) != DD_OK) {
    return R3X_ERR_FAILED;
  }
  return setBackgroundColour(block) == DD_OK ? 0 : R3X_ERR_FAILED;
}
