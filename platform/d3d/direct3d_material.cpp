#include "platform/d3d/direct3d_material.h"

#include "platform/ddraw/direct_draw_faults.h"

namespace {

std::atomic<D3DMATERIALHANDLE> gNextHandle{1};

}  // namespace

IDirect3DMaterial::IDirect3DMaterial() : handle_(gNextHandle++) {
  data_.dwSize = sizeof(D3DMATERIAL);
}

ULONG IDirect3DMaterial::AddRef() { return ++references_; }

ULONG IDirect3DMaterial::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

HRESULT IDirect3DMaterial::SetMaterial(D3DMATERIAL* data) {
  if (data == nullptr || data->dwSize != sizeof(D3DMATERIAL)) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kSetMaterial, 0);
  if (fault != DD_OK) {
    return fault;
  }
  data_ = *data;
  return DD_OK;
}

HRESULT IDirect3DMaterial::GetMaterial(D3DMATERIAL* data) {
  if (data == nullptr || data->dwSize != sizeof(D3DMATERIAL)) {
    return DDERR_INVALIDPARAMS;
  }
  *data = data_;
  return DD_OK;
}

HRESULT IDirect3DMaterial::GetHandle(IDirect3DDevice* device, D3DMATERIALHANDLE* out) {
  if (device == nullptr || out == nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kGetMaterialHandle, 0);
  if (fault != DD_OK) {
    return fault;
  }
  *out = handle_;
  return DD_OK;
}
