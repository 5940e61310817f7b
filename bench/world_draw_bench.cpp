// The world draw of the demo arena at 640 x 480 on one core through the software board, from the
// three fixed placements. Three measures each: the whole frame (clear, begin-frame, world draw
// with its passes); the frame without the clear; and that with the board's clip window empty,
// so that every polygon is walked to, queued, lit, clipped, projected and given to the board but
// no pixel is rasterised. Frames per second are the items per second.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>

#include "platform/glide.h"
#include "tests/support/demo_arena_scene.h"

namespace {

using test_support::ArenaPlacement;
using test_support::DemoArenaScene;

enum class Measure { kFrame, kWithoutClear, kWithoutPixels };

DemoArenaScene& Scene() {
  static DemoArenaScene scene(ARENA_DEMO_PACK);
  return scene;
}

std::int32_t DrawWorld(DemoArenaScene& scene) {
  const std::int32_t begun = r3xGlideBeginFrame(scene.world(), scene.render(), &scene.camera());
  return begun < 0 ? begun : r3xGlideDrawWorld(scene.world(), scene.render(), &scene.camera());
}

void ArenaFrame(benchmark::State& state, const ArenaPlacement& placement, Measure measure) {
  DemoArenaScene& scene = Scene();
  if (!scene.ok()) {
    state.SkipWithError("the demo arena could not be set up");
    return;
  }
  scene.Place(placement, 640, 480);
  // The first frame registers and downloads the textures.
  scene.DrawFrame();
  if (measure == Measure::kWithoutPixels) {
    grClipWindow(0, 0, 0, 0);
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(measure == Measure::kFrame ? scene.DrawFrame() : DrawWorld(scene));
  }
  grClipWindow(0, 0, 640, 480);
  state.SetItemsProcessed(state.iterations());
  state.counters["polygons"] = static_cast<double>(r3xGetPolygonCount(scene.render()));
  state.counters["regions"] = static_cast<double>(r3xGetRegionCount(scene.render()));
}

const bool kRegistered = [] {
  for (const ArenaPlacement& placement : test_support::kArenaPlacements) {
    for (const auto& [measure, name] :
         {std::pair{Measure::kFrame, "ArenaFrame/"},
          std::pair{Measure::kWithoutClear, "ArenaWorldDraw/"},
          std::pair{Measure::kWithoutPixels, "ArenaWithoutPixels/"}}) {
      benchmark::RegisterBenchmark((std::string(name) + placement.name).c_str(),
                                   [&placement, measure](benchmark::State& state) {
                                     ArenaFrame(state, placement, measure);
                                   });
    }
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
