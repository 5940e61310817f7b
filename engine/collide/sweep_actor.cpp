#include <cstring>

#include "engine/collide/contact_list.h"
#include "engine/collide/frames.h"
#include "engine/collide/sweep.h"
#include "engine/collide/sweep_drivers.h"
#include "engine/collide/sweep_query.h"
#include "engine/collide/sweep_report.h"
#include "engine/collide/sweep_status.h"
#include "engine/core/actor.h"
#include "engine/core/actor_rotation.h"
#include "engine/core/bsp.h"
#include "engine/core/error.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/memory.h"
#include "engine/core/part.h"
#include "engine/core/polyhedron.h"
#include "engine/core/sphere_list.h"
#include "engine/core/volume.h"

namespace {

// The test options the sweep always adds to the caller's: touch, leave with its time, the box
// pre-tests and two bits that no test reads.
constexpr std::uint32_t kCallerMode = 0xE;
constexpr std::uint32_t kFixedMode = 0xF1;

// Positive as the sweep reads it: the bits as a signed integer greater than 0.
bool positive(float value) {
  std::int32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits > 0;
}

// Nonzero apart from the sign.
bool nonzero(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return (bits & 0x7FFFFFFFu) != 0;
}

struct Entry {
  R3xWorld* world;
  R3xActor* actor;
  R3xVolume* volume;
  float scale;
  R3xPlacement* placement;
  const float* target;
  const float* direction;
  float distance;
  std::uint32_t mode;
  R3xSweepFilterFn filter;
  R3xSweepHitFn hit;
  void* user;
  float* outPosition;
  float* outRemaining;
  std::int32_t wantRemaining;
};

// Where a sphere list stands during the sweep, and how it is put back.
struct ListCarrier {
  R3xSphereList* list = nullptr;
  R3xActor* actor = nullptr;
  R3xPlacement saved{};
  // The list was attached for the sweep: detach it afterwards.
  bool attached = false;
  // The actor was made for the sweep: free it afterwards.
  bool temporary = false;
};

bool carryList(R3xSweepQuery* query, const Entry& in, R3xSphereList* list, ListCarrier* carrier) {
  carrier->list = list;
  if (list->owner != nullptr) {
    R3xActor* owner = list->owner;
    carrier->actor = owner;
    carrier->saved = owner->placement;
    r3xSetActorPlacement(query->world, owner, query->placement);
    r3xBuildObjectRotation(owner, in.scale, &owner->placement);
    return true;
  }
  if (in.actor != nullptr) {
    carrier->actor = in.actor;
    carrier->saved = in.actor->placement;
    carrier->attached = true;
    r3xSetActorPlacement(query->world, in.actor, query->placement);
    list->owner = in.actor;
    r3xBuildObjectRotation(in.actor, in.actor->scale, &in.actor->placement);
    return true;
  }
  auto* temporary = static_cast<R3xActor*>(r3xMalloc(sizeof(R3xActor)));
  if (temporary == nullptr) {
    return false;
  }
  temporary->header.type = R3X_TYPE_ACTOR;
  temporary->header.slot = -1;
  temporary->header.flags = R3X_FLAG_TRANSFORM_DIRTY;
  temporary->placement = *query->placement;
  const float position[3] = {query->placement->x, query->placement->y, query->placement->z};
  temporary->placement.region = r3xFindRegionIndexAt(query->world, position);
  temporary->scale = in.scale;
  r3xBuildObjectRotation(temporary, in.scale, &temporary->placement);
  list->owner = temporary;
  carrier->actor = temporary;
  carrier->attached = true;
  carrier->temporary = true;
  return true;
}

void putListBack(R3xSweepQuery* query, ListCarrier* carrier) {
  if (carrier->list == nullptr) {
    return;
  }
  if (carrier->attached) {
    carrier->list->owner = nullptr;
  }
  if (carrier->temporary) {
    r3xFree(carrier->actor);
    return;
  }
  r3xSetActorPlacement(query->world, carrier->actor, &carrier->saved);
}

// The motion from the placement: to the target, or along the direction. False when a distance
// comes without a direction.
bool setMotion(R3xSweepQuery* query, const Entry& in) {
  R3xSweepSegment& s = query->segment;
  const R3xPlacement* p = query->placement;
  const float position[3] = {p->x, p->y, p->z};
  s.distance = 0.0f;
  for (int i = 0; i < 3; ++i) {
    s.direction[i] = 0.0f;
  }
  if (in.target != nullptr) {
    const float v[3] = {in.target[0] - position[0], in.target[1] - position[1],
                        in.target[2] - position[2]};
    const float length2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (length2 != 0.0f) {
      const float inverse = r3xInvSqrt(length2);
      for (int i = 0; i < 3; ++i) {
        s.direction[i] = v[i] * inverse;
      }
      s.distance = length2 * inverse;
    }
  } else if (nonzero(in.distance)) {
    if (in.direction == nullptr) {
      return false;
    }
    for (int i = 0; i < 3; ++i) {
      s.direction[i] = in.direction[i];
    }
    s.distance = in.distance;
  }
  return true;
}

void setEnds(R3xSweepQuery* query, const float* target) {
  R3xSweepSegment& s = query->segment;
  const R3xPlacement* p = query->placement;
  s.start[0] = p->x;
  s.start[1] = p->y;
  s.start[2] = p->z;
  for (int i = 0; i < 3; ++i) {
    s.end[i] = target != nullptr ? target[i] : s.start[i] + s.direction[i] * s.distance;
  }
}

// The no-collision volume sweeps the volume of the actor's current part from the part's centre.
R3xVolume* partVolume(R3xSweepQuery* query, R3xActor* actor) {
  R3xObjectHeader* part =
      r3xGetActorPart(actor, static_cast<std::uint32_t>(actor->currentActionIndex), 0);
  R3xVolume* volume = nullptr;
  float offset[3] = {0.0f, 0.0f, 0.0f};
  if (part == nullptr || r3xGetPartVolume(part, &volume) != 0 || volume == nullptr) {
    return nullptr;
  }
  r3xGetPartOffset(part, offset);
  float centre[3];
  _r3xActorOffsetToWorld(actor, offset, centre);
  query->placement->x = centre[0];
  query->placement->y = centre[1];
  query->placement->z = centre[2];
  setEnds(query, nullptr);
  return volume;
}

// The common set-up; the volume to sweep, or null for FAILED.
R3xVolume* setUp(R3xSweepQuery* query, Entry* in) {
  query->contacts->count = 0;
  query->world = in->world;
  if (in->actor != nullptr) {
    in->volume = in->actor->volume;
    in->scale = in->actor->scale;
    query->workPlacement = in->actor->placement;
    query->placement = &query->workPlacement;
  } else {
    if (in->volume == nullptr || !positive(in->scale) || in->placement == nullptr) {
      return nullptr;
    }
    query->placement = in->placement;
  }
  if (!setMotion(query, *in)) {
    return nullptr;
  }
  R3xVolume* volume = in->volume;
  if (volume->type == R3X_TYPE_NO_COLLISION_VOLUME) {
    if (in->actor == nullptr) {
      return nullptr;
    }
    volume = partVolume(query, in->actor);
    if (volume == nullptr) {
      return nullptr;
    }
  } else {
    setEnds(query, in->target);
  }
  query->filter = in->filter != nullptr ? in->filter : _r3xDefaultSweepFilter;
  query->hit = in->hit != nullptr ? in->hit : _r3xDefaultSweepHit;
  query->user = in->user;
  query->outPosition = in->outPosition;
  query->outRemaining = in->outRemaining;
  query->wantRemaining = in->wantRemaining;
  query->mode = (in->mode & kCallerMode) | kFixedMode;
  query->memberMargin = 0.0f;
  query->memberIndex = 0;
  query->sphereList = nullptr;
  return volume;
}

// The radius of the volume and its driver family; false for a type that cannot be swept.
bool sizeUp(R3xSweepQuery* query, const R3xVolume* volume, float scale) {
  switch (volume->type) {
    case R3X_TYPE_POLYHEDRON: {
      const auto* polyhedron = reinterpret_cast<const R3xPolyhedron*>(volume);
      query->segment.radius = polyhedron->definition->radius * polyhedron->scale * scale;
      return true;
    }
    case R3X_TYPE_SPHERE_VOLUME:
      query->segment.radius = r3xGetVolumeRadius(volume) * scale;
      return true;
    case R3X_TYPE_SPHERE_LIST: {
      const auto* list = reinterpret_cast<const R3xSphereList*>(volume);
      query->segment.radius = list->definition->radius * list->scale * scale;
      return true;
    }
    default:
      return false;
  }
}

using RegionDriver = std::int32_t (*)(R3xSweepQuery*);
using ListDriver = std::int32_t (*)(R3xSweepQuery*, std::uint32_t, R3xActor* const*);

std::int32_t runSweep(R3xSweepQuery* query, Entry* in, bool throughRegions,
                      std::uint32_t actorCount, R3xActor* const* actors) {
  R3xVolume* volume = setUp(query, in);
  if (volume == nullptr || !sizeUp(query, volume, in->scale)) {
    return R3X_ERR_FAILED;
  }
  if (throughRegions) {
    const float position[3] = {query->placement->x, query->placement->y, query->placement->z};
    query->placement->region = r3xFindRegionIndexAt(query->world, position);
    // A start outside every region has nothing to sweep through.
    if (query->placement->region == R3X_NO_REGION) {
      return R3X_ERR_FAILED;
    }
  }
  ListCarrier carrier;
  if (volume->type == R3X_TYPE_SPHERE_LIST) {
    query->sphereList = reinterpret_cast<R3xSphereList*>(volume);
    if (!carryList(query, *in, query->sphereList, &carrier)) {
      return R3X_ERR_FAILED;
    }
  }
  const bool list = query->sphereList != nullptr;
  std::int32_t result = 0;
  if (throughRegions) {
    result = list ? _r3xSweepSphereList(query) : _r3xSweepSphere(query);
  } else {
    result = list ? _r3xSweepSphereListAgainstList(query, actorCount, actors)
                  : _r3xSweepSphereAgainstList(query, actorCount, actors);
  }
  putListBack(query, &carrier);
  return result == R3X_SWEEP_FAILED ? R3X_ERR_FAILED : 0;
}

}  // namespace

