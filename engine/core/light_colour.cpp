// The colour of an animated light at the world time.
#include <cstdint>

#include "engine/core/light.h"
#include "engine/core/light_internal.h"
#include "engine/core/vertex_lighting.h"

R3xLightColour _r3xCurrentLightColor(R3xLight* light, std::uint32_t worldTime) {
  const R3xLightDef* definition = light->definition;
  if (definition->frameCount <= 1) {
    if (definition->colours != nullptr) {
      return {definition->colours[0], definition->colours[1], definition->colours[2]};
    }
    return {definition->intensity, definition->intensity, definition->intensity};
  }
  _r3xAdvanceLightFrame(light, worldTime);
  const std::uint32_t frame = _r3xLightShownFrame(light);
  if (definition->colours != nullptr) {
    const float* triple = definition->colours + 3 * static_cast<std::size_t>(frame);
    return {triple[0], triple[1], triple[2]};
  }
  const float intensity = definition->intensities[frame];
  return {intensity, intensity, intensity};
}
