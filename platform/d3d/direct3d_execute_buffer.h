// A Direct3D execute buffer: where a device's drawing instructions would be written. Nothing is
// drawn here, so it keeps no bytes.
#pragma once

#include <atomic>

#include "platform/d3d/direct3d_types.h"
#include "platform/d3d/live_objects.h"

class IDirect3DExecuteBuffer {
 public:
  IDirect3DExecuteBuffer(const IDirect3DExecuteBuffer&) = delete;
  IDirect3DExecuteBuffer& operator=(const IDirect3DExecuteBuffer&) = delete;

  ULONG AddRef();
  ULONG Release();

 private:
  friend class IDirect3DDevice;
  IDirect3DExecuteBuffer() = default;
  ~IDirect3DExecuteBuffer() = default;

  std::atomic<ULONG> references_{1};
  platform::CountedDirect3DObject counted_;
};
