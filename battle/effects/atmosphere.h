// The arena's atmosphere as the game session holds it: the sky and weather state, the ambient
// light, the day clock, the particle pool, the weather queue and the lightning. The session hands
// it the server's time and weather messages and runs its step once per frame; the sky, flare and
// particle drawing read its state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "battle/effects/ambient_light.h"
#include "battle/effects/day_clock.h"
#include "battle/effects/lightning.h"
#include "battle/effects/particle_pool.h"
#include "battle/effects/sky_state.h"
#include "battle/effects/weather_messages.h"
#include "battle/effects/weather_queue.h"
#include "engine/r3x_core.h"

struct GlobalParamValues;
struct R3xCamera;
struct R3xRenderContext;
struct R3xWorld;

class CAtmosphere {
 public:
  // Plays a sound code for an owner at a world point, as PlaySoundAt does; tests record them.
  using SoundPlayer = std::function<int(std::uint32_t owner, std::uint32_t code, float x, float y)>;

  // The positional sound front end and the runtime's rand.
  CAtmosphere();
  CAtmosphere(SoundPlayer sound, CLightning::RandomSource lightningRandom,
              CParticlePool::RandomSource particleRandom);
  CAtmosphere(const CAtmosphere&) = delete;
  CAtmosphere& operator=(const CAtmosphere&) = delete;

  // What the world start made: the world whose ambient light the day sets, the render context
  // whose Glide fog it sets and the camera that rain falls around. Null until then and after the
  // world stop; without them the light, fog and rain drops are left alone.
  void Attach(R3xWorld* world, R3xRenderContext* context, const R3xCamera* camera);

  // MSG_TIME_BASE and MSG_TIME_OF_DAY (at frame time `frameTime`, ms).
  void SyncTime(std::span<const std::uint8_t> payload);
  void SetTimeOfDay(std::span<const std::uint8_t> payload, std::uint32_t frameTime);
  // MSG_WEATHER_EVENT: queued until the day clock reaches its start, or put in force at once
  // when that has come (a rain in force is stopped first).
  void QueueWeather(std::span<const std::uint8_t> payload);
  // MSG_WEATHER_ENABLE: BeginWeather for a nonzero word, else EndWeather.
  void EnableWeather(std::span<const std::uint8_t> payload, std::uint32_t frameTime);

  // GLOBAL_PARAMS_PASS: takes the moon's orbit and the clouds' velocities, gives the ambient
  // light the current step's level and sets the day clock and the weather level to 0.
  void ApplyGlobalParams(const GlobalParamValues& values);

  // The step of every frame: the day clock and its phase, then the weather in force (its fade
  // or, in full rain, the lightning) and at most one due event.
  void UpdateAtmosphere(std::uint32_t frameTime, bool infraRed);
  // After the frame is shown: a flash whose time is up and that no lightning step ended gives
  // back the fog, clear colour and ambient of the current step. True then; the session resets
  // its view.
  bool EndLightningFlash(std::uint32_t frameTime);

  // Puts an event in force: a fade's level by how far it has run, or full rain with its sound.
  void ApplyWeather(const WeatherEvent& event);
  // Weather on: the step the server heads for and its ambient; the first strike comes at once.
  void BeginWeather(std::uint32_t frameTime);
  // Weather off: the rain's drops and sound stop; the event in force and its level stay.
  void EndWeather();

  SkyState& Sky() { return sky_; }
  const SkyState& Sky() const { return sky_; }
  CAmbientLight& Ambient() { return ambient_; }
  const CDayClock& DayClock() const { return day_; }
  CParticlePool& Particles() { return particles_; }
  const CLightning& Lightning() const { return lightning_; }
  std::size_t QueuedWeather() const { return queue_.Count(); }

 private:
  DayLightTargets Targets() { return {sky_.world, &ambient_, sky_.renderContext}; }
  // One lightning step while full rain is in force; `phaseRan`: the day phase set the light in
  // this frame already.
  void UpdateLightning(std::uint32_t frameTime, bool phaseRan);
  void StopRain();
  void SetFog(std::int32_t level, std::uint8_t grey);
  // The fog, clear colour and ambient of the current step, as after a flash.
  void RestoreAfterFlash();

  SoundPlayer sound_;
  SkyState sky_;
  CAmbientLight ambient_;
  CDayClock day_{sky_};
  CParticlePool particles_;
  CLightning lightning_;
  CWeatherQueue queue_;
};
