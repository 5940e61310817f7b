#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/tool_folder_test.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/file_bytes.h"
#include "tools/mkdata/pack_writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class BmpToolsTest : public ToolFolderTest {};

TEST_F(BmpToolsTest, MkdataWritesAnImageAndItsLevelsThatR3xtoolReads) {
  ASSERT_EQ(
      RunCommand(std::string(MKDATA_PATH) + " bmp --levels 3 " + Path("sky.bmp") + " 64 32").status,
      0);
  EXPECT_EQ(mkdata::ReadFileBytes(Path("sky.bmp")),
            mkdata::BuildBmp(mkdata::MakePatternImage(64, 32, 256)));
  EXPECT_EQ(mkdata::ReadFileBytes(Path("sky_2.bmp")),
            mkdata::BuildBmp(
                mkdata::HalveImage(mkdata::HalveImage(mkdata::MakePatternImage(64, 32, 256)))));
  const CommandResult run = RunCommand(std::string(R3XTOOL_PATH) + " bmp " + Path("sky.bmp"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "width 64\nheight 32\nbit count 8\ncolours 256\nlevels 3\npixel bytes 2688\n");
}

TEST_F(BmpToolsTest, R3xtoolReadsAPackMemberWithItsLevels) {
  const mkdata::BmpImage image = mkdata::MakePatternImage(8, 8, 16);
  folder_.Write("Equip.r3x",
                mkdata::BuildPack({{"moon.bmp", mkdata::BuildBmp(image, mkdata::BmpHeader::kCore)},
                                   {"moon_1.bmp", mkdata::BuildBmp(mkdata::HalveImage(image))}},
                                  mkdata::PackLayout::kHeader));
  const CommandResult run =
      RunCommand(std::string(R3XTOOL_PATH) + " bmp MOON.BMP " + Path("Equip.r3x"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "width 8\nheight 8\nbit count 8\ncolours 256\nlevels 2\npixel bytes 80\n");
}

TEST_F(BmpToolsTest, R3xtoolReportsTheReadersError) {
  Bytes bytes = mkdata::BuildBmp(mkdata::MakePatternImage(4, 4, 2));
  bytes[1] = 'A';
  folder_.Write("bad.bmp", bytes);
  const struct {
    std::string args;
    int status;
    std::string out;
  } cases[] = {
      {Path("bad.bmp"), 1,
       "r3xtool: " + Path("bad.bmp") + ": not a BMP file (it does not start with \"BM\")\n"},
      {Path("none.bmp"), 1,
       "r3xtool: cannot open " + Path("none.bmp") + ": No such file or directory\n"},
      {"", 2, "usage: r3xtool bmp FILE [PACK]\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const CommandResult run = RunCommand(std::string(R3XTOOL_PATH) + " bmp " + c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
  }
}

TEST_F(BmpToolsTest, MkdataRefusesBadBmpArguments) {
  for (const std::string args : {"bmp out.bmp 0 4", "bmp --colours 300 out.bmp 4 4",
                                 "bmp --core out.bmp 70000 1", "bmp out.bmp 4"}) {
    SCOPED_TRACE(args);
    EXPECT_EQ(RunCommand(std::string(MKDATA_PATH) + " " + args).status, 2);
  }
}

TEST(BmpWriterTest, CoreFilesHoldAFullColourTableAndLevelNamesKeepTheExtension) {
  const Bytes core = mkdata::BuildBmp(mkdata::MakePatternImage(3, 2, 2), mkdata::BmpHeader::kCore);
  // File header, core header, 256 three-byte colours, two rows of 4 bytes.
  EXPECT_EQ(core.size(), 14u + 12u + 768u + 8u);
  EXPECT_EQ(mkdata::MakeLevelFileName("tex/sky.bmp", 2), "tex/sky_2.bmp");
  EXPECT_THROW(mkdata::BuildBmp(mkdata::BmpImage{2, 2, {}, {0}}), std::invalid_argument);
}

}  // namespace
