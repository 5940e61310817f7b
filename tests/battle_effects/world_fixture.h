// A small world for the atmosphere tests, with a tag dictionary, destroyed with everything
// registered in it.
#pragma once

#include <memory>

#include "engine/r3x.h"
#include "tests/support/test_world_builder.h"

struct WorldDeleter {
  void operator()(R3xWorld* world) const { r3xDestroyWorld(world); }
};
using WorldPtr = std::unique_ptr<R3xWorld, WorldDeleter>;

inline WorldPtr MakeOneRoomWorld() {
  TestWorldSpec spec;
  spec.regionCount = 1;
  spec.nodes = {MakeTestLeaf(0)};
  spec.tagged = true;
  return WorldPtr(MakeTestWorld(spec));
}
