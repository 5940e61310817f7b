// The engine world and the height map of the running arena, which every mover and arena object
// works in. The world start creates both (the map first) and the world stop destroys them; both
// are null outside a world.
#pragma once

#include <cstdint>

#include "engine/r3x.h"

class CArenaMap;

extern R3xWorld* gWorld;
extern CArenaMap* gArenaMap;
// 1 from the start of the world stop until the next world has loaded.
extern std::uint32_t gWorldClosing;
// A sphere volume of radius 0.2, made when the library loads and freed when it unloads.
extern R3xSphereVolume* gSphereVolume02;
