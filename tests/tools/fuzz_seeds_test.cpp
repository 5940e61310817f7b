// mkdata's seeds for the precompiled-world fuzz target, made from precompiled world files: the
// ".VIS" flag, the visibility data's length in two bytes and its bytes, then the world after its
// signature.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/tools/tool_folder_test.h"
#include "tools/mkdata/file_bytes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class FuzzSeedsTest : public ToolFolderTest {
 protected:
  CommandResult Run(const std::string& arguments) const {
    return RunCommand(std::string(MKDATA_PATH) + " " + arguments);
  }
  Bytes Read(const std::string& name) const { return mkdata::ReadFileBytes(Path(name)); }
};

TEST_F(FuzzSeedsTest, PrecompiledWorldsBecomeSeedsWithTheirVisibilityData) {
  const std::string rooms = std::string("'") + ROOMS_AND_SHAPES_WORLD + "'";
  ASSERT_EQ(Run("wld-precompiled " + rooms + " " + Arg("plain.wld")).status, 0);
  ASSERT_EQ(Run("wld-precompiled --vis " + rooms + " " + Arg("split.wld")).status, 0);
  ASSERT_EQ(Run("fuzz-seeds " + rooms + " " + Arg("seeds") + " " + Arg("plain.wld") + " " +
                Arg("split.wld"))
                .status,
            0);
  for (const bool split : {false, true}) {
    const std::string name = split ? "split" : "plain";
    const Bytes world = Read(name + ".wld");
    const Bytes vis = split ? Read("split.VIS") : Bytes();
    ASSERT_FALSE(split && vis.empty());
    Bytes expected = {split ? std::uint8_t{1} : std::uint8_t{0},
                      static_cast<std::uint8_t>(vis.size() & 0xFF),
                      static_cast<std::uint8_t>(vis.size() >> 8)};
    expected.insert(expected.end(), vis.begin(), vis.end());
    expected.insert(expected.end(), world.begin() + 4, world.end());
    EXPECT_EQ(Read("seeds/world_precompiled_fuzz/" + name + ".wld"), expected) << name;
  }
}

TEST_F(FuzzSeedsTest, FileThatIsNoPrecompiledWorldIsRefused) {
  const std::string rooms = std::string("'") + ROOMS_AND_SHAPES_WORLD + "'";
  const CommandResult run = Run("fuzz-seeds " + rooms + " " + Arg("seeds") + " " + rooms);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            std::string("mkdata: ") + ROOMS_AND_SHAPES_WORLD + " is no precompiled world\n");
}

}  // namespace
