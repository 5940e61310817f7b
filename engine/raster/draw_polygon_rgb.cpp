#include <algorithm>
#include <cfenv>
#include <cstdint>

#include "engine/core/bitmap.h"
#include "engine/core/directional_light.h"
#include "engine/core/math_convert.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/object.h"
#include "engine/core/render_context.h"
#include "engine/core/surface.h"
#include "engine/core/vertex_lighting.h"
#include "engine/raster/clip_vertices_internal.h"
#include "engine/raster/colour_lighting_internal.h"
#include "engine/raster/colour_spans_internal.h"
#include "engine/raster/draw_polygon8_internal.h"
#include "engine/raster/draw_polygon_rgb_internal.h"
#include "engine/raster/exact_spans_internal.h"
#include "engine/raster/face_draw8_internal.h"
#include "engine/raster/face_projection_internal.h"
#include "engine/raster/light_spot_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/scan_convert8_internal.h"
#include "engine/raster/span_size_tables_internal.h"
#include "engine/raster/texture_gradients_internal.h"
#include "engine/raster/vertex_lighting8_internal.h"

namespace {

// 1.99999 (float bits 0x3FFFFFAC), the limit of every channel.
constexpr std::int32_t kChannelLimitBits = 0x3FFFFFAC;
// 1/32, one of the modulation table's levels (float bits 0x3D000000).
constexpr float kLevelWidth = 0.03125f;
constexpr std::int32_t kLevelWidthBits = 0x3D000000;
constexpr float kLevels = 32.0f;
constexpr float kFarAway = 1e30f;
// The largest level side the 10.22 texel coordinates address.
constexpr std::uint32_t kLargestSide = 512;
constexpr std::uint32_t kIdentityRow = 32 * 256;

struct ColourFace {
  R3xFaceDraw draw;
  float rgb[3];
  // Flat faces: the light differs from 1.0 in some channel (the palette is modulated); the fog
  // is one level over the face (the palette is fogged by fogWord); the face lies wholly beyond
  // the fog range (a fill of the fog colour).
  bool modulate;
  bool constantFog;
  bool fullyFogged;
  std::int32_t fogWord;
};

float LimitChannel(float value) {
  return _r3xFloatBits(value) >= kChannelLimitBits ? R3X_LIGHT_CHANNEL_LIMIT : value;
}

void BaseLight(const R3xRenderContext* context, const R3xSurface* surface, ColourFace* face) {
  float* rgb = face->rgb;
  switch (face->draw.shading.method & R3X_RENDER_LIGHTING_MASK) {
    case R3X_LIGHTING_FULL:
      std::fill_n(rgb, 3, R3X_LIGHT_LIMIT);
      return;
    case R3X_LIGHTING_CONSTANT:
      std::fill_n(rgb, 3, LimitChannel(surface->intensity));
      return;
    case R3X_LIGHTING_AMBIENT:
      for (int k = 0; k < 3; ++k) {
        rgb[k] = LimitChannel(context->ambient[k]);
      }
      return;
    case R3X_LIGHTING_SCALED_AMBIENT:
      for (int k = 0; k < 3; ++k) {
        const float light = context->ambient[k] * surface->ambientScale;
        rgb[k] = light > R3X_LIGHT_CHANNEL_LIMIT ? R3X_LIGHT_CHANNEL_LIMIT : light;
      }
      return;
    default:
      // Zero, and the codes that name no light.
      std::fill_n(rgb, 3, 0.0f);
  }
}

// The directional lights at the head of the light list added by the face normal; with vertex
// normals the vertex lighting adds them and the face is smooth.
void AddDirectionalLights(R3xRenderContext* context, ColourFace* face) {
  R3xFaceShading& shading = face->draw.shading;
  if ((shading.method & R3X_METHOD_DIRECTIONAL) == 0) {
    return;
  }
  if ((shading.method & R3X_METHOD_VERTEX_NORMALS) != 0) {
    shading.smooth = true;
    return;
  }
  const float* n = context->polygonNormal;
  float* rgb = face->rgb;
  for (std::uint32_t l = 0; l < context->lightCount; ++l) {
    const R3xObjectHeader* object = context->lights[l];
    if (object->type != R3X_TYPE_DIRECTIONAL_LIGHT) {
      break;
    }
    const auto& light = *reinterpret_cast<const R3xDirectionalLight*>(object);
    const R3xLightColour colour = _r3xCurrentLightColor(light.light, context->worldTime);
    const float c =
        -(light.direction[0] * n[0] + light.direction[1] * n[1] + light.direction[2] * n[2]);
    if (c > 0.0f) {
      rgb[0] += c * colour.red;
      rgb[1] += c * colour.green;
      rgb[2] += c * colour.blue;
    }
    if (rgb[0] >= R3X_LIGHT_CHANNEL_LIMIT && rgb[1] >= R3X_LIGHT_CHANNEL_LIMIT &&
        rgb[2] >= R3X_LIGHT_CHANNEL_LIMIT) {
      break;
    }
  }
  for (float& channel : face->rgb) {
    channel = channel >= R3X_LIGHT_CHANNEL_LIMIT ? R3X_LIGHT_CHANNEL_LIMIT : channel;
  }
}

bool TakesVertexUV(std::int32_t kind) {
  return kind == R3X_KIND_AUTOMATIC || kind == R3X_KIND_AFFINE;
}

// Lights (smooth faces) and clips the face; the clipped count, 0 or less for nothing left.
std::int32_t LightAndClip(R3xRenderContext* context, std::int32_t count, ColourFace* face) {
  R3xFaceDraw& draw = face->draw;
  const R3xRenderMethod method = draw.shading.method;
  const bool uv = TakesVertexUV(draw.kind);
  if (!draw.shading.smooth) {
    if (uv) {
      if (_r3xCopyVertexUV(context, count) != R3X_DONE) {
        return 0;
      }
      return _r3xClipVerticesUV(context, count, &draw.vertices);
    }
    return _r3xClipVertices(context, count, &draw.vertices);
  }
  const float* normal = context->polygonNormal;
  const float* rgb = face->rgb;
  const bool normals = (method & R3X_METHOD_VERTEX_NORMALS) != 0;
  std::int32_t lit = R3X_DONE;
  if (uv) {
    lit = normals
              ? _r3xLightTexturedVerticesNormalsRGB(context, count, rgb[0], rgb[1], rgb[2], method)
              : _r3xLightTexturedVerticesRGB(context, count, normal, rgb[0], rgb[1], rgb[2]);
  } else {
    lit = normals ? _r3xLightVerticesNormalsRGB(context, count, rgb[0], rgb[1], rgb[2], method)
                  : _r3xLightVerticesRGB(context, count, normal, rgb[0], rgb[1], rgb[2]);
  }
  if (lit != R3X_DONE) {
    return 0;
  }
  const std::int32_t clipped = uv ? _r3xClipPolygon(context, count, &draw.vertices)
                                  : _r3xClipPolygonRGB(context, count, &draw.vertices);
  if (clipped <= 0) {
    return clipped;
  }
  const float* view = context->viewLight;
  if (_r3xFloatBits(view[0]) > 0 || _r3xFloatBits(view[1]) > 0 || _r3xFloatBits(view[2]) > 0) {
    if (normals) {
      _r3xAddViewLightNormalsRGB(context, draw.vertices, clipped);
    } else {
      _r3xAddViewLightRGB(context, draw.vertices, clipped, normal);
    }
  }
  return clipped;
}

// A smooth face whose three channels each keep within one of the 32 levels is drawn flat at the
// largest values.
void FlatFallback(ColourFace* face) {
  R3xFaceDraw& draw = face->draw;
  float low[3] = {R3X_LIGHT_CHANNEL_LIMIT, R3X_LIGHT_CHANNEL_LIMIT, R3X_LIGHT_CHANNEL_LIMIT};
  float high[3] = {0.0f, 0.0f, 0.0f};
  for (std::int32_t i = 0; i < draw.count; ++i) {
    const R3xClipVertex& v = draw.vertices[i];
    const float values[3] = {v.red, v.green, v.blue};
    for (int k = 0; k < 3; ++k) {
      low[k] = std::min(low[k], values[k]);
      high[k] = std::max(high[k], values[k]);
    }
  }
  for (int k = 0; k < 3; ++k) {
    if (!(high[k] - low[k] < kLevelWidth) ||
        r3xFloatToInt(low[k] * kLevels) != r3xFloatToInt(high[k] * kLevels)) {
      return;
    }
  }
  draw.shading.smooth = false;
  std::copy_n(high, 3, face->rgb);
}

// Fog mode 2: per-pixel fog words on the vertices, one level for a flat face, or the whole face
// beyond the range.
void DecideFog(R3xRenderContext* context, ColourFace* face) {
  R3xFaceDraw& draw = face->draw;
  if (!draw.shading.fog) {
    return;
  }
  const R3xRasterInputs& raster = context->raster;
  float nearest = kFarAway;
  float farthest = 0.0f;
  for (std::int32_t i = 0; i < draw.count; ++i) {
    R3xClipVertex& v = draw.vertices[i];
    v.fog =
        r3xSqrt(v.x * v.x * raster.fogWeights[0] + v.y * v.y * raster.fogWeights[1] + v.z * v.z);
    nearest = std::min(nearest, v.fog);
    farthest = std::max(farthest, v.fog);
  }
  const float range = context->fogDistance;
  float far = farthest - raster.fogStart;
  if (far <= 0.0f) {
    draw.shading.fog = false;
    return;
  }
  float near = nearest - raster.fogStart;
  if (!(near < range)) {
    face->fullyFogged = true;
    draw.kind = R3X_KIND_FLAT;
    draw.shading.fog = false;
    draw.shading.smooth = false;
    draw.keyed = false;
    return;
  }
  far = std::min(far, range);
  near = near > 0.0f ? near : 0.0f;
  const std::int32_t farWord = _r3xFixed20(far * context->fogScale);
  const std::int32_t nearWord = _r3xFixed20(near * context->fogScale);
  // An outline row has no per-row fog: its face takes the far level throughout.
  const bool oneLevel = (farWord >> 15) == (nearWord >> 15) || draw.outline;
  if (oneLevel && !draw.shading.smooth) {
    draw.shading.fog = false;
    face->constantFog = true;
    face->fogWord = farWord;
    return;
  }
  for (std::int32_t i = 0; i < draw.count; ++i) {
    R3xClipVertex& v = draw.vertices[i];
    const float past = v.fog - raster.fogStart;
    v.fog = past <= 0.0f ? 0.0f : !(past < range) ? R3X_LIGHT_LIMIT : past * context->fogScale;
  }
}

std::uint32_t PaletteColour(const std::uint8_t* palette, std::uint32_t index) {
  const std::uint8_t* entry = palette + index * R3X_PALETTE_COLOUR_BYTES;
  return entry[0] | std::uint32_t{entry[1]} << 8 | std::uint32_t{entry[2]} << 16;
}

std::uint32_t LevelRow(float value) {
  return (static_cast<std::uint32_t>(_r3xLevelWord(value)) & 0x1F8000u) >> 7;
}

// The flat colour of an untextured flat face: its light and its fog level applied once.
std::uint32_t FlatColour(const R3xRenderContext* context, const ColourFace& face,
                         std::uint32_t colour) {
  const std::uint8_t* m = context->modulation;
  const std::uint32_t fogColour = context->raster.fogColour;
  std::uint32_t out = 0;
  for (int k = 0; k < 3; ++k) {
    const int shift = 8 * k;
    std::uint32_t c = colour >> shift & 0xFFu;
    if (face.modulate) {
      c = m[LevelRow(face.rgb[k]) + c];
    }
    if (face.constantFog) {
      const std::uint32_t f =
          std::min((static_cast<std::uint32_t>(face.fogWord) & 0x1F8000u) >> 7, kIdentityRow);
      c = m[kIdentityRow - f + c] + m[f + (fogColour >> shift & 0xFFu)];
    }
    out |= c << shift;
  }
  return out;
}

void ChooseFlat(R3xRenderContext* context, const R3xSurface* surface, ColourFace* face) {
  R3xFaceDraw& draw = face->draw;
  R3xSpanState& span = context->span;
  const std::uint32_t colour = PaletteColour(span.paletteColours, surface->pen & 0xFFu);
  draw.keyed = false;
  span.outputRoutine = context->spanOutput16;
  if (draw.shading.smooth) {
    span.flatColour = colour;
    span.colourRoutine = draw.shading.fog ? _r3xSpanFlatColorLitFog : _r3xSpanFlatColorLit;
    draw.opaque = _r3xSpanComposeFlatRGB;
  } else if (draw.shading.fog) {
    span.flatColour = FlatColour(context, *face, colour);
    span.colourRoutine = _r3xSpanFlatColorFog;
    draw.opaque = _r3xSpanComposeFlatRGB;
  } else {
    span.flatColour =
        face->fullyFogged ? context->raster.fogColour : FlatColour(context, *face, colour);
    draw.opaque = context->spanFill16;
  }
}

// The texture set-up of the face's kind; false when the face's texture cannot be drawn.
bool SetUpTexture(R3xRenderContext* context, const R3xSurface* surface, R3xFaceDraw* draw) {
  if (draw->kind == R3X_KIND_AFFINE) {
    R3xClipVertex* v = draw->vertices;
    if (_r3xSelectAffineMipLevel(context, surface, v, draw->count, &v[draw->top], &v[draw->bottom],
                                 &v[draw->left], &v[draw->right]) != R3X_DONE) {
      return false;
    }
  } else if (_r3xSetupTextureGradients(context, surface, draw->centreX, draw->centreY) !=
             R3X_DONE) {
    return false;
  }
  const R3xSpanState& span = context->span;
  return span.textureWidth <= kLargestSide && span.textureHeight <= kLargestSide;
}

// The texel stage of the kind (mode 1: texel indexes only), the member of the level's size for
// affine and perspective faces.
R3xSpanRoutine TexelRoutine(const R3xSpanState& span, std::int32_t kind) {
  if (kind == R3X_KIND_EXACT) {
    return _r3xSpanExactOpaqueMode1;
  }
  const std::int32_t block =
      kind == R3X_KIND_AFFINE ? R3X_SPAN_BLOCK_AFFINE_OPAQUE : R3X_SPAN_BLOCK_PERSP_OPAQUE;
  return _r3xSpanSizeMemberOpaque(span, _r3xSpanSizeTables[block].square[0].opaque);
}

void ChooseTextured(R3xRenderContext* context, const R3xSurface* surface, ColourFace* face) {
  R3xFaceDraw& draw = face->draw;
  R3xSpanState& span = context->span;
  const R3xBitmap* bitmap = _r3xTextureBitmap(surface);
  if (bitmap != nullptr && bitmap->colourTable != nullptr) {
    // Every texture shows its own colours in 16-bit output.
    span.paletteColours = bitmap->colourTable;
  }
  if (face->modulate) {
    _r3xModulatePaletteRGB(context, face->rgb[0], face->rgb[1], face->rgb[2]);
  }
  if (face->constantFog) {
    _r3xFogPaletteRGB(context, face->fogWord);
  }
  span.routine = TexelRoutine(span, draw.kind);
  span.outputRoutine = context->spanOutput16;
  const bool smooth = draw.shading.smooth;
  const bool fog = draw.shading.fog;
  if (!smooth && !fog) {
    if (draw.keyed) {
      // A keyed face's runs need the colour stage the opaque face folds into its output.
      span.colourRoutine = _r3xSpanColorCopy;
    } else {
      span.colourRoutine = context->spanOutput16b;
      draw.opaque = _r3xSpanComposeDirect16;
    }
  } else {
    span.colourRoutine = !smooth ? _r3xSpanColorFog : fog ? _r3xSpanColorLitFog : _r3xSpanColorLit;
    draw.opaque = _r3xSpanComposeRGB;
  }
  draw.keyedRoutine = _r3xSpanComposeKeyedRGB;
}

// The light spot of a smooth face: its colour stage goes through the light edges.
void SetUpSpot(R3xRenderContext* context, ColourFace* face) {
  R3xFaceDraw& draw = face->draw;
  std::int32_t count = draw.count;
  if (_r3xFindLightSpotRGB(context, face->rgb[0], face->rgb[1], face->rgb[2], draw.vertices,
                           &count) == 0) {
    draw.shading.spot = false;
    return;
  }
  draw.count = count;
  R3xSpanState& span = context->span;
  span.savedColourRoutine = span.colourRoutine;
  span.colourRoutine = _r3xSpanLightEdgesRGB;
  draw.top = 0;
  for (std::int32_t i = 1; i < count; ++i) {
    draw.top = draw.vertices[i].y < draw.vertices[draw.top].y ? i : draw.top;
  }
}

// The kinds the colour drawer draws; any other is a flat fill.
bool HasTexelStage(std::int32_t kind) {
  return kind == R3X_KIND_EXACT || kind == R3X_KIND_AFFINE || kind == R3X_KIND_PERSPECTIVE;
}

// What the face needs from the colour attachment and the image.
bool CanDraw(const R3xRenderContext* context) {
  const R3xSpanState& span = context->span;
  const R3xRasterInputs& raster = context->raster;
  return span.rowCapacity >= raster.width && raster.image16 != nullptr &&
         context->modulation != nullptr && context->paletteColours != nullptr &&
         context->spanOutput16 != nullptr && context->spanOutput16b != nullptr &&
         context->spanFill16 != nullptr;
}

std::int32_t DrawFace(R3xRenderContext* context, std::uint32_t vertexCount,
                      const R3xSurface* surface, ColourFace* face) {
  R3xFaceDraw& draw = face->draw;
  BaseLight(context, surface, face);
  AddDirectionalLights(context, face);
  // Outline rows keep no per-row light: such faces are drawn flat.
  draw.shading.smooth = draw.shading.smooth && !draw.outline;
  draw.count = LightAndClip(context, static_cast<std::int32_t>(vertexCount), face);
  if (draw.count <= 0) {
    return draw.count < 0 ? R3X_DRAW8_NOTHING : draw.count;
  }
  if (draw.shading.smooth && !draw.shading.spot) {
    FlatFallback(face);
  }
  DecideFog(context, face);
  if (draw.depthSorted) {
    _r3xBuildDepthLine(context, draw.vertices[0], &draw);
  }
  _r3xProjectFace(context, &draw);
  if (!HasTexelStage(draw.kind)) {
    draw.kind = R3X_KIND_FLAT;
  }
  if (!draw.shading.smooth) {
    const float* rgb = face->rgb;
    if (!draw.keyed && _r3xFloatBits(rgb[0]) < kLevelWidthBits &&
        _r3xFloatBits(rgb[1]) < kLevelWidthBits && _r3xFloatBits(rgb[2]) < kLevelWidthBits) {
      draw.kind = R3X_KIND_FLAT;
    }
    face->modulate = std::abs(rgb[0] - 1.0f) > kLevelWidth ||
                     std::abs(rgb[1] - 1.0f) > kLevelWidth || std::abs(rgb[2] - 1.0f) > kLevelWidth;
  }
  R3xSpanState& span = context->span;
  span.paletteColours = reinterpret_cast<const std::uint8_t*>(context->paletteColours);
  span.destination = span.scratchRow;
  draw.opaque = nullptr;
  draw.keyedRoutine = nullptr;
  draw.columnRoutine = nullptr;
  if (draw.kind == R3X_KIND_FLAT) {
    ChooseFlat(context, surface, face);
  } else {
    if (!SetUpTexture(context, surface, &draw)) {
      return R3X_DRAW8_NOTHING;
    }
    ChooseTextured(context, surface, face);
  }
  if (draw.shading.spot && draw.shading.smooth) {
    SetUpSpot(context, face);
  } else {
    draw.shading.spot = false;
  }
  return _r3xScanConvert8(context, &draw) < 0 ? R3X_DRAW8_FAILED : draw.count;
}

}  // namespace

