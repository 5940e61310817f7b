#include <algorithm>

#include "engine/collide/candidate_list.h"
#include "engine/collide/collision_math.h"
#include "engine/collide/contact_list.h"
#include "engine/collide/object_tests.h"
#include "engine/collide/sphere_list_sweep.h"
#include "engine/collide/sweep_drivers.h"
#include "engine/collide/sweep_edge.h"
#include "engine/collide/sweep_edge_polygon.h"
#include "engine/collide/sweep_plane.h"
#include "engine/collide/sweep_point.h"
#include "engine/collide/sweep_query.h"
#include "engine/collide/sweep_report.h"
#include "engine/collide/sweep_result.h"
#include "engine/collide/sweep_status.h"
#include "engine/core/obstacle.h"
#include "engine/core/region.h"
#include "engine/core/sphere_list.h"

namespace {

bool isList(const R3xSweepQuery* query) { return query->sphereList != nullptr; }

std::int32_t report(R3xSweepQuery* query, R3xContact* contact) {
  return isList(query) ? _r3xReportSweepListContact(query, contact)
                       : _r3xReportSweepContact(query, contact);
}

// A motion that did not stop ends at its end, with nothing remaining; only a single sphere swept
// through the regions leaves the remaining distance as it was.
void writeEnd(R3xSweepQuery* query, bool againstList) {
  if (query->outPosition != nullptr) {
    for (int i = 0; i < 3; ++i) {
      query->outPosition[i] = query->segment.end[i];
    }
  }
  if ((againstList || isList(query)) && query->outRemaining != nullptr) {
    *query->outRemaining = 0.0f;
  }
}

std::int32_t sweepVertex(R3xSweepQuery* query, std::int32_t kind, const float* vertex,
                         float* time) {
  if (kind == R3X_OBSTACLE_XY_VERTEX) {
    return isList(query) ? _r3xSweepSphereListPoint2D(query, vertex, query->mode, time)
                         : _r3xSweepCirclePoint2D(&query->segment, vertex, query->mode, time);
  }
  return isList(query) ? _r3xSweepSphereListPoint(query, vertex, query->mode, time)
                       : _r3xSweepSpherePoint(&query->segment, vertex, query->mode, time);
}

// The line, XY edge, plane and polygon tests; false for another kind.
bool runAcrossTest(R3xSweepQuery* query, const R3xObstacle* obstacle, R3xSweepResult* result) {
  const void* g = obstacle->geometry;
  const std::uint32_t mode = query->mode;
  const R3xSweepSegment* s = &query->segment;
  switch (obstacle->kind) {
    case R3X_OBSTACLE_XY_LINE:
      isList(query)
          ? _r3xSweepSphereListLine2D(query, static_cast<const R3xXYLine*>(g), mode, result)
          : _r3xSweepCircleLine2D(s, static_cast<const R3xXYLine*>(g), mode, result);
      return true;
    case R3X_OBSTACLE_XY_EDGE:
      isList(query)
          ? _r3xSweepSphereListEdge2D(query, static_cast<const R3xXYLine*>(g), mode, result)
          : _r3xSweepCircleEdge2D(s, static_cast<const R3xXYLine*>(g), mode, result);
      return true;
    case R3X_OBSTACLE_PLANE:
      isList(query) ? _r3xSweepSphereListPlane(query, static_cast<const R3xPlane*>(g), mode, result)
                    : _r3xSweepSpherePlane(s, static_cast<const R3xPlane*>(g), mode, result);
      return true;
    case R3X_OBSTACLE_EDGEPOLYGON:
      isList(query)
          ? _r3xSweepSphereListEdgePolygon(query, static_cast<const R3xEdgePolygon*>(g), mode,
                                           result)
          : _r3xSweepSphereEdgePolygon(s, static_cast<const R3xEdgePolygon*>(g), mode, result);
      return true;
    default:
      return false;
  }
}

// Lines and planes are touched as a whole; edges and polygons may name a piece.
bool sweepAcross(R3xSweepQuery* query, const R3xObstacle* obstacle, R3xSweepResult* result) {
  result->feature = nullptr;
  if (!runAcrossTest(query, obstacle, result)) {
    return false;
  }
  if (result->feature == nullptr) {
    result->featureKind = obstacle->kind;
    result->feature = obstacle->geometry;
  }
  return true;
}

std::int32_t testObstacle(R3xSweepQuery* query, R3xRegion* region, std::int32_t index,
                          R3xObstacle* obstacle, float entryTime, R3xRegionSweepState* state) {
  const std::int32_t passable = _r3xObstacleLeadsOut(query, obstacle, index);
  const std::int32_t kind = obstacle->kind;
  if (kind == R3X_OBSTACLE_XY_VERTEX || kind == R3X_OBSTACLE_XYZ_VERTEX) {
    const auto* vertex = static_cast<const float*>(obstacle->geometry);
    float t = 0.0f;
    if (sweepVertex(query, kind, vertex, &t) == 0) {
      return R3X_DONE;
    }
    const std::int32_t added = _r3xAddObstacleContact(query, R3X_CONTACT_TOUCH, region, obstacle,
                                                      kind, vertex, passable, entryTime + t, 0);
    if (added == R3X_DONE && passable == 0) {
      state->blocking = std::min(state->blocking, t);
    }
    return added;
  }
  R3xSweepResult result{};
  if (kind == R3X_OBSTACLE_XYZ_EDGE) {
    const auto* edge = static_cast<const R3xXYZEdge*>(obstacle->geometry);
    isList(query) ? _r3xSweepSphereListEdge(query, edge, query->mode, &result)
                  : _r3xSweepSphereEdge(&query->segment, edge, query->mode, &result);
    if (result.touch == 0) {
      return R3X_DONE;
    }
    const std::int32_t added =
        _r3xAddObstacleContact(query, R3X_CONTACT_TOUCH, region, obstacle, result.featureKind,
                               result.feature, passable, entryTime + result.touchTime, 0);
    if (added == R3X_DONE && passable == 0) {
      state->blocking = std::min(state->blocking, result.touchTime);
    }
    return added;
  }
  if (!sweepAcross(query, obstacle, &result)) {
    return R3X_SWEEP_FAILED;
  }
  if (result.touch == 0) {
    return R3X_DONE;
  }
  return _r3xAddSweepCandidate(query, &result, region, obstacle, passable, entryTime, state);
}

// The tested region's obstacles, in times relative to the entry time.
std::int32_t testObstacles(R3xSweepQuery* query, R3xRegion* region, float entryTime,
                           R3xRegionSweepState* state) {
  const R3xObstacleList* list = _r3xRegionObstacles(region);
  if (list == nullptr) {
    return R3X_DONE;
  }
  const std::int32_t index = region->header.slot;
  for (std::uint32_t i = 0; i < list->obstacleCount; ++i) {
    R3xObstacle* obstacle = &list->obstacles[i];
    if ((obstacle->flags & R3X_OBSTACLE_FLOOR) != 0 && query->testFlagged == 0) {
      continue;
    }
    if (obstacle->kind == 1) {
      continue;
    }
    const std::int32_t result = testObstacle(query, region, index, obstacle, entryTime, state);
    if (result != R3X_DONE) {
      return result;
    }
  }
  return R3X_DONE;
}

// Tests candidates until one adds contacts, merging them; false when none is left.
struct Scan {
  R3xSweepQuery* query;
  float blocking;
  R3xSweepCandidate* next;
  std::int32_t result;

