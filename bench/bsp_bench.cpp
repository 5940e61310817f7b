// Point and sphere location in a BSP tree of 1,000 regions (a 40 by 25 grid of cells, a
// balanced tree of depth 10), as actors, cameras, lights and collision use them every frame.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <random>
#include <vector>

#include "engine/r3x.h"
#include "tests/support/test_world_builder.h"

namespace {

constexpr float kCell = 64.0f;
constexpr std::uint32_t kColumns = 40;
constexpr std::uint32_t kRows = 25;
constexpr std::size_t kPointCount = 4096;

struct World {
  World() : world(MakeTestWorld(MakeGrid(kColumns, kRows, kCell))) {}
  ~World() { r3xDestroyWorld(world); }
  R3xWorld* world;
};

const World& sharedWorld() {
  static const World world;
  return world;
}

std::vector<std::array<float, 3>> points() {
  std::mt19937 generator(1000);
  std::uniform_real_distribution<float> x(0.0f, kColumns * kCell);
  std::uniform_real_distribution<float> y(0.0f, kRows * kCell);
  std::vector<std::array<float, 3>> values(kPointCount);
  for (auto& value : values) {
    value = {x(generator), y(generator), 10.0f};
  }
  return values;
}

void BM_FindRegionIndexAt(benchmark::State& state) {
  R3xWorld* world = sharedWorld().world;
  const auto inputs = points();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(r3xFindRegionIndexAt(world, inputs[i].data()));
    i = (i + 1) % kPointCount;
  }
}
BENCHMARK(BM_FindRegionIndexAt);

std::int32_t countRegion(R3xWorld*, R3xRegion*, void* user) {
  ++*static_cast<std::int64_t*>(user);
  return 0;
}

// Radius in cells: 0.25 reaches one to four regions, 1 about nine, 4 about eighty.
void BM_QueryRegionsInSphere(benchmark::State& state) {
  R3xWorld* world = sharedWorld().world;
  const float radius = static_cast<float>(state.range(0)) / 4.0f * kCell;
  const auto inputs = points();
  std::size_t i = 0;
  std::int64_t reached = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        r3xQueryRegionsInSphere(world, inputs[i].data(), radius, countRegion, &reached));
    i = (i + 1) % kPointCount;
  }
  state.counters["regions"] =
      benchmark::Counter(static_cast<double>(reached), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_QueryRegionsInSphere)->Arg(1)->Arg(4)->Arg(16);

}  // namespace

BENCHMARK_MAIN();
