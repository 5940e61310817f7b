#include "host/update_installer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "temp_folder.h"

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
  void SetUp() override {
    ASSERT_FALSE(folder_.Path().empty());
    previous_ = fs::current_path();
    fs::current_path(folder_.Path());
  }
  void TearDown() override { fs::current_path(previous_); }

  static void Write(const std::string& name, const std::string& content) {
    std::ofstream(name, std::ios::binary) << content;
  }

  // Every file of the folder with its content; folders show as "<folder>".
  std::map<std::string, std::string> Contents() const {
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_.Path())) {
      const std::string name = entry.path().filename().string();
      if (entry.is_directory()) {
        contents[name] = "<folder>";
      } else {
        std::ostringstream text;
        text << std::ifstream(entry.path(), std::ios::binary).rdbuf();
        contents[name] = text.str();
      }
    }
    return contents;
  }

  TempFolder folder_;
  fs::path previous_;
};

TEST_F(UpdateInstallerTest, InstallsEveryPendingFileAndLeavesTheRest) {
  const std::map<std::string, std::string> before{
      {"run.ex_", "new run"},   {"run.exe", "old run"},  {"RUN.EX_", "capitals"},
      {"index_dl_", "index"},   {"tex_file.bm_", "bmp"}, {"notes_", "notes"},
      {"battle.dl_", "battle"}, {"game.r3_", "pack"},    {"readme.tx_", "text"},
      {"tanks.da_", "data"},    {"keep.dll", "keep"},
  };
  for (const auto& [name, content] : before) {
    Write(name, content);
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
  Write("battle.dll/inside", "kept");
  Write("battle.dl_", "new");
  InstallPendingUpdates();
  EXPECT_EQ(Contents(), (std::map<std::string, std::string>{{"battle.dll", "<folder>"},
                                                            {"battle.dl_", "new"}}));
  EXPECT_TRUE(fs::exists("battle.dll/inside"));
}

}  // namespace
