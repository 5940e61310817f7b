#include <algorithm>
#include <cmath>

#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/mine.h"
#include "battle/arena/mover.h"
#include "battle/arena/player_tank.h"
#include "battle/arena/tank.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/vector3.h"
#include "common/messages.h"

namespace {

// The own tank's sub-steps: at most 2 units of travel each above this speed, and a bound on
// their number so that no speed can hold the frame.
constexpr float kSubStepSpeed = 40.0f;
constexpr int kMaxSubSteps = 256;
constexpr int kMaxPasses = 10;
// A move gives up at its 12th contact in a row (retries counted from 0 beyond 10).
constexpr int kMaxRetries = 10;

// The start of a step: pose and orientation, restored when a move fails.
struct TankPose {
  float position[3];
  float heading;
  float pitch;
  float roll;
  float orientation[3][3];
};

TankPose SavePose(const CRigidBody& body) {
  TankPose pose{};
  std::copy(body.position, body.position + 3, pose.position);
  pose.heading = body.heading;
  pose.pitch = body.pitch;
  pose.roll = body.roll;
  std::copy(&body.orientation[0][0], &body.orientation[0][0] + 9, &pose.orientation[0][0]);
  return pose;
}

void RestorePose(CRigidBody& body, const TankPose& pose) {
  std::copy(pose.position, pose.position + 3, body.position);
  body.heading = pose.heading;
  body.pitch = pose.pitch;
  body.roll = pose.roll;
  std::copy(&pose.orientation[0][0], &pose.orientation[0][0] + 9, &body.orientation[0][0]);
}

void ZeroMomenta(CRigidBody& body) {
  std::fill(body.momentum, body.momentum + 3, 0.0f);
  std::fill(body.angularMomentum, body.angularMomentum + 3, 0.0f);
}

R3xPlacement PlacementOf(const CRigidBody& body) {
  return {
      body.position[0], body.position[1], body.position[2], body.heading, body.pitch, body.roll, 0};
}

// A later result replaces one that answered nothing, blocked or met a non-tank object.
void MergeResult(std::int32_t& result, std::int32_t r) {
  if (result == kTankContactNone || result == kTankContactBlocked ||
      result == kTankContactOtherObject) {
    result = r;
  }
}

// A small tilt fades on flat ground.
float FadeTilt(float angle) {
  if (angle > 0.02f && angle < 1.0f) {
    return angle - 0.02f;
  }
  if (angle > 511.0f && angle < 511.98f) {
    return angle + 0.02f;
  }
  return angle;
}

float Length(const Vector3& v) { return std::sqrt(Dot(v, v)); }

// The unit vector, or nothing for a zero-length one.
bool Normalize(Vector3& v) {
  const float length = Length(v);
  if (!(length > 0.0f) || !std::isfinite(length)) {
    return false;
  }
  v = Scaled(v, 1.0f / length);
  return true;
}

// The unit normal at the contact point q, from the touched part of an edge polygon.
bool WorldContactNormal(const R3xContact* contact, const float* q, Vector3& n) {
  const auto* part = static_cast<const R3xObjectHeader*>(contact->geometry);
  if (part != nullptr && part->type == R3X_TYPE_EDGE_POLYGON) {
    float plane[4] = {};
    r3xGetEdgePolygonPlane(static_cast<const R3xEdgePolygon*>(contact->geometry), plane);
    n = {plane[0], plane[1], plane[2]};
  } else if (part != nullptr && part->type == R3X_TYPE_XYZ_EDGE) {
    float a[3] = {};
    float b[3] = {};
    r3xGetEdgeStart(static_cast<const R3xXYZEdge*>(contact->geometry), a);
    r3xGetEdgeEnd(static_cast<const R3xXYZEdge*>(contact->geometry), b);
    n = Cross(Cross(Difference(q, a), Difference(q, b)), Difference(b, a));
  } else {
    const float v[3] = {contact->point.x, contact->point.y, contact->point.z};
    n = Difference(q, v);
  }
  return Normalize(n);
}

// The share of an impulse that turns into spin: |n x M| / |M|, at most 0.5.
float SpinShare(const Vector3& n, const Vector3& m) {
  const float length = Length(m);
  if (length <= 0.001f) {
    return 0.0f;
  }
  return std::min(Length(Cross(n, m)) / length, 0.5f);
}

}  // namespace

