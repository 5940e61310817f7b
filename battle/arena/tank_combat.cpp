#include <cmath>
#include <cstdlib>
#include <new>

#include "base/byte_writer.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/explosion.h"
#include "battle/arena/flare.h"
#include "battle/arena/motion_model.h"
#include "battle/arena/smoke.h"
#include "battle/arena/tank.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "battle/core/sound_code.h"
#include "common/messages.h"

namespace {

// A weapon kind that fires: its sound, and the rows of its speed, launch impulse and damage.
struct TankWeapon {
  std::uint32_t kind;
  std::uint32_t sound;
  GameParamRow speed;
  GameParamRow impulse;
  GameParamRow damage;
};

constexpr TankWeapon kTankWeapons[] = {
    {3, 22, PARAM_MG_BULLET_SPEED, PARAM_CHAIN_GUN_LAUNCH_IMPULSE, PARAM_MG_BULLET_DAMAGE},
    {4, 37, PARAM_TANK_LAZER_SPEED, PARAM_MARK_I_LAUNCH_IMPULSE, PARAM_MARK_I_DAMAGE},
    {5, 38, PARAM_TANK_LAZER_SPEED, PARAM_MARK_II_LAUNCH_IMPULSE, PARAM_MARK_II_DAMAGE},
    {6, 39, PARAM_TANK_LAZER_SPEED, PARAM_MARK_IV_LAUNCH_IMPULSE, PARAM_MARK_IV_DAMAGE},
    {7, 31, PARAM_TANK_LAZER_SPEED, PARAM_PLASMA_CANNON_LAUNCH_IMPULSE, PARAM_PLASMA_CANNON_DAMAGE},
    {8, 29, PARAM_FRAG_SHELL_SPEED, PARAM_FRAG_SHELL_LAUNCH_IMPULSE, PARAM_FRAG_SHELL_DAMAGE},
    {9, 29, PARAM_HEAT_SHELL_SPEED, PARAM_HEAT_SHELL_LAUNCH_IMPULSE, PARAM_HEAT_SHELL_DAMAGE},
    {10, 36, PARAM_AP_SHELL_SPEED, PARAM_AP_SHELL_LAUNCH_IMPULSE, PARAM_AP_SHELL_DAMAGE},
    {12, 40, PARAM_TANK_LAZER_SPEED, PARAM_MARK_I_LAUNCH_IMPULSE, PARAM_MARK_I_DAMAGE},
    {13, 41, PARAM_TANK_LAZER_SPEED, PARAM_MARK_II_LAUNCH_IMPULSE, PARAM_MARK_II_DAMAGE},
    {14, 42, PARAM_TANK_LAZER_SPEED, PARAM_MARK_IV_LAUNCH_IMPULSE, PARAM_MARK_IV_DAMAGE},
};

const TankWeapon* FindWeapon(std::uint32_t kind) {
  for (const TankWeapon& weapon : kTankWeapons) {
    if (weapon.kind == kind) {
      return &weapon;
    }
  }
  return nullptr;
}

// The part's flight: out along its heading and pitch at v, pulled down by gravity.
void LaunchPart(TankDebris& debris, R3xActor* actor, float limits, float speedFactor) {
  CMotionModel* model = new (std::nothrow) CMotionModel();
  if (model == nullptr || actor == nullptr) {
    delete model;
    return;  // that part then throws no debris
  }
  debris.model = model;
  R3xPlacement placement{};
  r3xGetActorPlacement(actor, &placement);
  debris.pose = placement;
  model->SetPose(placement.x, placement.y, placement.z, placement.heading, placement.pitch,
                 placement.roll);
  model->velocity = {};
  model->headingRate = model->previousHeadingRate = model->targetHeadingRate = 0.0f;
  model->SetLimits(limits, limits, limits, limits, limits);
  float v = std::fabs(gGravity) * 0.1f * speedFactor;
  if (v < 0.001f) {
    v = 0.0f;
  }
  model->speed = model->previousSpeed = model->targetSpeed = v;
  model->push[0] = model->push[1] = model->push[2] = 0.0f;
  model->floorHeight = 0.0f;
}

// Where the wreck burns: the hull 5.0 higher.
R3xPlacement HullFirePoint(R3xActor* body) {
  R3xPlacement point{};
  if (body != nullptr) {
    r3xGetActorPlacement(body, &point);
  }
  point.z += 5.0f;
  return point;
}

}  // namespace

std::uint32_t CTank::Fire(float multiplier) {
  R3xPlacement muzzle{};
  if (barrelActor != nullptr) {
    r3xGetActorPlacement(barrelActor, &muzzle);
  }
  return FireShell(weaponWord, muzzle, multiplier);
}

