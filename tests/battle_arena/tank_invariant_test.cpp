// Remote tanks driven by random state streams through the demo arena for 10,000 frames never end
// a frame beyond its walls or below its floor.
#include <gtest/gtest.h>

#include <random>

#include "battle/arena/arena_geometry.h"
#include "battle/arena/tank.h"
#include "battle/arena/tank_list.h"
#include "common/messages.h"
#include "tests/battle_arena/tank_arena.h"

namespace {

using tank_test::StatePayload;
using tank_test::StateSpec;
using tank_test::TankArena;

constexpr int kTanks = 4;
constexpr int kFrames = 10000;
constexpr float kArenaSize = 400.0f;

using TankInvariantTest = TankArena;

TEST_F(TankInvariantTest, RandomStatesNeverLeaveTheArena) {
  std::mt19937 random(2026);
  std::uniform_real_distribution<float> place(20.0f, kArenaSize - 20.0f);
  std::uniform_real_distribution<float> height(1.0f, 30.0f);
  std::uniform_real_distribution<float> push(-200.0f, 200.0f);
  std::uniform_real_distribution<float> turn(-20.0f, 20.0f);
  std::uniform_real_distribution<float> angle(0.0f, 511.0f);
  std::uniform_int_distribution<int> chance(0, 99);
  for (int i = 0; i < kTanks; ++i) {
    ASSERT_NE(Create({.id = KIND_TANK | static_cast<std::uint32_t>(i + 1),
                      .chassis = static_cast<std::uint32_t>(i),
                      .team = static_cast<std::uint32_t>(i),
                      .x = 60.0f + 80.0f * i,
                      .y = 60.0f + 70.0f * i}),
              nullptr);
  }
  gListenerPlacement = {200.0f, 200.0f, 20.0f, 0.0f, 0.0f, 0.0f, 0};
  for (int frame = 0; frame < kFrames; ++frame) {
    for (int i = 0; i < kTanks; ++i) {
      if (chance(random) < 10) {
        StateSpec state;
        state.position[0] = place(random);
        state.position[1] = place(random);
        state.position[2] = height(random);
        state.angles[0] = angle(random);
        state.angles[1] = chance(random) < 20 ? angle(random) : 0.0f;
        state.angles[2] = chance(random) < 20 ? angle(random) : 0.0f;
        for (int k = 0; k < 3; ++k) {
          state.momentum[k] = push(random);
          state.angularMomentum[k] = turn(random);
        }
        state.drive = push(random) * 0.2f;
        state.turn = turn(random);
        state.rockets = chance(random) < 5 ? 3 : 0;
        Send(KIND_TANK | static_cast<std::uint32_t>(i + 1), MSG_TANK_STATE, StatePayload(state));
      }
    }
    Frame(static_cast<std::uint32_t>(16 + chance(random) % 40));
    for (const LinkNode* node = gTankList; node != nullptr; node = node->next) {
      const CTank* tank = static_cast<const CTank*>(node->object);
      const float* p = tank->position;
      ASSERT_TRUE(p[0] > 0.0f && p[0] < kArenaSize && p[1] > 0.0f && p[1] < kArenaSize)
          << "frame " << frame << ": tank " << tank->Address() << " at " << p[0] << ", " << p[1];
      ASSERT_GT(p[2], 0.0f) << "frame " << frame << ": tank " << tank->Address();
    }
  }
  EXPECT_EQ(ListLength(), static_cast<std::size_t>(kTanks));
}

}  // namespace
