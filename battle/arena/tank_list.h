// gTankList: every tank in the arena, newest first. The frame's update walks it, the server's
// removal searches it and the world stop empties it. The cockpit, radar, map, bullets, towers and
// the mover read tanks through it.
#pragma once

#include <cstdint>
#include <span>

#include "battle/arena/mover.h"
#include "battle/core/list_link.h"

class CTank;

extern LinkNode* gTankList;

// Builds a remote tank from a MSG_CREATE_TANK payload. A record with a chassis outside 0-4 or a
// team outside 0-3 is refused with a log line; a tank whose construction stopped before it
// joined the list is deleted. The tank, or null.
CTank* CreateTankFromMessage(std::span<const std::uint8_t> payload);
// MSG_REMOVE_TANK: KillTank with payload word 0.
void RemoveTankFromMessage(std::span<const std::uint8_t> payload);
// One frame of every tank; a tank whose update asks for it is deleted. `farDistance` is the
// camera's far distance, which bounds the remote tanks' near zones.
void UpdateAllTanks(float farDistance);
// Kills every tank bearing the id; the next UpdateAllTanks deletes them.
void KillTank(std::uint32_t id);
void DeleteAllTanks();
// The tanks for the mover's neighbour test: each tank's small collision actor, and its medium one
// as the mover.
MoverNeighbours CollectTankNeighbours();
