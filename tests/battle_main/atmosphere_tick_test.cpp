// The atmosphere through the game's frames: every frame tick runs its step on the local clock.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "base/byte_writer.h"
#include "battle/main/game_session.h"
#include "common/messages.h"
#include "platform/kernel/clock.h"

namespace {

void Post(std::uint32_t type, std::initializer_list<std::uint32_t> words) {
  arena::ByteWriter writer;
  for (const std::uint32_t word : words) {
    writer.U32(word);
  }
  const std::vector<std::uint8_t> payload = writer.Take();
  CMailbox::PostAnonymous(kSessionAddress, type, static_cast<std::uint32_t>(payload.size()),
                          payload.data());
}

// The session is the library's one: what earlier tests queued comes due, one event a frame, and
// leaves force at the end of the day clock.
void LetQueuedWeatherPass() {
  Post(MSG_TIME_BASE, {0xFFFFFFF0u, 0, 0, 1});
  gGameSession.DispatchMessages();
  do {
    gGameSession.atmosphere.UpdateAtmosphere(gFrameTime, false);
  } while (gGameSession.atmosphere.QueuedWeather() != 0);
  gGameSession.atmosphere.UpdateAtmosphere(gFrameTime, false);
}

TEST(AtmosphereTickTest, AQueuedFadeComesDueAndRunsFrameByFrame) {
  platform::VirtualClock clock(5000);
  platform::ScopedProcessClock scopedClock(clock);
  LetQueuedWeatherPass();
  // The day clock at 1000 with no phase running, and a fade in from 1100 to 1300.
  Post(MSG_TIME_BASE, {1000, 0, 0, 1});
  Post(MSG_WEATHER_EVENT, {1, 1100, 1300});
  gGameSession.Tick();
  const SkyState& sky = gGameSession.atmosphere.Sky();
  EXPECT_EQ(gGameSession.atmosphere.QueuedWeather(), 1u);
  EXPECT_EQ(sky.weather.type, 0u);

  // One second of local time is 100 hundredths of day clock.
  clock.Advance(1000);
  gGameSession.Tick();
  EXPECT_EQ(sky.dayClock, 1100u);
  EXPECT_EQ(gGameSession.atmosphere.QueuedWeather(), 0u);
  EXPECT_EQ(sky.weather.type, 1u);
  EXPECT_EQ(sky.weatherLevel, 0.0f);

  clock.Advance(1000);
  gGameSession.Tick();
  EXPECT_EQ(sky.weatherLevel, 0.5f);

  clock.Advance(1000);
  gGameSession.Tick();
  EXPECT_EQ(sky.weather.type, 0u);
  EXPECT_EQ(sky.weatherLevel, 0.5f);
}

}  // namespace
