#include "battle/arena/mover.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "battle/core/vector3.h"
#include "engine/r3x_collide.h"
#include "engine/r3x_core.h"

namespace {

// A move smaller than this on every axis moves nothing.
constexpr float kTinyMove = 0.001f;
// How far around the moving box flags and tanks count as near.
constexpr float kFlagReach = 4.0f;
constexpr float kTankReach = 13.0f;
constexpr std::uint32_t kTankSpheres = 6;
// Ground heights below this are no ground.
constexpr float kNoGround = -0.01f;
const float kSqrtThreeQuarters = std::sqrt(0.75f);

Vector3 Unit(const Vector3& v) {
  Vector3 out;
  r3xNormalize3(v.data(), out.data());
  return out;
}

float Distance(const float* a, const float* b) {
  const Vector3 d = Difference(a, b);
  return r3xSqrt(Dot(d, d));
}

bool IsSmall(float d) { return d > -kTinyMove && d < kTinyMove; }

// A move that changes no coordinate and no angle by kTinyMove or more.
bool IsTinyMove(const R3xPlacement& to, const R3xPlacement& from) {
  return IsSmall(to.x - from.x) && IsSmall(to.y - from.y) && IsSmall(to.z - from.z) &&
         IsSmall(to.heading - from.heading) && IsSmall(to.pitch - from.pitch) &&
         IsSmall(to.roll - from.roll);
}

struct Box {
  Vector3 low;
  Vector3 high;
  void Add(const float* p) {
    for (int i = 0; i < 3; ++i) {
      low[i] = std::min(low[i], p[i]);
      high[i] = std::max(high[i], p[i]);
    }
  }
  Box Widened(float by) const {
    return {{low[0] - by, low[1] - by, low[2] - by}, {high[0] + by, high[1] + by, high[2] + by}};
  }
  // Strictly inside on all three axes.
  bool Holds(const float* p) const {
    return p[0] > low[0] && p[0] < high[0] && p[1] > low[1] && p[1] < high[1] && p[2] > low[2] &&
           p[2] < high[2];
  }
};

Box BoxOf(const float* p) { return {{p[0], p[1], p[2]}, {p[0], p[1], p[2]}}; }

bool AnyIn(std::span<const MoverNeighbour> objects, const Box& box, const R3xActor* self) {
  return std::any_of(objects.begin(), objects.end(), [&](const MoverNeighbour& object) {
    return object.mover != self && box.Holds(object.position);
  });
}

R3xSphereList* SphereListOf(R3xActor* actor) {
  R3xVolume* volume = r3xGetActorVolume(actor);
  if (volume == nullptr || volume->type != R3X_TYPE_SPHERE_LIST) {
    return nullptr;
  }
  return reinterpret_cast<R3xSphereList*>(volume);
}

// The radius of sphere 0 and the world centres of spheres 0 to count - 1.
bool ReadSpheres(const R3xSphereList* list, std::uint32_t count, float* radius, Vector3* centres) {
  if (radius != nullptr && r3xGetSphereWorldRadius(list, 0, radius) != 0) {
    return false;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    if (r3xGetSphereWorldPosition(list, i, centres[i].data()) != 0) {
      return false;
    }
  }
  return true;
}

float TriggerReach() {
  return std::max(GetGameParamFloat(PARAM_PROXIMITY_TRIGGER_RADIUS),
                  GetGameParamFloat(PARAM_DEACTIVATOR_MINE_TRIGGER_RADIUS));
}

}  // namespace

std::uint32_t MoverSweepFilter(R3xActor* /*actor*/, void* /*user*/) { return R3X_SWEEP_IGNORE; }

std::int32_t MoverSweepHit(R3xContact* contact, void* /*user*/, std::int32_t* pass,
                           std::int32_t* reportRemaining, float* backoff) {
  *pass = contact->phase == R3X_CONTACT_TOUCH && contact->passable == 0 ? 0 : 1;
  *reportRemaining = 0;
  *backoff = 0.0f;
  if (*pass != 0) {
    return 0;
  }
  if (gMover == nullptr) {
    return 0;
  }
  // Only a touch of the polygon's face gives its normal: the contact's own geometry is then the
  // polygon; on one of its edges or corners it is the edge or the corner's point record.
  if (contact->contactClass == R3X_CONTACT_OBSTACLE && contact->obstacle != nullptr &&
      contact->geometry != nullptr &&
      r3xGetObstacleKind(static_cast<const R3xObstacle*>(contact->obstacle)) ==
          R3X_OBSTACLE_EDGEPOLYGON &&
      static_cast<const R3xObjectHeader*>(contact->geometry)->type == R3X_TYPE_EDGE_POLYGON) {
    r3xGetEdgePolygonPlane(static_cast<const R3xEdgePolygon*>(contact->geometry),
                           gMover->contactNormal);
  }
  gMover->hitFlag = 1;
  return 0;
}

