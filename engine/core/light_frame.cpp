// The frame step of an animated light, shared by the board's and the software drawers' lighting.
#include <cstdint>

#include "engine/core/light.h"
#include "engine/core/light_internal.h"

namespace {

// Late lights skip whole frames at once beyond this many delays.
constexpr std::uint32_t kStepwiseDelays = 16;

void StepFrame(R3xLight* light, std::uint32_t frameCount) {
  light->currentFrame = light->currentFrame + 1 >= frameCount ? 0 : light->currentFrame + 1;
}

}  // namespace

void _r3xAdvanceLightFrame(R3xLight* light, std::uint32_t now) {
  const std::uint32_t frameCount = light->definition->frameCount;
  if (frameCount <= 1 || !(light->startTime < now)) {
    return;
  }
  const std::uint32_t delay = light->delay;
  // A delay of 0 would divide by zero in the catch-up: such a light steps one frame a call.
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

float _r3xCurrentLightIntensity(R3xLight* light, std::uint32_t now) {
  const R3xLightDef* definition = light->definition;
  if (definition->frameCount <= 1) {
    return definition->intensity;
  }
  _r3xAdvanceLightFrame(light, now);
  return definition->intensities[_r3xLightShownFrame(light)];
}
