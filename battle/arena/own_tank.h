// The local player's tank id, to which the arena objects address the reports meant for the
// player's own vehicle (a mine's blast report). Owner: the player's tank, which sets it when it is
// made; 0 until then, which no mailbox bears.
#pragma once

#include <cstdint>

extern std::uint32_t gOwnTankId;
