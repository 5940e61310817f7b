// The two tables of named game parameters. Nearly every tuning value of the game lives here and
// the server decides it: at login it sends the value of every row of GameParamTable, in play it
// may set single rows or open the editor on either table. Game code reads a row directly by its
// fixed index (game_param_rows.h), as an integer or a float according to the row's type. The
// rows' names, types and defaults are in game_param_table.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "battle/core/game_param_table.h"

// One row of a live table.
struct CParam {
  std::uint32_t modified = 0;  // 1 while edited and not yet confirmed
  std::uint32_t type = PARAM_TYPE_UNUSED;
  const char* name = nullptr;
  std::uint32_t value = 0;       // the integer, or the bits of the float
  std::uint32_t savedValue = 0;  // the last confirmed value

  // An unused row.
  CParam() = default;
  // A used row at its default, confirmed.
  explicit CParam(const ParamDefault& row);

  std::int32_t GetInt() const;
  float GetFloat() const;

  // A confirmed write (login, a single-row set from the server, a whole arena table): value and
  // saved value both take the word and the row is no longer modified.
  void SetConfirmed(std::uint32_t word);
  // An edit: only the value changes, until confirmed or restored.
  void SetEdited(std::uint32_t word);
  // Undoes an edit: the saved value comes back.
  void Restore();
};

extern std::array<CParam, GAME_PARAM_COUNT> GameParamTable;
extern std::array<CParam, ARENA_PARAM_COUNT> ArenaParamTable;

// Put every row's name, type and default value in place from its constexpr table; rows absent
// from it become unused. Both run when the library is loaded, so each load of the game library
// starts from the defaults.
void InitGameParams();
void InitArenaParams();

// A GameParamTable row's value as an integer or as a float. The game never reads unused rows.
std::int32_t GetGameParamInt(std::size_t row);
float GetGameParamFloat(std::size_t row);
