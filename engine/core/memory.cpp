#include "engine/core/memory.h"

#include <cstdlib>

#include "platform/kernel/allocation_hook.h"

void* r3xMalloc(std::size_t size) {
  if (!platform::AllocationAllowed(size)) {
    return nullptr;
  }
  return std::calloc(size == 0 ? 1 : size, 1);
}

void* r3xRealloc(void* block, std::size_t size) {
  if (!platform::AllocationAllowed(size)) {
    return nullptr;
  }
  return std::realloc(block, size == 0 ? 1 : size);
}

void r3xFree(void* block) { std::free(block); }
