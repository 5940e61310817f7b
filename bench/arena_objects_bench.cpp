// A busy frame of the arena's objects in the demo arena: 64 shots in flight (lasers and shells,
// spread over the arena, re-fired as they end), 8 missiles (re-launched as they end), 30
// explosions and 50 smoke puffs running. One iteration is one frame of 16 ms: the updates of the
// missiles, bullets, smoke and explosions in the frame's order, and the re-firing that keeps the
// counts up. The tanks' share of the frame joins when the tank list does.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>

#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/explosion.h"
#include "battle/arena/missile.h"
#include "battle/arena/mover.h"
#include "battle/arena/smoke.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "common/messages.h"
#include "engine/r3x.h"

namespace {

constexpr int kShots = 64;
constexpr int kMissiles = 8;
constexpr int kExplosions = 30;
constexpr int kPuffs = 50;
constexpr std::uint32_t kFrame = 16;
constexpr std::uint32_t kTank = KIND_TANK | 1;

// Spread placements over the arena's floor, their headings turning.
R3xPlacement Spread(int i, float z) {
  const float x = 40.0f + static_cast<float>((i * 37) % 320);
  const float y = 40.0f + static_cast<float>((i * 61) % 320);
  return {x, y, z, static_cast<float>((i * 53) % 512), 0.0f, 0.0f, 0};
}

class BusyArena {
 public:
  BusyArena() : map_(ARENA_DEMO_MAP) {
    r3xInit();
    InitGameParams();
    pack_ = r3xOpenWad(ARENA_DEMO_PACK, 64);
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
    r3xLoadWorldFile("arena.wld", world_, pack_, nullptr, nullptr, nullptr);
    gWorld = world_;
    gArenaMap = &map_;
    gWorldCeiling = map_.GetMaxHeight();
    gMover = &mover_;
    gFrameTime = 1000;
    MakeSmokePool();
    MakeBulletPool();
    MakeExplosionPool();
    Refill();
  }
  ~BusyArena() {
    DeleteAllMissiles();
    gBulletPool.clear();
    DeleteAllSmoke();
    DeleteAllExplosions();
    gMover = nullptr;
    gArenaMap = nullptr;
    gWorld = nullptr;
    r3xDestroyWorld(world_);
    r3xCloseWad(pack_);
    r3xShutdown();
  }
  BusyArena(const BusyArena&) = delete;
  BusyArena& operator=(const BusyArena&) = delete;

  struct Counts {
    int shots = 0;
    int missiles = 0;
    int explosions = 0;
    int puffs = 0;
  };
  static Counts Count() {
    Counts counts;
    for (const auto& node : gBulletPool) {
      counts.shots += node != nullptr && !node->IsFinished() ? 1 : 0;
    }
    counts.missiles = static_cast<int>(gMissileList.size());
    for (const auto& member : gExplosionList) {
      counts.explosions += member != nullptr && !member->IsFinished() ? 1 : 0;
    }
    for (const auto& puff : gSmokeList) {
      counts.puffs += puff != nullptr && !puff->IsFinished() ? 1 : 0;
    }
    return counts;
  }

  // Keeps every kind at its count.
  void Refill() {
    const Counts counts = Count();
    for (int i = counts.shots; i < kShots; ++i) {
      ++next_;
      const std::uint32_t kind = next_ % 4 == 0 ? 9u : 4u + next_ % 3;
      CBulletPool::Fire(kind, Spread(next_, 2.0f), kTank, 20, 60.0f, 0, 0);
    }
    for (int i = counts.missiles; i < kMissiles; ++i) {
      ++next_;
      ListMissile(std::make_unique<CMissile>(Spread(next_, 6.0f), 1, kTank, 0));
    }
    for (int i = counts.explosions; i < kExplosions; ++i) {
      ++next_;
      const R3xPlacement at = Spread(next_, 3.0f);
      CExplosion::Spawn(1, &at.x);
    }
    for (int i = counts.puffs; i < kPuffs; ++i) {
      ++next_;
      const R3xPlacement at = Spread(next_, 2.0f);
      CSmoke::Spawn(1, &at.x, 3000);
    }
  }

  static void Frame() {
    gFrameTime += kFrame;
    UpdateAllMissiles();
    UpdateAllBullets();
    UpdateAllSmoke();
    UpdateAllExplosions();
  }

  bool ready() const { return map_.IsValid() && !gBulletPool.empty(); }

 private:
  CArenaMap map_;
  CMover mover_;
  R3xWad* pack_ = nullptr;
  R3xWorld* world_ = nullptr;
  int next_ = 0;
};

void BM_BusyArenaFrame(benchmark::State& state) {
  BusyArena arena;
  if (!arena.ready()) {
    state.SkipWithError("the demo arena did not load");
    return;
  }
  for (auto _ : state) {
    BusyArena::Frame();
    arena.Refill();
  }
  // What the last frame ended with, after its refill: the counts the frame was measured at.
  const BusyArena::Counts counts = BusyArena::Count();
  state.counters["shots"] = counts.shots;
  state.counters["missiles"] = counts.missiles;
  state.counters["explosions"] = counts.explosions;
  state.counters["puffs"] = counts.puffs;
}
BENCHMARK(BM_BusyArenaFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
