#include "engine/collide/sweep_edge_polygon.h"

#include "engine/collide/collision_math.h"
#include "engine/collide/point_in_polygon.h"
#include "engine/collide/sweep_edge.h"
#include "engine/collide/sweep_plane.h"
#include "engine/collide/sweep_result.h"
#include "engine/collide/sweep_segment.h"
#include "engine/collide/test_options.h"
#include "engine/core/math_plane.h"
#include "engine/core/obstacle.h"

namespace {

void pointAt(const R3xSweepSegment* segment, float t, float* out) {
  for (int i = 0; i < 3; ++i) {
    out[i] = segment->start[i] + segment->direction[i] * t;
  }
}

// The centre passing through the polygon, edges included.
void crossPolygon(const R3xSweepSegment* segment, const R3xEdgePolygon* polygon, float ds, float de,
                  R3xSweepResult* result) {
  if (!(ds >= de && de <= 0.0f && ds != de)) {
    return;
  }
  const float t = segment->distance * _r3xRatio(ds, ds - de);
  float centre[3];
  pointAt(segment, t, centre);
  if (_r3xPointInEdgePolygon(centre, polygon) >= R3X_POINT_ON_EDGE) {
    result->cross = 1;
    result->crossTime = t;
  }
}

// The earliest touch of the polygon's edges; of equal times the first edge's stays.
void touchEdges(const R3xSweepSegment* segment, const R3xEdgePolygon* polygon,
                std::uint32_t options, R3xSweepResult* result) {
  for (std::int32_t i = 0; i < polygon->edgeCount; ++i) {
    R3xSweepResult edge{};
    _r3xSweepSphereEdge(segment, &polygon->edges[i], options, &edge);
    if (edge.touch != 0 && (result->touch == 0 || edge.touchTime < result->touchTime)) {
      result->touch = 1;
      result->touchTime = edge.touchTime;
      result->featureKind = edge.featureKind;
      result->feature = edge.feature;
    }
  }
}

}  // namespace

void _r3xSweepSphereEdgePolygon(const R3xSweepSegment* segment, const R3xEdgePolygon* polygon,
                                std::uint32_t options, R3xSweepResult* result) {
  result->featureKind = R3X_OBSTACLE_EDGEPOLYGON;
  result->feature = polygon;
  const float* n = polygon->normal;
  const float* s = segment->start;
  const float* e = segment->end;
  const float r = segment->radius;
  const float startDistance = n[0] * s[0] + n[1] * s[1] + n[2] * s[2] + polygon->distance;
  float ds = startDistance;
  float de = n[0] * e[0] + n[1] * e[1] + n[2] * e[2] + polygon->distance;
  _r3xBeginPlaneSweep(&ds, &de, r, segment->distance, options, result);
  if (ds < r) {
    if ((options & R3X_TEST_CROSS) != 0) {
      crossPolygon(segment, polygon, ds, de, result);
    }
    if ((options & R3X_TEST_TOUCH) == 0) {
      return;
    }
    const float projected[3] = {s[0] - n[0] * startDistance, s[1] - n[1] * startDistance,
                                s[2] - n[2] * startDistance};
    if (_r3xPointInEdgePolygon(projected, polygon) == R3X_POINT_INSIDE) {
      if (ds > de) {
        result->touch = 1;
        result->touchTime = 0.0f;
      }
      return;
    }
    touchEdges(segment, polygon, options, result);
    return;
  }
  // From farther away only an end clearly within the radius counts.
  if (!(de < r - R3X_COLLIDE_TOLERANCE)) {
    return;
  }
  if ((options & R3X_TEST_CROSS) != 0) {
    crossPolygon(segment, polygon, ds, de, result);
  }
  if ((options & R3X_TEST_TOUCH) == 0) {
    return;
  }
  const float t = segment->distance * _r3xRatio(ds - r, ds - de);
  float meet[3];
  pointAt(segment, t, meet);
  // Moved by the radius towards the plane.
  const float towards = result->startsBehind != 0 ? r : -r;
  for (int i = 0; i < 3; ++i) {
    meet[i] += n[i] * towards;
  }
  if (_r3xPointInEdgePolygon(meet, polygon) == R3X_POINT_INSIDE) {
    result->touch = 1;
    result->touchTime = t;
    return;
  }
  touchEdges(segment, polygon, options, result);
}
