// The frame's draw-list pool and the passes that draw it.
#include <cstdint>

#include "engine/core/bitmap.h"
#include "engine/core/math_plane.h"
#include "engine/core/object.h"
#include "engine/core/render_context.h"
#include "engine/core/render_work_arrays.h"
#include "engine/core/render_work_arrays_internal.h"
#include "engine/core/surface.h"
#include "engine/display/glide_draw_list_internal.h"
#include "engine/display/glide_polygon.h"
#include "engine/display/glide_texture_internal.h"
#include "engine/display/surface_bitmap.h"

namespace {

constexpr R3xRenderMethod kTranslucent = 0x1000000;
// Room the vertex work arrays keep beyond a polygon's corners: the clippers add up to six.
constexpr std::uint32_t kClipGrowth = 6;
constexpr std::uint32_t kSpareVertices = 22;

R3xGlideDrawEntry pool[R3X_GLIDE_DRAW_ENTRIES];
std::uint32_t poolCount = 0;
R3xGlideDrawEntry* untexturedOpaque = nullptr;
R3xGlideDrawEntry* untexturedTranslucent = nullptr;

void EmptyAllLists(const R3xGlideContext* glide) {
  untexturedOpaque = nullptr;
  untexturedTranslucent = nullptr;
  if (glide == nullptr) {
    return;
  }
  for (R3xGlideTexture* texture = glide->firstRegistered; texture != nullptr;
       texture = texture->nextRegistered) {
    texture->opaqueList = nullptr;
    texture->translucentList = nullptr;
  }
}

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

std::int32_t DrawEntry(R3xRenderContext* context, const R3xGlideDrawEntry& entry, bool textured) {
  context->queuedFogDistance = entry.fogDistance;
  context->planeMask = entry.clipFlags;
  context->clipMask = entry.clipFlags;
  context->lightCount = entry.lightCount;
  context->lights = entry.lights;
  for (int c = 0; c < 3; ++c) {
    context->ambient[c] = entry.ambient[c];
    context->polygonNormal[c] = entry.polygon->normal[c];
  }
  const std::int32_t count = entry.polygon->vertexCount;
  if (count < 0) {
    return R3X_GLIDE_POLYGON_FAILED;
  }
  const auto corners = static_cast<std::uint32_t>(count);
  R3xRenderWorkArrays& work = context->work;
  if (corners + kClipGrowth > work.vertexCapacity) {
    _r3xFreeVertexArrays(&work);
    if (_r3xAllocVertexArrays(&work, corners + kSpareVertices) != R3X_DONE) {
      return R3X_GLIDE_PASSES_NO_MEMORY;
    }
  }
  R3xClipVertex* source = work.clip[0];
  R3xClipVertex* input = work.clip[1];
  const float* uv = entry.surface->uv;
  for (std::uint32_t k = 0; k < corners; ++k) {
    const float* position =
        entry.vertices + 3 * static_cast<std::size_t>(entry.polygon->vertexIndexes[k]);
    source[k].x = position[0];
    source[k].y = position[1];
    source[k].z = position[2];
    if (textured && uv != nullptr) {
      source[k].u = uv[2 * k];
      source[k].v = uv[2 * k + 1];
    }
    const float d[3] = {position[0] + context->translation[0],
                        position[1] + context->translation[1],
                        position[2] + context->translation[2]};
    input[k].x = Dot(context->clipColumns[0], d);
    input[k].y = Dot(context->clipColumns[1], d);
    input[k].z = context->view[2] * d[0] + context->view[5] * d[1] + context->view[8] * d[2];
  }
  const std::int32_t result =
      r3xGlideDrawPolygon(context, count, entry.surface, entry.renderMethod);
  if (result > 0) {
    ++context->polygonCount;
  }
  return result < 0 ? result : 0;
}

std::int32_t DrawList(R3xRenderContext* context, const R3xGlideDrawEntry* list, bool textured) {
  for (const R3xGlideDrawEntry* entry = list; entry != nullptr; entry = entry->next) {
    const std::int32_t result = DrawEntry(context, *entry, textured);
    if (result != 0) {
      return result;
    }
  }
  return 0;
}

// One pass over the textures' opaque or translucent lists, in registration order.
std::int32_t DrawTexturePass(R3xRenderContext* context, bool translucent) {
  R3xGlideContext* glide = context->glide;
  if (glide == nullptr) {
    return 0;
  }
  for (R3xGlideTexture* texture = glide->firstRegistered; texture != nullptr;
       texture = texture->nextRegistered) {
    R3xGlideDrawEntry*& list = translucent ? texture->translucentList : texture->opaqueList;
    if (list == nullptr) {
      continue;
    }
    const R3xGlideDrawEntry* entries = list;
    list = nullptr;
    // A texture that cannot be made resident loses its polygons for this frame.
    if (_r3xGlideSelectTexture(glide, texture) != R3X_GLIDE_SELECTED) {
      continue;
    }
    const std::int32_t result = DrawList(context, entries, true);
    if (result != 0) {
      return result;
    }
  }
  return 0;
}

std::int32_t RunPasses(R3xRenderContext* context) {
  grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO,
               GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, FXFALSE, FXFALSE);
  grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
  grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_ITERATED,
                 GR_COMBINE_OTHER_CONSTANT, FXFALSE);
  const R3xGlideDrawEntry* list = untexturedOpaque;
  untexturedOpaque = nullptr;
  std::int32_t result = DrawList(context, list, false);
  if (result != 0) {
    return result;
  }
  // Texture times vertex colour for the textured passes.
  grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                 GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
  result = DrawTexturePass(context, false);
  if (result != 0) {
    return result;
  }
  grFogMode(GR_FOG_DISABLE);
  grDepthMask(FXFALSE);
  list = untexturedTranslucent;
  untexturedTranslucent = nullptr;
  result = DrawList(context, list, false);
  if (result != 0) {
    return result;
  }
  grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                 GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
  return DrawTexturePass(context, true);
}

}  // namespace

