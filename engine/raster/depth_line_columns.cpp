// The column kind of the constant-depth line method: the scan lines only record which rows of
// each image column the face covers (and, for the light and fog modes, the pixel's levels in
// the image itself); the column pass then draws each column's runs along the lines.
#include <algorithm>
#include <cstdint>

#include "engine/core/memory.h"
#include "engine/core/render_context.h"
#include "engine/raster/depth_lines_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/span_pixel_internal.h"

namespace {

constexpr std::uint32_t kRunsPerColumn = 32;
constexpr std::uint32_t kRunGrowth = 16;
constexpr std::int32_t kNoRow = 0x7FFFFFFF;

bool GrowRuns(R3xScanlineList& list) {
  const std::uint32_t capacity = list.capacity + kRunGrowth;
  auto* runs = static_cast<R3xScanPair*>(r3xMalloc(std::size_t{capacity} * sizeof(R3xScanPair)));
  if (runs == nullptr) {
    return false;
  }
  std::copy(list.pairs, list.pairs + list.count, runs);
  r3xFree(list.pairs);
  list.pairs = runs;
  list.capacity = capacity;
  return true;
}

// Lists for columns count .. width - 1, each with its run array; nothing changes on failure.
bool GrowColumnLists(R3xRenderWorkArrays& work, std::uint32_t width) {
  auto* lists =
      static_cast<R3xScanlineList*>(r3xMalloc(std::size_t{width} * sizeof(R3xScanlineList)));
  if (lists == nullptr) {
    return false;
  }
  for (std::uint32_t c = work.scanlineCount; c < width; ++c) {
    lists[c].pairs =
        static_cast<R3xScanPair*>(r3xMalloc(std::size_t{kRunsPerColumn} * sizeof(R3xScanPair)));
    if (lists[c].pairs == nullptr) {
      for (std::uint32_t made = work.scanlineCount; made < c; ++made) {
        r3xFree(lists[made].pairs);
      }
      r3xFree(lists);
      return false;
    }
    lists[c].capacity = kRunsPerColumn;
  }
  std::copy(work.scanlines, work.scanlines + work.scanlineCount, lists);
  r3xFree(work.scanlines);
  work.scanlines = lists;
  work.scanlineCount = width;
  return true;
}

// Records row in the columns x .. x + count - 1 (within the lists); Levels 0 writes nothing into
// the image, 3 the light level, 4 the fog and light levels.
template <int Levels>
void RecordRuns(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  R3xSpanState& span = context->span;
  const std::int32_t row = span.currentRow;
  const std::int32_t end =
      std::min<std::int64_t>(std::int64_t{x} + count, context->work.scanlineCount);
  R3xShadeWords words{};
  if constexpr (Levels != 0) {
    words = _r3xShadeWordsAt(span, x);
  }
  for (std::int32_t c = std::max(x, 0); c < end; ++c) {
    R3xScanlineList& list = span.columnRuns[c];
    if (list.stamp != row) {
      if (list.count >= list.capacity && !GrowRuns(list)) {
        return;
      }
      list.pairs[list.cursor].end = list.stamp;
      ++list.cursor;
      ++list.count;
      list.pairs[list.cursor].start = row;
    }
    list.stamp = row + 1;
    if constexpr (Levels != 0) {
      const std::uint32_t light = _r3xLightRowOffset(words.light) >> 8;
      std::uint32_t levels = light;
      if constexpr (Levels == 4) {
        levels |= _r3xFogBlockOffset(words.fog) >> 8;
      }
      span.destination[c] = static_cast<std::uint8_t>(levels);
      _r3xStepShadeWords<Levels>(words);
    }
  }
}

}  // namespace

void _r3xSpanRecordColumnRuns(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  RecordRuns<0>(context, x, count);
}

void _r3xSpanRecordColumnRunsMode3(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  RecordRuns<3>(context, x, count);
}

void _r3xSpanRecordColumnRunsMode4(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  RecordRuns<4>(context, x, count);
}

std::int32_t _r3xResetColumnRuns(R3xRenderContext* context) {
  R3xRenderWorkArrays& work = context->work;
  const auto width = static_cast<std::uint32_t>(std::max(context->raster.width, 0));
  if (width > work.scanlineCount && !GrowColumnLists(work, width)) {
    return R3X_ERR_FAILED;
  }
  for (std::uint32_t c = 0; c < width; ++c) {
    R3xScanlineList& list = work.scanlines[c];
    list.count = 1;
    list.cursor = 0;
    list.stamp = kNoRow;
  }
  context->span.columnRuns = work.scanlines;
  return R3X_DONE;
}

void _r3xDrawDepthColumns(R3xRenderContext* context, R3xSpanRoutine columnRoutine) {
  R3xSpanState& span = context->span;
  const R3xDepthLines& depth = span.depthLines;
  span.lineSegments = context->work.edges + 1;
  span.columnPitch = context->raster.rowLength;
  const std::int32_t lists =
      std::min<std::int64_t>(context->raster.width, context->work.scanlineCount);
  for (std::int32_t c = depth.firstColumn; c <= depth.lastColumn; ++c) {
    if (c >= 0 && c < lists) {
      span.destination = context->raster.image + c;
      R3xScanlineList& list = span.columnRuns[c];
      list.pairs[list.cursor].end = list.stamp;
      for (std::uint32_t r = 1; r < list.count; ++r) {
        const R3xScanPair& run = list.pairs[r];
        columnRoutine(context, run.start, run.end - run.start);
      }
    }
    _r3xAdvanceDepthLines(context);
  }
}
