// Sweeps per second through the demo arena with the default callbacks: a sphere of radius 2 and
// the large tank's sphere list, over short (4), medium (40) and long (400) horizontal motions
// from spread starts.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

#include "engine/core/math_tables_internal.h"
#include "engine/r3x.h"

namespace {

constexpr std::size_t kStartCount = 1024;

struct Motion {
  R3xPlacement placement;
  float direction[3];
};

std::vector<Motion> motions() {
  std::mt19937 generator(4101);
  std::uniform_real_distribution<float> across(20.0f, 380.0f);
  std::uniform_real_distribution<float> angle(0.0f, 6.2831853f);
  std::vector<Motion> out(kStartCount);
  for (Motion& m : out) {
    m.placement = {across(generator), across(generator), 6.0f, 0.0f, 0.0f, 0.0f, -1};
    const float a = angle(generator);
    m.direction[0] = std::cos(a);
    m.direction[1] = std::sin(a);
    m.direction[2] = 0.0f;
  }
  return out;
}

class Arena {
 public:
  Arena() {
    _r3xInitMathTables();
    pack_ = r3xOpenWad(ARENA_DEMO_PACK, 64);
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
    if (pack_ != nullptr &&
        r3xLoadWorldFile("arena.wld", world_, pack_, nullptr, nullptr, nullptr) == 0) {
      auto* tank = reinterpret_cast<R3xSphereListDef*>(r3xFindTag(world_, "LMCOL_SPHRLDEF"));
      list_ = tank != nullptr ? reinterpret_cast<R3xVolume*>(tank->defaultInstance) : nullptr;
    }
    sphere_ = r3xCreateSphereVolume(2.0f);
    query_ = r3xCreateSweepQuery();
  }
  ~Arena() {
    r3xDestroySweepQuery(query_);
    r3xFreeVolumeRecord(reinterpret_cast<R3xVolume*>(sphere_));
    r3xDestroyWorld(world_);
    r3xCloseWad(pack_);
    _r3xFreeMathTables();
  }
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

  void Run(benchmark::State& state, R3xVolume* volume, float distance) {
    if (volume == nullptr) {
      state.SkipWithError("the demo arena does not load");
      return;
    }
    std::size_t i = 0;
    float stop[3];
    float remaining = 0.0f;
    for (auto _ : state) {
      Motion& m = motions_[i];
      const std::int32_t result =
          r3xSweepActor(world_, nullptr, volume, 1.0f, &m.placement, nullptr, m.direction, distance,
                        0, 0, nullptr, nullptr, query_, nullptr, stop, &remaining, 1);
      benchmark::DoNotOptimize(result);
      benchmark::DoNotOptimize(stop);
      i = (i + 1) % kStartCount;
    }
    state.counters["sweeps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  }

  R3xVolume* Sphere() const { return reinterpret_cast<R3xVolume*>(sphere_); }
  R3xVolume* List() const { return list_; }

 private:
  R3xWad* pack_ = nullptr;
  R3xWorld* world_ = nullptr;
  R3xSphereVolume* sphere_ = nullptr;
  R3xVolume* list_ = nullptr;
  R3xSweepQuery* query_ = nullptr;
  std::vector<Motion> motions_ = motions();
};

Arena& TheArena() {
  static Arena arena;
  return arena;
}

void BM_SweepSphere(benchmark::State& state) {
  TheArena().Run(state, TheArena().Sphere(), static_cast<float>(state.range(0)));
}

void BM_SweepSphereList(benchmark::State& state) {
  TheArena().Run(state, TheArena().List(), static_cast<float>(state.range(0)));
}

BENCHMARK(BM_SweepSphere)->Arg(4)->Arg(40)->Arg(400);
BENCHMARK(BM_SweepSphereList)->Arg(4)->Arg(40)->Arg(400);

}  // namespace

BENCHMARK_MAIN();
