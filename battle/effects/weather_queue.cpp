#include "battle/effects/weather_queue.h"

#include "battle/core/log.h"

bool CWeatherQueue::Push(const WeatherEvent& event) {
  if (events_.size() >= kCapacity) {
    LogPrintf(0, "weather event dropped: type %u, start %u, end %u; %zu events are queued",
              event.type, event.start, event.end, events_.size());
    return false;
  }
  events_.push_back(event);
  return true;
}

std::optional<WeatherEvent> CWeatherQueue::TakeDue(std::uint32_t dayClock) {
  if (events_.empty() || events_.front().start > dayClock) {
    return std::nullopt;
  }
  const WeatherEvent due = events_.front();
  events_.pop_front();
  return due;
}
