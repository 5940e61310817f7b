// The engine world and the height map of the running arena, which every mover and arena object
// works in. The world start creates both (the map first) and the world stop destroys them; both
// are null outside a world.
#pragma once

#include "engine/r3x.h"

class CArenaMap;

extern R3xWorld* gWorld;
extern CArenaMap* gArenaMap;