CMover::CMover() : query1_(r3xCreateSweepQuery()), query2_(r3xCreateSweepQuery()) {}

CMover::~CMover() {
  r3xDestroySweepQuery(query1_);
  r3xDestroySweepQuery(query2_);
}

void CMover::Prepare() {
  hitFlag = 0;
  remaining_ = -1.0f;
}

std::int32_t CMover::SweepWorld(R3xSweepQuery* query, const MoverCallbacks& callbacks) {
  Prepare();
  lastResult =
      query == nullptr
          ? R3X_ERR_FAILED
          : r3xSweepActor(gWorld, actor_, volume_, scale_, placement_, target_, nullptr, 0.0f,
                          testFlagged_, callbacks.mode, callbacks.filter, callbacks.hit, query,
                          callbacks.user, stopPosition, &remaining_, 1);
  return lastResult;
}

std::int32_t CMover::SweepList(R3xSweepQuery* query, const MoverCallbacks& callbacks) {
  lastResult = query == nullptr
                   ? R3X_ERR_FAILED
                   : r3xSweepActorAgainstList(gWorld, actor_, volume_, scale_, placement_, target_,
                                              nullptr, 0.0f, callbacks.mode, callbacks.filter,
                                              callbacks.hit, query, callbacks.user, stopPosition,
                                              &remaining_, 1, listCount_, list_);
  return lastResult;
}

R3xContact* CMover::StoppedContact(R3xSweepQuery* query) const {
  const R3xContactList* contacts = r3xGetSweepContacts(query);
  if (hitFlag == 0 || contacts == nullptr || contacts->count == 0) {
    return nullptr;
  }
  return contacts->stopContact;
}

float CMover::ProbeGround(R3xActor* actor, float* normal, const MoverCallbacks& callbacks) {
  actor_ = actor;
  if (r3xGetActorPlacement(actor, &placementBuffer_) != 0 || placementBuffer_.z < 0.0f) {
    return 0.0f;
  }
  const float below[3] = {placementBuffer_.x, placementBuffer_.y, 0.0f};
  target_ = below;
  MoverCallbacks down = callbacks;
  down.hit = MoverSweepHit;
  contactNormal[0] = 0.0f;
  contactNormal[1] = 0.0f;
  contactNormal[2] = 1.0f;
  const std::int32_t result = SweepWorld(query1_, down);
  target_ = nullptr;
  if (result < 0) {
    return 0.0f;
  }
  if (normal != nullptr) {
    std::copy(contactNormal, contactNormal + 3, normal);
  }
  return stopPosition[2];
}

float CMover::GetClearance(R3xActor* actor, const MoverCallbacks& callbacks) {
  const float ceiling = gWorldCeiling;
  actor_ = actor;
  if (r3xGetActorPlacement(actor, &placementBuffer_) != 0 || placementBuffer_.z > ceiling) {
    return ceiling;
  }
  const float above[3] = {placementBuffer_.x, placementBuffer_.y, ceiling};
  target_ = above;
  const MoverCallbacks up{MoverSweepFilter, MoverSweepHit, nullptr, callbacks.mode};
  const std::int32_t result = SweepWorld(query1_, up);
  target_ = nullptr;
  return result < 0 ? ceiling : stopPosition[2];
}

R3xContact* CMover::MoveTo(R3xActor* actor, float* point, const MoverCallbacks& callbacks) {
  actor_ = actor;
  if (r3xGetActorPlacement(actor, &placementBuffer_) != 0) {
    stopContact = nullptr;
    return nullptr;
  }
  target_ = point;
  stopPosition[0] = placementBuffer_.x;
  stopPosition[1] = placementBuffer_.y;
  stopPosition[2] = placementBuffer_.z;
  if (IsSmall(point[0] - placementBuffer_.x) && IsSmall(point[1] - placementBuffer_.y) &&
      IsSmall(point[2] - placementBuffer_.z)) {
    std::copy(stopPosition, stopPosition + 3, point);
    return nullptr;
  }
  const std::int32_t result = SweepWorld(query1_, callbacks);
  target_ = nullptr;
  stopContact = nullptr;
  if (result >= 0) {
    placementBuffer_.x = stopPosition[0];
    placementBuffer_.y = stopPosition[1];
    placementBuffer_.z = stopPosition[2];
    r3xSetActorPlacement(gWorld, actor, &placementBuffer_);
    stopContact = StoppedContact(query1_);
  }
  std::copy(stopPosition, stopPosition + 3, point);
  return stopContact;
}

