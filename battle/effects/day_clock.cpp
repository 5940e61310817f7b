#include "battle/effects/day_clock.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "battle/effects/ambient_light.h"
#include "battle/effects/time_messages.h"
#include "engine/r3x_display.h"
#include "platform/kernel/clock.h"

namespace {

constexpr float kFullTurn = 512.0f;
constexpr float kHalfTurn = 256.0f;
// Each phase moves the sun through a quarter turn from its base angle.
constexpr float kQuarterTurn = 128.0f;
constexpr std::uint32_t kStepsPerPhase = 30;
constexpr std::uint32_t kLastStepOfPhase = kStepsPerPhase - 1;
constexpr float kClearGreyOfDaylight = 180.0f;
constexpr std::uint32_t kMillisecondsPerSecond = 1000;
constexpr std::uint32_t kHundredthsPerSecond = 100;
constexpr std::uint32_t kMillisecondsPerHundredth = 10;
constexpr float kFogLevelScale = 256.0f;

// The angle brought into [0, 512) by a bounded method; null for NaN and infinities, which the
// caller does not take.
std::optional<float> WrapAngle(float angle) {
  if (!std::isfinite(angle)) {
    return std::nullopt;
  }
  float wrapped = std::fmod(angle, kFullTurn);
  if (wrapped < 0.0f) {
    wrapped += kFullTurn;
  }
  // A tiny negative remainder rounds up to a full turn.
  if (wrapped >= kFullTurn) {
    wrapped -= kFullTurn;
  }
  return wrapped;
}

void SetWrapped(float& angle, float value) {
  if (std::optional<float> wrapped = WrapAngle(value)) {
    angle = *wrapped;
  }
}

bool IsStep(std::uint32_t step) { return step < static_cast<std::uint32_t>(kTimeOfDaySteps); }

std::uint32_t LocalClock() { return timeGetTime() / kMillisecondsPerHundredth; }

// Adds the velocity and starts over at exactly 0 once a full texture has scrolled by.
void Scroll(float& offset, float velocity) {
  offset += velocity;
  if (offset >= 1.0f) {
    offset = 0.0f;
  }
}

void ShineAmbient(const DayLightTargets& targets, float level) {
  if (targets.ambient != nullptr) {
    targets.ambient->SetAmbientLight(targets.world, level);
  }
}

}  // namespace

void CDayClock::SyncTime(std::span<const std::uint8_t> payload) {
  const std::optional<TimeBase> base = ReadTimeBase(payload);
  if (!base || base->end <= base->start) {
    return;
  }
  sky_.dayClock = base->clock;
  sky_.lastLocalClock = LocalClock();
  sky_.dayPhase = base->phase;
  sky_.phaseStart = base->start;
  sky_.phaseEnd = base->end;
}

void CDayClock::SetTimeOfDay(std::span<const std::uint8_t> payload, std::uint32_t now,
                             const DayLightTargets& targets) {
  const std::optional<TimeOfDay> time = ReadTimeOfDay(payload);
  // The steps index the tables; a message with another step would read past them.
  if (!time || !IsStep(time->step) || !IsStep(time->target)) {
    return;
  }
  const auto step = static_cast<std::int32_t>(time->step);
  const auto target = static_cast<std::int32_t>(time->target);
  timeOfDayStep_ = step;
  targetStep_ = target;
  ShineAmbient(targets, AmbientTable[step]);

  if (time->phaseSeconds != 0 && time->cycleSeconds != 0) {
    const float share =
        static_cast<float>(time->phaseSeconds) / static_cast<float>(time->cycleSeconds);
    // The start lies steps ahead of now for a dawn or dusk still running; all unsigned.
    const std::uint32_t phaseLeft = time->leftSeconds - time->phaseSeconds;
    std::optional<float> base;
    std::uint32_t stepsAhead = 0;
    if (step == kFullDayStep && target == kFullDayStep) {
      base = kFullTurn - kHalfTurn * share;
    } else if (step == kFullNightStep && target == kFullNightStep) {
      base = kHalfTurn - kHalfTurn * share;
    } else if (target == kFullDayStep) {
      std::int32_t n = kFullDayStep - step;
      if (n < 0) {
        n += kTimeOfDaySteps;
      }
      stepsAhead = static_cast<std::uint32_t>(n);
      base = 3 * kQuarterTurn - kHalfTurn * share;
    } else if (target == kFullNightStep) {
      stepsAhead = static_cast<std::uint32_t>(kFullNightStep - step);
      base = kQuarterTurn - kHalfTurn * share;
    }
    if (base) {
      sun_.start = now + kMillisecondsPerSecond * (time->stepSeconds * stepsAhead + phaseLeft);
      sun_.length = kMillisecondsPerSecond * time->phaseSeconds;
      sun_.sweep = kFullTurn * share;
      sun_.base = *base;
    }
    // Without a sun model (none placed yet, or a length that wrapped to 0) the sun stays.
    if (sun_.length != 0) {
      const float elapsed = static_cast<float>(now - sun_.start);
      const float sun = sun_.base + sun_.sweep * elapsed / static_cast<float>(sun_.length);
      if (std::optional<float> wrapped = WrapAngle(sun)) {
        sky_.sunAngle = *wrapped;
        SetWrapped(sky_.moonAngle, sky_.sunAngle + kHalfTurn);
      }
    }
  }
  sky_.step = step;
  sky_.blend = 1.0f;
}

