#include "engine/core/math_trig.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "engine/core/math_convert.h"
#include "engine/core/math_tables.h"

namespace {

constexpr float kMaxTangent = 1e30f;
constexpr int kHalfTurn = R3X_ANGLE_UNITS / 2;

// -0 counts as non-negative: the sign decides only when the value is not a zero.
bool isNonNegative(float value) { return std::bit_cast<std::uint32_t>(value) <= 0x80000000u; }

// The record where the search for t ends: the tangent equal to t, or a leaf next to it.
int searchTangent(const R3xTangentRecord* records, float t) {
  int k = R3X_TANGENT_COUNT / 2;
  while (records[k].tangent != t) {
    const int next = records[k].tangent > t ? records[k].left : records[k].right;
    if (next == k) {
      break;
    }
    k = next;
  }
  return k;
}

}  // namespace

float r3xSinUnitsNearest(float a) {
  return gR3xMathTables->sine[r3xFloatToInt(a) & R3X_ANGLE_MASK];
}

float r3xCosUnitsNearest(float a) {
  return gR3xMathTables->cosine[r3xFloatToInt(a) & R3X_ANGLE_MASK];
}

float r3xAtan2Units(float y, float x, int* exact) {
  if (x == 0.0f) {
    *exact = 1;
    return isNonNegative(y) ? 128.0f : 384.0f;
  }
  // Fold into the first quadrant: t >= 0 is the ratio of the smaller angle's sides.
  const bool upper = isNonNegative(y);
  const bool right = x > 0.0f;
  float t = (upper == right) ? y / x : y / -x;
  if (t > kMaxTangent) {
    t = kMaxTangent;
  }
  const R3xTangentRecord* records = gR3xMathTables->tangents;
  const int k = searchTangent(records, t);
  const float tangent = records[k].tangent;
  *exact = tangent == t ? 1 : 0;
  int angle;
  if (upper && right) {
    angle = k - (tangent > t ? 1 : 0);
  } else if (upper) {
    angle = kHalfTurn - k - (tangent < t ? 1 : 0);
  } else if (!right) {
    angle = kHalfTurn + k - (tangent > t ? 1 : 0);
  } else {
    angle = R3X_ANGLE_UNITS - k - (tangent < t ? 1 : 0);
  }
  return static_cast<float>(angle);
}
