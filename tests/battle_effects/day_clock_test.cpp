#include "battle/effects/day_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/byte_writer.h"
#include "battle/effects/ambient_light.h"
#include "battle/effects/ambient_table.h"
#include "battle/effects/time_messages.h"
#include "engine/r3x.h"
#include "platform/glide.h"
#include "platform/kernel/clock.h"
#include "world_fixture.h"

namespace {

constexpr float kClose = 1e-3f;
constexpr std::uint32_t kNow = 5000000;

std::vector<std::uint8_t> Payload(std::initializer_list<std::uint32_t> words) {
  arena::ByteWriter writer;
  for (std::uint32_t word : words) {
    writer.U32(word);
  }
  return writer.Take();
}

// How far an angle stands from another, around the turn.
float TurnDistance(float a, float b) {
  const float d = std::fabs(std::fmod(a - b, 512.0f));
  return std::fmin(d, 512.0f - d);
}

class DayClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = MakeOneRoomWorld();
    ASSERT_NE(world_, nullptr);
    const float level = 0.25f;
    ambientDef_ = r3xCreateLightDef(world_.get(), "GLOBALAMBIENT_LIGHTDEF", 1, &level, 0, 0, 0);
    ASSERT_NE(ambientDef_, nullptr);
    targets_ = {world_.get(), &ambient_, nullptr};
  }
  // A time base; the local clock does not move, so the next step sees this day clock.
  void Sync(DayPhase phase, std::uint32_t start, std::uint32_t end, std::uint32_t clock) {
    day_.SyncTime(Payload({clock, static_cast<std::uint32_t>(phase), start, end}));
  }
  void Update(bool infraRed = false) { day_.UpdateAtmosphere(targets_, infraRed); }
  // Moves the local clock on by hundredths of a second.
  void Pass(std::uint32_t hundredths) { clock_.Advance(hundredths * 10); }
  void TimeOfDay(std::initializer_list<std::uint32_t> words) {
    day_.SetTimeOfDay(Payload(words), kNow, targets_);
  }

  platform::VirtualClock clock_{123456};
  platform::ScopedProcessClock scopedClock_{clock_};
  WorldPtr world_;
  R3xLightDef* ambientDef_ = nullptr;
  CAmbientLight ambient_;
  DayLightTargets targets_;
  SkyState sky_;
  CDayClock day_{sky_};
};

TEST_F(DayClockTest, StartsAtStepFifteenWithNoPhaseRunning) {
  Pass(100000);
  Update();
  EXPECT_EQ(day_.TimeOfDayStep(), 15);
  EXPECT_EQ(day_.TargetStep(), 15);
  EXPECT_EQ(sky_.step, 0);
  EXPECT_EQ(sky_.blend, 0.0f);
  EXPECT_EQ(day_.Daylight(), 1.0f);
  EXPECT_EQ(day_.SkyClearGrey(), 0);
  EXPECT_EQ(ambient_.Level(), 0.96f);
}

struct PhaseCase {
  DayPhase phase;
  std::uint32_t start, end, clock;
  std::int32_t step;
  float blend, daylight;
  std::uint8_t grey;
  float sun;
};

TEST_F(DayClockTest, EachPhaseSetsStepBlendDaylightGreyAndSun) {
  const PhaseCase cases[] = {
      // Half way through the dawn.
      {DayPhase::kDawn, 1000, 61000, 31000, 59, 1.0f, 0.5f, 90, 384.0f},
      // Just before the end of the dusk.
      {DayPhase::kDusk, 0, 60000, 59999, 43, 0.0005f, 1.0f / 60000, 0, 191.998f},
      {DayPhase::kDusk, 0, 60000, 30000, 29, 1.0f, 0.5f, 90, 128.0f},
      // A quarter into the night: three quarters of row 44, one of row 45.
      {DayPhase::kNight, 0, 40000, 10000, 44, 0.75f, 0.0f, 0, 224.0f},
      // Past noon: 448 + 96 wraps to 32.
      {DayPhase::kDay, 0, 40000, 30000, 14, 0.25f, 1.0f, 180, 32.0f},
      // A clock before the phase start counts as the start, within the dusk's steps.
      {DayPhase::kDusk, 50000, 110000, 20000, 14, 1.0f, 1.0f, 180, 64.0f},
  };
  for (const PhaseCase& c : cases) {
    SCOPED_TRACE(c.clock);
    Sync(c.phase, c.start, c.end, c.clock);
    Update();
    EXPECT_EQ(sky_.step, c.step);
    EXPECT_EQ(day_.TimeOfDayStep(), c.step);
    EXPECT_NEAR(sky_.blend, c.blend, kClose);
    EXPECT_NEAR(day_.Daylight(), c.daylight, 1e-6f);
    EXPECT_EQ(day_.SkyClearGrey(), c.grey);
    EXPECT_NEAR(sky_.sunAngle, c.sun, kClose);
    EXPECT_EQ(ambient_.Level(), day_.Daylight());
    EXPECT_EQ(ambientDef_->intensity, day_.Daylight());
  }
}

