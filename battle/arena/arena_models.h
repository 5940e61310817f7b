// The models of the server's team objects: their ModelTable rows (tag and scale), looked up in the
// running world (the equipment world loads them).
#pragma once

#include <cstdint>

#include "battle/arena/model_table.h"
#include "engine/r3x_core.h"

// The actor definition of the ModelTable row in gWorld; null without a world, or when the tag is
// missing or names another kind of object.
R3xActorDef* FindArenaModel(std::int32_t code);
// The radius of the level-0 part of the actor's current action; `fallback` when it has none.
float CurrentPartRadius(const R3xActor* actor, float fallback);
