// A fixture for the tank tests: the demo arena's world with the equipment world's models and the
// arena's height map, made by mkdata (floor z = 0
// over [0, 400] x [0, 400] inside walls, the wall at y = 0 of the first cell an edge polygon),
// the shared mover with the tanks as its neighbours, a virtual clock and the frame time, the
// camera near the tanks, and the log in a scratch folder. Helpers write the tank messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "battle/arena/arena_map.h"
#include "battle/arena/mover.h"
#include "battle/arena/tank.h"
#include "common/messages.h"
#include "engine/r3x.h"
#include "platform/kernel/clock.h"
#include "tests/support/scratch_folder.h"

namespace tank_test {

struct TankSpec {
  std::uint32_t id = KIND_TANK | 1;
  std::uint32_t chassis = 0;
  std::uint32_t team = 0;
  float x = 100.0f;
  float y = 100.0f;
  float z = 1.0f;
  float heading = 0.0f;
  float pitch = 0.0f;
  float roll = 0.0f;
  std::string name = "tank";
};

std::vector<std::uint8_t> CreatePayload(const TankSpec& spec);

struct StateSpec {
  float position[3] = {100.0f, 100.0f, 1.0f};
  float angles[3] = {};
  float momentum[3] = {};
  float angularMomentum[3] = {};
  float drive = 0.0f;
  float turn = 0.0f;
  std::int8_t turretHalf = 0;
  std::int8_t barrelHalf = 0;
  std::uint8_t shields = 0;
  std::uint8_t rockets = 0;
};

std::vector<std::uint8_t> StatePayload(const StateSpec& spec);

class TankArena : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A remote tank through the server's message; null when refused.
  CTank* Create(const TankSpec& spec);
  // Posts a message to a tank as the server would (sender 0).
  static void Send(std::uint32_t id, std::uint32_t type, const std::vector<std::uint8_t>& bytes);
  // Advances the clock and the frame time, then updates every tank.
  void Frame(std::uint32_t ms = 33);
  static std::size_t ListLength();
  // The explosions and smoke puffs of the pools that run.
  static int RunningExplosions();
  static int RunningSmoke();
  std::string Log() const;

  platform::VirtualClock clock_{1000};
  std::unique_ptr<platform::ScopedProcessClock> scopedClock_;
  test_support::ScratchFolder folder_{"tanks"};
  R3xWad* pack_ = nullptr;
  R3xWad* equipPack_ = nullptr;
  R3xWorld* world_ = nullptr;
  std::unique_ptr<CArenaMap> map_;
  std::unique_ptr<CMover> mover_;
  float savedGravity_ = 0.0f;
};

}  // namespace tank_test
