// Missiles: the guided missile that its launcher steers, the phoenix missile and three effect
// missiles (deactivator, flash, battery drain) whose hit reports carry no damage, only their model
// codes. A missile flies under its motion model, is swept through the world each frame, trails
// exhaust, and ends at its first stopping contact, its expiry or the world's edge with a report
// or a blast, an explosion and a sound. The guided missile's launcher sends its state; the other
// clients apply it to their copies.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <span>

#include "battle/arena/bullet.h"
#include "battle/arena/motion_model.h"
#include "battle/core/vector3.h"
#include "common/mailbox.h"
#include "engine/r3x_collide.h"
#include "engine/r3x_core.h"

class CMissile : public CMailbox {
 public:
  static constexpr std::int32_t kGuided = 0;
  static constexpr std::int32_t kPhoenix = 1;
  static constexpr std::int32_t kDeactivator = 2;
  static constexpr std::int32_t kFlash = 3;
  static constexpr std::int32_t kBatteryDrain = 4;
  static constexpr std::size_t kStateBytes = 40;

  // From the launch pose (x, y, z, heading, pitch; roll and region word unused), kind, the
  // launching tank's id and whether this client reports its hits. Without actors (not to be
  // listed) for a kind outside 0 to 4, a launch point in no region or a missing model.
  CMissile(const R3xPlacement& pose, std::int32_t kind, std::uint32_t owner, std::uint32_t report);
  ~CMissile() override;

  bool IsMade() const { return actor_ != nullptr && exhaust_ != nullptr; }
  // One frame; nonzero when the missile is to be deleted.
  std::uint32_t Update();
  // The steering's state report to the other clients.
  void SendState();
  // A state report: the pose and the turn rates. A payload shorter than its 40 bytes is dropped
  // and logged.
  void ApplyState(std::span<const std::uint8_t> payload);
  // Ends the missile: explosion and sound. Nonzero unless it is the steered missile, which the
  // player's vehicle deletes.
  std::uint32_t Explode();

  // A direct hit on a tank, given what the tank tells: what the tank is to do. Reported only by
  // a missile without blast.
  ShotTankOrders HitTank(const ShotTankFacts& tank) const;
  // The blast's share for a tank whose body is at `position`: within the proximity radius + 20,
  // without a line-of-sight test. `pushed`: the tank touched, pushed already.
  std::optional<SplashOrders> BlastOnTank(const Vector3& centre, const Vector3& position,
                                          const ShotTankFacts& tank, bool pushed) const;

  bool IsFinished() const { return finished_ != 0; }
  bool IsSteered() const { return steered_ != 0; }
  // The steering player's turn and pitch rates, which the motion model turns toward.
  void Steer(float turnRate, float pitchRate) {
    motion_.targetHeadingRate = turnRate;
    motion_.targetPitchRate = pitchRate;
  }
  // The player lets the missile go: it flies on alone.
  void ReleaseSteering() { steered_ = 0; }
  bool Blasts() const { return noBlast_ == 0; }
  std::int32_t Kind() const { return kind_; }
  std::int32_t Damage() const { return damage_; }
  std::int32_t ModelCode() const { return modelCode_; }
  std::uint32_t Owner() const { return owner_; }
  std::uint32_t Expiry() const { return expiry_; }
  float ProximityRadius() const { return proximityRadius_; }
  R3xActor* Actor() const { return actor_; }
  R3xActor* Exhaust() const { return exhaust_; }
  const CMotionModel& Motion() const { return motion_; }
  // The frame time at which the steering next sends the state; the player's vehicle keeps it.
  std::uint32_t nextStateTime = 0;

 private:
  // The blast over every tank; none is pushed again when the direct hit pushed one.
  void ApplyBlast(const R3xPlacement& at, bool pushed);
  float Impulse() const;
  // Places the exhaust 2.5 behind the pose, with the pose's roll plus the spin; its placement.
  R3xPlacement PlaceExhaust(const R3xPlacement& pose);

  CMotionModel motion_;
  std::uint32_t finished_ = 0;
  R3xActor* actor_ = nullptr;
  R3xActor* exhaust_ = nullptr;
  float spin_ = 0.0f;
  std::uint32_t steered_ = 0;
  std::int32_t kind_ = 0;
  std::int32_t damage_ = 0;
  std::uint32_t report_ = 0;
  std::uint32_t expiry_ = 0;
  std::uint32_t owner_ = 0;
  std::int32_t modelCode_ = 0;
  std::uint32_t noBlast_ = 1;
  float proximityRadius_ = 0.0f;
};

// The guided missile that the local player steers (and the camera rides), or null. Set and
// cleared by the player's vehicle.
extern CMissile* gSteeredMissile;

// The listed missiles, in the order made.
extern std::list<std::unique_ptr<CMissile>> gMissileList;

// Lists a missile that was made, and deletes at once (with its mailbox) one that was not: it
// would never be updated, yet its mailbox would take the state reports meant for its address.
// The listed missile, or null.
CMissile* ListMissile(std::unique_ptr<CMissile> missile);
// The session's MSG_CREATE_MISSILE {owner, kind, x, y, z, heading, pitch}: a missile this client
// does not report. A record shorter than its 28 bytes is dropped and logged.
void CreateMissile(std::span<const std::uint8_t> payload);
// The frame's update; a missile to be deleted is.
void UpdateAllMissiles();
// The world stop.
void DeleteAllMissiles();

// A missile never meets its launcher's tank; it meets another tank's small collision actor by
// its volume and defense objects and recon guns (its launcher's own too) by their parts.
std::uint32_t MissileSweepFilter(R3xActor* actor, void* user);
// Stops at a solid touch and at any contact with a tank, defense object or recon gun.
std::int32_t MissileSweepHit(R3xContact* contact, void* user, std::int32_t* pass,
                             std::int32_t* reportRemaining, float* backoff);
