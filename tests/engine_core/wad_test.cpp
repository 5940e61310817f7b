#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "base/byte_writer.h"
#include "engine/r3x.h"
#include "tests/support/scratch_folder.h"
#include "tools/mkdata/pack_writer.h"

namespace {

using mkdata::PackLayout;
using mkdata::PackMember;
using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  }
  return bytes;
}

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  arena::ByteWriter writer(std::move(bytes));
  writer.PatchU32(at, value);
  bytes = writer.Take();
}

Bytes ReadAll(R3xWadMember* member) {
  Bytes bytes(static_cast<std::size_t>(r3xWadMemberSize(member)));
  EXPECT_EQ(r3xReadWadMember(member, bytes.data(), static_cast<std::int64_t>(bytes.size())),
            R3X_WAD_DONE);
  return bytes;
}

// Lines of the process's memory map that show the file.
int MappingsOf(const std::string& path) {
  std::ifstream maps("/proc/self/maps");
  int count = 0;
  for (std::string line; std::getline(maps, line);) {
    count += line.find(path) != std::string::npos ? 1 : 0;
  }
  return count;
}

class WadTest : public ::testing::Test {
 protected:
  void TearDown() override { r3xCloseWad(wad_); }

  std::string Write(const std::string& name, const Bytes& bytes) {
    return folder_.Write(name, bytes);
  }

  R3xWad* Open(const Bytes& bytes, int slots = 4) {
    r3xCloseWad(wad_);
    path_ = Write("test.r3x", bytes);
    wad_ = r3xOpenWad(path_.c_str(), slots);
    return wad_;
  }

  test_support::ScratchFolder folder_{"wad"};
  std::string path_;
  R3xWad* wad_ = nullptr;
};

// The first member is larger than the allocation granularity, so later members start past a
// view boundary; the names sort differently with and without case.
std::vector<PackMember> MixedMembers() {
  return {{"ZETA.bmp", Pattern(70000)},
          {"_under", BytesOf("under")},
          {"alpha.wld", BytesOf("alpha world")},
          {"Mid", Pattern(65536)},
          {"empty", {}}};
}

class WadLayoutTest : public WadTest, public ::testing::WithParamInterface<PackLayout> {};

