#include "host/update_installer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

struct NameCase {
  const char* name;
  const char* installed;  // null: not pending
};

class InstalledNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(InstalledNameTest, ExtensionPatternDecides) {
  const NameCase& c = GetParam();
  const std::optional<std::string> installed = InstalledName(c.name);
  if (c.installed == nullptr) {
    EXPECT_FALSE(installed.has_value()) << *installed;
  } else {
    ASSERT_TRUE(installed.has_value());
    EXPECT_EQ(*installed, c.installed);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, InstalledNameTest,
    ::testing::Values(NameCase{"battle.dl_", "battle.dll"}, NameCase{"run.ex_", "run.exe"},
                      NameCase{"game.r3_", "game.r3x"}, NameCase{"sky.bm_", "sky.bmp"},
                      NameCase{"notes.tx_", "notes.txt"}, NameCase{"tanks.da_", "tanks.dat"},
                      NameCase{"index_dl_", "index_dll"}, NameCase{"tex_file.bm_", "tex_file.bmp"},
                      NameCase{"dl_", "dll"}, NameCase{"RUN.EX_", nullptr},
                      NameCase{"notes_", nullptr}, NameCase{"battle.dl_.bak", nullptr},
                      NameCase{"l_", nullptr}, NameCase{"", nullptr}));

// The installer works in the working folder: each case runs in a fresh one.
class UpdateInstallerTest : public ::testing::Test {
 protected:
  // Every file of the folder with its content; folders show as "<folder>".
  std::map<std::string, std::string> Contents() const {
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_.Path())) {
      const std::string name = entry.path().filename().string();
      if (entry.is_directory()) {
        contents[name] = "<folder>";
      } else {
        contents[name] = test_support::ReadTestFile(entry.path());
      }
    }
    return contents;
  }

  test_support::ScratchFolder folder_;
  test_support::ScopedWorkingFolder working_{folder_.Path()};
};

TEST_F(UpdateInstallerTest, InstallsEveryPendingFileAndLeavesTheRest) {
  const std::map<std::string, std::string> before{
      {"run.ex_", "new run"},   {"run.exe", "old run"},  {"RUN.EX_", "capitals"},
      {"index_dl_", "index"},   {"tex_file.bm_", "bmp"}, {"notes_", "notes"},
      {"battle.dl_", "battle"}, {"game.r3_", "pack"},    {"readme.tx_", "text"},
      {"tanks.da_", "data"},    {"keep.dll", "keep"},
  };
  for (const auto& [name, content] : before) {
    folder_.Write(name, content);
  }
  InstallPendingUpdates();
  const std::map<std::string, std::string> after{
      {"run.exe", "new run"},  {"RUN.EX_", "capitals"}, {"index_dll", "index"},
      {"tex_file.bmp", "bmp"}, {"notes_", "notes"},     {"battle.dll", "battle"},
      {"game.r3x", "pack"},    {"readme.txt", "text"},  {"tanks.dat", "data"},
      {"keep.dll", "keep"},
  };
  EXPECT_EQ(Contents(), after);
}

TEST_F(UpdateInstallerTest, EmptyFolderIsNoFailure) {
  InstallPendingUpdates();
  EXPECT_TRUE(Contents().empty());
}

TEST_F(UpdateInstallerTest, FolderWithAPendingNameIsLeftAlone) {
  fs::create_directory("maps.dl_");
  InstallPendingUpdates();
  EXPECT_EQ(Contents(), (std::map<std::string, std::string>{{"maps.dl_", "<folder>"}}));
}

TEST_F(UpdateInstallerTest, FailedRenameLeavesBothNamesAsTheyWere) {
  // A file cannot replace a folder that holds something.
  fs::create_directory("battle.dll");
  folder_.Write("battle.dll/inside", "kept");
  folder_.Write("battle.dl_", "new");
  InstallPendingUpdates();
  EXPECT_EQ(Contents(), (std::map<std::string, std::string>{{"battle.dll", "<folder>"},
                                                            {"battle.dl_", "new"}}));
  EXPECT_TRUE(fs::exists("battle.dll/inside"));
}

}  // namespace
