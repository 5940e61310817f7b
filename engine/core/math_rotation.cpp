#include "engine/core/math_rotation.h"

#include <cmath>

#include "engine/core/math_convert.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/math_tables.h"
#include "engine/core/math_trig.h"

namespace {

struct SinCos {
  float s;
  float c;
};

SinCos nearestSinCos(float angle) {
  const int k = r3xFloatToInt(angle + 0.5f) & R3X_ANGLE_MASK;
  return {gR3xMathTables->sine[k], gR3xMathTables->cosine[k]};
}

SinCos interpolatedSinCos(float angle) { return {r3xSinUnits(angle), r3xCosUnits(angle)}; }

void fillMatrix(SinCos h, SinCos p, SinCos r, float* m) {
  m[0] = p.c * h.c;
  m[1] = p.c * h.s;
  m[2] = p.s;
  m[3] = -r.s * p.s * h.c - r.c * h.s;
  m[4] = r.c * h.c - r.s * p.s * h.s;
  m[5] = r.s * p.c;
  m[6] = r.s * h.s - r.c * p.s * h.c;
  m[7] = -r.c * p.s * h.s - r.s * h.c;
  m[8] = p.c * r.c;
}

// 512 / 2pi as the engine writes it.
constexpr double kUnitsPerRadian = 81.48733;

float tableAtan2(float y, float x) {
  int exact = 0;
  return r3xAtan2Units(y, x, &exact);
}

float libraryAtan2(float y, float x) {
  double units = std::atan2(static_cast<double>(y), static_cast<double>(x)) * kUnitsPerRadian;
  if (units < 0.0) {
    units += R3X_ANGLE_UNITS;
  }
  return static_cast<float>(units);
}

template <typename Atan2>
int matrixToAngles(const float* m, float* heading, float* pitch, float* roll, Atan2 atan2Units) {
  const float r = r3xSqrt(m[0] * m[0] + m[1] * m[1]);
  if (m[2] == 0.0f && r == 0.0f) {
    *heading = 0.0f;
    *pitch = 0.0f;
    *roll = 0.0f;
    return R3X_ROTATION_DEGENERATE;
  }
  *pitch = atan2Units(m[2], r);
  if (r != 0.0f) {
    *heading = atan2Units(m[1] / r, m[0] / r);
    *roll = atan2Units(m[5] / r, m[8] / r);
  } else {
    // Straight up or down: heading comes from the second row, and roll is folded into it.
    *heading = atan2Units(-m[3], m[4]);
    *roll = 0.0f;
  }
  return R3X_DONE;
}

}  // namespace

int r3xAnglesToMatrix(float heading, float pitch, float roll, float* matrix) {
  fillMatrix(nearestSinCos(heading), nearestSinCos(pitch), nearestSinCos(roll), matrix);
  return R3X_DONE;
}

int r3xAnglesToMatrixInterp(float heading, float pitch, float roll, float* matrix) {
  fillMatrix(interpolatedSinCos(heading), interpolatedSinCos(pitch), interpolatedSinCos(roll),
             matrix);
  return R3X_DONE;
}

int r3xMatrixToAnglesTable(const float* matrix, float* heading, float* pitch, float* roll) {
  return matrixToAngles(matrix, heading, pitch, roll, tableAtan2);
}

int r3xMatrixToAngles(const float* matrix, float* heading, float* pitch, float* roll) {
  return matrixToAngles(matrix, heading, pitch, roll, libraryAtan2);
}
