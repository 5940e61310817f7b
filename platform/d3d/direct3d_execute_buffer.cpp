#include "platform/d3d/direct3d_execute_buffer.h"

ULONG IDirect3DExecuteBuffer::AddRef() { return ++references_; }

ULONG IDirect3DExecuteBuffer::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}
