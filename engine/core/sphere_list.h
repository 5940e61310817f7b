// Sphere lists: collision volumes that approximate a vehicle by several spheres given in the
// owner's local frame. A definition owns the spheres and a default instance; an instance carries
// a scale and, once an actor takes it as its volume, that actor.
// Results: an object, or null; 0 or a negative R3X_ERR_ code; values.
#pragma once

#include <cstdint>

#include "engine/core/object.h"

struct R3xWorld;
struct R3xActor;
struct R3xSphereList;

// R3X_TYPE_SPHERE_LIST_DEF. The reference count is 1 for the default instance plus 1 for
// every other instance.
struct R3xSphereListDef {
  R3xObjectHeader header;
  // Bounding radius at scale 1.
  float radius;
  std::uint32_t sphereCount;
  // Owned: xyz per sphere.
  float* centres;
  // Owned: one per sphere.
  float* radii;
  R3xSphereList* defaultInstance;
};

// R3X_TYPE_SPHERE_LIST, used as an R3xVolume. The header's reference count is not used.
struct R3xSphereList {
  R3xObjectHeader header;
  float scale;
  R3xSphereListDef* definition;
  // The actor whose volume this is, or null.
  R3xActor* owner;
};

// As r3xDefinePolyhedron, with copies of the centres and radii.
R3xSphereListDef* r3xCreateSphereListDef(R3xWorld* world, const char* tag, float radius,
                                         std::uint32_t sphereCount, const float* centres,
                                         const float* radii, float defaultScale);
// R3X_ERR_FAILED, with nothing changed, while other instances exist; 0.
std::int32_t r3xDestroySphereListDef(R3xWorld* world, R3xSphereListDef* definition);

// Registered, untagged copies without owner, counted in the definition; null on failure.
R3xSphereList* r3xCreateSphereList(R3xWorld* world, R3xSphereListDef* definition);
R3xSphereList* r3xCopySphereList(R3xWorld* world, const R3xSphereList* instance);
// 0, or R3X_ERR_DEFAULT_INSTANCE for a definition's default instance.
std::int32_t r3xDestroySphereList(R3xWorld* world, R3xSphereList* instance);

// As r3xSetTag.
std::int32_t r3xSetSphereListTag(R3xWorld* world, R3xSphereList* instance, const char* tag);
float r3xGetSphereListScale(const R3xSphereList* instance);
std::int32_t r3xSetSphereListScale(R3xSphereList* instance, float scale);

// The local centre of sphere i: 0, or R3X_ERR_FAILED when i is not below the count.
std::int32_t r3xGetSphereCenter(const R3xSphereList* instance, std::uint32_t i, float* out);
