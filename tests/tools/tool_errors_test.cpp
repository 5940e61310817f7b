// The tools refuse bad input before they write anything, name what is wrong, and say it once.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/r3x.h"
#include "tests/support/scoped_environment.h"
#include "tests/tools/tool_folder_test.h"

namespace {

// A text world whose fourth line holds a character no world file may hold.
constexpr char kBadWorld[] = "BEGINFILE 1\nQZVWORLD small_world\nNUMVERTICES 1\nXYZ 0.0 ( 0.0\n";
// A text world whose one texture names a bitmap that is nowhere.
constexpr char kWorldWithLostBitmap[] =
    "// one texture\n\n"
    "SIMPLESPRITEDEF SIMPLESPRITETAG lost_tex NUMFRAMES 1 FRAME \"lost.bmp\" lost_bmp "
    "ENDSIMPLESPRITEDEF\n";

// Two rooms with a visible list each, whose precompiled form has visibility data to write.
constexpr char kRooms[] =
    "QZVWORLD rooms\n"
    "NUMVERTICES 6\n"
    "XYZ 0.0 0.0 0.0 XYZ 10.0 0.0 0.0 XYZ 20.0 0.0 0.0\n"
    "XYZ 0.0 10.0 0.0 XYZ 10.0 10.0 0.0 XYZ 20.0 10.0 0.0\n"
    "NUMREGIONS 2\n"
    "REGION 1 REGIONTAG west NUMRENDERVERTICES 6 NUMWALLS 1\n"
    "  WALL 1 FLOOR NUMVERTICES 4 VERTEXLIST 1 4 5 2 RENDERMETHOD SOLIDFILL ENDWALL 1\n"
    "  NUMOBSTACLES 2 NUMCUTTINGOBSTACLES 1\n"
    "  OBSTACLE 1 GEOMETRYCUTTINGOBSTACLE XY_LINE 0 5 2 NEXTREGION 2 ENDOBSTACLE 1\n"
    "  OBSTACLE 2 PLANE 0 1 NEXTREGION 0 FLOOR ENDOBSTACLE 2\n"
    "  VISTREE NUMVISNODE 1 NUMVISLIST 1\n"
    "  VISNODE 1 NORMALABCD 0.0 0.0 0.0 0.0 VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 ENDVISNODE 1\n"
    "  VISIBLELIST 1 RANGE 2 1 2 ENDVISIBLELIST 1 ENDVISTREE\n"
    "ENDREGION 1\n"
    "REGION 2 REGIONTAG east NUMRENDERVERTICES 6 NUMWALLS 1\n"
    "  WALL 1 FLOOR NUMVERTICES 4 VERTEXLIST 2 5 6 3 RENDERMETHOD SOLIDFILL ENDWALL 1\n"
    "  NUMOBSTACLES 1 NUMCUTTINGOBSTACLES 0\n"
    "  OBSTACLE 1 XY_LINE 0 2 5 NEXTREGION 1 ENDOBSTACLE 1\n"
    "  VISTREE NUMVISNODE 1 NUMVISLIST 1\n"
    "  VISNODE 1 NORMALABCD 0.0 0.0 0.0 0.0 VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 ENDVISNODE 1\n"
    "  VISIBLELIST 1 RANGE 1 2 ENDVISIBLELIST 1 ENDVISTREE\n"
    "  SPHERE 15.0 5.0 0.0 8.0\n"
    "ENDREGION 2\n"
    "WORLDTREE NUMWORLDNODES 3\n"
    "  WORLDNODE 1 NORMALABCD 1.0 0.0 0.0 -10.0 WORLDREGIONTAG 0 FRONTTREE 2 BACKTREE 3 "
    "ENDWORLDNODE 1\n"
    "  WORLDNODE 2 NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG 2 FRONTTREE 0 BACKTREE 0 ENDWORLDNODE "
    "2\n"
    "  WORLDNODE 3 NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG 1 FRONTTREE 0 BACKTREE 0 ENDWORLDNODE "
    "3\n"
    "ENDWORLDTREE\n"
    "ENDWORLD rooms\n";

class ToolErrorsTest : public ToolFolderTest {
 protected:
  void WriteText(const std::string& name, const std::string& text) const {
    folder_.Write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(Path(name)); }
};

TEST_F(ToolErrorsTest, AbsurdBitmapSizeIsRefusedByName) {
  const CommandResult run =
      RunCommand(std::string(MKDATA_PATH) + " bmp " + Arg("big.bmp") + " 4000000000 4000000000");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out,
            "mkdata bmp: WIDTH x HEIGHT 4000000000 x 4000000000 is more than 67108864 pixels\n");
  const CommandResult word =
      RunCommand(std::string(MKDATA_PATH) + " bmp " + Arg("big.bmp") + " 64 sixty");
  EXPECT_EQ(word.status, 2);
  EXPECT_EQ(word.out, "mkdata bmp: HEIGHT \"sixty\" is not a number from 1 to 4294967295\n");
  EXPECT_FALSE(Exists("big.bmp"));
}

