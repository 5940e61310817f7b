// Whole frames of the demo arena through the session's frame tick, as the game draws them
// before the player's tank exists: the atmosphere step, the sky, the world, the flare and
// particles, the palette step and the present through the software board to the headless
// display, with the board's 60 Hz pacing off. Peak RSS is the process's after the run.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "battle/main/game_session.h"
#include "platform/glide/board_control.h"
#include "tests/support/demo_world_session.h"

namespace {

void BM_DemoArenaFrame(benchmark::State& state) {
  platform::glide::SetSwapPacing(false);
  test_support::DemoWorldSession world;
  if (!world.Started()) {
    state.SkipWithError("the demo world did not start");
    return;
  }
  for (auto _ : state) {
    gGameSession.Tick();
  }
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak RSS MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_DemoArenaFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
