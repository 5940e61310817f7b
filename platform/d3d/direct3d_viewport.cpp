#include "platform/d3d/direct3d_viewport.h"

#include "platform/ddraw/direct_draw_faults.h"

ULONG IDirect3DViewport::AddRef() { return ++references_; }

ULONG IDirect3DViewport::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

HRESULT IDirect3DViewport::SetViewport(D3DVIEWPORT* data) {
  if (data == nullptr || data->dwSize != sizeof(D3DVIEWPORT) || !added_ || data->dwWidth == 0 ||
      data->dwHeight == 0) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kSetViewport, 0);
  if (fault != DD_OK) {
    return fault;
  }
  data_ = *data;
  set_ = true;
  return DD_OK;
}

HRESULT IDirect3DViewport::GetViewport(D3DVIEWPORT* data) {
  if (data == nullptr || data->dwSize != sizeof(D3DVIEWPORT) || !set_) {
    return DDERR_INVALIDPARAMS;
  }
  *data = data_;
  return DD_OK;
}

HRESULT IDirect3DViewport::SetBackground(D3DMATERIALHANDLE material) {
  if (material == 0) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kSetBackground, 0);
  if (fault != DD_OK) {
    return fault;
  }
  background_ = material;
  return DD_OK;
}

HRESULT IDirect3DViewport::GetBackground(D3DMATERIALHANDLE* material, BOOL* valid) {
  if (material == nullptr || valid == nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  *material = background_;
  *valid = background_ != 0 ? TRUE : FALSE;
  return DD_OK;
}
