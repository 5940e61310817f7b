// The engine's own functions of bitmap.h, which the public header leaves out.
// Results: 0 or a negative R3X_ERR_ code; the lookup gives an object or null.
#pragma once

#include "engine/core/bitmap.h"

// The bitmap a handle names.
inline R3xBitmap* _r3xBitmapOf(R3xBitmapHandle handle) {
  return reinterpret_cast<R3xBitmap*>(handle->object);
}

// Replaces the bitmap's pixels with those of its files: 0 or the loader's error code.
std::int32_t _r3xLoadBitmapImages(R3xWorld* world, R3xBitmap* bitmap);

// Replaces each frame name that does not exist as it is by its full name found along
// "WLDPATH". 0, or R3X_ERR_NO_MEMORY, after which the bitmap has no frame names left.
std::int32_t _r3xSearchWorldPath(R3xWorld* world, R3xBitmap* bitmap);
