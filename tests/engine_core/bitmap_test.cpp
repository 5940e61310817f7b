#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bmp_files.h"
#include "engine/core/bitmap_internal.h"
#include "engine/r3x.h"
#include "platform/kernel/search_path.h"
#include "tests/support/failing_memory.h"
#include "tests/support/scoped_environment.h"

namespace {

using mkdata::BuildBmp;
using mkdata::HalveImage;
using mkdata::MakePatternImage;

class BitmapTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(world_, nullptr); }
  void TearDown() override {
    r3xDestroyWorld(world_);
    r3xCloseWad(wad_);
  }

  R3xBitmap* BitmapTagged(const char* tag) {
    R3xObjectHeader* object = r3xFindTag(world_, tag);
    return object != nullptr && object->type == R3X_TYPE_BITMAP
               ? reinterpret_cast<R3xBitmap*>(object)
               : nullptr;
  }

  test_support::ScopedEnvironment noSearchPath_{"WLDPATH", nullptr};
  BmpFolder folder_;
  R3xWorld* world_ = r3xCreateWorld(nullptr, 0, nullptr);
  R3xWad* wad_ = nullptr;
};

TEST_F(BitmapTest, ALoadedBitmapIsRegisteredTaggedAndHandedOutAsItsSlot) {
  const std::string file = folder_.Write("sky.bmp", BuildBmp(MakePatternImage(32, 16, 256)));
  R3xBitmapHandle handle = r3xLoadBitmap(world_, "sky", file.c_str(), nullptr);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(handle, &world_->bitmaps.slots[0]);
  R3xBitmap* bitmap = _r3xBitmapOf(handle);
  EXPECT_EQ(bitmap, BitmapTagged("sky"));
  EXPECT_EQ(bitmap->header.type, R3X_TYPE_BITMAP);
  EXPECT_EQ(bitmap->header.refCount, 0);
  EXPECT_EQ(bitmap->lastFrame, 0);
  EXPECT_EQ(bitmap->archive, nullptr);
  EXPECT_STREQ(bitmap->frameNames[0], file.c_str());
  EXPECT_EQ(bitmap->pixelBytes, 32u * 16u);
  EXPECT_EQ(r3xGetBitmapWidth(handle), 32);
  EXPECT_EQ(r3xGetBitmapHeight(handle), 16);
  EXPECT_EQ(world_->bitmaps.count, 1u);
}

TEST_F(BitmapTest, ATagThatIsTakenGivesItsBitmapOrNothing) {
  const std::string file = folder_.Write("a.bmp", BuildBmp(MakePatternImage(8, 8, 256)));
  R3xBitmapHandle first = r3xLoadBitmap(world_, "tex", file.c_str(), nullptr);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(r3xLoadBitmap(world_, "tex", "whatever.bmp", nullptr), first);
  EXPECT_EQ(world_->bitmaps.count, 1u);

  const std::string paletteFile = folder_.Write("pal.bmp", BuildBmp(MakePatternImage(1, 1, 256)));
  R3xPalette* palette = r3xCreatePalette(world_, nullptr, paletteFile.c_str(), 0);
  ASSERT_NE(palette, nullptr);
  palette->header.tag = static_cast<char*>(r3xMalloc(4));
  std::memcpy(palette->header.tag, "pal", 4);
  ASSERT_EQ(r3xAddTag(world_, &palette->header), 0);
  EXPECT_EQ(r3xLoadBitmap(world_, "pal", file.c_str(), nullptr), nullptr);
  EXPECT_EQ(world_->bitmaps.count, 1u);
}

TEST_F(BitmapTest, LevelsFromAnArchiveAndTheColourTableWhenTheWorldAsks) {
  const mkdata::BmpImage level0 = MakePatternImage(64, 64, 256);
  const mkdata::BmpImage level1 = HalveImage(level0);
  const mkdata::BmpImage level2 = HalveImage(level1);
  wad_ = r3xOpenWad(folder_
                        .WritePack("Equip.r3x", {{"t.bmp", BuildBmp(level0)},
                                                 {"t_1.bmp", BuildBmp(level1)},
                                                 {"t_2.bmp", BuildBmp(level2)}})
                        .c_str(),
                    4);
  ASSERT_NE(wad_, nullptr);
  const char* names[] = {"t.bmp", "t_1.bmp", "t_2.bmp"};
  R3xBitmapHandle plain = r3xLoadBitmapFrames(world_, "plain", 3, names, wad_);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(_r3xBitmapOf(plain)->lastFrame, 2);
  EXPECT_EQ(_r3xBitmapOf(plain)->archive, wad_);
  EXPECT_EQ(_r3xBitmapOf(plain)->pixelBytes, 5376u);
  EXPECT_STREQ(_r3xBitmapOf(plain)->frameNames[2], "t_2.bmp");
  EXPECT_EQ(_r3xBitmapOf(plain)->colourTable, nullptr);

  ASSERT_EQ(r3xSetWorldFlag(world_, 1), 0);
  R3xBitmapHandle coloured = r3xLoadBitmapFrames(world_, "coloured", 2, names, wad_);
  ASSERT_NE(coloured, nullptr);
  EXPECT_EQ(_r3xBitmapOf(coloured)->pixelBytes, 5120u);
  ASSERT_NE(_r3xBitmapOf(coloured)->colourTable, nullptr);
  EXPECT_EQ(_r3xBitmapOf(coloured)->colourTable[4 * 3], level0.colours[3].red);
}

