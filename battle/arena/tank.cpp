#include "battle/arena/tank.h"

#include <cstdio>
#include <cstring>

#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_view.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/explosion.h"
#include "battle/arena/flag.h"
#include "battle/arena/motion_model.h"
#include "battle/arena/mover.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/sound_code.h"
#include "common/messages.h"
#include "platform/win32.h"

std::uint32_t gSeeCloaked = 0;
float gTankZoneFarDistance = 0.0f;

namespace {

constexpr std::uint32_t kSoundTankDied = 45;
constexpr std::uint32_t kShieldActions = 5;
// Translucency level 2 (bits 16-19) and bit 24, ORed into every shield face.
constexpr R3xRenderMethod kShieldTranslucency = 0x01020000;

// The chassis's mounts and collision sphere lists.
struct ChassisShape {
  float hullZ;
  float turretX;
  float turretZ;
  float barrelX;
  float barrelZ;
  const char* smallSpheres;
  const char* mediumSpheres;
  // Upside down the hull sits this much further on the collision body's other side.
  float hullFlip;
};

constexpr ChassisShape kChassisShapes[kTankChassisCount] = {
    {-1.4f, -3.5f, 2.3f, 0.3f, -0.4f, "LSCOL_SPHRLDEF", "LMCOL_SPHRLDEF", -2.1f},
    {-1.35f, -2.0f, 1.9f, 1.2f, 0.7f, "VSCOL_SPHRLDEF", "VMCOL_SPHRLDEF", -2.0f},
    {-0.8f, 0.0f, 1.2f, 1.0f, 1.25f, "DSCOL_SPHRLDEF", "DMCOL_SPHRLDEF", -1.6f},
    {-0.9f, 0.2f, 1.0f, 1.2f, 0.6f, "CSCOL_SPHRLDEF", "CMCOL_SPHRLDEF", -2.8f},
    {-1.2f, -2.0f, 1.9f, 1.2f, 0.8f, "MSCOL_SPHRLDEF", "MMCOL_SPHRLDEF", 0.0f},
};

R3xActorDef* FindActorDef(const char* tag) {
  return reinterpret_cast<R3xActorDef*>(r3xFindTag(gWorld, tag));
}

void SelectAction(R3xActor* actor, std::uint32_t action) {
  if (actor == nullptr) {
    return;
  }
  r3xSetActorCurrentAction(actor, action);
  float radius = 0.0f;
  r3xGetPartRadius(r3xGetActorPart(actor, action, 0), &radius);
  r3xSetActorRadius(actor, radius, 0);
}

void SetHidden(R3xActor* actor, std::int32_t hidden) {
  if (actor != nullptr) {
    r3xSetActorHidden(actor, hidden);
  }
}

void DestroyActor(R3xActor*& actor) {
  if (actor != nullptr) {
    r3xDestroyActor(gWorld, actor);
    actor = nullptr;
  }
}

void PlaceActor(R3xActor* actor, const R3xPlacement& at) {
  if (actor != nullptr) {
    r3xSetActorPlacement(gWorld, actor, &at);
  }
}

void ComposeMount(R3xPlacement* placement, const TankMount& mount) {
  const float relative[6] = {mount.x, mount.y, mount.z, mount.heading, mount.pitch, mount.roll};
  ComposeTransform(placement, relative);
}

// Gives a shield actor private copies of its parts, made translucent.
void MakeShieldTranslucent(R3xActor* shield) {
  const R3xIndirectRenderMethods* indirect =
      gRenderContext != nullptr ? &gRenderContext->indirect : nullptr;
  for (std::uint32_t action = 0; action < kShieldActions; ++action) {
    R3xObjectHeader* part = r3xGetActorPart(shield, action, 0);
    if (part == nullptr || part->type != R3X_TYPE_3D_SPRITE) {
      continue;
    }
    R3x3DSprite* copy = r3xCopy3DSprite(gWorld, reinterpret_cast<R3x3DSprite*>(part), nullptr);
    if (copy == nullptr) {
      continue;
    }
    r3xReplaceActorPart(shield, action, 0, reinterpret_cast<R3xObjectHeader*>(copy));
    reinterpret_cast<R3xObjectHeader*>(copy)->flags |= R3X_FLAG_TRANSFORM_DIRTY;
    const std::uint32_t faces = r3xGet3DSpriteFaceCount(r3xGet3DSpriteDef(copy));
    for (std::uint32_t face = 0; face < faces; ++face) {
      r3xSet3DSpriteFaceRenderMethod(
          indirect, copy, face, r3xGet3DSpriteFaceRenderMethod(copy, face) | kShieldTranslucency);
    }
  }
}

}  // namespace

