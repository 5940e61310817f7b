// The four teams' bases, as the server places them with MSG_TEAM_BASE; the radar and the map
// show them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

inline constexpr std::uint32_t kTeamCount = 4;

struct TeamBase {
  std::uint32_t team = 0;
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

extern std::array<TeamBase, kTeamCount> gTeamBases;

// The base in a MSG_TEAM_BASE payload; nothing when it is shorter than the record.
std::optional<TeamBase> ReadTeamBase(std::span<const std::uint8_t> payload);
// Stores the base as its team's entry; a team outside 0-3 has no entry and changes nothing.
bool SetTeamBase(const TeamBase& base);