std::int32_t CTank::Move(float* outPose) {
  R3xPlacement placement{};
  if (mediumCollisionActor != nullptr) {
    r3xGetActorPlacement(mediumCollisionActor, &placement);
    position[0] = placement.x;
    position[1] = placement.y;
    position[2] = placement.z;
    heading = placement.heading;
    pitch = placement.pitch;
    roll = placement.roll;
    SetOrientationFromAngles();
  }
  std::fill(contactImpulse, contactImpulse + 3, 0.0f);
  std::fill(contactAngularImpulse, contactAngularImpulse + 3, 0.0f);
  flagContact = 0;
  moveTime = gFrameTime;
  const auto ms = static_cast<std::int32_t>(gFrameTime - lastMoveTime);
  lastMoveTime = gFrameTime;
  std::int32_t result = kTankContactNone;
  if (ms > 0 && mediumCollisionActor != nullptr) {
    const float dt = std::min(ms * 0.001f, 0.5f);
    if (isLocal != 0) {
      float remaining = dt;
      for (int step = 0; step < kMaxSubSteps && remaining > 0.0f; ++step) {
        float speed = std::sqrt(Dot(momentum, momentum)) / mass;
        if (!std::isfinite(speed)) {
          // No step can follow such a speed: the tank stands.
          speed = 0.0f;
          ZeroMomenta(*this);
        }
        const float h = std::min(speed < kSubStepSpeed ? 0.05f : 2.0f / speed, remaining);
        MergeResult(result, SimulatePhysics(h));
        remaining -= h;
      }
      PlaceParts();
    } else {
      timeSinceStep += dt;
      framesSinceStep += 1;
      if (IsStepDue()) {
        result = SimulatePhysics(timeSinceStep);
        SmoothControls();
        framesSinceStep = 0;
        timeSinceStep = 0.0f;
        PlaceParts();
      }
    }
  }
  outPose[0] = position[0];
  outPose[1] = position[1];
  outPose[2] = position[2];
  outPose[3] = heading;
  outPose[4] = pitch;
  outPose[5] = roll;
  return result;
}

bool CTank::IsStepDue() const {
  const Vector3 d = Difference(position, &gListenerPlacement.x);
  const float distance = Length(d);
  int zone = 3;
  if (distance > gTankZoneFarDistance) {
    zone = 0;
  } else if (Dot(d, d) > 4096.0f) {
    const float hc = gListenerPlacement.heading;
    const float pc = gListenerPlacement.pitch;
    const Vector3 view{r3xCosUnits(hc) * r3xCosUnits(pc), r3xSinUnits(hc) * r3xCosUnits(pc),
                       r3xSinUnits(pc)};
    if (Dot(d, view) < 0.707f * distance) {
      zone = 1;
    } else {
      zone = 2;
      const float* camera = &gListenerPlacement.x;
      const float offsets[6][3] = {{0, 0, 0},   {0, 0, 16}, {16, 0, 0},
                                   {-16, 0, 0}, {0, 16, 0}, {0, -16, 0}};
      for (const auto& offset : offsets) {
        const float point[3] = {position[0] + offset[0], position[1] + offset[1],
                                position[2] + offset[2]};
        if (gArenaMap != nullptr && gArenaMap->IsSegmentClear(camera, point) > 0) {
          zone = 3;
          break;
        }
      }
    }
  }
  const auto frames = static_cast<std::uint32_t>(
      GetGameParamInt(PARAM_ZONE_0_MAX_FRAMES_BETWEEN_TANK_MOVES + 2 * zone));
  const float time = GetGameParamFloat(PARAM_ZONE_0_MAX_TIME_BETWEEN_TANK_MOVES + 2 * zone);
  return framesSinceStep >= frames || timeSinceStep >= time;
}

