#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "battle/effects/ambient_table.h"
#include "battle/effects/sky_gradient_table.h"

namespace {

SkyColour Rgb(std::uint32_t rgb) {
  return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
          static_cast<std::uint8_t>(rgb)};
}

struct AmbientCase {
  int step;
  float level;
};

TEST(AmbientTableTest, GivesTheLightOfDawnDayDuskAndNight) {
  const AmbientCase cases[] = {{0, 0.5f},   {13, 1.0f}, {15, 0.96f}, {24, 0.7f},
                               {43, 0.02f}, {44, 0.0f}, {52, 0.28f}, {59, 0.5f}};
  for (const AmbientCase& c : cases) {
    EXPECT_EQ(AmbientTable[c.step], c.level) << "step " << c.step;
  }
}

struct GradientCase {
  int step;
  int entry;
  std::uint32_t rgb;
};

TEST(SkyGradientTableTest, KeepsTheGivenColours) {
  // Entries of the rows drawn in full, away from the every-fourth entries, and of the others.
  const GradientCase cases[] = {
      {14, 7, 0xC3EFFB}, {14, 13, 0xE3F7FB}, {29, 6, 0x7F134B},  {29, 15, 0xBB3F23},
      {44, 2, 0x00002B}, {59, 10, 0xBA6569}, {59, 14, 0xDA592D}, {0, 0, 0x5B67CB},
      {0, 10, 0xBA6569}, {1, 12, 0xCF5357},  {30, 8, 0x871B43},  {45, 16, 0x001757},
  };
  for (const GradientCase& c : cases) {
    const SkyColour colour = SkyGradientTable[c.step][c.entry];
    EXPECT_EQ(colour, Rgb(c.rgb)) << "step " << c.step << " entry " << c.entry;
  }
}

TEST(SkyGradientTableTest, FillsEachRowInEvenStepsBetweenItsGivenColours) {
  // Row 1, entries 0 (5F6FCB) to 4 (9F63C3): a quarter of the way each.
  EXPECT_EQ(SkyGradientTable[1][1], Rgb(0x6F6CC9));
  EXPECT_EQ(SkyGradientTable[1][2], Rgb(0x7F69C7));
  EXPECT_EQ(SkyGradientTable[1][3], Rgb(0x8F66C5));
  // Row 1, entries 12 (CF5357) to the horizon (E75333) in thirds; the band is one colour.
  EXPECT_EQ(SkyGradientTable[1][13], Rgb(0xD7534B));
  EXPECT_EQ(SkyGradientTable[1][14], Rgb(0xDF533F));
  EXPECT_EQ(SkyGradientTable[1][15], Rgb(0xE75333));
}

TEST(SkyGradientTableTest, EveryFilledEntryLiesBetweenItsNeighbours) {
  for (int step = 0; step < kTimeOfDaySteps; ++step) {
    for (int entry = 1; entry + 1 < kSkyGradientEntries; ++entry) {
      const SkyColour before = SkyGradientTable[step][entry - 1];
      const SkyColour here = SkyGradientTable[step][entry];
      const SkyColour after = SkyGradientTable[step][entry + 1];
      auto between = [](std::uint8_t a, std::uint8_t x, std::uint8_t b) {
        return std::min(a, b) <= x && x <= std::max(a, b);
      };
      // Only the filled entries: a given one may turn, and the rows drawn in full wander a little.
      if (entry % 4 != 0 && step % 15 != 14 && step != 0) {
        EXPECT_TRUE(between(before.red, here.red, after.red) &&
                    between(before.green, here.green, after.green) &&
                    between(before.blue, here.blue, after.blue))
            << "step " << step << " entry " << entry;
      }
    }
  }
}

TEST(SkyGradientTableTest, TheFirstDawnRowDiffersFromTheLastOnlyAtTheTop) {
  EXPECT_NE(SkyGradientTable[0][0], SkyGradientTable[59][0]);
  for (int entry = 1; entry < kSkyGradientEntries; ++entry) {
    EXPECT_EQ(SkyGradientTable[0][entry], SkyGradientTable[59][entry]) << entry;
  }
}

}  // namespace
