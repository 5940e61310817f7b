#include "engine/core/math_convert.h"

#include <bit>

#include "engine/core/math_convert_internal.h"

namespace {

int roundToInt(float x) {
  const double biased = static_cast<double>(x) + R3X_ROUNDING_BIAS;
  return static_cast<int>(static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(biased)));
}

}  // namespace

void r3xRoundFloatsToInts(float a, float b, int* ia, int* ib) {
  *ia = roundToInt(a);
  *ib = roundToInt(b);
}

std::int32_t _r3xFixedDiv(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(a) * 65536) / b);
}
