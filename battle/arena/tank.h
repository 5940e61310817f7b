// CTank: every tank in the arena. A remote tank is created by the server's MSG_CREATE_TANK and
// moved by its state messages, between which it dead-reckons with its own physics; the local
// player's tank (CPlayerTank) derives from it. A tank is a rigid body with a mailbox whose
// address is the server's tank id, nine engine actors (the body, two invisible collision bodies
// with sphere lists, turret, barrel and four shields) and the state its update, physics and
// weapons work on. Every tank hangs on gTankList (tank_list.h).
//   tank.cpp          construction, chassis, part placement, visibility, removal
//   tank_update.cpp   the frame's messages, the state, cloak, engine sound and damage smoke
//   tank_physics.cpp  the move, the physics step, contacts and the sweep callbacks
//   tank_combat.cpp   firing, hits, flares, debris and death
#pragma once

#include <cstdint>
#include <span>

#include "battle/arena/rigid_body.h"
#include "battle/arena/tank_records.h"
#include "battle/core/list_link.h"
#include "common/mailbox.h"
#include "engine/r3x_collide.h"
#include "engine/r3x_core.h"

class CExplosion;
class CMotionModel;

// What a contact, a physics step and a move came to.
enum TankContact : std::int32_t {
  kTankContactNone = 0,
  kTankContactWall = 1,         // world contact, normal z below 0.5
  kTankContactSlope = 2,        // world contact, normal z below 0.999
  kTankContactFloor = 3,        // world contact
  kTankContactBlocked = 4,      // the move failed: momentum zeroed
  kTankContactLocalTank = 5,    // ran into the local player's tank
  kTankContactRemoteTank = 6,   // ran into another tank
  kTankContactOtherObject = 7,  // ran into an object that is not a tank: momentum zeroed
};

// A relative pose: x, y, z, heading, pitch, roll.
struct TankMount {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float heading = 0.0f;
  float pitch = 0.0f;
  float roll = 0.0f;
};

// A part thrown off a dying tank.
struct TankDebris {
  CMotionModel* model = nullptr;
  R3xPlacement pose{};
  float spin = 0.0f;
};

// 1 while the local player sees cloaked tanks (infra-red or the satellite view); set by the
// player's tank.
extern std::uint32_t gSeeCloaked;
// The camera's far distance beyond which remote tanks step least often; set by UpdateAllTanks.
extern float gTankZoneFarDistance;

class CTank : public CMailbox, public CRigidBody {
 public:
  // Builds the tank; on success it is on gTankList with `constructed` 1. A start outside the
  // world or a missing definition leaves it unfinished (see IsOnList).
  CTank(const TankCreateRecord& record, std::uint32_t local);
  ~CTank() override;
  CTank(const CTank&) = delete;
  CTank& operator=(const CTank&) = delete;

  // The tank behind a mailbox whose address is of kind KIND_TANK, else null.
  static CTank* FromMailbox(CMailbox* mailbox);
  // The tank an actor belongs to (its user data is the tank's mailbox), else null.
  static CTank* FromActor(const R3xActor* actor);

  // Chassis actions, radii, mass, mounts and sphere lists; -1 for a chassis outside 0-4, with
  // nothing changed.
  std::int32_t CreateCollisionSpheres(std::uint32_t chassis);
  void PlaceParts();
  void HideParts();
  void ShowParts();
  void UpdateShieldVisibility();
  void Kill();
  bool IsOnList() const { return listLink_.GetNode() != nullptr; }

  // tank_update.cpp
  std::uint32_t Update();
  void ApplyState(const TankStateRecord& record);
  void UpdateEngineSound();

  // tank_physics.cpp
  std::int32_t Move(float* outPose);
  std::int32_t SimulatePhysics(float dt);
  std::int32_t ApplyContacts(const R3xContact* contact, const float* point);
  void SmoothControls();

  // tank_combat.cpp
  std::uint32_t Fire(float multiplier);
  std::uint32_t FireShell(std::uint32_t word, const R3xPlacement& muzzle, float multiplier);
  std::uint32_t GetHitSide(const float* point, float radius) const;
  void ReportHit(std::uint32_t damage, std::uint32_t hitter, std::uint32_t side,
                 std::uint32_t modelCode);
  void DropFlares(float x, float y, float z, float heading, float pitch);
  void ResetState();
  void LaunchDebris();
  void UpdateDebris();
  void Die();
  void SpawnDeathExplosions();

