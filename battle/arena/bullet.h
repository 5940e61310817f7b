// A shot in flight: cannon shells, lasers, chain gun, plasma, and the shots of defense objects and
// recon guns. It flies straight (two shell kinds on an arc), is swept through the world each
// frame, and at its first stopping contact reports the hit, pushes the tank it touched, spreads
// its splash and shows its impact. Bullets live in the bullet pool and are re-armed for new
// shots; a finished bullet is hidden and parked under the world's ceiling.
#pragma once

#include <cstdint>
#include <optional>

#include "battle/arena/motion_model.h"
#include "battle/arena/shot_hits.h"
#include "battle/core/vector3.h"
#include "common/mailbox.h"
#include "engine/r3x_collide.h"
#include "engine/r3x_core.h"

// The pose that the camera follows, or null: a shell's motion-model pose while the player's
// camera rides it. The player's vehicle camera reads it.
extern R3xPlacement* gCameraFollow;

// The kind word's sharpshooter bit: the shot flies "!Sharpshooter Range Multiplier" times longer
// and the camera never follows it.
inline constexpr std::uint32_t kSharpshooterBit = 0x1000000;

// What a shot learns of the tank it touched.
struct ShotTankFacts {
  bool isLocal = false;     // the local player's vehicle: no impact shown here
  bool designOpen = false;  // ... with its design screen open: not pushed
  std::uint32_t shieldBits = 0;
  std::int32_t side = 0;  // the hit side the tank tells for the shot's point
};

// What the touched tank is to do.
struct ShotTankOrders {
  bool report = false;  // CTank::ReportHit (damage, owner, side, model code)
  std::int32_t damage = 0;
  std::uint32_t owner = 0;
  std::int32_t side = 0;
  std::int32_t modelCode = 0;
  bool push = false;  // CRigidBody::AddVelocity (velocity)
  Vector3 velocity{};
};

// What a tank within a splash is to do; AddAngularVelocity with the rocking too when pushed.
struct SplashOrders {
  bool report = false;
  std::int32_t damage = 0;
  std::uint32_t owner = 0;
  std::int32_t side = 0;
  std::int32_t modelCode = 0;
  bool push = false;
  Vector3 velocity{};
  Vector3 angularVelocity{};
};

// The orders of a tank's share of a splash or blast: the report as the shot reports it, and the
// push unless the tank's design screen is open or the shot pushed it already.
SplashOrders OrdersOfShare(const BlastShare& share, bool report, std::uint32_t owner,
                           std::int32_t side, std::int32_t modelCode, bool designOpen, bool pushed);

class CBullet : public CMailbox {
 public:
  // A pooled bullet: kind 8, parked; without an actor when its parking point lies in no region
  // or its definition is missing.
  CBullet();
  // A launched bullet; without an actor (and not flying) when the kind is not a kind or the
  // muzzle lies in no region.
  CBullet(std::uint32_t kind, const R3xPlacement& pose, std::uint32_t owner, std::int32_t damage,
          float speed, std::uint32_t report);
  ~CBullet() override;

  // Re-arms a finished bullet for a new shot. A kind that is not a kind or a muzzle in no region
  // drops the shot: the bullet stays finished and parked.
  void Relaunch(std::uint32_t kind, const R3xPlacement& pose, std::uint32_t owner,
                std::int32_t damage, float speed, std::uint32_t report);
  // One frame of flight; the finished flag.
  std::uint32_t Update();
  void FollowWithCamera();
  // Lets go of the actor without destroying it: the world that held it is gone.
  void ForgetActor() { actor_ = nullptr; }

  // A direct hit on a tank, given what the tank tells: the impact shown here or not, the shield
  // colour, and what the tank is to do.
  ShotTankOrders HitTank(const ShotTankFacts& tank);
  // The splash's share for a tank whose body is at `position` with body radius `bodyRadius`;
  // nothing when it is beyond reach or behind solid ground. `pushed`: the tank touched, pushed
  // already.
  std::optional<SplashOrders> SplashOnTank(const Vector3& centre, const Vector3& position,
                                           float bodyRadius, const ShotTankFacts& tank,
                                           bool pushed) const;

  bool IsFinished() const { return finished_ != 0; }
  bool HasActor() const { return actor_ != nullptr; }
  R3xActor* Actor() const { return actor_; }
  std::int32_t Kind() const { return kind_; }
  std::int32_t Damage() const { return damage_; }
  std::int32_t HitClass() const { return hitClass_; }
  std::int32_t ModelCode() const { return modelCode_; }
  std::uint32_t Owner() const { return owner_; }
  bool Splashes() const { return noSplash_ == 0; }
  bool ShowsEffects() const { return effects_ != 0; }
  float SplashRadius() const { return splashRadius_; }
  std::uint32_t Expiry() const { return expiry_; }
  const R3xPlacement& Pose() const { return motion_.pose; }

 private:
  bool SetKind(std::uint32_t kind);
  void CreateActor();
  void StartFlight();
  // Finishes the bullet: hidden, given the empty volume and parked under the ceiling.
  std::uint32_t End();
  // The splash over every tank; none is pushed again when the direct hit pushed one.
  void ApplySplash(const R3xPlacement& at, bool pushed);
  void ShowHitEffects(const R3xPlacement& at);
  float Impulse() const;

  CMotionModel motion_;
  R3xActor* actor_ = nullptr;
  R3xVolume* volume_ = nullptr;
  std::uint32_t finished_ = 1;
  R3xPlacement launchPose_{};
  std::uint32_t sharpshooter_ = 0;
  std::uint32_t owner_ = 0;
  std::uint32_t report_ = 0;
  std::uint32_t noSplash_ = 1;
  std::uint32_t effects_ = 1;
  float speed_ = 0.0f;
  float splashRadius_ = 0.0f;
  std::int32_t damage_ = 0;
  std::int32_t hitClass_ = 5;
  std::int32_t sound_ = 0;
  std::int32_t kind_ = 8;
  std::int32_t modelCode_ = 0;
  std::uint32_t action_ = 0;
  float spin_ = 0.0f;
  std::uint32_t expiry_ = 0;
  std::uint32_t decay_ = 0;
};

// The next shot's address: KIND_BULLET with the low 16 bits of the shot counter, which counts
// every bullet made or launched.
std::uint32_t NextShotAddress();

// The sweep callbacks of a bullet (the user word): a shot never meets its owner; it meets another
// tank's small collision actor by its volume, defense objects and recon guns by their parts.
std::uint32_t BulletSweepFilter(R3xActor* actor, void* user);
// Stops at a solid touch and at any touch of an object, setting the shared mover's hit flag.
std::int32_t BulletSweepHit(R3xContact* contact, void* user, std::int32_t* pass,
                            std::int32_t* reportRemaining, float* backoff);
