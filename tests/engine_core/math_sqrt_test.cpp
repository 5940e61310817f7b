#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "math_tables_fixture.h"

namespace {

using MathSqrtTest = MathTablesTest;

struct SqrtCase {
  float x;
  std::uint32_t invSqrt;
  std::uint32_t sqrt;
};

TEST_F(MathSqrtTest, ExactResults) {
  const SqrtCase cases[] = {
      {0.0f, 0x5FCBA000u, 0x00000000u},  // a huge finite factor, and a root of 0
      {1.0f, 0x3F800000u, 0x3F800000u},
      {2.0f, 0x3F3504F3u, 0x3FB504F3u},
      {3.0f, 0x3F13CD3Au, 0x3FDDB3D7u},
      {4.0f, 0x3F000000u, 0x40000000u},
      {0.25f, 0x40000000u, 0x3F000000u},
      {0.5f, 0x3FB504F3u, 0x3F3504F3u},
      {0.75f, 0x3F93CD3Au, 0x3F5DB3D7u},
      {1.5f, 0x3F5105ECu, 0x3F9CC471u},
      {1.9999999f, 0x3F3504F4u, 0x3FB504F3u},
      {10.0f, 0x3EA1E89Bu, 0x404A62C2u},
      {100.0f, 0x3DCCCCCDu, 0x41200000u},
      {12345.678f, 0x3C1374BDu, 0x42DE38E3u},
      {1e-10f, 0x47C35000u, 0x3727C5ACu},
      {1e10f, 0x3727C5ACu, 0x47C35000u},
      {1.17549435e-38f, 0x5F000000u, 0x20000000u},  // smallest normal float
  };
  for (const SqrtCase& c : cases) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(r3xInvSqrt(c.x)), c.invSqrt) << c.x;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(r3xSqrt(c.x)), c.sqrt) << c.x;
  }
}

TEST_F(MathSqrtTest, RelativeErrorAgainstTheLibraryAcrossSeedsAndExponents) {
  // Every seed entry (top six mantissa bits, both exponent parities) over a wide exponent range.
  for (int exponent = -100; exponent <= 100; exponent += 3) {
    for (int i = 0; i < 128; ++i) {
      const float x =
          std::ldexp(1.0f + static_cast<float>(i % 64) / 64.0f + 1.0f / 128.0f, exponent + i / 64);
      const double root = std::sqrt(static_cast<double>(x));
      EXPECT_NEAR(r3xSqrt(x) / root, 1.0, 2e-7) << x;
      EXPECT_NEAR(r3xInvSqrt(x) * root, 1.0, 2e-7) << x;
    }
  }
}

// The steps as defined, without r3xSqrt's shortcut through the hardware root.
float steppedSqrt(float x) { return static_cast<float>(r3x_inline::InvSqrtSteps(x) * x); }

bool sqrtAsStepped(std::uint32_t bits) {
  const float x = std::bit_cast<float>(bits);
  return std::bit_cast<std::uint32_t>(r3xSqrt(x)) == std::bit_cast<std::uint32_t>(steppedSqrt(x));
}

TEST_F(MathSqrtTest, SqrtMatchesTheStepsForEveryMantissaOfBothExponentParities) {
  // The shortcut's limits hold for any exponent once they hold for one even and one odd one.
  // One assertion per input would cost far more than the check, so only mismatches assert.
  for (const std::uint32_t exponent : {127u, 128u}) {
    for (std::uint32_t mantissa = 0; mantissa < (1u << 23); ++mantissa) {
      const std::uint32_t bits = (exponent << 23) | mantissa;
      if (!sqrtAsStepped(bits)) {
        FAIL() << std::hex << bits;
      }
    }
  }
}

TEST_F(MathSqrtTest, SqrtMatchesTheStepsAcrossAllBitPatterns) {
  // A fixed sample spread over every sign, exponent and mantissa.
  std::uint32_t bits = 12345u;
  for (int i = 0; i < 4000000; ++i) {
    bits = bits * 1664525u + 1013904223u;
    if (!sqrtAsStepped(bits)) {
      FAIL() << std::hex << bits;
    }
  }
}

TEST_F(MathSqrtTest, SqrtMatchesTheStepsForSpecialValues) {
  constexpr std::uint32_t kCases[] = {
      0x00000000u, 0x80000000u,                                         // zeros
      0x00000001u, 0x00400000u, 0x007FFFFFu, 0x80000001u,               // subnormals
      0x00800000u, 0x00800001u, 0x01000000u, 0x80800000u,               // near the smallest normal
      0x7F7FFFFFu, 0x7F7FFFFEu, 0x7F000000u, 0xFF7FFFFFu,               // near the largest
      0x7F800000u, 0xFF800000u, 0x7FC00000u, 0xFFC00000u, 0x7F800001u,  // infinities, NaNs
      0xBF800000u, 0xC0800000u,                                         // negative normals
  };
  for (const std::uint32_t bits : kCases) {
    EXPECT_TRUE(sqrtAsStepped(bits)) << std::hex << bits;
  }
  for (std::uint32_t exponent = 1; exponent < 255; ++exponent) {
    // Both ends of every exponent, the near ends of the range included.
    EXPECT_TRUE(sqrtAsStepped(exponent << 23)) << exponent;
    EXPECT_TRUE(sqrtAsStepped((exponent << 23) | 0x7FFFFFu)) << exponent;
  }
}

TEST_F(MathSqrtTest, SqrtShortcutLimitsLeaveMostInputsToTheHardwareRoot) {
  // A limit of 4 or more would accept every input; one far below would take the steps always.
  for (const double limit : r3x_inline::gSqrtShortcutLimits) {
    EXPECT_LT(limit, 4.0);
    EXPECT_GT(limit, 4.0 - 1e-6);
  }
}

}  // namespace
