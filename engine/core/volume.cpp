#include "engine/core/volume.h"

#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/polyhedron.h"
#include "engine/core/sphere_list.h"

namespace {

R3xVolume gEmptyVolume{R3X_TYPE_NULL};
R3xVolume gNoCollisionVolume{R3X_TYPE_NO_COLLISION_VOLUME};

template <typename Record>
Record* newRecord(const Record& value) {
  auto* record = static_cast<Record*>(r3xMalloc(sizeof(Record)));
  if (record != nullptr) {
    *record = value;
  }
  return record;
}

void markOwnerDirty(R3xActor* owner) {
  // Every actor starts with its header.
  auto* header = reinterpret_cast<R3xObjectHeader*>(owner);
  if (header != nullptr && header->type == R3X_TYPE_ACTOR) {
    header->flags |= R3X_FLAG_TRANSFORM_DIRTY;
  }
}

}  // namespace

R3xVolume* r3xEmptyVolume() { return &gEmptyVolume; }

R3xVolume* r3xNoCollisionVolume() { return &gNoCollisionVolume; }

R3xSphereVolume* r3xCreateSphereVolume(float radius) {
  return newRecord(R3xSphereVolume{R3X_TYPE_SPHERE_VOLUME, nullptr, radius});
}

R3xTwoValueVolume* r3xCreateTwoValueVolume(float first, float second) {
  return newRecord(R3xTwoValueVolume{R3X_TYPE_TWO_VALUE_VOLUME, nullptr, first, second});
}

std::int32_t r3xFreeVolumeRecord(R3xVolume* volume) {
  r3xFree(volume);
  return 0;
}

float r3xGetVolumeRadius(const R3xVolume* volume) {
  switch (volume->type) {
    case R3X_TYPE_SPHERE_VOLUME:
      return reinterpret_cast<const R3xSphereVolume*>(volume)->radius;
    case R3X_TYPE_VOLUME_5W:
      return reinterpret_cast<const R3xCentredSphereVolume*>(volume)->radius;
    case R3X_TYPE_TWO_VALUE_VOLUME:
      return reinterpret_cast<const R3xTwoValueVolume*>(volume)->first;
    default:
      return 0.0f;
  }
}

std::int32_t r3xSetVolumeRadius(R3xVolume* volume, float radius) {
  switch (volume->type) {
    case R3X_TYPE_SPHERE_VOLUME: {
      auto* sphere = reinterpret_cast<R3xSphereVolume*>(volume);
      sphere->radius = radius;
      markOwnerDirty(sphere->owner);
      return 0;
    }
    case R3X_TYPE_VOLUME_5W:
      reinterpret_cast<R3xCentredSphereVolume*>(volume)->radius = radius;
      return 0;
    case R3X_TYPE_TWO_VALUE_VOLUME: {
      auto* twoValue = reinterpret_cast<R3xTwoValueVolume*>(volume);
      twoValue->first = radius;
      markOwnerDirty(twoValue->owner);
      return 0;
    }
    default:
      return R3X_ERR_FAILED;
  }
}

R3xVolume* r3xCopyVolume(R3xWorld* world, const R3xVolume* volume) {
  if (volume == nullptr) {
    return &gEmptyVolume;
  }
  switch (volume->type) {
    case R3X_TYPE_NULL:
      return &gEmptyVolume;
    case R3X_TYPE_NO_COLLISION_VOLUME:
      return &gNoCollisionVolume;
    case R3X_TYPE_POLYHEDRON:
      return reinterpret_cast<R3xVolume*>(
          r3xCopyPolyhedron(world, reinterpret_cast<const R3xPolyhedron*>(volume)));
    case R3X_TYPE_SPHERE_LIST:
      return reinterpret_cast<R3xVolume*>(
          r3xCopySphereList(world, reinterpret_cast<const R3xSphereList*>(volume)));
    case R3X_TYPE_SPHERE_VOLUME: {
      R3xSphereVolume copy = *reinterpret_cast<const R3xSphereVolume*>(volume);
      copy.owner = nullptr;
      return reinterpret_cast<R3xVolume*>(newRecord(copy));
    }
    case R3X_TYPE_VOLUME_5W:
      return reinterpret_cast<R3xVolume*>(
          newRecord(*reinterpret_cast<const R3xCentredSphereVolume*>(volume)));
    case R3X_TYPE_TWO_VALUE_VOLUME: {
      R3xTwoValueVolume copy = *reinterpret_cast<const R3xTwoValueVolume*>(volume);
      copy.owner = nullptr;
      return reinterpret_cast<R3xVolume*>(newRecord(copy));
    }
    default:
      return nullptr;
  }
}

std::int32_t r3xDestroyVolume(R3xWorld* world, R3xVolume* volume) {
  if (volume == nullptr) {
    return 0;
  }
  switch (volume->type) {
    case R3X_TYPE_NULL:
    case R3X_TYPE_NO_COLLISION_VOLUME:
      // Only the shared records have these types.
      return 0;
    case R3X_TYPE_POLYHEDRON:
      return r3xDestroyPolyhedron(world, reinterpret_cast<R3xPolyhedron*>(volume));
    case R3X_TYPE_SPHERE_LIST:
      return r3xDestroySphereList(world, reinterpret_cast<R3xSphereList*>(volume));
    case R3X_TYPE_SPHERE_VOLUME:
    case R3X_TYPE_VOLUME_5W:
    case R3X_TYPE_TWO_VALUE_VOLUME:
      r3xFree(volume);
      return 0;
    default:
      return R3X_ERR_FAILED;
  }
}
