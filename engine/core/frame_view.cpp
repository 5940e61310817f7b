#include "engine/core/frame_view.h"

#include <cstdint>

#include "engine/core/camera.h"
#include "engine/core/render_context.h"
#include "engine/core/visible_regions.h"
#include "engine/core/world.h"

std::int32_t _r3xSetUpFrameView(const R3xWorld* world, R3xRenderContext* context,
                                const R3xCamera* camera) {
  if (_r3xPrepareRegionStamps(context, world->regions.count) != R3X_DONE) {
    return R3X_VISIBLE_NO_MEMORY;
  }
  context->halfViewWidth = static_cast<float>(camera->viewWidth) * 0.5f;
  context->halfViewHeight = static_cast<float>(camera->viewHeight) * 0.5f;
  context->nearDistance = camera->nearDistance;
  context->farDistance = camera->farDistance;
  context->worldTime = world->time;
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
