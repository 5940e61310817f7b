// The camera's visibility leaf, the visible-list decoding into the region stamps, the
// bounding-sphere cull with the planes each region crosses, and the actors' parts.
#include "engine/core/visible_regions.h"

#include <cstddef>
#include <cstdint>

#include "engine/core/actor.h"
#include "engine/core/actor_def.h"
#include "engine/core/actor_lod.h"
#include "engine/core/camera.h"
#include "engine/core/memory.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/world.h"

namespace {

constexpr std::uint16_t kCodeKind = 0xC000;
constexpr std::uint16_t kSkip = 0x0000;
constexpr std::uint16_t kSkipThenStamp = 0x4000;
constexpr std::uint16_t kStampThenSkip = 0x8000;
constexpr std::uint16_t kRun = 0x3FFF;

// A new zeroed stamp array for the region count; false when out of memory.
bool MakeStamps(R3xRenderContext* context, std::uint32_t regionCount) {
  r3xFree(context->regionStamps);
  context->regionStampCapacity = 0;
  const std::uint32_t capacity = regionCount + R3X_SPARE_REGION_STAMPS;
  context->regionStamps =
      static_cast<std::uint32_t*>(r3xMalloc(std::size_t{capacity} * sizeof(std::uint32_t)));
  if (context->regionStamps == nullptr) {
    return false;
  }
  for (std::uint32_t i = 0; i < capacity; ++i) {
    context->regionStamps[i] = 0;
  }
  context->regionStampCapacity = capacity;
  context->lastDecodedRegion = -1;
  context->visitStamp = 0;
  return true;
}

// Walks the visible list's codes over the stamps. Runs past the last region are cut there.
class StampCursor {
 public:
  StampCursor(std::uint32_t* stamps, std::uint32_t count, std::uint32_t stamp)
      : stamps_(stamps), count_(count), stamp_(stamp) {}
  void Skip(std::uint32_t n) { cursor_ += n; }
  void Stamp(std::uint32_t n) {
    for (std::uint64_t i = cursor_; i < cursor_ + n && i < count_; ++i) {
      stamps_[i] = stamp_;
    }
    cursor_ += n;
  }

 private:
  std::uint32_t* stamps_;
  std::uint64_t count_;
  std::uint32_t stamp_;
  std::uint64_t cursor_ = 0;
};

void DecodeVisibleList(R3xRenderContext* context, const R3xMeshGeometry& geometry,
                       const R3xVisibleList& list, std::uint32_t regionCount,
                       std::int32_t ownRegion) {
  const std::uint32_t stamp = context->visitStamp;
  std::uint32_t* stamps = context->regionStamps;
  if (geometry.encodedVisibility == 0) {
    // Indexes beyond the regions are ignored.
    for (std::uint32_t k = 0; k < list.count; ++k) {
      if (list.regions[k] < regionCount) {
        stamps[list.regions[k]] = stamp;
      }
    }
    stamps[ownRegion] = stamp;
    return;
  }
  StampCursor cursor(stamps, regionCount, stamp);
  for (std::uint32_t k = 0; k < list.count; ++k) {
    const std::uint16_t code = list.regions[k];
    const std::uint32_t n = code & kRun;
    const std::uint32_t a = (code >> 7) & 0x7F;
    const std::uint32_t b = code & 0x7F;
    switch (code & kCodeKind) {
      case kSkip:
        cursor.Skip(n);
        break;
      case kSkipThenStamp:
        cursor.Skip(a);
        cursor.Stamp(b);
        break;
      case kStampThenSkip:
        cursor.Stamp(a);
        cursor.Skip(b);
        break;
      default:
        cursor.Stamp(n);
        break;
    }
  }
}

// The visible list of the leaf the camera stands in, or null when the walk finds none.
const R3xVisibleList* FindLeaf(const R3xMeshGeometry& geometry, const R3xCamera& camera) {
  const R3xVisNode* node = geometry.visNodeCount == 0 ? nullptr : geometry.visNodes;
  // The loaders refuse cycles, so every walk ends.
  while (node != nullptr && node->list == nullptr) {
    const float* p = node->plane;
    node = p[0] * -camera.x + p[1] * -camera.y + p[2] * -camera.z < p[3] ? node->front : node->back;
  }
  return node == nullptr ? nullptr : node->list;
}

// Adds the plane's flag when the sphere crosses it; false when the sphere lies outside it.
bool TestPlane(float s, float bound, float radius, std::uint32_t flag, std::uint32_t* flags) {
  if (s * s <= bound * radius * radius) {
    *flags |= flag;
    return true;
  }
  return !(s < 0.0f);
}

// False when the region's sphere lies outside the view volume; otherwise the planes it crosses.
bool CullSphere(const R3xRenderContext& context, const R3xCamera& camera,
                const R3xCentredSphereVolume& sphere, std::uint32_t* flags) {
  const float c[3] = {sphere.x - camera.x, sphere.y - camera.y, sphere.z - camera.z};
  const float* v = context.view;
  const float x = c[0] * v[0] + c[1] * v[3] + c[2] * v[6];
  const float y = c[0] * v[1] + c[1] * v[4] + c[2] * v[7];
  const float z = c[0] * v[2] + c[1] * v[5] + c[2] * v[8];
  const float r = sphere.radius;
  if (z + r < context.nearDistance || z - r > context.farDistance) {
    return false;
  }
  const float* factors = context.frustumFactors;
  *flags = 0;
  if (!TestPlane(factors[1] * z + y, factors[3], r, R3X_CLIP_BOTTOM, flags) ||
      !TestPlane(factors[1] * z - y, factors[3], r, R3X_CLIP_TOP, flags) ||
      !TestPlane(factors[0] * z + x, factors[2], r, R3X_CLIP_LEFT, flags) ||
      !TestPlane(factors[0] * z - x, factors[2], r, R3X_CLIP_RIGHT, flags)) {
    return false;
  }
  if (z - r <= context.nearDistance) {
    *flags |= R3X_CLIP_NEAR;
  }
  if (z + r >= context.farDistance) {
    *flags |= R3X_CLIP_FAR;
  }
  return true;
}

// The actor in the slot, or null when the slot holds none.
R3xActor* ActorAt(const R3xWorld* world, std::int32_t slot) {
  const R3xSlotTable& actors = world->actors;
  if (slot < 0 || static_cast<std::uint32_t>(slot) >= actors.capacity || actors.slots == nullptr) {
    return nullptr;
  }
  R3xObjectHeader* object = actors.slots[slot].object;
  return object != nullptr && object->type == R3X_TYPE_ACTOR ? reinterpret_cast<R3xActor*>(object)
                                                             : nullptr;
}

}  // namespace

