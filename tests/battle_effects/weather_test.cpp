#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/byte_writer.h"
#include "battle/core/global_params.h"
#include "battle/core/log.h"
#include "battle/effects/ambient_table.h"
#include "battle/effects/atmosphere.h"
#include "engine/r3x.h"
#include "platform/glide.h"
#include "platform/kernel/clock.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"
#include "world_fixture.h"

namespace {

constexpr std::uint32_t kRainStart = 0x202AF806;
constexpr std::uint32_t kRainStop = 0x20000006;
constexpr std::uint32_t kThunder = 8;
constexpr std::uint32_t kThunderTwo = 9;
constexpr std::uint32_t kFarFuture = 0x7FFFFFFF;

std::vector<std::uint8_t> Payload(std::initializer_list<std::uint32_t> words) {
  arena::ByteWriter writer;
  for (std::uint32_t word : words) {
    writer.U32(word);
  }
  return writer.Take();
}

class WeatherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = MakeOneRoomWorld();
    ASSERT_NE(world_, nullptr);
    const float level = 0.25f;
    ambientDef_ = r3xCreateLightDef(world_.get(), "GLOBALAMBIENT_LIGHTDEF", 1, &level, 0, 0, 0);
    ASSERT_NE(ambientDef_, nullptr);
    camera_.farDistance = 100.0f;
    atmosphere_.Attach(world_.get(), nullptr, &camera_);
  }
  void TearDown() override {
    if (render_ != nullptr) {
      platform::glide::StopRecording();
      r3xGlideShutdown(render_->glide);
      r3xDestroyRenderContext(nullptr, render_, 0);
    }
  }

  // A Glide board behind the render context, recording its calls.
  void AttachBoard() {
    platform::glide::SetSwapPacing(false);
    R3xGlideContext* glide = nullptr;
    ASSERT_EQ(r3xGlideInit(&glide), 0);
    render_ = CreateRenderContext(0, nullptr);
    ASSERT_NE(render_, nullptr);
    render_->glide = glide;
    atmosphere_.Attach(world_.get(), render_, &camera_);
    platform::glide::StartRecording();
  }
  // Sets the day clock under a phase that is already over, so that no day phase runs.
  void ClockAt(std::uint32_t clock) { atmosphere_.SyncTime(Payload({clock, 0, 0, 1})); }
  void Event(std::uint32_t type, std::uint32_t start, std::uint32_t end) {
    atmosphere_.QueueWeather(Payload({type, start, end}));
  }
  // One atmosphere step after `hundredths` of local time, at a frame time `ms` later.
  void Frame(std::uint32_t hundredths = 0, std::uint32_t ms = 0) {
    clock_.Advance(hundredths * 10);
    frameTime_ += ms;
    atmosphere_.UpdateAtmosphere(frameTime_, false);
  }
  float Level() const { return atmosphere_.Sky().weatherLevel; }
  std::uint32_t InForce() const { return atmosphere_.Sky().weather.type; }

  platform::VirtualClock clock_{50000};
  platform::ScopedProcessClock scopedClock_{clock_};
  WorldPtr world_;
  R3xLightDef* ambientDef_ = nullptr;
  R3xRenderContext* render_ = nullptr;
  R3xCamera camera_{};
  std::uint32_t frameTime_ = 900000;
  std::vector<std::uint32_t> sounds_;
  // Every lightning draw: 99 throws the second thunder without flash or burst.
  std::uint32_t lightningDraw_ = 99;
  CAtmosphere atmosphere_{[this](std::uint32_t owner, std::uint32_t code, float x, float y) {
                            EXPECT_EQ(owner, 0x80000u);
                            EXPECT_EQ(x, 0.0f);
                            EXPECT_EQ(y, 0.0f);
                            sounds_.push_back(code);
                            return 1;
                          },
                          [this] { return lightningDraw_; }, [] { return 7u; }};
};

struct FadeCase {
  const char* name;
  std::uint32_t type, start, end, clock;
  float level;
};

