#include "engine/core/math_sqrt.h"

#include <bit>
#include <cstdint>

#include "engine/core/math_tables.h"

float r3xInvSqrt(float x) {
  const auto bits = std::bit_cast<std::uint32_t>(x);
  // The lowest exponent bit and the top six mantissa bits choose the seed's mantissa; halving the
  // exponent gives its exponent.
  const std::uint32_t index = (bits >> 17) & 127u;
  const std::uint32_t exponent = (0x5F000000u - ((bits & 0x7F800000u) >> 1)) & 0xFF800000u;
  const float y0 = std::bit_cast<float>((static_cast<std::uint32_t>(gR3xMathTables->invSqrtSeeds[index]) << 15) | exponent);
  const float y1 = y0 * (3.0f - x * (y0 * y0)) * 0.5f;
  return y1 * (3.0f - x * (y1 * y1)) * 0.5f;
}

float r3xSqrt(float x) { return r3xInvSqrt(x) * x; }
