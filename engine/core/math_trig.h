// Sine, cosine and arctangent in angle units (512 to a turn), read from the math tables.
// Results: values; no failure.
#pragma once

#include <cmath>

#include "engine/core/math_convert.h"
#include "engine/core/math_tables.h"

// Linear from table[i & 511] toward the next entry, i = trunc(a) less 1 when negative: -2 reads
// entries 509 and 510 at weight 1, and angles between -1 and 0 extend the line of entries 0 and 1.
// Inline, with the two below, as rotations and the engine's inner loops call them.
// Not part of the engine's interface: shared by the inline functions below.
namespace r3x_inline {
inline float InterpolateUnits(const float* table, float a) {
  int i = r3xFloatToInt(a);
  if (i < 0) {
    --i;
  }
  const float fraction = a - static_cast<float>(i);
  const int k = i & R3X_ANGLE_MASK;
  const float s0 = table[k];
  const float s1 = table[(k + 1) & R3X_ANGLE_MASK];
  return s0 + (s1 - s0) * fraction;
}
}  // namespace r3x_inline

// Interpolated between the two table entries around a.
inline float r3xSinUnits(float a) { return r3x_inline::InterpolateUnits(gR3xMathTables->sine, a); }
// Cosine is even, so the negative case never arises.
inline float r3xCosUnits(float a) {
  return r3x_inline::InterpolateUnits(gR3xMathTables->cosine, std::fabs(a));
}
// The table entry at trunc(a) & 511.
float r3xSinUnitsNearest(float a);
float r3xCosUnitsNearest(float a);

// The angle of the vector (x, y) as a whole number of units, 0 to 511, rounded down as the
// tangent table resolves it. *exact is 1 for an axis case or a ratio found in the table, else 0.
float r3xAtan2Units(float y, float x, int* exact);
