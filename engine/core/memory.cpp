#include "engine/core/memory.h"

#include <cstdlib>

void* r3xMalloc(std::size_t size) { return std::calloc(size == 0 ? 1 : size, 1); }

void* r3xRealloc(void* block, std::size_t size) {
  return std::realloc(block, size == 0 ? 1 : size);
}

void r3xFree(void* block) { std::free(block); }
