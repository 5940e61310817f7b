// Vector3: the game layer's 3-vector, three floats laid out as the engine's float[3], and the
// few operations the arena objects and the sky share. Each works component by component (x, y,
// z) and sums from left to right, the same arithmetic as written out by hand; the build does not
// contract floating-point operations, so the results are the same to the bit.
#pragma once

#include <array>

using Vector3 = std::array<float, 3>;

inline float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline float Dot(const Vector3& a, const Vector3& b) { return Dot(a.data(), b.data()); }

// a - b.
inline Vector3 Difference(const float* a, const float* b) {
  return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
inline Vector3 Difference(const Vector3& a, const Vector3& b) {
  return Difference(a.data(), b.data());
}

inline Vector3 Sum(const Vector3& a, const Vector3& b) {
  return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}

inline Vector3 Scaled(const Vector3& v, float s) { return {v[0] * s, v[1] * s, v[2] * s}; }

inline Vector3 Cross(const Vector3& a, const Vector3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// out += v x s, in place.
inline void AddScaled(float* out, const float* v, float s) {
  out[0] += v[0] * s;
  out[1] += v[1] * s;
  out[2] += v[2] * s;
}
