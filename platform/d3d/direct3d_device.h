// A Direct3D device, obtained from a render target surface with DDSCAPS_3DDEVICE
// (QueryInterface with a device identifier that FindDevice gave): it holds its viewports and
// makes execute buffers. Nothing is drawn.
#pragma once

#include <atomic>
#include <vector>

#include "platform/d3d/direct3d_types.h"
#include "platform/d3d/live_objects.h"

class IDirectDrawSurface;
class IDirect3DExecuteBuffer;
class IDirect3DViewport;

class IDirect3DDevice {
 public:
  IDirect3DDevice(const IDirect3DDevice&) = delete;
  IDirect3DDevice& operator=(const IDirect3DDevice&) = delete;

  ULONG AddRef();
  // Returns the remaining count; at 0 the device is gone and drops its references on its
  // viewports and its render target.
  ULONG Release();
  // Adds the viewport with a reference; DDERR_INVALIDPARAMS when it is already in a device.
  HRESULT AddViewport(IDirect3DViewport* viewport);
  // An execute buffer (count 1) for desc's dwBufferSize bytes (D3DDEB_BUFSIZE, not 0).
  HRESULT CreateExecuteBuffer(D3DEXECUTEBUFFERDESC* desc, IDirect3DExecuteBuffer** out,
                              LPUNKNOWN outer);

 private:
  friend class IDirectDrawSurface;
  explicit IDirect3DDevice(IDirectDrawSurface* target);
  ~IDirect3DDevice();

  std::atomic<ULONG> references_{1};
  IDirectDrawSurface* target_;
  std::vector<IDirect3DViewport*> viewports_;
  platform::CountedDirect3DObject counted_;
};
