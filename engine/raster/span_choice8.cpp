#include <cstdint>

#include "engine/core/render_context.h"
#include "engine/core/surface.h"
#include "engine/raster/depth_lines_internal.h"
#include "engine/raster/exact_spans_internal.h"
#include "engine/raster/face_draw8_internal.h"
#include "engine/raster/flat_spans_internal.h"
#include "engine/raster/light_spot_internal.h"
#include "engine/raster/persp_spans_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/span_choice8_internal.h"
#include "engine/raster/span_size_tables_internal.h"
#include "engine/raster/texture_gradients_internal.h"
#include "engine/raster/vertex_lighting8_internal.h"

namespace {

// Light of 15/16 (the float 0x3F700000) and more is drawn unshaded.
constexpr std::int32_t kFullLightBits = 0x3F700000;
constexpr float kLevels = 16.0f;
// The largest level side the 10.22 texel coordinates address.
constexpr std::uint32_t kLargestSide = 512;

// A level 0 to 15; a negative light (which the lighting lets through) reads level 0.
std::int32_t Level(float value) {
  const std::int32_t level = r3xFloatToInt(value * kLevels);
  return level < 0 ? 0 : level;
}

bool FullLight(float light) { return _r3xFloatBits(light) >= kFullLightBits; }

// The affine families' generic members stand in their size tables' blocks, which the affine
// span routines fill; until they do, the blocks are empty and these are null.
R3xSpanRoutine AffineOpaque(std::int32_t mode) {
  return _r3xSpanSizeTables[R3X_SPAN_BLOCK_AFFINE_OPAQUE + mode - 1].square[0].opaque;
}
R3xKeyedSpanRoutine AffineKeyed(std::int32_t mode) {
  return _r3xSpanSizeTables[R3X_SPAN_BLOCK_AFFINE_KEYED + mode - 1].square[0].keyed;
}

constexpr R3xSpanRoutine kExactOpaque[4] = {_r3xSpanExactOpaqueMode1, _r3xSpanExactOpaqueMode2,
                                            _r3xSpanExactOpaqueMode3, _r3xSpanExactOpaqueMode4};
constexpr R3xKeyedSpanRoutine kExactKeyed[4] = {_r3xSpanExactKeyedMode1, _r3xSpanExactKeyedMode2,
                                                _r3xSpanExactKeyedMode3, _r3xSpanExactKeyedMode4};
constexpr R3xSpanRoutine kPerspOpaque[5] = {_r3xSpanPerspOpaqueMode1, _r3xSpanPerspOpaqueMode2,
                                            _r3xSpanPerspOpaqueMode3, _r3xSpanPerspOpaqueMode4,
                                            _r3xSpanPerspOpaqueMode5};
constexpr R3xKeyedSpanRoutine kPerspKeyed[4] = {_r3xSpanPerspKeyedMode1, _r3xSpanPerspKeyedMode2,
                                                _r3xSpanPerspKeyedMode3, _r3xSpanPerspKeyedMode4};
constexpr R3xSpanRoutine kDepthRows[4] = {_r3xSpanDepthRowsMode1, _r3xSpanDepthRowsMode2,
                                          _r3xSpanDepthRowsMode3, _r3xSpanDepthRowsMode4};
constexpr R3xSpanRoutine kDepthRows16[4] = {_r3xSpanDepthRows16Mode1, _r3xSpanDepthRows16Mode2,
                                            _r3xSpanDepthRows16Mode3, _r3xSpanDepthRows16Mode4};
constexpr R3xSpanRoutine kRecordColumns[4] = {_r3xSpanRecordColumnRuns, _r3xSpanRecordColumnRuns,
                                              _r3xSpanRecordColumnRunsMode3,
                                              _r3xSpanRecordColumnRunsMode4};
constexpr R3xSpanRoutine kDepthColumns[4] = {_r3xSpanDepthColumnMode1, _r3xSpanDepthColumnMode2,
                                             _r3xSpanDepthColumnMode3, _r3xSpanDepthColumnMode4};
constexpr R3xSpanRoutine kDepthHoriz[4] = {_r3xSpanDepthHorizMode1, _r3xSpanDepthHorizMode2,
                                           _r3xSpanDepthHorizMode3, _r3xSpanDepthHorizMode4};

// The flat colour of a flat-fill face of mode 2, looked up once in the shade data.
std::uint32_t ShadedColour(const R3xRenderContext* context, const R3xFaceDraw& face,
                           std::uint32_t colour) {
  const std::uint8_t* shade = context->span.shadeData;
  const float light = face.shading.light;
  const std::int32_t lightLevel = Level(light);
  const bool fogged =
      face.shading.fog && _r3xFloatBits(face.shading.fogAmount) >= _r3xFloatBits(R3X_FOG_THRESHOLD);
  if (!fogged) {
    if (face.shading.fog ? light > 0.9375f : FullLight(light)) {
      return colour;
    }
    return shade[(static_cast<std::uint32_t>(lightLevel) << 8) | colour];
  }
  const auto fogBlock = static_cast<std::uint32_t>(Level(face.shading.fogAmount)) << 12;
  if (light > 0.9375f) {
    return shade[fogBlock | 0xF00u | colour];
  }
  return shade[fogBlock | (static_cast<std::uint32_t>(lightLevel) << 8) | colour];
}

void ChooseFlat(R3xRenderContext* context, const R3xSurface* surface, R3xFaceDraw* face) {
  R3xSpanState& span = context->span;
  const std::uint32_t colour = surface->pen & 0xFFu;
  span.flatColour = colour;
  if (face->shading.smooth) {
    face->opaque = face->shading.fog ? _r3xSpanFlatLitFog8 : _r3xSpanFlatLit8;
    return;
  }
  face->opaque = _r3xSpanFill8;
  if (face->mode == 2) {
    span.flatColour = ShadedColour(context, *face, colour);
  }
}

// The routines of a constant-depth face by the kind of its lines.
std::int32_t ChooseDepthLines(R3xRenderContext* context, R3xFaceDraw* face) {
  R3xSpanState& span = context->span;
  const std::int32_t m = face->mode - 1;
  switch (span.depthLines.kind) {
    case R3X_DEPTHLINE_ROWS:
      face->opaque =
          span.depthLines.precision == R3X_DEPTHLINE_16_16 ? kDepthRows16[m] : kDepthRows[m];
      return 0;
    case R3X_DEPTHLINE_COLUMNS:
      if (_r3xResetColumnRuns(context) != R3X_DONE) {
        return R3X_SPAN_CHOICE_FAILED;
      }
      face->opaque = kRecordColumns[m];
      face->columnRoutine = kDepthColumns[m];
      return 0;
    default:
      face->opaque = kDepthHoriz[m];
      return 0;
  }
}

// The texture set-up of the face's kind. 0, R3X_SPAN_CHOICE_REFUSED or R3X_SPAN_CHOICE_FAILED.
std::int32_t SetUpTexture(R3xRenderContext* context, const R3xSurface* surface, R3xFaceDraw* face) {
  if (face->kind == R3X_KIND_AFFINE) {
    R3xClipVertex* v = face->vertices;
    if (_r3xSelectAffineMipLevel(context, surface, v, face->count, &v[face->top], &v[face->bottom],
                                 &v[face->left], &v[face->right]) != R3X_DONE) {
      return R3X_SPAN_CHOICE_REFUSED;
    }
  } else if (!face->objectFog && _r3xSetupTextureGradients(context, surface, face->centreX,
                                                           face->centreY) != R3X_DONE) {
    return R3X_SPAN_CHOICE_REFUSED;
  }
  const R3xSpanState& span = context->span;
  if (span.textureWidth > kLargestSide || span.textureHeight > kLargestSide) {
    return R3X_SPAN_CHOICE_REFUSED;
  }
  if (face->kind == R3X_KIND_DEPTH_LINES &&
      _r3xSetupDepthLines(context, face->vertices, face->count) < 0) {
    return R3X_SPAN_CHOICE_FAILED;
  }
  return 0;
}

void ChooseTextured(R3xRenderContext* context, R3xFaceDraw* face) {
  R3xSpanState& span = context->span;
  // Mode 5 comes only to opaque affine and perspective faces: the keyed and exact families
  // have modes 1 to 4.
  const std::int32_t m = face->mode - 1;
  // Only the slot the face uses is filled; an affine or perspective routine is the member of
  // the level's size.
  const bool sized = face->kind == R3X_KIND_AFFINE || face->kind == R3X_KIND_PERSPECTIVE;
  if (face->keyed) {
    const R3xKeyedSpanRoutine keyed = face->kind == R3X_KIND_EXACT    ? kExactKeyed[m]
                                      : face->kind == R3X_KIND_AFFINE ? AffineKeyed(face->mode)
                                                                      : kPerspKeyed[m];
    face->keyedRoutine = sized ? _r3xSpanSizeMemberKeyed(span, keyed) : keyed;
  } else {
    const R3xSpanRoutine opaque = face->kind == R3X_KIND_EXACT    ? kExactOpaque[m]
                                  : face->kind == R3X_KIND_AFFINE ? AffineOpaque(face->mode)
                                                                  : kPerspOpaque[m];
    face->opaque = sized ? _r3xSpanSizeMemberOpaque(span, opaque) : opaque;
  }
}

}  // namespace

