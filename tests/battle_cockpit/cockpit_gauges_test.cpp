#include "battle/cockpit/cockpit_gauges.h"

#include <cstring>
#include <limits>
#include <string>

#include "battle/ui/panel.h"
#include "tests/battle_cockpit/cockpit_fixture.h"

namespace {

TEST(CockpitGaugesTest, ArmorFrames) {
  struct Case {
    int armor;
    int frame;
  };
  for (const Case c : {Case{100, 0}, Case{76, 0}, Case{75, 1}, Case{51, 1}, Case{50, 2},
                       Case{26, 2}, Case{25, 3}, Case{1, 3}, Case{0, 4},
                       // Outside the range: kept on the strip.
                       Case{250, 0}, Case{-40, 4}}) {
    EXPECT_EQ(ArmorFrame(c.armor, 100), c.frame) << c.armor;
  }
}

TEST(CockpitGaugesTest, CritsRows) {
  struct Case {
    int crits;
    int row;
  };
  for (const Case c : {Case{0, 0}, Case{20, 0}, Case{21, 1}, Case{40, 1}, Case{41, 2}, Case{61, 3},
                       Case{80, 3}, Case{81, 4}, Case{100, 4}, Case{300, 4}, Case{-50, 0}}) {
    EXPECT_EQ(CritsRow(c.crits, 100), c.row) << c.crits;
  }
}

TEST(CockpitGaugesTest, SwivelColumns) {
  struct Case {
    float swivel;
    int column;
  };
  for (const Case c :
       {Case{0.0f, 0}, Case{64.0f, 11}, Case{256.0f, 6}, Case{-100.0f, 2}, Case{2000.0f, 2}}) {
    const int column = SwivelColumn(c.swivel);
    EXPECT_EQ(column, c.column) << c.swivel;
    EXPECT_GE(column, 0);
    EXPECT_LT(column, 12);
  }
}

TEST(CockpitGaugesTest, ShieldFrames) {
  EXPECT_EQ(ShieldFrame(5), 0);
  EXPECT_EQ(ShieldFrame(0), 5);
  EXPECT_EQ(ShieldFrame(3), 2);
  EXPECT_EQ(ShieldFrame(9), 0);
  EXPECT_EQ(ShieldFrame(-2), 5);
}

TEST(CockpitGaugesTest, ThrottleRowsOfTheTallGauge) {
  struct Case {
    int throttle;
    int first;
    int last;
  };
  for (const Case c : {Case{1, 60, 65}, Case{6, 60, 65}, Case{100, 0, 65}, Case{-100, 63, 128},
                       Case{0, 63, 65}, Case{50, 32, 65}, Case{-300, 63, 128}}) {
    EXPECT_EQ(ThrottleRows(c.throttle, 128), std::make_pair(c.first, c.last)) << c.throttle;
  }
}

TEST(CockpitGaugesTest, FlowColumns) {
  struct Case {
    int flow;
    int first;
    int last;
  };
  for (const Case c : {Case{0, 23, 24}, Case{1, 23, 24}, Case{100, 23, 46}, Case{-1, 22, 24},
                       Case{-100, 0, 24}, Case{50, 23, 34}}) {
    EXPECT_EQ(FlowColumns(c.flow, 47), std::make_pair(c.first, c.last)) << c.flow;
  }
}

TEST(CockpitGaugesTest, TargetFiguresShortenTheBountyLabelAboveFiveDigits) {
  EXPECT_EQ(FormatTargetFigures(120, 99999), "\afRange 120\nBounty 99999");
  EXPECT_EQ(FormatTargetFigures(120, 100000), "\afRange 120\nBnty 100000");
  const std::string widest =
      FormatTargetFigures(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  EXPECT_EQ(widest, "\afRange -2147483648\nBnty 2147483647");
}

using RocketBarTest = CockpitTest;

TEST_F(RocketBarTest, ShrinksTowardsItsBottomAndKeepsItsSizeWithoutAMaximum) {
  struct Case {
    float fuel;
    float maximum;
    int top;
  };
  const Case cases[] = {
      {50.0f, 100.0f, 196 - 32},
      {100.0f, 100.0f, 132},
      // More fuel than the maximum: the full bar.
      {400.0f, 100.0f, 132},
      // No fuel or no maximum: the bar stays as it was.
      {0.0f, 100.0f, 132},
      {50.0f, 0.0f, 132},
      {50.0f, -5.0f, 132},
  };
  for (const Case& c : cases) {
    CPanel bar(0, 0, 24, 64);
    ASSERT_EQ(bar.Place(592, 132, -1), 1);
    UpdateRocketBar(bar, 64, c.fuel, c.maximum);
    EXPECT_EQ(bar.destination().top, c.top) << c.fuel << "/" << c.maximum;
    EXPECT_EQ(bar.destination().bottom, 196);
    EXPECT_EQ(bar.source().bottom - bar.source().top, 196 - c.top);
  }
}

}  // namespace