std::int32_t CTank::SimulatePhysics(float dt) {
  TankPose start = SavePose(*this);
  std::fill(force, force + 3, 0.0f);
  std::fill(torque, torque + 3, 0.0f);

  if (roll >= 127.0f && roll <= 385.0f) {
    if (upsideDown == 0) {
      upsideDown = 1;
      notUpright = 1;
      flipUnlockTime = moveTime + static_cast<std::uint32_t>(
                                      GetGameParamInt(PARAM_UPSIDE_DOWN_DISABLE_DURATION));
    }
    if (notUpright == 0) {
      const float limit = (linearFloorDrag.constant + gravity) * flipThrustMultiplier * mass;
      float a = std::clamp(driveForce * 2.5f, -limit, limit);
      float b = std::clamp(turnForce * 6.0f, -limit, limit);
      const float sum = std::fabs(a) + std::fabs(b);
      if (sum > limit) {
        a *= limit / sum;
        b *= limit / sum;
      }
      ApplyFlipThrust(a, b, turningThrustPoint, turningThrustPoint * 0.5f);
    }
  } else {
    flipUnlockTime = moveTime;
    upsideDown = 0;
    if (rocketFlight != 0 && rocketThrust != 0) {
      AddForce(0.0f, 0.0f, mass * gravity * GetGameParamFloat(PARAM_ROCKET_Z_THRUST_FACTOR));
    }
  }

  const float floor = groundHeight + GetGameParamFloat(PARAM_NO_GRAVITY_ZONE_HEIGHT);
  const float z = start.position[2];
  if (z > floor + 2.0f) {
    airborne = 1;
    forwardDrag = lateralDrag = spinDrag = tiltDrag = {};
    ApplyGravity(gravity);
    if (rocketFlight != 0) {
      tiltDrag = levelingDrag;
      const float up[3] = {0.0f, 0.0f, 1.0f};
      ApplyLevelingTorque(levelingTorque, levelingDamping, up);
    }
  } else {
    forwardDrag = driveDrag;
    lateralDrag = linearFloorDrag;
    spinDrag = angularFloorDrag;
    tiltDrag = levelingDrag;
    airborne = z > floor ? 1 : 0;
    if (airborne != 0) {
      ApplyGravity(gravity);
    }
    ApplyLevelingTorque(levelingTorque, levelingDamping, groundNormal);
    if (upsideDown == 0) {
      AddForwardForce(driveForce);
      if (rocketFlight == 0) {
        AddSideForce(turnForce, turningThrustPoint);
      }
    }
    const float w = mass * gravity;
    const float* n = groundNormal;
    if (n[2] < 0.7f || std::fabs(driveForce * n[2]) > std::sqrt(n[0] * n[0] + n[1] * n[1]) * w) {
      AddForce(n[0] * w, n[1] * w, 0.0f);
    }
  }
  IntegrateMomentum(dt, groundNormal);

  const MoverCallbacks callbacks{TankSweepFilter, TankSweepHit, static_cast<CMailbox*>(this)};
  std::int32_t result = kTankContactNone;
  float remaining = dt;
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    IntegratePose(remaining);
    if (groundNormal[2] > 0.999f) {
      pitch = FadeTilt(pitch);
      roll = FadeTilt(roll);
      SetOrientationFromAngles();
    }
    R3xPlacement target = PlacementOf(*this);
    float t = 1.0f;
    float q[3] = {};
    const R3xContact* contact =
        gMover->MoveWithCollision(mediumCollisionActor, &target, &t, q, callbacks);
    if (contact == nullptr) {
      if (t < 0.999f) {
        RestorePose(*this, start);
        ZeroMomenta(*this);
        result = kTankContactBlocked;
      }
      break;
    }
    RestorePose(*this, start);
    float h = t * remaining;
    bool accepted = false;
    bool failed = false;
    for (int retries = 0;; ++retries) {
      IntegratePose(h);
      remaining -= h;
      float savedMomentum[3];
      float savedAngular[3];
      std::copy(momentum, momentum + 3, savedMomentum);
      std::copy(angularMomentum, angularMomentum + 3, savedAngular);
      MergeResult(result, ApplyContacts(contact, q));
      float gained[3];
      float gainedAngular[3];
      for (int i = 0; i < 3; ++i) {
        gained[i] = momentum[i] - savedMomentum[i];
        gainedAngular[i] = angularMomentum[i] - savedAngular[i];
        contactImpulse[i] += gained[i];
        contactAngularImpulse[i] += gainedAngular[i];
      }
      target = PlacementOf(*this);
      contact = gMover->MoveWithCollision(mediumCollisionActor, &target, &t, q, callbacks);
      if (contact == nullptr && t >= 0.999f) {
        start = SavePose(*this);
        accepted = true;
        break;
      }
      RestorePose(*this, start);
      if (contact == nullptr || retries > kMaxRetries) {
        ZeroMomenta(*this);
        result = kTankContactBlocked;
        failed = true;
        break;
      }
      for (int i = 0; i < 3; ++i) {
        contactImpulse[i] -= gained[i];
        contactAngularImpulse[i] -= gainedAngular[i];
      }
      remaining += h;
      h = t * h;
      std::copy(savedMomentum, savedMomentum + 3, momentum);
      std::copy(savedAngular, savedAngular + 3, angularMomentum);
    }
    if (failed || !accepted) {
      break;
    }
  }

  groundHeight = gMover->FollowTerrain(mediumCollisionActor, groundNormal);
  const bool tilted = (pitch > 1.0f && pitch < 511.0f) || (roll > 1.0f && roll < 511.0f);
  if (groundHeight <= 0.0f || position[2] - groundHeight > 5.0f || tilted) {
    const MoverCallbacks probe{TankOnlySweepFilter, nullptr, static_cast<CMailbox*>(this)};
    groundHeight = gMover->ProbeGround(mediumCollisionActor, nullptr, probe);
  }
  const float zone = GetGameParamFloat(PARAM_NO_GRAVITY_ZONE_HEIGHT);
  RaiseTo(groundHeight + zone - 0.001f);
  airborne = position[2] > groundHeight + zone ? 1 : 0;
  return result;
}

