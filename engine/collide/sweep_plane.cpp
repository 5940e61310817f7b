#include "engine/collide/sweep_plane.h"

#include "engine/collide/collision_math.h"
#include "engine/collide/sweep_result.h"
#include "engine/collide/sweep_segment.h"
#include "engine/collide/test_options.h"
#include "engine/core/obstacle.h"

void _r3xClearSweepResult(R3xSweepResult* result) {
  result->startsBehind = 0;
  result->touch = 0;
  result->cross = 0;
  result->leave = 0;
}

void _r3xBeginPlaneSweep(float* ds, float* de, float radius, float distance, std::uint32_t options,
                         R3xSweepResult* result) {
  _r3xClearSweepResult(result);
  if ((options & R3X_TEST_LEAVE) != 0 && -radius <= *ds && *de <= -radius && *de != *ds) {
    result->leave = 1;
    if ((options & R3X_TEST_LEAVE_TIME) != 0) {
      result->leaveTime = distance * _r3xRatio(radius + *ds, *ds - *de);
    }
  }
  // -0 is no start behind.
  if (*ds < 0.0f) {
    *ds = -*ds;
    *de = -*de;
    result->startsBehind = 1;
  } else if (*ds == 0.0f && *de < 0.0f) {
    *de = -*de;
  }
}

namespace {

void sweepAcross(float ds, float de, const R3xSweepSegment* segment, std::uint32_t options,
                 R3xSweepResult* result) {
  const float r = segment->radius;
  const float d = segment->distance;
  _r3xBeginPlaneSweep(&ds, &de, r, d, options, result);
  // Only an end within the radius on the start's side, and only approaching.
  if (!(de < r && de < ds)) {
    return;
  }
  if ((options & R3X_TEST_TOUCH) != 0) {
    result->touch = 1;
    result->touchTime = ds > r ? d * _r3xRatio(ds - r, ds - de) : 0.0f;
  }
  if ((options & R3X_TEST_CROSS) != 0 && de <= 0.0f) {
    result->cross = 1;
    result->crossTime = d * _r3xRatio(ds, ds - de);
  }
}

}  // namespace

void _r3xSweepCircleLine2D(const R3xSweepSegment* segment, const R3xXYLine* line,
                           std::uint32_t options, R3xSweepResult* result) {
  // Through one point there is no line: nothing to touch, cross or leave.
  if (!(line->length > 0.0f)) {
    _r3xClearSweepResult(result);
    return;
  }
  const float* s = segment->start;
  const float* e = segment->end;
  sweepAcross(line->nx * s[0] + line->ny * s[1] + line->offset,
              line->nx * e[0] + line->ny * e[1] + line->offset, segment, options, result);
}

void _r3xSweepSpherePlane(const R3xSweepSegment* segment, const R3xPlane* plane,
                          std::uint32_t options, R3xSweepResult* result) {
  const float* s = segment->start;
  const float* e = segment->end;
  sweepAcross(plane->a * s[0] + plane->b * s[1] + plane->c * s[2] + plane->d,
              plane->a * e[0] + plane->b * e[1] + plane->c * e[2] + plane->d, segment, options,
              result);
}