R3xContact* CMover::Sweep(R3xVolume* volume, R3xPlacement* start, float* point,
                          const MoverCallbacks& callbacks) {
  const float from[3] = {start->x, start->y, start->z};
  stopContact = nullptr;
  if (r3xFindRegionAt(gWorld, from) == nullptr) {
    std::copy(from, from + 3, point);
    return nullptr;
  }
  actor_ = nullptr;
  volume_ = volume;
  scale_ = 1.0f;
  placement_ = start;
  target_ = point;
  MoverCallbacks sweep = callbacks;
  sweep.hit = MoverSweepHit;
  const std::int32_t result = SweepWorld(query1_, sweep);
  volume_ = nullptr;
  placement_ = nullptr;
  target_ = nullptr;
  if (result < 0) {
    std::copy(from, from + 3, stopPosition);
  } else {
    stopContact = StoppedContact(query1_);
  }
  std::copy(stopPosition, stopPosition + 3, point);
  return stopContact;
}

// A tank's move in progress: its old placement, its spheres' radius and centres before and after
// the move, the box around both, its neighbours and the earliest stop found so far.
struct CMover::TankMove {
  R3xActor* actor = nullptr;
  R3xPlacement old{};
  float r = 0.0f;
  Vector3 from[kTankSpheres];
  Vector3 to[kTankSpheres];
  Box box;
  float mineReach = 0.0f;
  MoverNeighbours neighbours;
  bool flagNear = false;
  bool mineNear = false;
  bool tankNear = false;
  // The box the sphere being swept covers, widened by its radius.
  Box swept;
  float best = 1e30f;
};

R3xContact* CMover::MoveWithCollision(R3xActor* actor, const R3xPlacement* placement,
                                      float* fraction, float* stop,
                                      const MoverCallbacks& callbacks) {
  stopContact = nullptr;
  *fraction = 1.0f;
  stop[0] = stop[1] = stop[2] = 0.0f;
  TankMove move;
  move.actor = actor;
  if (r3xGetActorPlacement(actor, &move.old) != 0) {
    *fraction = 0.0f;
    return nullptr;
  }
  if (IsTinyMove(*placement, move.old)) {
    return nullptr;
  }
  move.mineReach = TriggerReach();
  const R3xSphereList* list = SphereListOf(actor);
  if (list == nullptr || !ReadSpheres(list, kTankSpheres, &move.r, move.from)) {
    *fraction = 0.0f;
    return nullptr;
  }
  if (!PlaceSpheres(list, placement, move)) {
    return FailMove(move, fraction);
  }
  if (IsClearWithoutSweep(move)) {
    return nullptr;
  }
  if (!SweepSpheres(move, fraction, stop, callbacks)) {
    stopContact = nullptr;
    return FailMove(move, fraction);
  }
  if (stopContact != nullptr) {
    r3xSetActorPlacement(gWorld, actor, &move.old);
  }
  return stopContact;
}

R3xContact* CMover::FailMove(const TankMove& move, float* fraction) {
  r3xSetActorPlacement(gWorld, move.actor, &move.old);
  *fraction = 0.0f;
  return nullptr;
}

bool CMover::PlaceSpheres(const R3xSphereList* list, const R3xPlacement* placement,
                          TankMove& move) {
  if (r3xSetActorPlacement(gWorld, move.actor, placement) != 0 ||
      !ReadSpheres(list, kTankSpheres, nullptr, move.to)) {
    return false;
  }
  move.box = BoxOf(move.from[0].data());
  for (std::uint32_t i = 0; i < kTankSpheres; ++i) {
    if (r3xFindRegionAt(gWorld, move.from[i].data()) == nullptr ||
        r3xFindRegionAt(gWorld, move.to[i].data()) == nullptr) {
      return false;
    }
    move.box.Add(move.from[i].data());
    move.box.Add(move.to[i].data());
  }
  move.box = move.box.Widened(move.r);
  return true;
}

bool CMover::IsClearWithoutSweep(TankMove& move) const {
  move.neighbours = neighbourSource != nullptr ? neighbourSource() : MoverNeighbours{};
  move.flagNear = AnyIn(move.neighbours.flags, move.box.Widened(kFlagReach), nullptr);
  move.mineNear = AnyIn(move.neighbours.mines, move.box.Widened(move.mineReach), nullptr);
  move.tankNear = AnyIn(move.neighbours.tanks, move.box.Widened(kTankReach), move.actor);
  return !move.flagNear && !move.mineNear && !move.tankNear && gArenaMap != nullptr &&
         gArenaMap->IsBoxClear(move.box.low.data(), move.box.high.data()) == 1;
}

