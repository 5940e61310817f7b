#include "battle/core/game_params.h"

#include <bit>
#include <cassert>

std::array<CParam, GAME_PARAM_COUNT> GameParamTable;
std::array<CParam, ARENA_PARAM_COUNT> ArenaParamTable;

CParam::CParam(const ParamDefault& row)
    : type(row.type), name(row.name), value(row.word), savedValue(row.word) {}

std::int32_t CParam::GetInt() const { return static_cast<std::int32_t>(value); }

float CParam::GetFloat() const { return std::bit_cast<float>(value); }

void CParam::SetConfirmed(std::uint32_t word) {
  value = word;
  savedValue = word;
  modified = 0;
}

void CParam::SetEdited(std::uint32_t word) {
  value = word;
  modified = 1;
}

void CParam::Restore() {
  value = savedValue;
  modified = 0;
}

namespace {

template <std::size_t Rows, std::size_t Defaults>
void FillTable(std::array<CParam, Rows>& table,
               const std::array<ParamDefault, Defaults>& defaults) {
  table.fill(CParam());
  for (const ParamDefault& row : defaults) {
    table[row.row] = CParam(row);
  }
}

}  // namespace

void InitGameParams() { FillTable(GameParamTable, kGameParamDefaults); }

void InitArenaParams() { FillTable(ArenaParamTable, kArenaParamDefaults); }

std::int32_t GetGameParamInt(std::size_t row) {
  assert(row < GAME_PARAM_COUNT);
  return GameParamTable[row].GetInt();
}

float GetGameParamFloat(std::size_t row) {
  assert(row < GAME_PARAM_COUNT);
  return GameParamTable[row].GetFloat();
}

namespace {

// The tables are plain globals of the library: filling them when it is loaded gives every load
// fresh defaults, whatever the previous game changed.
struct ParamTablesAtLoad {
  ParamTablesAtLoad() {
    InitGameParams();
    InitArenaParams();
  }
};
const ParamTablesAtLoad paramTablesAtLoad;

}  // namespace
