#include "engine/collide/sphere_list_sweep.h"

#include "engine/collide/collision_math.h"
#include "engine/collide/sphere_list_member.h"
#include "engine/collide/sweep_edge.h"
#include "engine/collide/sweep_edge_polygon.h"
#include "engine/collide/sweep_plane.h"
#include "engine/collide/sweep_point.h"
#include "engine/collide/sweep_query.h"
#include "engine/collide/sweep_result.h"
#include "engine/collide/test_options.h"
#include "engine/core/sphere_list.h"

namespace {

// Without either the members of a line, plane, edge or polygon test have nothing to add.
constexpr std::uint32_t kMemberOptions = R3X_TEST_TOUCH | R3X_TEST_LEAVE;

std::uint32_t memberCount(const R3xSweepQuery* query) {
  return query->sphereList->definition->sphereCount;
}

using PointTest = std::int32_t (*)(const R3xSweepSegment*, const float*, std::uint32_t, float*);

std::int32_t sweepMembersToPoint(R3xSweepQuery* query, const float* point, std::uint32_t options,
                                 PointTest test, float* time) {
  std::int32_t hit = 0;
  float best = R3X_NO_TIME;
  for (std::uint32_t i = 0; i < memberCount(query); ++i) {
    R3xSweepSegment member;
    _r3xSphereListMemberPosition(query, i, &member);
    float t = 0.0f;
    if (test(&member, point, options, &t) != 0 && t < best) {
      hit = 1;
      best = t;
      query->memberIndex = static_cast<std::int32_t>(i);
    }
  }
  if (hit != 0) {
    *time = best;
  }
  return hit;
}

template <typename Geometry>
using RecordTest = void (*)(const R3xSweepSegment*, const Geometry*, std::uint32_t,
                            R3xSweepResult*);

// The members after a bounding touch. With withLeave the list leaves only when every member does.
template <typename Geometry>
void sweepMembers(R3xSweepQuery* query, const Geometry* geometry, std::uint32_t options,
                  bool withLeave, RecordTest<Geometry> test, R3xSweepResult* result) {
  result->touch = 0;
  float best = R3X_NO_TIME;
  float latestLeave = -R3X_NO_TIME;
  if (withLeave) {
    result->leave = 1;
  }
  for (std::uint32_t i = 0; i < memberCount(query); ++i) {
    R3xSweepSegment member;
    _r3xSphereListMemberPosition(query, i, &member);
    R3xSweepResult found{};
    found.leaveTime = -R3X_NO_TIME;
    test(&member, geometry, options, &found);
    if (found.touch != 0 && found.touchTime < best) {
      result->touch = 1;
      best = found.touchTime;
      result->featureKind = found.featureKind;
      result->feature = found.feature;
      query->memberIndex = static_cast<std::int32_t>(i);
    }
    if (!withLeave) {
      continue;
    }
    if (found.leave == 0) {
      result->leave = 0;
    } else if (found.leaveTime > latestLeave) {
      latestLeave = found.leaveTime;
    }
  }
  if (result->touch != 0) {
    result->touchTime = best;
  }
  if (result->leave != 0) {
    result->leaveTime = latestLeave;
  }
}

// Lines, planes, XY edges and polygons: the bounding sphere with the fixed options gives the
// starts-behind and the crossing; the members are tested without crossing.
template <typename Geometry>
void sweepListAcross(R3xSweepQuery* query, const Geometry* geometry, std::uint32_t options,
                     RecordTest<Geometry> test, R3xSweepResult* result) {
  test(&query->segment, geometry, R3X_TEST_LIST_BOUNDS, result);
  if (result->touch == 0 || (options & kMemberOptions) == 0) {
    return;
  }
  sweepMembers(query, geometry, options & ~R3X_TEST_CROSS, true, test, result);
}

}  // namespace

std::int32_t _r3xSweepSphereListPoint2D(R3xSweepQuery* query, const float* point,
                                        std::uint32_t options, float* time) {
  float boundingTime = 0.0f;
  if (_r3xSweepCirclePoint2D(&query->segment, point, options, &boundingTime) == 0) {
    return 0;
  }
  return sweepMembersToPoint(query, point, options, _r3xSweepCirclePoint2D, time);
}

std::int32_t _r3xSweepSphereListPoint(R3xSweepQuery* query, const float* point,
                                      std::uint32_t options, float* time) {
  if (_r3xSweepTouchesPoint(&query->segment, point) == 0) {
    return 0;
  }
  return sweepMembersToPoint(query, point, options, _r3xSweepSpherePoint, time);
}

void _r3xSweepSphereListLine2D(R3xSweepQuery* query, const R3xXYLine* line, std::uint32_t options,
                               R3xSweepResult* result) {
  sweepListAcross(query, line, options, _r3xSweepCircleLine2D, result);
}

void _r3xSweepSphereListPlane(R3xSweepQuery* query, const R3xPlane* plane, std::uint32_t options,
                              R3xSweepResult* result) {
  sweepListAcross(query, plane, options, _r3xSweepSpherePlane, result);
}

void _r3xSweepSphereListEdge2D(R3xSweepQuery* query, const R3xXYLine* edge, std::uint32_t options,
                               R3xSweepResult* result) {
  sweepListAcross(query, edge, options, _r3xSweepCircleEdge2D, result);
}

void _r3xSweepSphereListEdgePolygon(R3xSweepQuery* query, const R3xEdgePolygon* polygon,
                                    std::uint32_t options, R3xSweepResult* result) {
  sweepListAcross(query, polygon, options, _r3xSweepSphereEdgePolygon, result);
}

void _r3xSweepSphereListEdge(R3xSweepQuery* query, const R3xXYZEdge* edge, std::uint32_t options,
                             R3xSweepResult* result) {
  _r3xSweepSphereEdge(&query->segment, edge, options, result);
  if (result->touch == 0 || (options & kMemberOptions) == 0) {
    return;
  }
  sweepMembers(query, edge, options, false, _r3xSweepSphereEdge, result);
}
