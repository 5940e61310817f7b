#include <gtest/gtest.h>

#include <cfenv>
#include <climits>
#include <cstdint>

#include "engine/core/math_convert_internal.h"
#include "engine/r3x.h"

namespace {

struct RoundCase {
  float value;
  int rounded;
};

TEST(MathConvertTest, RoundFloatsToIntsRoundsTiesToEven) {
  const RoundCase cases[] = {
      {2.5f, 2},
      {3.5f, 4},
      {-2.5f, -2},
      {-3.5f, -4},
      {0.5f, 0},
      {1.5f, 2},
      {0.49999997f, 0},
      {-0.6f, -1},
      {2.7f, 3},
      {-0.0f, 0},
      {2147483520.0f, 2147483520},
      {-2147483648.0f, INT_MIN},
  };
  for (const RoundCase& c : cases) {
    int a = 7;
    int b = 7;
    r3xRoundFloatsToInts(c.value, -c.value, &a, &b);
    EXPECT_EQ(a, c.rounded) << c.value;
    if (c.rounded != INT_MIN) {
      EXPECT_EQ(b, -c.rounded) << c.value;
    }
  }
}

struct TruncateCase {
  float value;
  int truncated;
};

const TruncateCase kTruncateCases[] = {
    {2.7f, 2},
    {-2.7f, -2},
    {2.5f, 2},
    {-2.5f, -2},
    {3.5f, 3},
    {-3.5f, -3},
    {0.999f, 0},
    {-0.999f, 0},
    {-1.0f, -1},
    {1.0f, 1},
    {-0.0f, 0},
    {16777215.0f, 16777215},
    {2147483520.0f, 2147483520},
    {-2147483648.0f, INT_MIN},
    {-2147483520.0f, -2147483520},
    // Beyond the int range the result is the integer's low 32 bits, as the biased sum leaves it.
    {2147483648.0f, INT_MIN},
    {3e9f, -1294967296},
    {-3e9f, 1294967296},
    {1e10f, 1410065408},
};

TEST(MathConvertTest, FloatToIntTruncatesTowardZero) {
  for (const TruncateCase& c : kTruncateCases) {
    EXPECT_EQ(r3xFloatToInt(c.value), c.truncated) << c.value;
  }
}

TEST(MathConvertTest, FloatToIntTruncatesInEveryRoundingMode) {
  const int previous = std::fegetround();
  for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO, FE_TONEAREST}) {
    ASSERT_EQ(std::fesetround(mode), 0);
    for (const TruncateCase& c : kTruncateCases) {
      EXPECT_EQ(r3xFloatToInt(c.value), c.truncated) << c.value << " mode " << mode;
    }
    // The mode is left as it was found.
    EXPECT_EQ(std::fegetround(), mode);
  }
  std::fesetround(previous);
}

struct FixedDivCase {
  std::int32_t a;
  std::int32_t b;
  std::int32_t quotient;
};

TEST(MathConvertTest, FixedDivIsASixteenSixteenQuotient) {
  const FixedDivCase cases[] = {
      {1 << 16, 15 << 16, 4369},  // 1/15 as the shade tables use it
      {15 << 16, 15 << 16, 65536},
      {1, 2, 32768},
      {-3, 2, -98304},
      {-1, 3, -21845},        // truncated toward zero
      {65536, 65536, 65536},  // the dividend needs more than 32 bits
      {0x7FFF, 1, 0x7FFF0000},
      {1 << 20, 1 << 24, 4096},
  };
  for (const FixedDivCase& c : cases) {
    EXPECT_EQ(_r3xFixedDiv(c.a, c.b), c.quotient) << c.a << " / " << c.b;
  }
}

}  // namespace
