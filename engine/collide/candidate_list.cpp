#include "engine/collide/candidate_list.h"

#include "engine/collide/collision_math.h"
#include "engine/collide/sphere_overlap.h"
#include "engine/collide/sweep_query.h"
#include "engine/collide/sweep_status.h"
#include "engine/core/object.h"
#include "engine/core/obstacle.h"
#include "engine/core/region.h"

namespace {

R3xSweepCandidate* begin(R3xSweepQuery* query) { return query->candidates; }

std::uint32_t positionOf(const R3xSweepQuery* query, const R3xSweepCandidate* entry) {
  return static_cast<std::uint32_t>(entry - query->candidates);
}

// Whether the start sphere overlaps a cutting obstacle: 1, 0, or R3X_SWEEP_FAILED for a kind that
// cannot lead anywhere.
std::int32_t startOverlaps(const R3xObstacle* obstacle, const float* centre, float radius) {
  switch (obstacle->kind) {
    case 3:
      return _r3xSphereHitsFacePlane(centre, radius,
                                     static_cast<const R3xRegionFace*>(obstacle->geometry));
    case R3X_OBSTACLE_XY_LINE:
      return _r3xCircleHitsLine2D(centre, radius,
                                  static_cast<const R3xXYLine*>(obstacle->geometry));
    case R3X_OBSTACLE_XY_EDGE:
      return _r3xCircleHitsEdge2D(centre, radius,
                                  static_cast<const R3xXYLine*>(obstacle->geometry));
    case R3X_OBSTACLE_PLANE:
      return _r3xSphereHitsPlane(centre, radius, static_cast<const R3xPlane*>(obstacle->geometry));
    case R3X_OBSTACLE_EDGEPOLYGON:
      return _r3xSphereHitsEdgePolygon(centre, radius,
                                       static_cast<const R3xEdgePolygon*>(obstacle->geometry));
    default:
      return R3X_SWEEP_FAILED;
  }
}

}  // namespace

std::int32_t _r3xAddCandidate(R3xSweepQuery* query, std::int32_t region) {
  if (_r3xFindCandidate(query, region) != nullptr) {
    return R3X_DONE;
  }
  if (query->candidateCount == R3X_SWEEP_CANDIDATES) {
    return R3X_SWEEP_FAILED;
  }
  query->candidates[query->candidateCount++] = {region, 0.0f, R3X_NO_TIME, 1, 0};
  return R3X_DONE;
}

std::int32_t _r3xInsertCandidateByTime(R3xSweepQuery* query, std::int32_t region, float time) {
  if (query->candidateCount == R3X_SWEEP_CANDIDATES) {
    return R3X_SWEEP_FAILED;
  }
  if (time < 0.0f) {
    time = 0.0f;
  }
  std::uint32_t at = query->candidateCount;
  while (at > 0 && query->candidates[at - 1].entryTime > time) {
    query->candidates[at] = query->candidates[at - 1];
    --at;
  }
  query->candidates[at] = {region, time, R3X_NO_TIME, 0, 0};
  ++query->candidateCount;
  if (at < query->scanStart) {
    query->scanStart = at;
  }
  return R3X_DONE;
}

void _r3xResortCandidate(R3xSweepQuery* query, R3xSweepCandidate* entry, float time) {
  R3xSweepCandidate moved = *entry;
  moved.entryTime = time;
  std::uint32_t at = positionOf(query, entry);
  while (at > 0 && query->candidates[at - 1].entryTime > time) {
    query->candidates[at] = query->candidates[at - 1];
    --at;
  }
  query->candidates[at] = moved;
  if (at < query->scanStart) {
    query->scanStart = at;
  }
}

R3xSweepCandidate* _r3xFindCandidate(R3xSweepQuery* query, std::int32_t region) {
  for (std::uint32_t i = 0; i < query->candidateCount; ++i) {
    if (query->candidates[i].region == region) {
      return begin(query) + i;
    }
  }
  return nullptr;
}

R3xSweepCandidate* _r3xNextUnvisitedCandidate(R3xSweepQuery* query) {
  for (std::uint32_t i = query->scanStart; i < query->candidateCount; ++i) {
    if (query->candidates[i].visited == 0) {
      query->scanStart = i + 1;
      return begin(query) + i;
    }
  }
  return nullptr;
}

bool _r3xCandidateTouchesRegion(const R3xSweepQuery* query, const R3xActor* actor) {
  if (actor->regionCount == 0 || query->scanStart == 1) {
    return false;
  }
  for (std::uint32_t i = 0; i < query->candidateCount; ++i) {
    const R3xSweepCandidate& entry = query->candidates[i];
    if (entry.visited == 0) {
      continue;
    }
    if (entry.region == actor->placement.region) {
      return true;
    }
    for (std::uint32_t k = 0; k < actor->regionCount; ++k) {
      if (actor->regions[k] == entry.region) {
        return true;
      }
    }
  }
  return false;
}

const R3xObstacleList* _r3xRegionObstacles(const R3xRegion* region) {
  const R3xObstacleList* list = region->obstacles;
  return list != nullptr && list->type == R3X_TYPE_OBSTACLE_LIST ? list : nullptr;
}

std::uint32_t _r3xCuttingCount(const R3xObstacleList* list) {
  return list->cuttingCount < list->obstacleCount ? list->cuttingCount : list->obstacleCount;
}

std::int32_t _r3xObstacleLeadsOut(const R3xSweepQuery* query, const R3xObstacle* obstacle,
                                  std::int32_t region) {
  return obstacle->neighbour != region && r3xGetRegion(query->world, obstacle->neighbour) != nullptr
             ? 1
             : 0;
}

std::int32_t _r3xGatherTouchedRegions(R3xSweepQuery* query, float radius) {
  if (_r3xAddCandidate(query, query->placement->region) == R3X_SWEEP_FAILED) {
    return R3X_SWEEP_FAILED;
  }
  const float centre[3] = {query->placement->x, query->placement->y, query->placement->z};
  for (std::uint32_t i = 0; i < query->candidateCount; ++i) {
    const std::int32_t index = query->candidates[i].region;
    const R3xRegion* region = r3xGetRegion(query->world, index);
    if (region == nullptr) {
      return R3X_SWEEP_FAILED;
    }
    const R3xObstacleList* list = _r3xRegionObstacles(region);
    if (list == nullptr) {
      continue;
    }
    const std::uint32_t cutting = _r3xCuttingCount(list);
    for (std::uint32_t k = 0; k < cutting; ++k) {
      const R3xObstacle* obstacle = &list->obstacles[k];
      const std::int32_t overlap = startOverlaps(obstacle, centre, radius);
      if (overlap == R3X_SWEEP_FAILED) {
        return R3X_SWEEP_FAILED;
      }
      if (overlap != 0 && _r3xObstacleLeadsOut(query, obstacle, index) != 0 &&
          _r3xAddCandidate(query, obstacle->neighbour) == R3X_SWEEP_FAILED) {
        return R3X_SWEEP_FAILED;
      }
    }
  }
  return R3X_DONE;
}
