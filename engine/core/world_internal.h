// The engine's own functions of world.h, which the public header leaves out.
// Results: 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/core/world.h"

// Makes vertices (count xyz triples, owned) the world's vertex array. The array it replaces is
// freed while the world has no region, and otherwise kept until the world is destroyed, since
// regions point into it. 0, or R3X_ERR_FAILED out of memory (nothing changed, vertices not
// taken).
std::int32_t _r3xReplaceWorldVertices(R3xWorld* world, float* vertices, std::uint32_t count);
