#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/render_context.h"
#include "engine/core/render_work_arrays_internal.h"
#include "engine/raster/covered_runs_internal.h"

namespace {

constexpr std::uint32_t kRunsPerRow = 31;

// Lists and counts for rows count .. height - 1; nothing changes on failure.
bool GrowRowLists(R3xRenderWorkArrays& work, std::uint32_t height) {
  auto* lists = static_cast<R3xList16*>(r3xMalloc(std::size_t{height} * sizeof(R3xList16)));
  auto* counts =
      static_cast<std::uint32_t*>(r3xMalloc(std::size_t{height} * sizeof(std::uint32_t)));
  bool made = lists != nullptr && counts != nullptr;
  std::uint32_t row = work.spanListCount;
  for (; made && row < height; ++row) {
    lists[row].records =
        static_cast<R3xCoveredRun*>(r3xMalloc(std::size_t{kRunsPerRow} * sizeof(R3xCoveredRun)));
    made = lists[row].records != nullptr;
    lists[row].capacity = kRunsPerRow;
  }
  if (!made) {
    for (std::uint32_t r = work.spanListCount; lists != nullptr && r < row; ++r) {
      r3xFree(lists[r].records);
    }
    r3xFree(lists);
    r3xFree(counts);
    return false;
  }
  std::copy(work.spanLists, work.spanLists + work.spanListCount, lists);
  r3xFree(work.spanLists);
  r3xFree(work.spanWords);
  work.spanLists = lists;
  work.spanWords = counts;
  work.spanListCount = height;
  return true;
}

}  // namespace

std::int32_t _r3xRecordCoveredRun(R3xList16* list, std::int32_t x, std::uint32_t* count,
                                  R3xCoveredRun** cursor, R3xCoveredRun** last) {
  std::size_t at = static_cast<std::size_t>(*cursor - list->records);
  if (*count >= list->capacity) {
    if (_r3xGrowList16(list) != R3X_DONE) {
      return R3X_RUNS_CANNOT_GROW;
    }
  }
  R3xCoveredRun* records = list->records;
  const std::size_t used = *count;
  if (at < used) {
    std::memmove(records + at + 1, records + at, (used - at) * sizeof(R3xCoveredRun));
  }
  ++*count;
  records[at].start = x;
  records[at].depth = R3X_RUN_DEPTH_OPAQUE;
  *cursor = records + at + 1;
  *last = records + used;
  return 0;
}

void _r3xEndCoveredRun(std::int32_t x, R3xCoveredRun** cursor) { (*cursor - 1)->end = x; }

std::int32_t _r3xPrepareRowRuns(R3xRenderContext* context) {
  R3xRenderWorkArrays& work = context->work;
  const auto height = static_cast<std::uint32_t>(std::max(context->raster.height, 0));
  if (height > work.spanListCount && !GrowRowLists(work, height)) {
    return R3X_ERR_FAILED;
  }
  std::fill(work.spanWords, work.spanWords + work.spanListCount, 0u);
  return R3X_DONE;
}
