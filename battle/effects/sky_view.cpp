#include "battle/effects/sky_view.h"

#include "battle/core/vector3.h"
#include "engine/r3x_core.h"

namespace {

// The W-buffer holds z x 65528 / far: 65528 at the far distance.
constexpr float kDepthRange = 65528.0f;

}  // namespace

bool IsReadyForSky(const R3xRenderContext* context) {
  return context != nullptr && context->glideFlag != 0 && context->glide != nullptr &&
         context->mode != R3X_MODE_PALETTISED;
}

ClipPoint ToClipSpace(const R3xRenderContext& context, const R3xCamera& camera,
                      const float point[3]) {
  const float d[3] = {point[0] - camera.x, point[1] - camera.y, point[2] - camera.z};
  const float* v = context.view;
  return {Dot(context.clipColumns[0], d), Dot(context.clipColumns[1], d),
          v[2] * d[0] + v[5] * d[1] + v[8] * d[2]};
}

void PutSourceCorner(R3xRenderContext& context, std::int32_t index, const float world[3], float u,
                     float v, float red, float green, float blue) {
  R3xClipVertex& source = context.work.clip[0][index];
  source.x = world[0];
  source.y = world[1];
  source.z = world[2];
  source.u = u;
  source.v = v;
  source.red = red;
  source.green = green;
  source.blue = blue;
}

void PutClipCorner(R3xRenderContext& context, std::int32_t index, const ClipPoint& clip) {
  R3xClipVertex& input = context.work.clip[1][index];
  input.x = clip.x;
  input.y = clip.y;
  input.z = clip.z;
}

void PutCorner(R3xRenderContext& context, const R3xCamera& camera, std::int32_t index,
               const float world[3], float u, float v, float red, float green, float blue) {
  PutSourceCorner(context, index, world, u, v, red, green, blue);
  PutClipCorner(context, index, ToClipSpace(context, camera, world));
}

bool InViewVolume(const R3xRenderContext& context, const ClipPoint& clip) {
  return clip.z + clip.y >= 0.0f && clip.z - clip.y >= 0.0f && clip.z + clip.x >= 0.0f &&
         clip.z - clip.x >= 0.0f && clip.z - context.nearDistance >= 0.0f &&
         context.farDistance - clip.z >= 0.0f;
}

GrVertex ProjectToScreen(const R3xRenderContext& context, const ClipPoint& clip) {
  GrVertex vertex{};
  const float q = 1.0f / clip.z;
  vertex.x = (1.0f + clip.x * q) * context.halfViewWidth;
  vertex.y = (1.0f - clip.y * q) * context.halfViewHeight;
  vertex.oow = q * context.farDistance / kDepthRange;
  return vertex;
}
