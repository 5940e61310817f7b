// Square root and inverse square root: a seed from the math tables and two Newton steps.
// Results: values; no failure.
// Defined here so that callers' inner loops inline them.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#include "engine/core/math_tables.h"

// Not part of the engine's interface: shared by the inline functions below and the tables.
namespace r3x_inline {

// The seed for x's bits: the mantissa from the seed table, the exponent by halving x's.
inline float InvSqrtSeed(std::uint32_t bits, const std::uint8_t* seeds) {
  // The lowest exponent bit and the top six mantissa bits choose the seed's mantissa.
  const std::uint32_t index = (bits >> 17) & 127u;
  const std::uint32_t exponent = (0x5F000000u - ((bits & 0x7F800000u) >> 1)) & 0xFF800000u;
  return std::bit_cast<float>((static_cast<std::uint32_t>(seeds[index]) << 15) | exponent);
}

// The seed and both Newton steps, left in double. The steps run in double: in float the square of
// the seed of 0 would overflow and turn the result into NaN instead of a huge finite factor.
inline double InvSqrtSteps(float x) {
  const double y0 = InvSqrtSeed(std::bit_cast<std::uint32_t>(x), gR3xMathTables->invSqrtSeeds);
  const double value = x;
  const double y1 = y0 * (3.0 - value * (y0 * y0)) * 0.5;
  return y1 * (3.0 - value * (y1 * y1)) * 0.5;
}

// Per seed index, 4 - 8 * (the largest relative error of the stepped root over the index's
// inputs, plus a margin for rounding); filled with the math tables. All zero before, which
// turns the shortcut in r3xSqrt off.
extern double gSqrtShortcutLimits[R3X_INV_SQRT_SEED_COUNT];

}  // namespace r3x_inline

// 1 / sqrt(x); for 0 a huge but finite factor, so that 0 times it stays 0.
inline float r3xInvSqrt(float x) { return static_cast<float>(r3x_inline::InvSqrtSteps(x)); }

// x * r3xInvSqrt(x); the square root of 0 is 0.
// The stepped root lies below the exact root t, by less than 2^-26 of it, and above it by less
// than the exact root's distance to any rounding midpoint, so it rounds like t unless t sits just
// above the midpoint m below t's rounded value. The hardware root is that rounded value, and
// with x = t * t the test (4 - 8e) x > (2m)^2 proves m < t (1 - e); 2m has 25 bits, so its
// square is exact in double. Relative errors do not change when x is scaled by 4, so this holds
// for every positive normal x; the other inputs and the few near a midpoint take the steps.
inline float r3xSqrt(float x) {
  const auto bits = std::bit_cast<std::uint32_t>(x);
  if (bits - 0x00800000u < 0x7F000000u) {
    const float root = std::sqrt(x);
    const float below = std::bit_cast<float>(std::bit_cast<std::uint32_t>(root) - 1u);
    const double twiceMidpoint = static_cast<double>(root) + below;
    if (r3x_inline::gSqrtShortcutLimits[(bits >> 17) & 127u] * x > twiceMidpoint * twiceMidpoint) {
      return root;
    }
  }
  return static_cast<float>(r3x_inline::InvSqrtSteps(x) * x);
}
