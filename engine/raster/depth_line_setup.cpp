// The constant-depth line set-up: along a line 1/z is constant, so u and v are linear along it;
// across the lines they are fitted by a quadratic per segment of 4 to 256 lines, short near the
// line where 1/z vanishes and the mapping bends most.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "engine/core/math_convert.h"
#include "engine/core/memory.h"
#include "engine/core/render_context.h"
#include "engine/raster/depth_lines_internal.h"
#include "engine/raster/raster_numeric_internal.h"

namespace {

// Below this 1/z gradient along x the depth is taken as constant along scan lines.
constexpr float kFlatGradient = 1.52587890625e-05f;
constexpr float kRowSlopeLimit = 7.0f;
// Row positions keep 12 integer bits while the lines stay within this index.
constexpr std::int32_t kRowIndexLimit = 2038;
// The last segment is drawn this many pixels beyond its lines.
constexpr std::int32_t kOverrun = 8;
constexpr std::uint32_t kMinimumCapacity = 8;
// The ten values of a segment in the order of their row changes.
constexpr float R3xLineSegment::*kSegmentValues[10] = {
    &R3xLineSegment::u,   &R3xLineSegment::v,   &R3xLineSegment::du, &R3xLineSegment::dv,
    &R3xLineSegment::ddu, &R3xLineSegment::ddv, &R3xLineSegment::bu, &R3xLineSegment::cu,
    &R3xLineSegment::bv,  &R3xLineSegment::cv};

// u/z, v/z and 1/z at a pixel, from their values at the view centre.
struct Interpolants {
  float u;
  float v;
  float w;
};

Interpolants At(const R3xRenderContext* context, float x, float y) {
  const R3xSpanState& span = context->span;
  const float dx = x - (context->halfViewWidth - 0.5f);
  const float dy = y - (context->halfViewHeight - 0.5f);
  return {span.interpolants[0] + span.xGradients[0] * dx + span.yGradients[0] * dy,
          span.interpolants[1] + span.xGradients[1] * dx + span.yGradients[1] * dy,
          span.interpolants[2] + span.xGradients[2] * dx + span.yGradients[2] * dy};
}

// The lines of one kind: line t of the polygon passes the pixel (x0 + t, y0) (rows) or
// (x0, y0 + t) (columns) at the first row (column); gU and gV are the changes of u/z and v/z
// along a line per row (column).
struct Lines {
  bool rows;
  float x0;
  float y0;
  float gU;
  float gV;
  // The 1/z gradient across the lines.
  float across;
  std::int32_t fraction;
};

// u, v and their changes along the line per row (column) on the line t.
struct LineValues {
  float q[4];
};

LineValues OnLine(const R3xRenderContext* context, const Lines& lines, float t) {
  const Interpolants i =
      lines.rows ? At(context, lines.x0 + t, lines.y0) : At(context, lines.x0, lines.y0 + t);
  const float z = i.w == 0.0f ? 0.0f : 1.0f / i.w;
  return {{i.u * z, i.v * z, lines.gU * z, lines.gV * z}};
}

// Lines per segment at a signed distance d (in lines) from the line where 1/z = 0.
std::int32_t SegmentLines(std::int64_t d) {
  const std::int64_t distance = d < 0 ? -d : d;
  std::int32_t level = 8;
  if (distance <= 16) {
    level = 2;
  } else if (distance <= 32) {
    level = 3;
  } else if (distance <= 64) {
    level = 4;
  } else if (distance <= 128) {
    level = 5;
  } else if (distance <= 512) {
    level = 6;
  } else if (distance <= 1024) {
    level = 7;
  }
  return 1 << level;
}

std::int32_t ToFixed(std::int32_t value, std::int32_t fraction) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) << fraction);
}

// Room for record index; the array grows by a quarter and keeps everything when it cannot.
bool Reserve(R3xRenderWorkArrays& work, std::uint32_t index) {
  if (index < work.edgeCapacity) {
    return true;
  }
  const std::uint32_t capacity =
      std::max(work.edgeCapacity + work.edgeCapacity / 4, kMinimumCapacity);
  auto* grown = static_cast<R3xLineSegment*>(
      r3xRealloc(work.edges, std::size_t{capacity} * sizeof(R3xLineSegment)));
  if (grown == nullptr) {
    return false;
  }
  work.edges = grown;
  work.edgeCapacity = capacity;
  return true;
}