TEST_F(WeatherTest, AFadeTakesItsLevelByHowFarItHasRun) {
  const FadeCase cases[] = {
      {"fade in a quarter run", 1, 1000, 3000, 1500, 0.25f},
      {"fade out a quarter run", 3, 1000, 3000, 1500, 0.75f},
      {"fade in at its start", 1, 1000, 3000, 1000, 0.0f},
      // A fade that does not end after it starts jumps to its final level.
      {"fade in ending at its start", 1, 2000, 2000, 2000, 1.0f},
      {"fade out ending at its start", 3, 2000, 2000, 2000, 0.0f},
      {"fade in ending before its start", 1, 3000, 1000, 3000, 1.0f},
      // Sent after its end: the level stays within 0 to 1.
      {"fade in past its end", 1, 1000, 3000, 5000, 1.0f},
      {"fade out past its end", 3, 1000, 3000, 5000, 0.0f},
  };
  for (const FadeCase& c : cases) {
    SCOPED_TRACE(c.name);
    ClockAt(c.clock);
    Event(c.type, c.start, c.end);
    EXPECT_EQ(InForce(), c.type);
    EXPECT_FLOAT_EQ(Level(), c.level);
  }
}

TEST_F(WeatherTest, AnUnknownTypeIsHeldWithoutEffect) {
  ClockAt(2000);
  Event(1, 1000, 3000);
  Event(7, 1000, 9000);
  EXPECT_EQ(InForce(), 7u);
  EXPECT_FLOAT_EQ(Level(), 0.5f);
  Frame(500);
  EXPECT_FLOAT_EQ(Level(), 0.5f);
  EXPECT_TRUE(sounds_.empty());
}

TEST_F(WeatherTest, AFadeInRunsWithTheDayClockAndLeavesForceAtItsEnd) {
  ClockAt(1500);
  Event(1, 1000, 3000);
  EXPECT_FLOAT_EQ(Level(), 0.25f);
  Frame(500);
  EXPECT_FLOAT_EQ(Level(), 0.5f);
  Frame(999);
  EXPECT_FLOAT_EQ(Level(), 0.9995f);
  Frame(1);
  EXPECT_EQ(atmosphere_.Sky().dayClock, 3000u);
  EXPECT_EQ(InForce(), 0u);
  EXPECT_FLOAT_EQ(Level(), 0.9995f);
}

TEST_F(WeatherTest, AClockSetBackBeforeTheStartHoldsTheFadeAtItsStart) {
  ClockAt(2000);
  Event(3, 1000, 3000);
  EXPECT_FLOAT_EQ(Level(), 0.5f);
  ClockAt(500);
  Frame();
  EXPECT_FLOAT_EQ(Level(), 1.0f);
}

TEST_F(WeatherTest, OnlyTheHeadOfTheQueueComesDueOnePerFrame) {
  ClockAt(1000);
  Event(1, 5000, 9000);
  Event(3, 4000, 9000);
  EXPECT_EQ(atmosphere_.QueuedWeather(), 2u);
  EXPECT_EQ(InForce(), 0u);
  Frame(3500);
  EXPECT_EQ(InForce(), 0u);
  Frame(500);
  EXPECT_EQ(InForce(), 1u);
  EXPECT_EQ(atmosphere_.QueuedWeather(), 1u);
  Frame();
  EXPECT_EQ(InForce(), 3u);
  EXPECT_FLOAT_EQ(Level(), 1.0f - 1000.0f / 5000.0f);
  EXPECT_EQ(atmosphere_.QueuedWeather(), 0u);
}

TEST_F(WeatherTest, FullRainStartsItsDropsAndLoopAndStopsThemForTheNextEvent) {
  ClockAt(2000);
  Event(2, 2000, 6000);
  Event(3, 4000, 8000);
  EXPECT_EQ(InForce(), 2u);
  EXPECT_EQ(Level(), 1.0f);
  EXPECT_EQ(atmosphere_.Particles().Mode(), WeatherMode::kRain);
  EXPECT_EQ(atmosphere_.Particles().Count(), 10000);
  EXPECT_EQ(sounds_, std::vector<std::uint32_t>{kRainStart});

  // The first strike comes at once; at 4000 the fade out takes over from the rain.
  Frame();
  Frame(2000);
  EXPECT_EQ(sounds_, (std::vector<std::uint32_t>{kRainStart, kThunderTwo, kRainStop}));
  EXPECT_EQ(atmosphere_.Particles().Mode(), WeatherMode::kNone);
  EXPECT_EQ(InForce(), 3u);
  EXPECT_FLOAT_EQ(Level(), 1.0f);
}

