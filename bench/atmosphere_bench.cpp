// The atmosphere's share of a frame on one core: the per-frame step in full rain with lightning
// under a running day phase, and, through the software board into the game's 640 x 264 view
// with the demo's sky bitmaps, the sky (clear at noon with the sun in view, and in rain) and the
// lens flare with the particles of a full rain pool and of a full pool.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/byte_writer.h"
#include "battle/effects/atmosphere.h"
#include "battle/effects/flare_and_particles.h"
#include "battle/effects/particle_pool.h"
#include "battle/effects/sky_bitmaps.h"
#include "battle/effects/sky_dome.h"
#include "battle/effects/sky_state.h"
#include "engine/r3x.h"
#include "platform/glide.h"
#include "platform/kernel/clock.h"
#include "tests/support/test_world_builder.h"

namespace {

constexpr std::uint32_t kFrameMilliseconds = 16;

std::vector<std::uint8_t> Payload(std::initializer_list<std::uint32_t> words) {
  arena::ByteWriter writer;
  for (std::uint32_t word : words) {
    writer.U32(word);
  }
  return writer.Take();
}

void BM_AtmosphereStepInFullRain(benchmark::State& state) {
  platform::VirtualClock clock;
  platform::ScopedProcessClock scopedClock(clock);
  CAtmosphere atmosphere([](std::uint32_t, std::uint32_t, float, float) { return 1; }, {}, {});
  R3xCamera camera{};
  camera.farDistance = 500.0f;
  atmosphere.Attach(nullptr, nullptr, &camera);
  // A dusk of ten hours with rain through all of it.
  atmosphere.SyncTime(Payload({0, 3, 0, 3600000}));
  atmosphere.QueueWeather(Payload({2, 0, 3600000}));
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

constexpr std::uint32_t kViewWidth = 640;
constexpr std::uint32_t kViewHeight = 264;
constexpr int kPackSlots = 20;
constexpr std::int32_t kKeepBitmapColours = 1;

// A board, a render context drawing through it, a one-room world holding the demo's seven sky
// bitmaps and a camera 20 units above the ground looking up towards the sun.
class SkyScene {
 public:
  SkyScene() {
    r3xInit();
    platform::glide::SetSwapPacing(false);
    if (r3xGlideInit(&glide_) != 0) {
      std::abort();
    }
    render_ = CreateRenderContext(0, nullptr);
    for (int i = 0; i < R3X_PALETTE_ENTRIES; ++i) {
      const auto level = static_cast<BYTE>(i);
      palette_.entries[i] = {level, level, level, 0};
    }
    TestWorldSpec spec;
    spec.regionCount = 1;
    spec.nodes = {MakeTestLeaf(0)};
    spec.tagged = true;
    world_ = MakeTestWorld(spec);
    camera_ = CreateCamera();
    R3xWad* equip = r3xOpenWad(ARENA_DEMO_EQUIP, kPackSlots);
    if (render_ == nullptr || world_ == nullptr || camera_ == nullptr || equip == nullptr ||
        r3xAttachRenderDevice(render_, R3X_MODE_COLOUR, nullptr, &palette_) != 0 ||
        r3xGlideAttach(glide_, render_, &palette_) != 0) {
      std::abort();
    }
    r3xSetWorldFlag(world_, kKeepBitmapColours);
    for (std::size_t i = 0; i < kSkyBitmapNames.size(); ++i) {
      R3xBitmapHandle handle = r3xLoadBitmap(world_, kSkyBitmapNames[i], kSkyBitmapNames[i], equip);
      if (handle == nullptr) {
        std::abort();
      }
      sky.*kSkyBitmapFields[i] = reinterpret_cast<R3xBitmap*>(handle->object);
    }
    r3xCloseWad(equip);
    camera_->z = 20.0f;
    camera_->halfFieldOfView = 48.0f;
    camera_->aspect = static_cast<float>(kViewWidth) / static_cast<float>(kViewHeight);
    camera_->nearDistance = 1.0f;
    camera_->farDistance = 500.0f;
    camera_->viewWidth = kViewWidth;
    camera_->viewHeight = kViewHeight;
    // Raised so that the sun stands inside the wide view and the flare is drawn.
    camera_->pitch = 40.0f;
    camera_->heading = 16.0f;
    for (float& channel : render_->ambient) {
      channel = 0.9f;
    }
    sky.world = world_;
    sky.renderContext = render_;
    sky.camera = camera_;
    sky.particles = &pool;
    sky.step = 14;
    sky.blend = 1.0f;
    sky.sunScale = 150.0f;
    sky.moonScale = 45.0f;
    sky.fogScale = 1.5f;
    sky.sunAngle = 80.0f;
    sky.moonAngle = 336.0f;
    sky.flare = {{{0, -0.2f, 0.125f, 255, 255, 255},
                  {0, 0.8f, 0.175f, 0, 0, 255},
                  {0, 0.85f, 0.2f, 0, 0, 255},
                  {0, 0.95f, 0.4f, 255, 255, 255},
                  {0, 0.98f, 0.5f, 255, 0, 255},
                  {1, 0.55f, 0.15f, 255, 0, 0},
                  {1, 0.9f, 0.3f, 0, 255, 0},
                  {1, 1.15f, 0.25f, 0, 0, 255}}};
    // The first sky frame frees the pool; the textures become resident with it.
    BeginFrame();
    if (DrawSky(&sky) != 0 || DrawFlareAndParticles(&sky) != 0) {
      std::abort();
    }
  }
  ~SkyScene() {
    r3xGlideFreeTextures(glide_);
    r3xGlideShutdown(glide_);
    r3xDestroyRenderContext(nullptr, render_, 0);
    r3xDestroyCamera(camera_);
    r3xDestroyWorld(world_);
  }
  SkyScene(const SkyScene&) = delete;
  SkyScene& operator=(const SkyScene&) = delete;

  // The frame's start as the frame tick makes it.
  void BeginFrame() {
    r3xGlideClear(glide_, 1, 1, 180, 180, 180);
    r3xGlideBeginFrame(world_, render_, camera_);
  }
  const R3xCamera& Camera() const { return *camera_; }

  CParticlePool pool{[] { return static_cast<std::uint32_t>(std::rand()); }};
  SkyState sky;

 private:
  R3xGlideContext* glide_ = nullptr;
  R3xRenderContext* render_ = nullptr;
  R3xPalette palette_{};
  R3xWorld* world_ = nullptr;
  R3xCamera* camera_ = nullptr;
};

// In rain the dome is left out and the sun grows by the weather.
void BM_DrawSky(benchmark::State& state, bool rain) {
  SkyScene scene;
  if (rain) {
    scene.sky.weatherLevel = 1.0f;
    scene.pool.StartWeatherParticles(scene.Camera(), WeatherMode::kRain);
  }
  for (auto _ : state) {
    state.PauseTiming();
    scene.BeginFrame();
    state.ResumeTiming();
    benchmark::DoNotOptimize(DrawSky(&scene.sky));
  }
  state.SetLabel("per frame");
}
BENCHMARK_CAPTURE(BM_DrawSky, Noon, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawSky, Rain, true)->Unit(benchmark::kMicrosecond);

// Rain only (10,000 drops), or rain with the rest of the pool taken by hit bursts.
void BM_DrawFlareAndParticles(benchmark::State& state, bool fullPool) {
  SkyScene scene;
  scene.sky.weatherLevel = 1.0f;
  CParticlePool& pool = scene.pool;
  pool.StartWeatherParticles(scene.Camera(), WeatherMode::kRain);
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
    scene.BeginFrame();
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
