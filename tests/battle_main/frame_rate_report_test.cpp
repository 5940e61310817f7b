#include "battle/main/frame_rate_report.h"

#include <gtest/gtest.h>

#include "platform/kernel/clock.h"

namespace {

class FrameRateReportTest : public ::testing::Test {
 protected:
  platform::VirtualClock clock_{0};
  platform::ScopedProcessClock scopedClock_{clock_};
  FrameRateReport report_;
};

// Frames at 60 a second: the first report comes with the first frame at or after 30000 ms of
// frame time, with the frames counted since the library loaded.
TEST_F(FrameRateReportTest, FirstReportAtThirtySecondsCountsFramesSinceLoad) {
  std::uint32_t frames = 0;
  std::optional<std::uint32_t> rate;
  while (!rate) {
    clock_.Advance(16);
    ++frames;
    rate = report_.CountFrame(timeGetTime());
    ASSERT_LT(frames, 3000u);
  }
  EXPECT_EQ(timeGetTime(), 30000u);  // 1875 frames of 16 ms
  EXPECT_EQ(frames, 1875u);
  EXPECT_EQ(*rate, 1875u * 100000u / 30000u);  // 6250: 62.5 frames a second
  EXPECT_EQ(report_.nextReport, 60000u);
  EXPECT_EQ(report_.lastReport, 30000u);
  EXPECT_EQ(report_.frames, 0u);
}

TEST_F(FrameRateReportTest, LaterReportsEveryThirtySecondsOfFrameTime) {
  std::vector<std::uint32_t> reportTimes;
  for (int i = 0; i < 6000; ++i) {  // 120 s at 50 frames a second
    clock_.Advance(20);
    if (const std::optional<std::uint32_t> rate = report_.CountFrame(timeGetTime())) {
      reportTimes.push_back(timeGetTime());
      EXPECT_EQ(*rate, 5000u);  // 1500 frames in 30000 ms
    }
  }
  EXPECT_EQ(reportTimes, (std::vector<std::uint32_t>{30000, 60000, 90000, 120000}));
}

// The rate's time is the clock's since the last report, not the frame time's: a frame whose
// frame time was taken earlier still divides by the real elapsed time.
TEST_F(FrameRateReportTest, RateDividesByClockTimeSinceLastReport) {
  report_.nextReport = 29000;
  report_.lastReport = 10000;
  report_.frames = 99;
  clock_.Advance(30000);
  const std::optional<std::uint32_t> rate = report_.CountFrame(29000);
  ASSERT_TRUE(rate.has_value());
  EXPECT_EQ(*rate, 100u * 100000u / 20000u);
  EXPECT_EQ(report_.nextReport, 59000u);
  EXPECT_EQ(report_.lastReport, 30000u);
}

// A report due when the clock has not moved since the last one has no rate (it would divide by
// zero): the frame is counted and the report comes at the next frame.
TEST_F(FrameRateReportTest, ReportWithNoTimePassedWaitsForTheNextFrame) {
  clock_.Advance(30000);
  report_.lastReport = 30000;
  EXPECT_FALSE(report_.CountFrame(30000).has_value());
  EXPECT_EQ(report_.frames, 1u);
  EXPECT_EQ(report_.nextReport, 30000u);
  clock_.Advance(10);
  const std::optional<std::uint32_t> rate = report_.CountFrame(30010);
  ASSERT_TRUE(rate.has_value());
  EXPECT_EQ(*rate, 2u * 100000u / 10u);
}

}  // namespace