TEST_F(WeatherTest, FullRainSentLateWhileItRainsStopsAndStartsTheRain) {
  ClockAt(3000);
  Event(2, 2000, 6000);
  Event(2, 2500, 9000);
  EXPECT_EQ(sounds_, (std::vector<std::uint32_t>{kRainStart, kRainStop, kRainStart}));
  EXPECT_EQ(atmosphere_.Particles().Mode(), WeatherMode::kRain);
  EXPECT_EQ(atmosphere_.Sky().weather.end, 9000u);
}

TEST_F(WeatherTest, FullRainEndsWithItsLoopAndKeepsItsLevel) {
  ClockAt(2000);
  Event(2, 2000, 3000);
  Frame(1000);
  EXPECT_EQ(InForce(), 0u);
  EXPECT_EQ(Level(), 1.0f);
  EXPECT_EQ(sounds_, (std::vector<std::uint32_t>{kRainStart, kRainStop}));
  EXPECT_EQ(atmosphere_.Particles().Mode(), WeatherMode::kNone);
}

TEST_F(WeatherTest, WeatherOnTakesTheTargetStepAndItsAmbientOnly) {
  // Step 15 heading for 44, no timing: the sun stays.
  atmosphere_.SetTimeOfDay(Payload({15, 44, 0, 0, 0, 0}), frameTime_);
  EXPECT_EQ(ambientDef_->intensity, AmbientTable[15]);
  atmosphere_.EnableWeather(Payload({1}), frameTime_ + 5);
  EXPECT_EQ(atmosphere_.DayClock().TimeOfDayStep(), 44);
  EXPECT_EQ(ambientDef_->intensity, 0.0f);
  EXPECT_EQ(atmosphere_.Ambient().Level(), 0.0f);
  EXPECT_EQ(atmosphere_.Sky().step, 15);
  EXPECT_EQ(atmosphere_.Lightning().NextStrike(), frameTime_ + 5);
  EXPECT_TRUE(sounds_.empty());
  EXPECT_EQ(atmosphere_.Particles().Mode(), WeatherMode::kNone);
}

TEST_F(WeatherTest, WeatherOffStopsTheRainButNotTheLightning) {
  ClockAt(2000);
  Event(2, 2000, 9000);
  atmosphere_.EnableWeather(Payload({0}), frameTime_);
  EXPECT_EQ(atmosphere_.Particles().Mode(), WeatherMode::kNone);
  EXPECT_EQ(sounds_, (std::vector<std::uint32_t>{kRainStart, kRainStop}));
  EXPECT_EQ(InForce(), 2u);
  EXPECT_EQ(Level(), 1.0f);
  Frame();
  EXPECT_EQ(sounds_.back(), kThunderTwo);
}

TEST_F(WeatherTest, AShortMessageChangesNothing) {
  ClockAt(2000);
  const std::vector<std::uint8_t> event = Payload({2, 1000, 9000});
  atmosphere_.QueueWeather(std::span(event).first(11));
  atmosphere_.EnableWeather(std::span(event).first(3), frameTime_);
  EXPECT_EQ(InForce(), 0u);
  EXPECT_EQ(atmosphere_.QueuedWeather(), 0u);
  EXPECT_TRUE(sounds_.empty());
  EXPECT_EQ(atmosphere_.Lightning().NextStrike(), 0u);
}

TEST_F(WeatherTest, TheQueueIsBoundedAndLogsEachEventItDrops) {
  test_support::ScratchFolder folder("weather");
  const std::string log = folder / "arena.log";
  OpenLog(log.c_str());
  ClockAt(1000);
  for (std::uint32_t i = 0; i < CWeatherQueue::kCapacity + 2; ++i) {
    Event(1, kFarFuture, kFarFuture + i);
  }
  CloseLog();
  EXPECT_EQ(atmosphere_.QueuedWeather(), CWeatherQueue::kCapacity);
  EXPECT_EQ(test_support::ReadTestFile(log),
            "00 weather event dropped: type 1, start 2147483647, end 2147483903; 256 events are "
            "queued\n"
            "00 weather event dropped: type 1, start 2147483647, end 2147483904; 256 events are "
            "queued\n");
}

