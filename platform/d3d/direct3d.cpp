#include "platform/d3d/direct3d.h"

#include "platform/d3d/direct3d_material.h"
#include "platform/d3d/direct3d_viewport.h"
#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/direct_draw_faults.h"
#include "platform/kernel/allocation_hook.h"

namespace {

// The software devices, in the order a search meets them.
constexpr D3DFINDDEVICERESULT kDevices[] = {
    {sizeof(D3DFINDDEVICERESULT),
     IID_IDirect3DRampDevice,
     {0, 0},
     {D3DDD_COLORMODEL, D3DCOLOR_RAMP}},
    {sizeof(D3DFINDDEVICERESULT), IID_IDirect3DRGBDevice, {0, 0}, {D3DDD_COLORMODEL, D3DCOLOR_RGB}},
};

bool Meets(const D3DFINDDEVICERESULT& device, const D3DFINDDEVICESEARCH& search) {
  const bool hardware = device.ddHwDesc.dwFlags != 0;
  const D3DDEVICEDESC& desc = hardware ? device.ddHwDesc : device.ddSwDesc;
  if ((search.dwFlags & D3DFDS_HARDWARE) != 0 && (search.bHardware != FALSE) != hardware) {
    return false;
  }
  return (search.dwFlags & D3DFDS_COLORMODEL) == 0 || search.dcmColorModel == desc.dcmColorModel;
}

}  // namespace

IDirect3D::IDirect3D(IDirectDraw* directDraw) : directDraw_(directDraw) { directDraw_->AddRef(); }

IDirect3D::~IDirect3D() { directDraw_->Release(); }

ULONG IDirect3D::AddRef() { return ++references_; }

ULONG IDirect3D::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

HRESULT IDirect3D::FindDevice(D3DFINDDEVICESEARCH* search, D3DFINDDEVICERESULT* result) {
  if (search == nullptr || result == nullptr || search->dwSize != sizeof(D3DFINDDEVICESEARCH) ||
      result->dwSize != sizeof(D3DFINDDEVICERESULT)) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kFindDevice, 0);
  if (fault != DD_OK) {
    return fault;
  }
  for (const D3DFINDDEVICERESULT& device : kDevices) {
    if (Meets(device, *search)) {
      *result = device;
      return DD_OK;
    }
  }
  return DDERR_NOTFOUND;
}

HRESULT IDirect3D::CreateViewport(IDirect3DViewport** out, LPUNKNOWN outer) {
  if (out == nullptr || outer != nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kCreateViewport, 0);
  if (fault != DD_OK) {
    return fault;
  }
  if (!platform::AllocationAllowed(sizeof(IDirect3DViewport))) {
    return DDERR_OUTOFMEMORY;
  }
  *out = new IDirect3DViewport();
  return DD_OK;
}

HRESULT IDirect3D::CreateMaterial(IDirect3DMaterial** out, LPUNKNOWN outer) {
  if (out == nullptr || outer != nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kCreateMaterial, 0);
  if (fault != DD_OK) {
    return fault;
  }
  if (!platform::AllocationAllowed(sizeof(IDirect3DMaterial))) {
    return DDERR_OUTOFMEMORY;
  }
  *out = new IDirect3DMaterial();
  return DD_OK;
}