std::uint32_t CTank::FireShell(std::uint32_t word, const R3xPlacement& muzzle, float multiplier) {
  std::uint32_t kind = word & 0xFFFF;
  const std::uint32_t flags = word & 0xFFFF0000u;
  float m = kind >= 11 ? 2.0f : multiplier;
  if ((kind >= 4 && kind <= 6) || (kind >= 12 && kind <= 14)) {
    const std::uint32_t mark = kind >= 12 ? kind - 8 : kind;
    kind = m == 1.0f ? mark : mark + 8;
  }
  const TankWeapon* weapon = FindWeapon(kind);
  if (weapon == nullptr) {
    return 0;
  }
  PlayArenaSoundAt(Address(), weapon->sound | (isLocal != 0 ? 0 : SOUND_POSITIONAL), muzzle.x,
                   muzzle.y);
  Recoil(GetGameParamFloat(weapon->impulse), muzzle.heading, muzzle.pitch);
  // Only the shooter's own client reports the hits of its shots.
  CBulletPool::Fire(
      kind | flags, muzzle, Address(),
      static_cast<std::int32_t>(static_cast<float>(GetGameParamInt(weapon->damage)) * m),
      GetGameParamFloat(weapon->speed), isLocal, followShot);
  return kind | flags;
}

void CTank::Recoil(float impulse, float heading, float pitch) {
  const float air = GetGameParamFloat(PARAM_IMPULSE_RECOIL_AIR_FACTOR);
  AddVelocity(-impulse * r3xCosUnits(pitch) * r3xCosUnits(heading),
              -impulse * r3xCosUnits(pitch) * r3xSinUnits(heading),
              -impulse * r3xSinUnits(pitch) * air);
}

std::uint32_t CTank::GetHitSide(const float* point, float radius) const {
  R3xPlacement front{};
  if (bodyActor != nullptr) {
    r3xGetActorPlacement(bodyActor, &front);
  }
  R3xPlacement rear = front;
  const float ahead[3] = {2.0f, 0.0f, 0.0f};
  MoveAlongLocal(&front, ahead, 1.0f);
  MoveAlongLocal(&rear, ahead, -1.0f);
  auto square = [&](const R3xPlacement& p) {
    const float dx = point[0] - p.x;
    const float dy = point[1] - p.y;
    return dx * dx + dy * dy;
  };
  const float dA = square(front);
  const float dB = square(rear);
  const bool blast = radius > 0.0f;
  if (dB <= dA) {
    return blast && radius * radius > dA ? 3 : 2;
  }
  return blast && radius * radius > dB ? 3 : 1;
}

void CTank::ReportHit(std::uint32_t damage, std::uint32_t hitter, std::uint32_t side,
                      std::uint32_t modelCode) {
  const std::uint32_t kind = hitter & 0xFFFF0000u;
  if (isLocal == 0 &&
      (kind == KIND_DEFENSE || kind == KIND_PERSONAL_DEFENSE || kind == KIND_RECON_GUN)) {
    return;
  }
  arena::ByteWriter writer;
  writer.U32(Address());
  writer.U32(damage);
  writer.U32(side);
  writer.U32(hitter);
  writer.U32(modelCode);
  Post(kNetworkAddress, MSG_TANK_HIT, static_cast<std::uint32_t>(writer.bytes().size()),
       writer.bytes().data());
}

void CTank::DropFlares(float x, float y, float z, float heading, float pitch) {
  LaunchFlare(x, y, z, heading, pitch);
  Recoil(GetGameParamFloat(PARAM_FLARE_LAUNCH_IMPULSE), heading, pitch);
  if (isLocal != 0) {
    arena::ByteWriter writer;
    for (float value : {x, y, z, heading, pitch}) {
      writer.F32(value);
    }
    Post(kNetworkAddress, MSG_FIRE_FLARES, static_cast<std::uint32_t>(writer.bytes().size()),
         writer.bytes().data());
  }
}

void CTank::ResetState() {
  fireTrigger = stealthOn = cloakState = 0;
  damageLevel = 0;
  barrelPitch = turretHeading = 0.0f;
  flagContact = carriedFlag = 0;
  shieldBits = 0;
  uncloakedUntil = nextSmokeTime = gFrameTime;
}