// Fits u, v and their row (column) changes over length lines from start, middle and end, into
// the record: u, v and the differences, and the ten values' changes per row (column).
void Fit(const LineValues& q0, const LineValues& qm, const LineValues& q1, float length,
         R3xLineSegment& segment) {
  float b[4];
  float c[4];
  for (int k = 0; k < 4; ++k) {
    b[k] = (4.0f * qm.q[k] - 3.0f * q0.q[k] - q1.q[k]) / length;
    c[k] = 2.0f * (q0.q[k] - 2.0f * qm.q[k] + q1.q[k]) / (length * length);
  }
  segment.u = q0.q[0];
  segment.v = q0.q[1];
  segment.du = b[0] + c[0];
  segment.dv = b[1] + c[1];
  segment.ddu = 2.0f * c[0];
  segment.ddv = 2.0f * c[1];
  segment.bu = b[0];
  segment.cu = c[0];
  segment.bv = b[1];
  segment.cv = c[1];
  const float changes[10] = {q0.q[2],     q0.q[3], b[2] + c[2], b[3] + c[3], 2.0f * c[2],
                             2.0f * c[3], b[2],    c[2],        b[3],        c[3]};
  std::copy(changes, changes + 10, segment.rowChanges);
}

void SetPosition(const Lines& lines, R3xLineSegment& segment, std::int32_t position) {
  if (lines.rows) {
    segment.rowPosition = position;
  } else {
    segment.columnPosition = position;
  }
}

// The segments of lines first .. last; 0, or R3X_DEPTHLINE_NO_ROOM with no segments when the
// array cannot grow.
std::int32_t BuildSegments(R3xRenderContext* context, const Lines& lines, std::int32_t first,
                           std::int32_t last) {
  R3xRenderWorkArrays& work = context->work;
  R3xDepthLines& depth = context->span.depthLines;
  depth.segmentCount = 0;
  const std::int32_t f = lines.fraction;
  std::int32_t position = ToFixed(first, f);
  // At least one segment, so that the record after the first always exists.
  std::int32_t remaining = std::max(last - first, 1);
  const Interpolants start = At(context, lines.x0, lines.y0);
  std::int64_t distance = r3xFloatToInt(start.w / lines.across);
  std::int32_t length = SegmentLines(distance);
  LineValues q0 = OnLine(context, lines, 0.0f);
  float t = 0.0f;
  std::uint32_t index = 0;
  std::int32_t lastLength = 0;
  while (length <= remaining) {
    if (!Reserve(work, index)) {
      return R3X_DEPTHLINE_NO_ROOM;
    }
    const float half = static_cast<float>(length / 2);
    const LineValues qm = OnLine(context, lines, t + half);
    const LineValues q1 = OnLine(context, lines, t + static_cast<float>(length));
    R3xLineSegment& segment = work.edges[index++];
    Fit(q0, qm, q1, static_cast<float>(length), segment);
    SetPosition(lines, segment, position);
    segment.length = ToFixed(length, f);
    segment.pixelCount = length;
    position = _r3xWrapAdd(position, ToFixed(length, f));
    remaining -= length;
    distance += length;
    t += static_cast<float>(length);
    lastLength = length;
    q0 = q1;
    length = SegmentLines(distance);
  }
  if (remaining > 0) {
    if (!Reserve(work, index)) {
      return R3X_DEPTHLINE_NO_ROOM;
    }
    const auto lengthF = static_cast<float>(remaining);
    const LineValues qm = OnLine(context, lines, t + lengthF * 0.5f);
    const LineValues q1 = OnLine(context, lines, t + lengthF);
    R3xLineSegment& segment = work.edges[index++];
    Fit(q0, qm, q1, lengthF, segment);
    SetPosition(lines, segment, position);
    segment.length = ToFixed(remaining, f);
    segment.pixelCount = remaining + kOverrun;
    lastLength = remaining;
  }
  if (!Reserve(work, index)) {
    return R3X_DEPTHLINE_NO_ROOM;
  }
  R3xLineSegment& sentinel = work.edges[index];
  SetPosition(lines, sentinel, _r3xWrapAdd(position, ToFixed(lastLength + kOverrun, f)));
  depth.segmentCount = index;
  context->span.lineSegments = work.edges + 1;
  return 0;
}

}  // namespace

std::int32_t _r3xBuildDepthLineRows(R3xRenderContext* context) {
  R3xDepthLines& depth = context->span.depthLines;
  const R3xSpanState& span = context->span;
  const bool narrow = depth.firstLine >= -kRowIndexLimit && depth.lastLine <= kRowIndexLimit;
  depth.precision = narrow ? R3X_DEPTHLINE_12_20 : R3X_DEPTHLINE_16_16;
  const Lines lines{true,
                    static_cast<float>(depth.firstLine),
                    static_cast<float>(depth.firstRow),
                    depth.slope * span.xGradients[0] + span.yGradients[0],
                    depth.slope * span.xGradients[1] + span.yGradients[1],
                    span.xGradients[2],
                    narrow ? 20 : 16};
  return BuildSegments(context, lines, depth.firstLine, depth.lastLine);
}

