#include "failing_memory.h"

#include <cstddef>

namespace {

// Negative: allocations do not fail.
long gAllowed = -1;
long gAsked = 0;

bool refuse() {
  ++gAsked;
  if (gAllowed < 0) {
    return false;
  }
  if (gAllowed == 0) {
    return true;
  }
  --gAllowed;
  return false;
}

}  // namespace

// The linker sends r3xMalloc(std::size_t) and r3xRealloc(void*, std::size_t) here.
extern "C" {
void* __real__Z9r3xMallocm(std::size_t size);
void* __real__Z10r3xReallocPvm(void* block, std::size_t size);

void* __wrap__Z9r3xMallocm(std::size_t size) {
  return refuse() ? nullptr : __real__Z9r3xMallocm(size);
}
void* __wrap__Z10r3xReallocPvm(void* block, std::size_t size) {
  return refuse() ? nullptr : __real__Z10r3xReallocPvm(block, size);
}
}

FailingMemory::FailingMemory(long after) {
  gAllowed = after;
  gAsked = 0;
}

FailingMemory::~FailingMemory() { gAllowed = -1; }

long FailingMemory::asked() const { return gAsked; }
