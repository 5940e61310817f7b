// The arena objects' shared tools: the one mover every object moves through the world with, and
// a sphere volume of radius 0.2. Owner: the game session, which makes them when the library
// loads and frees them when it unloads; they outlive every world. The names the arena objects
// use are references to the members.
#pragma once

#include "engine/r3x_core.h"

class CMover;

struct ArenaTools {
  CMover* mover = nullptr;
  R3xSphereVolume* sphereVolume02 = nullptr;
};

extern ArenaTools gArenaTools;

inline CMover*& gMover = gArenaTools.mover;
inline R3xSphereVolume*& gSphereVolume02 = gArenaTools.sphereVolume02;
