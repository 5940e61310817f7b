// Whole 640 x 480 frames of the demo arena through the 8-bit software drawer on one core, from
// the board's three fixed placements: the frame driver's clear, run lists, visible-region walk,
// face ordering and every face drawn. Three times each: the faces as the world asks (exact
// texturing, a division per pixel), affine, and in perspective every 16 pixels. Frames per second
// are the items per second; the goal is 1,000 or more.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <utility>

#include "tests/support/demo_arena_scene.h"
#include "tests/support/software_frame_driver.h"

namespace {

using test_support::ArenaPlacement;

constexpr std::uint32_t kAffineKind = 4;
constexpr std::uint32_t kPerspectiveKind = 5;

void ArenaFrame8(benchmark::State& state, const ArenaPlacement& placement, std::uint32_t kind) {
  static test_support::DemoArenaScene scene(ARENA_DEMO_PACK);
  if (!scene.ok()) {
    state.SkipWithError("the demo arena could not be set up");
    return;
  }
  scene.Place(placement, 640, 480);
  test_support::SoftwareFrameDriver driver(scene.world(), scene.palette(), 640, 480);
  if (!driver.ok()) {
    state.SkipWithError("the 8-bit drawer could not be set up");
    return;
  }
  driver.ReplaceTextureKind(kind);
  for (auto _ : state) {
    benchmark::DoNotOptimize(driver.DrawFrame(scene.camera()));
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["faces"] = static_cast<double>(driver.facesDrawn());
  state.counters["pixels"] = static_cast<double>(driver.render()->raster.pixelCount);
}

const bool kRegistered = [] {
  for (const ArenaPlacement& placement : test_support::kArenaPlacements) {
    for (const auto& [kind, name] :
         {std::pair{0u, "ArenaFrame8/exact/"}, std::pair{kAffineKind, "ArenaFrame8/affine/"},
          std::pair{kPerspectiveKind, "ArenaFrame8/persp/"}}) {
      benchmark::RegisterBenchmark(
          (std::string(name) + placement.name).c_str(),
          [&placement, kind](benchmark::State& state) { ArenaFrame8(state, placement, kind); });
    }
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
