#include <algorithm>
#include <cstdint>
#include <limits>

#include "engine/core/math_convert.h"
#include "engine/core/render_context.h"
#include "engine/raster/depth_lines_internal.h"
#include "engine/raster/depth_sorted_runs_internal.h"
#include "engine/raster/face_draw8_internal.h"
#include "engine/raster/light_spot_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/row_runs_internal.h"
#include "engine/raster/scan_convert8_internal.h"

namespace {

// The span of a row outside the face, for the outline's neighbours.
constexpr std::int32_t kNoSpanX0 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kNoSpanX1 = std::numeric_limits<std::int32_t>::min();
// Below this width a row's gradients are taken as 0.
constexpr float kNarrowSpan = 0.25f;

// One side's walk down the polygon: the current edge (start and end vertex, the row after its
// last) and the values at the current row with their steps per row.
struct EdgeWalker {
  std::int32_t direction;
  std::int32_t start;
  std::int32_t end;
  std::int32_t endRow;
  float x;
  float xStep;
  float light;
  float lightStep;
  float green;
  float greenStep;
  float blue;
  float blueStep;
  float fog;
  float fogStep;
  float u;
  float uStep;
  float v;
  float vStep;
};

struct FaceWalk {
  R3xRenderContext* context;
  R3xFaceDraw* face;
  bool lit;
  bool colour;
  bool fogged;
  bool affine;
  bool spot;
};

// Moves the walker to row r: a step along its edge, or the next edge that reaches below r.
// False when no edge of the polygon does.
bool WalkToRow(EdgeWalker& edge, const FaceWalk& walk, std::int32_t r) {
  if (r < edge.endRow) {
    edge.x += edge.xStep;
    edge.light += edge.lightStep;
    edge.green += edge.greenStep;
    edge.blue += edge.blueStep;
    edge.fog += edge.fogStep;
    edge.u += edge.uStep;
    edge.v += edge.vStep;
    return true;
  }
  const R3xFaceDraw& face = *walk.face;
  const R3xClipVertex* v = face.vertices;
  for (std::int32_t taken = 0; taken < face.count; ++taken) {
    edge.start = edge.end;
    edge.end = (edge.end + edge.direction + face.count) % face.count;
    if (walk.spot && edge.start != face.top) {
      if (walk.colour) {
        _r3xAddLightEdgeToSpotRGB(walk.context, &v[edge.start], r);
      } else {
        _r3xAddLightEdgeToSpot(walk.context, &v[edge.start], r);
      }
    }
    const R3xClipVertex& a = v[edge.start];
    const R3xClipVertex& b = v[edge.end];
    edge.endRow = r3xFloatToInt(b.y + 1.0f);
    const float height = b.y - a.y;
    // An edge of no height would step by a division by zero.
    if (edge.endRow <= r || !(height > 0.0f)) {
      continue;
    }
    const float offset = static_cast<float>(r) - a.y;
    edge.xStep = (b.x - a.x) / height;
    edge.x = a.x + offset * edge.xStep;
    edge.lightStep = walk.lit ? (b.red - a.red) / height : 0.0f;
    edge.light = a.red + offset * edge.lightStep;
    const bool rgb = walk.lit && walk.colour;
    edge.greenStep = rgb ? (b.green - a.green) / height : 0.0f;
    edge.green = a.green + offset * edge.greenStep;
    edge.blueStep = rgb ? (b.blue - a.blue) / height : 0.0f;
    edge.blue = a.blue + offset * edge.blueStep;
    edge.fogStep = walk.fogged ? (b.fog - a.fog) / height : 0.0f;
    edge.fog = a.fog + offset * edge.fogStep;
    edge.uStep = walk.affine ? (b.u - a.u) / height : 0.0f;
    edge.u = a.u + offset * edge.uStep;
    edge.vStep = walk.affine ? (b.v - a.v) / height : 0.0f;
    edge.v = a.v + offset * edge.vStep;
    return true;
  }
  return false;
}

float Gradient(float left, float right, float width) {
  return width > kNarrowSpan ? (right - left) / width : 0.0f;
}

// The span state's fields that the face's routine reads per row.
void SetRowState(const FaceWalk& walk, const EdgeWalker& left, const EdgeWalker& right,
                 std::int32_t x0) {
  R3xSpanState& span = walk.context->span;
  const R3xFaceDraw& face = *walk.face;
  const float width = right.x - left.x;
  if (!walk.affine) {
    span.gridX = x0;
  }
  if (walk.lit || walk.fogged) {
    span.lightOriginX = left.x;
  }
  if (walk.fogged) {
    span.fog = left.fog;
    span.fogStep = Gradient(left.fog, right.fog, width);
    span.fogStepFixed = _r3xStepFixed20(span.fogStep);
  }
  if (walk.lit) {
    span.light = left.light;
    span.lightStep = Gradient(left.light, right.light, width);
    span.lightStepFixed = _r3xStepFixed20(span.lightStep);
    if (walk.colour) {
      span.green = left.green;
      span.greenStep = Gradient(left.green, right.green, width);
      span.greenStepFixed = _r3xStepFixed20(span.greenStep);
      span.blue = left.blue;
      span.blueStep = Gradient(left.blue, right.blue, width);
      span.blueStepFixed = _r3xStepFixed20(span.blueStep);
    }
    if (walk.spot) {
      span.spanEndX = right.x;
      span.spanEndLight[0] = right.light;
      span.spanEndLight[1] = right.green;
      span.spanEndLight[2] = right.blue;
    }
  }
  if (walk.affine) {
    span.lightOriginX = left.x;
    span.interpolants[0] = left.u;
    span.interpolants[1] = left.v;
    span.xGradients[0] = Gradient(left.u, right.u, width);
    span.xGradients[1] = Gradient(left.v, right.v, width);
    span.uStep = _r3xFixed22(span.xGradients[0]);
    span.vStep = _r3xFixed22(span.xGradients[1]);
  } else if (face.kind == R3X_KIND_DEPTH_LINES &&
             span.depthLines.kind == R3X_DEPTHLINE_HORIZONTAL) {
    const float w = face.rowStart[2] != 0.0f ? 1.0f / face.rowStart[2] : 0.0f;
    span.interpolants[0] = face.rowStart[0] * w;
    span.interpolants[1] = face.rowStart[1] * w;
    span.xGradients[0] = face.rowXGradients[0] * w;
    span.xGradients[1] = face.rowXGradients[1] * w;
    span.uStep = _r3xFixed22(span.xGradients[0]);
    span.vStep = _r3xFixed22(span.xGradients[1]);
  }
}

// The values that move by a row.
void AdvanceRow(R3xRenderContext* context, R3xFaceDraw& face) {
  R3xSpanState& span = context->span;
  if (face.colour) {
    span.destination16 += context->raster.rowLength;
  } else {
    span.destination += context->raster.rowLength;
  }
  face.depthC += face.depthB;
  if (face.kind == R3X_KIND_EXACT || face.kind == R3X_KIND_PERSPECTIVE) {
    for (int i = 0; i < 3; ++i) {
      span.interpolants[i] += span.yGradients[i];
    }
  } else if (face.kind == R3X_KIND_DEPTH_LINES) {
    if (span.depthLines.kind == R3X_DEPTHLINE_ROWS) {
      _r3xAdvanceDepthLines(context);
    } else if (span.depthLines.kind == R3X_DEPTHLINE_HORIZONTAL) {
      for (int i = 0; i < 3; ++i) {
        face.rowStart[i] += face.rowYGradients[i];
      }
    }
  } else if (face.kind == R3X_KIND_QUAD) {
    span.texels -= face.quadRowStep;
  }
}

// The face's values moved from the view centre to x = 0 of the top row, once per face.
void MoveToTopRow(R3xRenderContext* context, R3xFaceDraw& face, std::int32_t top) {
  R3xSpanState& span = context->span;
  const float dy = static_cast<float>(top) - (context->halfViewHeight - 0.5f);
  const float dx = context->halfViewWidth - 0.5f;
  if (face.kind == R3X_KIND_EXACT || face.kind == R3X_KIND_PERSPECTIVE) {
    for (int i = 0; i < 3; ++i) {
      span.interpolants[i] += span.yGradients[i] * dy - span.xGradients[i] * dx;
    }
    if (face.kind == R3X_KIND_PERSPECTIVE) {
      for (int i = 0; i < 3; ++i) {
        span.xGradients16[i] = 16.0f * span.xGradients[i];
      }
    }
  } else if (face.kind == R3X_KIND_DEPTH_LINES &&
             span.depthLines.kind == R3X_DEPTHLINE_HORIZONTAL) {
    // Chosen only when 1/z hardly changes along x: no x term for it.
    for (int i = 0; i < 2; ++i) {
      face.rowStart[i] = span.interpolants[i] + span.yGradients[i] * dy - span.xGradients[i] * dx;
      face.rowXGradients[i] = span.xGradients[i];
    }
    face.rowStart[2] = span.interpolants[2] + span.yGradients[2] * dy;
    for (int i = 0; i < 3; ++i) {
      face.rowYGradients[i] = span.yGradients[i];
    }
  } else if (face.kind == R3X_KIND_QUAD) {
    // Rows above the image are passed over.
    const std::int32_t firstRow = _r3xCeilRow(face.minY);
    if (firstRow < top) {
      span.texels -= static_cast<std::ptrdiff_t>(face.quadRowStep) * (top - firstRow);
    }
  }
}

// Points the span state at row r of the image: the 8-bit image, or for the colour drawer the
// 16-bit one (its texel stage writes through destination into the scratch row).
void SetImageRow(R3xRenderContext* context, const R3xFaceDraw& face, std::int32_t r) {
  const R3xRasterInputs& raster = context->raster;
  const std::ptrdiff_t offset = static_cast<std::ptrdiff_t>(r) * raster.rowLength;
  if (face.colour) {
    context->span.destination16 = raster.image16 + offset;
  } else {
    context->span.destination = raster.image + offset;
  }
}

// Hands [x0, x1) of row r to the face's insertion.
std::int32_t DrawPiece(R3xRenderContext* context, R3xFaceDraw& face, std::int32_t r,
                       std::int32_t x0, std::int32_t x1, float depthC) {
  if (x0 >= x1) {
    return 0;
  }
  R3xRenderWorkArrays& work = context->work;
  const R3xRowRuns row{&work.spanLists[r], &work.spanWords[r]};
  if (face.depthSorted) {
    const R3xRowDepth depth{face.depthA, depthC};
    return face.keyed
               ? _r3xInsertDepthSortedKeyedSpan(context, row, x0, x1, depth, face.keyedRoutine,
                                                context->transparentIndex, &face.balance)
               : _r3xInsertDepthSortedSpan(context, row, x0, x1, depth, face.opaque, &face.balance);
  }
  if (face.keyed) {
    return _r3xInsertKeyedSpan(context, row, x0, x1, face.keyedRoutine, context->transparentIndex,
                               &face.balance);
  }
  return _r3xInsertOpaqueSpan(context, row, x0, x1, face.opaque, &face.balance);
}

struct RowSpan {
  std::int32_t x0;
  std::int32_t x1;
};

RowSpan SpanOfRow(const R3xRenderContext* context, const EdgeWalker& left,
                  const EdgeWalker& right) {
  RowSpan span{};
  r3xRoundFloatsToInts(left.x + 0.5f, right.x + 0.5f, &span.x0, &span.x1);
  span.x0 = std::max(span.x0, 0);
  span.x1 = std::min(span.x1, context->raster.width);
  return span;
}

std::int32_t DrawOutlineRow(R3xRenderContext* context, R3xFaceDraw& face, std::int32_t r,
                            RowSpan row, RowSpan above, RowSpan below, float depthC) {
  if (row.x0 >= row.x1) {
    return 0;
  }
  SetImageRow(context, face, r);
  R3xSpanState& span = context->span;
  span.currentRow = r;
  span.gridX = row.x0;
  const R3xOutlinePieces pieces =
      _r3xOutlinePieces(row.x0, row.x1, above.x0, above.x1, below.x0, below.x1);
  if (pieces.rightStart > pieces.leftEnd) {
    const std::int32_t result = DrawPiece(context, face, r, row.x0, pieces.leftEnd, depthC);
    return result != 0 ? result : DrawPiece(context, face, r, pieces.rightStart, row.x1, depthC);
  }
  return DrawPiece(context, face, r, row.x0, row.x1, depthC);
}

// Each row drawn one row late, once the rows above and below are known.
std::int32_t ScanOutline(const FaceWalk& walk, EdgeWalker& left, EdgeWalker& right,
                         std::int32_t top, std::int32_t bottom) {
  R3xRenderContext* context = walk.context;
  R3xFaceDraw& face = *walk.face;
  const RowSpan none{kNoSpanX0, kNoSpanX1};
  RowSpan above = none;
  RowSpan current = none;
  float depthC = face.depthC;
  for (std::int32_t r = top; r <= bottom + 1; ++r) {
    RowSpan next = none;
    if (r <= bottom) {
      if (!WalkToRow(left, walk, r) || !WalkToRow(right, walk, r)) {
        bottom = r - 1;
      } else {
        next = SpanOfRow(context, left, right);
      }
    }
    if (r > top) {
      const std::int32_t result =
          DrawOutlineRow(context, face, r - 1, current, above, next, depthC);
      if (result != 0) {
        return result;
      }
      depthC += face.depthB;
    }
    above = current;
    current = next;
  }
  return 0;
}

}  // namespace

