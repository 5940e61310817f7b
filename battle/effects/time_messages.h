// The server's two day-clock messages, read from their payloads.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

// MSG_TIME_BASE: the day clock now and the day phase running, in hundredths of a second.
struct TimeBase {
  std::uint32_t clock;
  std::uint32_t phase;
  std::uint32_t start;
  std::uint32_t end;
};

// MSG_TIME_OF_DAY: the time-of-day step and the one it is heading for, with the timing the sun
// is placed from, in seconds.
struct TimeOfDay {
  std::uint32_t step;
  std::uint32_t target;
  std::uint32_t stepSeconds;
  std::uint32_t leftSeconds;
  std::uint32_t phaseSeconds;
  std::uint32_t cycleSeconds;
};

// Null when the payload is shorter than the record; further bytes are not read.
std::optional<TimeBase> ReadTimeBase(std::span<const std::uint8_t> payload);
std::optional<TimeOfDay> ReadTimeOfDay(std::span<const std::uint8_t> payload);
