#include "battle/arena/arena_geometry.h"

#include <cmath>

#include "battle/core/vector3.h"
#include "engine/r3x_core.h"

SharedPlacements gSharedPlacements;

namespace {

int IsNear(const R3xPlacement& placement, const float* point, float radius) {
  const Vector3 d{point[0] - placement.x, point[1] - placement.y, point[2] - placement.z};
  return radius * radius >= Dot(d, d) ? 1 : 0;
}

void AddRotated(R3xPlacement* placement, const float* matrix, const float* v, float scale) {
  float* position[3] = {&placement->x, &placement->y, &placement->z};
  for (int j = 0; j < 3; ++j) {
    *position[j] += scale * (v[0] * matrix[j] + v[1] * matrix[3 + j] + v[2] * matrix[6 + j]);
  }
}

bool AllZero(float a, float b, float c) { return a == 0.0f && b == 0.0f && c == 0.0f; }

}  // namespace

int IsNearOwnTank(const float* point, float radius) {
  return IsNear(gOwnTankPlacement, point, radius);
}

int IsNearCamera(const float* point, float radius) {
  return IsNear(gListenerPlacement, point, radius);
}

void GetHeadingPitch(const float* a, const float* b, float* heading, float* pitch) {
  const Vector3 d = Difference(a, b);
  int exact = 0;
  *heading = r3xAtan2Units(-d[1], -d[0], &exact);
  const float planar = r3xSqrt(d[0] * d[0] + d[1] * d[1]);
  float p = -r3xAtan2Units(d[2], planar, &exact);
  if (p >= 512.0f) {
    p -= 512.0f;
  } else if (p < 0.0f) {
    p += 512.0f;
  }
  *pitch = p;
}

float FastDistance2D(const float* a, const float* b) {
  const float dx = std::fabs(a[0] - b[0]);
  const float dy = std::fabs(a[1] - b[1]);
  return dx > dy ? dx + dy * 0.5f : dy + dx * 0.5f;
}

float GetDistanceRatio(const float* a, const float* b, float radius) {
  const Vector3 d = Difference(a, b);
  const float r2 = radius * radius;
  if (d[0] * d[0] > r2 || d[1] * d[1] > r2) {
    return -1.0f;
  }
  const float d2 = Dot(d, d);
  if (d2 > r2) {
    return -1.0f;
  }
  // Two equal points are at ratio 0 even for radius 0.
  return d2 == 0.0f ? 0.0f : r3xSqrt(d2) / radius;
}

void MoveAlongLocal(R3xPlacement* placement, const float* local, float scale) {
  float matrix[9];
  r3xAnglesToMatrix(placement->heading, placement->pitch, placement->roll, matrix);
  AddRotated(placement, matrix, local, scale);
}

void ComposeTransform(R3xPlacement* placement, const float* relative) {
  if (AllZero(placement->heading, placement->pitch, placement->roll)) {
    placement->x += relative[0];
    placement->y += relative[1];
    placement->z += relative[2];
    placement->heading = relative[3];
    placement->pitch = relative[4];
    placement->roll = relative[5];
    return;
  }
  float m[9];
  r3xAnglesToMatrixInterp(placement->heading, placement->pitch, placement->roll, m);
  AddRotated(placement, m, relative, 1.0f);
  if (AllZero(relative[3], relative[4], relative[5])) {
    return;
  }
  float r[9];
  r3xAnglesToMatrixInterp(relative[3], relative[4], relative[5], r);
  float product[9];
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      product[i * 3 + j] = r[i * 3] * m[j] + r[i * 3 + 1] * m[3 + j] + r[i * 3 + 2] * m[6 + j];
    }
  }
  r3xMatrixToAngles(product, &placement->heading, &placement->pitch, &placement->roll);
}