R3xOutlinePieces _r3xOutlinePieces(std::int32_t x0, std::int32_t x1, std::int32_t aboveX0,
                                   std::int32_t aboveX1, std::int32_t belowX0,
                                   std::int32_t belowX1) {
  return {std::max({x0 + 1, aboveX0, belowX0}), std::min({x1 - 1, aboveX1, belowX1})};
}

std::int32_t _r3xScanConvert8(R3xRenderContext* context, R3xFaceDraw* face) {
  const R3xRasterInputs& raster = context->raster;
  // The rows the image and its run lists have.
  const std::int32_t lastRow =
      std::min(raster.height, static_cast<std::int32_t>(context->work.spanListCount)) - 1;
  const std::int32_t top = std::max(_r3xCeilRow(face->minY), 0);
  const std::int64_t end =
      std::min<std::int64_t>(std::int64_t{r3xFloatToInt(face->maxY + 1.0f)} - 1, lastRow);
  if (top > end) {
    return 0;
  }
  const auto bottom = static_cast<std::int32_t>(end);
  R3xSpanState& span = context->span;
  SetImageRow(context, *face, top);
  MoveToTopRow(context, *face, top);
  face->depthC += static_cast<float>(top) * face->depthB;
  const FaceWalk walk{context,
                      face,
                      face->shading.smooth,
                      face->colour,
                      face->colour ? face->shading.fog : face->shading.smooth && face->shading.fog,
                      face->kind == R3X_KIND_AFFINE,
                      face->shading.spot};
  EdgeWalker left{-1, face->top, face->top, kNoSpanX1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EdgeWalker right = left;
  right.direction = 1;
  if (face->outline) {
    return ScanOutline(walk, left, right, top, bottom);
  }
  const auto addEdge = face->colour ? _r3xAddLightEdgeToSpotRGB : _r3xAddLightEdgeToSpot;
  const auto advanceEdges = face->colour ? _r3xAdvanceLightEdgesRGB : _r3xAdvanceLightEdges;
  if (walk.spot) {
    addEdge(context, &face->vertices[face->top], top);
  }
  for (std::int32_t r = top; r <= bottom; ++r) {
    if (walk.spot && advanceEdges(context, face->vertices, face->count, r) == R3X_ERR_FAILED) {
      return R3X_RUNS_CANNOT_GROW;
    }
    if (!WalkToRow(left, walk, r) || !WalkToRow(right, walk, r)) {
      break;
    }
    const RowSpan row = SpanOfRow(context, left, right);
    span.currentRow = r;
    if (row.x0 < row.x1) {
      SetRowState(walk, left, right, row.x0);
      const std::int32_t result = DrawPiece(context, *face, r, row.x0, row.x1, face->depthC);
      if (result != 0) {
        return result;
      }
    }
    AdvanceRow(context, *face);
  }
  if (face->columnRoutine != nullptr) {
    _r3xDrawDepthColumns(context, face->columnRoutine);
  }
  return 0;
}
