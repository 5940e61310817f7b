#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bmp_files.h"
#include "engine/r3x.h"
#include "platform/gdi/system_palette.h"

namespace {

using mkdata::BmpColour;
using mkdata::BmpImage;
using mkdata::BuildBmp;

// n colours, each different from every system colour.
BmpImage ColourImage(std::uint32_t n) {
  BmpImage image{1, 1, {}, {0}};
  for (std::uint32_t i = 0; i < n; ++i) {
    image.colours.push_back({static_cast<std::uint8_t>(i), 7, static_cast<std::uint8_t>(255 - i)});
  }
  return image;
}

bool SameEntry(const PALETTEENTRY& a, const PALETTEENTRY& b) {
  return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue &&
         a.peFlags == b.peFlags;
}

// Where each entry must come from.
enum class Source { kBlack, kWhite, kSystem, kFile };

Source ExpectedSource(int i, bool full, std::uint32_t colours) {
  if (i == 0) {
    return Source::kBlack;
  }
  if (i == 255) {
    return Source::kWhite;
  }
  const bool shared = full || (i >= 10 && i <= 245);
  return shared && static_cast<std::uint32_t>(i) < colours ? Source::kFile : Source::kSystem;
}

void ExpectEntries(const R3xPalette* palette, const BmpImage& image, bool full) {
  for (int i = 0; i < R3X_PALETTE_ENTRIES; ++i) {
    SCOPED_TRACE(i);
    const PALETTEENTRY& entry = palette->entries[i];
    switch (ExpectedSource(i, full, static_cast<std::uint32_t>(image.colours.size()))) {
      case Source::kBlack:
        EXPECT_TRUE(SameEntry(entry, {0, 0, 0, 0}));
        break;
      case Source::kWhite:
        EXPECT_TRUE(SameEntry(entry, {255, 255, 255, 0}));
        break;
      case Source::kSystem:
        EXPECT_TRUE(SameEntry(entry, platform::SystemPalette()[i]));
        break;
      case Source::kFile: {
        const BmpColour& colour = image.colours[i];
        EXPECT_TRUE(SameEntry(entry, {colour.red, colour.green, colour.blue, PC_NOCOLLAPSE}));
        break;
      }
    }
  }
}

class PaletteTest : public ::testing::Test {
 protected:
  void TearDown() override {
    r3xCloseWad(wad_);
    r3xDestroyWorld(world_);
  }

  std::string Write(const BmpImage& image) { return folder_.Write("palette.bmp", BuildBmp(image)); }

  BmpFolder folder_;
  R3xWorld* world_ = r3xCreateWorld(nullptr, 0, nullptr);
  R3xWad* wad_ = nullptr;
};

struct PaletteCase {
  const char* name;
  std::uint32_t colours;
  std::int32_t fullFlag;
};

TEST_F(PaletteTest, EntriesComeFromTheFileTheSystemOrTheFixedEnds) {
  const PaletteCase cases[] = {
      {"AllColoursSharedRange", 256, 0}, {"AllColoursFull", 256, 1},
      {"SixteenColoursShared", 16, 0},   {"SixteenColoursFull", 16, 1},
      {"FiveColoursShared", 5, 0},       {"OneColourFull", 1, 1},
  };
  for (const PaletteCase& c : cases) {
    SCOPED_TRACE(c.name);
    const BmpImage image = ColourImage(c.colours);
    R3xPalette* palette = r3xCreatePalette(nullptr, nullptr, Write(image).c_str(), c.fullFlag);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->header.type, R3X_TYPE_PALETTE);
    EXPECT_EQ(palette->header.slot, -1);
    EXPECT_EQ(palette->version, 0x300);
    EXPECT_EQ(palette->entryCount, c.colours);
    EXPECT_EQ(palette->fullFlag, c.fullFlag);
    ExpectEntries(palette, image, c.fullFlag != 0);
    EXPECT_EQ(r3xDestroyPalette(nullptr, palette), 0);
  }
}