TEST_P(WadLayoutTest, FindsEveryMemberByAnyCaseAndReadsItsBytes) {
  ASSERT_NE(Open(mkdata::BuildPack(MixedMembers(), GetParam())), nullptr);
  EXPECT_EQ(wad_->entryCount, 5u);
  for (const PackMember& member : MixedMembers()) {
    std::string upper = member.name;
    std::string lower = member.name;
    for (char& c : upper) {
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (char& c : lower) {
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (const std::string& name : {member.name, upper, lower}) {
      SCOPED_TRACE(name);
      R3xWadMember* slot = r3xOpenWadMember(wad_, name.c_str());
      ASSERT_NE(slot, nullptr);
      EXPECT_EQ(r3xWadMemberSize(slot), static_cast<std::int64_t>(member.data.size()));
      EXPECT_EQ(ReadAll(slot), member.data);
      EXPECT_EQ(r3xCloseWadMember(slot), R3X_WAD_DONE);
    }
  }
}

TEST_P(WadLayoutTest, RefusesNamesItCannotFind) {
  ASSERT_NE(Open(mkdata::BuildPack(MixedMembers(), GetParam())), nullptr);
  for (const char* name : {"missing", "alpha.wl", "alpha.wldx", "", "ZETA.bmp "}) {
    EXPECT_EQ(r3xOpenWadMember(wad_, name), nullptr) << name;
  }
  EXPECT_EQ(r3xOpenWadMember(wad_, nullptr), nullptr);
  EXPECT_EQ(r3xOpenWadMember(nullptr, "Mid"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, WadLayoutTest,
                         ::testing::Values(PackLayout::kHeader, PackLayout::kPlain),
                         [](const auto& info) {
                           return info.param == PackLayout::kHeader ? "Header" : "Plain";
                         });

TEST_F(WadTest, PlainLayoutRefusesNamesLongerThanTwelveWithoutSearching) {
  ASSERT_NE(Open(mkdata::BuildPack({{"abcdefghijkl", BytesOf("12")}}, PackLayout::kPlain)),
            nullptr);
  EXPECT_NE(r3xOpenWadMember(wad_, "ABCDEFGHIJKL"), nullptr);
  EXPECT_EQ(r3xOpenWadMember(wad_, "abcdefghijklm"), nullptr);
}

TEST_F(WadTest, HeaderLayoutHoldsLongNames) {
  const std::string name = "a member name longer than twelve.wld";
  ASSERT_NE(Open(mkdata::BuildPack({{name, BytesOf("long")}}, PackLayout::kHeader)), nullptr);
  R3xWadMember* slot = r3xOpenWadMember(wad_, name.c_str());
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(ReadAll(slot), BytesOf("long"));
}

enum class Op { kSeek, kRead };

struct BoundsCase {
  const char* what;
  std::int64_t from;  // position before the step; 10 is reached by seeking 0 back from the end
  Op op;
  std::int64_t arg;  // seek offset or read count
  int origin;
  int result;
  std::int64_t tellAfter;
};

TEST_F(WadTest, SeekAndReadStayInsideTheMember) {
  const Bytes data = BytesOf("0123456789");
  ASSERT_NE(Open(mkdata::BuildPack({{"a", Pattern(3)}, {"m", data}, {"z", Pattern(5)}},
                                   PackLayout::kHeader)),
            nullptr);
  R3xWadMember* slot = r3xOpenWadMember(wad_, "M");
  ASSERT_NE(slot, nullptr);
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  const BoundsCase cases[] = {
      {"start + 0", 5, Op::kSeek, 0, R3X_WAD_SEEK_SET, R3X_WAD_DONE, 0},
      {"start + last byte", 5, Op::kSeek, 9, R3X_WAD_SEEK_SET, R3X_WAD_DONE, 9},
      {"start + size refused", 5, Op::kSeek, 10, R3X_WAD_SEEK_SET, R3X_WAD_REFUSED, 5},
      {"start - 1 refused", 5, Op::kSeek, -1, R3X_WAD_SEEK_SET, R3X_WAD_REFUSED, 5},
      {"end - 0 is the end", 5, Op::kSeek, 0, R3X_WAD_SEEK_END, R3X_WAD_DONE, 10},
      {"end - 1", 5, Op::kSeek, 1, R3X_WAD_SEEK_END, R3X_WAD_DONE, 9},
      {"end - size refused", 5, Op::kSeek, 10, R3X_WAD_SEEK_END, R3X_WAD_REFUSED, 5},
      {"end + 1 refused", 5, Op::kSeek, -1, R3X_WAD_SEEK_END, R3X_WAD_REFUSED, 5},
      {"relative to the last byte", 3, Op::kSeek, 6, R3X_WAD_SEEK_CUR, R3X_WAD_DONE, 9},
      {"relative to exactly the end refused", 3, Op::kSeek, 7, R3X_WAD_SEEK_CUR, R3X_WAD_REFUSED,
       3},
      {"relative back to the start", 3, Op::kSeek, -3, R3X_WAD_SEEK_CUR, R3X_WAD_DONE, 0},
      {"relative before the start refused", 3, Op::kSeek, -4, R3X_WAD_SEEK_CUR, R3X_WAD_REFUSED, 3},
      {"relative from the end backwards", 10, Op::kSeek, -1, R3X_WAD_SEEK_CUR, R3X_WAD_DONE, 9},
      {"relative from the end by 0 refused", 10, Op::kSeek, 0, R3X_WAD_SEEK_CUR, R3X_WAD_REFUSED,
       10},
      {"relative huge refused", 3, Op::kSeek, kMax, R3X_WAD_SEEK_CUR, R3X_WAD_REFUSED, 3},
      {"relative most negative refused", 3, Op::kSeek, kMin, R3X_WAD_SEEK_CUR, R3X_WAD_REFUSED, 3},
      {"unknown origin refused", 3, Op::kSeek, 1, 3, R3X_WAD_REFUSED, 3},
      {"negative origin refused", 3, Op::kSeek, 1, -1, R3X_WAD_REFUSED, 3},
      {"read to the end", 4, Op::kRead, 6, 0, R3X_WAD_DONE, 10},
      {"read past the end refused whole", 4, Op::kRead, 7, 0, R3X_WAD_REFUSED, 4},
      {"read of one byte at the end refused", 10, Op::kRead, 1, 0, R3X_WAD_REFUSED, 10},
      {"read of no bytes at the end", 10, Op::kRead, 0, 0, R3X_WAD_DONE, 10},
      {"negative read refused", 4, Op::kRead, -1, 0, R3X_WAD_REFUSED, 4},
      {"huge read refused", 0, Op::kRead, kMax, 0, R3X_WAD_REFUSED, 0},
  };
  for (const BoundsCase& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.from == 10 ? r3xSeekWadMember(slot, 0, R3X_WAD_SEEK_END)
                           : r3xSeekWadMember(slot, c.from, R3X_WAD_SEEK_SET),
              R3X_WAD_DONE);
    if (c.op == Op::kSeek) {
      EXPECT_EQ(r3xSeekWadMember(slot, c.arg, c.origin), c.result);
    } else {
      char buffer[16];
      std::memset(buffer, '#', sizeof buffer);
      const std::int64_t count = c.result == R3X_WAD_DONE ? c.arg : 0;
      EXPECT_EQ(r3xReadWadMember(slot, buffer, c.arg), c.result);
      EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(count)),
                std::string(data.begin() + c.from, data.begin() + c.from + count));
      EXPECT_EQ(buffer[count], '#');
    }
    EXPECT_EQ(r3xTellWadMember(slot), c.tellAfter);
  }
}

TEST_F(WadTest, EmptyMemberReadsNothingAndCannotBeSeeked) {
  ASSERT_NE(Open(mkdata::BuildPack({{"e", {}}, {"f", BytesOf("f")}}, PackLayout::kPlain)), nullptr);
  R3xWadMember* slot = r3xOpenWadMember(wad_, "e");
  ASSERT_NE(slot, nullptr);
  char byte = 0;
  EXPECT_EQ(r3xWadMemberSize(slot), 0);
  EXPECT_EQ(r3xReadWadMember(slot, &byte, 0), R3X_WAD_DONE);
  EXPECT_EQ(r3xReadWadMember(slot, &byte, 1), R3X_WAD_REFUSED);
  EXPECT_EQ(r3xSeekWadMember(slot, 0, 0), R3X_WAD_REFUSED);
  EXPECT_EQ(r3xSeekWadMember(slot, 0, R3X_WAD_SEEK_END), R3X_WAD_REFUSED);
  EXPECT_EQ(r3xTellWadMember(slot), 0);
}

TEST_F(WadTest, EmptyLastMemberOnAGranularityBoundaryOpens) {
  // Count, two 17-byte entries and the end word take 42 bytes; "b" then starts at 65536, the end.
  ASSERT_NE(Open(mkdata::BuildPack({{"a", Pattern(65536 - 42)}, {"b", {}}}, PackLayout::kPlain)),
            nullptr);
  ASSERT_EQ(std::filesystem::file_size(path_), 65536u);
  R3xWadMember* slot = r3xOpenWadMember(wad_, "b");
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(r3xWadMemberSize(slot), 0);
  char byte = 0;
  EXPECT_EQ(r3xReadWadMember(slot, &byte, 0), R3X_WAD_DONE);
}

TEST_F(WadTest, ClosedAndNullSlotsAreRefused) {
  ASSERT_NE(Open(mkdata::BuildPack({{"m", BytesOf("abc")}}, PackLayout::kHeader)), nullptr);
  R3xWadMember* slot = r3xOpenWadMember(wad_, "m");
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(r3xCloseWadMember(slot), R3X_WAD_DONE);
  for (R3xWadMember* closed : {slot, static_cast<R3xWadMember*>(nullptr)}) {
    char byte = 0;
    EXPECT_EQ(r3xCloseWadMember(closed), R3X_WAD_REFUSED);
    EXPECT_EQ(r3xReadWadMember(closed, &byte, 0), R3X_WAD_REFUSED);
    EXPECT_EQ(r3xSeekWadMember(closed, 0, 0), R3X_WAD_REFUSED);
    EXPECT_EQ(r3xTellWadMember(closed), R3X_WAD_NOT_OPEN);
    EXPECT_EQ(r3xWadMemberSize(closed), R3X_WAD_NOT_OPEN);
  }
}

TEST_F(WadTest, AllSlotsOpenRefusesAnotherMemberUntilOneCloses) {
  ASSERT_NE(Open(mkdata::BuildPack({{"a", BytesOf("A")}, {"b", BytesOf("B")}, {"c", BytesOf("C")}},
                                   PackLayout::kHeader),
                 2),
            nullptr);
  R3xWadMember* first = r3xOpenWadMember(wad_, "a");
  R3xWadMember* second = r3xOpenWadMember(wad_, "a");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(r3xOpenWadMember(wad_, "c"), nullptr);
  ASSERT_EQ(r3xCloseWadMember(first), R3X_WAD_DONE);
  R3xWadMember* third = r3xOpenWadMember(wad_, "c");
  EXPECT_EQ(third, first);
  EXPECT_EQ(ReadAll(third), BytesOf("C"));
  EXPECT_EQ(ReadAll(second), BytesOf("A"));
}

TEST_F(WadTest, ClosingTheArchiveUnmapsMembersLeftOpen) {
  ASSERT_NE(Open(mkdata::BuildPack(MixedMembers(), PackLayout::kHeader)), nullptr);
  ASSERT_NE(r3xOpenWadMember(wad_, "mid"), nullptr);
  ASSERT_NE(r3xOpenWadMember(wad_, "zeta.bmp"), nullptr);
  EXPECT_GT(MappingsOf(path_), 0);
  r3xCloseWad(wad_);
  wad_ = nullptr;
  EXPECT_EQ(MappingsOf(path_), 0);
}

struct DamageCase {
  const char* what;
  PackLayout layout;
  std::function<void(Bytes&)> damage;
  // For members a, b and c: 'y' opens, 'n' is refused; empty when the archive is refused.
  const char* opens;
};

// Members "a" (4 bytes), "b" (3 bytes), "c" (2 bytes). Header layout: entries at 16, 24 and 32,
// end word at 40, names at 44-49, data from 50. Plain layout: entries at 4, 21 and 38, end word
// at 55, data from 59.
TEST_F(WadTest, DamagedArchivesAreRefusedCleanly) {
  const std::vector<PackMember> members = {
      {"a", BytesOf("aaaa")}, {"b", BytesOf("bbb")}, {"c", BytesOf("cc")}};
  const DamageCase cases[] = {
      {"empty file", PackLayout::kPlain, [](Bytes& b) { b.clear(); }, ""},
      {"shorter than a count", PackLayout::kPlain, [](Bytes& b) { b.resize(3); }, ""},
      {"header count past the file", PackLayout::kHeader,
       [](Bytes& b) { PutU32(b, 8, 0x20000000); }, ""},
      {"header directory size wraps 32 bits", PackLayout::kHeader,
       [](Bytes& b) { PutU32(b, 8, 0xE0000000); }, ""},
      {"name block past the file", PackLayout::kHeader, [](Bytes& b) { PutU32(b, 12, 0xFFFFFFF0); },
       ""},
      {"name block without the end word", PackLayout::kHeader, [](Bytes& b) { PutU32(b, 12, 3); },
       ""},
      {"name offset past the view", PackLayout::kHeader, [](Bytes& b) { PutU32(b, 28, 1000); }, ""},
      {"name offset wraps", PackLayout::kHeader, [](Bytes& b) { PutU32(b, 28, 0xFFFFFFF8); }, ""},
      {"last name without its NUL", PackLayout::kHeader, [](Bytes& b) { b[49] = 'x'; }, ""},
      {"plain count past the file", PackLayout::kPlain, [](Bytes& b) { PutU32(b, 0, 0x01000000); },
       ""},
      {"plain directory size wraps 32 bits", PackLayout::kPlain,
       [](Bytes& b) { PutU32(b, 0, 0xF0F0F0F1); }, ""},
      {"plain directory without the end word", PackLayout::kPlain, [](Bytes& b) { b.resize(55); },
       ""},
      {"plain name without a NUL", PackLayout::kPlain,
       [](Bytes& b) { std::memset(&b[21 + 4], 'n', 13); }, ""},
      {"member data past the file", PackLayout::kHeader, [](Bytes& b) { PutU32(b, 24, 5000); },
       "nny"},
      {"member ends before it starts", PackLayout::kPlain, [](Bytes& b) { PutU32(b, 38, 0); },
       "yny"},
      {"end word past the file", PackLayout::kHeader, [](Bytes& b) { PutU32(b, 40, 5000); }, "yyn"},
      {"data cut short", PackLayout::kPlain, [](Bytes& b) { b.pop_back(); }, "yyn"},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes = mkdata::BuildPack(members, c.layout);
    c.damage(bytes);
    R3xWad* wad = Open(bytes);
    if (c.opens[0] == '\0') {
      EXPECT_EQ(wad, nullptr);
      continue;
    }
    ASSERT_NE(wad, nullptr);
    for (const char* name : {"a", "b", "c"}) {
      R3xWadMember* slot = r3xOpenWadMember(wad, name);
      EXPECT_EQ(slot != nullptr, c.opens[name[0] - 'a'] == 'y') << name;
      r3xCloseWadMember(slot);
    }
  }
}

TEST_F(WadTest, MissingFileIsRefused) {
  EXPECT_EQ(r3xOpenWad((folder_ / "none.r3x").c_str(), 4), nullptr);
  EXPECT_EQ(r3xOpenWad(nullptr, 4), nullptr);
}

TEST_F(WadTest, EntriesListInDirectoryOrder) {
  ASSERT_NE(Open(mkdata::BuildPack(MixedMembers(), PackLayout::kPlain)), nullptr);
  std::vector<std::string> names;
  std::uint32_t expectedStart = 4 + 5 * 17 + 4;
  for (std::uint32_t i = 0; i < wad_->entryCount; ++i) {
    R3xWadEntry entry;
    ASSERT_EQ(r3xGetWadEntry(wad_, i, &entry), 0);
    EXPECT_EQ(entry.start, expectedStart);
    expectedStart = entry.end;
    names.emplace_back(entry.name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"_under", "alpha.wld", "empty", "Mid", "ZETA.bmp"}));
  R3xWadEntry entry;
  EXPECT_EQ(r3xGetWadEntry(wad_, wad_->entryCount, &entry), R3X_ERR_FAILED);
}

}  // namespace
