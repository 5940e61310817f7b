// A Direct3D material: a colour that a device knows by the material's handle.
#pragma once

#include <atomic>

#include "platform/d3d/direct3d_types.h"
#include "platform/d3d/live_objects.h"

class IDirect3DDevice;

class IDirect3DMaterial {
 public:
  IDirect3DMaterial(const IDirect3DMaterial&) = delete;
  IDirect3DMaterial& operator=(const IDirect3DMaterial&) = delete;

  ULONG AddRef();
  ULONG Release();
  HRESULT SetMaterial(D3DMATERIAL* data);
  HRESULT GetMaterial(D3DMATERIAL* data);
  // The material's handle for a device: not 0, the same on every call, unlike any other
  // material's.
  HRESULT GetHandle(IDirect3DDevice* device, D3DMATERIALHANDLE* out);

 private:
  friend class IDirect3D;
  IDirect3DMaterial();
  ~IDirect3DMaterial() = default;

  std::atomic<ULONG> references_{1};
  D3DMATERIAL data_{};
  D3DMATERIALHANDLE handle_;
  platform::CountedDirect3DObject counted_;
};
