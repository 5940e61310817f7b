#include "engine/core/sphere_list.h"

#include <cstddef>

#include "engine/core/definition.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"

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

R3xSphereList* registerCopy(R3xWorld* world, const R3xSphereList& source) {
  auto* instance = static_cast<R3xSphereList*>(r3xMalloc(sizeof(R3xSphereList)));
  if (instance == nullptr) {
    return nullptr;
  }
  *instance = source;
  instance->owner = nullptr;
  if (_r3xRegisterInstance(world, &instance->header, &source.definition->header) != 0) {
    r3xFree(instance);
    return nullptr;
  }
  return instance;
}

}  // namespace

R3xSphereListDef* r3xCreateSphereListDef(R3xWorld* world, const char* tag, float radius,
                                         std::uint32_t sphereCount, const float* centres,
                                         const float* radii, float defaultScale) {
  const R3xTagLookup lookup = _r3xLookUpDefinitionTag(world, tag, R3X_TYPE_SPHERE_LIST_DEF);
  if (lookup.existing != nullptr || lookup.clash) {
    return reinterpret_cast<R3xSphereListDef*>(lookup.existing);
  }
  auto* definition = static_cast<R3xSphereListDef*>(r3xMalloc(sizeof(R3xSphereListDef)));
  if (definition == nullptr) {
    return nullptr;
  }
  definition->header = {R3X_TYPE_SPHERE_LIST_DEF, -1, nullptr, 0, 1};
  definition->radius = radius;
  if (_r3xRegisterTagged(world, &definition->header, tag) != 0) {
    r3xFree(definition);
    return nullptr;
  }
  definition->centres = copyFloats(centres, std::size_t{sphereCount} * 3);
  definition->radii = copyFloats(radii, sphereCount);
  definition->sphereCount = sphereCount;
  auto* instance = static_cast<R3xSphereList*>(r3xMalloc(sizeof(R3xSphereList)));
  const bool copied =
      sphereCount == 0 || (definition->centres != nullptr && definition->radii != nullptr);
  if (copied && instance != nullptr) {
    *instance = {{R3X_TYPE_SPHERE_LIST, -1, nullptr, 0, 0}, defaultScale, definition, nullptr};
    if (r3xRegisterObject(world, &instance->header) == 0) {
      definition->defaultInstance = instance;
      return definition;
    }
  }
  r3xFree(instance);
  freeSpheres(definition);
  _r3xUnregisterTagged(world, &definition->header);
  r3xFree(definition);
  return nullptr;
}

std::int32_t r3xDestroySphereListDef(R3xWorld* world, R3xSphereListDef* definition) {
  if (definition == nullptr || definition->header.refCount != 1) {
    return R3X_ERR_FAILED;
  }
  _r3xUnregisterTagged(world, &definition->defaultInstance->header);
  r3xFree(definition->defaultInstance);
  freeSpheres(definition);
  _r3xUnregisterTagged(world, &definition->header);
  r3xFree(definition);
  return 0;
}

R3xSphereList* r3xCreateSphereList(R3xWorld* world, R3xSphereListDef* definition) {
  return definition == nullptr ? nullptr : registerCopy(world, *definition->defaultInstance);
}

R3xSphereList* r3xCopySphereList(R3xWorld* world, const R3xSphereList* instance) {
  return instance == nullptr ? nullptr : registerCopy(world, *instance);
}

std::int32_t r3xDestroySphereList(R3xWorld* world, R3xSphereList* instance) {
  if (instance == nullptr) {
    return R3X_ERR_FAILED;
  }
  if (instance->definition->defaultInstance == instance) {
    return R3X_ERR_DEFAULT_INSTANCE;
  }
  _r3xUnregisterInstance(world, &instance->header, &instance->definition->header);
  r3xFree(instance);
  return 0;
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

std::int32_t _r3xSphereWorldRadius(const R3xSphereList* instance, std::uint32_t i,
                                   float ownerScale, float* out) {
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