void CTank::LaunchDebris() {
  driveForce = turnForce = 0.0f;
  damageLevel = -1;
  if (turretActor != nullptr && turretDebris.model == nullptr) {
    R3xPlacement placement{};
    r3xGetActorPlacement(turretActor, &placement);
    placement.pitch = static_cast<float>(std::rand() % 30 - 30 + 128);
    placement.heading = static_cast<float>(std::rand() % 511);
    r3xSetActorPlacement(gWorld, turretActor, &placement);
    turretDebris.spin = static_cast<float>(8 - std::rand() % 6);
    LaunchPart(turretDebris, turretActor, 2000.0f, 14.0f);
  }
  if (barrelActor != nullptr && barrelDebris.model == nullptr) {
    R3xPlacement placement{};
    r3xGetActorPlacement(barrelActor, &placement);
    placement.pitch = static_cast<float>(std::rand() % 30 - 30 + 128);
    placement.heading += static_cast<float>(std::rand() % 511);
    r3xSetActorPlacement(gWorld, barrelActor, &placement);
    barrelDebris.spin = static_cast<float>(8 - std::rand() % 6);
    LaunchPart(barrelDebris, barrelActor, 1000.0f, 16.0f);
  }
  R3xPlacement e = HullFirePoint(bodyActor);
  CExplosion::Spawn(1, &e.x);
  e.heading = e.pitch = e.roll = 0.0f;
  hullExplosion = CExplosion::Spawn(0, &e.x);
  dead = 1;
}

void CTank::StepDebris(TankDebris& debris, R3xActor* actor, bool spinHeading) {
  if (debris.model == nullptr) {
    return;
  }
  R3xPlacement out{};
  debris.model->IntegrateBallistic(&out);
  const float at[3] = {out.x, out.y, out.z};
  if (out.z > 0.0f && r3xFindRegionAt(gWorld, at) != nullptr) {
    auto spin = [&](float& angle) {
      angle += debris.spin;
      if (angle >= 512.0f) {
        angle -= 512.0f;
      }
    };
    if (spinHeading) {
      spin(debris.pose.heading);
    }
    spin(debris.pose.pitch);
    debris.pose.x = out.x;
    debris.pose.y = out.y;
    debris.pose.z = out.z;
    r3xSetActorPlacement(gWorld, actor, &debris.pose);
    return;
  }
  r3xSetActorHidden(actor, 1);
  CExplosion::Spawn(1, &out.x);
  const float above[3] = {out.x, out.y, out.z + 4.0f};
  CSmoke::Spawn(1, above, 3000);
  delete debris.model;
  debris.model = nullptr;
}

void CTank::UpdateDebris() {
  StepDebris(turretDebris, turretActor, true);
  StepDebris(barrelDebris, barrelActor, false);
  if (nextSmokeTime < gFrameTime) {
    R3xPlacement point{position[0], position[1], position[2], heading, pitch, roll, 0};
    const float above[3] = {0.0f, 0.0f, 7.0f};
    MoveAlongLocal(&point, above, 1.0f);
    if (r3xFindRegionAt(gWorld, &point.x) != nullptr) {
      CSmoke::Spawn(2, &point.x, 3000);
    }
    nextSmokeTime = gFrameTime + 400;
  }
  const bool moving = std::fabs(momentum[0]) >= 0.001f || std::fabs(momentum[1]) >= 0.001f ||
                      std::fabs(momentum[2]) >= 0.001f;
  if (hullExplosion != nullptr && moving) {
    R3xPlacement e = HullFirePoint(bodyActor);
    e.heading = e.pitch = e.roll = 0.0f;
    hullExplosion->SetPosition(e);
  }
}

void CTank::EndDebris(TankDebris& debris) {
  if (debris.model == nullptr) {
    return;
  }
  CExplosion::Spawn(1, &debris.model->pose.x);
  delete debris.model;
  debris.model = nullptr;
}

void CTank::Die() {
  dead = 0;
  if (hullExplosion != nullptr) {
    hullExplosion->Stop();
    hullExplosion = nullptr;
  }
  SpawnDeathExplosions();
  EndDebris(turretDebris);
  EndDebris(barrelDebris);
  if (turretActor != nullptr) {
    r3xSetActorHidden(turretActor, 0);
  }
  if (barrelActor != nullptr) {
    r3xSetActorHidden(barrelActor, 0);
  }
}

void CTank::SpawnDeathExplosions() {
  if (bodyActor == nullptr) {
    return;
  }
  const float offsets[3][3] = {{0.0f, 0.0f, 3.0f}, {-8.0f, 0.0f, 3.0f}, {8.0f, 0.0f, 3.0f}};
  for (const auto& offset : offsets) {
    R3xPlacement point{};
    r3xGetActorPlacement(bodyActor, &point);
    MoveAlongLocal(&point, offset, 1.0f);
    const float at[3] = {point.x, point.y, point.z};
    if (r3xFindRegionAt(gWorld, at) != nullptr) {
      CExplosion::Spawn(1, at);
      CSmoke::Spawn(2, at, 6000);
    }
  }
}
