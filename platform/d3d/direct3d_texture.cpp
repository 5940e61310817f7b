#include "platform/d3d/direct3d_texture.h"

#include "platform/ddraw/direct_draw_faults.h"
#include "platform/ddraw/direct_draw_surface.h"

namespace {

std::atomic<D3DTEXTUREHANDLE> gNextHandle{1};

}  // namespace

IDirect3DTexture::IDirect3DTexture(IDirectDrawSurface* surface)
    : surface_(surface), handle_(gNextHandle++) {
  surface_->AddRef();
}

IDirect3DTexture::~IDirect3DTexture() { surface_->Release(); }

ULONG IDirect3DTexture::AddRef() { return ++references_; }

ULONG IDirect3DTexture::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

HRESULT IDirect3DTexture::GetHandle(IDirect3DDevice* device, D3DTEXTUREHANDLE* out) {
  if (device == nullptr || out == nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kGetTextureHandle, 0);
  if (fault != DD_OK) {
    return fault;
  }
  *out = handle_;
  return DD_OK;
}

HRESULT IDirect3DTexture::Unload() {
  return platform::DirectDrawFault(platform::DirectDrawCall::kUnload, 0);
}