R3xSweepQuery* r3xCreateSweepQuery() {
  auto* query = static_cast<R3xSweepQuery*>(r3xMalloc(sizeof(R3xSweepQuery)));
  if (query == nullptr) {
    return nullptr;
  }
  query->contacts = _r3xCreateContactList(0);
  if (query->contacts == nullptr) {
    r3xFree(query);
    return nullptr;
  }
  return query;
}

void r3xDestroySweepQuery(R3xSweepQuery* query) {
  if (query == nullptr) {
    return;
  }
  _r3xDestroyContactList(query->contacts);
  r3xFree(query);
}

R3xContactList* r3xGetSweepContacts(R3xSweepQuery* query) {
  return query != nullptr ? query->contacts : nullptr;
}

std::int32_t r3xSweepActor(R3xWorld* world, R3xActor* actor, R3xVolume* volume, float scale,
                           R3xPlacement* placement, const float* target, const float* direction,
                           float distance, std::int32_t testFlagged, std::uint32_t mode,
                           R3xSweepFilterFn filter, R3xSweepHitFn hit, R3xSweepQuery* query,
                           void* user, float* outPosition, float* outRemaining,
                           std::int32_t wantRemaining) {
  if (query == nullptr) {
    return R3X_ERR_FAILED;
  }
  query->candidateCount = 0;
  query->scanStart = 0;
  query->testFlagged = testFlagged;
  Entry in{world, actor,  volume, scale, placement,   target,       direction,    distance,
           mode,  filter, hit,    user,  outPosition, outRemaining, wantRemaining};
  return runSweep(query, &in, true, 0, nullptr);
}

std::int32_t r3xSweepActorAgainstList(R3xWorld* world, R3xActor* actor, R3xVolume* volume,
                                      float scale, R3xPlacement* placement, const float* target,
                                      const float* direction, float distance, std::uint32_t mode,
                                      R3xSweepFilterFn filter, R3xSweepHitFn hit,
                                      R3xSweepQuery* query, void* user, float* outPosition,
                                      float* outRemaining, std::int32_t wantRemaining,
                                      std::uint32_t actorCount, R3xActor* const* actors) {
  if (query == nullptr) {
    return R3X_ERR_FAILED;
  }
  query->testFlagged = 0;
  Entry in{world, actor,  volume, scale, placement,   target,       direction,    distance,
           mode,  filter, hit,    user,  outPosition, outRemaining, wantRemaining};
  return runSweep(query, &in, false, actorCount, actors);
}