TEST_F(BitmapTest, ABitmapInUseIsNotDestroyed) {
  const std::string file = folder_.Write("a.bmp", BuildBmp(MakePatternImage(8, 8, 256)));
  R3xBitmapHandle handle = r3xLoadBitmap(world_, "tex", file.c_str(), nullptr);
  ASSERT_NE(handle, nullptr);
  R3xBitmap* bitmap = _r3xBitmapOf(handle);
  ASSERT_EQ(r3xAddRef(&bitmap->header), 0);
  EXPECT_EQ(r3xDestroyBitmap(world_, handle), R3X_ERR_BITMAP_IN_USE);
  EXPECT_EQ(BitmapTagged("tex"), bitmap);
  EXPECT_EQ(r3xDestroyAllOfType(world_, R3X_TYPE_BITMAP), R3X_ERR_BITMAP_IN_USE);
  EXPECT_EQ(world_->bitmaps.count, 1u);

  ASSERT_EQ(r3xRelease(&bitmap->header), 0);
  EXPECT_EQ(r3xRelease(&bitmap->header), R3X_ERR_FAILED);
  EXPECT_EQ(bitmap->header.refCount, 0);
  EXPECT_EQ(r3xDestroyBitmap(world_, handle), 0);
  EXPECT_EQ(r3xFindTag(world_, "tex"), nullptr);
  EXPECT_EQ(world_->bitmaps.count, 0u);
  // The slot is free now: no bitmap to destroy there.
  EXPECT_EQ(r3xDestroyBitmap(world_, handle), R3X_ERR_FAILED);
  EXPECT_EQ(r3xDestroyBitmap(world_, nullptr), R3X_ERR_FAILED);
}

TEST_F(BitmapTest, AFailedLoadLeavesNothingBehind) {
  const std::string good = folder_.Write("a.bmp", BuildBmp(MakePatternImage(8, 8, 256)));
  Bytes damaged = BuildBmp(MakePatternImage(8, 8, 256));
  damaged[1] = 'A';
  const std::string bad = folder_.Write("b.bmp", damaged);
  const char* withBadLevel[] = {good.c_str(), bad.c_str()};
  const char* withNull[] = {good.c_str(), nullptr};
  EXPECT_EQ(r3xLoadBitmap(world_, "t", bad.c_str(), nullptr), nullptr);
  EXPECT_EQ(r3xLoadBitmap(world_, "t", (folder_ / "none.bmp").c_str(), nullptr), nullptr);
  EXPECT_EQ(r3xLoadBitmapFrames(world_, "t", 2, withBadLevel, nullptr), nullptr);
  EXPECT_EQ(r3xLoadBitmapFrames(world_, "t", 2, withNull, nullptr), nullptr);
  EXPECT_EQ(r3xLoadBitmapFrames(world_, "t", 0, withBadLevel, nullptr), nullptr);
  EXPECT_EQ(r3xLoadBitmap(world_, nullptr, good.c_str(), nullptr), nullptr);
  EXPECT_EQ(world_->bitmaps.count, 0u);
  EXPECT_EQ(r3xFindTag(world_, "t"), nullptr);
}

TEST_F(BitmapTest, EveryAllocationFailureUnwinds) {
  const std::string file = folder_.Write("a.bmp", BuildBmp(MakePatternImage(8, 8, 256)));
  ASSERT_EQ(r3xSetWorldFlag(world_, 1), 0);
  long step = 0;
  for (;; ++step) {
    R3xBitmapHandle handle;
    {
      test_support::FailingMemory failing(step);
      handle = r3xLoadBitmap(world_, "t", file.c_str(), nullptr);
    }
    if (handle != nullptr) {
      break;
    }
    EXPECT_EQ(world_->bitmaps.count, 0u);
    EXPECT_EQ(r3xFindTag(world_, "t"), nullptr);
  }
  // Record, tag, name array, name, header block, colour table, pixels.
  EXPECT_EQ(step, 7);
}

