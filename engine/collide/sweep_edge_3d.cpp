#include "engine/collide/box_pretest.h"
#include "engine/collide/collision_math.h"
#include "engine/collide/sweep_edge.h"
#include "engine/collide/sweep_point.h"
#include "engine/collide/sweep_result.h"
#include "engine/collide/sweep_segment.h"
#include "engine/collide/test_options.h"
#include "engine/core/math_plane.h"
#include "engine/core/obstacle.h"

namespace {

float dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void cross(const float* a, const float* b, float* out) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

void touchVertex(const R3xSweepSegment* segment, const float* vertex, std::uint32_t options,
                 R3xSweepResult* result) {
  float time = 0.0f;
  if (_r3xSweepSpherePoint(segment, vertex, options & ~R3X_TEST_BOX, &time) != 0) {
    result->touch = 1;
    result->touchTime = time;
    result->featureKind = R3X_OBSTACLE_XYZ_VERTEX;
    result->feature = vertex;
  }
}

void touchParallel(const R3xSweepSegment* segment, const R3xXYZEdge* edge, const float* e,
                   std::uint32_t options, R3xSweepResult* result) {
  const float* first = edge->first;
  const float length = edge->length;
  const float r = segment->radius;
  const float w[3] = {segment->start[0] - first[0], segment->start[1] - first[1],
                      segment->start[2] - first[2]};
  const float as = dot(w, e) / length;
  const float d2 = dot(w, w) - as * as;
  if (!(d2 < r * r)) {
    return;
  }
  const float v[3] = {segment->end[0] - first[0], segment->end[1] - first[1],
                      segment->end[2] - first[2]};
  const float ae = dot(v, e) / length;
  const float* vertex = nullptr;
  float u = 0.0f;
  if (as >= 0.0f && as > length && ae < as) {
    vertex = edge->second;
    u = as - length;
  } else if (as < 0.0f && ae > as) {
    vertex = first;
    u = -as;
  } else {
    return;
  }
  float time = 0.0f;
  if (_r3xApproachTime(u, r * r - d2, r, segment->distance, (options & R3X_SWEEP_EXACT) != 0, false,
                       &time) != 0) {
    result->touch = 1;
    result->touchTime = time;
    result->featureKind = R3X_OBSTACLE_XYZ_VERTEX;
    result->feature = vertex;
  }
}

}  // namespace

void _r3xSweepSphereEdge(const R3xSweepSegment* segment, const R3xXYZEdge* edge,
                         std::uint32_t options, R3xSweepResult* result) {
  result->startsBehind = 0;
  result->touch = 0;
  result->cross = 0;
  result->leave = 0;
  result->featureKind = R3X_OBSTACLE_XYZ_EDGE;
  result->feature = edge;
  const float* first = edge->first;
  const float* second = edge->second;
  const float r = segment->radius;
  if ((options & R3X_TEST_BOX) != 0 &&
      _r3xBoxOverlap3DB(segment, segment->end, first, second, r) == 0) {
    return;
  }
  const float length = edge->length;
  // Without a length there is no direction to divide by, and nothing to touch.
  if (!(length > 0.0f)) {
    return;
  }
  const float e[3] = {second[0] - first[0], second[1] - first[1], second[2] - first[2]};
  float n[3];
  cross(e, segment->direction, n);
  const float n2 = dot(n, n);
  if (n2 == 0.0f) {
    touchParallel(segment, edge, e, options, result);
    return;
  }
  const float nl = _r3xCollideSqrt(n2);
  const float m[3] = {n[0] / nl, n[1] / nl, n[2] / nl};
  const float w[3] = {segment->start[0] - first[0], segment->start[1] - first[1],
                      segment->start[2] - first[2]};
  const float mw = dot(w, m);
  const float dl = mw < 0.0f ? -mw : mw;
  if (!(dl < r)) {
    return;
  }
  // The plane that holds the edge and m.
  float q[3];
  cross(e, m, q);
  for (float& component : q) {
    component /= length;
  }
  const float v[3] = {segment->end[0] - first[0], segment->end[1] - first[1],
                      segment->end[2] - first[2]};
  float ds = dot(w, q);
  float de = dot(v, q);
  if (ds < 0.0f) {
    ds = -ds;
    de = -de;
  } else if (ds == 0.0f && de < 0.0f) {
    de = -de;
  }
  if (!(de < ds)) {
    // Moving away from the edge's line: only an end vertex beside the start can still be met.
    const float a = dot(w, e) / length;
    if (a < 0.0f) {
      touchVertex(segment, first, options, result);
    } else if (a > length) {
      touchVertex(segment, second, options, result);
    }
    return;
  }
  const float tc = _r3xRatio(ds, ds - de);
  // A motion that hardly approaches has no time.
  if (tc >= R3X_NO_TIME) {
    return;
  }
  const float h = r * length / nl;
  float t = segment->distance * tc - _r3xCollideSqrt(1.0f - dl * dl / (r * r)) * h;
  if (t < 0.0f) {
    t = 0.0f;
  }
  if (!(t < segment->distance)) {
    return;
  }
  const float* dir = segment->direction;
  const float at[3] = {w[0] + dir[0] * t, w[1] + dir[1] * t, w[2] + dir[2] * t};
  const float a = dot(at, e) / length;
  if (a > length) {
    touchVertex(segment, second, options, result);
  } else if (a < 0.0f) {
    touchVertex(segment, first, options, result);
  } else {
    result->touch = 1;
    result->touchTime = t;
  }
}