void _r3xGlideResetDrawPool(const R3xGlideContext* glide) {
  poolCount = 0;
  EmptyAllLists(glide);
}

std::int32_t _r3xGlideQueuePolygon(R3xRenderContext* context, const R3xIndexedPolygon* polygon,
                                   const float* vertices, const R3xSurface* surface,
                                   R3xRenderMethod method) {
  if (poolCount >= R3X_GLIDE_DRAW_ENTRIES) {
    return R3X_GLIDE_NOT_QUEUED;
  }
  R3xGlideTexture* texture = nullptr;
  if (method & R3X_RENDER_TEXTURE_MASK) {
    R3xBitmap* bitmap = _r3xSurfaceBitmap(surface);
    if (bitmap == nullptr || context->glide == nullptr) {
      return R3X_GLIDE_NOT_QUEUED;
    }
    if (bitmap->texture == nullptr && r3xGlideRegisterTexture(context->glide, bitmap) != 0) {
      return R3X_GLIDE_NOT_QUEUED;
    }
    texture = static_cast<R3xGlideTexture*>(bitmap->texture);
  }
  R3xGlideDrawEntry& entry = pool[poolCount++];
  entry.polygon = polygon;
  entry.vertices = vertices;
  entry.surface = surface;
  entry.renderMethod = method;
  entry.fogDistance = context->queuedFogDistance;
  entry.clipFlags = context->planeMask;
  entry.lightCount = context->lightCount;
  entry.lights = context->lights;
  for (int c = 0; c < 3; ++c) {
    entry.ambient[c] = context->ambient[c];
  }
  const bool translucent = (method & kTranslucent) != 0;
  R3xGlideDrawEntry*& head = texture == nullptr
                                 ? (translucent ? untexturedTranslucent : untexturedOpaque)
                                 : (translucent ? texture->translucentList : texture->opaqueList);
  entry.next = head;
  head = &entry;
  return R3X_GLIDE_QUEUED;
}

std::int32_t _r3xGlideDrawPasses(R3xRenderContext* context) {
  const std::int32_t result = RunPasses(context);
  EmptyAllLists(context->glide);
  grDepthMask(FXTRUE);
  grFogMode(GR_FOG_WITH_TABLE);
  return result;
}