TEST_F(DayClockTest, AtThePhaseEndNothingChangesAnyMore) {
  Sync(DayPhase::kDusk, 0, 60000, 59999);
  Update();
  const SkyState before = sky_;
  const float daylight = day_.Daylight();
  Pass(1);
  Update();
  EXPECT_EQ(sky_.dayClock, 60000u);
  EXPECT_EQ(sky_.step, before.step);
  EXPECT_EQ(sky_.blend, before.blend);
  EXPECT_EQ(sky_.sunAngle, before.sunAngle);
  EXPECT_EQ(day_.Daylight(), daylight);
  EXPECT_GT(daylight, 0.0f);
}

TEST_F(DayClockTest, TheSunAndMoonTurnThroughADawnOnTheVirtualClock) {
  // A six-minute dawn, and a moon that turns once in the same time.
  sky_.moonOrbitPeriod = 360;
  Sync(DayPhase::kDawn, 0, 36000, 0);
  struct Expected {
    std::int32_t step;
    float sun, moon;
  };
  const Expected frames[] = {{44, 320.0f, 0.0f},
                             {51, 352.0f, 128.0f},
                             {59, 384.0f, 256.0f},
                             {6, 416.0f, 384.0f},
                             // The phase is over: everything stays.
                             {6, 416.0f, 384.0f}};
  for (const Expected& e : frames) {
    SCOPED_TRACE(sky_.dayClock);
    Update();
    EXPECT_EQ(sky_.step, e.step);
    EXPECT_NEAR(sky_.sunAngle, e.sun, kClose);
    EXPECT_NEAR(sky_.moonAngle, e.moon, kClose);
    Pass(9000);
  }
}

TEST_F(DayClockTest, TheMoonFollowsItsOrbitAndStandsStillWithoutOne) {
  sky_.moonOrbitPeriod = 4000;
  Sync(DayPhase::kDay, 0, 200000, 100000);
  Update();
  EXPECT_NEAR(sky_.moonAngle, 128.0f, kClose);

  sky_.moonOrbitPeriod = 0;
  Pass(5000);
  Update();
  EXPECT_NEAR(sky_.moonAngle, 128.0f, kClose);
  EXPECT_NEAR(sky_.sunAngle, 448.0f + 0.525f * 128.0f - 512.0f, kClose);
}

TEST_F(DayClockTest, InfraRedHoldsTheAmbientWhileTheSkyDarkens) {
  Sync(DayPhase::kNight, 0, 40000, 10000);
  Update(true);
  EXPECT_EQ(ambient_.Level(), 1.0f);
  EXPECT_EQ(day_.SkyClearGrey(), 0);
  EXPECT_EQ(day_.Daylight(), 0.0f);
}

TEST_F(DayClockTest, CloudsScrollAndStartOverAtAFullTexture) {
  sky_.farCloudVelocity = 0.0005f;
  sky_.nearCloudVelocity = 0.005f;
  int farWrap = 0;
  int nearWrap = 0;
  for (int frame = 1; frame <= 2000 && farWrap == 0; ++frame) {
    Update();
    if (nearWrap == 0 && sky_.nearCloudScroll == 0.0f) {
      nearWrap = frame;
    }
    if (sky_.farCloudScroll == 0.0f) {
      farWrap = frame;
    }
  }
  EXPECT_EQ(nearWrap, 201);
  EXPECT_EQ(farWrap, 2000);
}

