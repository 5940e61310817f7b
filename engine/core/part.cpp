#include "engine/core/part.h"

#include "engine/core/error.h"
#include "engine/core/sprite_2d.h"
#include "engine/core/sprite_3d.h"

namespace {

R3xObjectHeader gNullPart{R3X_TYPE_NULL, -1, nullptr, 0, 0};

const R3x2DSprite* as2D(const R3xObjectHeader* part) {
  return reinterpret_cast<const R3x2DSprite*>(part);
}

const R3x3DSprite* as3D(const R3xObjectHeader* part) {
  return reinterpret_cast<const R3x3DSprite*>(part);
}

}  // namespace

R3xObjectHeader* r3xNullPart() { return &gNullPart; }

std::int32_t r3xGetPartVolume(const R3xObjectHeader* part, R3xVolume** out) {
  *out = nullptr;
  switch (part == nullptr ? -1 : part->type) {
    case R3X_TYPE_NULL:
      return 0;
    case R3X_TYPE_2D_SPRITE:
      *out = as2D(part)->volume;
      return 0;
    case R3X_TYPE_3D_SPRITE:
      *out = as3D(part)->volume;
      return 0;
    default:
      return R3X_ERR_FAILED;
  }
}

std::int32_t r3xGetPartOffset(const R3xObjectHeader* part, float* out) {
  const float* offset = nullptr;
  std::int32_t result = 0;
  switch (part == nullptr ? -1 : part->type) {
    case R3X_TYPE_NULL:
      break;
    case R3X_TYPE_2D_SPRITE:
      offset = as2D(part)->offset;
      break;
    case R3X_TYPE_3D_SPRITE:
      offset = as3D(part)->offset;
      break;
    default:
      result = R3X_ERR_FAILED;
      break;
  }
  for (int k = 0; k < 3; ++k) {
    out[k] = offset == nullptr ? 0.0f : offset[k];
  }
  return result;
}

std::int32_t r3xGetPartRadius(const R3xObjectHeader* part, float* out) {
  *out = 0.0f;
  switch (part == nullptr ? -1 : part->type) {
    case R3X_TYPE_NULL:
      return 0;
    case R3X_TYPE_2D_SPRITE:
      *out = as2D(part)->definition->radius;
      return 0;
    case R3X_TYPE_3D_SPRITE:
      *out = as3D(part)->definition->radius;
      return 0;
    default:
      return R3X_ERR_FAILED;
  }
}
