// Whole 640 x 480 frames of the demo arena through the colour software drawer on one core, from
// the board's three fixed placements, into RGB565 and RGB555 images: the frame driver's clear,
// run lists, visible-region walk, face ordering and every face drawn through its texel, colour
// and output stages. Frames per second are the items per second; the goal is 500 or more.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <utility>

#include "tests/support/demo_arena_scene.h"
#include "tests/support/software_frame_driver.h"

namespace {

using test_support::ArenaPlacement;

void ArenaFrameRGB(benchmark::State& state, const ArenaPlacement& placement,
                   std::int32_t pixelFormat) {
  static test_support::DemoArenaScene scene(ARENA_DEMO_PACK);
  if (!scene.ok()) {
    state.SkipWithError("the demo arena could not be set up");
    return;
  }
  scene.Place(placement, 640, 480);
  test_support::SoftwareFrameDriver driver(scene.world(), scene.palette(), 640, 480);
  if (!driver.ok() || !driver.UseColourPath(pixelFormat)) {
    state.SkipWithError("the colour drawer could not be set up");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(driver.DrawFrame(scene.camera()));
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["faces"] = static_cast<double>(driver.facesDrawn());
  state.counters["pixels"] = static_cast<double>(driver.render()->raster.pixelCount);
}

const bool kRegistered = [] {
  for (const ArenaPlacement& placement : test_support::kArenaPlacements) {
    for (const auto& [format, name] :
         {std::pair{2, "ArenaFrameRGB/565/"}, std::pair{1, "ArenaFrameRGB/555/"}}) {
      benchmark::RegisterBenchmark((std::string(name) + placement.name).c_str(),
                                   [&placement, format](benchmark::State& state) {
                                     ArenaFrameRGB(state, placement, format);
                                   });
    }
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