TEST_F(DayClockTest, ATimeBaseWhosePhaseDoesNotEndAfterItsStartIsIgnored) {
  Sync(DayPhase::kDusk, 1000, 61000, 31000);
  const std::uint32_t ends[] = {5000, 4999, 0};
  for (std::uint32_t end : ends) {
    SCOPED_TRACE(end);
    Sync(DayPhase::kDawn, 5000, end, 7000);
    EXPECT_EQ(sky_.dayClock, 31000u);
    EXPECT_EQ(sky_.dayPhase, static_cast<std::uint32_t>(DayPhase::kDusk));
    EXPECT_EQ(sky_.phaseStart, 1000u);
    EXPECT_EQ(sky_.phaseEnd, 61000u);
  }
  Update();
  EXPECT_EQ(sky_.step, 29);
}

struct TimeOfDayCase {
  std::uint32_t step, target, stepSeconds, leftSeconds;
  float sun;
};

TEST_F(DayClockTest, TheTimeOfDayPlacesTheSunInItsPhaseAndTheMoonOpposite) {
  // A 600-second phase of a 1440-second day.
  const TimeOfDayCase cases[] = {
      // Half way through the day: noon.
      {14, 14, 20, 300, 0.0f},
      // Half way through the night: midnight.
      {44, 44, 20, 300, 256.0f},
      // Dawn, 24 steps of 20 s before full day, 10 s left: 110 s into the phase.
      {50, 14, 20, 10, 384.0f - 256.0f * 600 / 1440 + 512.0f * 600 / 1440 * 110 / 600},
      // Dusk, 24 steps before full night, 5 s left: 115 s into the phase.
      {20, 44, 20, 5, 128.0f - 256.0f * 600 / 1440 + 512.0f * 600 / 1440 * 115 / 600},
  };
  for (const TimeOfDayCase& c : cases) {
    SCOPED_TRACE(c.step);
    TimeOfDay({c.step, c.target, c.stepSeconds, c.leftSeconds, 600, 1440});
    EXPECT_EQ(day_.TimeOfDayStep(), static_cast<std::int32_t>(c.step));
    EXPECT_EQ(day_.TargetStep(), static_cast<std::int32_t>(c.target));
    EXPECT_EQ(ambient_.Level(), AmbientTable[c.step]);
    EXPECT_EQ(sky_.step, static_cast<std::int32_t>(c.step));
    EXPECT_EQ(sky_.blend, 1.0f);
    EXPECT_LT(TurnDistance(sky_.sunAngle, c.sun), kClose);
    EXPECT_LT(TurnDistance(sky_.moonAngle, c.sun + 256.0f), kClose);
    EXPECT_GE(sky_.sunAngle, 0.0f);
    EXPECT_LT(sky_.sunAngle, 512.0f);
  }
}

TEST_F(DayClockTest, TheTimeOfDayWithoutTimingOrModelLeavesTheSunWhereItWas) {
  sky_.sunAngle = 100.0f;
  sky_.moonAngle = 300.0f;
  // No cycle length; a configuration of none of the four phases before any sun model; a phase
  // length whose milliseconds wrap to 0.
  const std::vector<std::uint32_t> messages[] = {
      {30, 44, 20, 300, 600, 0}, {20, 30, 20, 300, 600, 1440}, {14, 14, 20, 300, 1u << 29, 1440}};
  for (const std::vector<std::uint32_t>& words : messages) {
    SCOPED_TRACE(words[0]);
    arena::ByteWriter writer;
    for (std::uint32_t word : words) {
      writer.U32(word);
    }
    day_.SetTimeOfDay(writer.bytes(), kNow, targets_);
    EXPECT_EQ(sky_.step, static_cast<std::int32_t>(words[0]));
    EXPECT_EQ(ambient_.Level(), AmbientTable[words[0]]);
    EXPECT_EQ(sky_.sunAngle, 100.0f);
    EXPECT_EQ(sky_.moonAngle, 300.0f);
  }
}

