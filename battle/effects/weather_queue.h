// The weather events the server sent ahead of their start, in order of arrival. Only the head is
// ever due: an event whose start has come waits behind an earlier one whose start has not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "battle/effects/weather_messages.h"

class CWeatherQueue {
 public:
  // The server schedules a few spells ahead; a server that floods the queue cannot grow it
  // without end.
  static constexpr std::size_t kCapacity = 256;

  // Appends at the tail; false, with the event dropped and the drop logged, when the queue is
  // full.
  bool Push(const WeatherEvent& event);
  // Takes the head when its start has come by the day clock.
  std::optional<WeatherEvent> TakeDue(std::uint32_t dayClock);

  std::size_t Count() const { return events_.size(); }

 private:
  std::deque<WeatherEvent> events_;
};
