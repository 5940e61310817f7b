#include "battle/screens/configuration_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "base/byte_writer.h"
#include "battle/core/log.h"
#include "battle/screens/design_screen.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// A file of the right size whose every record entry is its own word index, so that a record
// read from a wrong place shows it.
std::vector<std::uint8_t> NumberedFile() {
  arena::ByteWriter writer;
  writer.U32(kConfigurationMagic);
  for (std::uint32_t word = 0; word < (kConfigurationFileSize - 4) / 4; ++word) {
    writer.U32(word % 40 == 9 || word % 40 == 10 ? 1 : word % 40);
  }
  return writer.Take();
}

class ConfigurationFileTest : public ::testing::Test {
 protected:
  ConfigurationFileTest() : working_(folder_.Path()) {}

  std::vector<std::uint8_t> File() const { return Bytes(test_support::ReadTestFile("config.dat")); }
  void Write(const std::vector<std::uint8_t>& bytes) const {
    test_support::WriteTestFile(folder_ / "config.dat", bytes);
  }

  test_support::ScratchFolder folder_;
  test_support::ScopedWorkingFolder working_;
  CDesignScreen screen_;
};

TEST_F(ConfigurationFileTest, AMissingFileIsMadeWithTheMagicAndZeros) {
  screen_.CheckOrCreateConfigurations();
  const std::vector<std::uint8_t> file = File();
  ASSERT_EQ(file.size(), 3604u);
  EXPECT_EQ(file[0], 0xEF);
  EXPECT_EQ(file[3], 0xDE);
  EXPECT_EQ(std::count(file.begin() + 4, file.end(), 0), 3600);
  // A good file is left as it is.
  Write(NumberedFile());
  screen_.CheckOrCreateConfigurations();
  EXPECT_EQ(File(), NumberedFile());
}

TEST_F(ConfigurationFileTest, AFileWithoutTheMagicIsKeptAsBadAndReplacedByAnEmptyOne) {
  const std::vector<std::uint8_t> bigEndian = {0xDE, 0xAD, 0xBE, 0xEF, 1, 0, 0, 0};
  for (const std::vector<std::uint8_t>& damaged :
       {bigEndian, std::vector<std::uint8_t>{0xEF, 0xBE}}) {
    Write(damaged);
    OpenLog((folder_ / "arena.log").c_str());
    screen_.CheckOrCreateConfigurations();
    CloseLog();
    EXPECT_EQ(File(), EmptyConfigurationFile());
    EXPECT_EQ(Bytes(test_support::ReadTestFile("config.dat.bad")), damaged);
    EXPECT_NE(test_support::ReadTestFile("arena.log").find("kept as config.dat.bad"),
              std::string::npos);
  }
}

TEST_F(ConfigurationFileTest, LoadsReadTheirRecordWholeOrChangeNothing) {
  std::vector<std::uint8_t> numbered = NumberedFile();
  // Configuration C of chassis 4 at 844: an entry of an empty slot and one past the catalogue.
  arena::ByteWriter patched(numbered);
  patched.PatchU32(844, 38);
  patched.PatchU32(848, 200);
  patched.PatchU32(852, 44);
  patched.PatchU32(856, 37);
  numbered = patched.Take();
  Write(numbered);
  screen_.SetChassis(4);
  ASSERT_TRUE(screen_.LoadConfiguration(2));
  EXPECT_EQ(screen_.GetCurrentConfiguration(), 2);
  const Loadout loaded = screen_.GetStoredConfiguration();
  EXPECT_EQ(loaded[0], 0u);
  EXPECT_EQ(loaded[1], 0u);
  EXPECT_EQ(loaded[2], 0u);
  EXPECT_EQ(loaded[3], 37u);
  // Word (844 - 4) / 4 + 4 = 214: 214 % 40.
  EXPECT_EQ(loaded[4], 214u % 40);

  const struct {
    std::size_t size;
    int chassis;
    int configuration;
  } cut[] = {
      {4, 0, 0},         // only the magic
      {424 + 30, 2, 1},  // half of B of chassis 2
      {844 + 56, 4, 2},  // all but the last entry
  };
  for (const auto& c : cut) {
    Write(std::vector<std::uint8_t>(numbered.begin(), numbered.begin() + c.size));
    screen_.SetChassis(c.chassis);
    EXPECT_FALSE(screen_.LoadConfiguration(c.configuration)) << c.size;
    EXPECT_EQ(screen_.GetCurrentConfiguration(), 2);
    EXPECT_EQ(screen_.GetStoredConfiguration(), loaded) << c.size;
  }
  std::filesystem::remove(folder_ / "config.dat");
  EXPECT_FALSE(screen_.LoadConfiguration(0));
}

