#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "engine/core/shade_table_internal.h"
#include "engine/r3x.h"

namespace {

using Entries = std::array<PALETTEENTRY, 256>;

// Black everywhere but a few colours.
Entries TinyPalette() {
  Entries entries{};
  entries[1] = {200, 0, 0, 0};
  entries[2] = {100, 0, 0, 0};
  entries[3] = {0, 0, 90, 0};
  entries[4] = {60, 60, 60, 0};
  entries[5] = {255, 255, 255, 0};
  entries[6] = {15, 15, 15, 0};
  entries[12] = {30, 30, 30, 0};
  return entries;
}

// The nearest entry of the range by squared distance, the first on ties, written out plainly.
int ReferenceNearest(const Entries& entries, int first, int last, int r, int g, int b) {
  int best = first;
  long bestDistance = -1;
  for (int i = first; i <= last; ++i) {
    const long d = (entries[i].peRed - r) * (entries[i].peRed - r) +
                   (entries[i].peGreen - g) * (entries[i].peGreen - g) +
                   (entries[i].peBlue - b) * (entries[i].peBlue - b);
    if (bestDistance < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

// Level k scales by k / 15 in 16.16 fixed point, truncated.
int Scaled(int value, int k) { return static_cast<int>((value * ((k << 16) / 15)) >> 16); }

class ShadeTableTest : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(ShadeTableTest, RowsMatchAReferenceComputation) {
  const std::int32_t fullFlag = GetParam();
  const int first = fullFlag != 0 ? 0 : 10;
  const int last = fullFlag != 0 ? 255 : 245;
  const Entries entries = TinyPalette();
  std::uint8_t data[16 * 256];
  ASSERT_EQ(_r3xBuildShadeTable(data, 16, 256, entries.data(), fullFlag), 0);
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(data[c], ReferenceNearest(entries, first, last, 0, 0, 0));
    EXPECT_EQ(data[15 * 256 + c], c);
    for (int k = 1; k < 15; ++k) {
      const PALETTEENTRY& colour = entries[c];
      ASSERT_EQ(data[k * 256 + c],
                ReferenceNearest(entries, first, last, Scaled(colour.peRed, k),
                                 Scaled(colour.peGreen, k), Scaled(colour.peBlue, k)))
          << "level " << k << " colour " << c;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(FullFlag, ShadeTableTest, ::testing::Values(0, 1));

TEST(ShadeTableCellsTest, HandPickedCells) {
  const Entries entries = TinyPalette();
  std::uint8_t data[16 * 256];
  ASSERT_EQ(_r3xBuildShadeTable(data, 16, 256, entries.data(), 1), 0);
  // 200 x 7/15 = 93: nearest is 100.
  EXPECT_EQ(data[7 * 256 + 1], 2);
  // 15 x 1/15 in fixed point gives 0, not 1: black, the first of many.
  EXPECT_EQ(data[1 * 256 + 6], 0);
  // White at 2/15 is 33: the grey 30 (12) beats the greys 15 (6) and 60 (4).
  EXPECT_EQ(data[2 * 256 + 5], 12);
  // Row 0 is the first black entry.
  EXPECT_EQ(data[0 * 256 + 77], 0);
  ASSERT_EQ(_r3xBuildShadeTable(data, 16, 256, entries.data(), 0), 0);
  EXPECT_EQ(data[0 * 256 + 77], 10);
  EXPECT_EQ(data[7 * 256 + 1], 12);
}

TEST(ShadeTableCellsTest, OnlySixteenLevelsOf256ColoursAreBuilt) {
  const Entries entries = TinyPalette();
  std::uint8_t data[17 * 256];
  EXPECT_EQ(_r3xBuildShadeTable(data, 15, 256, entries.data(), 0), R3X_SHADE_BAD_SIZE);
  EXPECT_EQ(_r3xBuildShadeTable(data, 17, 256, entries.data(), 0), R3X_SHADE_BAD_SIZE);
  EXPECT_EQ(_r3xBuildShadeTable(data, 16, 128, entries.data(), 0), R3X_SHADE_BAD_SIZE);
}

TEST(ShadeTableCellsTest, ATableIsRegisteredWithAWorldAndNotFogReady) {
  R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
  ASSERT_NE(world, nullptr);
  auto* palette = static_cast<R3xPalette*>(r3xMalloc(sizeof(R3xPalette)));
  const Entries entries = TinyPalette();
  std::copy(entries.begin(), entries.end(), palette->entries);
  palette->fullFlag = 1;
  R3xShadeTable* loose = r3xCreateShadeTable(nullptr, palette);
  ASSERT_NE(loose, nullptr);
  EXPECT_EQ(loose->header.type, R3X_TYPE_SHADE_TABLE);
  EXPECT_EQ(loose->header.slot, -1);
  EXPECT_EQ(loose->header.refCount, 0);
  EXPECT_EQ(loose->data[7 * 256 + 1], 2);
  EXPECT_EQ(r3xDestroyShadeTable(nullptr, loose), 0);

  R3xShadeTable* registered = r3xCreateShadeTable(world, palette);
  ASSERT_NE(registered, nullptr);
  EXPECT_EQ(registered->header.slot, 0);
  EXPECT_EQ(world->shadeTables.count, 1u);
  EXPECT_EQ(r3xDestroyShadeTable(world, registered), 0);
  EXPECT_EQ(world->shadeTables.count, 0u);
  // Left to the world.
  EXPECT_NE(r3xCreateShadeTable(world, palette), nullptr);
  EXPECT_EQ(r3xCreateShadeTable(world, nullptr), nullptr);
  r3xFree(palette);
  r3xDestroyWorld(world);
}

}  // namespace
