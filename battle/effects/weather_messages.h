// The server's two weather messages, read from their payloads.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

// MSG_WEATHER_EVENT: one spell of weather on the day clock (hundredths of a second), the same
// three words on the wire and in memory.
struct WeatherEvent {
  std::uint32_t type = 0;
  std::uint32_t start = 0;
  std::uint32_t end = 0;
};

// The event types; any other type is held without effect, and 0 means no event in force.
inline constexpr std::uint32_t kWeatherNone = 0;
inline constexpr std::uint32_t kWeatherFadeIn = 1;
inline constexpr std::uint32_t kWeatherFull = 2;  // rain, thunder and lightning
inline constexpr std::uint32_t kWeatherFadeOut = 3;

// Null when the payload is shorter than the record; further bytes are not read.
std::optional<WeatherEvent> ReadWeatherEvent(std::span<const std::uint8_t> payload);
// MSG_WEATHER_ENABLE: whether its first word is nonzero.
std::optional<bool> ReadWeatherEnable(std::span<const std::uint8_t> payload);
