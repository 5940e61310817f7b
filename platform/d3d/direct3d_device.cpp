#include "platform/d3d/direct3d_device.h"

#include "platform/d3d/direct3d_execute_buffer.h"
#include "platform/d3d/direct3d_viewport.h"
#include "platform/ddraw/direct_draw_faults.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/kernel/allocation_hook.h"

IDirect3DDevice::IDirect3DDevice(IDirectDrawSurface* target) : target_(target) {
  target_->AddRef();
}

IDirect3DDevice::~IDirect3DDevice() {
  for (IDirect3DViewport* viewport : viewports_) {
    viewport->added_ = false;
    viewport->Release();
  }
  target_->Release();
}

ULONG IDirect3DDevice::AddRef() { return ++references_; }

ULONG IDirect3DDevice::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

HRESULT IDirect3DDevice::AddViewport(IDirect3DViewport* viewport) {
  if (viewport == nullptr || viewport->added_) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kAddViewport, 0);
  if (fault != DD_OK) {
    return fault;
  }
  viewport->AddRef();
  viewport->added_ = true;
  viewports_.push_back(viewport);
  return DD_OK;
}

HRESULT IDirect3DDevice::CreateExecuteBuffer(D3DEXECUTEBUFFERDESC* desc,
                                             IDirect3DExecuteBuffer** out, LPUNKNOWN outer) {
  if (desc == nullptr || out == nullptr || outer != nullptr ||
      desc->dwSize != sizeof(D3DEXECUTEBUFFERDESC) || (desc->dwFlags & D3DDEB_BUFSIZE) == 0 ||
      desc->dwBufferSize == 0) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault =
      platform::DirectDrawFault(platform::DirectDrawCall::kCreateExecuteBuffer, 0);
  if (fault != DD_OK) {
    return fault;
  }
  if (!platform::AllocationAllowed(sizeof(IDirect3DExecuteBuffer))) {
    return DDERR_OUTOFMEMORY;
  }
  *out = new IDirect3DExecuteBuffer();
  return DD_OK;
}
