// The cockpit's per-frame draw over the demo palette on the software board: a frame in which
// every panel changed (after an invalidate) and a frame in which nothing did (only the panels
// drawn on every frame are written). Goals: under 0.2 ms and under 0.02 ms.
#include <benchmark/benchmark.h>

#include "battle/arena/arena_view.h"
#include "battle/arena/arena_world.h"
#include "battle/cockpit/cockpit.h"
#include "battle/ui/hud_text.h"
#include "engine/r3x.h"
#include "tests/support/demo_arena_scene.h"

namespace {

struct CockpitScene {
  CockpitScene() {
    gWorld = scene.world();
    gGlideContext = scene.glide();
    r3xSetTransparentIndex(scene.render(), 0);
    r3xGlideAttach(scene.glide(), scene.render(), scene.palette());
    CreateHudFont(14);
    cockpit.Build(CockpitLayout::kCockpitPicture, 640, 480, ARENA_DEMO_GAME);
  }
  test_support::DemoArenaScene scene{ARENA_DEMO_PACK};
  CCockpit cockpit;
};

CockpitScene& Scene() {
  static CockpitScene scene;
  return scene;
}

void BM_DrawCockpitAllChanged(benchmark::State& state) {
  CCockpit& cockpit = Scene().cockpit;
  float heading = 0.0f;
  for (auto _ : state) {
    cockpit.Invalidate();
    cockpit.Draw({.heading = heading, .reconLamp = 1, .rocketsOn = true});
    heading += 1.0f;
  }
}
BENCHMARK(BM_DrawCockpitAllChanged)->Unit(benchmark::kMicrosecond);

void BM_DrawCockpitUnchanged(benchmark::State& state) {
  CCockpit& cockpit = Scene().cockpit;
  cockpit.Draw({});
  cockpit.Draw({});
  for (auto _ : state) {
    cockpit.Draw({});
  }
}
BENCHMARK(BM_DrawCockpitUnchanged)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
