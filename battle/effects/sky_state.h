// The sky and weather state the session holds and hands to the sky, weather-particle and
// lens-flare drawing.
#pragma once

#include <array>
#include <cstdint>

#include "battle/core/vector3.h"
#include "battle/effects/flare_element.h"
#include "battle/effects/weather_messages.h"
#include "engine/r3x_core.h"

class CParticlePool;
struct R3xBitmap;
struct R3xCamera;
struct R3xRenderContext;
struct R3xWorld;

// The day phase the server says is running, with its start and end on the day clock.
enum class DayPhase : std::uint32_t { kNight = 0, kDawn = 1, kDay = 2, kDusk = 3 };

struct SkyState {
  // The world, render context and camera the world start made (also given to the atmosphere); the
  // sky and the flare draw nothing without them.
  R3xWorld* world = nullptr;
  R3xRenderContext* renderContext = nullptr;
  const R3xCamera* camera = nullptr;
  // "sky.bmp", "cloud.bmp", "ground.bmp", "sun.bmp", "moon.bmp", "lf_ring.bmp" and "lf_disk.bmp"
  // of "Equip.r3x"; the session owns their handles. Null while not loaded.
  R3xBitmap* skyBitmap = nullptr;
  R3xBitmap* cloudBitmap = nullptr;
  R3xBitmap* groundBitmap = nullptr;
  R3xBitmap* sunBitmap = nullptr;
  R3xBitmap* moonBitmap = nullptr;
  R3xBitmap* flareRingBitmap = nullptr;
  R3xBitmap* flareDiscBitmap = nullptr;
  // The library's particle pool (the atmosphere's), which the sky frees on its first frame, the
  // rain fills and the flare drawing draws and ages.
  CParticlePool* particles = nullptr;
  // Set by the first sky frame.
  bool skyStarted = false;

  // The sky dome shows blend x row step + (1 - blend) x row step + 1 of the gradient table.
  std::int32_t step = 0;
  float blend = 0.0f;
  // Texture offsets of the sky and the cloud texture, in [0, 1) while the velocities are not
  // negative.
  float farCloudScroll = 0.0f;
  float nearCloudScroll = 0.0f;
  // In [0, 512): 0 straight overhead at noon, 256 straight below at midnight.
  float sunAngle = 0.0f;
  float moonAngle = 0.0f;
  // World positions the sky drawing gives the sun and the moon each frame; the flare reads the
  // sun's.
  Vector3 sunPosition{};
  Vector3 moonPosition{};
  // Hundredths of a second: the server's day clock and the local time of its last advance.
  std::uint32_t dayClock = 0;
  std::uint32_t lastLocalClock = 0;
  // From the arena's global parameters.
  float sunScale = 0.0f;              // half side of the sun's square
  std::uint32_t moonOrbitPeriod = 0;  // seconds of day clock
  float moonScale = 0.0f;             // half side of the moon's square
  float nearCloudVelocity = 0.0f;
  float farCloudVelocity = 0.0f;
  std::array<FlareElement, 8> flare{};
  // The weather enlarges the sun and the flare elements by up to this factor.
  float fogScale = 1.0f;
  // How far the weather has set in, 0 to 1; it sets the fog density.
  float weatherLevel = 0.0f;
  // No phase runs until the first time base (the clock is never below an end of 0).
  std::uint32_t dayPhase = 0;
  std::uint32_t phaseStart = 0;
  std::uint32_t phaseEnd = 0;
  // The weather event in force; type kWeatherNone when there is none.
  WeatherEvent weather;
};
