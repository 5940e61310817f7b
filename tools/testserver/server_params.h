// The test server's game parameters: the 500 values of the game-parameter table that it sends at
// login (the client's own defaults, from their constexpr table), and its GLOBAL_PARAMS_PASS
// record. The values let a tank drive, fire and be hit.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "battle/core/game_param_table.h"

// Row by row; float rows hold the bits of their float.
std::array<std::uint32_t, GAME_PARAM_COUNT> MakeServerParamWords();

// The 284-byte GLOBAL_PARAMS_PASS payload, 71 little-endian words.
std::vector<std::uint8_t> MakeServerGlobalParamsPayload();
