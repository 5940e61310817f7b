// 16-bit pixel packing and widening, for scalars and for the board's vector lanes.
#include "base/pixel16.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct PixelCase {
  const char* name;
  std::uint32_t rgb;       // 0x00RRGGBB
  std::uint32_t pixel565;  // rrrrrggg gggbbbbb
  std::uint32_t pixel555;  // 0rrrrrgg gggbbbbb
  std::uint32_t wide565;   // the 565 pixel widened back
  std::uint32_t wide555;   // the 555 pixel widened back
};

// Hand-computed: packing keeps the high bits of each channel, widening repeats them below.
constexpr PixelCase kCases[] = {
    {"Black", 0x000000, 0x0000, 0x0000, 0x000000, 0x000000},
    {"White", 0xFFFFFF, 0xFFFF, 0x7FFF, 0xFFFFFF, 0xFFFFFF},
    {"Red", 0xFF0000, 0xF800, 0x7C00, 0xFF0000, 0xFF0000},
    {"Green", 0x00FF00, 0x07E0, 0x03E0, 0x00FF00, 0x00FF00},
    {"Blue", 0x0000FF, 0x001F, 0x001F, 0x0000FF, 0x0000FF},
    // 0x12 = 00010 010, 0x34 = 001101 00 (565) / 00110 100 (555), 0x56 = 01010 110.
    {"LowBitsDropped", 0x123456, 0x11AA, 0x08CA, 0x103452, 0x103152},
    // 0x84 = 10000 100: widened 10000 100 = 0x84; 0x82 = 100000 10: widened 100000 10 = 0x82.
    {"HighBitsRepeated", 0x848284, 0x8410, 0x4210, 0x848284, 0x848484},
};

class Pixel16Test : public testing::TestWithParam<PixelCase> {};

TEST_P(Pixel16Test, PacksAndWidensEachForm) {
  const PixelCase& c = GetParam();
  EXPECT_EQ(arena::Pack565(c.rgb), c.pixel565);
  EXPECT_EQ(arena::Pack555(c.rgb), c.pixel555);
  EXPECT_EQ(arena::Widen565(c.pixel565), c.wide565);
  EXPECT_EQ(arena::Widen555(c.pixel555), c.wide555);
  // The BGR forms are the RGB forms of the colour with red and blue swapped.
  const std::uint32_t bgr = arena::SwapRedBlue(c.rgb);
  EXPECT_EQ(arena::SwapRedBlue(bgr), c.rgb);
  EXPECT_EQ(bgr, (c.rgb & 0xFF) << 16 | (c.rgb & 0xFF00) | c.rgb >> 16);
}

// The board's lanes go through the same functions, lane by lane.
TEST(Pixel16LanesTest, VectorLanesMatchTheScalarForms) {
  using Lanes = std::uint32_t __attribute__((vector_size(4 * 4)));
  Lanes rgb{};
  // Four cases with bits in every channel's low and high part.
  for (int i = 0; i < 4; ++i) {
    rgb[i] = kCases[std::size(kCases) - 4 + static_cast<std::size_t>(i)].rgb;
  }
  const Lanes packed565 = arena::Pack565<Lanes>(rgb);
  const Lanes packed555 = arena::Pack555<Lanes>(rgb);
  const Lanes wide565 = arena::Widen565<Lanes>(packed565);
  const Lanes wide555 = arena::Widen555<Lanes>(packed555);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(packed565[i], arena::Pack565(rgb[i])) << i;
    EXPECT_EQ(packed555[i], arena::Pack555(rgb[i])) << i;
    EXPECT_EQ(wide565[i], arena::Widen565(arena::Pack565(rgb[i]))) << i;
    EXPECT_EQ(wide555[i], arena::Widen555(arena::Pack555(rgb[i]))) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Pixel16Test, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<PixelCase>& info) {
                           return info.param.name;
                         });

}  // namespace
