#include <cstring>

#include "engine/core/bitmap.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/world.h"
#include "engine/display/direct3d_block_internal.h"
#include "platform/ddraw.h"

namespace {

// The node nearest the head that eviction looks at first: the four before it are spared longest.
constexpr int kEvictionStart = 4;

template <typename T>
void releaseField(T*& field) {
  if (field != nullptr) {
    field->Release();
    field = nullptr;
  }
}

void releaseDeviceCopy(R3xTextureSurface* node) {
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
  releaseDeviceCopy(node);
  releaseField(node->texture);
  releaseField(node->surface);
  node->bitmap->texture = nullptr;
  r3xFree(node);
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
  if (device->bitsPerPixel <= 8 && block->renderTarget != nullptr) {
    block->renderTarget->SetPalette(block->palette);
  }
  // The Direct3D interface comes from the DirectDraw object, which has none here; the device
  // search, 3D device, viewport, execute buffer and materials follow it once Direct3D exists.
  void* direct3D = nullptr;
  if (device->directDraw == nullptr ||
      device->directDraw->QueryInterface(IID_IDirect3D, &direct3D) != DD_OK) {
    if (newWorlds) {
      r3xFree(block->worlds);
      block->worlds = nullptr;
    }
    if (newBlock) {
      r3xFree(block);
    }
    return R3X_ERR_FAILED;
  }
  block->direct3D = static_cast<IUnknown*>(direct3D);
  block->executeBufferSize = R3X_D3D_EXECUTE_BUFFER_SIZE;
  device->direct3D = block;
  return 0;
}

void _r3xReleaseD3DObjects(R3xRenderDevice* device, std::int32_t all) {
  R3xD3DBlock* block = device->direct3D;
  if (block == nullptr) {
    return;
  }
  releaseField(block->background);
  releaseField(block->secondMaterial);
  releaseField(block->executeBuffer);
  releaseField(block->viewport);
  releaseField(block->device3D);
  releaseField(block->direct3D);
  if (all == 0) {
    for (R3xTextureSurface* node = block->head; node != nullptr; node = node->next) {
      releaseDeviceCopy(node);
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
    r3xFree(node);
    return R3X_ERR_FAILED;
  }
  if (paletted) {
    node->surface->SetPalette(block->palette);
  }
  DDSURFACEDESC locked{};
  locked.dwSize = sizeof(locked);
  if (node->surface->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr) == DD_OK) {
    const std::size_t row = static_cast<std::size_t>(bitmap->width) * (paletted ? 1 : 2);
    for (std::int32_t y = 0; y < bitmap->height; ++y) {
      std::memcpy(static_cast<std::uint8_t*>(locked.lpSurface) +
                      static_cast<std::size_t>(y) * static_cast<std::size_t>(locked.lPitch),
                  bitmap->pixels + static_cast<std::size_t>(y) * row, row);
    }
    node->surface->Unlock(locked.lpSurface);
  }
  // The surface's texture interface needs Direct3D, which is not here: this is where a texture
  // surface fails, and the bitmap keeps its pixels.
  void* texture = nullptr;
  if (node->surface->QueryInterface(IID_IDirect3DTexture, &texture) != DD_OK) {
    node->surface->Release();
    r3xFree(node);
    return R3X_ERR_FAILED;
  }
  node->texture = static_cast<IUnknown*>(texture);
  DDCOLORKEY key{block->owner->colourKey, block->owner->colourKey};
  node->surface->SetColorKey(DDCKEY_SRCBLT, &key);
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
  releaseDeviceCopy(found);
  unlink(block, found);
  append(block, found);
  return 1;
}

std::int32_t _r3xRefreshD3DPalette(R3xRenderDevice* device) {
  R3xD3DBlock* block = device->direct3D;
  block->palette = device->palette;
  if (device->bitsPerPixel <= 8 && block->renderTarget != nullptr &&
      block->renderTarget->SetPalette(block->palette) != DD_OK) {
    return R3X_ERR_FAILED;
  }
  // The background material takes the palette's colour again once Direct3D exists.
  return 0;
}
