#include "engine/core/part.h"

#include "engine/core/error.h"
#include "engine/core/sprite_2d.h"
#include "engine/core/sprite_3d.h"

namespace {

R3xObjectHeader gNullPart{R3X_TYPE_NULL, -1, nullptr, 0, 0};

// Runs `read` on the part as the sprite it is. 0, also for the null part, which has nothing to
// read; R3X_ERR_FAILED without reading for null or an object of a kind that is no part.
template <typename Read>
std::int32_t readPart(const R3xObjectHeader* part, Read read) {
  switch (part == nullptr ? -1 : part->type) {
    case R3X_TYPE_NULL:
      return 0;
    case R3X_TYPE_2D_SPRITE:
      read(*reinterpret_cast<const R3x2DSprite*>(part));
      return 0;
    case R3X_TYPE_3D_SPRITE:
      read(*reinterpret_cast<const R3x3DSprite*>(part));
      return 0;
    default:
      return R3X_ERR_FAILED;
  }
}

}  // namespace

R3xObjectHeader* r3xNullPart() { return &gNullPart; }

std::int32_t r3xGetPartVolume(const R3xObjectHeader* part, R3xVolume** out) {
  *out = nullptr;
  return readPart(part, [out](const auto& sprite) { *out = sprite.volume; });
}

std::int32_t r3xGetPartOffset(const R3xObjectHeader* part, float* out) {
  const float* offset = nullptr;
  const std::int32_t result =
      readPart(part, [&offset](const auto& sprite) { offset = sprite.offset; });
  for (int k = 0; k < 3; ++k) {
    out[k] = offset == nullptr ? 0.0f : offset[k];
  }
  return result;
}

std::int32_t r3xGetPartRadius(const R3xObjectHeader* part, float* out) {
  *out = 0.0f;
  return readPart(part, [out](const auto& sprite) { *out = sprite.definition->radius; });
}
