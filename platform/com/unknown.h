// The base of reference-counted interfaces reached only by identifier: the Direct3D interfaces,
// which no object here provides (there is no Direct3D), are held as these.
#pragma once

#include "platform/com/guid.h"

class IUnknown {
 public:
  virtual HRESULT QueryInterface(REFGUID id, void** out) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

// Identifiers of the Direct3D interfaces that a DirectDraw object or surface is asked for (our
// own values: nothing here answers to them).
inline constexpr GUID IID_IDirect3D{0x41524E01, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 1}};
inline constexpr GUID IID_IDirect3DTexture{0x41524E01, 0x0002, 0x0000, {0, 0, 0, 0, 0, 0, 0, 2}};
