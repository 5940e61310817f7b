#include "battle/effects/lightning.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "scripted_random.h"

namespace {

constexpr std::uint32_t kNow = 700000;

struct StrikeCase {
  const char* name;
  std::vector<std::uint32_t> draws;
  std::uint32_t thunder;
  bool burst;
  bool flash;
  std::uint32_t nextStrike;
};

TEST(LightningTest, AStrikeDrawsThunderBurstFlashAndInterval) {
  const StrikeCase cases[] = {
      // Thunder below 50, no burst, a flash, 10 s plus the drawn spread.
      {"first thunder, flash", {49, 30, 79, 1234}, 8, false, true, kNow + 11234},
      {"second thunder, no flash", {50, 99, 80, 9999}, 9, false, false, kNow + 19999},
      // A burst draws no interval: the next strike is 0.8 s away.
      {"burst", {0, 29, 0}, 8, true, true, kNow + 800},
      // rand's numbers are taken modulo the range.
      {"large numbers", {150, 229, 180}, 9, true, false, kNow + 800},
  };
  for (const StrikeCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::uint32_t drawn = 0;
    auto script = Scripted(c.draws, 0);
    CLightning lightning([&] {
      ++drawn;
      return script();
    });
    const std::optional<LightningStrike> strike = lightning.Strike(kNow);
    ASSERT_TRUE(strike);
    EXPECT_EQ(drawn, c.draws.size());
    EXPECT_EQ(strike->thunderCode, c.thunder);
    EXPECT_EQ(strike->flash, c.flash);
    EXPECT_EQ(lightning.Flashing(), c.flash);
    EXPECT_EQ(lightning.Burst(), c.burst);
    EXPECT_EQ(lightning.NextStrike(), c.nextStrike);
    if (c.flash) {
      EXPECT_EQ(lightning.FlashEnd(), kNow + 100);
    }
  }
}

TEST(LightningTest, ABurstBringsOneQuickStrikeAndNeverAThird) {
  // Burst drawn on the first strike; the follow-up draws no burst and an interval of 5000.
  CLightning lightning(Scripted({10, 0, 90, /*follow-up*/ 10, 90, 5000}, 0));
  ASSERT_TRUE(lightning.Strike(kNow));
  EXPECT_EQ(lightning.NextStrike(), kNow + 800);
  EXPECT_FALSE(lightning.Strike(kNow + 799));
  ASSERT_TRUE(lightning.Strike(kNow + 800));
  EXPECT_FALSE(lightning.Burst());
  EXPECT_EQ(lightning.NextStrike(), kNow + 800 + 15000);
}

TEST(LightningTest, NoStrikeBeforeItsTimeAndNoDrawForIt) {
  std::uint32_t drawn = 0;
  CLightning lightning([&] {
    ++drawn;
    return 0u;
  });
  lightning.StrikeAt(kNow);
  EXPECT_FALSE(lightning.Strike(kNow - 1));
  EXPECT_EQ(drawn, 0u);
  EXPECT_TRUE(lightning.Strike(kNow));
}

TEST(LightningTest, TheLightningStepEndsAFlashAtItsEndTheFrameAfterIt) {
  // A flash on each strike, no burst.
  CLightning stepped(Scripted({}, 0));
  ASSERT_TRUE(stepped.Strike(kNow));
  EXPECT_FALSE(stepped.EndFlash(kNow + 99));
  EXPECT_TRUE(stepped.Flashing());
  EXPECT_TRUE(stepped.EndFlash(kNow + 100));
  EXPECT_FALSE(stepped.Flashing());
  // Already over: nothing more to end.
  EXPECT_FALSE(stepped.EndFlash(kNow + 200));

  CLightning shown(Scripted({}, 0));
  ASSERT_TRUE(shown.Strike(kNow));
  EXPECT_FALSE(shown.EndFlashAfterFrame(kNow + 100));
  EXPECT_TRUE(shown.EndFlashAfterFrame(kNow + 101));
  EXPECT_FALSE(shown.EndFlashAfterFrame(kNow + 102));
}

}  // namespace
