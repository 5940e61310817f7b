#include "battle/main/phase_timing.h"

#include <gtest/gtest.h>

namespace {

class PhaseTimingTest : public ::testing::Test {
 protected:
  // One timed frame: the loop ends at `start` (the previous tick's stamp is `loopStamp`), the
  // dispatch takes `dispatch` ms, the view `view` ms, and the present ends the frame.
  void RunFrame(std::uint32_t loopStamp, std::uint32_t start, std::uint32_t dispatch,
                std::uint32_t view, std::uint32_t frameStart) {
    timing_.StampLoop(loopStamp);
    timing_.BeginTick(start);
    timing_.ClosePhase(kPhaseDispatch, start + dispatch);
    timing_.ClosePhase(kPhaseView, start + dispatch + view);
    timing_.SetCount(kPhasePolygons, 1234);
    timing_.EndFrame(start + dispatch + view, frameStart);
  }

  PhaseTiming timing_;
};

TEST_F(PhaseTimingTest, FrameTableHoldsEachPhaseAndTheWholeFrame) {
  RunFrame(/*loopStamp=*/1000, /*start=*/1003, /*dispatch=*/2, /*view=*/7, /*frameStart=*/995);
  EXPECT_EQ(timing_.last[kPhaseLoop], 3u);
  EXPECT_EQ(timing_.last[kPhaseDispatch], 2u);
  EXPECT_EQ(timing_.last[kPhaseView], 7u);
  EXPECT_EQ(timing_.last[kPhaseFrame], 17u);  // 1012 - 995
  EXPECT_EQ(timing_.last[kPhasePolygons], 1234u);
  EXPECT_EQ(timing_.frameCount, 1u);
}

TEST_F(PhaseTimingTest, SumsAndMaximaCoverTimedEntriesOnly) {
  RunFrame(1000, 1003, 2, 7, 995);
  RunFrame(1020, 1021, 5, 4, 1012);
  EXPECT_EQ(timing_.sum[kPhaseLoop], 4u);
  EXPECT_EQ(timing_.largest[kPhaseLoop], 3u);
  EXPECT_EQ(timing_.sum[kPhaseDispatch], 7u);
  EXPECT_EQ(timing_.largest[kPhaseDispatch], 5u);
  EXPECT_EQ(timing_.sum[kPhaseView], 11u);
  EXPECT_EQ(timing_.largest[kPhaseView], 7u);
  EXPECT_EQ(timing_.sum[kPhaseFrame], 17u + 18u);
  // The counts are shown, never summed.
  EXPECT_EQ(timing_.sum[kPhasePolygons], 0u);
  EXPECT_EQ(timing_.largest[kPhasePolygons], 0u);
  EXPECT_EQ(timing_.frameCount, 2u);
}

}  // namespace
