// The Direct3D block of a render device opened for 3D: its interfaces, the worlds drawn through
// it and one texture node per bitmap those worlds load. Nothing draws through the block: the
// game opens its device without 3D and draws through the 3D board.
// Results: 0 or R3X_ERR_FAILED; eviction answers 1 or 0.
#pragma once

#include <cstdint>

#include "engine/core/render_device_record.h"
#include "platform/d3d/direct3d_types.h"

class IDirect3D;
class IDirect3DDevice;
class IDirect3DExecuteBuffer;
class IDirect3DMaterial;
class IDirect3DTexture;
class IDirect3DViewport;
struct R3xBitmap;
struct R3xWorld;

inline constexpr std::uint32_t R3X_D3D_EXECUTE_BUFFER_SIZE = 4096;
inline constexpr std::uint32_t R3X_D3D_FIRST_WORLD_CAPACITY = 4;

// One bitmap's texture: its system-memory surface and, loaded into the 3D device, a device copy
// (which nothing here makes; it is released and evicted).
struct R3xTextureSurface {
  R3xBitmap* bitmap;
  IDirectDrawSurface* surface;
  IDirectDrawSurface* deviceSurface;
  IDirect3DTexture* texture;
  IDirect3DTexture* deviceTexture;
  // Software device only.
  D3DTEXTUREHANDLE handle;
  R3xTextureSurface* previous;
  R3xTextureSurface* next;
};

struct R3xD3DBlock {
  IDirectDraw* directDraw;
  IDirectDrawPalette* palette;
  // The device's back surface.
  IDirectDrawSurface* renderTarget;
  std::uint32_t width;
  std::uint32_t height;
  IDirect3D* direct3D;
  // 1: the software device description was chosen; 0: the hardware one.
  std::int32_t softwareDevice;
  IDirect3DDevice* device3D;
  // 1: the chosen description's colour model is D3DCOLOR_RGB; 0: ramp.
  std::int32_t rgbModel;
  IDirect3DViewport* viewport;
  std::uint32_t executeBufferSize;
  IDirect3DExecuteBuffer* executeBuffer;
  // The viewport's background.
  IDirect3DMaterial* background;
  D3DMATERIALHANDLE backgroundHandle;
  IDirect3DMaterial* secondMaterial;
  D3DMATERIALHANDLE secondMaterialHandle;
  float widthF;
  float halfWidth;
  float heightF;
  float halfHeight;
  std::int32_t backgroundIndex;
  std::uint32_t worldCount;
  std::uint32_t worldCapacity;
  R3xWorld** worlds;
  // Oldest first.
  R3xTextureSurface* head;
  R3xTextureSurface* tail;
  R3xRenderDevice* owner;
};

// Builds or rebuilds the device's block: Direct3D, a device description, the 3D device on the
// back surface, its viewport, execute buffer and two materials. R3X_ERR_FAILED, with what this
// call made released, when a step fails.
std::int32_t _r3xCreateD3DObjects(R3xRenderDevice* device);
// Releases the Direct3D interfaces; with `all` also every texture node and the block itself.
void _r3xReleaseD3DObjects(R3xRenderDevice* device, std::int32_t all);
// Appends the world (growing the array by a quarter and one) and links it to the device;
// R3X_ERR_FAILED without a block or memory.
std::int32_t _r3xAttachWorldToDevice(R3xRenderDevice* device, R3xWorld* world);
// Takes the world out of the array when it is there. 0.
std::int32_t _r3xDetachWorldFromDevice(R3xRenderDevice* device, R3xWorld* world);
// Gives the bitmap a system-memory texture surface holding its pixels, which the bitmap then no
// longer keeps. On failure (a failed lock included) the bitmap keeps its pixels.
std::int32_t _r3xCreateTextureSurface(R3xD3DBlock* block, R3xBitmap* bitmap);
// Releases the bitmap's texture node. 0.
std::int32_t _r3xFreeTextureSurface(R3xD3DBlock* block, R3xBitmap* bitmap);
// Evicts one device copy, sparing the four oldest nodes longest, and moves its node to the
// tail: 1, or 0 when there was none.
std::int32_t _r3xEvictTexture(R3xD3DBlock* block);
// Takes the device's palette again: onto the render target and the background material.
// R3X_ERR_FAILED when either refuses it.
std::int32_t _r3xRefreshD3DPalette(R3xRenderDevice* device);
