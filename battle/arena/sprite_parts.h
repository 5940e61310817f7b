// What the arena's effects do to the sprites their actors show: their definitions' 2D sprites
// are drawn translucent or additive by bits OR-ed into the sprites' render methods.
#pragma once

#include <cstdint>

#include "engine/r3x_core.h"

// ORs the bits into the render method of the level-0 part of the action when that part is a 2D
// sprite. An indirect method stays as it was: the bits would change the index it names.
void AddPartRenderBits(R3xActor* actor, std::uint32_t action, R3xRenderMethod bits);
// The actor definition of the tag in the arena's world, or null.
R3xActorDef* FindActorDef(const char* tag);