bool CMover::SweepSpheres(TankMove& move, float* fraction, float* stop,
                          const MoverCallbacks& callbacks) {
  R3xVolume* sphere = reinterpret_cast<R3xVolume*>(r3xCreateSphereVolume(move.r));
  if (sphere == nullptr) {
    return false;
  }
  R3xPlacement working = move.old;
  actor_ = nullptr;
  volume_ = sphere;
  scale_ = 1.0f;
  placement_ = &working;
  testFlagged_ = 1;
  MoverCallbacks exact = callbacks;
  exact.mode = R3X_SWEEP_EXACT;
  R3xSweepQuery* query = query1_;
  bool failed = false;
  for (std::uint32_t i = 0; i < kTankSpheres; ++i) {
    working.x = move.from[i][0];
    working.y = move.from[i][1];
    working.z = move.from[i][2];
    const std::optional<std::int32_t> result = SweepSphere(move, i, query, exact);
    if (!result) {
      continue;
    }
    if (*result != 0) {
      failed = true;
      break;
    }
    if (KeepEarliestStop(move, i, query, fraction, stop)) {
      query = query == query1_ ? query2_ : query1_;
    }
  }
  r3xFreeVolumeRecord(sphere);
  volume_ = nullptr;
  placement_ = nullptr;
  target_ = nullptr;
  listCount_ = 0;
  return !failed;
}

std::optional<std::int32_t> CMover::SweepSphere(TankMove& move, std::uint32_t i,
                                                R3xSweepQuery* query, const MoverCallbacks& exact) {
  listCount_ = 0;
  Prepare();
  target_ = move.to[i].data();
  move.swept = BoxOf(move.from[i].data());
  move.swept.Add(move.to[i].data());
  move.swept = move.swept.Widened(move.r);
  const bool blocked =
      gArenaMap == nullptr ||
      (gArenaMap->IsBoxClear(move.swept.low.data(), move.swept.high.data()) < 1 &&
       gArenaMap->IsSweptBoxClear(move.from[i].data(), move.to[i].data(), move.r) < 1);
  if (blocked) {
    return SweepWorld(query, exact);
  }
  if (!CollectNeighbours(move)) {
    return R3X_ERR_FAILED;
  }
  if (listCount_ == 0) {
    return std::nullopt;
  }
  return SweepList(query, exact);
}

bool CMover::CollectNeighbours(const TankMove& move) {
  auto collect = [&](std::span<const MoverNeighbour> objects, bool kindNear, float reach,
                     const R3xActor* self) {
    const Box near = move.swept.Widened(reach);
    for (const MoverNeighbour& object : objects) {
      if (!kindNear || object.mover == self || !near.Holds(object.position)) {
        continue;
      }
      if (listCount_ == kMaxListed) {
        return false;
      }
      list_[listCount_++] = object.actor;
    }
    return true;
  };
  return collect(move.neighbours.flags, move.flagNear, kFlagReach, nullptr) &&
         collect(move.neighbours.mines, move.mineNear, move.mineReach, nullptr) &&
         collect(move.neighbours.tanks, move.tankNear, kTankReach, move.actor);
}

bool CMover::KeepEarliestStop(TankMove& move, std::uint32_t i, R3xSweepQuery* query,
                              float* fraction, float* stop) {
  R3xContact* contact = StoppedContact(query);
  if (contact == nullptr) {
    return false;
  }
  const float length = Distance(move.from[i].data(), move.to[i].data());
  // A sphere that does not move (the centre of a turn in place) has no share of its move at
  // which it stops: whatever its zero-length sweep overlaps decides nothing.
  if (!(length > 0.0f)) {
    return false;
  }
  const float t = contact->time / length;
  if (!(t < move.best)) {
    return false;
  }
  move.best = t;
  *fraction = std::clamp(Distance(move.from[i].data(), stopPosition) / length, 0.0f, 1.0f);
  std::copy(stopPosition, stopPosition + 3, stop);
  stopContact = contact;
  return true;
}