void _r3xChooseShadingMode8(R3xFaceDraw* face) {
  const R3xFaceShading& shading = face->shading;
  // A kind the method words never name has no routines: it is drawn as a flat fill.
  if (face->kind != R3X_KIND_EXACT && face->kind != R3X_KIND_DEPTH_LINES &&
      face->kind != R3X_KIND_AFFINE && face->kind != R3X_KIND_PERSPECTIVE) {
    face->kind = R3X_KIND_FLAT;
  }
  if (!shading.smooth) {
    face->mode = FullLight(shading.light) && !shading.fog ? 1 : 2;
    if (!face->keyed && _r3xFloatBits(shading.light) < _r3xFloatBits(R3X_FOG_THRESHOLD)) {
      face->kind = R3X_KIND_FLAT;
    }
  } else if (shading.fog) {
    face->mode = 4;
  } else if (!face->keyed && (shading.method & R3X_METHOD_LIGHT_PER_PIXEL) != 0 &&
             (face->kind == R3X_KIND_AFFINE || face->kind == R3X_KIND_PERSPECTIVE)) {
    face->mode = 5;
  } else {
    face->mode = 3;
  }
  if (face->kind == R3X_KIND_AFFINE &&
      (face->keyed ? AffineKeyed(face->mode) == nullptr : AffineOpaque(face->mode) == nullptr)) {
    face->kind = R3X_KIND_PERSPECTIVE;
  }
  // Keyed flat fills and constant-depth faces have no keyed routine: they are drawn opaque.
  if (face->kind == R3X_KIND_FLAT || face->kind == R3X_KIND_DEPTH_LINES) {
    face->keyed = false;
  }
}

