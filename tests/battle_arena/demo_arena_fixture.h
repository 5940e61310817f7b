// The demo arena as the arena objects' tests see it: the engine started, the world (with the
// equipment's models) and its height map installed as the running arena's, the shared mover made
// and the frame time at 1000.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "battle/arena/arena_map.h"
#include "battle/arena/mover.h"
#include "engine/r3x_core.h"

class DemoArenaFixture : public ::testing::Test {
 protected:
  // The demo map's ceiling: its height scale 7 times 16.
  static constexpr float kCeiling = 112.0f;

  void SetUp() override;
  void TearDown() override;

  static R3xPlacement PlacementOf(const R3xActor* actor);

  R3xWad* pack_ = nullptr;
  R3xWad* equipPack_ = nullptr;
  R3xWorld* world_ = nullptr;
  std::unique_ptr<CArenaMap> map_;
  std::unique_ptr<CMover> mover_;
};

// A world of one region holding every point with x >= 0; points with x < 0 lie in no region.
R3xWorld* MakeHalfSpaceWorld();
// An actor definition of `actions` actions of one level each showing the null part.
R3xActorDef* MakeBareActorDef(R3xWorld* world, const char* tag, std::uint32_t actions);