std::int32_t CTank::ApplyContacts(const R3xContact* contact, const float* q) {
  const Vector3 m{momentum[0], momentum[1], momentum[2]};
  const Vector3 w{angularMomentum[0], angularMomentum[1], angularMomentum[2]};
  const Vector3 lever = Difference(q, position);
  if (contact->contactClass == R3X_CONTACT_OBSTACLE) {
    const auto* obstacle = static_cast<const R3xObstacle*>(contact->obstacle);
    if (obstacle == nullptr || r3xGetObstacleKind(obstacle) != R3X_OBSTACLE_EDGEPOLYGON) {
      ZeroMomenta(*this);
      return kTankContactBlocked;
    }
    Vector3 n{};
    if (!WorldContactNormal(contact, q, n)) {
      return kTankContactNone;  // no direction to push in
    }
    const float wall = GetGameParamFloat(PARAM_WALL_REBOUND_IMPULSE_FACTOR);
    const float floorFactor = GetGameParamFloat(PARAM_FLOOR_REBOUND_IMPULSE_FACTOR);
    const float vn = Dot(n, m);
    const float jw = std::max(-vn * wall, 0.0f);
    const float jf = std::max(-vn * floorFactor, 0.0f);
    const Vector3 impulse{jw * n[0], jw * n[1], jf * n[2]};
    AddVelocity(impulse[0], impulse[1], impulse[2]);
    const Vector3 spin = Scaled(Cross(lever, impulse), SpinShare(n, m));
    AddAngularVelocity(spin[0], spin[1], spin[2]);
    const Vector3 across = Difference(w, Scaled(n, Dot(n, w)));
    const float k = wall * 0.2f * Length(across);
    AddVelocity(n[0] * k, n[1] * k, 0.0f);
    AddAngularVelocity(-floorFactor * across[0], -floorFactor * across[1], -wall * across[2]);
    if (n[2] < 0.5f) {
      return kTankContactWall;
    }
    return n[2] < 0.999f ? kTankContactSlope : kTankContactFloor;
  }
  if (contact->contactClass != R3X_CONTACT_OBJECT) {
    return kTankContactNone;
  }
  CTank* other = FromActor(static_cast<const R3xActor*>(contact->target));
  if (other == nullptr) {
    ZeroMomenta(*this);
    return kTankContactOtherObject;
  }
  const float rebound = GetGameParamFloat(PARAM_TANK_REBOUND_IMPULSE_FACTOR);
  Vector3 n = Difference(q, other->position);
  if (!Normalize(n)) {
    return kTankContactNone;
  }
  const float j = std::max(-Dot(n, m) * rebound, 0.0f);
  const Vector3 impulse = Scaled(n, j);
  AddVelocity(impulse[0], impulse[1], impulse[2]);
  // The local tank with its design screen open is not pushed.
  if (const auto* own = dynamic_cast<const CPlayerTank*>(other);
      own == nullptr || own->designScreenOpen == 0) {
    other->AddVelocity(-impulse[0] / rebound, -impulse[1] / rebound, -impulse[2] / rebound);
  }
  const Vector3 spin = Scaled(Cross(lever, impulse), SpinShare(n, m));
  AddAngularVelocity(spin[0], spin[1], spin[2]);
  const Vector3 across = Difference(w, Scaled(n, Dot(n, w)));
  const float k = rebound * 0.2f * Length(across);
  const Vector3 push{n[0] * k, n[1] * k, 0.0f};
  AddVelocity(push[0], push[1], push[2]);
  other->AddVelocity(-push[0] / rebound, -push[1] / rebound, 0.0f);
  AddAngularVelocity(-rebound * across[0], -rebound * across[1], -rebound * across[2]);
  return other->isLocal != 0 ? kTankContactLocalTank : kTankContactRemoteTank;
}