TEST_F(PaletteTest, SystemPaletteHoldsTheStaticColoursAtBothEnds) {
  const auto& system = platform::SystemPalette();
  EXPECT_TRUE(SameEntry(system[0], {0, 0, 0, 0}));
  EXPECT_TRUE(SameEntry(system[7], {192, 192, 192, 0}));
  EXPECT_TRUE(SameEntry(system[249], {255, 0, 0, 0}));
  EXPECT_TRUE(SameEntry(system[255], {255, 255, 255, 0}));
  for (int i = 10; i < 246; ++i) {
    EXPECT_TRUE(SameEntry(system[i], {0, 0, 0, 0}));
  }
}

TEST_F(PaletteTest, APaletteFromAnArchiveIsRegisteredInTheWorld) {
  const BmpImage image = ColourImage(256);
  wad_ = r3xOpenWad(folder_.WritePack("game.r3x", {{"load.bmp", BuildBmp(image)}}).c_str(), 2);
  ASSERT_NE(wad_, nullptr);
  R3xPalette* palette = r3xCreatePalette(world_, wad_, "LOAD.BMP", 0);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->header.slot, 0);
  EXPECT_EQ(world_->palettes.slots[0].object, &palette->header);
  ExpectEntries(palette, image, false);
  EXPECT_EQ(r3xDestroyPalette(world_, palette), 0);
  EXPECT_EQ(world_->palettes.count, 0u);
  // Left to the world.
  EXPECT_NE(r3xCreatePalette(world_, wad_, "load.bmp", 1), nullptr);
  EXPECT_EQ(world_->palettes.count, 1u);
}

TEST_F(PaletteTest, APaletteNeedsColoursThatTheFileHolds) {
  Bytes noColours = BuildBmp(ColourImage(0));
  PutU16(noColours, kBitCountAt, 24);
  Bytes tooMany = BuildBmp(ColourImage(16));
  PutU32(tooMany, kUsedColoursAt, 300);
  Bytes damaged = BuildBmp(ColourImage(16));
  damaged[0] = 'X';
  for (const auto& [name, bytes] : std::vector<std::pair<const char*, Bytes>>{
           {"NoColours", noColours}, {"MoreColoursThanTheFile", tooMany}, {"NotBM", damaged}}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(r3xCreatePalette(world_, nullptr, folder_.Write("bad.bmp", bytes).c_str(), 0),
              nullptr);
  }
  EXPECT_EQ(r3xCreatePalette(world_, nullptr, (folder_ / "missing.bmp").c_str(), 0), nullptr);
  EXPECT_EQ(world_->palettes.count, 0u);
}

TEST_F(PaletteTest, NearestIndexStaysInTheSharedRangeUnlessFull) {
  const BmpImage image = ColourImage(256);
  R3xPalette* shared = r3xCreatePalette(nullptr, nullptr, Write(image).c_str(), 0);
  R3xPalette* full = r3xCreatePalette(nullptr, nullptr, Write(image).c_str(), 1);
  ASSERT_NE(shared, nullptr);
  ASSERT_NE(full, nullptr);
  for (int value = 0; value < 256; value += 15) {
    const std::int32_t index = r3xNearestPaletteIndex(shared, value, 255 - value, value / 2);
    EXPECT_GE(index, 10);
    EXPECT_LE(index, 245);
  }
  // White and black are only at the ends.
  EXPECT_EQ(r3xNearestPaletteIndex(full, 255, 255, 255), 255);
  EXPECT_EQ(r3xNearestPaletteIndex(full, 0, 0, 0), 0);
  // Equally near: 127 and 128.
  EXPECT_EQ(r3xNearestPaletteIndex(shared, 255, 255, 255), 127);
  // Exact matches, and the first of equal distances.
  EXPECT_EQ(r3xNearestPaletteIndex(shared, 100, 7, 155), 100);
  EXPECT_EQ(r3xNearestPaletteIndex(full, 3, 7, 252), 3);
  full->entries[40] = full->entries[30];
  EXPECT_EQ(r3xNearestPaletteIndex(full, 30, 8, 225), 30);
  r3xDestroyPalette(nullptr, shared);
  r3xDestroyPalette(nullptr, full);
}

}  // namespace
