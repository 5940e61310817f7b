// A Direct3D viewport: the part of a device's render target drawn into, and the material its
// background is cleared with.
#pragma once

#include <atomic>

#include "platform/d3d/direct3d_types.h"
#include "platform/d3d/live_objects.h"

class IDirect3DViewport {
 public:
  IDirect3DViewport(const IDirect3DViewport&) = delete;
  IDirect3DViewport& operator=(const IDirect3DViewport&) = delete;

  ULONG AddRef();
  ULONG Release();
  // Once the viewport has been added to a device (else DDERR_INVALIDPARAMS): its rectangle,
  // which must be at least 1 x 1, scales and depth range.
  HRESULT SetViewport(D3DVIEWPORT* data);
  // What SetViewport set; DDERR_INVALIDPARAMS before it.
  HRESULT GetViewport(D3DVIEWPORT* data);
  // A material's handle (not 0) as the background.
  HRESULT SetBackground(D3DMATERIALHANDLE material);
  // The background's handle and whether one is set.
  HRESULT GetBackground(D3DMATERIALHANDLE* material, BOOL* valid);

 private:
  friend class IDirect3D;
  friend class IDirect3DDevice;
  IDirect3DViewport() = default;
  ~IDirect3DViewport() = default;

  std::atomic<ULONG> references_{1};
  bool added_ = false;
  bool set_ = false;
  D3DVIEWPORT data_{};
  D3DMATERIALHANDLE background_ = 0;
  platform::CountedDirect3DObject counted_;
};
