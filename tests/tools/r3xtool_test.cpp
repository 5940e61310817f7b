#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/tool_folder_test.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/file_bytes.h"
#include "tools/mkdata/pack_writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class R3xToolTest : public ToolFolderTest {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) const {
    folder_.Write(name, bytes);
    return Arg(name);
  }
};

TEST_F(R3xToolTest, ListsMembersInDirectoryOrderWithOffsetAndSize) {
  const std::string pack =
      Write("game.r3x", mkdata::BuildPack({{"Zed.bmp", Bytes(300, 1)}, {"a.wld", Bytes(7, 2)}},
                                          mkdata::PackLayout::kHeader));
  const CommandResult run = RunCommand(std::string(R3XTOOL_PATH) + " pack list " + pack);
  EXPECT_EQ(run.status, 0);
  // Header, directory and end word take 36 bytes, the names 14.
  EXPECT_EQ(run.out,
            "member                       offset       size\n"
            "a.wld                            50          7\n"
            "Zed.bmp                          57        300\n");
}

TEST_F(R3xToolTest, ExtractsAMemberByAnyCase) {
  const Bytes data = {'w', 'o', 'r', 'l', 'd', 0, 0xFF};
  const std::string pack = Write(
      "game.r3x", mkdata::BuildPack({{"a.wld", data}, {"b", {}}}, mkdata::PackLayout::kPlain));
  EXPECT_EQ(
      RunCommand(std::string(R3XTOOL_PATH) + " pack extract " + pack + " A.WLD " + Arg("out.wld"))
          .status,
      0);
  EXPECT_EQ(mkdata::ReadFileBytes(Path("out.wld")), data);
}

TEST_F(R3xToolTest, DamagedOrMissingDataExitsWithOne) {
  Bytes damaged = mkdata::BuildPack({{"a", Bytes(4, 1)}}, mkdata::PackLayout::kPlain);
  damaged[4] = 0xF0;  // the member's data offset lies past the file
  const std::string bad = Write("bad.r3x", damaged);
  const std::string good =
      Write("good.r3x", mkdata::BuildPack({{"a", {}}}, mkdata::PackLayout::kPlain));
  const std::string tool = R3XTOOL_PATH;
  const std::vector<std::string> commands = {
      tool + " pack list " + Write("junk.r3x", Bytes(3, 0)),
      tool + " pack list " + Arg("none.r3x"),
      tool + " pack list " + bad,
      tool + " pack extract " + bad + " a " + Arg("out"),
      tool + " pack extract " + good + " missing " + Arg("out"),
  };
  for (const std::string& command : commands) {
    EXPECT_EQ(RunCommand(command).status, 1) << command;
  }
  EXPECT_EQ(RunCommand(tool + " pack frobnicate " + good).status, 2);
}

// A map of two columns and one row: column 0 (at +x, printed first) flat at 0, column 1 a deck at
// 20 over a second layer; the counts, the ceiling and the picture follow.
TEST_F(R3xToolTest, AmpShowsSizeLayerCountsAndGround) {
  mkdata::AmpMap map;
  map.width = 2;
  map.height = 1;
  map.scale = 3;
  map.top[0] = 100.0f;
  map.top[1] = 10.0f;
  map.base[1] = 20.0f;
  map.cells = {mkdata::AmpCell{1, {{0, 0, 0, 0}}},
               mkdata::AmpCell{2, {{0, 0, 1, 0}, {0, 1, 0, 0}}}};
  const std::string file = Write("arena.amp", mkdata::EncodeArenaMap(map));
  const CommandResult run = RunCommand(std::string(R3XTOOL_PATH) + " amp " + file);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Path("arena.amp") +
                         ": 2 x 1 cells, height scale 3, ceiling 48.0\n"
                         "1 cells with 1 layer\n"
                         "1 cells with 2 layers\n"
                         "ground from 0.00 to 20.00, one character per 1 x 1 cells\n"
                         "09\n");
  Bytes cut = mkdata::EncodeArenaMap(map);
  cut.pop_back();
  EXPECT_EQ(RunCommand(std::string(R3XTOOL_PATH) + " amp " + Write("cut.amp", cut)).status, 1);
  EXPECT_EQ(RunCommand(std::string(R3XTOOL_PATH) + " amp").status, 2);
}

// Standard output and error: the parser's message boxes are kept off both.
CommandResult RunWorld(const std::string& arguments) {
  return RunCommand(std::string(R3XTOOL_PATH) + " world " + arguments);
}

TEST_F(R3xToolTest, WorldPrintsTheFirstErrorOnceWithFileAndLine) {
  // Long enough not to be taken for a precompiled world cut short.
  const std::string text = "\n\n~\n~\n// a text world file with two faults\n";
  mkdata::WriteFileBytes(Path("bad.wld"), Bytes(text.begin(), text.end()));
  const CommandResult bad = RunWorld(Arg("bad.wld"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, Path("bad.wld") + ":3: ascii scanner: illegal character in file\n");

  const CommandResult missing = RunWorld(Arg("none.wld"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out,
            "r3xtool: cannot open " + Path("none.wld") + ": No such file or directory\n");
}

TEST_F(R3xToolTest, WorldCountsTheObjectsOfAGoodWorld) {
  const std::string light =
      "LIGHTDEFINITION TAG lamp NUMFRAMES 1 LIGHTLEVELS 1.0 ENDLIGHTDEFINITION\n";
  mkdata::WriteFileBytes(Path("good.wld"), Bytes(light.begin(), light.end()));
  const CommandResult precompiled = RunWorld("arenapc.wld '" + std::string(ARENA_DEMO_PACK) + "'");
  EXPECT_EQ(precompiled.status, 0);
  EXPECT_EQ(precompiled.out.rfind("form: precompiled\n", 0), 0u) << precompiled.out;
  EXPECT_NE(precompiled.out.find("regions: 5\n"), std::string::npos) << precompiled.out;
  const CommandResult good = RunWorld(Arg("good.wld"));
  EXPECT_EQ(good.status, 0);
  EXPECT_NE(good.out.find("light definitions: 1\n"), std::string::npos) << good.out;
  // No error line before the form and the counts.
  EXPECT_EQ(good.out.rfind("form: text\nsphere list definitions: 0\n", 0), 0u) << good.out;
}

TEST_F(R3xToolTest, MkdataPacksFilesUnderTheirBaseNames) {
  folder_.Write("Sky.bmp", Bytes(5, 9));
  folder_.Write("arena.wld", Bytes(2, 8));
  ASSERT_EQ(RunCommand(std::string(MKDATA_PATH) + " pack --layout 2 " + Arg("p.r3x") + " " +
                       Arg("Sky.bmp") + " " + Arg("arena.wld"))
                .status,
            0);
  EXPECT_EQ(mkdata::ReadFileBytes(Path("p.r3x")),
            mkdata::BuildPack({{"Sky.bmp", Bytes(5, 9)}, {"arena.wld", Bytes(2, 8)}},
                              mkdata::PackLayout::kPlain));
  EXPECT_EQ(RunCommand(std::string(MKDATA_PATH) + " pack --layout 3 " + Arg("p.r3x")).status, 2);
}

}  // namespace
