// The Glide world draw: the frame's draw lists emptied, the front faces and the actors' sprites
// of the regions that the visible-region walk (engine/core/visible_regions.h) leaves queued, and
// the passes.
#include "engine/display/glide_world.h"

#include <cstdint>

#include "engine/core/camera.h"
#include "engine/core/frame_view.h"
#include "engine/core/object.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/render_context.h"
#include "engine/core/vertex_lighting.h"
#include "engine/core/visible_regions.h"
#include "engine/core/world.h"
#include "engine/display/glide_draw_list_internal.h"
#include "engine/display/glide_frame_internal.h"
#include "engine/display/glide_sprite_queue_internal.h"

namespace {

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
    const R3xRenderMethod method = _r3xResolveRenderMethod(context, face.surface.renderMethod);
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

// Queues the sprite parts that the shown actors of the region show. 0;
// R3X_GLIDE_WORLD_NO_MEMORY when the work array cannot grow; R3X_GLIDE_WORLD_INCOMPLETE when a
// sprite fails to queue.
std::int32_t QueueActors(R3xWorld* world, R3xRenderContext* context, const R3xCamera& camera,
                         const R3xRegionInfo& info) {
  std::uint32_t chosen = 0;
  if (_r3xChooseRegionActors(world, context, &camera, &info, &chosen) != R3X_DONE) {
    return R3X_GLIDE_WORLD_NO_MEMORY;
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
  const std::int32_t result = _r3xSetUpFrameView(world, context, camera);
  if (result == R3X_VISIBLE_NO_MEMORY) {
    return R3X_GLIDE_WORLD_NO_MEMORY;
  }
  _r3xGlideSetDepthState(context);
  return result;
}

std::int32_t r3xGlideDrawWorld(R3xWorld* world, R3xRenderContext* context,
                               const R3xCamera* camera) {
  const std::int32_t found = _r3xFindVisibleRegions(world, context, camera);
  if (found != R3X_DONE) {
    return found == R3X_VISIBLE_NO_MEMORY ? R3X_GLIDE_WORLD_NO_MEMORY : 0;
  }
  const std::uint32_t regionCount = world->regions.count;
  for (std::uint32_t i = 0; i < regionCount; ++i) {
    const R3xRegion* region = _r3xEnterVisibleRegion(world, context, camera, i);
    if (region == nullptr) {
      continue;
    }
    const R3xMeshGeometry* geometry = _r3xMeshGeometry(region);
    if (geometry != nullptr && region->vertices != nullptr) {
      QueueFrontFaces(context, *camera, *region, *geometry);
    }
    if (region->info != nullptr) {
      const std::int32_t queued = QueueActors(world, context, *camera, *region->info);
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