TEST_F(ConfigurationFileTest, SavingBOfChassis2WritesSixtyBytesAt424AndLoadsThemBack) {
  const std::vector<std::uint8_t> before = NumberedFile();
  Write(before);
  screen_.SetChassis(2);
  Loadout loadout{};
  loadout[0] = 11;
  loadout[1] = 12;
  loadout[14] = 39;
  screen_.GetLoadout() = loadout;
  EXPECT_FALSE(screen_.SaveConfiguration());  // no current configuration
  EXPECT_EQ(File(), before);

  screen_.SetCurrentConfiguration(1);
  ASSERT_TRUE(screen_.SaveConfiguration());
  const std::vector<std::uint8_t> after = File();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t offset = 0; offset < after.size(); ++offset) {
    if (offset < 424 || offset >= 484) {
      ASSERT_EQ(after[offset], before[offset]) << offset;
    }
  }
  EXPECT_EQ(after[424], 11);
  EXPECT_EQ(after[428], 12);
  EXPECT_EQ(after[480], 39);
  EXPECT_EQ(screen_.GetStoredConfiguration(), loadout);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "config.dat.new"));
}

TEST_F(ConfigurationFileTest, ASaveWhoseWriteFailsHalfWayLeavesTheOldFile) {
  const std::vector<std::uint8_t> before = NumberedFile();
  Write(before);
  screen_.SetChassis(2);
  screen_.SetCurrentConfiguration(1);
  screen_.GetLoadout().fill(20);
  // Files may not grow past the middle of B of chassis 2: the write fails there.
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit previous{};
  getrlimit(RLIMIT_FSIZE, &previous);
  rlimit limit = previous;
  limit.rlim_cur = 424 + 30;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const bool saved = screen_.SaveConfiguration();
  setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(saved);
  EXPECT_EQ(File(), before);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "config.dat.new"));
}

TEST(ConfigurationRecordTest, RecordsLieWhereTheirChassisAndConfigurationPutThem) {
  std::vector<std::uint8_t> file = EmptyConfigurationFile();
  Loadout loadout{};
  loadout.fill(33);
  for (int chassis = 0; chassis < kConfigurationChassisRoom; ++chassis) {
    for (int configuration = 0; configuration < kConfigurationsPerChassis; ++configuration) {
      const auto written = WriteConfiguration(file, chassis, configuration, loadout);
      ASSERT_TRUE(written);
      const std::size_t offset = 4 + (3 * chassis + configuration) * 60;
      for (std::size_t byte = 4; byte < written->size(); ++byte) {
        const bool inside = byte >= offset && byte < offset + 60;
        EXPECT_EQ((*written)[byte], inside && byte % 4 == 0 ? 33 : 0) << byte;
      }
      EXPECT_EQ(ReadConfiguration(*written, chassis, configuration), loadout);
    }
  }
  // A short file grows to the record, with zeros before it.
  const std::vector<std::uint8_t> magicOnly(file.begin(), file.begin() + 4);
  const auto grown = WriteConfiguration(magicOnly, 0, 1, loadout);
  ASSERT_TRUE(grown);
  EXPECT_EQ(grown->size(), 124u);
  EXPECT_FALSE(WriteConfiguration(std::vector<std::uint8_t>(3, 0), 0, 0, loadout));
}

}  // namespace