CTank::CTank(const TankCreateRecord& record, std::uint32_t local) {
  moveTime = lastMoveTime = flipUnlockTime = timeGetTime();
  turretStepTime = turretCommandTime = uncloakedUntil = nextSmokeTime = gFrameTime;
  isLocal = local;
  chassis = record.chassis;
  SetAddress(record.id);
  team = record.team;
  gravity = GetGameParamFloat(PARAM_DOWNWARD_FORCE_OF_GRAVITY);
  levelingTorque = GetGameParamFloat(PARAM_LEVELING_TORQUE_OF_GRAVITY);
  levelingDamping = GetGameParamFloat(PARAM_LEVELING_DAMPING_FACTOR);
  levelingDrag = {GetGameParamFloat(PARAM_LEVELING_DRAG_LINEAR_FACTOR),
                  GetGameParamFloat(PARAM_LEVELING_DRAG_CONSTANT_FACTOR)};
  linearFloorDrag = {GetGameParamFloat(PARAM_LINEAR_FLOOR_DRAG_LINEAR_FACTOR),
                     GetGameParamFloat(PARAM_LINEAR_FLOOR_DRAG_CONSTANT_FACTOR)};
  angularFloorDrag = {GetGameParamFloat(PARAM_ANGULAR_FLOOR_DRAG_LINEAR_FACTOR),
                      GetGameParamFloat(PARAM_ANGULAR_FLOOR_DRAG_CONSTANT_FACTOR)};
  flipThrustMultiplier = GetGameParamFloat(PARAM_FLIPPING_THRUST_MULTIPLIER);

  for (int i = 0; i < 3; ++i) {
    position[i] = record.position[i];
    momentum[i] = record.momentum[i];
    angularMomentum[i] = record.angularMomentum[i];
  }
  heading = record.angles[0];
  pitch = record.angles[1];
  roll = record.angles[2];
  SetOrientationFromAngles();

  // The name field keeps 12 characters; the record's parser has cut it already.
  std::strncpy(name, record.name.c_str(), kTankNameLength);
  char tag[sizeof name + 8];
  std::snprintf(tag, sizeof tag, "\nTANK:%s", name);
  const R3xPlacement at{position[0], position[1], position[2], heading, pitch, roll, 0};
  if (gWorld == nullptr || gMover == nullptr || r3xFindRegionAt(gWorld, position) == nullptr ||
      !CreateActors(tag, at)) {
    return;
  }
  CreateCollisionSpheres(chassis);
  if (isLocal == 0) {
    ShowMainParts();
    UpdateShieldVisibility();
  } else {
    HideAllParts();
  }
  PlaceParts();
  listLink_.LinkHead(&gTankList, this);
  alive = 1;
  SettleOnGround();
  RaiseTo(groundHeight + GetGameParamFloat(PARAM_NO_GRAVITY_ZONE_HEIGHT) - 0.001f);
  constructed = 1;
  if (chassis == 3) {
    stealthOn = 1;
    cloakState = 1;
    HideAllParts();
  }
}

