// The token source: scanner choice, include files from archives, the working folder and the
// search path, their nesting limit, and the end of an include file.
#include "engine/world/token_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/wad.h"
#include "engine/world/keyword_table.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/world_binary_writer.h"
#include "world_fixture.h"

namespace {

using test_support::ScopedEnvironment;
using test_support::ScopedWorkingFolder;
using test_support::ScratchFolder;
using world_test::Integer;
using world_test::Keyword;
using world_test::Scan;
using world_test::TakeMessages;
using world_test::Text;
using world_test::Token;

constexpr std::int32_t kInclude = 228;

Token Name(const std::string& name) { return Text(R3X_TOKEN_NAME, name); }
Token String(const std::string& text) { return Text(R3X_TOKEN_STRING, text); }

std::vector<std::uint8_t> BytesOf(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

class TokenSourceTest : public testing::Test {
 protected:
  void SetUp() override { TakeMessages(); }

  ScratchFolder folder_;
};

// The token after an include file's last token is the includer's next one, whichever form
// each file has.
TEST_F(TokenSourceTest, IncludeFilesAreTransparent) {
  const std::string main = folder_.Write(
      "main.wld", "A INCLUDE \"" + folder_.Path().string() + "/mid.wlb\" B ENDFILE C");
  folder_.Write("mid.wld", "M1 INCLUDE \"" + folder_.Path().string() + "/leaf.wld\" M2");
  folder_.Write("mid.wlb", mkdata::EncodeBinaryWorld(folder_ / "mid.wld"));
  folder_.Write("leaf.wld", "L1 ENDFILE L2");
  Scan scan(main);
  EXPECT_EQ(scan.All(),
            (std::vector<Token>{Name("A"), Keyword(kInclude),
                                String(folder_.Path().string() + "/mid.wlb"), Name("M1"),
                                Keyword(kInclude), String(folder_.Path().string() + "/leaf.wld"),
                                Name("L1"), Name("M2"), Name("B")}));
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(scan.source()->includeDepth, 0);
}

TEST_F(TokenSourceTest, OverflowEndsOnlyTheIncludeFileAndIsCounted) {
  const std::string main = folder_.Write("main.wld", "A INCLUDE inc B");
  const std::string inc = folder_.Write("inc", "I\n" + std::string(1025, 'x') + " J");
  ScopedWorkingFolder here(folder_.Path());
  Scan scan(main);
  EXPECT_EQ(scan.All(),
            (std::vector<Token>{Name("A"), Keyword(kInclude), Name("inc"), Name("I"), Name("B")}));
  EXPECT_EQ(TakeMessages(),
            std::vector<std::string>{"lex: Token buffer overflow\nfile: inc\nline: 2\n"});
  EXPECT_EQ(scan.context()->errorCount, 1);
}

TEST_F(TokenSourceTest, MessagesNameTheFileTheyComeFrom) {
  const std::string main = folder_.Write("main.wld", "INCLUDE inc\n~");
  folder_.Write("inc", "\n\n~");
  ScopedWorkingFolder here(folder_.Path());
  Scan scan(main);
  scan.All();
  EXPECT_EQ(TakeMessages(),
            (std::vector<std::string>{
                "ascii scanner: illegal character in file\nfile: inc\nline: 3\n",
                "ascii scanner: illegal character in file\nfile: " + main + "\nline: 2\n"}));
}

struct SniffCase {
  const char* name;
  std::string bytes;
  std::vector<Token> tokens;
};

class TokenSourceSniffing : public TokenSourceTest,
                            public testing::WithParamInterface<SniffCase> {};

TEST_P(TokenSourceSniffing, ChoosesTheScannerByTheFirstSixBytes) {
  Scan scan(folder_.Write("w.wld", GetParam().bytes));
  EXPECT_EQ(scan.All(), GetParam().tokens);
  EXPECT_TRUE(TakeMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, TokenSourceSniffing,
    testing::Values(SniffCase{"Binary",
                              std::string("\x02\x3D\x4B\x00\x46\x01\x49\x08\x05", 9),
                              {Keyword(73), Integer(5)}},
                    SniffCase{"ShorterThanTheSignature", "X 1", {Name("X"), Integer(1)}},
                    SniffCase{"Text", "NUMVERTICES 5", {Keyword(73), Integer(5)}},
                    SniffCase{"Empty", "", {}}),
    [](const testing::TestParamInfo<SniffCase>& info) { return std::string(info.param.name); });

// Without an archive: the working folder first, then each folder of the search path.
TEST_F(TokenSourceTest, FindsIncludeFilesInTheWorkingFolderThenAlongWldpath) {
  ScratchFolder other;
  const std::string main = folder_.Write("main.wld", "INCLUDE \"inc.wld\" Z");
  other.Write("deep/inc.wld", "FROM_PATH");
  const std::vector<Token> found = {Keyword(kInclude), String("inc.wld"), Name("FROM_PATH"),
                                    Name("Z")};
  {
    // Both separators: ':' and the original ';'.
    const std::string path =
        "/nonexistent:" + other.Path().string() + "/x;" + other.Path().string() + "/deep";
    ScopedEnvironment wldpath("WLDPATH", path.c_str());
    Scan scan(main, nullptr, nullptr);
    EXPECT_EQ(scan.All(), found);
    EXPECT_TRUE(TakeMessages().empty());
  }
  {
    const std::string path = (other.Path() / "deep").string();
    ScopedEnvironment wldpath("WLDPATH", nullptr);
    Scan scan(main, nullptr, path.c_str());
    EXPECT_EQ(scan.All(), found);
  }
  {
    folder_.Write("inc.wld", "FROM_HERE");
    ScopedWorkingFolder here(folder_.Path());
    const std::string path = (other.Path() / "deep").string();
    ScopedEnvironment wldpath("WLDPATH", path.c_str());
    Scan scan(main, nullptr, nullptr);
    EXPECT_EQ(scan.All(), (std::vector<Token>{Keyword(kInclude), String("inc.wld"),
                                              Name("FROM_HERE"), Name("Z")}));
  }
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(TokenSourceTest, IncludeFileNotFoundFailsWithItsMessage) {
  ScratchFolder other;
  other.Write("inc.wld", "X");
  const std::string main = folder_.Write("main.wld", "A\nINCLUDE \"inc.wld\" Z");
  const std::string message = "could not open include file: inc.wld\nfile: " + main + "\nline: 2\n";
  const std::string tooLong = other.Path().string() + ":" + std::string(300, 'p');
  for (const char* wldpath : {static_cast<const char*>(nullptr), "/nonexistent",
                              static_cast<const char*>(tooLong.c_str())}) {
    ScopedEnvironment variable("WLDPATH", wldpath);
    Scan scan(main, nullptr, nullptr);
    EXPECT_EQ(scan.All(), (std::vector<Token>{Name("A"), Keyword(kInclude), String("inc.wld")}));
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{message});
    EXPECT_EQ(scan.context()->errorCount, 1);
  }
}

// Inside an archive, include files are archive members only.
TEST_F(TokenSourceTest, ArchiveIncludesComeOnlyFromTheArchive) {
  const std::string pack =
      folder_.Write("world.r3x", mkdata::BuildPack({{"main.wld", BytesOf("INCLUDE inc Z")},
                                                    {"inc", BytesOf("IN_PACK")},
                                                    {"other.wld", BytesOf("INCLUDE disk Y")}},
                                                   mkdata::PackLayout::kHeader));
  folder_.Write("disk", "ON_DISK");
  ScopedWorkingFolder here(folder_.Path());
  const std::string path = folder_.Path().string();
  ScopedEnvironment wldpath("WLDPATH", path.c_str());
  R3xWad* wad = r3xOpenWad(pack.c_str(), 4);
  ASSERT_NE(wad, nullptr);
  {
    Scan scan("main.wld", wad, nullptr);
    EXPECT_EQ(scan.All(),
              (std::vector<Token>{Keyword(kInclude), Name("inc"), Name("IN_PACK"), Name("Z")}));
    EXPECT_TRUE(TakeMessages().empty());
  }
  {
    Scan scan("other.wld", wad, nullptr);
    EXPECT_EQ(scan.All(), (std::vector<Token>{Keyword(kInclude), Name("disk")}));
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{
                                  "could not open include file: disk\nfile: other.wld\nline: 1\n"});
  }
  r3xCloseWad(wad);
}

TEST_F(TokenSourceTest, FileIncludingItselfStopsAtTheNestingLimit) {
  const std::string self = folder_.Write("self.wld", "S INCLUDE \"self.wld\"");
  ScopedWorkingFolder here(folder_.Path());
  Scan scan("self.wld");
  const std::vector<Token> tokens = scan.All();
  EXPECT_EQ(tokens.size(), 3u * (R3X_MAX_INCLUDE_DEPTH + 1));
  EXPECT_EQ(scan.source()->includeDepth, R3X_MAX_INCLUDE_DEPTH);
  EXPECT_EQ(TakeMessages(),
            std::vector<std::string>{
                "include files nested more than 32 deep: self.wld\nfile: self.wld\nline: 1\n"});
  EXPECT_EQ(scan.context()->errorCount, 1);
}

TEST_F(TokenSourceTest, SearchPathIsTakenFromWldpathOnlyWhenItFits) {
  const std::string main = folder_.Write("main.wld", "A");
  const std::string longest(R3X_WLDPATH_SIZE - 1, 'p');
  struct Case {
    std::string value;
    const char* path;
  };
  for (const Case& c : {Case{"/a:/b", "/a:/b"}, Case{longest, longest.c_str()},
                        Case{longest + "p", nullptr}, Case{"", nullptr}}) {
    ScopedEnvironment wldpath("WLDPATH", c.value.c_str());
    Scan scan(main, nullptr, nullptr);
    ASSERT_NE(scan.source(), nullptr);
    if (c.path == nullptr) {
      EXPECT_EQ(scan.source()->path, nullptr);
    } else {
      EXPECT_STREQ(scan.source()->path, c.path);
    }
  }
}

}  // namespace
