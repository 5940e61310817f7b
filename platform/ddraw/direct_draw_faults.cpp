#include "platform/ddraw/direct_draw_faults.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<DirectDrawFaultHook*> gHook{nullptr};

}  // namespace

DirectDrawFaultHook* SetDirectDrawFaultHook(DirectDrawFaultHook* hook) {
  return gHook.exchange(hook);
}

HRESULT DirectDrawFault(DirectDrawCall call, DWORD caps) {
  DirectDrawFaultHook* hook = gHook.load();
  return hook == nullptr ? DD_OK : hook->Answer(call, caps);
}

}  // namespace platform
