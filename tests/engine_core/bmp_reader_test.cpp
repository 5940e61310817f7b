#include "engine/core/bmp_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bmp_files.h"
#include "engine/r3x.h"

namespace {

using mkdata::BmpHeader;
using mkdata::BmpImage;
using mkdata::BuildBmp;
using mkdata::HalveImage;
using mkdata::MakePatternImage;

struct FreeDib {
  void operator()(R3xDib* dib) const { r3xFree(dib); }
};
using DibPtr = std::unique_ptr<R3xDib, FreeDib>;

// The loader's results, freed with the object.
struct LoadedBitmap {
  R3xBitmap bitmap{};
  std::int32_t result = 0;
  ~LoadedBitmap() {
    r3xFree(bitmap.pixels);
    r3xFree(bitmap.colourTable);
  }
  Bytes Pixels() const { return Bytes(bitmap.pixels, bitmap.pixels + bitmap.pixelBytes); }
};

class BmpReaderTest : public ::testing::Test {
 protected:
  void TearDown() override { r3xCloseWad(wad_); }

  // Loads the files from disk, or from a pack of them when fromPack is set.
  void Load(LoadedBitmap* loaded, const std::vector<std::pair<std::string, Bytes>>& files,
            bool fromPack = false, std::int32_t paletteFlag = 0) {
    std::vector<std::string> names;
    std::vector<mkdata::PackMember> members;
    for (const auto& [name, bytes] : files) {
      names.push_back(fromPack ? name : folder_.Write(name, bytes));
      members.push_back({name, bytes});
    }
    if (fromPack) {
      r3xCloseWad(wad_);
      wad_ = r3xOpenWad(folder_.WritePack("bitmaps.r3x", members).c_str(), 4);
      ASSERT_NE(wad_, nullptr);
    }
    std::vector<const char*> pointers;
    for (const std::string& name : names) {
      pointers.push_back(name.c_str());
    }
    loaded->result = _r3xLoadBitmapFile(static_cast<std::int32_t>(pointers.size()), pointers.data(),
                                        &loaded->bitmap, wad_, paletteFlag);
  }

  std::int32_t LoadResult(const Bytes& file, std::int32_t paletteFlag = 1) {
    LoadedBitmap loaded;
    Load(&loaded, {{"image.bmp", file}}, false, paletteFlag);
    EXPECT_EQ(loaded.bitmap.pixels, nullptr);
    EXPECT_EQ(loaded.bitmap.colourTable, nullptr);
    return loaded.result;
  }

