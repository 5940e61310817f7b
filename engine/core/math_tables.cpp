#include "engine/core/math_tables.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "engine/core/error.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/math_tables_internal.h"
#include "engine/core/memory.h"

R3xMathTables* gR3xMathTables = nullptr;
double r3x_inline::gSqrtShortcutLimits[R3X_INV_SQRT_SEED_COUNT] = {};

namespace {

// The engine's own 2*pi/512, a little short of the true step: a quarter turn's cosine is then
// a tiny positive value and three quarters' a tiny negative one, which the arctangent relies on.
constexpr long double kAngleStep = 0.012271846302734375L;
constexpr int kQuarterTurn = R3X_ANGLE_UNITS / 4;
constexpr float kNoTangent = 1e30f;

void buildSineAndCosine(R3xMathTables* tables) {
  for (int i = 0; i < R3X_ANGLE_UNITS; ++i) {
    tables->cosine[i] = static_cast<float>(std::cos(static_cast<long double>(i) * kAngleStep));
  }
  for (int i = 0; i < R3X_ANGLE_UNITS; ++i) {
    tables->sine[(i + kQuarterTurn) & R3X_ANGLE_MASK] = tables->cosine[i];
  }
}

void buildTangents(R3xMathTables* tables) {
  // The cosine stays positive below a quarter turn, so every tangent is finite.
  for (int k = 0; k < R3X_TANGENT_COUNT; ++k) {
    R3xTangentRecord& record = tables->tangents[k];
    record.tangent = tables->sine[k] / tables->cosine[k];
    record.cotangent = k == 0 ? kNoTangent : tables->cosine[k] / tables->sine[k];
  }
}

bool isTangentIndex(int index) { return index >= 0 && index < R3X_TANGENT_COUNT; }

// Links the balanced search tree over records lo..hi under its root mid = (lo + hi + 1) / 2;
// an empty side links the root to itself. Returns the root, or R3X_ERR_MATH_TREE.
int linkTangentTree(R3xTangentRecord* records, int lo, int hi) {
  const int mid = (lo + hi + 1) >> 1;
  const int left = (lo + mid) >> 1;
  const int right = (hi + mid + 1) >> 1;
  if (!isTangentIndex(mid) || !isTangentIndex(left) || !isTangentIndex(right)) {
    return R3X_ERR_MATH_TREE;
  }
  records[mid].left = left;
  records[mid].right = right;
  if (lo < mid && linkTangentTree(records, lo, mid - 1) < 0) {
    return R3X_ERR_MATH_TREE;
  }
  if (mid < hi && linkTangentTree(records, mid + 1, hi) < 0) {
    return R3X_ERR_MATH_TREE;
  }
  return mid;
}

// Seed i holds the top eight mantissa bits of 1/sqrt(f), f = (1 + (i mod 64)/64) * (i < 64 ? 0.5
// : 1), the float whose exponent's low bit and top six mantissa bits are the seven bits of i.
void buildInvSqrtSeeds(R3xMathTables* tables) {
  for (int i = 0; i < R3X_INV_SQRT_SEED_COUNT; ++i) {
    const float f = std::bit_cast<float>((0x1F80u | static_cast<std::uint32_t>(i)) << 17);
    const auto root = static_cast<float>(1.0L / std::sqrt(static_cast<long double>(f)));
    tables->invSqrtSeeds[i] =
        static_cast<std::uint8_t>((std::bit_cast<std::uint32_t>(root) + 0x2000u) >> 15);
  }
  // 1/sqrt(1) is the one result with the higher exponent; the seed's exponent for its range is
  // one lower, so the largest mantissa stands in for it.
  tables->invSqrtSeeds[R3X_INV_SQRT_SEED_COUNT / 2] = 255;
}

// Within one seed index the seed y0 is fixed, so the seed's error e0 = y0 sqrt(x) - 1 grows with
// x, and two Newton steps make it e2 = -e1^2 (3 + e1) / 2 with e1 = -e0^2 (3 + e0) / 2: largest
// in size at the first or the last input of the index. The margin covers the steps' rounding in
// double (a few 2^-53) and that of the limit and its product with x.
void buildSqrtShortcutLimits(const R3xMathTables* tables) {
  for (int i = 0; i < R3X_INV_SQRT_SEED_COUNT; ++i) {
    const std::uint32_t first = (0x1F80u | static_cast<std::uint32_t>(i)) << 17;
    long double largest = 0.0L;
    for (const std::uint32_t bits : {first, first + 0x1FFFFu}) {
      const long double root = std::sqrt(static_cast<long double>(std::bit_cast<float>(bits)));
      const long double e0 = r3x_inline::InvSqrtSeed(bits, tables->invSqrtSeeds) * root - 1.0L;
      const long double e1 = -e0 * e0 * (3.0L + e0) / 2.0L;
      const long double e2 = -e1 * e1 * (3.0L + e1) / 2.0L;
      largest = std::max(largest, -e2);
    }
    r3x_inline::gSqrtShortcutLimits[i] = static_cast<double>(4.0L - 8.0L * (largest + 0x1p-48L));
  }
}

void buildPowers(R3xMathTables* tables) {
  for (int k = 0; k < R3X_POWER_ROW_COUNT; ++k) {
    R3xPowerRow& row = tables->powers[k];
    row.power = 1 << k;
    row.twiceMinusOne = k == 0 ? 0 : 2 * k - 1;
    row.inversePower = 1.0f / static_cast<float>(row.power);
  }
}

}  // namespace

std::int32_t _r3xInitMathTables() {
  auto* tables = static_cast<R3xMathTables*>(r3xMalloc(sizeof(R3xMathTables)));
  if (tables == nullptr) {
    return R3X_ERR_MATH_NO_MEMORY;
  }
  buildSineAndCosine(tables);
  buildTangents(tables);
  // Record 64 (tangent 1) is the root; below it one balanced tree on each side.
  const int root = R3X_TANGENT_COUNT / 2;
  const int lower = linkTangentTree(tables->tangents, 0, root - 1);
  const int upper = linkTangentTree(tables->tangents, root + 1, R3X_TANGENT_COUNT - 1);
  if (lower < 0 || upper < 0) {
    r3xFree(tables);
    return R3X_ERR_MATH_TREE;
  }
  tables->tangents[root].left = lower;
  tables->tangents[root].right = upper;
  buildInvSqrtSeeds(tables);
  buildSqrtShortcutLimits(tables);
  buildPowers(tables);
  _r3xFreeMathTables();
  gR3xMathTables = tables;
  return R3X_DONE;
}

void _r3xFreeMathTables() {
  r3xFree(gR3xMathTables);
  gR3xMathTables = nullptr;
}
