#include "engine/collide/frames.h"

#include <cmath>

#include "engine/collide/sweep_segment.h"
#include "engine/core/actor.h"
#include "engine/core/actor_rotation.h"
#include "engine/core/math_convert.h"
#include "engine/core/math_tables.h"

namespace {

void apply(const float* m, const float* q, float* out) {
  const float x = q[0];
  const float y = q[1];
  const float z = q[2];
  for (int i = 0; i < 3; ++i) {
    out[i] = m[i] * x + m[3 + i] * y + m[6 + i] * z;
  }
}

}  // namespace

std::int32_t _r3xAngleIndex(float angle) {
  if (!std::isfinite(angle)) {
    return 0;
  }
  // fmod is exact, and whole turns do not change the index, so the conversion always sees an
  // angle within one turn.
  return r3xFloatToInt(std::fmod(angle, static_cast<float>(R3X_ANGLE_UNITS))) & R3X_ANGLE_MASK;
}

void _r3xRotationFromAngles(const R3xPlacement* placement, float scale, float* matrix,
                            float* inverseScale) {
  const R3xMathTables& tables = *gR3xMathTables;
  const std::int32_t h = _r3xAngleIndex(placement->heading);
  const std::int32_t p = _r3xAngleIndex(placement->pitch);
  const std::int32_t r = _r3xAngleIndex(placement->roll);
  const float sh = tables.sine[h];
  const float ch = tables.cosine[h];
  const float sp = tables.sine[p];
  const float cp = tables.cosine[p];
  const float sr = tables.sine[r];
  const float cr = tables.cosine[r];
  matrix[0] = cp * ch;
  matrix[1] = -ch * sp * sr - cr * sh;
  matrix[2] = sr * sh - ch * sp * cr;
  matrix[3] = cp * sh;
  matrix[4] = cr * ch - sh * sp * sr;
  matrix[5] = -sh * sp * cr - sr * ch;
  matrix[6] = sp;
  matrix[7] = sr * cp;
  matrix[8] = cr * cp;
  if (scale == 1.0f) {
    *inverseScale = 1.0f;
    return;
  }
  for (int i = 0; i < 9; ++i) {
    matrix[i] /= scale;
  }
  *inverseScale = 1.0f / scale;
}

void _r3xWorldToLocal(const float* point, const float* origin, const float* matrix, float* out) {
  const float v[3] = {point[0] - origin[0], point[1] - origin[1], point[2] - origin[2]};
  apply(matrix, v, out);
}

void _r3xLocalToWorld(const float* point, const float* origin, float scale, const float* matrix,
                      float* out) {
  float turned[3];
  apply(matrix, point, turned);
  for (int i = 0; i < 3; ++i) {
    out[i] = origin[i] + scale * turned[i];
  }
}

void _r3xActorOffsetToWorld(R3xActor* actor, const float* offset, float* out) {
  const float position[3] = {actor->placement.x, actor->placement.y, actor->placement.z};
  if (offset[0] == 0.0f && offset[1] == 0.0f && offset[2] == 0.0f) {
    out[0] = position[0];
    out[1] = position[1];
    out[2] = position[2];
    return;
  }
  r3xBuildObjectRotation(actor, actor->scale, &actor->placement);
  float turned[3];
  apply(actor->scaledRotation, offset, turned);
  for (int i = 0; i < 3; ++i) {
    out[i] = position[i] + turned[i];
  }
}

void _r3xFrameToFrame(const float* a, const float* firstOrigin, float firstScale, const float* b,
                      float k, const float* secondOrigin, float* outMatrix, float* outOffset) {
  float scaled[9];
  const float* bk = b;
  if (k != 1.0f) {
    for (int i = 0; i < 9; ++i) {
      scaled[i] = b[i] * k;
    }
    bk = scaled;
  }
  for (int row = 0; row < 3; ++row) {
    float turned[3];
    apply(bk, a + 3 * row, turned);
    for (int i = 0; i < 3; ++i) {
      outMatrix[3 * row + i] = turned[i] * firstScale;
    }
  }
  const float between[3] = {firstOrigin[0] - secondOrigin[0], firstOrigin[1] - secondOrigin[1],
                            firstOrigin[2] - secondOrigin[2]};
  apply(bk, between, outOffset);
}

void _r3xSweepToLocal(const R3xSweepSegment* segment, const float* origin, float directionFactor,
                      float lengthFactor, const float* matrix, R3xSweepSegment* out) {
  const R3xSweepSegment in = *segment;
  _r3xWorldToLocal(in.start, origin, matrix, out->start);
  _r3xWorldToLocal(in.end, origin, matrix, out->end);
  apply(matrix, in.direction, out->direction);
  for (float& component : out->direction) {
    component *= directionFactor;
  }
  out->radius = in.radius * lengthFactor;
  out->distance = in.distance * lengthFactor;
}
