// The actor definitions of the server's team objects, looked up by tag in the running world (the
// equipment world loads them), with the scale their actors are shown at.
#pragma once

#include "engine/r3x_core.h"

struct ArenaModel {
  const char* tag;
  float scale;
};

// With ModelTable: these are its rows 14 ("RECON_DEF"), 15 ("RECONGUN_DEF", 3.0), 16 ("FLAG_DEF"),
// 17 ("FLARE_DEF") and 26 ("DRONE_DEF", 4.0); the table replaces them when it lands.
inline constexpr ArenaModel kReconModel{"RECON_DEF", 1.0f};
inline constexpr ArenaModel kReconGunModel{"RECONGUN_DEF", 3.0f};
inline constexpr ArenaModel kFlagModel{"FLAG_DEF", 1.0f};
inline constexpr ArenaModel kFlareModel{"FLARE_DEF", 1.0f};
inline constexpr ArenaModel kDroneModel{"DRONE_DEF", 4.0f};

// The model's actor definition in gWorld; null without a world, or when the tag is missing or
// names another kind of object.
R3xActorDef* FindArenaModel(const ArenaModel& model);
// The radius of the level-0 part of the actor's current action; `fallback` when it has none.
float CurrentPartRadius(const R3xActor* actor, float fallback);
