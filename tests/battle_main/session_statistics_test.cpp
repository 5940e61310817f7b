#include "battle/main/session_statistics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"

namespace {

SessionStatistics Busy() {
  SessionStatistics s;
  s.networkError = "recv: connection reset (104)\n";
  s.seconds = 125;
  s.processorSeconds = 3.456;
  s.counters.selects = 9000;
  s.counters.readablePumps = 4000;
  s.counters.writablePumps = 2500;
  s.counters.receiveSteps = 4100;
  s.counters.receiveWouldBlocks = 7;
  s.counters.tcpSends = 400;
  s.counters.partialSends = 2;
  s.counters.sendWouldBlocks = 1;
  s.counters.tcpBytesSent = 12345;
  s.counters.tcpBytesReceived = 987654;
  s.counters.maxReceivesPerPump = 12;
  s.phaseSums[0] = 17000;
  s.phaseMaxima[0] = 45;
  s.phaseSums[13] = 9999;
  s.phaseMaxima[13] = 30;
  s.phaseSums[19] = 1000;
  s.phaseMaxima[19] = 1234;
  // Not a timed phase: never listed.
  s.phaseSums[20] = 500;
  s.frameCount = 1000;
  s.averagePumpInterval = 3;
  s.longestPumpGap = 140;
  return s;
}

TEST(SessionStatisticsTest, ListsTheCountersAndTheTimedPhases) {
  EXPECT_EQ(StatisticsText(Busy()),
            "Stat dump\n"
            "recv: connection reset (104)\n"
            "time 125s, cpu time 3.46s, sent 12345 bytes, rcvd 987654 bytes\n"
            "9000 selects (4000r/2500w ready)\n"
            "4100 reads, 7 EWOULDBLOCK\n"
            "400 writes, 2 truncated, 1 EWOULDBLOCK\n"
            "average send size: 30.862500 bytes\n"
            "maximum receives at once: 12\n"
            " 0 A  17     M  45\n"
            "13 A   9     M  30\n"
            "19 A   1     M1234\n"
            "Sock time Ave 3  Max 140\n");
}

TEST(SessionStatisticsTest, AveragesOverNothingAreZero) {
  SessionStatistics s;
  s.phaseSums[2] = 80;
  s.phaseMaxima[2] = 80;
  EXPECT_EQ(StatisticsText(s),
            "Stat dump\n"
            "time 0s, cpu time 0.00s, sent 0 bytes, rcvd 0 bytes\n"
            "0 selects (0r/0w ready)\n"
            "0 reads, 0 EWOULDBLOCK\n"
            "0 writes, 0 truncated, 0 EWOULDBLOCK\n"
            "average send size: 0.000000 bytes\n"
            "maximum receives at once: 0\n"
            " 2 A   0     M  80\n"
            "Sock time Ave 0  Max 0\n");
}

TEST(SessionStatisticsTest, TheFileIsWrittenAnew) {
  test_support::ScratchFolder folder("barf");
  const std::string name = folder.Write("barf.txt", std::string(500, 'x'));
  WriteStatisticsFile(name.c_str(), StatisticsText(Busy()));
  EXPECT_EQ(test_support::ReadTestFile(name), StatisticsText(Busy()));
}

// A file that cannot be created is skipped: no folder is made for it and nothing else is written.
TEST(SessionStatisticsTest, AFileThatCannotBeCreatedIsSkipped) {
  test_support::ScratchFolder folder("barf");
  const std::string kept = folder.Write("barf.txt", "kept");
  WriteStatisticsFile((folder / "no/such/folder/barf.txt").c_str(), StatisticsText(Busy()));
  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Path())) {
    entries.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(entries, std::vector<std::string>{"barf.txt"});
  EXPECT_EQ(test_support::ReadTestFile(kept), "kept");
}

}  // namespace