bool CDayClock::UpdateAtmosphere(const DayLightTargets& targets, bool infraRed) {
  const std::uint32_t local = LocalClock();
  sky_.dayClock += local - sky_.lastLocalClock;
  sky_.lastLocalClock = local;

  Scroll(sky_.farCloudScroll, sky_.farCloudVelocity);
  Scroll(sky_.nearCloudScroll, sky_.nearCloudVelocity);

  if (sky_.dayClock >= sky_.phaseEnd) {
    return false;
  }
  RunDayPhase(targets, infraRed);
  return true;
}

void CDayClock::RunDayPhase(const DayLightTargets& targets, bool infraRed) {
  // A clock before the phase start (the global parameters reset it to 0) counts as the start,
  // so that the fraction and the step stay within the phase.
  const std::uint32_t elapsed =
      sky_.dayClock < sky_.phaseStart ? 0 : sky_.dayClock - sky_.phaseStart;
  const std::uint32_t length = sky_.phaseEnd - sky_.phaseStart;
  const auto f = static_cast<float>(static_cast<double>(elapsed) / static_cast<double>(length));
  // Wide arithmetic: 30 x elapsed overflows 32 bits in phases longer than about 16 days.
  const auto q = static_cast<std::int32_t>(
      std::min<std::uint64_t>(std::uint64_t{kStepsPerPhase} * elapsed / length, kLastStepOfPhase));
  const float thirtieths = kStepsPerPhase * f;
  const float withinStep = thirtieths - std::trunc(thirtieths);

  // Each phase starts the sun at its own base angle: night 192, dawn 320, day 448, dusk 64.
  std::optional<std::int32_t> step;
  switch (static_cast<DayPhase>(sky_.dayPhase)) {
    case DayPhase::kNight:
      sun_.base = 192.0f;
      step = kFullNightStep;
      sky_.blend = 1.0f - f;
      daylight_ = 0.0f;
      break;
    case DayPhase::kDawn:
      sun_.base = 320.0f;
      step = (q + kFullNightStep) % kTimeOfDaySteps;
      daylight_ = f;
      sky_.blend = 1.0f - withinStep;
      break;
    case DayPhase::kDay:
      sun_.base = 448.0f;
      step = kFullDayStep;
      sky_.blend = 1.0f - f;
      daylight_ = 1.0f;
      break;
    case DayPhase::kDusk:
      sun_.base = 64.0f;
      step = q + kFullDayStep;
      daylight_ = 1.0f - f;
      sky_.blend = 1.0f - withinStep;
      break;
  }
  if (step) {
    sky_.step = *step;
    timeOfDayStep_ = *step;
  }

  skyClearGrey_ = static_cast<std::uint8_t>(std::trunc(daylight_ * kClearGreyOfDaylight));
  ShineAmbient(targets, infraRed ? 1.0f : daylight_);

  SetWrapped(sky_.sunAngle, f * kQuarterTurn + sun_.base);
  // The moon turns once per orbit period of day clock; a period of 0 leaves it standing.
  if (sky_.moonOrbitPeriod != 0) {
    const std::uint64_t orbit = std::uint64_t{kHundredthsPerSecond} * sky_.moonOrbitPeriod;
    SetWrapped(sky_.moonAngle, static_cast<float>(static_cast<double>(sky_.dayClock % orbit) /
                                                  static_cast<double>(orbit) * kFullTurn));
  }

  if (targets.context != nullptr && targets.context->glide != nullptr) {
    r3xGlideSetFog(targets.context->glide, 1,
                   static_cast<std::int32_t>(sky_.weatherLevel * kFogLevelScale), skyClearGrey_,
                   skyClearGrey_, skyClearGrey_);
  }
}
