#include "engine/collide/object_tests.h"

#include <cstddef>

#include "engine/collide/candidate_list.h"
#include "engine/collide/collision_math.h"
#include "engine/collide/contact_list.h"
#include "engine/collide/frames.h"
#include "engine/collide/sphere_list_member.h"
#include "engine/collide/sphere_overlap.h"
#include "engine/collide/sweep_edge_polygon.h"
#include "engine/collide/sweep_point.h"
#include "engine/collide/sweep_query.h"
#include "engine/collide/sweep_result.h"
#include "engine/collide/sweep_status.h"
#include "engine/collide/test_options.h"
#include "engine/core/actor.h"
#include "engine/core/obstacle.h"
#include "engine/core/part.h"
#include "engine/core/polyhedron.h"
#include "engine/core/region.h"
#include "engine/core/sphere_list.h"
#include "engine/core/volume.h"
#include "engine/core/world.h"

namespace {

// Filter bits that every detailed test of an actor takes.
constexpr std::uint32_t kKeptBits = 0xF02;
constexpr std::uint32_t kAddedBits = R3X_TEST_TOUCH | R3X_TEST_BOX;
constexpr std::uint32_t kAllOptions = 0xFF;

std::uint32_t memberCount(const R3xSweepQuery* query) {
  return query->sphereList != nullptr ? query->sphereList->definition->sphereCount : 1;
}

// The moving sphere's member i (the sphere itself for a single sphere), at its start.
void memberAt(R3xSweepQuery* query, std::uint32_t i, R3xSweepSegment* out) {
  if (query->sphereList != nullptr) {
    _r3xSphereListMemberPosition(query, i, out);
    return;
  }
  *out = query->segment;
}

void positionOf(const R3xActor* actor, float* out) {
  out[0] = actor->placement.x;
  out[1] = actor->placement.y;
  out[2] = actor->placement.z;
}

// The frame of another actor's volume: its origin, the actor's angles and scale s.
struct Frame {
  float origin[3];
  float matrix[9];
  float s;
  float inverse;
};

Frame frameOf(const R3xActor* actor, const float* origin, float s) {
  Frame frame{};
  for (int i = 0; i < 3; ++i) {
    frame.origin[i] = origin[i];
  }
  frame.s = s;
  _r3xRotationFromAngles(&actor->placement, s, frame.matrix, &frame.inverse);
  return frame;
}

// Member i, swept, in the frame.
void localMemberAt(R3xSweepQuery* query, std::uint32_t i, const Frame& frame,
                   R3xSweepSegment* out) {
  R3xSweepSegment member;
  memberAt(query, i, &member);
  _r3xSweepToLocal(&member, frame.origin, frame.s, frame.inverse, frame.matrix, out);
}

// Member i at rest in the frame: its centre there; returns its radius in the frame's scale.
float localCentreAt(R3xSweepQuery* query, std::uint32_t i, const Frame& frame, float* centre) {
  R3xSweepSegment member;
  memberAt(query, i, &member);
  _r3xWorldToLocal(member.start, frame.origin, frame.matrix, centre);
  return member.radius * frame.inverse;
}

const float* centreOf(const R3xSphereListDef* definition, std::uint32_t i) {
  return definition->centres + 3 * static_cast<std::size_t>(i);
}

// What a detailed test found: the earliest (swept) or first (at rest) feature.
struct Found {
  bool hit = false;
  float time = R3X_NO_TIME;
  std::int32_t kind = 0;
  const void* feature = nullptr;
  void* parent = nullptr;
  std::int32_t member = 0;
};

// A hit on a point (a sphere's centre) by member i at time t.
Found pointFound(const float* point, float t, std::uint32_t i) {
  return {true, t, R3X_OBSTACLE_XYZ_VERTEX, point, nullptr, static_cast<std::int32_t>(i)};
}

std::int32_t addFound(R3xSweepQuery* query, R3xActor* actor, void* part, const void* volume,
                      const Found& found, float time) {
  if (!found.hit) {
    return R3X_DONE;
  }
  if (query->sphereList != nullptr) {
    query->memberIndex = found.member;
  }
  return _r3xAddObjectContact(query, R3X_CONTACT_TOUCH, actor, part, volume, found.kind,
                              found.feature, found.parent, 0, time, 0);
}

// Faces of a polyhedron, swept: of the faces touched while the start was in front, the earliest.
Found sweepFaces(R3xSweepQuery* query, const R3xPolyhedron* polyhedron, const Frame& frame,
                 std::uint32_t bits) {
  Found found;
  const R3xPolyhedronDef* definition = polyhedron->definition;
  for (std::uint32_t i = 0; i < memberCount(query); ++i) {
    R3xSweepSegment local;
    localMemberAt(query, i, frame, &local);
    for (std::uint32_t f = 0; f < definition->faceCount; ++f) {
      R3xEdgePolygon* face = &definition->faces[f];
      R3xSweepResult result{};
      _r3xSweepSphereEdgePolygon(&local, face, bits, &result);
      if (result.touch != 0 && result.startsBehind == 0 && result.touchTime < found.time) {
        found = {true,
                 result.touchTime,
                 result.featureKind,
                 result.feature,
                 result.featureKind == R3X_OBSTACLE_EDGEPOLYGON ? nullptr : face,
                 static_cast<std::int32_t>(i)};
      }
    }
  }
  found.time *= frame.s;
  return found;
}

// Members of another sphere list, swept: the earliest pair.
Found sweepListMembers(R3xSweepQuery* query, const R3xSphereList* list, const Frame& frame,
                       std::uint32_t bits) {
  Found found;
  const R3xSphereListDef* definition = list->definition;
  for (std::uint32_t i = 0; i < memberCount(query); ++i) {
    R3xSweepSegment local;
    localMemberAt(query, i, frame, &local);
    const float radius = local.radius;
    for (std::uint32_t k = 0; k < definition->sphereCount; ++k) {
      local.radius = radius + definition->radii[k];
      float t = 0.0f;
      if (_r3xSweepSpherePoint(&local, centreOf(definition, k), bits, &t) != 0 && t < found.time) {
        found = pointFound(centreOf(definition, k), t, i);
      }
    }
  }
  found.time *= frame.s;
  return found;
}

// The members against a sphere of the given radius at the point, swept.
Found sweepToSphere(R3xSweepQuery* query, const float* point, float radius, std::uint32_t bits) {
  Found found;
  for (std::uint32_t i = 0; i < memberCount(query); ++i) {
    R3xSweepSegment member;
    memberAt(query, i, &member);
    member.radius += radius;
    float t = 0.0f;
    if (_r3xSweepSpherePoint(&member, point, bits, &t) != 0 && t < found.time) {
      found = pointFound(point, t, i);
    }
  }
  return found;
}

// The first face that a member at rest overlaps.
Found overlapFaces(R3xSweepQuery* query, const R3xPolyhedron* polyhedron, const Frame& frame) {
  const R3xPolyhedronDef* definition = polyhedron->definition;
  for (std::uint32_t i = 0; i < memberCount(query); ++i) {
    float centre[3];
    const float radius = localCentreAt(query, i, frame, centre);
    for (std::uint32_t f = 0; f < definition->faceCount; ++f) {
      R3xEdgePolygon* face = &definition->faces[f];
      if (_r3xSphereHitsEdgePolygon(centre, radius, face) != 0) {
        return {true, 0.0f, R3X_OBSTACLE_EDGEPOLYGON, face, nullptr, static_cast<std::int32_t>(i)};
      }
    }
  }
  return {};
}

// The first pair of members at rest that overlap.
Found overlapListMembers(R3xSweepQuery* query, const R3xSphereList* list, const Frame& frame) {
  const R3xSphereListDef* definition = list->definition;
  for (std::uint32_t i = 0; i < memberCount(query); ++i) {
    float centre[3];
    const float radius = localCentreAt(query, i, frame, centre);
    for (std::uint32_t k = 0; k < definition->sphereCount; ++k) {
      if (_r3xSphereHitsPoint(centre, radius + definition->radii[k], centreOf(definition, k)) !=
          0) {
        return pointFound(centreOf(definition, k), 0.0f, i);
      }
    }
  }
  return {};
}

Found overlapSphere(R3xSweepQuery* query, const float* point, float radius) {
  for (std::uint32_t i = 0; i < memberCount(query); ++i) {
    R3xSweepSegment member;
    memberAt(query, i, &member);
    if (_r3xSphereHitsPoint(member.start, member.radius + radius, point) != 0) {
      return pointFound(point, 0.0f, i);
    }
  }
  return {};
}

// A sphere list attached to the moving list's own actor is in contact at once, at its first
// member.
bool attachedToMover(const R3xSweepQuery* query, const R3xSphereList* list) {
  return query->sphereList != nullptr && list->owner != nullptr &&
         list->owner == query->sphereList->owner;
}

Found atOnce(const float* point) { return pointFound(point, 0.0f, 0); }

// The bounding radius of another actor's volume, or -1 for a type that is not tested.
float boundingRadius(const R3xActor* actor, const R3xVolume* volume) {
  switch (volume->type) {
    case R3X_TYPE_POLYHEDRON: {
      const auto* polyhedron = reinterpret_cast<const R3xPolyhedron*>(volume);
      return polyhedron->definition->radius * polyhedron->scale * actor->scale;
    }
    case R3X_TYPE_SPHERE_LIST: {
      const auto* list = reinterpret_cast<const R3xSphereList*>(volume);
      return list->definition->radius * list->scale * actor->scale;
    }
    case R3X_TYPE_SPHERE_VOLUME:
      return r3xGetVolumeRadius(volume) * actor->scale;
    case R3X_TYPE_NO_COLLISION_VOLUME:
      return actor->radius * actor->scale;
    default:
      return -1.0f;
  }
}

// Whether the moving sphere may reach the sphere of that radius at the point.
bool sweptBoundsMeet(const R3xSweepQuery* query, const float* point, float radius) {
  R3xSweepSegment enlarged = query->segment;
  enlarged.radius += radius;
  return _r3xSweepTouchesPoint(&enlarged, point) != 0;
}

// The detailed swept test of a volume (the actor's or a part's) centred at origin.
Found sweepVolume(R3xSweepQuery* query, const R3xActor* actor, const R3xVolume* volume,
                  const float* origin, std::uint32_t bits) {
  switch (volume->type) {
    case R3X_TYPE_POLYHEDRON: {
      const auto* polyhedron = reinterpret_cast<const R3xPolyhedron*>(volume);
      return sweepFaces(query, polyhedron, frameOf(actor, origin, polyhedron->scale * actor->scale),
                        bits);
    }
    case R3X_TYPE_SPHERE_LIST: {
      const auto* list = reinterpret_cast<const R3xSphereList*>(volume);
      if (attachedToMover(query, list)) {
        return atOnce(centreOf(list->definition, 0));
      }
      return sweepListMembers(query, list, frameOf(actor, origin, list->scale * actor->scale),
                              bits);
    }
    default:
      return sweepToSphere(query, origin, r3xGetVolumeRadius(volume) * actor->scale, bits);
  }
}

Found overlapVolume(R3xSweepQuery* query, const R3xActor* actor, const R3xVolume* volume,
                    const float* origin) {
  switch (volume->type) {
    case R3X_TYPE_POLYHEDRON: {
      const auto* polyhedron = reinterpret_cast<const R3xPolyhedron*>(volume);
      return overlapFaces(query, polyhedron,
                          frameOf(actor, origin, polyhedron->scale * actor->scale));
    }
    case R3X_TYPE_SPHERE_LIST: {
      const auto* list = reinterpret_cast<const R3xSphereList*>(volume);
      if (attachedToMover(query, list)) {
        return atOnce(centreOf(list->definition, 0));
      }
      return overlapListMembers(query, list, frameOf(actor, origin, list->scale * actor->scale));
    }
    default:
      return overlapSphere(query, origin, r3xGetVolumeRadius(volume) * actor->scale);
  }
}

// The actor's current part with a volume to test: R3X_DONE with part, volume and centre,
// R3X_SWEEP_NO_PART, or R3X_SWEEP_FAILED for a part or part volume of an untested type.
std::int32_t currentPart(R3xActor* actor, R3xObjectHeader** part, R3xVolume** volume,
                         float* centre) {
  *part = r3xGetActorPart(actor, static_cast<std::uint32_t>(actor->currentActionIndex), 0);
  if (*part == nullptr || (*part)->type == R3X_TYPE_NULL) {
    return R3X_SWEEP_NO_PART;
  }
  if ((*part)->type != R3X_TYPE_2D_SPRITE && (*part)->type != R3X_TYPE_3D_SPRITE) {
    return R3X_SWEEP_FAILED;
  }
  r3xGetPartVolume(*part, volume);
  if (*volume == nullptr || (*volume)->type == R3X_TYPE_NULL ||
      (*volume)->type == R3X_TYPE_NO_COLLISION_VOLUME) {
    return R3X_SWEEP_NO_PART;
  }
  if ((*volume)->type != R3X_TYPE_POLYHEDRON && (*volume)->type != R3X_TYPE_SPHERE_LIST &&
      (*volume)->type != R3X_TYPE_SPHERE_VOLUME) {
    return R3X_SWEEP_FAILED;
  }
  float offset[3];
  r3xGetPartOffset(*part, offset);
  _r3xActorOffsetToWorld(actor, offset, centre);
  return R3X_DONE;
}

// The part a part test takes, when the filter bits ask for parts and the actor shows one; when
// not, found is false and result is the test's answer (R3X_DONE, or R3X_SWEEP_FAILED).
struct PartToTest {
  bool found = false;
  std::int32_t result = R3X_DONE;
  R3xObjectHeader* part = nullptr;
  R3xVolume* volume = nullptr;
  float centre[3] = {};
};

PartToTest partToTest(R3xActor* actor, std::uint32_t bits) {
  PartToTest tested;
  if ((bits & R3X_SWEEP_PARTS) == 0) {
    return tested;
  }
  const std::int32_t found = currentPart(actor, &tested.part, &tested.volume, tested.centre);
  tested.found = found == R3X_DONE;
  tested.result = found == R3X_SWEEP_NO_PART ? R3X_DONE : found;
  return tested;
}

}  // namespace

