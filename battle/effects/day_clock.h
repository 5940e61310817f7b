// The day and night cycle: the server's day clock and day phase, the time-of-day step and blend
// that colour the sky, the daylight that sets the ambient light, the sky clear colour and the
// fog, and the angles of the sun and the moon.
#pragma once

#include <cstdint>
#include <span>

#include "battle/effects/ambient_table.h"
#include "battle/effects/sky_state.h"
#include "engine/r3x_core.h"

class CAmbientLight;
struct R3xRenderContext;
struct R3xWorld;

// The sun as the last time of day placed it: the sun turns by sweep over length milliseconds of
// frame clock from start, beginning at base (angle units).
struct SunMotion {
  std::uint32_t start = 0;
  std::uint32_t length = 0;
  float sweep = 0.0f;
  float base = 0.0f;
};

// What the atmosphere step lights: the world whose "GLOBALAMBIENT_LIGHTDEF" takes the daylight,
// the ambient level kept for it, and the render context whose Glide fog takes the sky's grey
// (none before the display exists).
struct DayLightTargets {
  R3xWorld* world = nullptr;
  CAmbientLight* ambient = nullptr;
  R3xRenderContext* context = nullptr;
};

class CDayClock {
 public:
  explicit CDayClock(SkyState& sky) : sky_(sky) {}

  // MSG_TIME_BASE: sets the day clock and the phase running. A phase that does not end after it
  // starts is no phase; the message is then ignored and the clock and phase stay.
  void SyncTime(std::span<const std::uint8_t> payload);
  // MSG_TIME_OF_DAY at frame time `now` (ms): sets the step, the ambient light and, when the
  // timing is given, the sun and the moon opposite it. Steps outside the tables are ignored.
  void SetTimeOfDay(std::span<const std::uint8_t> payload, std::uint32_t now,
                    const DayLightTargets& targets);
  // The per-frame step: advances the day clock with local time, scrolls the clouds and, while a
  // phase runs, sets step, blend, daylight, ambient, clear colour, fog and the sun and moon.
  // `infraRed`: the player's infra-red view is on, which holds the ambient at full light. True
  // when a phase ran.
  bool UpdateAtmosphere(const DayLightTargets& targets, bool infraRed);
  // The weather's start takes the step the server is heading for.
  void TakeTargetStep() { timeOfDayStep_ = targetStep_; }
  // A lightning flash whitens the clear colour; its end brings back a grey.
  void SetSkyClearGrey(std::uint8_t grey) { skyClearGrey_ = grey; }

  std::int32_t TimeOfDayStep() const { return timeOfDayStep_; }
  std::int32_t TargetStep() const { return targetStep_; }
  // 0 at night, rising through the dawn, 1 by day, falling through the dusk.
  float Daylight() const { return daylight_; }
  // The grey of the 3D view's clear colour and of the fog (red = green = blue).
  std::uint8_t SkyClearGrey() const { return skyClearGrey_; }
  const SunMotion& Sun() const { return sun_; }

 private:
  void RunDayPhase(const DayLightTargets& targets, bool infraRed);

  SkyState& sky_;
  std::int32_t timeOfDayStep_ = kInitialTimeOfDayStep;
  std::int32_t targetStep_ = kInitialTimeOfDayStep;
  float daylight_ = 1.0f;
  std::uint8_t skyClearGrey_ = 0;
  SunMotion sun_;
};
