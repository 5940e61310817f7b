#include <bit>
#include <cmath>
#include <cstdint>

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

}  // namespace