TEST_F(ToolErrorsTest, PackWithTwoMembersOfOneNameIsRefused) {
  WriteText("a.txt", "one");
  std::filesystem::create_directory(Path("other"));
  WriteText("other/A.TXT", "two");
  const CommandResult run = RunCommand(std::string(MKDATA_PATH) + " pack " + Arg("p.r3x") + " " +
                                       Arg("a.txt") + " " + Arg("other/A.TXT"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "mkdata pack: " + Path("a.txt") + " and " + Path("other/A.TXT") +
                         " would both be the member \"A.TXT\"\n");
  EXPECT_FALSE(Exists("p.r3x"));
}

TEST_F(ToolErrorsTest, BinaryWorldOfAFileWithASyntaxErrorFailsOnce) {
  WriteText("bad.wld", kBadWorld);
  const CommandResult run =
      RunCommand(std::string(MKDATA_PATH) + " wld-binary " + Arg("bad.wld") + " " + Arg("bad.bwl"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "mkdata: " + Path("bad.wld") + ": line 4: illegal character\n");
  EXPECT_FALSE(Exists("bad.bwl"));
}

// Every input that is no readable file is named with the reason, never as a damaged file.
TEST_F(ToolErrorsTest, FolderOrMissingFileIsNamedWithItsReason) {
  std::filesystem::create_directory(Path("folder"));
  const std::string folder = "cannot open " + Path("folder") + ": it is a folder, not a file\n";
  const std::string missing = "cannot open " + Path("none") + ": No such file or directory\n";
  const std::string mkdata = MKDATA_PATH;
  const std::string r3xtool = R3XTOOL_PATH;
  const struct {
    std::string command;
    int status;
    std::string out;
  } cases[] = {
      {std::string(TESTSERVER_PATH) + " --script " + Arg("folder"), 2, "testserver: " + folder},
      {mkdata + " wld-binary " + Arg("folder") + " " + Arg("out"), 1, "mkdata: " + folder},
      {mkdata + " wld-binary " + Arg("none") + " " + Arg("out"), 1, "mkdata: " + missing},
      {mkdata + " pack " + Arg("out") + " " + Arg("folder"), 1, "mkdata: " + folder},
      {mkdata + " wld-precompiled --pack " + Arg("none") + " a.wld " + Arg("out"), 1,
       "mkdata: " + missing},
      {r3xtool + " world " + Arg("folder"), 1, "r3xtool: " + folder},
      {r3xtool + " world " + Arg("none"), 1, "r3xtool: " + missing},
      {r3xtool + " bmp " + Arg("none"), 1, "r3xtool: " + missing},
      {r3xtool + " pack list " + Arg("folder"), 1, "r3xtool: " + folder},
  };
  for (const auto& c : cases) {
    const CommandResult run = RunCommand(c.command);
    EXPECT_EQ(run.status, c.status) << c.command;
    EXPECT_EQ(run.out, c.out) << c.command;
  }
  EXPECT_FALSE(Exists("out"));
}

// The visibility data goes beside OUT under the name the engine looks it up by; an OUT name the
// engine finds no ".VIS" member for is refused before anything is written.
TEST_F(ToolErrorsTest, PrecompiledVisibilityDataIsNamedAsTheReaderLooksItUp) {
  WriteText("rooms.wld", kRooms);
  const struct {
    const char* out;
    // The visibility file written, or null when the name is refused.
    const char* vis;
  } cases[] = {
      {"arena1.wld", "arena1.VIS"},       {"a.b.wld", "a.VIS"},
      {"abcdefghi.wld", "abcdefghi.VIS"}, {"abcdefghij.wld", nullptr},
      {"averylongname.wld", nullptr},     {"noextension", nullptr},
  };
  for (const auto& c : cases) {
    const CommandResult run = RunCommand(std::string(MKDATA_PATH) + " wld-precompiled --vis " +
                                         Arg("rooms.wld") + " " + Arg(c.out));
    if (c.vis == nullptr) {
      EXPECT_EQ(run.status, 1) << c.out;
      EXPECT_EQ(run.out, "mkdata: the world file name \"" + std::string(c.out) +
                             "\" has no '.' among its first ten characters, so the reader "
                             "would find no \".VIS\" member for it\n");
      EXPECT_FALSE(Exists(c.out)) << c.out;
      continue;
    }
    ASSERT_EQ(run.status, 0) << c.out << ": " << run.out;
    ASSERT_TRUE(Exists(c.vis)) << c.out;
    // Packed together, the world loads with its visibility data.
    ASSERT_EQ(RunCommand(std::string(MKDATA_PATH) + " pack " + Arg("rooms.r3x") + " " + Arg(c.out) +
                         " " + Arg(c.vis))
                  .status,
              0);
    r3xInit();
    R3xWad* pack = r3xOpenWad(Path("rooms.r3x").c_str(), 4);
    R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
    EXPECT_EQ(r3xLoadWorldFile(c.out, world, pack, nullptr, nullptr, nullptr), 0) << c.out;
    EXPECT_EQ(world->regions.count, 2u) << c.out;
    r3xDestroyWorld(world);
    r3xCloseWad(pack);
    r3xShutdown();
  }
}

TEST_F(ToolErrorsTest, WorldErrorIsPrintedOnce) {
  WriteText("bad.wld", kBadWorld);
  const CommandResult run = RunCommand(std::string(R3XTOOL_PATH) + " world " + Arg("bad.wld"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, Path("bad.wld") + ":4: ascii scanner: illegal character in file\n");
}

TEST_F(ToolErrorsTest, LostBitmapSaysWhereItWasLookedFor) {
  WriteText("lost.wld", kWorldWithLostBitmap);
  const std::string command = "cd " + Arg("") + " && " + R3XTOOL_PATH + " world lost.wld";
  const std::string error =
      "lost.wld:3: cannot define FRAME lost_bmp from bitmap lost.bmp in BMP file\n";
  {
    test_support::ScopedEnvironment path("WLDPATH", "/nonexistent/a;/nonexistent/b");
    const CommandResult run = RunCommand(command);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, error +
                           "r3xtool: bitmap lost.bmp is not in the working folder nor along "
                           "WLDPATH=/nonexistent/a;/nonexistent/b\n");
  }
  test_support::ScopedEnvironment path("WLDPATH", nullptr);
  EXPECT_EQ(RunCommand(command).out,
            error +
                "r3xtool: bitmap lost.bmp is not in the working folder, and WLDPATH is not "
                "set\n");
}

}  // namespace
