#include <algorithm>
#include <bit>
#include <cstdint>

#include "engine/raster/depth_sorted_runs_internal.h"
#include "engine/raster/raster_numeric_internal.h"

namespace {

// Depth lines closer to parallel than this (the float 0x33D6BF95) never cross within a run.
constexpr float kParallel = 1e-7f;

// The run's far end, where its depth is stored.
float FarEnd(const R3xCoveredRun& run) {
  return static_cast<float>(run.depthSlope > 0.0f ? run.start : run.end);
}

void MoveStart(R3xCoveredRun& run, std::int32_t x) {
  if (run.depthSlope > 0.0f) {
    run.depth += run.depthSlope * static_cast<float>(x - run.start);
  }
  run.start = x;
}

void MoveEnd(R3xCoveredRun& run, std::int32_t x) {
  if (run.depthSlope < 0.0f) {
    run.depth += run.depthSlope * static_cast<float>(x - run.end);
  }
  run.end = x;
}

R3xCoveredRun FacePiece(std::int32_t u, std::int32_t w, R3xRowDepth depth) {
  const float far = depth.a > 0.0f ? static_cast<float>(u) : static_cast<float>(w);
  return {u, w, depth.a * far + depth.c, depth.a};
}

// The face's nearest depth over [x0, x1).
float Nearest(std::int32_t x0, std::int32_t x1, R3xRowDepth depth) {
  const bool rising = std::bit_cast<std::uint32_t>(depth.a) <= 0x80000000u;
  return depth.a * static_cast<float>(rising ? x1 : x0) + depth.c;
}

}  // namespace

R3xRunWin _r3xFaceWinsOnRun(const R3xCoveredRun& run, R3xRowDepth depth, float nearest) {
  const R3xRunWin none{run.start, run.end};
  if (run.depth >= nearest) {
    return none;
  }
  const float k = run.depthSlope;
  const float xr = FarEnd(run);
  const float g = k - depth.a;
  if (g > kParallel || g < -kParallel) {
    const float crossing = (xr * k - run.depth + depth.c) / g;
    if (g > 0.0f) {
      const std::int32_t t1 = std::min(r3xFloatToInt(crossing), run.end);
      return run.start < t1 ? R3xRunWin{t1, run.end} : none;
    }
    const std::int32_t t = _r3xCeilRow(crossing);
    if (t <= run.start) {
      return {run.end, run.end};
    }
    return t < run.end ? R3xRunWin{run.start, t} : none;
  }
  return depth.a * xr + depth.c > run.depth ? R3xRunWin{run.end, run.end} : none;
}

std::int32_t _r3xInsertDepthSortedSpan(R3xRenderContext* context, const R3xRowRuns& row,
                                       std::int32_t x0, std::int32_t x1, R3xRowDepth depth,
                                       R3xSpanRoutine routine, std::uint32_t* balance) {
  auto draw = [&](std::int32_t u, std::int32_t w) {
    routine(context, u, w - u);
    *balance += static_cast<std::uint32_t>(w - u);
  };
  auto hide = [&](std::int32_t pixels) { *balance -= static_cast<std::uint32_t>(pixels); };
  // The record that holds the face's next piece (a run the face hid whole), or none.
  std::int32_t previous = -1;
  std::uint32_t i = 0;
  if (*row.count != 0 && row.list->records[*row.count - 1].end > x0) {
    while (x0 < x1 && i < *row.count) {
      R3xCoveredRun run = row.list->records[i];
      if (run.end <= x0) {
        ++i;
        continue;
      }
      const float nearest = Nearest(x0, x1, depth);
      const R3xRunWin win =
          run.start >= x1 ? R3xRunWin{run.start, run.end} : _r3xFaceWinsOnRun(run, depth, nearest);
      const bool whole = win.winEnd == run.end && run.start < run.end;
      if (whole && run.start >= x0 && run.end <= x1) {
        hide(run.end - run.start);
        if (previous < 0) {
          previous = static_cast<std::int32_t>(i++);
        } else {
          _r3xRemoveRun(row, i);
        }
        continue;
      }
      bool consumed = false;
      if (win.winEnd > x0) {
        if (run.start < x0) {
          // Split at x0: the left piece keeps [start, x0), a copy continues the run.
          if (_r3xRoomForRun(row) != 0) {
            return R3X_RUNS_CANNOT_GROW;
          }
          R3xCoveredRun copy = run;
          MoveStart(copy, x0);
          MoveEnd(row.list->records[i], x0);
          _r3xInsertRun(row, i + 1, copy);
          ++i;
          run = copy;
          // No hidden record can stand before a run that begins left of x0.
          if (run.end <= x1 && win.winEnd >= run.end) {
            hide(run.end - x0);
            consumed = true;
            previous = static_cast<std::int32_t>(i);
          }
        }
        const std::int32_t w = std::min(win.winEnd, x1);
        draw(x0, w);
        if (previous >= 0) {
          row.list->records[previous] = FacePiece(x0, w, depth);
          previous = -1;
          if (consumed) {
            ++i;
          }
        } else {
          if (_r3xInsertRun(row, i, FacePiece(x0, w, depth)) != 0) {
            return R3X_RUNS_CANNOT_GROW;
          }
          ++i;
        }
        if (!consumed && run.start < w) {
          hide(w - std::max(run.start, x0));
          MoveStart(row.list->records[i], w);
          run = row.list->records[i];
        }
        if (consumed) {
          x0 = w;
          continue;
        }
      }
      // The face wins at the run's end when x0 stops short of it.
      x0 = std::max(x0, win.winStart);
      if (x0 < x1 && x0 < run.end) {
        R3xCoveredRun& current = row.list->records[i];
        const std::int32_t end = current.end;
        hide(std::min(end, x1) - x0);
        if (end > x1) {
          R3xCoveredRun rest = current;
          MoveStart(rest, x1);
          MoveEnd(current, x0);
          if (_r3xRoomForRun(row) != 0 ||
              _r3xInsertRun(row, i + 1, FacePiece(x0, x1, depth)) != 0 ||
              _r3xInsertRun(row, i + 2, rest) != 0) {
            return R3X_RUNS_CANNOT_GROW;
          }
          draw(x0, x1);
          return 0;
        }
        MoveEnd(current, x0);
      }
      ++i;
    }
  }
  if (x0 < x1) {
    draw(x0, x1);
    if (previous >= 0) {
      row.list->records[previous] = FacePiece(x0, x1, depth);
    } else {
      // Every run ends at or before x0 now.
      if (_r3xInsertRun(row, *row.count, FacePiece(x0, x1, depth)) != 0) {
        return R3X_RUNS_CANNOT_GROW;
      }
    }
  }
  return 0;
}
