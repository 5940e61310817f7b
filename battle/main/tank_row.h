// The remote tanks' row of the object kinds: MSG_CREATE_TANK builds a tank with local 0, which
// links itself into the tank list; MSG_REMOVE_TANK is KillTank with payload word 0; the frame's
// update is UpdateAllTanks with the view's far distance; the world stop deletes them all.
#pragma once

#include <cstdint>
#include <span>

class CGameSession;

void CreateTankRow(CGameSession& session, std::span<const std::uint8_t> payload);
void RemoveTankRow(CGameSession& session, std::span<const std::uint8_t> payload);
void UpdateTanksRow(CGameSession& session);
void DeleteTanksRow(CGameSession& session);