std::int32_t _r3xPrepareRegionStamps(R3xRenderContext* context, std::uint32_t regionCount) {
  if (regionCount + R3X_SPARE_REGION_STAMPS > context->regionStampCapacity &&
      !MakeStamps(context, regionCount)) {
    return R3X_VISIBLE_NO_MEMORY;
  }
  return R3X_DONE;
}

std::int32_t _r3xFindVisibleRegions(const R3xWorld* world, R3xRenderContext* context,
                                    const R3xCamera* camera) {
  const std::uint32_t regionCount = world->regions.count;
  if (camera->region < 0 || static_cast<std::uint32_t>(camera->region) >= regionCount) {
    return R3X_VISIBLE_NONE;
  }
  const R3xRegion* cameraRegion = r3xGetRegion(world, camera->region);
  const R3xMeshGeometry* cameraGeometry =
      cameraRegion == nullptr ? nullptr : _r3xMeshGeometry(cameraRegion);
  if (cameraGeometry == nullptr) {
    return R3X_VISIBLE_NONE;
  }
  const R3xVisibleList* leaf = FindLeaf(*cameraGeometry, *camera);
  if (leaf == nullptr) {
    return R3X_VISIBLE_NONE;
  }
  // The frame may have failed to make the stamps, or the world gained regions since.
  if (context->regionStamps == nullptr || context->regionStampCapacity < regionCount) {
    if (!MakeStamps(context, regionCount)) {
      return R3X_VISIBLE_NO_MEMORY;
    }
  }
  if (camera->region != context->lastDecodedRegion) {
    ++context->visitStamp;
    context->lastDecodedRegion = camera->region;
    DecodeVisibleList(context, *cameraGeometry, *leaf, regionCount, camera->region);
  }
  return R3X_DONE;
}

const R3xRegion* _r3xEnterVisibleRegion(const R3xWorld* world, R3xRenderContext* context,
                                        const R3xCamera* camera, std::uint32_t index) {
  if (context->regionStamps[index] != context->visitStamp) {
    return nullptr;
  }
  const R3xRegion* region = r3xGetRegion(world, static_cast<std::int32_t>(index));
  std::uint32_t flags = 0;
  if (region == nullptr || !CullSphere(*context, *camera, region->bounds, &flags)) {
    return nullptr;
  }
  context->planeMask = flags;
  context->clipMask = flags;
  ++context->regionCount;
  const R3xRegionInfo* info = region->info;
  context->lightCount = info == nullptr ? 0 : info->lightCount;
  context->lights = info == nullptr ? nullptr : info->lights;
  return region;
}

std::int32_t _r3xChooseRegionActors(R3xWorld* world, R3xRenderContext* context,
                                    const R3xCamera* camera, const R3xRegionInfo* info,
                                    std::uint32_t* chosen) {
  if (info->objectCount > context->actorWorkCapacity) {
    auto* grown = static_cast<R3xActorWorkEntry*>(
        r3xRealloc(context->actorWork, std::size_t{info->objectCount} * sizeof(R3xActorWorkEntry)));
    if (grown == nullptr) {
      return R3X_VISIBLE_NO_MEMORY;
    }
    context->actorWork = grown;
    context->actorWorkCapacity = info->objectCount;
  }
  const float viewer[3] = {camera->x, camera->y, camera->z};
  std::uint32_t count = 0;
  for (std::uint32_t k = 0; k < info->objectCount; ++k) {
    const R3xObjectEntry& entry = info->objects[k];
    R3xActor* actor = ActorAt(world, entry.object);
    if (actor == nullptr || (actor->header.flags & R3X_FLAG_HIDDEN) != 0) {
      continue;
    }
    const std::int32_t index = r3xChooseActorLod(world, actor, viewer);
    const bool known = actor->definition != nullptr && index >= 0 &&
                       static_cast<std::uint32_t>(index) < actor->definition->partCount;
    context->actorWork[count++] = {&entry, actor, index, known ? actor->parts[index] : nullptr};
  }
  *chosen = count;
  return R3X_DONE;
}