std::int32_t _r3xBuildDepthLineColumns(R3xRenderContext* context) {
  const R3xDepthLines& depth = context->span.depthLines;
  const R3xSpanState& span = context->span;
  const Lines lines{false,
                    static_cast<float>(depth.firstColumn),
                    static_cast<float>(depth.firstLine),
                    depth.inverseSlope * span.yGradients[0] + span.xGradients[0],
                    depth.inverseSlope * span.yGradients[1] + span.xGradients[1],
                    span.yGradients[2],
                    20};
  return BuildSegments(context, lines, depth.firstLine, depth.lastLine) < 0 ? R3X_DEPTHLINE_NO_ROOM
                                                                            : R3X_DONE;
}

std::int32_t _r3xSetupDepthLines(R3xRenderContext* context, const R3xClipVertex* vertices,
                                 std::int32_t count) {
  R3xDepthLines& depth = context->span.depthLines;
  const float a = context->span.xGradients[2];
  const float b = context->span.yGradients[2];
  depth.segmentCount = 0;
  if (std::fabs(a) <= kFlatGradient) {
    depth.kind = R3X_DEPTHLINE_HORIZONTAL;
    return 0;
  }
  const R3xClipVertex* nearest = &vertices[0];
  const R3xClipVertex* farthest = &vertices[0];
  float minX = vertices[0].x;
  float maxX = vertices[0].x;
  float minY = vertices[0].y;
  for (std::int32_t i = 1; i < count; ++i) {
    const R3xClipVertex& v = vertices[i];
    const float depthTerm = v.x * a + v.y * b;
    if (depthTerm > nearest->x * a + nearest->y * b) {
      nearest = &v;
    }
    if (depthTerm < farthest->x * a + farthest->y * b) {
      farthest = &v;
    }
    minX = std::min(minX, v.x);
    maxX = std::max(maxX, v.x);
    minY = std::min(minY, v.y);
  }
  const float s = -b / a;
  if (s >= -kRowSlopeLimit && s <= kRowSlopeLimit) {
    depth.kind = R3X_DEPTHLINE_ROWS;
    depth.firstRow = _r3xCeilRow(minY);
    const float row = static_cast<float>(depth.firstRow);
    const float x1 = (row - nearest->y) * s + nearest->x;
    const float x2 = (row - farthest->y) * s + farthest->x;
    depth.firstLine = r3xFloatToInt(std::min(x1, x2) - 0.5f);
    depth.lastLine = r3xFloatToInt(std::max(x1, x2) + 1.5f);
    depth.slope = s;
    depth.slopeFixed = _r3xFixed20(s);
    return _r3xBuildDepthLineRows(context);
  }
  const float r = 1.0f / s;
  depth.kind = R3X_DEPTHLINE_COLUMNS;
  depth.firstColumn = _r3xCeilRow(minX);
  depth.lastColumn = r3xFloatToInt(maxX);
  const float column = static_cast<float>(depth.firstColumn);
  const float y1 = (column - nearest->x) * r + nearest->y;
  const float y2 = (column - farthest->x) * r + farthest->y;
  depth.firstLine = r3xFloatToInt(std::min(y1, y2) - 0.5f);
  depth.lastLine = r3xFloatToInt(std::max(y1, y2) + 1.5f);
  depth.inverseSlope = r;
  depth.inverseSlopeFixed = _r3xFixed20(r);
  return _r3xBuildDepthLineColumns(context) < 0 ? R3X_DEPTHLINE_NO_ROOM : 0;
}

void _r3xAdvanceDepthLines(R3xRenderContext* context) {
  R3xSpanState& span = context->span;
  const R3xDepthLines& depth = span.depthLines;
  R3xLineSegment* segments = context->work.edges;
  const bool rows = depth.kind == R3X_DEPTHLINE_ROWS;
  std::int32_t step = rows ? depth.slopeFixed : depth.inverseSlopeFixed;
  if (rows && depth.precision == R3X_DEPTHLINE_16_16) {
    step >>= 4;
  }
  for (std::uint32_t i = 0; i <= depth.segmentCount; ++i) {
    R3xLineSegment& segment = segments[i];
    std::int32_t& position = rows ? segment.rowPosition : segment.columnPosition;
    position = _r3xWrapAdd(position, step);
    if (i == depth.segmentCount) {
      break;
    }
    for (int k = 0; k < 10; ++k) {
      segment.*kSegmentValues[k] += segment.rowChanges[k];
    }
  }
}
