#include "engine/collide/collision_math.h"
#include "engine/collide/sweep_edge.h"
#include "engine/collide/sweep_plane.h"
#include "engine/collide/sweep_point.h"
#include "engine/collide/sweep_result.h"
#include "engine/collide/sweep_segment.h"
#include "engine/collide/test_options.h"
#include "engine/core/obstacle.h"

namespace {

void touchVertex(const R3xSweepSegment* segment, const float* vertex, std::uint32_t options,
                 R3xSweepResult* result) {
  float time = 0.0f;
  if (_r3xSweepCirclePoint2D(segment, vertex, options & ~R3X_TEST_BOX, &time) != 0) {
    result->touch = 1;
    result->touchTime = time;
    result->featureKind = R3X_OBSTACLE_XY_VERTEX;
    result->feature = vertex;
  }
}

// Along the edge from its first vertex, in the direction (-ny, nx).
float alongEdge(const R3xXYLine* edge, const float* p) {
  return -edge->ny * (p[0] - edge->first[0]) + edge->nx * (p[1] - edge->first[1]);
}

}  // namespace

void _r3xSweepCircleEdge2D(const R3xSweepSegment* segment, const R3xXYLine* edge,
                           std::uint32_t options, R3xSweepResult* result) {
  result->featureKind = R3X_OBSTACLE_XY_EDGE;
  result->feature = edge;
  // An edge of length 0 stops nothing.
  if (!(edge->length > 0.0f)) {
    _r3xClearSweepResult(result);
    return;
  }
  const float* s = segment->start;
  const float* e = segment->end;
  const float r = segment->radius;
  const float d = segment->distance;
  float ds = edge->nx * s[0] + edge->ny * s[1] + edge->offset;
  float de = edge->nx * e[0] + edge->ny * e[1] + edge->offset;
  _r3xBeginPlaneSweep(&ds, &de, r, d, options, result);
  if (ds >= r && de >= r) {
    return;
  }
  const float length = edge->length;
  const float as = alongEdge(edge, s);
  const float ae = alongEdge(edge, e);
  if ((as <= -r && ae <= -r) || (as >= length + r && ae >= length + r)) {
    return;
  }
  if (de != ds) {
    if ((options & R3X_TEST_CROSS) != 0 && de <= 0.0f) {
      const float t = _r3xRatio(ds, ds - de);
      const float a = as + (ae - as) * t;
      if (0.0f <= a && a <= length) {
        result->cross = 1;
        result->crossTime = d * t;
      }
    }
    if ((options & R3X_TEST_TOUCH) == 0) {
      return;
    }
    // Before the touch the sphere is clear of the line; already within the radius it touches at
    // once, unless it lies beyond an end.
    const float t = ds >= r ? _r3xRatio(ds - r, ds - de) : 0.0f;
    const float a = ds >= r ? as + (ae - as) * t : as;
    if (a < 0.0f) {
      touchVertex(segment, edge->first, options, result);
    } else if (a > length) {
      touchVertex(segment, edge->second, options, result);
    } else if (ds >= r || de < ds) {
      result->touch = 1;
      result->touchTime = t < 0.0f ? 0.0f : d * t;
    }
    return;
  }
  // Sliding parallel to the line, within the radius: only an end vertex ahead can be reached.
  if ((options & R3X_TEST_TOUCH) == 0) {
    return;
  }
  const float* vertex = nullptr;
  float u = 0.0f;
  if (as > length && ae < as) {
    vertex = edge->second;
    u = as - length;
  } else if (as < 0.0f && ae > as) {
    vertex = edge->first;
    u = -as;
  } else {
    return;
  }
  float time = 0.0f;
  if (_r3xApproachTime(u, r * r - ds * ds, r, d, (options & R3X_SWEEP_EXACT) != 0, false, &time) !=
      0) {
    result->touch = 1;
    result->touchTime = time;
    result->featureKind = R3X_OBSTACLE_XY_VERTEX;
    result->feature = vertex;
  }
}
