#include "engine/core/memory.h"
#include "engine/core/region.h"
#include "engine/core/surface.h"
#include "engine/world/action_list.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_result.h"
#include "engine/world/region_actions.h"
#include "engine/world/region_geometry.h"
#include "engine/world/region_work.h"

namespace {

// A sky without FOGDISTANCE is never fogged.
constexpr float kNoFog = 1e30f;

}  // namespace

std::int32_t parBeginSkyRegion(R3xParseContext* context, char* tag) {
  R3xRegionWork* work = _parRegionWork(context);
  if (work == nullptr) {
    r3xFree(tag);
    return PAR_STOP;
  }
  if (_parTakeRegion(context, work, tag) == nullptr) {
    return PAR_STOP;
  }
  work->openIsSky = true;
  return 0;
}

std::int32_t parSetSkyRegionVertices(R3xParseContext* context, R3xParseList* vertices) {
  R3xRegion* region = context->regionWork->open;
  if (vertices == nullptr) {
    return 0;
  }
  const std::uint64_t bytes = std::uint64_t{parListCount(vertices)} * vertices->elementSize;
  region->vertexCount = static_cast<std::uint32_t>(bytes / (3 * sizeof(float)));
  region->vertices = static_cast<float*>(parListDetach(vertices));
  return 0;
}

std::int32_t parEndSkyRegion(R3xParseContext* context, R3xParsedActionList* actions,
                             R3xSkyRegionTail* tail) {
  R3xRegionWork* work = context->regionWork;
  R3xRegion* region = work->open;
  const std::uint32_t actionCount = parListCount(&actions->actions);
  const std::uint32_t surfaceCount = parListCount(&actions->surfaces);
  R3xIndexedGeometry* geometry =
      parCreateIndexedGeometry(actionCount, static_cast<R3xAction*>(actions->actions.data),
                               tail->currentActionGiven != 0 ? tail->currentAction - 1 : 0,
                               surfaceCount, static_cast<R3xSurface*>(actions->surfaces.data),
                               work->ambient, tail->fogGiven != 0 ? tail->fogDistance : kNoFog);
  if (geometry == nullptr) {
    parFreeActionList(actions);
    parError(context, "out of memory");
    return PAR_STOP;
  }
  // The sprite parts of a sky are not kept; they stay in the world.
  parListDetach(&actions->actions);
  parListDetach(&actions->surfaces);
  parFreeActionList(actions);
  region->geometry = geometry;
  if (tail->sphereGiven != 0) {
    region->bounds = {R3X_TYPE_VOLUME_5W, tail->sphere[0], tail->sphere[1], tail->sphere[2],
                      tail->sphere[3]};
  } else if (CreateBoundingSphere(context, region) != 0) {
    return PAR_STOP;
  }
  region->userData = tail->userData;
  tail->userData = nullptr;
  return _parAddFinishedRegion(context, work, region);
}
