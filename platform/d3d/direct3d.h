// Direct3D, obtained from a DirectDraw object (QueryInterface with IID_IDirect3D): it finds a
// device description and makes viewports and materials. Nothing is drawn.
#pragma once

#include <atomic>

#include "platform/d3d/direct3d_types.h"
#include "platform/d3d/live_objects.h"

class IDirectDraw;
class IDirect3DMaterial;
class IDirect3DViewport;

class IDirect3D {
 public:
  IDirect3D(const IDirect3D&) = delete;
  IDirect3D& operator=(const IDirect3D&) = delete;

  ULONG AddRef();
  // Returns the remaining count; at 0 the object is gone and drops its reference on the
  // DirectDraw object it came from.
  ULONG Release();
  // The first device that meets the search's conditions (D3DFDS_HARDWARE: bHardware,
  // D3DFDS_COLORMODEL: dcmColorModel), DDERR_NOTFOUND when none does. There is no hardware 3D:
  // the devices are a ramp and then an RGB software device, whose hardware descriptions have no
  // flags.
  HRESULT FindDevice(D3DFINDDEVICESEARCH* search, D3DFINDDEVICERESULT* result);
  // A viewport (count 1), to be added to a device before it is set.
  HRESULT CreateViewport(IDirect3DViewport** out, LPUNKNOWN outer);
  // A material (count 1), black until set.
  HRESULT CreateMaterial(IDirect3DMaterial** out, LPUNKNOWN outer);

 private:
  friend class IDirectDraw;
  explicit IDirect3D(IDirectDraw* directDraw);
  ~IDirect3D();

  std::atomic<ULONG> references_{1};
  IDirectDraw* directDraw_;
  platform::CountedDirect3DObject counted_;
};