TEST_F(WeatherTest, GlobalParamsResetTheClockAndLevelAndLightTheStep) {
  ClockAt(2000);
  Event(1, 1000, 3000);
  GlobalParamValues values;
  values.skyWords[3] = 4000;
  values.skyWords[7] = std::bit_cast<std::uint32_t>(0.005f);
  values.skyWords[9] = std::bit_cast<std::uint32_t>(0.0005f);
  atmosphere_.ApplyGlobalParams(values);
  const SkyState& sky = atmosphere_.Sky();
  EXPECT_EQ(sky.dayClock, 0u);
  EXPECT_EQ(sky.weatherLevel, 0.0f);
  EXPECT_EQ(sky.moonOrbitPeriod, 4000u);
  EXPECT_EQ(sky.nearCloudVelocity, 0.005f);
  EXPECT_EQ(sky.farCloudVelocity, 0.0005f);
  EXPECT_EQ(ambientDef_->intensity, AmbientTable[15]);
}

TEST_F(WeatherTest, AFlashWhitensTheSkyAndTheLightningStepGivesItBack) {
  AttachBoard();
  lightningDraw_ = 0;
  ClockAt(2000);
  Event(2, 2000, 9000);
  Frame();
  EXPECT_EQ(sounds_.back(), kThunder);
  EXPECT_TRUE(atmosphere_.Lightning().Flashing());
  EXPECT_EQ(atmosphere_.DayClock().SkyClearGrey(), 255);
  EXPECT_EQ(ambientDef_->intensity, 1.0f);
  EXPECT_EQ(platform::glide::RecordedCallTexts(), std::vector<std::string>{"grFogMode(0)"});

  // With no day phase running, the step that ends the flash brings back the step's grey and
  // ambient (step 15: 0.96).
  platform::glide::StartRecording();
  Frame(0, 100);
  EXPECT_FALSE(atmosphere_.Lightning().Flashing());
  EXPECT_EQ(atmosphere_.DayClock().SkyClearGrey(), 172);
  EXPECT_EQ(ambientDef_->intensity, AmbientTable[15]);
  EXPECT_EQ(platform::glide::RecordedCallTexts(), std::vector<std::string>{"grFogMode(0)"});
  EXPECT_FALSE(atmosphere_.EndLightningFlash(frameTime_ + 1));
}

TEST_F(WeatherTest, ADayPhaseLightsTheFrameAfterAFlashItself) {
  lightningDraw_ = 0;
  // Full day, over the next 1000 hundredths.
  atmosphere_.SyncTime(Payload({2000, 2, 2000, 3000}));
  Event(2, 2000, 9000);
  Frame();
  EXPECT_EQ(atmosphere_.DayClock().SkyClearGrey(), 255);
  Frame(0, 100);
  EXPECT_FALSE(atmosphere_.Lightning().Flashing());
  EXPECT_EQ(atmosphere_.DayClock().SkyClearGrey(), 180);
  EXPECT_EQ(ambientDef_->intensity, 1.0f);
}

TEST_F(WeatherTest, TheFrameTickEndsAFlashThatOutlivedItsRain) {
  lightningDraw_ = 0;
  ClockAt(2000);
  Event(2, 2000, 2001);
  Frame();
  EXPECT_TRUE(atmosphere_.Lightning().Flashing());
  // The rain ends in the next frame; no lightning step ends the flash.
  Frame(1, 50);
  EXPECT_EQ(InForce(), 0u);
  EXPECT_TRUE(atmosphere_.Lightning().Flashing());
  EXPECT_FALSE(atmosphere_.EndLightningFlash(frameTime_ + 50));
  EXPECT_TRUE(atmosphere_.EndLightningFlash(frameTime_ + 51));
  EXPECT_EQ(atmosphere_.DayClock().SkyClearGrey(), 172);
  EXPECT_EQ(ambientDef_->intensity, AmbientTable[15]);
  EXPECT_FALSE(atmosphere_.Lightning().Flashing());
}

}  // namespace