  // Tests the next candidate and merges its contacts. False on failure.
  bool testNext() {
    R3xContactList* list = query->contacts;
    const std::uint32_t before = list->count;
    result = _r3xSweepSphereRegion(query, next, &blocking);
    next = _r3xNextUnvisitedCandidate(query);
    if (result != R3X_DONE) {
      return false;
    }
    if (list->count > before) {
      _r3xSortContacts(list, before);
    }
    return true;
  }
};

std::int32_t sweepThroughRegions(R3xSweepQuery* query) {
  if (query->segment.distance == 0.0f) {
    return isList(query) ? _r3xOverlapSphereList(query) : _r3xOverlapSphere(query);
  }
  const std::int32_t gathered = _r3xGatherTouchedRegions(query, query->segment.radius);
  if (gathered != R3X_DONE) {
    writeEnd(query, false);
    return gathered;
  }
  Scan scan{query, R3X_NO_TIME, nullptr, 1};
  const std::uint32_t startRegions = query->candidateCount;
  for (std::uint32_t i = 0; i < startRegions; ++i) {
    scan.result = _r3xSweepSphereRegion(query, &query->candidates[i], &scan.blocking);
    if (scan.result != R3X_DONE) {
      writeEnd(query, false);
      return scan.result;
    }
  }
  R3xContactList* list = query->contacts;
  _r3xSortContacts(list, 0);
  std::uint32_t position = 0;
  scan.next = _r3xNextUnvisitedCandidate(query);
  for (;;) {
    if (position < list->count) {
      // Regions entered before the next contact may hold an earlier one.
      while (scan.next != nullptr && scan.next->entryTime < list->index[position]->time) {
        if (!scan.testNext()) {
          writeEnd(query, false);
          return scan.result;
        }
      }
      if (report(query, list->index[position]) == R3X_SWEEP_STOPPED) {
        return scan.result;
      }
      ++position;
      continue;
    }
    if (scan.next == nullptr) {
      break;
    }
    if (!scan.testNext()) {
      writeEnd(query, false);
      return scan.result;
    }
  }
  writeEnd(query, false);
  return scan.result;
}

std::int32_t sweepAgainstList(R3xSweepQuery* query, std::uint32_t actorCount,
                              R3xActor* const* actors) {
  R3xContactList* list = query->contacts;
  for (std::uint32_t i = 0; i < actorCount; ++i) {
    if (actors[i] == nullptr) {
      continue;
    }
    const std::int32_t result = query->segment.distance == 0.0f
                                    ? _r3xOverlapObject(query, actors[i])
                                    : _r3xSweepObject(query, actors[i], 0.0f);
    if (result != R3X_DONE) {
      if (query->segment.distance != 0.0f) {
        writeEnd(query, true);
      }
      return result;
    }
  }
  if (query->segment.distance == 0.0f) {
    // All at time 0, in the order found; nothing is written without a stop.
    for (std::uint32_t i = 0; i < list->count; ++i) {
      if (report(query, &list->contacts[i]) == R3X_SWEEP_STOPPED) {
        return R3X_DONE;
      }
    }
    return R3X_DONE;
  }
  _r3xSortContacts(list, 0);
  for (std::uint32_t i = 0; i < list->count; ++i) {
    if (report(query, list->index[i]) == R3X_SWEEP_STOPPED) {
      return R3X_DONE;
    }
  }
  writeEnd(query, true);
  return R3X_DONE;
}

}  // namespace

