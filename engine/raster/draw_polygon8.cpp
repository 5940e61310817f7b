#include <cfenv>
#include <cstdint>

#include "engine/core/bitmap.h"
#include "engine/core/render_context.h"
#include "engine/core/surface.h"
#include "engine/raster/clip_vertices_internal.h"
#include "engine/raster/draw_polygon8_internal.h"
#include "engine/raster/face_draw8_internal.h"
#include "engine/raster/face_projection_internal.h"
#include "engine/raster/face_shading8_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/scan_convert8_internal.h"
#include "engine/raster/span_choice8_internal.h"
#include "engine/raster/texture_gradients_internal.h"
#include "engine/raster/vertex_lighting8_internal.h"

namespace {

bool TakesVertexUV(std::int32_t kind) {
  return kind == R3X_KIND_AUTOMATIC || kind == R3X_KIND_AFFINE;
}

// Lights (smooth faces) and clips the face; the clipped count, 0 or less for nothing left.
std::int32_t LightAndClip(R3xRenderContext* context, std::int32_t count, R3xFaceDraw* face) {
  const R3xFaceShading& shading = face->shading;
  const bool uv = TakesVertexUV(face->kind);
  if (!shading.smooth) {
    if (uv) {
      if (_r3xCopyVertexUV(context, count) != R3X_DONE) {
        return 0;
      }
      return _r3xClipVerticesUV(context, count, &face->vertices);
    }
    return _r3xClipVertices(context, count, &face->vertices);
  }
  const float* normal = context->polygonNormal;
  std::int32_t lit = R3X_DONE;
  if ((shading.method & R3X_METHOD_VERTEX_NORMALS) != 0) {
    lit = uv ? _r3xLightTexturedVerticesNormals8(context, count, shading.light, shading.method)
             : _r3xLightVerticesNormals8(context, count, shading.light, shading.method);
  } else {
    lit = uv ? _r3xLightTexturedVertices8(context, count, normal, shading.light)
             : _r3xLightVertices8(context, count, normal, shading.light);
  }
  if (lit != R3X_DONE) {
    return 0;
  }
  return uv ? _r3xClipVerticesLitUV(context, count, &face->vertices)
            : _r3xClipVerticesLit(context, count, &face->vertices);
}

// The fog amount of a flat face of the current object: its distance past the fog start.
float ObjectFog(const R3xRenderContext* context) {
  const float past = context->raster.currentObjectDistance - context->raster.fogStart;
  if (!(past < context->fogDistance)) {
    return R3X_LIGHT_LIMIT;
  }
  return past <= 0.0f ? 0.0f : past * context->fogScale;
}

void DecideFog(R3xRenderContext* context, R3xFaceDraw* face) {
  R3xFaceShading& shading = face->shading;
  if (shading.fog && !shading.smooth && face->objectFog) {
    shading.fogAmount = ObjectFog(context);
    shading.fog = _r3xFloatBits(shading.fogAmount) >= _r3xFloatBits(R3X_FOG_THRESHOLD);
  } else {
    _r3xDecideFaceFog8(context, face->vertices, face->count, &shading);
  }
  _r3xFlatFallback8(context, face->vertices, face->count, &shading);
  context->span.shadeData = shading.shadeData;
}

// The quad's vertices are in screen space already, vertex 0 at the top and vertex 3 at the
// bottom; its caller supplies the routine, texels and steps.
std::int32_t DrawQuad(R3xRenderContext* context, const R3xSurface* surface, R3xFaceDraw* face) {
  if (context->raster.quadRoutine == nullptr) {
    return R3X_DRAW8_NOTHING;
  }
  face->vertices = context->work.clip[1];
  face->count = R3X_DRAW8_QUAD;
  face->top = 0;
  face->minY = face->vertices[0].y;
  face->maxY = face->vertices[3].y;
  face->opaque = context->raster.quadRoutine;
  face->keyed = false;
  const R3xBitmap* bitmap = _r3xTextureBitmap(surface);
  face->quadRowStep = bitmap != nullptr ? bitmap->width : 0;
  context->span.shadeData = context->shadeData;
  if (face->depthSorted) {
    _r3xBuildDepthLine(context, context->work.clip[0][0], face);
  }
  const std::int32_t result = _r3xScanConvert8(context, face);
  return result < 0 ? R3X_DRAW8_FAILED : R3X_DRAW8_QUAD;
}

std::int32_t DrawFace(R3xRenderContext* context, std::uint32_t vertexCount,
                      const R3xSurface* surface, R3xFaceDraw* face) {
  face->shading =
      _r3xFaceBaseLight8(context, surface, face->shading.method, context->polygonNormal);
  // Depth-sorted and outline rows keep no light edges: such faces go without the spot.
  face->shading.spot = face->shading.spot && !face->depthSorted && !face->outline;
  face->count = LightAndClip(context, static_cast<std::int32_t>(vertexCount), face);
  if (face->count <= 0) {
    return R3X_DRAW8_NOTHING;
  }
  context->span.shadeData = context->shadeData;
  if (face->shading.smooth && _r3xFloatBits(context->raster.viewerLight) > 0) {
    if ((face->shading.method & R3X_METHOD_VERTEX_NORMALS) != 0) {
      _r3xAddViewLightNormals8(context, face->vertices, face->count);
    } else {
      _r3xAddViewLight8(context, face->vertices, face->count, context->polygonNormal);
    }
  }
  DecideFog(context, face);
  if (face->depthSorted) {
    _r3xBuildDepthLine(context, face->vertices[0], face);
  }
  _r3xProjectFace(context, face);
  _r3xChooseShadingMode8(face);
  const std::int32_t chosen = _r3xChooseSpanRoutines8(context, surface, face);
  if (chosen == R3X_SPAN_CHOICE_REFUSED) {
    return R3X_DRAW8_NOTHING;
  }
  if (chosen == R3X_SPAN_CHOICE_FAILED || _r3xScanConvert8(context, face) < 0) {
    return R3X_DRAW8_FAILED;
  }
  return face->count;
}

}  // namespace

std::int32_t _r3xDrawPolygon8(R3xRenderContext* context, std::uint32_t vertexCount,
                              const R3xSurface* surface, R3xRenderMethod method) {
  const std::uint32_t pixelsBefore = context->raster.pixelCount;
  R3xFaceDraw face{};
  face.shading.method = method;
  face.keyed = (method & R3X_METHOD_KEYED) != 0;
  face.outline = (method & R3X_RENDER_FILL_MASK) == R3X_RENDER_FILL_OUTLINE;
  face.depthSorted = context->raster.depthSorting != 0;
  face.objectFog = context->raster.currentObject != nullptr;
  face.kind = static_cast<std::int32_t>(method & R3X_RENDER_TEXTURE_MASK);
  const std::int32_t result = face.kind == R3X_KIND_QUAD
                                  ? DrawQuad(context, surface, &face)
                                  : DrawFace(context, vertexCount, surface, &face);
  if (face.kind == R3X_KIND_PERSPECTIVE) {
    // The original clears the floating-point exception flags its divisions may have raised.
    std::feclearexcept(FE_ALL_EXCEPT);
  }
  context->raster.pixelCount = pixelsBefore + face.balance;
  return result;
}
