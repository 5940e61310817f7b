// The engine's memory wrappers: all engine memory goes through these three. Malloc and Realloc
// ask the platform's allocation hook first, so tests can make any allocation fail.
// Results: a block, or null.
#pragma once

#include <cstddef>

// A zero-filled block of size bytes, or null.
void* r3xMalloc(std::size_t size);
// Resizes a block (new bytes are not cleared); null on failure, the old block then stays valid.
void* r3xRealloc(void* block, std::size_t size);
// Releases a block; null is allowed.
void r3xFree(void* block);