R3xActor* _r3xActorInSlot(const R3xSweepQuery* query, std::int32_t slot) {
  const R3xSlotTable& actors = query->world->actors;
  if (slot < 0 || static_cast<std::uint32_t>(slot) >= actors.capacity || actors.slots == nullptr) {
    return nullptr;
  }
  R3xObjectHeader* object = actors.slots[slot].object;
  if (object == nullptr || object->type != R3X_TYPE_ACTOR) {
    return nullptr;
  }
  return reinterpret_cast<R3xActor*>(object);
}

std::uint32_t _r3xAskSweepFilter(R3xSweepQuery* query, R3xActor* actor) {
  const std::uint32_t bits = query->filter(actor, query->user);
  if ((bits & R3X_SWEEP_IGNORE) != 0) {
    // No bit: nothing of the actor is tested.
    return 0;
  }
  return (bits & kKeptBits) | kAddedBits;
}

std::int32_t _r3xSweepSpherePart(R3xSweepQuery* query, R3xActor* actor, std::uint32_t bits,
                                 float entryTime) {
  const PartToTest tested = partToTest(actor, bits);
  if (!tested.found) {
    return tested.result;
  }
  R3xObjectHeader* part = tested.part;
  R3xVolume* volume = tested.volume;
  const float* centre = tested.centre;
  // The part of the actor that carries the moving list itself is met at once.
  const bool carriesMover = actor->volume->type == R3X_TYPE_SPHERE_LIST &&
                            attachedToMover(query, reinterpret_cast<R3xSphereList*>(actor->volume));
  if (!carriesMover && !sweptBoundsMeet(query, centre, boundingRadius(actor, volume))) {
    return R3X_DONE;
  }
  const Found hit = carriesMover ? atOnce(centre) : sweepVolume(query, actor, volume, centre, bits);
  return addFound(query, actor, part, volume, hit, entryTime + hit.time);
}

