#include "battle/effects/weather_messages.h"

#include "base/byte_reader.h"

std::optional<WeatherEvent> ReadWeatherEvent(std::span<const std::uint8_t> payload) {
  arena::ByteReader reader(payload);
  WeatherEvent event;
  event.type = reader.U32();
  event.start = reader.U32();
  event.end = reader.U32();
  if (!reader.ok()) {
    return std::nullopt;
  }
  return event;
}

std::optional<bool> ReadWeatherEnable(std::span<const std::uint8_t> payload) {
  arena::ByteReader reader(payload);
  const std::uint32_t enable = reader.U32();
  if (!reader.ok()) {
    return std::nullopt;
  }
  return enable != 0;
}
