#include "battle/effects/weather_queue.h"

bool CWeatherQueue::Push(const WeatherEvent& event) {
  if (events_.size() >= kCapacity) {
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