std::int32_t _r3xSweepObject(R3xSweepQuery* query, R3xActor* actor, float entryTime) {
  const R3xVolume* volume = actor->volume;
  if (volume->type == R3X_TYPE_NULL) {
    return R3X_DONE;
  }
  const float bound = boundingRadius(actor, volume);
  if (bound < 0.0f) {
    return R3X_SWEEP_FAILED;
  }
  float position[3];
  positionOf(actor, position);
  float sphereTime = 0.0f;
  // A sphere volume's bounding test is the exact one of the enlarged sphere, which meets no point
  // level with or behind the start; for a single sphere it is the whole test, a sphere list's
  // members follow.
  const bool sphereVolume = volume->type == R3X_TYPE_SPHERE_VOLUME;
  if (sphereVolume) {
    R3xSweepSegment enlarged = query->segment;
    enlarged.radius += bound;
    if (_r3xSweepSpherePoint(&enlarged, position, kAllOptions, &sphereTime) == 0) {
      return R3X_DONE;
    }
  } else if (!sweptBoundsMeet(query, position, bound)) {
    return R3X_DONE;
  }
  const std::uint32_t bits = _r3xAskSweepFilter(query, actor);
  if (bits == 0) {
    return R3X_DONE;
  }
  if ((bits & R3X_SWEEP_VOLUME) != 0 && volume->type != R3X_TYPE_NO_COLLISION_VOLUME) {
    const Found hit = sphereVolume && query->sphereList == nullptr
                          ? pointFound(position, sphereTime, 0)
                          : sweepVolume(query, actor, volume, position, bits);
    const std::int32_t added = addFound(query, actor, nullptr, volume, hit, entryTime + hit.time);
    if (added != R3X_DONE) {
      return added;
    }
  }
  return _r3xSweepSpherePart(query, actor, bits, entryTime);
}