  BmpFolder folder_;
  R3xWad* wad_ = nullptr;
};

class BmpSourceTest : public BmpReaderTest, public ::testing::WithParamInterface<bool> {};

TEST_P(BmpSourceTest, FullImageAndTwoFurtherLevelsFillOneBuffer) {
  const BmpImage level0 = MakePatternImage(64, 64, 256);
  const BmpImage level1 = HalveImage(level0);
  const BmpImage level2 = HalveImage(level1);
  LoadedBitmap loaded;
  Load(&loaded,
       {{"tex.bmp", BuildBmp(level0)},
        {"tex_1.bmp", BuildBmp(level1)},
        {"tex_2.bmp", BuildBmp(level2)}},
       GetParam());
  ASSERT_EQ(loaded.result, 0);
  EXPECT_EQ(loaded.bitmap.width, 64);
  EXPECT_EQ(loaded.bitmap.height, 64);
  EXPECT_EQ(loaded.bitmap.bitCount, 8);
  EXPECT_EQ(loaded.bitmap.widthLog2, 6);
  EXPECT_EQ(loaded.bitmap.widthReciprocal, 1.0f / 64);
  EXPECT_EQ(loaded.bitmap.colourTable, nullptr);
  ASSERT_EQ(loaded.bitmap.pixelBytes, 4096u + 1024u + 256u);
  Bytes expected = level0.pixels;
  expected.insert(expected.end(), level1.pixels.begin(), level1.pixels.end());
  expected.insert(expected.end(), level2.pixels.begin(), level2.pixels.end());
  EXPECT_EQ(loaded.Pixels(), expected);
}

TEST_P(BmpSourceTest, AFurtherLevelOfAnotherSizeIsAReadError) {
  LoadedBitmap loaded;
  Load(&loaded,
       {{"tex.bmp", BuildBmp(MakePatternImage(64, 64, 256))},
        {"tex_1.bmp", BuildBmp(MakePatternImage(32, 30, 256))}},
       GetParam());
  EXPECT_EQ(loaded.result, R3X_ERR_BMP_READ);
  EXPECT_EQ(loaded.bitmap.pixels, nullptr);
}

TEST_P(BmpSourceTest, AMissingImageCannotBeOpenedAndAMissingLevelCannotBeRead) {
  LoadedBitmap missing;
  std::vector<const char*> names = {"none.bmp"};
  if (GetParam()) {
    Load(&missing, {{"tex.bmp", BuildBmp(MakePatternImage(4, 4, 4))}}, true);
    missing.result = _r3xLoadBitmapFile(1, names.data(), &missing.bitmap, wad_, 0);
  } else {
    missing.result = _r3xLoadBitmapFile(1, names.data(), &missing.bitmap, nullptr, 0);
  }
  EXPECT_EQ(missing.result, R3X_ERR_BMP_OPEN);

  LoadedBitmap noLevel;
  Load(&noLevel, {{"tex.bmp", BuildBmp(MakePatternImage(4, 4, 4))}, {"tex_1.bmp", {}}}, GetParam());
  EXPECT_EQ(noLevel.result, R3X_ERR_BMP_READ);
}

TEST_P(BmpSourceTest, ColoursAreKeptForEightBitImagesWhenAsked) {
  BmpImage image = MakePatternImage(8, 2, 3);
  image.colours = {{1, 2, 3}, {10, 20, 30}, {200, 100, 50}};
  LoadedBitmap loaded;
  Load(&loaded, {{"tex.bmp", BuildBmp(image)}}, GetParam(), 1);
  ASSERT_EQ(loaded.result, 0);
  ASSERT_NE(loaded.bitmap.colourTable, nullptr);
  const Bytes table(loaded.bitmap.colourTable,
                    loaded.bitmap.colourTable + 4 * R3X_BITMAP_COLOUR_ENTRIES);
  Bytes expected(4 * R3X_BITMAP_COLOUR_ENTRIES, 0);
  const std::uint8_t colours[] = {1, 2, 3, 0, 10, 20, 30, 0, 200, 100, 50, 0};
  std::memcpy(expected.data(), colours, sizeof colours);
  EXPECT_EQ(table, expected);
}

INSTANTIATE_TEST_SUITE_P(FileAndPack, BmpSourceTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Pack" : "File"; });

TEST_F(BmpReaderTest, EightBitRowsAreFourBytesApartForEveryWidth) {
  for (std::uint32_t width : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 9u, 64u}) {
    SCOPED_TRACE(width);
    const BmpImage image = MakePatternImage(width, 3, 256);
    LoadedBitmap loaded;
    Load(&loaded, {{"tex.bmp", BuildBmp(image)}});
    ASSERT_EQ(loaded.result, 0);
    EXPECT_EQ(loaded.Pixels(), image.pixels);
  }
}

TEST_F(BmpReaderTest, FurtherLevelsNarrowerThanFourBytesSkipTheirPadding) {
  const BmpImage level0 = MakePatternImage(6, 6, 256);
  const BmpImage level1 = HalveImage(level0);
  const BmpImage level2 = HalveImage(level1);
  LoadedBitmap loaded;
  Load(&loaded,
       {{"a.bmp", BuildBmp(level0)}, {"b.bmp", BuildBmp(level1)}, {"c.bmp", BuildBmp(level2)}});
  ASSERT_EQ(loaded.result, 0);
  Bytes expected = level0.pixels;
  expected.insert(expected.end(), level1.pixels.begin(), level1.pixels.end());
  expected.insert(expected.end(), level2.pixels.begin(), level2.pixels.end());
  // (4n - n/16) / 3 for n = 36 holds the 36 + 9 + 1 bytes.
  EXPECT_EQ(loaded.bitmap.pixelBytes, 47u);
  EXPECT_EQ(Bytes(loaded.bitmap.pixels, loaded.bitmap.pixels + expected.size()), expected);
}

TEST_F(BmpReaderTest, ACoreHeaderGivesSizeBitCountAndThreeByteColours) {
  BmpImage image = MakePatternImage(5, 3, 2);
  image.colours = {{9, 8, 7}, {250, 128, 1}};
  LoadedBitmap loaded;
  Load(&loaded, {{"core.bmp", BuildBmp(image, BmpHeader::kCore)}}, false, 1);
  ASSERT_EQ(loaded.result, 0);
  EXPECT_EQ(loaded.bitmap.width, 5);
  EXPECT_EQ(loaded.bitmap.height, 3);
  EXPECT_EQ(loaded.bitmap.bitCount, 8);
  EXPECT_EQ(loaded.bitmap.widthLog2, 2);
  EXPECT_EQ(loaded.Pixels(), image.pixels);
  ASSERT_NE(loaded.bitmap.colourTable, nullptr);
  const std::uint8_t expected[] = {9, 8, 7, 0, 250, 128, 1, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(loaded.bitmap.colourTable, expected, sizeof expected), 0);
}

TEST_F(BmpReaderTest, SixteenBitRowsHoldTwoBytesPerPixel) {
  Bytes file = BuildBmp(MakePatternImage(6, 2, 1));
  PutU16(file, kBitCountAt, 16);
  // Two rows of 12 bytes each.
  file.resize(file.size() - 16, 0);
  file.insert(file.end(), 24, 0x5A);
  PutU32(file, kFileSizeAt, static_cast<std::uint32_t>(file.size()));
  LoadedBitmap loaded;
  Load(&loaded, {{"hi.bmp", file}}, false, 1);
  ASSERT_EQ(loaded.result, 0);
  EXPECT_EQ(loaded.bitmap.bitCount, 16);
  EXPECT_EQ(loaded.bitmap.colourTable, nullptr);
  EXPECT_EQ(loaded.Pixels(), Bytes(24, 0x5A));
}

struct BadFileCase {
  const char* name;
  std::int32_t expected;
  void (*damage)(Bytes& file);
};

const BadFileCase kBadFiles[] = {
    {"Empty", R3X_ERR_BMP_READ, [](Bytes& f) { f.clear(); }},
    {"ShortFileHeader", R3X_ERR_BMP_READ, [](Bytes& f) { f.resize(13); }},
    {"StartsWithBA", R3X_ERR_BMP_NOT_BM, [](Bytes& f) { f[1] = 'A'; }},
    {"HeaderSize13", R3X_ERR_BMP_HEADER, [](Bytes& f) { PutU32(f, kHeaderSizeAt, 13); }},
    {"HeaderSize8", R3X_ERR_BMP_HEADER, [](Bytes& f) { PutU32(f, kHeaderSizeAt, 8); }},
    {"HeaderPastPixelOffset", R3X_ERR_BMP_HEADER, [](Bytes& f) { PutU32(f, kHeaderSizeAt, 2000); }},
    {"PixelOffsetInsideFileHeader", R3X_ERR_BMP_HEADER,
     [](Bytes& f) { PutU32(f, kPixelOffsetAt, 16); }},
    {"PixelOffsetPastEnd", R3X_ERR_BMP_READ,
     [](Bytes& f) { PutU32(f, kPixelOffsetAt, 0xFFFFFFF0); }},
    {"ZeroWidth", R3X_ERR_BMP_HEADER, [](Bytes& f) { PutU32(f, kWidthAt, 0); }},
    {"TopDownRows", R3X_ERR_BMP_HEADER, [](Bytes& f) { PutU32(f, kHeightAt, 0xFFFFFFF8); }},
    {"HugeSize", R3X_ERR_BMP_READ,
     [](Bytes& f) {
       PutU32(f, kWidthAt, 0x7FFFFFFF);
       PutU32(f, kHeightAt, 0x7FFFFFFF);
     }},
    {"PixelsCutShort", R3X_ERR_BMP_READ, [](Bytes& f) { f.pop_back(); }},
    {"ColourCountPastTable", R3X_ERR_BMP_HEADER, [](Bytes& f) { PutU32(f, kUsedColoursAt, 300); }},
};

TEST_F(BmpReaderTest, DamagedFilesGiveTheirErrorCodeAndKeepNothing) {
  for (const BadFileCase& bad : kBadFiles) {
    SCOPED_TRACE(bad.name);
    // 16 colours, 8 x 8 pixels: the colour table ends at 118, the pixels at 182.
    Bytes file = BuildBmp(MakePatternImage(8, 8, 16));
    bad.damage(file);
    EXPECT_EQ(LoadResult(file), bad.expected);
  }
}

TEST_F(BmpReaderTest, AFurtherLevelWhosePixelsPassItsEndIsAReadError) {
  Bytes level1 = BuildBmp(MakePatternImage(4, 4, 256));
  level1.resize(level1.size() - 1);
  PutU32(level1, kFileSizeAt, static_cast<std::uint32_t>(level1.size()));
  LoadedBitmap loaded;
  Load(&loaded, {{"a.bmp", BuildBmp(MakePatternImage(8, 8, 256))}, {"b.bmp", level1}});
  EXPECT_EQ(loaded.result, R3X_ERR_BMP_READ);
  EXPECT_EQ(loaded.bitmap.pixels, nullptr);
}

TEST_F(BmpReaderTest, WholeFileReadersReturnTheBytesAfterTheFileHeader) {
  const Bytes file = BuildBmp(MakePatternImage(4, 2, 16));
  const DibPtr dib(_r3xReadBmpFile(folder_.Write("pal.bmp", file).c_str()));
  ASSERT_NE(dib, nullptr);
  ASSERT_EQ(dib->size, file.size() - 14);
  EXPECT_EQ(Bytes(dib->bytes, dib->bytes + dib->size), Bytes(file.begin() + 14, file.end()));
  EXPECT_EQ(_r3xBmpHeaderSize(dib.get()), 40u);

  wad_ = r3xOpenWad(folder_.WritePack("p.r3x", {{"Pal.bmp", file}}).c_str(), 1);
  const DibPtr member(_r3xReadDibFromWad(wad_, "PAL.BMP"));
  ASSERT_NE(member, nullptr);
  EXPECT_EQ(Bytes(member->bytes, member->bytes + member->size),
            Bytes(file.begin() + 14, file.end()));
  // The member slot is given back.
  EXPECT_NE(DibPtr(_r3xReadDibFromWad(wad_, "pal.bmp")), nullptr);
  EXPECT_EQ(_r3xReadDibFromWad(wad_, "other.bmp"), nullptr);
}

TEST_F(BmpReaderTest, WholeFileReadersRefuseFilesThatDoNotHoldWhatTheyState) {
  const Bytes good = BuildBmp(MakePatternImage(4, 2, 16));
  const std::vector<std::pair<const char*, Bytes>> cases = [&] {
    std::vector<std::pair<const char*, Bytes>> list;
    Bytes f = good;
    f[0] = 'X';
    list.emplace_back("NotBM", f);
    f = good;
    PutU32(f, kFileSizeAt, static_cast<std::uint32_t>(good.size() + 1));
    list.emplace_back("LongerThanTheFile", f);
    f = good;
    PutU32(f, kFileSizeAt, 10);
    list.emplace_back("SizeBelowFileHeader", f);
    f = good;
    PutU32(f, kFileSizeAt, 20);
    list.emplace_back("HeaderPastStatedSize", f);
    f = good;
    PutU32(f, kHeaderSizeAt, 14);
    list.emplace_back("HeaderSize14", f);
    list.emplace_back("ShortFileHeader", Bytes(good.begin(), good.begin() + 10));
    return list;
  }();
  std::vector<mkdata::PackMember> members;
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(_r3xReadBmpFile(folder_.Write(std::string(name) + ".bmp", bytes).c_str()), nullptr);
    members.push_back({std::string(name) + ".bmp", bytes});
  }
  wad_ = r3xOpenWad(folder_.WritePack("p.r3x", members).c_str(), 1);
  ASSERT_NE(wad_, nullptr);
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(_r3xReadDibFromWad(wad_, (std::string(name) + ".bmp").c_str()), nullptr);
  }
  EXPECT_EQ(_r3xReadBmpFile((folder_ / "absent.bmp").c_str()), nullptr);
}

