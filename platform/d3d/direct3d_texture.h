// A Direct3D texture, obtained from a texture surface (QueryInterface with
// IID_IDirect3DTexture). Nothing is ever loaded into a device's memory here.
#pragma once

#include <atomic>

#include "platform/d3d/direct3d_types.h"
#include "platform/d3d/live_objects.h"

class IDirectDrawSurface;
class IDirect3DDevice;

class IDirect3DTexture {
 public:
  IDirect3DTexture(const IDirect3DTexture&) = delete;
  IDirect3DTexture& operator=(const IDirect3DTexture&) = delete;

  ULONG AddRef();
  // Returns the remaining count; at 0 the texture is gone and drops its reference on its
  // surface.
  ULONG Release();
  // The texture's handle for a device: not 0, the same on every call, unlike any other
  // texture's.
  HRESULT GetHandle(IDirect3DDevice* device, D3DTEXTUREHANDLE* out);
  // Takes the texture out of the device's memory.
  HRESULT Unload();

 private:
  friend class IDirectDrawSurface;
  explicit IDirect3DTexture(IDirectDrawSurface* surface);
  ~IDirect3DTexture();

  std::atomic<ULONG> references_{1};
  IDirectDrawSurface* surface_;
  D3DTEXTUREHANDLE handle_;
  platform::CountedDirect3DObject counted_;
};
