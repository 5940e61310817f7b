// Polygon submission: the base colour from the render method, the region's directional lights,
// vertex lighting and clipping, projection to sixteenths of a pixel with W for the W-buffer, and
// the Glide state of the method set around the draw and put back after it.
#include "engine/display/glide_polygon.h"

#include <cmath>
#include <cstdint>

#include "engine/core/bitmap.h"
#include "engine/core/directional_light.h"
#include "engine/core/object.h"
#include "engine/core/render_context.h"
#include "engine/core/render_work_arrays.h"
#include "engine/core/surface.h"
#include "engine/core/vertex_lighting.h"
#include "engine/display/glide_context.h"
#include "engine/display/surface_bitmap.h"

namespace {

constexpr R3xRenderMethod kPerVertexNormals = 0x20;
constexpr R3xRenderMethod kChromaKey = 0x80;
constexpr R3xRenderMethod kTranslucencyShift = 16;
constexpr R3xRenderMethod kAdditive = 0x100000;
constexpr R3xRenderMethod kDirectionalLights = 0x200000;
constexpr R3xRenderMethod kDecal = 0x400000;
constexpr R3xRenderMethod kTranslucent = 0x1000000;
constexpr R3xRenderMethod kColoursSupplied = 0x40000000;

constexpr int kChromakeyOn = 1;
constexpr int kChromakeyOff = 0;
constexpr FxI32 kDecalBias = -3;
constexpr float kAlphaStep = 15.9375f;
constexpr float kOpaqueAlpha = 255.0f;
// The W-buffer holds z x 65528 / far: 65528 at the far distance.
constexpr float kDepthRange = 65528.0f;

R3xGlideBatch sharedBatch;

float Limit(float channel) { return channel >= 1.0f ? 1.0f : channel; }

struct Colour {
  float red;
  float green;
  float blue;
};

// Lighting codes the drawer has no meaning for light the polygon black.
Colour BaseColour(const R3xRenderContext* context, const R3xSurface* surface,
                  R3xRenderMethod method) {
  switch (method & R3X_RENDER_LIGHTING_MASK) {
    case R3X_LIGHTING_FULL:
      return {1.0f, 1.0f, 1.0f};
    case R3X_LIGHTING_CONSTANT:
      return {Limit(surface->intensity), Limit(surface->intensity), Limit(surface->intensity)};
    case R3X_LIGHTING_AMBIENT:
      return {Limit(context->ambient[0]), Limit(context->ambient[1]), Limit(context->ambient[2])};
    case R3X_LIGHTING_SCALED_AMBIENT: {
      const float scale = surface->ambientScale;
      return {Limit(context->ambient[0] * scale), Limit(context->ambient[1] * scale),
              Limit(context->ambient[2] * scale)};
    }
    default:
      return {0.0f, 0.0f, 0.0f};
  }
}

// The directional lights lead the region's light list.
void AddDirectionalLights(R3xRenderContext* context, Colour& colour) {
  const float* normal = context->polygonNormal;
  for (std::uint32_t i = 0; i < context->lightCount; ++i) {
    R3xObjectHeader* object = context->lights[i];
    if (object->type != R3X_TYPE_DIRECTIONAL_LIGHT) {
      return;
    }
    const auto* light = reinterpret_cast<const R3xDirectionalLight*>(object);
    const R3xLightColour now = _r3xCurrentLightColor(light->light, context->worldTime);
    const float c = -(normal[0] * light->direction[0] + normal[1] * light->direction[1] +
                      normal[2] * light->direction[2]);
    if (c > 0.0f) {
      colour.red = Limit(colour.red + now.red * c);
      colour.green = Limit(colour.green + now.green * c);
      colour.blue = Limit(colour.blue + now.blue * c);
    }
  }
}

// The back-end record of the surface's bitmap, or of a simple sprite's first frame; null for
// any other texture object or one never registered.
const R3xGlideTexture* SurfaceTexture(const R3xSurface* surface) {
  const R3xBitmap* bitmap = _r3xSurfaceBitmap(surface);
  return bitmap != nullptr ? static_cast<const R3xGlideTexture*>(bitmap->texture) : nullptr;
}

// A position in sixteenths of a pixel, truncated to a whole sixteenth, in pixels. One 2^20
// pixels or more off (only corrupt world data gives one: clipped vertices lie in the view) or not
// a number becomes one 2^20 pixels off, far past what the board draws, so that the conversion
// never overflows.
float Sixteenths(float sixteenths) {
  constexpr float kFar = 16777216.0f;
  if (!(std::fabs(sixteenths) < kFar)) {
    return (sixteenths < 0.0f ? -kFar : kFar) / 16.0f;
  }
  return static_cast<float>(static_cast<std::int32_t>(sixteenths)) / 16.0f;
}

// Screen position snapped to sixteenths of a pixel from the top-left corner, and 1/w.
void Project(const R3xRenderContext* context, const R3xClipVertex& in, GrVertex& out) {
  const float q = 1.0f / in.z;
  out.x = Sixteenths((1.0f + in.x * q) * context->halfViewWidth * 16.0f + 0.5f);
  out.y = Sixteenths((1.0f - in.y * q) * context->halfViewHeight * 16.0f + 0.5f);
  out.oow = q * context->farDistance / kDepthRange;
}

float Channel(float light, float full) { return light >= 1.0f ? full : light * full; }

void RestoreState(R3xRenderMethod method) {
  if (method & kChromaKey) {
    grChromakeyMode(kChromakeyOff);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
  }
  if (method & kTranslucent) {
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
  }
  if (method & kDecal) {
    grDepthBiasLevel(0);
  }
}

// Lights and clips; the clipped count with *out at its vertices, or a negative code.
std::int32_t LightAndClip(R3xRenderContext* context, std::int32_t count, R3xRenderMethod method,
                          const Colour& base, bool textured, R3xClipVertex** out) {
  const float* normal = context->polygonNormal;
  if (textured) {
    const std::int32_t lit =
        (method & kColoursSupplied)
            ? _r3xClampVertexColors(context, count, normal, base.red, base.green, base.blue)
            : _r3xLightTexturedVerticesRGB(context, count, normal, base.red, base.green, base.blue);
    return lit < 0 ? lit : _r3xClipPolygon(context, count, out);
  }
  const std::int32_t lit =
      _r3xLightVerticesRGB(context, count, normal, base.red, base.green, base.blue);
  if (lit < 0) {
    return lit;
  }
  const std::int32_t n = _r3xClipPolygonRGB(context, count, out);
  if (n > 0 && (context->viewLight[0] > 0.0f || context->viewLight[1] > 0.0f ||
                context->viewLight[2] > 0.0f)) {
    const std::int32_t viewLit = _r3xAddViewLightRGB(context, *out, n, normal);
    if (viewLit < 0) {
      return viewLit;
    }
  }
  return n;
}

std::int32_t Draw(R3xRenderContext* context, std::int32_t count, const R3xSurface* surface,
                  R3xRenderMethod method) {
  Colour base = BaseColour(context, surface, method);
  if (base.red != 1.0f && base.green != 1.0f && base.blue != 1.0f &&
      (method & kDirectionalLights) && !(method & (kColoursSupplied | kPerVertexNormals))) {
    AddDirectionalLights(context, base);
  }
  const bool textured = (method & R3X_RENDER_TEXTURE_MASK) != 0;
  R3xClipVertex* clipped = nullptr;
  std::int32_t n = LightAndClip(context, count, method, base, textured, &clipped);
  if (n <= 0) {
    return n < 0 ? R3X_GLIDE_POLYGON_FAILED : R3X_GLIDE_POLYGON_CLIPPED;
  }

  float full[3] = {255.0f, 255.0f, 255.0f};
  float texelScale = 0.0f;
  if (textured) {
    const R3xGlideTexture* texture = SurfaceTexture(surface);
    if (texture == nullptr) {
      return R3X_GLIDE_POLYGON_FAILED;
    }
    texelScale = texture->texelScale;
    if (method & kChromaKey) {
      grChromakeyMode(kChromakeyOn);
      grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
    }
  } else {
    if (context->paletteColours == nullptr) {
      return R3X_GLIDE_POLYGON_FAILED;
    }
    const PALETTEENTRY& entry = context->paletteColours[surface->pen & 0xFF];
    full[0] = entry.peRed;
    full[1] = entry.peGreen;
    full[2] = entry.peBlue;
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
  }

  float alpha = kOpaqueAlpha;
  if (method & kTranslucent) {
    std::uint32_t level = (method & R3X_RENDER_TRANSLUCENCY_MASK) >> kTranslucencyShift;
    if (method & kAdditive) {
      ++level;
      grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
    } else {
      grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                           GR_BLEND_ZERO);
    }
    alpha = static_cast<float>(level) * kAlphaStep;
  }
  if (method & kDecal) {
    grDepthBiasLevel(kDecalBias);
  }

