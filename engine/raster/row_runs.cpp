#include <cstdint>
#include <cstring>

#include "engine/core/render_work_arrays_internal.h"
#include "engine/raster/row_runs_internal.h"

namespace {

void Draw(R3xRenderContext* context, R3xSpanRoutine routine, std::int32_t x0, std::int32_t x1,
          std::uint32_t* balance) {
  routine(context, x0, x1 - x0);
  *balance += static_cast<std::uint32_t>(x1 - x0);
}

R3xCoveredRun OpaqueRun(std::int32_t x0, std::int32_t x1) {
  return {x0, x1, R3X_RUN_DEPTH_OPAQUE, 0.0f};
}

}  // namespace

std::int32_t _r3xKeyedStretch(R3xRenderContext* context, const R3xRowRuns& row, std::int32_t x0,
                              std::int32_t x1, R3xKeyedSpanRoutine routine, std::int32_t key,
                              std::int32_t startsInside, std::int32_t* endsInside,
                              std::uint32_t* at, std::uint32_t* balance) {
  R3xCoveredRun* records = row.list->records;
  R3xCoveredRun* cursor = records + *at;
  R3xCoveredRun* last = *row.count == 0 ? records : records + (*row.count - 1);
  *endsInside = 0;
  const std::int32_t result = routine(context, x0, x1 - x0, &cursor, &last, row.count, balance, key,
                                      startsInside, endsInside, row.list);
  *at = static_cast<std::uint32_t>(cursor - row.list->records);
  return result;
}

std::int32_t _r3xRoomForRun(const R3xRowRuns& row) {
  if (*row.count < row.list->capacity) {
    return 0;
  }
  return _r3xGrowList16(row.list) == R3X_DONE ? 0 : R3X_RUNS_CANNOT_GROW;
}

std::int32_t _r3xInsertRun(const R3xRowRuns& row, std::uint32_t at, const R3xCoveredRun& run) {
  if (_r3xRoomForRun(row) != 0) {
    return R3X_RUNS_CANNOT_GROW;
  }
  R3xCoveredRun* records = row.list->records;
  std::memmove(records + at + 1, records + at, (*row.count - at) * sizeof(R3xCoveredRun));
  records[at] = run;
  ++*row.count;
  return 0;
}

void _r3xRemoveRun(const R3xRowRuns& row, std::uint32_t at) {
  R3xCoveredRun* records = row.list->records;
  std::memmove(records + at, records + at + 1, (*row.count - at - 1) * sizeof(R3xCoveredRun));
  --*row.count;
}

std::int32_t _r3xInsertOpaqueSpan(R3xRenderContext* context, const R3xRowRuns& row, std::int32_t x0,
                                  std::int32_t x1, R3xSpanRoutine routine, std::uint32_t* balance) {
  if (*row.count == 0) {
    if (_r3xRoomForRun(row) != 0) {
      return R3X_RUNS_CANNOT_GROW;
    }
    Draw(context, routine, x0, x1, balance);
    row.list->records[0] = OpaqueRun(x0, x1);
    *row.count = 1;
    return 0;
  }
  R3xCoveredRun& last = row.list->records[*row.count - 1];
  if (last.end < x1) {
    if (x0 > last.end) {
      if (_r3xRoomForRun(row) != 0) {
        return R3X_RUNS_CANNOT_GROW;
      }
      Draw(context, routine, x0, x1, balance);
      row.list->records[(*row.count)++] = OpaqueRun(x0, x1);
      return 0;
    }
    Draw(context, routine, last.end, x1, balance);
    last.end = x1;
    x1 = last.start;
  }
  std::uint32_t i = 0;
  std::int32_t previous = -1;
  while (x0 < x1 && i < *row.count) {
    R3xCoveredRun* records = row.list->records;
    const std::int32_t start = records[i].start;
    const std::int32_t end = records[i].end;
    if (x0 < start && x1 < start) {
      if (previous < 0) {
        if (_r3xInsertRun(row, i, OpaqueRun(x0, x1)) != 0) {
          return R3X_RUNS_CANNOT_GROW;
        }
      } else {
        records[previous].end = x1;
      }
      Draw(context, routine, x0, x1, balance);
      return 0;
    }
    if (x0 < start) {
      Draw(context, routine, x0, start, balance);
      if (previous < 0) {
        records[i].start = x0;
        previous = static_cast<std::int32_t>(i++);
      } else {
        records[previous].end = end;
        _r3xRemoveRun(row, i);
      }
      x0 = end;
    } else {
      if (x0 <= end) {
        x0 = end;
        previous = static_cast<std::int32_t>(i);
      }
      ++i;
    }
  }
  return 0;
}

std::int32_t _r3xInsertKeyedSpan(R3xRenderContext* context, const R3xRowRuns& row, std::int32_t x0,
                                 std::int32_t x1, R3xKeyedSpanRoutine routine, std::int32_t key,
                                 std::uint32_t* balance) {
  std::int32_t endsInside = 0;
  std::uint32_t at = 0;
  if (*row.count == 0) {
    return _r3xKeyedStretch(context, row, x0, x1, routine, key, 0, &endsInside, &at, balance);
  }
  const R3xCoveredRun last = row.list->records[*row.count - 1];
  if (last.end < x1) {
    at = *row.count;
    if (x0 > last.end) {
      return _r3xKeyedStretch(context, row, x0, x1, routine, key, 0, &endsInside, &at, balance);
    }
    const std::int32_t result =
        _r3xKeyedStretch(context, row, last.end, x1, routine, key, 1, &endsInside, &at, balance);
    if (result != 0) {
      return result;
    }
    x1 = last.start;
  }
  std::uint32_t i = 0;
  bool previous = false;
  while (x0 < x1 && i < *row.count) {
    const std::int32_t start = row.list->records[i].start;
    const std::int32_t end = row.list->records[i].end;
    if (x0 < start && x1 < start) {
      at = i;
      return _r3xKeyedStretch(context, row, x0, x1, routine, key, previous ? 1 : 0, &endsInside,
                              &at, balance);
    }
    if (x0 < start) {
      at = i;
      const std::int32_t result = _r3xKeyedStretch(context, row, x0, start, routine, key,
                                                   previous ? 1 : 0, &endsInside, &at, balance);
      if (result != 0) {
        return result;
      }
      // The run met is now at the index after the inserted runs.
      R3xCoveredRun* records = row.list->records;
      x0 = records[at].end;
      if (endsInside == 1 && at > 0) {
        records[at - 1].end = records[at].end;
        _r3xRemoveRun(row, at);
        i = at;
      } else {
        i = at + 1;
      }
      previous = true;
    } else {
      if (x0 <= end) {
        x0 = end;
        previous = true;
      }
      ++i;
    }
  }
  return 0;
}