std::int32_t _r3xAddSweepCandidate(R3xSweepQuery* query, const R3xSweepResult* result,
                                   R3xRegion* region, R3xObstacle* obstacle, std::int32_t passable,
                                   float entryTime, R3xRegionSweepState* state) {
  const float t = result->touchTime;
  std::int32_t added =
      _r3xAddObstacleContact(query, R3X_CONTACT_TOUCH, region, obstacle, result->featureKind,
                             result->feature, passable, entryTime + t, result->startsBehind);
  if (added != R3X_DONE) {
    return added;
  }
  if (passable == 0) {
    state->blocking = std::min(state->blocking, t);
  } else {
    const float at = entryTime + t;
    R3xSweepCandidate* listed = _r3xFindCandidate(query, obstacle->neighbour);
    if (listed == nullptr) {
      if (_r3xInsertCandidateByTime(query, obstacle->neighbour, at) == R3X_SWEEP_FAILED) {
        return R3X_SWEEP_FAILED;
      }
    } else if (listed->entryTime > at) {
      _r3xResortCandidate(query, listed, at);
    }
  }
  if (result->startsBehind == 0 && result->cross != 0) {
    added = _r3xAddObstacleContact(query, R3X_CONTACT_CROSS, region, obstacle, obstacle->kind,
                                   obstacle->geometry, passable, entryTime + result->crossTime, 0);
    if (added != R3X_DONE) {
      return added;
    }
    if (passable != 0 && result->crossTime < state->passableCross) {
      state->passableCross = result->crossTime;
      state->crossedInto = obstacle->neighbour;
    }
  }
  if (result->leave != 0) {
    state->leave = std::min(state->leave, result->leaveTime);
  }
  return R3X_DONE;
}

