#include "engine/core/math_vector.h"

#include "engine/core/math_sqrt.h"

float r3xDot3(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

int r3xCross3(const float* a, const float* b, float* out) {
  const float x = a[1] * b[2] - a[2] * b[1];
  const float y = a[2] * b[0] - a[0] * b[2];
  const float z = a[0] * b[1] - a[1] * b[0];
  out[0] = x;
  out[1] = y;
  out[2] = z;
  return 0;
}

int r3xNormalize3(const float* in, float* out) {
  const float scale = r3xInvSqrt(r3xDot3(in, in));
  out[0] = in[0] * scale;
  out[1] = in[1] * scale;
  out[2] = in[2] * scale;
  return 0;
}
