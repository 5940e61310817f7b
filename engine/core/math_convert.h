// Float-to-integer conversions and the 16.16 fixed-point divide. None needs the math tables, and
// none touches the floating-point control word.
// Results: values; no failure.
#pragma once

#include <bit>
#include <cstdint>

// Adding 1.5 * 2^52 leaves the integer, rounded by the current rounding mode, in the double's
// low 32 bits.
inline constexpr double R3X_ROUNDING_BIAS = 6755399441055744.0;

// Both values rounded to the nearest integer, ties to even. Valid for magnitudes below 2^31.
void r3xRoundFloatsToInts(float a, float b, int* ia, int* ib);
// x truncated toward zero, whatever the rounding mode. Inline, as the engine's inner loops call
// it. Within the int range that is the hardware's truncation; outside it (and for NaN) the
// engine's own sequence runs: the biased sum rounded by the mode, stepped back toward zero.
inline int r3xFloatToInt(float x) {
  const double value = static_cast<double>(x);
  if (value > -2147483649.0 && value < 2147483648.0) {
    return static_cast<int>(x);
  }
  const int rounded = static_cast<int>(
      static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(value + R3X_ROUNDING_BIAS)));
  if (value >= 0.0 && static_cast<double>(rounded) > value) {
    return rounded - 1;
  }
  if (value < 0.0 && static_cast<double>(rounded) < value) {
    return rounded + 1;
  }
  return rounded;
}
