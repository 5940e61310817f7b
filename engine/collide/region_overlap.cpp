#include "engine/collide/candidate_list.h"
#include "engine/collide/contact_list.h"
#include "engine/collide/object_tests.h"
#include "engine/collide/sphere_list_overlap.h"
#include "engine/collide/sphere_overlap.h"
#include "engine/collide/sweep_drivers.h"
#include "engine/collide/sweep_query.h"
#include "engine/collide/sweep_report.h"
#include "engine/collide/sweep_status.h"
#include "engine/core/obstacle.h"
#include "engine/core/region.h"

namespace {

// Whether the sphere (or list) at rest overlaps the obstacle: 1, 0, or R3X_SWEEP_FAILED for a
// kind that is not tested.
std::int32_t overlaps(const R3xSweepQuery* query, const R3xObstacle* obstacle) {
  const void* g = obstacle->geometry;
  const R3xSphereList* list = query->sphereList;
  const float* c = query->segment.start;
  const float r = query->segment.radius;
  switch (obstacle->kind) {
    case R3X_OBSTACLE_XY_VERTEX:
      return list != nullptr ? _r3xSphereListHitsPoint2D(list, static_cast<const float*>(g))
                             : _r3xCircleHitsPoint2D(c, r, static_cast<const float*>(g));
    case R3X_OBSTACLE_XYZ_VERTEX:
      return list != nullptr ? _r3xSphereListHitsPoint(list, 0.0f, static_cast<const float*>(g))
                             : _r3xSphereHitsPoint(c, r, static_cast<const float*>(g));
    case R3X_OBSTACLE_XY_LINE:
      return list != nullptr ? _r3xSphereListHitsLine2D(list, static_cast<const R3xXYLine*>(g))
                             : _r3xCircleHitsLine2D(c, r, static_cast<const R3xXYLine*>(g));
    case R3X_OBSTACLE_XY_EDGE:
      return list != nullptr ? _r3xSphereListHitsEdge2D(list, static_cast<const R3xXYLine*>(g))
                             : _r3xCircleHitsEdge2D(c, r, static_cast<const R3xXYLine*>(g));
    case R3X_OBSTACLE_XYZ_EDGE:
      return list != nullptr ? _r3xSphereListHitsEdge(list, static_cast<const R3xXYZEdge*>(g))
                             : _r3xSphereHitsEdge(c, r, static_cast<const R3xXYZEdge*>(g));
    case R3X_OBSTACLE_PLANE:
      return list != nullptr ? _r3xSphereListHitsPlane(list, static_cast<const R3xPlane*>(g))
                             : _r3xSphereHitsPlane(c, r, static_cast<const R3xPlane*>(g));
    case R3X_OBSTACLE_EDGEPOLYGON:
      return list != nullptr
                 ? _r3xSphereListHitsEdgePolygon(list, static_cast<const R3xEdgePolygon*>(g))
                 : _r3xSphereHitsEdgePolygon(c, r, static_cast<const R3xEdgePolygon*>(g));
    default:
      return R3X_SWEEP_FAILED;
  }
}

std::int32_t overlapObstacles(R3xSweepQuery* query, R3xRegion* region) {
  const R3xObstacleList* list = _r3xRegionObstacles(region);
  if (list == nullptr) {
    return R3X_DONE;
  }
  const std::int32_t index = region->header.slot;
  const std::uint32_t cutting = _r3xCuttingCount(list);
  for (std::uint32_t i = 0; i < list->obstacleCount; ++i) {
    R3xObstacle* obstacle = &list->obstacles[i];
    if (((obstacle->flags & R3X_OBSTACLE_FLOOR) != 0 && query->testFlagged == 0) ||
        obstacle->kind == 1) {
      continue;
    }
    const std::int32_t overlap = overlaps(query, obstacle);
    if (overlap == R3X_SWEEP_FAILED) {
      return R3X_SWEEP_FAILED;
    }
    if (overlap == 0) {
      continue;
    }
    const std::int32_t passable = _r3xObstacleLeadsOut(query, obstacle, index);
    if (passable != 0 && i < cutting &&
        _r3xAddCandidate(query, obstacle->neighbour) == R3X_SWEEP_FAILED) {
      return R3X_SWEEP_FAILED;
    }
    if (_r3xAddObstacleContact(query, R3X_CONTACT_TOUCH, region, obstacle, obstacle->kind,
                               obstacle->geometry, passable, 0.0f, 0) != R3X_DONE) {
      return R3X_SWEEP_FAILED;
    }
  }
  return R3X_DONE;
}

std::int32_t overlapRegions(R3xSweepQuery* query) {
  if (_r3xAddCandidate(query, query->placement->region) == R3X_SWEEP_FAILED) {
    return R3X_SWEEP_FAILED;
  }
  while (R3xSweepCandidate* entry = _r3xNextUnvisitedCandidate(query)) {
    R3xRegion* region = r3xGetRegion(query->world, entry->region);
    if (region == nullptr) {
      return R3X_SWEEP_FAILED;
    }
    // Candidates are only appended here: the entry stays where it is.
    std::int32_t result = overlapObstacles(query, region);
    if (result == R3X_DONE) {
      result = _r3xOverlapSphereObjects(query, region);
    }
    entry->visited = 1;
    if (result != R3X_DONE) {
      return result;
    }
  }
  // All at time 0, in the order found; nothing is written without a stop.
  R3xContactList* list = query->contacts;
  for (std::uint32_t i = 0; i < list->count; ++i) {
    R3xContact* contact = &list->contacts[i];
    const std::int32_t go = query->sphereList != nullptr
                                ? _r3xReportSweepListContact(query, contact)
                                : _r3xReportSweepContact(query, contact);
    if (go == R3X_SWEEP_STOPPED) {
      break;
    }
  }
  return R3X_DONE;
}

}  // namespace

std::int32_t _r3xOverlapSphere(R3xSweepQuery* query) { return overlapRegions(query); }

std::int32_t _r3xOverlapSphereList(R3xSweepQuery* query) { return overlapRegions(query); }
