#include "engine/core/actor_rotation.h"

#include "engine/core/actor.h"
#include "engine/core/error.h"
#include "engine/core/math_convert.h"
#include "engine/core/math_rotation.h"
#include "engine/core/math_tables.h"

namespace {

// A whole table index as an angle, which r3xAnglesToMatrix's rounding leaves as it is.
float tableAngle(float angle) { return static_cast<float>(r3xFloatToInt(angle) & R3X_ANGLE_MASK); }

}  // namespace

std::int32_t r3xBuildObjectRotation(R3xActor* object, float scale, const R3xPlacement* placement) {
  float* rotation = object->rotation;
  r3xAnglesToMatrix(tableAngle(placement->heading), tableAngle(placement->pitch),
                    tableAngle(placement->roll), rotation);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      object->scaledRotation[row * 3 + column] = rotation[row * 3 + column] * scale;
      object->inverseRotation[row * 3 + column] = rotation[column * 3 + row] / scale;
    }
  }
  object->cachedOffset[0] = 1e30f;
  object->header.flags &= ~R3X_FLAG_TRANSFORM_DIRTY;
  return R3X_DONE;
}