std::int32_t _r3xDrawPolygonRGB(R3xRenderContext* context, std::uint32_t vertexCount,
                                const R3xSurface* surface, R3xRenderMethod method) {
  if (context->raster.currentObject != nullptr || !CanDraw(context)) {
    return R3X_DRAW8_NOTHING;
  }
  const std::uint32_t pixelsBefore = context->raster.pixelCount;
  ColourFace face{};
  R3xFaceDraw& draw = face.draw;
  draw.colour = true;
  draw.shading.method = method;
  draw.shading.smooth = (method & R3X_METHOD_SMOOTH) != 0;
  // Depth-sorted and outline rows keep no light edges: such faces go without the spot.
  draw.shading.spot = draw.shading.smooth && !draw.keyed &&
                      context->raster.currentFace != nullptr && !draw.depthSorted && !draw.outline;
  draw.shading.fog = context->fogMode == R3X_FOG_MODE_2;
  draw.keyed = (method & R3X_METHOD_KEYED) != 0;
  draw.outline = (method & R3X_RENDER_FILL_MASK) == R3X_RENDER_FILL_OUTLINE;
  draw.depthSorted = context->raster.depthSorting != 0;
  draw.kind = static_cast<std::int32_t>(method & R3X_RENDER_TEXTURE_MASK);
  if (draw.kind == R3X_KIND_QUAD) {
    return R3X_DRAW8_NOTHING;
  }
  if (draw.kind == R3X_KIND_DEPTH_LINES) {
    draw.kind = R3X_KIND_PERSPECTIVE;
  }
  const std::int32_t result = DrawFace(context, vertexCount, surface, &face);
  if (draw.kind == R3X_KIND_PERSPECTIVE) {
    // The original clears the floating-point exception flags its divisions may have raised.
    std::feclearexcept(FE_ALL_EXCEPT);
  }
  context->raster.pixelCount = pixelsBefore + draw.balance;
  return result;
}