bool CTank::CreateActors(const char* tag, const R3xPlacement& at) {
  const std::uintptr_t self = reinterpret_cast<std::uintptr_t>(static_cast<CMailbox*>(this));
  auto create = [&](const char* definitionTag, std::uintptr_t user) -> R3xActor* {
    R3xActorDef* definition = FindActorDef(definitionTag);
    if (definition == nullptr) {
      return nullptr;
    }
    return r3xCreateActor(gWorld, definition, tag, &at, nullptr, nullptr, 1.0f, 1.0f, user);
  };
  bodyActor = create("TANK_ACTORDEF", self);
  smallCollisionActor = create("TANK_COLLISION_ACTORDEF", self);
  mediumCollisionActor = create("TANK_COLLISION_ACTORDEF", self);
  if (bodyActor == nullptr || smallCollisionActor == nullptr || mediumCollisionActor == nullptr) {
    return false;
  }
  r3xSetActorHidden(smallCollisionActor, 1);
  r3xSetActorHidden(mediumCollisionActor, 1);
  turretActor = create("TURRET_ACTORDEF", self);
  if (turretActor == nullptr) {
    return false;
  }
  barrelActor = create("BARRELL_ACTORDEF", self);
  if (barrelActor == nullptr) {
    return false;
  }
  // The shields carry the tank object itself; a tank's sweep filters pass them by, as they are not
  // its small collision body.
  const std::uintptr_t object = reinterpret_cast<std::uintptr_t>(this);
  R3xActor** shields[] = {&frontShieldActor, &rearShieldActor, &barrelShieldActor,
                          &turretShieldActor};
  const char* shieldTags[] = {"FSHIELD_ACTORDEF", "RSHIELD_ACTORDEF", "BSHIELD_ACTORDEF",
                              "TSHIELD_ACTORDEF"};
  for (int i = 0; i < 4; ++i) {
    *shields[i] = create(shieldTags[i], object);
    if (*shields[i] == nullptr) {
      return false;
    }
    MakeShieldTranslucent(*shields[i]);
  }
  return true;
}

void CTank::SettleOnGround() {
  groundHeight = gMover->FollowTerrain(mediumCollisionActor, groundNormal);
  const bool tilted = (pitch > 1.0f && pitch < 511.0f) || (roll > 1.0f && roll < 511.0f);
  if (groundHeight <= 0.0f || position[2] - groundHeight > 5.0f || tilted) {
    const MoverCallbacks probe{TankOnlySweepFilter, nullptr, static_cast<CMailbox*>(this)};
    groundHeight = gMover->ProbeGround(mediumCollisionActor, nullptr, probe);
  }
}

CTank::~CTank() {
  if (hullExplosion != nullptr) {
    hullExplosion->Stop();
    hullExplosion = nullptr;
  }
  DestroyActor(frontShieldActor);
  DestroyActor(rearShieldActor);
  DestroyActor(turretShieldActor);
  DestroyActor(barrelShieldActor);
  DestroyActor(smallCollisionActor);
  DestroyActor(mediumCollisionActor);
  DestroyActor(turretActor);
  delete turretDebris.model;
  DestroyActor(barrelActor);
  delete barrelDebris.model;
  DestroyActor(bodyActor);
}

CTank* CTank::FromMailbox(CMailbox* mailbox) {
  if (mailbox == nullptr || (mailbox->Address() & 0xFFFF0000u) != KIND_TANK) {
    return nullptr;
  }
  // Addresses are the server's words: a mine may bear a tank's kind.
  return dynamic_cast<CTank*>(mailbox);
}

CTank* CTank::FromActor(const R3xActor* actor) {
  if (actor == nullptr) {
    return nullptr;
  }
  return FromMailbox(reinterpret_cast<CMailbox*>(r3xGetActorUserData(actor)));
}