void CTank::SmoothControls() {
  const auto ms = static_cast<std::int32_t>(gFrameTime - turretStepTime);
  if ((barrelPitch == barrelPitchTarget && turretHeading == turretHeadingTarget) || ms == 0) {
    return;
  }
  float step = ms * 0.06f;
  const float ramp = GetGameParamFloat(PARAM_TURRET_TIME_TO_FULL_SPEED);
  const auto elapsed =
      static_cast<float>(static_cast<std::int32_t>(gFrameTime - turretCommandTime));
  if ((barrelPitchTarget != 0.0f || turretHeadingTarget != 0.0f) && ramp > 0.0f && elapsed < ramp) {
    step *= (elapsed / ramp) * (elapsed / ramp);
  }
  const std::uint32_t c = chassis < kTankChassisCount ? chassis : 0;
  auto approach = [](float value, float target, float limit) {
    return value < target ? std::min(value + limit, target) : std::max(value - limit, target);
  };
  barrelPitch = approach(barrelPitch, barrelPitchTarget,
                         step * GetGameParamFloat(PARAM_DIZURORUV_VERTICAL_TURRET_FACTOR + c));
  turretHeading = approach(turretHeading, turretHeadingTarget,
                           step * GetGameParamFloat(PARAM_DIZURORUV_HORIZONTAL_TURRET_FACTOR + c));
  turretStepTime = gFrameTime;
}

