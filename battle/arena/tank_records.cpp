#include "battle/arena/tank_records.h"

#include <algorithm>

#include "base/byte_reader.h"

namespace {

constexpr float kWireUnit = 0.03125f;

void ReadTriple(arena::ByteReader& reader, float* out) {
  for (int i = 0; i < 3; ++i) {
    out[i] = reader.I16() * kWireUnit;
  }
}

}  // namespace

std::optional<TankCreateRecord> ParseTankCreateRecord(std::span<const std::uint8_t> payload) {
  arena::ByteReader reader(payload);
  TankCreateRecord record;
  ReadTriple(reader, record.position);
  ReadTriple(reader, record.angles);
  ReadTriple(reader, record.momentum);
  ReadTriple(reader, record.angularMomentum);
  reader.Skip(12);
  record.chassis = reader.U32();
  record.team = reader.U32();
  record.id = reader.U32();
  if (!reader.ok()) {
    return std::nullopt;
  }
  const std::span<const std::uint8_t> text = payload.subspan(kTankCreateRecordSize);
  const auto end = std::find(text.begin(), text.end(), std::uint8_t{0});
  const std::size_t length =
      std::min(static_cast<std::size_t>(end - text.begin()), kTankNameLength);
  record.name.assign(reinterpret_cast<const char*>(text.data()), length);
  return record;
}

TankState ReadTankState(const TankStateRecord& record) {
  arena::ByteReader reader(record);
  TankState state{};
  ReadTriple(reader, state.position);
  ReadTriple(reader, state.angles);
  ReadTriple(reader, state.momentum);
  ReadTriple(reader, state.angularMomentum);
  state.drive = reader.I16() * kWireUnit;
  state.turn = reader.I16() * kWireUnit;
  reader.Skip(1);  // the sender's at-rest flag
  state.turretHeadingTarget = reader.I8() * 2.0f;
  state.barrelPitchTarget = reader.I8() * 2.0f;
  state.shieldBits = reader.U8();
  reader.Skip(2);  // the sender's armor and crits
  state.rockets = reader.U8();
  return state;
}