float CMover::FollowTerrain(R3xActor* actor, float* normal) {
  normal[0] = 0.0f;
  normal[1] = 0.0f;
  normal[2] = 1.0f;
  const R3xSphereList* list = SphereListOf(actor);
  float r = 0.0f;
  Vector3 local[3];
  Vector3 w[4];
  if (list == nullptr || gArenaMap == nullptr || !ReadSpheres(list, 4, &r, w)) {
    return -1.0f;
  }
  for (std::uint32_t i = 0; i < 3; ++i) {
    if (r3xGetSphereCenter(list, i, local[i].data()) != 0) {
      return -1.0f;
    }
  }
  const float spanX = local[0][0] - local[2][0];
  const float spanY = local[1][1] - local[0][1];
  // Corners that coincide along an axis give no ground to stand on.
  if (spanX == 0.0f || spanY == 0.0f || !std::isfinite(r / spanX) || !std::isfinite(r / spanY)) {
    return -1.0f;
  }
  const float kx = r / spanX;
  const float ky = r / spanY;
  const float zoff = r - local[0][2];
  const Vector3 across = Difference(w[1], w[0]);
  const Vector3 along = Difference(w[0], w[2]);
  const Vector3 up = Scaled(Unit(Cross(across, along)), r);
  const Vector3 ex = Scaled(along, kx);
  const Vector3 ey = Scaled(across, ky);
  const Vector3 minusEx = Scaled(ex, -1.0f);
  const Vector3 minusEy = Scaled(ey, -1.0f);
  Vector3 p[4] = {Sum(Sum(w[0], up), ex), Sum(Sum(w[1], up), ex), Sum(Sum(w[2], up), minusEx),
                  Sum(Sum(w[3], up), minusEx)};
  const Vector3 q[4] = {Sum(Sum(w[0], up), minusEy), Sum(Sum(w[1], up), ey),
                        Sum(Sum(w[2], up), minusEy), Sum(Sum(w[3], up), ey)};
  const Vector3 m = Scaled(Sum(p[0], p[3]), 0.5f);
  float sx = 0.0f;
  float sy = 0.0f;
  float hM = 0.0f;
  const bool centreFound = gArenaMap->GetSurface(m.data(), normal, &sx, &sy, &hM) == 0;
  auto probe = [&](const Vector3& point) {
    float height = 0.0f;
    const bool found = gArenaMap->GroundHeight(point.data(), &height) == 0;
    return centreFound && !found ? hM : height;
  };
  float hp[4];
  float hq[4];
  for (int i = 0; i < 4; ++i) {
    hp[i] = probe(p[i]);
    hq[i] = probe(q[i]);
  }
  const bool noGround = !(hM >= kNoGround) ||
                        std::any_of(hp, hp + 4, [](float h) { return !(h >= kNoGround); }) ||
                        std::any_of(hq, hq + 4, [](float h) { return !(h >= kNoGround); });
  if (noGround) {
    normal[0] = 0.0f;
    normal[1] = 0.0f;
    normal[2] = 1.0f;
    return -1.0f;
  }
  for (int i = 0; i < 4; ++i) {
    if (hq[i] > hp[i]) {
      p[i] = q[i];
      hp[i] = hq[i];
    }
  }
  bool planeNeeded = false;
  if (sx == 0.0f && sy == 0.0f) {
    if (std::none_of(hp, hp + 4, [&](float h) { return h > hM; })) {
      return hM + zoff;
    }
    planeNeeded = true;
  } else if (sy == 0.0f || sx == 0.0f) {
    const int axis = sy == 0.0f ? 0 : 1;
    const float slope = axis == 0 ? sx : sy;
    for (int i = 0; i < 4 && !planeNeeded; ++i) {
      planeNeeded = !((p[i][axis] - m[axis]) * slope + hM + 0.01f >= hp[i]);
    }
    if (!planeNeeded) {
      return 0.0f;
    }
  } else {
    normal[0] = 0.0f;
    normal[1] = 0.0f;
    normal[2] = 1.0f;
    return -1.0f;
  }
  const Vector3 g[4] = {{p[0][0], p[0][1], hp[0]},
                        {p[1][0], p[1][1], hp[1]},
                        {p[2][0], p[2][1], hp[2]},
                        {p[3][0], p[3][1], hp[3]}};
  Vector3 n;
  const int far = hq[2] - hq[3] > hq[0] - hq[1] ? 1 : 0;
  n = Cross(Difference(g[2], g[3]), Difference(g[far], g[3]));
  if (n[2] < 0.0f) {
    n = Cross(Difference(g[3], g[2]), Difference(g[far], g[2]));
  }
  Vector3 unit = Unit(n);
  if (unit[2] < 0.5f) {
    // Never more than 60 degrees from the vertical.
    const float s = kSqrtThreeQuarters * r3xInvSqrt(1.0f - unit[2] * unit[2]);
    unit = {unit[0] * s, unit[1] * s, 0.5f};
  }
  std::copy(unit.begin(), unit.end(), normal);
  return 0.0f;
}
