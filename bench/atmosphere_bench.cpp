// The atmosphere's share of a frame on one core: the per-frame step in full rain with lightning
// under a running day phase, and, through the software board into the game's 640 x 264 view
// with the demo's sky bitmaps, the sky (clear at noon with the sun in view, and in rain) and the
// lens flare with the particles of a full rain pool and of a full pool.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>

#include "battle/effects/atmosphere.h"
#include "battle/effects/flare_and_particles.h"
#include "battle/effects/particle_pool.h"
#include "battle/effects/sky_dome.h"
#include "battle/effects/sky_state.h"
#include "engine/r3x.h"
#include "platform/kernel/clock.h"
#include "tests/support/sky_scene.h"
#include "tests/support/word_payload.h"

namespace {

constexpr std::uint32_t kFrameMilliseconds = 16;
// The grey the frame tick clears the sky frames to.
constexpr std::uint8_t kClearGrey = 180;

void BM_AtmosphereStepInFullRain(benchmark::State& state) {
  platform::VirtualClock clock;
  platform::ScopedProcessClock scopedClock(clock);
  CAtmosphere atmosphere([](std::uint32_t, std::uint32_t, float, float) { return 1; }, {}, {});
  R3xCamera camera{};
  camera.farDistance = 500.0f;
  atmosphere.Attach(nullptr, nullptr, &camera);
  // A dusk of ten hours with rain through all of it.
  atmosphere.SyncTime(test_support::WordPayload({0, 3, 0, 3600000}));
  atmosphere.QueueWeather(test_support::WordPayload({2, 0, 3600000}));
  std::uint32_t frameTime = 1000;
  for (auto _ : state) {
    clock.Advance(kFrameMilliseconds);
    frameTime += kFrameMilliseconds;
    atmosphere.UpdateAtmosphere(frameTime, false);
    atmosphere.EndLightningFlash(frameTime);
  }
  benchmark::DoNotOptimize(atmosphere.Sky().sunAngle);
  state.SetLabel("per frame");
}
BENCHMARK(BM_AtmosphereStepInFullRain);

constexpr std::int32_t kViewWidth = 640;
constexpr std::int32_t kViewHeight = 264;

// The sky scene in the game's view, its camera raised so that the sun stands inside the wide view
// and the flare is drawn, after the first sky frame: it frees the pool, and the textures become
// resident with it.
void RaiseTowardsTheSun(test_support::SkyScene& scene) {
  if (!scene.ok()) {
    std::abort();
  }
  scene.camera()->pitch = 40.0f;
  scene.camera()->heading = 16.0f;
  scene.sky.sunAngle = 80.0f;
  scene.sky.moonAngle = 336.0f;
  scene.BeginFrame(kClearGrey);
  if (DrawSky(&scene.sky) != 0 || DrawFlareAndParticles(&scene.sky) != 0) {
    std::abort();
  }
}

// In rain the dome is left out and the sun grows by the weather.
void BM_DrawSky(benchmark::State& state, bool rain) {
  test_support::SkyScene scene(kViewWidth, kViewHeight);
  RaiseTowardsTheSun(scene);
  if (rain) {
    scene.sky.weatherLevel = 1.0f;
    scene.pool.StartWeatherParticles(*scene.camera(), WeatherMode::kRain);
  }
  for (auto _ : state) {
    state.PauseTiming();
    scene.BeginFrame(kClearGrey);
    state.ResumeTiming();
    benchmark::DoNotOptimize(DrawSky(&scene.sky));
  }
  state.SetLabel("per frame");
}
BENCHMARK_CAPTURE(BM_DrawSky, Noon, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawSky, Rain, true)->Unit(benchmark::kMicrosecond);

// Rain only (10,000 drops), or rain with the rest of the pool taken by hit bursts.
void BM_DrawFlareAndParticles(benchmark::State& state, bool fullPool) {
  test_support::SkyScene scene(kViewWidth, kViewHeight);
  RaiseTowardsTheSun(scene);
  scene.sky.weatherLevel = 1.0f;
  CParticlePool& pool = scene.pool;
  pool.StartWeatherParticles(*scene.camera(), WeatherMode::kRain);
  const float at[3] = {60.0f, 10.0f, 15.0f};
  const float still[3] = {0.0f, 0.0f, 0.0f};
  auto fill = [&] {
    if (fullPool) {
      pool.EmitParticleBurst(ParticleKind::kBurst, CParticlePool::kSize, at, still, 0.05f, 1000000,
                             255, 200, 80);
    }
  };
  fill();
  DrawSky(&scene.sky);
  for (auto _ : state) {
    state.PauseTiming();
    scene.BeginFrame(kClearGrey);
    DrawSky(&scene.sky);
    fill();
    state.ResumeTiming();
    benchmark::DoNotOptimize(DrawFlareAndParticles(&scene.sky));
  }
  state.counters["particles"] = static_cast<double>(pool.Count());
  state.SetLabel("per frame");
}
BENCHMARK_CAPTURE(BM_DrawFlareAndParticles, FullRain, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawFlareAndParticles, FullPool, true)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
