// The atmosphere's share of a frame on one core: the per-frame step in full rain with lightning
// under a running day phase.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "base/byte_writer.h"
#include "battle/effects/atmosphere.h"
#include "engine/r3x.h"
#include "platform/kernel/clock.h"

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

}  // namespace

BENCHMARK_MAIN();
