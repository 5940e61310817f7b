// The script's tank lines: a remote tank created, driven along a path by a stream of state
// datagrams, firing and removed, as the game server does for another player's tank.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/testserver/action.h"

namespace testserver {

// MSG_CREATE_TANK to the session: the 48-byte record (place in 1/32 units) and the name.
Action MakeTankCreate(std::uint32_t id, std::uint32_t chassis, std::uint32_t team,
                      const std::string& name, const float* place, float heading);

// MSG_CREATE_PLAYER_TANK to the session: the same record, for the client's own tank.
Action MakePlayerTankCreate(std::uint32_t id, std::uint32_t chassis, std::uint32_t team,
                            const std::string& name, const float* place, float heading);

// One state datagram of the drive, due `atMs` after the drive's start.
struct TankDriveStep {
  std::uint32_t atMs;
  Action action;
};

// MSG_TANK_STATE datagrams to the tank at `rate` a second while it moves along the path's points
// (x, y, z each) at `speed` units a second, facing its way, the last one at the path's end.
std::vector<TankDriveStep> MakeTankDrive(std::uint32_t id, const std::vector<float>& path,
                                         float rate, float speed);

// MSG_TANK_FIRE datagram: the muzzle's x, y, z, heading and pitch, and the shot word.
Action MakeTankFire(std::uint32_t id, const float* muzzle, std::uint32_t word);

// MSG_REMOVE_TANK to the session.
Action MakeTankRemove(std::uint32_t id);

}  // namespace testserver