namespace {

// The actors the region lists that were not met in a region before, each through test until
// one gives other than R3X_DONE.
template <typename Test>
std::int32_t eachRegionObject(R3xSweepQuery* query, const R3xRegion* region, Test test) {
  const R3xRegionInfo* info = region->info;
  if (info == nullptr ||
      (info->type != R3X_TYPE_REGION_INFO && info->type != R3X_TYPE_REGION_INFO_B)) {
    return R3X_DONE;
  }
  for (std::uint32_t i = 0; i < info->objectCount; ++i) {
    R3xActor* actor = _r3xActorInSlot(query, info->objects[i].object);
    if (actor == nullptr) {
      return R3X_SWEEP_FAILED;
    }
    if (_r3xCandidateTouchesRegion(query, actor)) {
      continue;
    }
    const std::int32_t result = test(actor);
    if (result != R3X_DONE) {
      return result;
    }
  }
  return R3X_DONE;
}

}  // namespace

std::int32_t _r3xSweepSphereObjects(R3xSweepQuery* query, R3xSweepCandidate* /*entry*/,
                                    const R3xRegion* region, float entryTime) {
  return eachRegionObject(
      query, region, [&](R3xActor* actor) { return _r3xSweepObject(query, actor, entryTime); });
}

std::int32_t _r3xOverlapSphereObjects(R3xSweepQuery* query, const R3xRegion* region) {
  return eachRegionObject(query, region,
                          [&](R3xActor* actor) { return _r3xOverlapObject(query, actor); });
}

