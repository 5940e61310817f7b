#include "battle/arena/arena_world.h"

// Set by the session's world start and cleared by its stop, when that start is built.
R3xWorld* gWorld = nullptr;
CArenaMap* gArenaMap = nullptr;
std::uint32_t gWorldClosing = 0;
R3xSphereVolume* gSphereVolume02 = nullptr;
