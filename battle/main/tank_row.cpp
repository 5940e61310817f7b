#include "battle/main/tank_row.h"

#include "battle/arena/tank_list.h"
#include "battle/main/game_session.h"

void CreateTankRow(CGameSession& /*session*/, std::span<const std::uint8_t> payload) {
  CreateTankFromMessage(payload);
}

void RemoveTankRow(CGameSession& /*session*/, std::span<const std::uint8_t> payload) {
  RemoveTankFromMessage(payload);
}

void UpdateTanksRow(CGameSession& session) { UpdateAllTanks(session.view.farDistance); }

void DeleteTanksRow(CGameSession& /*session*/) { DeleteAllTanks(); }
