#include "engine/collide/sweep_point.h"

#include <cmath>

#include "engine/collide/box_pretest.h"
#include "engine/collide/collision_math.h"
#include "engine/collide/sweep_segment.h"
#include "engine/collide/test_options.h"

std::int32_t _r3xApproachTime(float along, float k, float radius, float distance, bool exact,
                              bool raiseEstimate, float* time) {
  if (!exact) {
    float estimate = along - radius;
    if (raiseEstimate && radius > along) {
      estimate = 0.0f;
    }
    if (estimate < distance) {
      *time = estimate;
      return 1;
    }
  }
  if (along * along < k) {
    *time = 0.0f;
    return 1;
  }
  const float t = along - _r3xCollideSqrt(k);
  if (t < distance) {
    *time = t;
    return 1;
  }
  return 0;
}

std::int32_t _r3xSweepCirclePoint2D(const R3xSweepSegment* segment, const float* point,
                                    std::uint32_t options, float* time) {
  const float r = segment->radius;
  if ((options & R3X_TEST_BOX) != 0 &&
      _r3xBoxOverlap2D(point, segment->start, segment->end, r) == 0) {
    return 0;
  }
  const float* dir = segment->direction;
  const float vx = point[0] - segment->start[0];
  const float vy = point[1] - segment->start[1];
  const float lateral = dir[1] * vx - dir[0] * vy;
  if (!(std::fabs(lateral) < r)) {
    return 0;
  }
  const float along = dir[0] * vx + dir[1] * vy;
  if (!(along > R3X_COLLIDE_TOLERANCE)) {
    return 0;
  }
  return _r3xApproachTime(along, r * r - lateral * lateral, r, segment->distance,
                          (options & R3X_SWEEP_EXACT) != 0, false, time);
}

namespace {

struct PointGeometry {
  float along;
  float lateral2;
};

PointGeometry measure(const R3xSweepSegment* segment, const float* point) {
  const float* dir = segment->direction;
  const float v[3] = {point[0] - segment->start[0], point[1] - segment->start[1],
                      point[2] - segment->start[2]};
  const float cx = v[1] * dir[2] - v[2] * dir[1];
  const float cy = v[2] * dir[0] - v[0] * dir[2];
  const float cz = v[0] * dir[1] - v[1] * dir[0];
  return {v[0] * dir[0] + v[1] * dir[1] + v[2] * dir[2], cx * cx + cy * cy + cz * cz};
}

}  // namespace

std::int32_t _r3xSweepSpherePoint(const R3xSweepSegment* segment, const float* point,
                                  std::uint32_t options, float* time) {
  const float r = segment->radius;
  if ((options & R3X_TEST_BOX) != 0 &&
      _r3xBoxOverlap3D(point, segment->start, segment->end, r) == 0) {
    return 0;
  }
  const PointGeometry g = measure(segment, point);
  const float r2 = r * r;
  if (!(g.lateral2 < r2)) {
    return 0;
  }
  if (!(g.along > R3X_COLLIDE_TOLERANCE)) {
    return 0;
  }
  return _r3xApproachTime(g.along, r2 - g.lateral2, r, segment->distance,
                          (options & R3X_SWEEP_EXACT) != 0, true, time);
}

std::int32_t _r3xSweepTouchesPoint(const R3xSweepSegment* segment, const float* point) {
  const float r = segment->radius;
  if (_r3xBoxOverlap3D(point, segment->start, segment->end, r) == 0) {
    return 0;
  }
  const PointGeometry g = measure(segment, point);
  const float r2 = r * r;
  if (!(g.along >= -r && g.lateral2 < r2)) {
    return 0;
  }
  if (g.along < segment->distance) {
    return 1;
  }
  return g.along - _r3xCollideSqrt(r2 - g.lateral2) < segment->distance ? 1 : 0;
}