std::int32_t _r3xSweepSphereRegion(R3xSweepQuery* query, R3xSweepCandidate* entry,
                                   float* earliestBlocking) {
  const float entryTime = entry->entryTime;
  R3xRegion* region = r3xGetRegion(query->world, entry->region);
  if (region == nullptr) {
    return R3X_SWEEP_FAILED;
  }
  R3xSweepSegment& segment = query->segment;
  const R3xSweepSegment saved = segment;
  R3xActor* carrier = isList(query) ? query->sphereList->owner : nullptr;
  const R3xPlacement carrierPlacement = carrier != nullptr ? carrier->placement : R3xPlacement{};
  if (entryTime != 0.0f) {
    if (*earliestBlocking < entryTime) {
      entry->visited = 1;
      query->scanStart = query->candidateCount;
      return R3X_DONE;
    }
    for (int i = 0; i < 3; ++i) {
      segment.start[i] = saved.start[i] + saved.direction[i] * entryTime;
    }
    segment.distance = saved.distance - entryTime;
    // The list's members are placed from its actor.
    if (carrier != nullptr) {
      carrier->placement.x = segment.start[0];
      carrier->placement.y = segment.start[1];
      carrier->placement.z = segment.start[2];
    }
  }
  R3xRegionSweepState state{R3X_NO_TIME, R3X_NO_TIME, -1, R3X_NO_TIME};
  const float memberMargin = query->memberMargin;
  query->memberMargin = 0.0f;
  std::int32_t result = testObstacles(query, region, entryTime, &state);
  query->memberMargin = memberMargin;
  entry->exitTime = entryTime + state.leave;
  if (state.passableCross < state.blocking) {
    R3xSweepCandidate* crossed = _r3xFindCandidate(query, state.crossedInto);
    if (crossed != nullptr) {
      crossed->atStart = 0;
    }
  }
  if (result == R3X_DONE) {
    if (state.blocking < R3X_NO_TIME) {
      *earliestBlocking = std::min(*earliestBlocking, entryTime + state.blocking);
    }
    result = _r3xSweepSphereObjects(query, entry, region, entryTime);
  }
  entry->visited = 1;
  segment = saved;
  if (carrier != nullptr) {
    carrier->placement = carrierPlacement;
  }
  return result;
}

std::int32_t _r3xSweepSphere(R3xSweepQuery* query) { return sweepThroughRegions(query); }

std::int32_t _r3xSweepSphereList(R3xSweepQuery* query) { return sweepThroughRegions(query); }

std::int32_t _r3xSweepSphereAgainstList(R3xSweepQuery* query, std::uint32_t actorCount,
                                        R3xActor* const* actors) {
  return sweepAgainstList(query, actorCount, actors);
}

std::int32_t _r3xSweepSphereListAgainstList(R3xSweepQuery* query, std::uint32_t actorCount,
                                            R3xActor* const* actors) {
  return sweepAgainstList(query, actorCount, actors);
}