struct ColourCountCase {
  const char* name;
  std::uint32_t headerSize;
  std::uint16_t bitCount;
  std::uint32_t usedColours;
  std::uint32_t expected;
};

TEST_F(BmpReaderTest, ColourCountComesFromTheUsedCountOrTheBitCount) {
  const ColourCountCase cases[] = {
      {"Used16", 40, 8, 16, 16},
      {"Eight", 40, 8, 0, 256},
      {"Four", 40, 4, 0, 16},
      {"One", 40, 1, 0, 2},
      {"TwentyFour", 40, 24, 0, 0},
      // Mends: an info header of another length than 40 bytes still has its bit count at 14 and
      // its used count at 32 when it is long enough, not the core header's bit count at 10.
      {"MendV5HeaderReadsItsUsedCount", 124, 8, 20, 20},
      {"MendShortInfoHeaderReadsItsBitCount", 16, 8, 0, 256},
  };
  for (const ColourCountCase& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes block(c.headerSize, 0);
    PutU32(block, 0, c.headerSize);
    PutU16(block, 14, c.bitCount);
    if (c.headerSize >= 36) {
      PutU32(block, 32, c.usedColours);
    }
    const R3xDib dib{block.size(), block.data()};
    EXPECT_EQ(_r3xBmpColorCount(&dib), c.expected);
  }
  Bytes core(12, 0);
  PutU32(core, 0, 12);
  PutU16(core, 10, 4);
  const R3xDib coreDib{core.size(), core.data()};
  EXPECT_EQ(_r3xBmpColorCount(&coreDib), 16u);
  EXPECT_FALSE(_r3xBmpColorsFit(&coreDib, 1));
  EXPECT_TRUE(_r3xBmpColorsFit(&coreDib, 0));
}

}  // namespace
