// Collision volumes: the shape that sweeps test an actor or a sprite part with. A volume is one
// of the small records below, a polyhedron instance or a sphere list instance; every kind
// starts with its type code.
// Results: an object, or null; 0 or a negative R3X_ERR_ code; values.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xActor;

// The first word of every volume.
struct R3xVolume {
  std::int32_t type;
};

// R3X_TYPE_SPHERE_VOLUME.
struct R3xSphereVolume {
  std::int32_t type;
  // The actor that holds the volume, or null.
  R3xActor* owner;
  float radius;
};

// R3X_TYPE_VOLUME_5W: the bounding sphere inside a region record.
struct R3xCentredSphereVolume {
  std::int32_t type;
  float x;
  float y;
  float z;
  float radius;
};

// R3X_TYPE_TWO_VALUE_VOLUME. An actor made with it and scale 0 takes the second value as its
// scale and radius.
struct R3xTwoValueVolume {
  std::int32_t type;
  R3xActor* owner;
  float first;
  float second;
};

// The shared record of type 0 (no volume) and the shared record of type 46 (moved without
// collision sweeps). Neither is ever freed.
R3xVolume* r3xEmptyVolume();
R3xVolume* r3xNoCollisionVolume();

// New records without owner, or null.
R3xSphereVolume* r3xCreateSphereVolume(float radius);
R3xTwoValueVolume* r3xCreateTwoValueVolume(float first, float second);
// Frees a record made above (null allowed). 0.
std::int32_t r3xFreeVolumeRecord(R3xVolume* volume);

// The radius of a sphere volume (the first value of a two-value volume, the radius of a
// centred sphere); 0 for other kinds.
float r3xGetVolumeRadius(const R3xVolume* volume);
// Stores the radius of those three kinds and marks an owning actor's transform dirty. 0, or
// R3X_ERR_FAILED for a kind without such a radius (nothing written).
std::int32_t r3xSetVolumeRadius(R3xVolume* volume, float radius);

// A copy of any volume: the shared records stay shared (null gives the empty record),
// polyhedra and sphere lists are copied as instances, small records get a new record without
// owner. Null for an unknown type or when out of memory.
R3xVolume* r3xCopyVolume(R3xWorld* world, const R3xVolume* volume);
// Destroys a volume as its kind needs (null and the shared records: nothing to do). 0, the
// instance destruction's result, or R3X_ERR_FAILED for an unknown type.
std::int32_t r3xDestroyVolume(R3xWorld* world, R3xVolume* volume);