std::int32_t _r3xChooseSpanRoutines8(R3xRenderContext* context, const R3xSurface* surface,
                                     R3xFaceDraw* face) {
  face->opaque = nullptr;
  face->keyedRoutine = nullptr;
  face->columnRoutine = nullptr;
  if (face->kind == R3X_KIND_FLAT) {
    ChooseFlat(context, surface, face);
  } else {
    const std::int32_t setUp = SetUpTexture(context, surface, face);
    if (setUp != 0) {
      return setUp;
    }
    if (face->mode == 2) {
      // The one shade row of the face's light (and fog) level.
      const std::uint32_t fogLevel =
          face->shading.fog ? static_cast<std::uint32_t>(Level(face->shading.fogAmount)) : 0;
      const auto lightLevel = static_cast<std::uint32_t>(Level(face->shading.light));
      context->span.shadeRow = context->span.shadeData + (((fogLevel << 4) | lightLevel) << 8);
    }
    if (face->kind == R3X_KIND_DEPTH_LINES) {
      const std::int32_t chosen = ChooseDepthLines(context, face);
      if (chosen != 0) {
        return chosen;
      }
    } else {
      ChooseTextured(context, face);
    }
  }
  if (face->shading.spot) {
    std::int32_t count = face->count;
    if (_r3xFindLightSpot8(context, face->shading.light, face->vertices, &count) == 0) {
      face->shading.spot = false;
      return 0;
    }
    face->count = count;
    context->span.routine = face->opaque;
    face->opaque = _r3xSpanLightDriver;
    face->top = 0;
    for (std::int32_t i = 1; i < count; ++i) {
      face->top = face->vertices[i].y < face->vertices[face->top].y ? i : face->top;
    }
  }
  return 0;
}
