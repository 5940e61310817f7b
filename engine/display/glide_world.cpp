// The Glide world draw: the camera's visibility leaf, the visible-list decoding into the region
// stamps, the bounding-sphere cull with the planes each region crosses, and the face queueing.
#include "engine/display/glide_world.h"

#include <cstddef>
#include <cstdint>

#include "engine/core/actor.h"
#include "engine/core/actor_def.h"
#include "engine/core/actor_lod.h"
#include "engine/core/camera.h"
#include "engine/core/memory.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/render_context.h"
#include "engine/core/world.h"
#include "engine/display/glide_draw_list_internal.h"
#include "engine/display/glide_frame_internal.h"
#include "engine/display/glide_sprite_queue_internal.h"
#include "engine/display/vertex_lighting.h"

namespace {

// Stamps kept beyond the region count, so that a few regions more need no new array.
constexpr std::uint32_t kSpareStamps = 100;

constexpr std::uint16_t kCodeKind = 0xC000;
constexpr std::uint16_t kSkip = 0x0000;
constexpr std::uint16_t kSkipThenStamp = 0x4000;
constexpr std::uint16_t kStampThenSkip = 0x8000;
constexpr std::uint16_t kRun = 0x3FFF;

// A new zeroed stamp array for the region count; false when out of memory.
bool MakeStamps(R3xRenderContext* context, std::uint32_t regionCount) {
  r3xFree(context->regionStamps);
  context->regionStampCapacity = 0;
  const std::uint32_t capacity = regionCount + kSpareStamps;
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

// The face's render method with an indirect one looked up; 0 (never drawn) for an indirect
// index beyond the table.
R3xRenderMethod ResolveMethod(const R3xRenderContext& context, R3xRenderMethod method) {
  if ((method & R3X_RENDER_INDIRECT) == 0) {
    return method;
  }
  const std::uint32_t index = method & R3X_RENDER_INDIRECT_INDEX;
  return index < context.indirect.count ? context.indirect.methods[index] : 0;
}

void QueueFrontFaces(R3xRenderContext* context, const R3xCamera& camera, const R3xRegion& region,
                     const R3xMeshGeometry& geometry) {
  if (geometry.ambient != nullptr) {
    const R3xLightColour colour = _r3xCurrentLightColor(geometry.ambient, context->worldTime);
    context->ambient[0] = colour.red;
    context->ambient[1] = colour.green;
    context->ambient[2] = colour.blue;
  }
  for (std::uint32_t i = 0; i < geometry.faceCount; ++i) {
    const R3xRegionFace& face = geometry.faces[i];
    const R3xRenderMethod method = ResolveMethod(*context, face.surface.renderMethod);
    if (method == 0) {
      continue;
    }
    const float* n = face.polygon.normal;
    if (!(n[0] * -camera.x + n[1] * -camera.y + n[2] * -camera.z < face.polygon.distance)) {
      continue;
    }
    _r3xGlideQueuePolygon(context, &face.polygon, region.vertices, &face.surface, method);
  }
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

// Chooses the part every shown actor of the region shows, then queues the sprite parts. 0;
// R3X_GLIDE_WORLD_NO_MEMORY when the work array cannot grow; R3X_GLIDE_WORLD_INCOMPLETE when a
// sprite fails to queue.
std::int32_t QueueActors(R3xWorld* world, R3xRenderContext* context, const R3xCamera& camera,
                         const R3xRegionInfo& info) {
  if (info.objectCount > context->actorWorkCapacity) {
    auto* grown = static_cast<R3xActorWorkEntry*>(
        r3xRealloc(context->actorWork, std::size_t{info.objectCount} * sizeof(R3xActorWorkEntry)));
    if (grown == nullptr) {
      return R3X_GLIDE_WORLD_NO_MEMORY;
    }
    context->actorWork = grown;
    context->actorWorkCapacity = info.objectCount;
  }
  const float viewer[3] = {camera.x, camera.y, camera.z};
  std::uint32_t chosen = 0;
  for (std::uint32_t k = 0; k < info.objectCount; ++k) {
    const R3xObjectEntry& entry = info.objects[k];
    R3xActor* actor = ActorAt(world, entry.object);
    if (actor == nullptr || (actor->header.flags & R3X_FLAG_HIDDEN) != 0) {
      continue;
    }
    const std::int32_t index = r3xChooseActorLod(world, actor, viewer);
    const bool known = actor->definition != nullptr && index >= 0 &&
                       static_cast<std::uint32_t>(index) < actor->definition->partCount;
    context->actorWork[chosen++] = {&entry, actor, index, known ? actor->parts[index] : nullptr};
  }
  for (std::uint32_t k = 0; k < chosen; ++k) {
    const R3xActorWorkEntry& work = context->actorWork[k];
    std::int32_t result = R3X_DONE;
    if (work.part == nullptr) {
      continue;
    }
    if (work.part->type == R3X_TYPE_2D_SPRITE) {
      result = _r3xGlideQueue2DSprite(world, context, work.entry,
                                      reinterpret_cast<R3x2DSprite*>(work.part));
    } else if (work.part->type == R3X_TYPE_3D_SPRITE) {
      result = _r3xGlideQueue3DSprite(world, context, work.entry,
                                      reinterpret_cast<R3x3DSprite*>(work.part), work.partIndex);
    }
    if (result < 0) {
      return R3X_GLIDE_WORLD_INCOMPLETE;
    }
  }
  return 0;
}

}  // namespace

std::int32_t r3xGlideBeginFrame(const R3xWorld* world, R3xRenderContext* context,
                                const R3xCamera* camera) {
  _r3xGlideResetDrawPool(context->glide);
  _r3xGlideResetSpriteStores();
  const std::uint32_t regionCount = world->regions.count;
  if (regionCount + kSpareStamps > context->regionStampCapacity &&
      !MakeStamps(context, regionCount)) {
    return R3X_GLIDE_WORLD_NO_MEMORY;
  }
  context->halfViewWidth = static_cast<float>(camera->viewWidth) * 0.5f;
  context->halfViewHeight = static_cast<float>(camera->viewHeight) * 0.5f;
  context->nearDistance = camera->nearDistance;
  context->farDistance = camera->farDistance;
  context->worldTime = world->time;
  _r3xGlideSetDepthState(context);
  context->polygonCount = 0;
  context->regionCount = 0;
  context->translation[0] = -camera->x;
  context->translation[1] = -camera->y;
  context->translation[2] = -camera->z;
  for (float& channel : context->viewLight) {
    channel = 0.0f;
  }
  context->excludedLight = nullptr;
  const std::int32_t result = r3xSetViewMatrix(context, camera);
  if (result < 0) {
    return result;
  }
  // The tangents of the half field of view: the view matrix holds their cotangents.
  const float tangent = 1.0f / context->projection[0];
  const float tangentOverAspect = 1.0f / context->projection[1];
  context->frustumFactors[0] = tangent;
  context->frustumFactors[1] = tangentOverAspect;
  context->frustumFactors[2] = tangent * tangent + 1.0f;
  context->frustumFactors[3] = tangentOverAspect * tangentOverAspect + 1.0f;
  context->queuedFogDistance = context->fogMode == R3X_FOG_MODE_2 ? context->fogDistance : 0.0f;
  // The software drawers' view inputs and thresholds; their pixel count starts the frame at 0.
  R3xRasterInputs& raster = context->raster;
  const auto width = static_cast<float>(camera->viewWidth);
  const auto height = static_cast<float>(camera->viewHeight);
  raster.rowLength = camera->rowLength;
  raster.viewOrigin = camera->viewOrigin;
  raster.screenToView[0] = 2.0f / (width - 1.0f);
  raster.screenToView[1] = 2.0f / (height - 1.0f);
  raster.flatDistance = camera->nearDistance +
                        (camera->farDistance - camera->nearDistance) * context->mipDistanceFactor;
  raster.perspectiveArea = width * height * raster.areaFactor;
  raster.pixelCount = 0;
  return result;
}

std::int32_t r3xGlideDrawWorld(R3xWorld* world, R3xRenderContext* context,
                               const R3xCamera* camera) {
  const std::uint32_t regionCount = world->regions.count;
  if (camera->region < 0 || static_cast<std::uint32_t>(camera->region) >= regionCount) {
    return 0;
  }
  const R3xRegion* cameraRegion = r3xGetRegion(world, camera->region);
  const R3xMeshGeometry* cameraGeometry =
      cameraRegion == nullptr ? nullptr : _r3xMeshGeometry(cameraRegion);
  if (cameraGeometry == nullptr) {
    return 0;
  }
  const R3xVisibleList* leaf = FindLeaf(*cameraGeometry, *camera);
  if (leaf == nullptr) {
    return 0;
  }
  // Begin-frame may have failed to make the stamps, or the world gained regions since.
  if (context->regionStamps == nullptr || context->regionStampCapacity < regionCount) {
    if (!MakeStamps(context, regionCount)) {
      return R3X_GLIDE_WORLD_NO_MEMORY;
    }
  }
  if (camera->region != context->lastDecodedRegion) {
    ++context->visitStamp;
    context->lastDecodedRegion = camera->region;
    DecodeVisibleList(context, *cameraGeometry, *leaf, regionCount, camera->region);
  }
  for (std::uint32_t i = 0; i < regionCount; ++i) {
    if (context->regionStamps[i] != context->visitStamp) {
      continue;
    }
    const R3xRegion* region = r3xGetRegion(world, static_cast<std::int32_t>(i));
    std::uint32_t flags = 0;
    if (region == nullptr || !CullSphere(*context, *camera, region->bounds, &flags)) {
      continue;
    }
    context->planeMask = flags;
    context->clipMask = flags;
    ++context->regionCount;
    const R3xRegionInfo* info = region->info;
    context->lightCount = info == nullptr ? 0 : info->lightCount;
    context->lights = info == nullptr ? nullptr : info->lights;
    const R3xMeshGeometry* geometry = _r3xMeshGeometry(region);
    if (geometry != nullptr && region->vertices != nullptr) {
      QueueFrontFaces(context, *camera, *region, *geometry);
    }
    if (info != nullptr) {
      const std::int32_t queued = QueueActors(world, context, *camera, *info);
      if (queued != 0) {
        _r3xGlideResetDrawPool(context->glide);
        return queued;
      }
    }
  }
  const std::int32_t result = _r3xGlideDrawPasses(context);
  _r3xGlideEndWorld(context);
  return result;
}