  CListLink listLink_;
  std::uint32_t finished = 0;
  TankStateRecord receivedState{};
  std::uint32_t stateReceived = 0;
  R3xActor* bodyActor = nullptr;
  R3xActor* smallCollisionActor = nullptr;
  R3xActor* turretActor = nullptr;
  R3xActor* barrelActor = nullptr;
  R3xActor* mediumCollisionActor = nullptr;
  R3xActor* frontShieldActor = nullptr;
  R3xActor* rearShieldActor = nullptr;
  R3xActor* barrelShieldActor = nullptr;
  R3xActor* turretShieldActor = nullptr;
  TankMount hullMount;
  TankMount turretMount;
  TankMount barrelMount;
  TankDebris turretDebris;
  TankDebris barrelDebris;
  std::uint32_t turretStepTime = 0;
  std::uint32_t turretCommandTime = 0;
  float barrelPitch = 0.0f;
  float turretHeading = 0.0f;
  float barrelPitchTarget = 0.0f;
  float turretHeadingTarget = 0.0f;
  std::uint32_t team = 0;
  std::uint32_t weaponWord = 0;
  char name[kTankNameLength + 1] = {};
  std::uint32_t fireTrigger = 0;
  std::uint32_t score[4] = {};
  std::uint32_t isLocal = 0;
  std::uint32_t followShot = 0;
  std::uint8_t shieldBits = 0;
  std::uint32_t chassis = 0;
  std::uint32_t flagContact = 0;
  // The carried flag's id; the flag list resolves it (a word from the server is never an
  // address).
  std::uint32_t carriedFlag = 0;
  float groundHeight = 0.0f;
  float groundNormal[3] = {0.0f, 0.0f, 1.0f};
  std::int32_t damageLevel = 0;
  std::uint32_t stealthOn = 0;
  std::uint32_t cloakState = 0;
  std::uint32_t dead = 0;
  std::uint32_t alive = 0;
  std::uint32_t rocketThrust = 0;
  std::uint32_t airborne = 0;
  std::uint32_t upsideDown = 0;
  std::uint32_t notUpright = 0;
  std::uint32_t rocketFlight = 0;
  std::uint32_t moveTime = 0;
  std::uint32_t lastMoveTime = 0;
  std::uint32_t flipUnlockTime = 0;
  std::uint32_t framesSinceStep = 0;
  float timeSinceStep = 0.0f;
  float driveForce = 0.0f;
  float turnForce = 0.0f;
  float contactImpulse[3] = {};
  float contactAngularImpulse[3] = {};
  std::uint32_t uncloakedUntil = 0;
  std::uint32_t nextSmokeTime = 0;
  // The explosion that rides on the dying hull; a pool member, stopped, never freed, by the tank.
  CExplosion* hullExplosion = nullptr;
  std::uint32_t constructed = 0;
  // Cached parameters.
  float gravity = 0.0f;
  float levelingTorque = 0.0f;
  float levelingDamping = 0.0f;
  RigidBodyDrag levelingDrag;
  RigidBodyDrag linearFloorDrag;
  RigidBodyDrag angularFloorDrag;
  float turningThrustPoint = 0.0f;
  RigidBodyDrag driveDrag;
  float flipThrustMultiplier = 0.0f;

 private:
  // Construction steps 6-13; false where it stops.
  bool CreateActors(const char* tag, const R3xPlacement& at);
  void SettleOnGround();
  void HideAllParts();
  void ShowMainParts();
  // The cloak rule after a cloak or appearance message.
  void ApplyCloakRule();
  void HandleMessage(std::uint32_t type, std::span<const std::uint8_t> payload);
  void UpdateCloakAfterFiring();
  void EmitDamageSmoke(const float* pose);
  // The zone's step of a remote tank: whether it moves this frame.
  bool IsStepDue() const;
  void EndDebris(TankDebris& debris);
  void StepDebris(TankDebris& debris, R3xActor* actor, bool spinHeading);

 protected:
  // The kick back of a shot or launch of `impulse` along heading and pitch.
  void Recoil(float impulse, float heading, float pitch);
};

// The sweep callbacks of a tank's moves (the user word is the moving tank's mailbox): the world,
// other tanks' small collision bodies, mines and flags; other tanks' bodies only; and the hit
// answer that stops at walls and at tanks moved toward, passes mines and flags and notes a
// touched flag.
std::uint32_t TankSweepFilter(R3xActor* actor, void* user);
std::uint32_t TankOnlySweepFilter(R3xActor* actor, void* user);
std::int32_t TankSweepHit(R3xContact* contact, void* user, std::int32_t* pass, std::int32_t* report,
                          float* backoff);
