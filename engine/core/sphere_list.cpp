#include "engine/core/sphere_list.h"

#include <cstddef>

#include "engine/core/definition.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/sphere_list_internal.h"

namespace {

float* copyFloats(const float* source, std::size_t count) {
  auto* copy = static_cast<float*>(r3xMalloc(count * sizeof(float)));
  if (copy != nullptr) {
    for (std::size_t i = 0; i < count; ++i) {
      copy[i] = source[i];
    }
  }
  return copy;
}

void freeSpheres(R3xSphereListDef* definition) {
  r3xFree(definition->centres);
  r3xFree(definition->radii);
  definition->centres = nullptr;
  definition->radii = nullptr;
}

// A copy belongs to no owner until it is placed.
R3xSphereList* registerCopy(R3xWorld* world, const R3xSphereList* source) {
  R3xSphereList* instance = _r3xCopyInstance(world, source);
  if (instance != nullptr) {
    instance->owner = nullptr;
  }
  return instance;
}

}  // namespace

R3xSphereListDef* r3xCreateSphereListDef(R3xWorld* world, const char* tag, float radius,
                                         std::uint32_t sphereCount, const float* centres,
                                         const float* radii, float defaultScale) {
  R3xSphereListDef* definition = nullptr;
  if (!_r3xBeginDefinition(world, tag, R3X_TYPE_SPHERE_LIST_DEF, &definition)) {
    return definition;
  }
  definition->radius = radius;
  definition->centres = copyFloats(centres, std::size_t{sphereCount} * 3);
  definition->radii = copyFloats(radii, sphereCount);
  definition->sphereCount = sphereCount;
  const bool copied =
      sphereCount == 0 || (definition->centres != nullptr && definition->radii != nullptr);
  const R3xSphereList defaults = {
      {R3X_TYPE_SPHERE_LIST, -1, nullptr, 0, 0}, defaultScale, definition, nullptr};
  return _r3xFinishDefinition(world, definition, copied, defaults, freeSpheres);
}

std::int32_t r3xDestroySphereListDef(R3xWorld* world, R3xSphereListDef* definition) {
  return _r3xDestroyDefinition(world, definition, freeSpheres);
}

R3xSphereList* r3xCreateSphereList(R3xWorld* world, R3xSphereListDef* definition) {
  return definition == nullptr ? nullptr : registerCopy(world, definition->defaultInstance);
}

R3xSphereList* r3xCopySphereList(R3xWorld* world, const R3xSphereList* instance) {
  return registerCopy(world, instance);
}

std::int32_t r3xDestroySphereList(R3xWorld* world, R3xSphereList* instance) {
  return _r3xDestroyInstance(world, instance);
}

std::int32_t r3xSetSphereListTag(R3xWorld* world, R3xSphereList* instance, const char* tag) {
  return r3xSetTag(world, &instance->header, tag);
}

float r3xGetSphereListScale(const R3xSphereList* instance) { return instance->scale; }

std::int32_t r3xSetSphereListScale(R3xSphereList* instance, float scale) {
  instance->scale = scale;
  return 0;
}

std::int32_t r3xGetSphereCenter(const R3xSphereList* instance, std::uint32_t i, float* out) {
  if (i >= instance->definition->sphereCount) {
    return R3X_ERR_FAILED;
  }
  for (int k = 0; k < 3; ++k) {
    out[k] = instance->definition->centres[3 * i + k];
  }
  return 0;
}

std::int32_t _r3xSphereWorldRadius(const R3xSphereList* instance, std::uint32_t i, float ownerScale,
                                   float* out) {
  if (i >= instance->definition->sphereCount) {
    return R3X_ERR_FAILED;
  }
  *out = instance->definition->radii[i] * instance->scale * ownerScale;
  return 0;
}

std::int32_t _r3xSphereWorldPosition(const R3xSphereList* instance, std::uint32_t i,
                                     const float* ownerPosition, const float* rotation,
                                     float ownerScale, float* out) {
  float centre[3];
  if (r3xGetSphereCenter(instance, i, centre) != 0) {
    return R3X_ERR_FAILED;
  }
  const float s = instance->scale * ownerScale;
  for (int k = 0; k < 3; ++k) {
    out[k] = ownerPosition[k] + s * (centre[0] * rotation[k] + centre[1] * rotation[3 + k] +
                                     centre[2] * rotation[6 + k]);
  }
  return 0;
}
