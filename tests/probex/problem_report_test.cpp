#include "probex/problem_report.h"

#include <gtest/gtest.h>

#include "probex/problem_word.h"
#include "tests/probex/probex_fixture.h"

namespace probex_test {
namespace {

TEST(ProblemReport, LinesInBitOrderNumberedFromOne) {
  struct Case {
    DWORD word;
    const char* report;
  };
  const Case cases[] = {
      {0, "Everything seems to be ok.....Start Kelvane\r\n"},
      {kProblemDiskSpace | kProblemDirectDraw,
       "There are some problems: \r\n"
       "1) You do not have enough free disk space.\r\n"
       "2) You do not have the correct version of DirectDraw\r\n"},
      // The Windows Sockets bit has no line.
      {kProblemWinsock, "There are some problems: \r\n"},
      {kProblemWinsock | kProblemPingNoConnection,
       "There are some problems: \r\n1) Unable to connect to host\r\n"},
      {0x7FF,
       "There are some problems: \r\n"
       "1) Your Operating System version is not supported.\r\n"
       "2) You do not have enough free disk space.\r\n"
       "3) You do not have enough physical memory.\r\n"
       "4) Your processor is not supported.\r\n"
       "5) You do not have a fast enough processor.\r\n"
       "6) You do not have the correct version of DirectDraw\r\n"
       "7) You do not have the correct version of DirectSound\r\n"
       "8) You do not have the correct version of DirectInput\r\n"
       "9) Your Ping Time is too slow\r\n"
       "10) Unable to connect to host\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatProblemReport(c.word), c.report) << c.word;
  }
}

using ProblemReportBox = ProbexTest;

TEST_F(ProblemReportBox, ReplacesTheCommentsBoxsText) {
  Open();
  Probex().problemWord = kProblemMemory;
  WriteProblemReport(dialog_);
  EXPECT_EQ(Text(kReportText),
            "There are some problems: \r\n1) You do not have enough physical memory.\r\n");
}

}  // namespace
}  // namespace probex_test
