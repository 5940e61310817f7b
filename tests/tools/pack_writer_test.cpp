#include "tools/mkdata/pack_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using mkdata::BuildPack;
using mkdata::PackLayout;
using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// "b" is given first but "A" sorts first; the data follows in directory order.
TEST(PackWriterTest, HeaderLayoutBytes) {
  const Bytes expected = {0x02, 0x3D, 0xFF, 0xFF,  // magic
                          0,    0,    0,    0,     // unused
                          2,    0,    0,    0,     // count
                          8,    0,    0,    0,     // name block: end word and names
                          40,   0,    0,    0,     // "A" at 40
                          20,   0,    0,    0,     // its name at 16 + 20
                          41,   0,    0,    0,     // "b" at 41
                          14,   0,    0,    0,     // its name at 24 + 14
                          43,   0,    0,    0,     // end of the last member
                          'A',  0,    'b',  0,     // names
                          'z',  'X',  'Y'};        // data
  EXPECT_EQ(BuildPack({{"b", BytesOf("XY")}, {"A", BytesOf("z")}}, PackLayout::kHeader), expected);
}

TEST(PackWriterTest, PlainLayoutBytes) {
  const Bytes expected = {2,   0,   0,  0,                                           // count
                          42,  0,   0,  0, 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // "A" at 42
                          43,  0,   0,  0, 'b', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // "b" at 43
                          45,  0,   0,  0,  // end of the last member
                          'z', 'X', 'Y'};
  EXPECT_EQ(BuildPack({{"b", BytesOf("XY")}, {"A", BytesOf("z")}}, PackLayout::kPlain), expected);
}

// Names in the C runtime's case-insensitive order: '_' (0x5F) sorts before every lowered
// letter, although it sorts after upper-case ones byte by byte.
TEST(PackWriterTest, SortsNamesWithoutCase) {
  const Bytes bytes =
      BuildPack({{"ZETA", {}}, {"alpha", {}}, {"_u", {}}, {"Beta", {}}}, PackLayout::kPlain);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < 4; ++i) {
    names.emplace_back(reinterpret_cast<const char*>(&bytes[4 + 17 * i + 4]));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"_u", "alpha", "Beta", "ZETA"}));
}

TEST(PackWriterTest, RefusesNamesTheLayoutCannotHold) {
  EXPECT_THROW(BuildPack({{"abcdefghijklm", {}}}, PackLayout::kPlain), std::invalid_argument);
  EXPECT_NO_THROW(BuildPack({{"abcdefghijklm", {}}}, PackLayout::kHeader));
  EXPECT_THROW(BuildPack({{"", {}}}, PackLayout::kHeader), std::invalid_argument);
  EXPECT_THROW(BuildPack({{std::string("a\0b", 3), {}}}, PackLayout::kHeader),
               std::invalid_argument);
}

}  // namespace
