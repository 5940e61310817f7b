// The shared mover in the demo arena: MoveWithCollision of the light tank's six-sphere collision
// actor over 2-unit moves from spread starts, in the open (where the height map clears the move
// without a sweep) and along the walls (where the map cannot, and the spheres are swept through
// the world), and FollowTerrain of tanks standing at spread places. Each move first puts the
// actor back at its start, which the figures include.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/mover.h"
#include "battle/core/game_params.h"
#include "engine/r3x.h"

namespace {

constexpr std::size_t kStartCount = 1024;
constexpr float kTankZ = 0.75f;

class Arena {
 public:
  Arena() : map_(ARENA_DEMO_MAP) {
    r3xInit();
    InitGameParams();
    pack_ = r3xOpenWad(ARENA_DEMO_PACK, 64);
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
    r3xLoadWorldFile("arena.wld", world_, pack_, nullptr, nullptr, nullptr);
    gWorld = world_;
    gArenaMap = &map_;
    gMover = &mover_;
    tank_ = AddTank({100.0f, 100.0f, kTankZ, 0.0f, 0.0f, 0.0f, -1});
  }
  R3xActor* AddTank(const R3xPlacement& at) {
    auto* spheres = reinterpret_cast<R3xSphereListDef*>(r3xFindTag(world_, "LSCOL_SPHRLDEF"));
    auto* definition =
        reinterpret_cast<R3xActorDef*>(r3xFindTag(world_, "TANK_COLLISION_ACTORDEF"));
    if (spheres == nullptr || definition == nullptr) {
      return nullptr;
    }
    return r3xCreateActor(world_, definition, nullptr, &at,
                          reinterpret_cast<R3xVolume*>(spheres->defaultInstance), nullptr, 1.0f,
                          4.02f, 0);
  }
  ~Arena() {
    gMover = nullptr;
    gArenaMap = nullptr;
    gWorld = nullptr;
    r3xDestroyWorld(world_);
    r3xCloseWad(pack_);
    r3xShutdown();
  }
  bool ready() const { return map_.IsValid() && tank_ != nullptr; }
  R3xWorld* world() const { return world_; }
  R3xActor* tank() const { return tank_; }
  CMover& mover() { return mover_; }
  const MoverCallbacks& callbacks() const { return callbacks_; }

 private:
  CArenaMap map_;
  CMover mover_;
  const MoverCallbacks callbacks_{MoverSweepFilter, MoverSweepHit};
  R3xWad* pack_ = nullptr;
  R3xWorld* world_ = nullptr;
  R3xActor* tank_ = nullptr;
};

struct Move {
  R3xPlacement from;
  R3xPlacement to;
};

// Starts in [low, high] on both axes; nearWall puts them within 4 units of the wall x = 0.
std::vector<Move> Moves(bool nearWall) {
  std::mt19937 generator(nearWall ? 5103 : 5101);
  std::uniform_real_distribution<float> across(40.0f, 360.0f);
  std::uniform_real_distribution<float> wall(4.2f, 6.0f);
  std::uniform_real_distribution<float> angle(0.0f, 512.0f);
  std::vector<Move> out(kStartCount);
  for (Move& move : out) {
    const float heading = angle(generator);
    const float x = nearWall ? wall(generator) : across(generator);
    move.from = {x, across(generator), kTankZ, heading, 0.0f, 0.0f, -1};
    move.to = move.from;
    // Toward -x along the wall, anywhere in the open.
    const float a = nearWall ? 3.14159265f : heading * 3.14159265f / 256.0f;
    move.to.x += 2.0f * std::cos(a);
    move.to.y += 2.0f * std::sin(a);
    move.to.heading += 1.0f;
  }
  return out;
}

void RunMoves(benchmark::State& state, bool nearWall) {
  Arena arena;
  if (!arena.ready()) {
    state.SkipWithError("the demo arena did not load");
    return;
  }
  const std::vector<Move> moves = Moves(nearWall);
  std::size_t i = 0;
  std::size_t stopped = 0;
  for (auto _ : state) {
    const Move& move = moves[i++ % moves.size()];
    r3xSetActorPlacement(arena.world(), arena.tank(), &move.from);
    float fraction = 0.0f;
    float stop[3];
    stopped += arena.mover().MoveWithCollision(arena.tank(), &move.to, &fraction, stop,
                                               arena.callbacks()) != nullptr;
    benchmark::DoNotOptimize(fraction);
  }
  state.counters["stopped"] =
      benchmark::Counter(static_cast<double>(stopped) / static_cast<double>(state.iterations()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void BM_MoveWithCollisionOpen(benchmark::State& state) { RunMoves(state, false); }
void BM_MoveWithCollisionAlongWall(benchmark::State& state) { RunMoves(state, true); }

void BM_FollowTerrain(benchmark::State& state) {
  Arena arena;
  if (!arena.ready()) {
    state.SkipWithError("the demo arena did not load");
    return;
  }
  // Tanks standing at spread places (some by the post and on the ramp's cells).
  std::vector<R3xActor*> tanks;
  for (const Move& move : Moves(false)) {
    if (tanks.size() < 64) {
      tanks.push_back(arena.AddTank(move.from));
    }
  }
  std::size_t i = 0;
  for (auto _ : state) {
    float normal[3];
    benchmark::DoNotOptimize(arena.mover().FollowTerrain(tanks[i++ % tanks.size()], normal));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

}  // namespace

BENCHMARK(BM_MoveWithCollisionOpen);
BENCHMARK(BM_MoveWithCollisionAlongWall);
BENCHMARK(BM_FollowTerrain);
BENCHMARK_MAIN();