std::int32_t CTank::CreateCollisionSpheres(std::uint32_t newChassis) {
  // A chassis outside the table selects no action and reads no row.
  if (newChassis >= kTankChassisCount) {
    return -1;
  }
  chassis = newChassis;
  const std::uint32_t action = team + 4 * chassis;
  SelectAction(bodyActor, action);
  SelectAction(turretActor, action);
  SelectAction(barrelActor, team);
  for (R3xActor* shield :
       {frontShieldActor, rearShieldActor, barrelShieldActor, turretShieldActor}) {
    SelectAction(shield, chassis);
  }
  mass = GetGameParamFloat(PARAM_DIZURORUV_MASS + chassis);
  inertia = GetGameParamFloat(PARAM_DIZURORUV_MOMENT_OF_INERTIA + chassis);
  turningThrustPoint = GetGameParamFloat(PARAM_DIZURORUV_TURNING_THRUST_POINT + chassis);
  driveDrag = {GetGameParamFloat(PARAM_DIZURORUV_DRIVE_DRAG_LINEAR + chassis),
               GetGameParamFloat(PARAM_DIZURORUV_DRIVE_DRAG_CONSTANT + chassis)};
  SetMass(mass);
  SetInertia(inertia);
  const ChassisShape& shape = kChassisShapes[chassis];
  hullMount = {};
  turretMount = {};
  barrelMount = {};
  hullMount.z = shape.hullZ;
  turretMount.x = shape.turretX;
  turretMount.z = shape.turretZ;
  barrelMount.x = shape.barrelX;
  barrelMount.z = shape.barrelZ;
  const std::pair<const char*, R3xActor*> lists[] = {{shape.smallSpheres, smallCollisionActor},
                                                     {shape.mediumSpheres, mediumCollisionActor}};
  for (const auto& [sphereTag, actor] : lists) {
    auto* definition = reinterpret_cast<R3xSphereListDef*>(r3xFindTag(gWorld, sphereTag));
    R3xSphereList* instance = r3xCreateSphereList(gWorld, definition);
    if (instance == nullptr || actor == nullptr) {
      continue;
    }
    r3xSetActorVolume(gWorld, actor, reinterpret_cast<R3xVolume*>(instance));
    r3xSetActorRadius(actor, definition->radius, 0);
    r3xDestroySphereList(gWorld, instance);
  }
  return 0;
}

void CTank::PlaceParts() {
  float c = r3xCosUnits(pitch) * r3xCosUnits(roll);
  if (c > 0.0f) {
    c = 0.0f;
  }
  const ChassisShape& shape = kChassisShapes[chassis < kTankChassisCount ? chassis : 0];
  hullMount = {};
  hullMount.z = c * shape.hullFlip + shape.hullZ;
  const R3xPlacement ground{position[0], position[1], position[2], heading, pitch, roll, 0};
  PlaceActor(mediumCollisionActor, ground);
  if (CFlag* flag = carriedFlag != 0 ? FindFlag(carriedFlag) : nullptr) {
    flag->PlaceAt(ground);
  }
  R3xPlacement hull = ground;
  ComposeMount(&hull, hullMount);
  for (R3xActor* actor : {bodyActor, smallCollisionActor, frontShieldActor, rearShieldActor}) {
    PlaceActor(actor, hull);
  }
  turretMount.heading = turretHeading;
  R3xPlacement turret = hull;
  ComposeMount(&turret, turretMount);
  PlaceActor(turretActor, turret);
  PlaceActor(turretShieldActor, turret);
  barrelMount.pitch = barrelPitch;
  R3xPlacement barrel = turret;
  ComposeMount(&barrel, barrelMount);
  PlaceActor(barrelActor, barrel);
  PlaceActor(barrelShieldActor, barrel);
}

void CTank::HideAllParts() {
  for (R3xActor* actor : {bodyActor, turretActor, barrelActor, frontShieldActor, rearShieldActor,
                          barrelShieldActor, turretShieldActor}) {
    SetHidden(actor, 1);
  }
}

void CTank::ShowMainParts() {
  SetHidden(bodyActor, 0);
  SetHidden(turretActor, 0);
  SetHidden(barrelActor, 0);
}

void CTank::HideParts() { HideAllParts(); }

void CTank::ShowParts() {
  ShowMainParts();
  UpdateShieldVisibility();
}

void CTank::UpdateShieldVisibility() {
  if (bodyActor == nullptr || r3xIsActorHidden(bodyActor) != 0) {
    return;
  }
  const std::int32_t frontDown = (shieldBits & 0xF0) == 0 ? 1 : 0;
  const std::int32_t rearDown = (shieldBits & 0x0F) == 0 ? 1 : 0;
  SetHidden(frontShieldActor, frontDown);
  SetHidden(barrelShieldActor, frontDown);
  SetHidden(rearShieldActor, rearDown);
  SetHidden(turretShieldActor, rearDown);
}

void CTank::Kill() {
  if (chassis < kTankChassisCount) {
    PlayArenaSoundAt(Address(), kSoundTankDied | SOUND_POSITIONAL, position[0], position[1]);
  }
  Die();
  finished = 1;
}
