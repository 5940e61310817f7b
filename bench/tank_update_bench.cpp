// UpdateAllTanks with 64 remote tanks in the demo arena, each receiving states at 30 a second
// while it circles its own spot: one call per 60 Hz frame, the states posted before every other
// frame (the posting is outside the timing), with the camera over the arena's middle so that the
// tanks fall in every zone; and again with every zone stepping its tanks each frame. Goal: all
// 64 in under 0.5 ms a frame on one core.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "base/byte_writer.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/mover.h"
#include "battle/arena/tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "common/messages.h"
#include "engine/r3x.h"

namespace {

constexpr int kTankCount = 64;
constexpr std::uint32_t kFrameMs = 16;

void WriteWire(arena::ByteWriter& writer, float value) {
  writer.U16(static_cast<std::uint16_t>(static_cast<std::int16_t>(value * 32.0f)));
}

std::vector<std::uint8_t> CreateRecord(std::uint32_t id, std::uint32_t chassis, float x, float y) {
  arena::ByteWriter writer;
  WriteWire(writer, x);
  WriteWire(writer, y);
  WriteWire(writer, 1.0f);
  writer.Zeros(2 * 3 + 12 + 12);
  writer.U32(chassis);
  writer.U32(id & 3);
  writer.U32(id);
  writer.U8(0);
  return writer.bytes();
}

// On a circle of radius 6 around the tank's spot, moving along it.
std::vector<std::uint8_t> StateRecord(float cx, float cy, float angle) {
  arena::ByteWriter writer;
  WriteWire(writer, cx + 6.0f * std::cos(angle));
  WriteWire(writer, cy + 6.0f * std::sin(angle));
  WriteWire(writer, 1.4f);
  float heading = (angle + 1.5708f) * 256.0f / 3.14159265f;
  heading = std::fmod(heading, 512.0f);
  WriteWire(writer, heading);
  WriteWire(writer, 0.0f);
  WriteWire(writer, 0.0f);
  WriteWire(writer, -12.0f * std::sin(angle));
  WriteWire(writer, 12.0f * std::cos(angle));
  writer.Zeros(2 * 4 + 4 + 8);
  return writer.bytes();
}

class Arena {
 public:
  Arena() : map_(ARENA_DEMO_MAP) {
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
    gWorldCeiling = 112.0f;
    mover_.neighbourSource = CollectTankNeighbours;
    gMover = &mover_;
    gFrameTime = 1000;
    gListenerPlacement = {200.0f, 200.0f, 20.0f, 0.0f, 0.0f, 0.0f, 0};
    for (int i = 0; i < kTankCount; ++i) {
      const float x = 30.0f + 45.0f * static_cast<float>(i % 8);
      const float y = 30.0f + 45.0f * static_cast<float>(i / 8);
      spots_.push_back({x, y});
      CreateTankFromMessage(
          CreateRecord(KIND_TANK | static_cast<std::uint32_t>(i + 1), i % 5, x, y));
    }
  }
  ~Arena() {
    DeleteAllTanks();
    gMover = nullptr;
    gWorld = nullptr;
    gArenaMap = nullptr;
    r3xDestroyWorld(world_);
    r3xCloseWad(equip_);
    r3xCloseWad(pack_);
  }
  void PostStates(float angle) {
    for (int i = 0; i < kTankCount; ++i) {
      const std::vector<std::uint8_t> state =
          StateRecord(spots_[i][0], spots_[i][1], angle + static_cast<float>(i));
      CMailbox::PostAnonymous(KIND_TANK | static_cast<std::uint32_t>(i + 1), MSG_TANK_STATE,
                              static_cast<std::uint32_t>(state.size()), state.data());
    }
  }

 private:
  CArenaMap map_;
  CMover mover_;
  R3xWad* pack_ = nullptr;
  R3xWad* equip_ = nullptr;
  R3xWorld* world_ = nullptr;
  std::vector<std::array<float, 2>> spots_;
};

// everyFrame: every zone steps its tanks each frame (as if all were in sight).
void RunUpdates(benchmark::State& state, bool everyFrame) {
  Arena arena;
  if (everyFrame) {
    for (std::size_t zone = 0; zone < 3; ++zone) {
      GameParamTable[PARAM_ZONE_0_MAX_FRAMES_BETWEEN_TANK_MOVES + 2 * zone].SetConfirmed(1);
      GameParamTable[PARAM_ZONE_0_MAX_TIME_BETWEEN_TANK_MOVES + 2 * zone].SetConfirmed(0);
    }
  }
  float angle = 0.0f;
  std::uint32_t frame = 0;
  for (auto _ : state) {
    if (frame % 2 == 0) {
      state.PauseTiming();
      angle += 0.05f;
      arena.PostStates(angle);
      state.ResumeTiming();
    }
    gFrameTime += kFrameMs;
    UpdateAllTanks(500.0f);
    ++frame;
  }
  int listed = 0;
  for (const LinkNode* node = gTankList; node != nullptr; node = node->next) {
    ++listed;
  }
  state.counters["tanks"] = listed;
}

void BM_UpdateAllTanks64(benchmark::State& state) { RunUpdates(state, false); }
BENCHMARK(BM_UpdateAllTanks64)->Unit(benchmark::kMicrosecond);

void BM_UpdateAllTanks64SteppedEveryFrame(benchmark::State& state) { RunUpdates(state, true); }
BENCHMARK(BM_UpdateAllTanks64SteppedEveryFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
