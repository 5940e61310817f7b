#include "battle/main/log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class LogTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("log_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = dir_ / "arena.log";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
  std::filesystem::path path_;
};

TEST_F(LogTest, LinesCarryTwoDigitLevelAndAreFlushedAtOnce) {
  OpenLog(path_.c_str());
  LogPrintf(0, "Socket send buffer is %ld bytes", 8192L);
  // Flushed per line: readable before the log is closed.
  EXPECT_EQ(ReadAll(path_), "00 Socket send buffer is 8192 bytes\n");
  LogPrintf(7, "%s", "x");
  LogPrintf(123, "wide");
  CloseLog();
  EXPECT_EQ(ReadAll(path_), "00 Socket send buffer is 8192 bytes\n07 x\n123 wide\n");
}

TEST_F(LogTest, TwoRunsAppendToTheSameFile) {
  for (int run = 0; run < 2; ++run) {
    OpenLog(path_.c_str());
    LogPrintf(0, "run %d", run);
    CloseLog();
  }
  EXPECT_EQ(ReadAll(path_), "00 run 0\n00 run 1\n");
}

TEST_F(LogTest, NothingIsWrittenOutsideOpenAndClose) {
  LogPrintf(0, "before");
  OpenLog(nullptr);
  LogPrintf(0, "no stream");
  OpenLog(path_.c_str());
  LogPrintf(0, "inside");
  CloseLog();
  LogPrintf(0, "after");
  EXPECT_EQ(ReadAll(path_), "00 inside\n");
}

TEST_F(LogTest, LongTextIsCutNotOverrun) {
  OpenLog(path_.c_str());
  const std::string text(30000, 'a');
  LogPrintf(0, "%s", text.c_str());
  CloseLog();
  EXPECT_EQ(ReadAll(path_), "00 " + std::string(19999, 'a') + "\n");
}

TEST_F(LogTest, UnwritableFileFallsBackToStandardError) {
  const auto missing = dir_ / "no" / "such" / "arena.log";
  testing::internal::CaptureStderr();
  OpenLog(missing.c_str());
  LogPrintf(0, "to stderr");
  CloseLog();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "00 to stderr\n");
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