TEST_F(DayClockTest, AHugeSunModelStillWrapsIntoATurn) {
  TimeOfDay({14, 14, 20, 0, 4000000000u, 1});
  EXPECT_GE(sky_.sunAngle, 0.0f);
  EXPECT_LT(sky_.sunAngle, 512.0f);
  EXPECT_GE(sky_.moonAngle, 0.0f);
  EXPECT_LT(sky_.moonAngle, 512.0f);
}

TEST_F(DayClockTest, StepsOutsideTheTablesAreIgnored) {
  const std::vector<std::uint32_t> messages[] = {
      {60, 14, 20, 300, 600, 1440}, {14, 60, 20, 300, 600, 1440}, {0xFFFFFFFF, 44, 20, 0, 1, 1}};
  for (const std::vector<std::uint32_t>& words : messages) {
    arena::ByteWriter writer;
    for (std::uint32_t word : words) {
      writer.U32(word);
    }
    day_.SetTimeOfDay(writer.bytes(), kNow, targets_);
    EXPECT_EQ(day_.TimeOfDayStep(), 15);
    EXPECT_EQ(day_.TargetStep(), 15);
    EXPECT_EQ(sky_.step, 0);
    EXPECT_EQ(sky_.blend, 0.0f);
    EXPECT_EQ(ambient_.Level(), 0.96f);
    EXPECT_EQ(sky_.sunAngle, 0.0f);
  }
  TimeOfDay({59, 14, 20, 300, 600, 1440});
  EXPECT_EQ(day_.TimeOfDayStep(), 59);
}

TEST_F(DayClockTest, AFogOfTheWeatherInTheDaylightGreyWhileAPhaseRuns) {
  platform::glide::SetSwapPacing(false);
  R3xGlideContext* glide = nullptr;
  ASSERT_EQ(r3xGlideInit(&glide), 0);
  R3xRenderContext* render = CreateRenderContext(0, nullptr);
  ASSERT_NE(render, nullptr);
  render->glide = glide;
  targets_.context = render;
  sky_.weatherLevel = 0.5f;

  platform::glide::StartRecording();
  Update();
  const std::vector<std::string> withoutPhase = platform::glide::RecordedCallTexts();
  Sync(DayPhase::kDusk, 0, 60000, 30000);
  platform::glide::StartRecording();
  Update();
  const auto& calls = platform::glide::RecordedCalls();
  const std::vector<std::string> texts = platform::glide::RecordedCallTexts();
  const std::size_t tableCalls = calls.size() > 1 ? calls[1].table.size() : 0;
  const std::uint32_t lastEntry = tableCalls == 64 ? calls[1].table[63] : 0;
  platform::glide::StopRecording();
  r3xGlideShutdown(glide);
  r3xDestroyRenderContext(nullptr, render, 0);

  EXPECT_TRUE(withoutPhase.empty());
  // Grey 90 in each channel; the ramp at half its height.
  EXPECT_EQ(texts,
            (std::vector<std::string>{"grFogColorValue(5921370)", "grFogTable()", "grFogMode(2)"}));
  ASSERT_EQ(tableCalls, 64u);
  EXPECT_EQ(lastEntry, 127u);
}

TEST(TimeMessagesTest, ReadsTheLeadingWordsAndRefusesAShortPayload) {
  const std::vector<std::uint8_t> base = Payload({7, 1, 2, 3, 99});
  const std::optional<TimeBase> read = ReadTimeBase(base);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->clock, 7u);
  EXPECT_EQ(read->phase, 1u);
  EXPECT_EQ(read->start, 2u);
  EXPECT_EQ(read->end, 3u);
  EXPECT_FALSE(ReadTimeBase(std::span(base).first(15)));

  const std::vector<std::uint8_t> time = Payload({1, 2, 3, 4, 5, 6});
  const std::optional<TimeOfDay> day = ReadTimeOfDay(time);
  ASSERT_TRUE(day);
  EXPECT_EQ(day->step, 1u);
  EXPECT_EQ(day->cycleSeconds, 6u);
  EXPECT_FALSE(ReadTimeOfDay(std::span(time).first(23)));
}

}  // namespace