struct SearchCase {
  const char* name;
  const char* wldpath;  // "{A}" and "{B}" stand for the two folders.
  const char* frameName;
  bool found;
};

const SearchCase kSearchCases[] = {
    {"PlainNameInSecondFolder", "{A}:{B}", "tex.bmp", true},
    {"SemicolonSeparated", "{A};{B}", "tex.bmp", true},
    {"AnyLetterCase", "{A}:{B}", "TEX.BMP", true},
    {"ForwardSlash", "{A}:{B}", "sub/deep.bmp", true},
    {"BothSlashes", "{A}:{B}", "sub\\x/../deep.bmp", true},
    {"BackslashOnlyIsNotSearched", "{A}:{B}", "sub\\deep.bmp", false},
    {"NotOnThePath", "{A}", "tex.bmp", false},
    {"NoPath", nullptr, "tex.bmp", false},
};

std::string Expand(std::string text, const std::string& a, const std::string& b) {
  for (auto [key, value] : {std::pair{std::string("{A}"), a}, std::pair{std::string("{B}"), b}}) {
    for (std::size_t at; (at = text.find(key)) != std::string::npos;) {
      text.replace(at, key.size(), value);
    }
  }
  return text;
}

TEST_F(BitmapTest, NamesNotFoundAsTheyAreAreSearchedAlongWldpath) {
  const std::string a = folder_ / "a";
  const std::string b = folder_ / "b";
  folder_.Write("a/other.bmp", BuildBmp(MakePatternImage(4, 4, 256)));
  folder_.Write("b/tex.bmp", BuildBmp(MakePatternImage(4, 4, 256)));
  folder_.Write("b/sub/deep.bmp", BuildBmp(MakePatternImage(4, 4, 256)));
  folder_.Write("b/sub/x/placeholder", "");
  for (const SearchCase& c : kSearchCases) {
    SCOPED_TRACE(c.name);
    const std::string wldpath = c.wldpath != nullptr ? Expand(c.wldpath, a, b) : "";
    test_support::ScopedEnvironment path("WLDPATH",
                                         c.wldpath != nullptr ? wldpath.c_str() : nullptr);
    R3xBitmapHandle handle = r3xLoadBitmap(world_, c.name, c.frameName, nullptr);
    EXPECT_EQ(handle != nullptr, c.found);
    if (handle != nullptr) {
      const std::string full = _r3xBitmapOf(handle)->frameNames[0];
      EXPECT_EQ(full.rfind(b + "/", 0), 0u) << full;
      EXPECT_EQ(r3xDestroyBitmap(world_, handle), 0);
    }
  }
}

TEST_F(BitmapTest, ANameThatExistsIsKeptAndALongPathIsNotSearched) {
  const std::string file = folder_.Write("b/tex.bmp", BuildBmp(MakePatternImage(4, 4, 256)));
  {
    test_support::ScopedEnvironment path("WLDPATH", (folder_ / "b").c_str());
    R3xBitmapHandle handle = r3xLoadBitmap(world_, "kept", file.c_str(), nullptr);
    ASSERT_NE(handle, nullptr);
    EXPECT_STREQ(_r3xBitmapOf(handle)->frameNames[0], file.c_str());
  }
  test_support::ScopedEnvironment longPath("WLDPATH",
                                           (std::string(300, ':') + (folder_ / "b")).c_str());
  EXPECT_EQ(r3xLoadBitmap(world_, "long", "tex.bmp", nullptr), nullptr);
}

TEST(SearchPathTest, GivesTheFullNameAndItsLastComponent) {
  BmpFolder folder;
  folder.Write("d/Found.txt", "");
  const std::string path = "/nonexistent;" + (folder / "d");
  char buffer[512];
  char* part = nullptr;
  const DWORD length = SearchPathA(path.c_str(), "found", ".txt", sizeof buffer, buffer, &part);
  const std::string expected = folder / "d/Found.txt";
  EXPECT_EQ(length, expected.size());
  EXPECT_EQ(buffer, expected);
  EXPECT_STREQ(part, "Found.txt");
  char small[4] = "abc";
  EXPECT_EQ(SearchPathA(path.c_str(), "found.txt", nullptr, sizeof small, small, nullptr),
            expected.size() + 1);
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(SearchPathA(path.c_str(), "d", nullptr, sizeof buffer, buffer, nullptr), 0u);
  EXPECT_EQ(SearchPathA(nullptr, "found.txt", nullptr, sizeof buffer, buffer, nullptr), 0u);
}

}  // namespace
