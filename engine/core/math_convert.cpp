#include "engine/core/math_convert.h"

#include <bit>

#include "engine/core/math_convert_internal.h"

namespace {

// Adding 1.5 * 2^52 leaves the integer, rounded by the current rounding mode, in the double's
// low 32 bits.
constexpr double kRoundingBias = 6755399441055744.0;

int roundToInt(float x) {
  const double biased = static_cast<double>(x) + kRoundingBias;
  return static_cast<int>(static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(biased)));
}

}  // namespace

void r3xRoundFloatsToInts(float a, float b, int* ia, int* ib) {
  *ia = roundToInt(a);
  *ib = roundToInt(b);
}

int r3xFloatToInt(float x) {
  const int rounded = roundToInt(x);
  const double value = static_cast<double>(x);
  if (value >= 0.0 && static_cast<double>(rounded) > value) {
    return rounded - 1;
  }
  if (value < 0.0 && static_cast<double>(rounded) < value) {
    return rounded + 1;
  }
  return rounded;
}

std::int32_t _r3xFixedDiv(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(a) * 65536) / b);
}
