// The arena world: the engine world and the height map of the running arena, which every mover
// and arena object works in, the two packs the world is read from, and the closing flag.
// Owner: the game session. Its world start fills the record (the map first) and its world stop
// takes the objects down and resets the record as a whole; outside a world every pointer is
// null. The names the arena objects use are references to the members.
#pragma once

#include <cstdint>

#include "engine/r3x_core.h"

class CArenaMap;

struct ArenaWorld {
  R3xWorld* world = nullptr;
  CArenaMap* arenaMap = nullptr;
  // 1 from the start of the world stop until the next world has loaded.
  std::uint32_t closing = 0;
  // The world pack and "Equip.r3x": open from the world load until the world start has
  // installed the palettes.
  R3xWad* worldPack = nullptr;
  R3xWad* equipPack = nullptr;
};

extern ArenaWorld gArenaWorld;

inline R3xWorld*& gWorld = gArenaWorld.world;
inline CArenaMap*& gArenaMap = gArenaWorld.arenaMap;
inline std::uint32_t& gWorldClosing = gArenaWorld.closing;
inline R3xWad*& gWorldPack = gArenaWorld.worldPack;
inline R3xWad*& gEquipPack = gArenaWorld.equipPack;
