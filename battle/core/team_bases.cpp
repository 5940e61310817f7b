#include "battle/core/team_bases.h"

#include "base/byte_reader.h"

std::array<TeamBase, kTeamCount> gTeamBases{};

std::optional<TeamBase> ReadTeamBase(std::span<const std::uint8_t> payload) {
  arena::ByteReader reader(payload);
  TeamBase base;
  base.team = reader.U32();
  base.x = reader.F32();
  base.y = reader.F32();
  base.z = reader.F32();
  if (!reader.ok()) {
    return std::nullopt;
  }
  return base;
}

bool SetTeamBase(const TeamBase& base) {
  if (base.team >= kTeamCount) {
    return false;
  }
  gTeamBases[base.team] = base;
  return true;
}
