#include "battle/effects/time_messages.h"

#include "base/byte_reader.h"

std::optional<TimeBase> ReadTimeBase(std::span<const std::uint8_t> payload) {
  arena::ByteReader reader(payload);
  TimeBase base{};
  base.clock = reader.U32();
  base.phase = reader.U32();
  base.start = reader.U32();
  base.end = reader.U32();
  if (!reader.ok()) {
    return std::nullopt;
  }
  return base;
}

std::optional<TimeOfDay> ReadTimeOfDay(std::span<const std::uint8_t> payload) {
  arena::ByteReader reader(payload);
  TimeOfDay time{};
  time.step = reader.U32();
  time.target = reader.U32();
  time.stepSeconds = reader.U32();
  time.leftSeconds = reader.U32();
  time.phaseSeconds = reader.U32();
  time.cycleSeconds = reader.U32();
  if (!reader.ok()) {
    return std::nullopt;
  }
  return time;
}
