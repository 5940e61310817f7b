// The colour of an animated light at the world time.
#include <cstdint>

#include "engine/core/light.h"
#include "engine/core/light_internal.h"
#include "engine/display/vertex_lighting.h"

namespace {

// Late lights skip whole frames at once beyond this many delays.
constexpr std::uint32_t kStepwiseDelays = 16;

void StepFrame(R3xLight* light, std::uint32_t frameCount) {
  light->currentFrame = light->currentFrame + 1 >= frameCount ? 0 : light->currentFrame + 1;
}

// The light's start time field holds the time of its next frame change, its word the catch-up
// flag.
void AdvanceFrame(R3xLight* light, std::uint32_t frameCount, std::uint32_t now) {
  const std::uint32_t delay = light->delay;
  if (delay == 0) {
    StepFrame(light, frameCount);
    light->startTime = now;
    return;
  }
  if (light->word == 0) {
    StepFrame(light, frameCount);
    light->startTime = now + delay;
    return;
  }
  std::uint32_t late = now - light->startTime;
  if (std::uint64_t{kStepwiseDelays} * delay < late) {
    const std::uint32_t k = late / delay;
    light->currentFrame = static_cast<std::uint32_t>(
        (static_cast<std::uint64_t>(light->currentFrame) + k + 1) % frameCount);
    late -= k * delay;
  } else {
    while (late > delay) {
      StepFrame(light, frameCount);
      late -= delay;
    }
    StepFrame(light, frameCount);
  }
  light->startTime = now - late + delay;
}

}  // namespace

R3xLightColour _r3xCurrentLightColor(R3xLight* light, std::uint32_t worldTime) {
  const R3xLightDef* definition = light->definition;
  if (definition->frameCount <= 1) {
    if (definition->colours != nullptr) {
      return {definition->colours[0], definition->colours[1], definition->colours[2]};
    }
    return {definition->intensity, definition->intensity, definition->intensity};
  }
  if (light->startTime < worldTime) {
    AdvanceFrame(light, definition->frameCount, worldTime);
  }
  const std::uint32_t frame = _r3xLightShownFrame(light);
  if (definition->colours != nullptr) {
    const float* triple = definition->colours + 3 * static_cast<std::size_t>(frame);
    return {triple[0], triple[1], triple[2]};
  }
  const float intensity = definition->intensities[frame];
  return {intensity, intensity, intensity};
}