  if (n > R3X_GLIDE_POLYGON_VERTICES) {
    n = R3X_GLIDE_POLYGON_VERTICES;
  }
  GrVertex vertices[R3X_GLIDE_POLYGON_VERTICES];
  for (std::int32_t i = 0; i < n; ++i) {
    const R3xClipVertex& in = clipped[i];
    GrVertex& out = vertices[i];
    out = GrVertex{};
    Project(context, in, out);
    out.r = Channel(in.red, full[0]);
    out.g = Channel(in.green, full[1]);
    out.b = Channel(in.blue, full[2]);
    out.a = alpha;
    if (textured) {
      out.tmuvtx[0].sow = in.u * out.oow * texelScale;
      out.tmuvtx[0].tow = in.v * out.oow * texelScale;
    }
  }
  if ((method & R3X_RENDER_FILL_MASK) == R3X_RENDER_FILL_OUTLINE) {
    for (std::int32_t i = 0; i < n; ++i) {
      grDrawLine(&vertices[i], &vertices[(i + 1) % n]);
    }
  } else {
    grDrawPolygonVertexList(n, vertices);
  }
  return R3X_GLIDE_POLYGON_DRAWN;
}

}  // namespace

R3xGlideBatch* r3xGlideSharedBatch() { return &sharedBatch; }

