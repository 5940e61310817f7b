// The software rasterizer's numeric conventions, one helper each: fixed point read from a
// biased double through its bit pattern (never a rounding instruction), float limits compared
// by bit pattern, the 2^-21 bias of fixed-point steps, and 32-bit steps that wrap.
// The rasterizer is built without fast-math: every biased sum must round as written.
// Results: values; no failure.
#pragma once

#include <bit>
#include <cstdint>

#include "engine/core/math_convert.h"

// The light ceiling, 0.99999 (float bits 0x3F7FFF58).
inline constexpr float R3X_LIGHT_LIMIT = 0.99999f;
inline constexpr std::int32_t R3X_LIGHT_LIMIT_BITS = 0x3F7FFF58;
// Just below 2^-21 (float bits 0x34FFFFFD): a step moved toward zero by it never passes the
// value at the end of its piece.
inline constexpr float R3X_STEP_BIAS = 4.7683707e-07f;

// The low 32 bits of value + bias as a double: the value in the fixed point whose unit in the
// last place the bias sets, rounded to nearest.
inline std::int32_t _r3xBiasedWord(double value, double bias) {
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(value + bias)));
}

// A texture coordinate in 10.22 (valid for magnitudes below 512).
inline std::int32_t _r3xFixed22(float value) {
  return _r3xBiasedWord(static_cast<double>(value), 1610612736.0);
}

// A light or fog value or step in 12.20.
inline std::int32_t _r3xFixed20(float value) {
  return _r3xBiasedWord(static_cast<double>(value), 6442450944.0);
}

// A float's bits as a signed integer: ordered as the floats for non-negative values, and every
// negative value below every non-negative one.
inline std::int32_t _r3xFloatBits(float value) { return std::bit_cast<std::int32_t>(value); }

// At most 0.99999; a negative value passes unchanged.
inline float _r3xLimitLight(float value) {
  return _r3xFloatBits(value) >= R3X_LIGHT_LIMIT_BITS ? R3X_LIGHT_LIMIT : value;
}

// A light or fog value about to index a table: 12.20, a negative value (negative zero too)
// taken as 0, so that its level bits never come from a negative word.
inline std::int32_t _r3xLevelWord(float value) {
  return _r3xFloatBits(value) < 0 ? 0 : _r3xFixed20(value);
}

// A per-pixel light or fog step in 12.20 from its float gradient moved toward zero by the bias.
inline std::int32_t _r3xStepFixed20(float gradient) {
  if (gradient > 0.0f) {
    return _r3xFixed20(gradient - R3X_STEP_BIAS);
  }
  if (gradient < 0.0f) {
    return _r3xFixed20(gradient + R3X_STEP_BIAS);
  }
  return 0;
}

// A 32-bit fixed-point step that wraps like the original's register arithmetic.
inline std::int32_t _r3xWrapAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// A 12.20 word's level 0 .. 15 (bits 16 to 19) as a light row offset and as a fog block offset.
inline std::uint32_t _r3xLightRowOffset(std::int32_t word) {
  return (static_cast<std::uint32_t>(word) & 0xF0000u) >> 8;
}
inline std::uint32_t _r3xFogBlockOffset(std::int32_t word) {
  return (static_cast<std::uint32_t>(word) & 0xF0000u) >> 4;
}

// Ceiling as the drawers take it: value + 0.999999 truncated toward zero, the sum kept in double
// so that a whole value stays itself (in float, 37 + 0.999999 would round up to 38).
inline std::int32_t _r3xCeilRow(float value) {
  const double sum = static_cast<double>(value) + static_cast<double>(0.999999f);
  if (!(sum > -2147483649.0 && sum < 2147483648.0)) {
    return r3xFloatToInt(static_cast<float>(sum));
  }
  return static_cast<std::int32_t>(sum);
}
