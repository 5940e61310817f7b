#include "engine/core/light.h"

#include <cstddef>

#include "engine/core/definition.h"
#include "engine/core/error.h"
#include "engine/core/light_internal.h"
#include "engine/core/memory.h"
#include "engine/core/world.h"

namespace {

float* copyFloats(const float* values, std::size_t count) {
  auto* copy = static_cast<float*>(r3xMalloc(count * sizeof(float)));
  if (copy != nullptr) {
    for (std::size_t i = 0; i < count; ++i) {
      copy[i] = values[i];
    }
  }
  return copy;
}

}  // namespace

R3xLightDef* r3xCreateLightDef(R3xWorld* world, const char* tag, std::uint32_t frameCount,
                               const float* intensities, std::uint32_t currentFrame,
                               std::uint32_t delay, std::int32_t word) {
  const R3xTagLookup lookup = _r3xLookUpDefinitionTag(world, tag, R3X_TYPE_LIGHT_DEF);
  if (lookup.existing != nullptr || lookup.clash) {
    return reinterpret_cast<R3xLightDef*>(lookup.existing);
  }
  if (frameCount == 0 || intensities == nullptr) {
    return nullptr;
  }
  auto* definition = static_cast<R3xLightDef*>(r3xMalloc(sizeof(R3xLightDef)));
  auto* light = static_cast<R3xLight*>(r3xMalloc(sizeof(R3xLight)));
  if (definition != nullptr && light != nullptr) {
    *definition = {
        {R3X_TYPE_LIGHT_DEF, -1, nullptr, 0, 1}, frameCount, 0.0f, nullptr, nullptr, light};
    *light = {{R3X_TYPE_LIGHT, -1, nullptr, 0, 1}, currentFrame, delay, 0, word, definition};
    if (frameCount == 1) {
      definition->intensity = intensities[0];
    } else {
      definition->intensities = copyFloats(intensities, frameCount);
    }
    if ((frameCount == 1 || definition->intensities != nullptr) &&
        _r3xRegisterTagged(world, &definition->header, tag) == 0) {
      if (r3xRegisterObject(world, &light->header) == 0) {
        return definition;
      }
      _r3xUnregisterTagged(world, &definition->header);
    }
    r3xFree(definition->intensities);
  }
  r3xFree(light);
  r3xFree(definition);
  return nullptr;
}

std::int32_t r3xDestroyLightDef(R3xWorld* world, R3xLightDef* definition) {
  if (definition == nullptr || definition->header.type != R3X_TYPE_LIGHT_DEF) {
    return R3X_ERR_FAILED;
  }
  R3xLight* light = definition->defaultInstance;
  if (definition->header.refCount != 1 || light->header.refCount != 1) {
    return R3X_ERR_FAILED;
  }
  _r3xUnregisterTagged(world, &light->header);
  r3xFree(light);
  r3xFree(definition->intensities);
  r3xFree(definition->colours);
  _r3xUnregisterTagged(world, &definition->header);
  r3xFree(definition);
  return 0;
}

std::int32_t r3xSetLightDefIntensities(R3xLightDef* definition, const float* values) {
  if (definition->frameCount == 1) {
    definition->intensity = values[0];
    return 0;
  }
  for (std::uint32_t i = 0; i < definition->frameCount; ++i) {
    definition->intensities[i] = values[i];
  }
  return 0;
}

std::int32_t r3xSetColoredLightIntensities(R3xLightDef* definition, const float* colours) {
  if (colours == nullptr) {
    r3xFree(definition->colours);
    definition->colours = nullptr;
    return 0;
  }
  const std::size_t count = std::size_t{definition->frameCount} * 3;
  if (definition->colours == nullptr) {
    definition->colours = copyFloats(colours, count);
    return definition->colours == nullptr ? R3X_ERR_FAILED : 0;
  }
  for (std::size_t i = 0; i < count; ++i) {
    definition->colours[i] = colours[i];
  }
  return 0;
}

std::int32_t r3xIsLightDef(const R3xObjectHeader* object) {
  return object != nullptr && object->type == R3X_TYPE_LIGHT_DEF ? 0 : R3X_ERR_FAILED;
}

R3xLight* r3xCreateLight(R3xWorld* world, R3xLightDef* definition) {
  if (definition == nullptr || definition->header.type != R3X_TYPE_LIGHT_DEF) {
    return nullptr;
  }
  auto* light = static_cast<R3xLight*>(r3xMalloc(sizeof(R3xLight)));
  if (light == nullptr) {
    return nullptr;
  }
  *light = *definition->defaultInstance;
  light->header.refCount = 0;
  light->startTime = world->time + light->delay;
  if (_r3xRegisterInstance(world, &light->header, &definition->header) != 0) {
    r3xFree(light);
    return nullptr;
  }
  return light;
}

std::int32_t r3xDestroyLight(R3xWorld* world, R3xLight* light) {
  if (light == nullptr || light->header.type != R3X_TYPE_LIGHT || light->header.refCount != 0 ||
      light->definition->defaultInstance == light) {
    return R3X_ERR_FAILED;
  }
  _r3xUnregisterInstance(world, &light->header, &light->definition->header);
  r3xFree(light);
  return 0;
}

std::uint32_t _r3xLightShownFrame(const R3xLight* light) {
  return light->currentFrame < light->definition->frameCount ? light->currentFrame : 0;
}

std::int32_t r3xSetLightFrame(R3xLight* light, std::uint32_t frame) {
  if (frame >= light->definition->frameCount) {
    return R3X_ERR_FAILED;
  }
  light->currentFrame = frame;
  return 0;
}

std::int32_t r3xSetObjectTag(R3xWorld* world, R3xObjectHeader* object, const char* tag) {
  return r3xSetTag(world, object, tag);
}
