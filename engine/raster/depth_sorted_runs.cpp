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

// The older run's depth line moved to its piece [start, end).
R3xCoveredRun OlderPiece(const R3xCoveredRun& older, std::int32_t start, std::int32_t end) {
  R3xCoveredRun piece = older;
  MoveStart(piece, start);
  MoveEnd(piece, end);
  return piece;
}

// The runs [first, end) that a keyed call recorded (or extended) take the face's depth line; the
// older run at index `older` gives way to them, keeping the pixels they leave free.
std::int32_t SettleKeyedRuns(const R3xRowRuns& row, std::uint32_t first, std::uint32_t end,
                             std::int32_t older, R3xRowDepth depth, std::uint32_t* balance) {
  for (std::uint32_t k = first; k < end; ++k) {
    R3xCoveredRun& run = row.list->records[k];
    if (static_cast<std::int32_t>(k) != older) {
      run = FacePiece(run.start, run.end, depth);
    }
  }
  if (older < 0) {
    return 0;
  }
  const R3xCoveredRun run = row.list->records[older];
  _r3xRemoveRun(row, static_cast<std::uint32_t>(older));
  if (static_cast<std::uint32_t>(older) < end) {
    --end;
    first = static_cast<std::uint32_t>(older) < first ? first - 1 : first;
  }
  std::int32_t free = run.start;
  std::uint32_t k = first;
  for (; k < end; ++k) {
    const R3xCoveredRun face = row.list->records[k];
    if (face.end <= run.start || face.start >= run.end) {
      continue;
    }
    if (face.start > free) {
      if (_r3xInsertRun(row, k, OlderPiece(run, free, face.start)) != 0) {
        return R3X_RUNS_CANNOT_GROW;
      }
      ++k;
      ++end;
    }
    const std::int32_t hidden = std::min(face.end, run.end) - std::max(face.start, free);
    *balance -= static_cast<std::uint32_t>(std::max(hidden, 0));
    free = std::max(free, face.end);
  }
  if (free < run.end && _r3xInsertRun(row, end, OlderPiece(run, free, run.end)) != 0) {
    return R3X_RUNS_CANNOT_GROW;
  }
  return 0;
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

std::int32_t _r3xInsertDepthSortedKeyedSpan(R3xRenderContext* context, const R3xRowRuns& row,
                                            std::int32_t x0, std::int32_t x1, R3xRowDepth depth,
                                            R3xKeyedSpanRoutine routine, std::int32_t key,
                                            std::uint32_t* balance) {
  // Whether the last stretch's last texel was drawn, and where that stretch ended: a stretch
  // starting there continues its run.
  std::int32_t endsInside = 0;
  std::int32_t lastEnd = x0;
  // One stretch [u, w) with its runs going in at index `at`, over the older run (or -1).
  auto stretch = [&](std::int32_t u, std::int32_t w, std::uint32_t at, std::int32_t older) {
    if (u >= w) {
      return 0;
    }
    const std::int32_t startsInside = endsInside != 0 && lastEnd == u ? 1 : 0;
    lastEnd = w;
    const std::uint32_t first = at > 0 && startsInside != 0 ? at - 1 : at;
    const std::uint32_t before = *row.count;
    const std::int32_t result =
        _r3xKeyedStretch(context, row, u, w, routine, key, startsInside, &endsInside, &at, balance);
    if (result != 0) {
      return result;
    }
    if (older >= 0 && static_cast<std::uint32_t>(older) >= first) {
      older += static_cast<std::int32_t>(*row.count - before);
    }
    return SettleKeyedRuns(row, first, at, older, depth, balance);
  };
  while (x0 < x1) {
    std::uint32_t i = 0;
    while (i < *row.count && row.list->records[i].end <= x0) {
      ++i;
    }
    if (i == *row.count) {
      break;
    }
    const R3xCoveredRun run = row.list->records[i];
    const R3xRunWin win = run.start >= x1 ? R3xRunWin{run.start, run.end}
                                          : _r3xFaceWinsOnRun(run, depth, Nearest(x0, x1, depth));
    // The gap before the run with its winning start part, then the winning end part.
    const std::int32_t startEnd = std::min(win.winEnd, x1);
    std::int32_t result =
        stretch(x0, startEnd, i, startEnd > run.start ? static_cast<std::int32_t>(i) : -1);
    if (result != 0) {
      return result;
    }
    const std::int32_t endStart = std::max(x0, win.winStart);
    if (endStart < std::min(run.end, x1)) {
      // The older run, whole, after the runs of the gap before it.
      std::uint32_t older = i;
      while (older < *row.count && (row.list->records[older].start != run.start ||
                                    row.list->records[older].end != run.end)) {
        ++older;
      }
      if (older < *row.count) {
        endsInside = 0;
        result =
            stretch(endStart, std::min(run.end, x1), older + 1, static_cast<std::int32_t>(older));
        if (result != 0) {
          return result;
        }
      }
    }
    x0 = std::max(x0, run.end);
  }
  return stretch(x0, x1, *row.count, -1);
}
