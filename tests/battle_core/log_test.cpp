#include "battle/core/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"

namespace {

using test_support::ReadTestFile;

class LogTest : public testing::Test {
 protected:
  test_support::ScratchFolder folder_{"log_test"};
  const std::filesystem::path path_ = folder_.Path() / "arena.log";
};

TEST_F(LogTest, LinesCarryTwoDigitLevelAndAreFlushedAtOnce) {
  OpenLog(path_.c_str());
  LogPrintf(0, "Socket send buffer is %ld bytes", 8192L);
  // Flushed per line: readable before the log is closed.
  EXPECT_EQ(ReadTestFile(path_), "00 Socket send buffer is 8192 bytes\n");
  LogPrintf(7, "%s", "x");
  LogPrintf(123, "wide");
  CloseLog();
  EXPECT_EQ(ReadTestFile(path_), "00 Socket send buffer is 8192 bytes\n07 x\n123 wide\n");
}

TEST_F(LogTest, TwoRunsAppendToTheSameFile) {
  for (int run = 0; run < 2; ++run) {
    OpenLog(path_.c_str());
    LogPrintf(0, "run %d", run);
    CloseLog();
  }
  EXPECT_EQ(ReadTestFile(path_), "00 run 0\n00 run 1\n");
}

TEST_F(LogTest, NothingIsWrittenOutsideOpenAndClose) {
  LogPrintf(0, "before");
  OpenLog(nullptr);
  LogPrintf(0, "no stream");
  OpenLog(path_.c_str());
  LogPrintf(0, "inside");
  CloseLog();
  LogPrintf(0, "after");
  EXPECT_EQ(ReadTestFile(path_), "00 inside\n");
}

TEST_F(LogTest, LongTextIsCutNotOverrun) {
  OpenLog(path_.c_str());
  const std::string text(30000, 'a');
  LogPrintf(0, "%s", text.c_str());
  CloseLog();
  EXPECT_EQ(ReadTestFile(path_), "00 " + std::string(19999, 'a') + "\n");
}

TEST_F(LogTest, UnwritableFileFallsBackToStandardError) {
  const auto missing = folder_.Path() / "no" / "such" / "arena.log";
  testing::internal::CaptureStderr();
  OpenLog(missing.c_str());
  LogPrintf(0, "to stderr");
  CloseLog();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "00 to stderr\n");
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