namespace {

CMailbox* MailboxOf(R3xActor* actor) {
  return reinterpret_cast<CMailbox*>(r3xGetActorUserData(actor));
}

std::uint32_t KindOf(const CMailbox* mailbox) { return mailbox->Address() & 0xFFFF0000u; }

// Another tank's small collision body: the only part of a tank that other tanks meet.
bool IsOtherTanksBody(R3xActor* actor, const CMailbox* object, const void* user) {
  if (KindOf(object) != KIND_TANK || object == user) {
    return false;
  }
  // Addresses are the server's words: another object may bear a tank's kind.
  const auto* tank = dynamic_cast<const CTank*>(object);
  return tank != nullptr && actor == tank->smallCollisionActor &&
         tank->Address() != static_cast<const CMailbox*>(user)->Address();
}

// The local tank's touch of a mine that has not reported yet, along a clear line on the arena map
// from the mine to the hull.
void ReportMineTouch(const CTank& tank, CMine& mine) {
  if (tank.isLocal == 0 || tank.damageLevel < 0 || mine.IsTriggered() || mine.Actor() == nullptr ||
      tank.bodyActor == nullptr || gArenaMap == nullptr) {
    return;
  }
  R3xPlacement from{};
  R3xPlacement to{};
  r3xGetActorPlacement(mine.Actor(), &from);
  r3xGetActorPlacement(tank.bodyActor, &to);
  if (gArenaMap->IsSegmentClear(&from.x, &to.x) == 1) {
    mine.ReportHit(tank.Address(), static_cast<std::int32_t>(tank.team));
  }
}

}  // namespace

std::uint32_t TankSweepFilter(R3xActor* actor, void* user) {
  const CMailbox* object = MailboxOf(actor);
  if (object == nullptr) {
    return R3X_SWEEP_IGNORE;
  }
  const std::uint32_t kind = KindOf(object);
  if (kind == KIND_MINE_A || kind == KIND_FLAG || kind == KIND_MINE_B) {
    return R3X_SWEEP_PARTS;
  }
  return IsOtherTanksBody(actor, object, user) ? R3X_SWEEP_VOLUME : R3X_SWEEP_IGNORE;
}

std::uint32_t TankOnlySweepFilter(R3xActor* actor, void* user) {
  const CMailbox* object = MailboxOf(actor);
  return object != nullptr && IsOtherTanksBody(actor, object, user) ? R3X_SWEEP_VOLUME
                                                                    : R3X_SWEEP_IGNORE;
}

std::int32_t TankSweepHit(R3xContact* contact, void* user, std::int32_t* pass, std::int32_t* report,
                          float* backoff) {
  *pass = contact->phase == R3X_CONTACT_TOUCH && contact->passable == 0 ? 0 : 1;
  if (*pass != 0) {
    return 0;
  }
  *report = 0;
  *backoff = 0.1f;
  auto* tank = static_cast<CTank*>(static_cast<CMailbox*>(user));
  if (contact->contactClass == R3X_CONTACT_OBJECT) {
    CMailbox* object = MailboxOf(static_cast<R3xActor*>(contact->target));
    const std::uint32_t kind = object != nullptr ? KindOf(object) : 0;
    if (kind == KIND_TANK) {
      if (const auto* other = dynamic_cast<const CTank*>(object); other != nullptr) {
        const Vector3 toward = Difference(other->position, tank->position);
        *pass = Dot(tank->momentum, toward.data()) >= 0.0f ? 0 : 1;
      }
    } else if (kind == KIND_MINE_A || kind == KIND_MINE_B) {
      *pass = 1;
      if (auto* mine = dynamic_cast<CMine*>(object); mine != nullptr) {
        ReportMineTouch(*tank, *mine);
      }
    } else if (kind == KIND_FLAG) {
      *pass = 1;
      if (tank->alive == 1 && tank->damageLevel >= 0 && tank->rocketThrust == 0) {
        tank->flagContact = object->Address();
      }
    }
  }
  if (*pass == 0 && gMover != nullptr) {
    gMover->hitFlag = 1;
  }
  return 0;
}
