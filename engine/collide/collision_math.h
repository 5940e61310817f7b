// The numbers every collision test shares: the one square root, the bound on times and the
// tolerance of "level with" and "on".
// Results: values; no failure.
#pragma once

#include <cmath>

// Bounds every time and ratio; as a time it also stands for "no time at all".
inline constexpr float R3X_NO_TIME = 1e30f;
// Distances and cross products below this count as zero.
inline constexpr float R3X_COLLIDE_TOLERANCE = 1.0f / 1024.0f;

// The square root of all collision: the library's, correctly rounded, so that exact inputs give
// exact times.
inline float _r3xCollideSqrt(float x) { return std::sqrt(x); }

// a / b clamped to [-1e30, 1e30]. Never divides by zero: a / +-0 is +-1e30 by the signs, and
// 0 / 0 or a NaN is 1e30, so that a degenerate ratio never becomes a contact.
inline float _r3xRatio(float a, float b) {
  if (std::isnan(a) || std::isnan(b)) {
    return R3X_NO_TIME;
  }
  if (b == 0.0f) {
    if (a == 0.0f) {
      return R3X_NO_TIME;
    }
    return std::signbit(a) != std::signbit(b) ? -R3X_NO_TIME : R3X_NO_TIME;
  }
  const float q = a / b;
  // Infinity over infinity.
  if (std::isnan(q)) {
    return R3X_NO_TIME;
  }
  if (q > R3X_NO_TIME) {
    return R3X_NO_TIME;
  }
  if (q < -R3X_NO_TIME) {
    return -R3X_NO_TIME;
  }
  return q;
}
