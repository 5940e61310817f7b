#include "platform/kernel/allocation_hook.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<AllocationHook*> gHook{nullptr};

}  // namespace

AllocationHook* SetAllocationHook(AllocationHook* hook) { return gHook.exchange(hook); }

bool AllocationAllowed(std::size_t size) {
  AllocationHook* hook = gHook.load();
  return hook == nullptr || hook->Allows(size);
}

}  // namespace platform