std::int32_t r3xGlideDrawPolygon(R3xRenderContext* context, std::int32_t count,
                                 const R3xSurface* surface, R3xRenderMethod method) {
  const std::int32_t result = Draw(context, count, surface, method);
  RestoreState(method);
  return result;
}

std::int32_t r3xGlideBatchPolygon(R3xRenderContext* context, std::int32_t count,
                                  const void* /*polygon*/, R3xRenderMethod /*method*/) {
  R3xGlideBatch& batch = sharedBatch;
  // Every polygon takes an entry of the count list, even when nothing of it is left.
  if (batch.polygonCount >= R3X_GLIDE_BATCH_POLYGONS) {
    return R3X_GLIDE_POLYGON_FAILED;
  }
  if (_r3xClampVertexColors(context, count, context->polygonNormal, 1.0f, 1.0f, 1.0f) < 0) {
    return R3X_GLIDE_POLYGON_FAILED;
  }
  R3xClipVertex* clipped = nullptr;
  std::int32_t n = _r3xClipPolygon(context, count, &clipped);
  if (n < 0) {
    return R3X_GLIDE_POLYGON_FAILED;
  }
  if (n == 0) {
    batch.polygonVertexCounts[batch.polygonCount++] = 0;
    return R3X_GLIDE_POLYGON_CLIPPED;
  }
  if (batch.vertexCount + n > R3X_GLIDE_BATCH_VERTICES) {
    n = R3X_GLIDE_BATCH_VERTICES - batch.vertexCount;
  }
  batch.polygonVertexCounts[batch.polygonCount++] = n;
  for (std::int32_t i = 0; i < n; ++i) {
    const R3xClipVertex& in = clipped[i];
    GrVertex& out = batch.vertices[batch.vertexCount++];
    Project(context, in, out);
    out.tmuvtx[0].sow = in.u;
    out.tmuvtx[0].tow = in.v;
    out.r = in.red * 255.0f;
    out.g = in.green * 255.0f;
    out.b = in.blue * 255.0f;
  }
  return R3X_GLIDE_POLYGON_DRAWN;
}
