// The bitmap references that sprite definitions hold for their frames: one per frame.
// Results: 0 or a negative R3X_ERR_ code; the check gives true or false.
#pragma once

#include <cstdint>

#include "engine/core/bitmap.h"

// True when every handle is the slot of a live bitmap.
bool _r3xAreBitmapFrames(const R3xBitmapHandle* frames, std::uint32_t count);
// Adds a reference to every frame's bitmap, or to none of them: 0 or R3X_ERR_FAILED.
std::int32_t _r3xReferenceBitmapFrames(R3xBitmapHandle* frames, std::uint32_t count);
void _r3xReleaseBitmapFrames(R3xBitmapHandle* frames, std::uint32_t count);
