// The tanks as the automatic guns see them: what the defense towers and recon guns choose,
// track and aim at. The tank list fills the list.
#pragma once

#include <cstdint>
#include <span>

#include "engine/r3x_core.h"

struct ArenaTarget {
  std::uint32_t id = 0;  // the tank's address
  // The tank's body actor, whose placement the guns aim at and sweep to.
  R3xActor* bodyActor = nullptr;
  std::int32_t team = 0;
  bool dead = false;
  // Whether any component of the tank's momentum is 0.001 or more in magnitude.
  bool moving = false;
  // Its momentum along its forward axis times its inverse mass.
  float forwardSpeed = 0.0f;
};

using ArenaTargetLister = std::span<const ArenaTarget> (*)();

// The tank list (tank_list.cpp) starts it with a function that lists every tank on the tank
// list, in the list's order; tests may set their own.
extern ArenaTargetLister gListArenaTargets;

// The listed tanks; empty when no lister is set.
std::span<const ArenaTarget> ListArenaTargets();
// The listed tank with this address, or null.
const ArenaTarget* FindArenaTarget(std::uint32_t id);
