// Square root and inverse square root: a seed from the math tables and two Newton steps.
// Results: values; no failure.
// Defined here so that callers' inner loops inline them.
#pragma once

#include <bit>
#include <cstdint>

#include "engine/core/math_tables.h"

// The seed and both Newton steps, left in double. The steps run in double: in float the square of
// the seed of 0 would overflow and turn the result into NaN instead of a huge finite factor.
// Not part of the engine's interface: shared by the inline functions below.
namespace r3x_inline {
inline double InvSqrtSteps(float x) {
  const auto bits = std::bit_cast<std::uint32_t>(x);
  // The lowest exponent bit and the top six mantissa bits choose the seed's mantissa; halving the
  // exponent gives its exponent.
  const std::uint32_t index = (bits >> 17) & 127u;
  const std::uint32_t exponent = (0x5F000000u - ((bits & 0x7F800000u) >> 1)) & 0xFF800000u;
  const std::uint32_t seed = gR3xMathTables->invSqrtSeeds[index];
  const double y0 = std::bit_cast<float>((seed << 15) | exponent);
  const double value = x;
  const double y1 = y0 * (3.0 - value * (y0 * y0)) * 0.5;
  return y1 * (3.0 - value * (y1 * y1)) * 0.5;
}
}  // namespace r3x_inline

// 1 / sqrt(x); for 0 a huge but finite factor, so that 0 times it stays 0.
inline float r3xInvSqrt(float x) { return static_cast<float>(r3x_inline::InvSqrtSteps(x)); }
// x * r3xInvSqrt(x); the square root of 0 is 0.
inline float r3xSqrt(float x) { return static_cast<float>(r3x_inline::InvSqrtSteps(x) * x); }