std::int32_t _r3xOverlapSpherePart(R3xSweepQuery* query, R3xActor* actor, std::uint32_t bits) {
  const PartToTest tested = partToTest(actor, bits);
  if (!tested.found) {
    return tested.result;
  }
  R3xObjectHeader* part = tested.part;
  R3xVolume* volume = tested.volume;
  const float* centre = tested.centre;
  const float* start = query->segment.start;
  if (_r3xSphereHitsPoint(start, query->segment.radius + boundingRadius(actor, volume), centre) ==
      0) {
    return R3X_DONE;
  }
  return addFound(query, actor, part, volume, overlapVolume(query, actor, volume, centre), 0.0f);
}

std::int32_t _r3xOverlapObject(R3xSweepQuery* query, R3xActor* actor) {
  const R3xVolume* volume = actor->volume;
  if (volume->type == R3X_TYPE_NULL) {
    return R3X_DONE;
  }
  const float bound = boundingRadius(actor, volume);
  if (bound < 0.0f) {
    return R3X_SWEEP_FAILED;
  }
  std::uint32_t bits = 0;
  if (volume->type == R3X_TYPE_NO_COLLISION_VOLUME) {
    bits = _r3xAskSweepFilter(query, actor);
  } else {
    float position[3];
    positionOf(actor, position);
    if (_r3xSphereHitsPoint(query->segment.start, query->segment.radius + bound, position) == 0) {
      return R3X_DONE;
    }
    bits = _r3xAskSweepFilter(query, actor);
    if ((bits & R3X_SWEEP_VOLUME) != 0) {
      const std::int32_t added = addFound(query, actor, nullptr, volume,
                                          overlapVolume(query, actor, volume, position), 0.0f);
      if (added != R3X_DONE) {
        return added;
      }
    }
  }
  _r3xOverlapSpherePart(query, actor, bits);
  return R3X_DONE;
}
