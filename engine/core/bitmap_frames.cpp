#include "engine/core/bitmap_frames.h"

#include "engine/core/bitmap_internal.h"
#include "engine/core/error.h"

bool _r3xAreBitmapFrames(const R3xBitmapHandle* frames, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    if (frames[i] == nullptr || frames[i]->object == nullptr ||
        frames[i]->object->type != R3X_TYPE_BITMAP) {
      return false;
    }
  }
  return true;
}

std::int32_t _r3xReferenceBitmapFrames(R3xBitmapHandle* frames, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    if (r3xAddRef(&_r3xBitmapOf(frames[i])->header) != 0) {
      _r3xReleaseBitmapFrames(frames, i);
      return R3X_ERR_FAILED;
    }
  }
  return 0;
}

void _r3xReleaseBitmapFrames(R3xBitmapHandle* frames, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    r3xRelease(&_r3xBitmapOf(frames[i])->header);
  }
}
