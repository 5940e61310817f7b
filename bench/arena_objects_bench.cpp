// A busy frame of the arena's objects in the demo arena: 64 tanks standing on a grid, 64 shots in
// flight (lasers and shells, spread over the arena, re-fired as they end; they hit and splash the
// tanks), 8 missiles (re-launched as they end), 30 explosions and 50 smoke puffs running. One
// iteration is one frame of 16 ms: the updates of the missiles, bullets, smoke, explosions and
// tanks in the frame's order, and the re-firing that keeps the counts up. Goal: under 1 ms a
// frame on one core.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "base/byte_writer.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_neighbours.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/explosion.h"
#include "battle/arena/missile.h"
#include "battle/arena/mover.h"
#include "battle/arena/smoke.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "common/messages.h"
#include "engine/r3x.h"

namespace {

constexpr int kTanks = 64;
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

// A remote tank's creation record at (x, y) on the floor; the coordinates in 1/32 units.
std::vector<std::uint8_t> TankRecord(std::uint32_t id, std::uint32_t chassis, float x, float y) {
  arena::ByteWriter writer;
  for (const float value : {x, y, 1.0f}) {
    writer.U16(static_cast<std::uint16_t>(static_cast<std::int16_t>(value * 32.0f)));
  }
  writer.Zeros(2 * 3 + 12 + 12);
  writer.U32(chassis);
  writer.U32(id & 3);
  writer.U32(id);
  writer.U8(0);
  return writer.bytes();
}

class BusyArena {
 public:
  BusyArena() : map_(ARENA_DEMO_MAP) {
    r3xInit();
    InitGameParams();
    gGravity = -40.0f;
    pack_ = r3xOpenWad(ARENA_DEMO_PACK, 64);
    equip_ = r3xOpenWad(ARENA_DEMO_EQUIP, 64);
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
    r3xLoadWorldFile("arena.wld", world_, pack_, nullptr, nullptr, nullptr);
    r3xLoadWorldFile("equip.wld", world_, equip_, nullptr, nullptr, nullptr);
    gWorld = world_;
    gArenaMap = &map_;
    gWorldCeiling = map_.GetMaxHeight();
    mover_.neighbourSource = CollectArenaNeighbours;
    gMover = &mover_;
    gFrameTime = 1000;
    gListenerPlacement = {200.0f, 200.0f, 20.0f, 0.0f, 0.0f, 0.0f, 0};
    MakeSmokePool();
    MakeBulletPool();
    MakeExplosionPool();
    for (int i = 0; i < kTanks; ++i) {
      const auto id = KIND_TANK | static_cast<std::uint32_t>(i + 2);
      CreateTankFromMessage(TankRecord(id, static_cast<std::uint32_t>(i % 5),
                                       30.0f + 45.0f * static_cast<float>(i % 8),
                                       30.0f + 45.0f * static_cast<float>(i / 8)));
    }
    Refill();
  }
  ~BusyArena() {
    DeleteAllTanks();
    DeleteAllMissiles();
    gBulletPool.clear();
    DeleteAllSmoke();
    DeleteAllExplosions();
    gMover = nullptr;
    gArenaMap = nullptr;
    gWorld = nullptr;
    r3xDestroyWorld(world_);
    r3xCloseWad(equip_);
    r3xCloseWad(pack_);
    r3xShutdown();
  }
  BusyArena(const BusyArena&) = delete;
  BusyArena& operator=(const BusyArena&) = delete;

  struct Counts {
    int tanks = 0;
    int shots = 0;
    int missiles = 0;
    int explosions = 0;
    int puffs = 0;
  };
  static Counts Count() {
    Counts counts;
    for (const LinkNode* node = gTankList; node != nullptr; node = node->next) {
      ++counts.tanks;
    }
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
    UpdateAllTanks(500.0f);
  }

  bool ready() const { return map_.IsValid() && !gBulletPool.empty() && Count().tanks == kTanks; }

 private:
  CArenaMap map_;
  CMover mover_;
  R3xWad* pack_ = nullptr;
  R3xWad* equip_ = nullptr;
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
  state.counters["tanks"] = counts.tanks;
  state.counters["shots"] = counts.shots;
  state.counters["missiles"] = counts.missiles;
  state.counters["explosions"] = counts.explosions;
  state.counters["puffs"] = counts.puffs;
}
BENCHMARK(BM_BusyArenaFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
