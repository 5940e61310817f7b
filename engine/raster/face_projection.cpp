#include "engine/core/render_context.h"
#include "engine/raster/face_draw8_internal.h"
#include "engine/raster/face_projection_internal.h"

namespace {

// The depth bias of R3X_METHOD_DEPTH_BIAS (the float 1.0000100136).
constexpr float kDepthBias = 1.00001f;
constexpr float kNoBound = 1e30f;

}  // namespace

void _r3xBuildDepthLine(const R3xRenderContext* context, const R3xClipVertex& q,
                        R3xFaceDraw* face) {
  const float* n = context->raster.facePlane;
  const float d = -(n[0] * q.x + n[1] * q.y + n[2] * q.z);
  const float inverse = d != 0.0f ? 1.0f / d : 0.0f;
  face->depthA = -n[0] * inverse * context->raster.screenToView[0];
  face->depthB = n[1] * inverse * context->raster.screenToView[1];
  face->depthC = (n[0] - n[1] - n[2]) * inverse;
  if ((face->shading.method & R3X_METHOD_DEPTH_BIAS) != 0) {
    face->depthA *= kDepthBias;
    face->depthB *= kDepthBias;
    face->depthC *= kDepthBias;
  }
}

void _r3xProjectFace(const R3xRenderContext* context, R3xFaceDraw* face) {
  const float w2 = context->halfViewWidth;
  const float h2 = context->halfViewHeight;
  float nearest = kNoBound;
  float minX = kNoBound;
  float maxX = -kNoBound;
  face->minY = kNoBound;
  face->maxY = -kNoBound;
  for (std::int32_t i = 0; i < face->count; ++i) {
    R3xClipVertex& v = face->vertices[i];
    nearest = v.z < nearest ? v.z : nearest;
    const float reciprocal = 1.0f / v.z;
    v.x = v.x * w2 * reciprocal + (w2 - 0.5f);
    v.y = (h2 - 0.5f) - v.y * h2 * reciprocal;
    if (v.x < minX) {
      minX = v.x;
      face->left = i;
    }
    if (v.x > maxX) {
      maxX = v.x;
      face->right = i;
    }
    if (v.y < face->minY) {
      face->minY = v.y;
      face->top = i;
    }
    if (v.y > face->maxY) {
      face->maxY = v.y;
      face->bottom = i;
    }
  }
  face->centreX = (minX + maxX) / 2.0f - w2;
  face->centreY = (face->minY + face->maxY) / 2.0f - h2;
  if (face->kind == R3X_KIND_AUTOMATIC) {
    if (context->raster.flatDistance < nearest) {
      face->kind = face->keyed ? R3X_KIND_AFFINE : R3X_KIND_FLAT;
    } else {
      const float area = (maxX - minX) * (face->maxY - face->minY);
      face->kind = area < context->raster.perspectiveArea ? R3X_KIND_AFFINE : R3X_KIND_PERSPECTIVE;
    }
  }
}
