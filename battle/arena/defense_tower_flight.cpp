// The defense tower's flight (climb, level flight, descent and arrival), its sinking when
// destroyed, and its tracking and firing at its target.
#include <cmath>

#include "base/byte_writer.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_targets.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/defense_tower.h"
#include "battle/arena/explosion.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "battle/core/sound_code.h"
#include "battle/core/sound_table.h"
#include "common/messages.h"
#include "platform/kernel/random.h"

namespace {

constexpr float kPlaceSpeed = 12.0f;
constexpr float kCarryHover = 28.0f;
constexpr float kHover = 33.0f;
constexpr float kCarriedArrivalHover = 26.0f;
constexpr float kCeilingMargin = 1.5f;
constexpr float kCeilingHover = 3.5f;
constexpr float kStartBelowCeiling = 3.0f;
constexpr float kArrivalDistance = 0.8f;
constexpr float kSteeringDistance = 60.0f;
constexpr float kLeadFactor = 0.75f;
constexpr std::uint32_t kSinkExplosionInterval = 400;

constexpr std::uint32_t kTeamFireSound = SoundIndex("FIREDEFENSE");
constexpr std::uint32_t kPersonalFireSound = SoundIndex("SATFIRE");

bool IsInRegion(const R3xPlacement& pose) {
  return gWorld != nullptr && r3xFindRegionAt(gWorld, &pose.x) != nullptr;
}

// Speeds below 0.001 in magnitude count as none.
float SpeedOrZero(float speed) { return std::fabs(speed) < 0.001f ? 0.0f : speed; }

// The sinking tower's blasts, where a region holds the point.
void SpawnSinkExplosion(const R3xPlacement& at) {
  if (IsInRegion(at)) {
    CExplosion::Spawn(1, &at.x);
  }
}

float MovingSpeed() { return SpeedOrZero(GetGameParamFloat(PARAM_DEFENSE_MOVING_SPEED)); }

}  // namespace

void CDefenseTower::Place(float x, float y) {
  pose_.x = x;
  pose_.y = y;
  phase_ = kDescent;
  pose_.pitch = -128.0f;
  pose_.heading = 0.0f;
  motion_.pose = pose_;
  PlaceActor();
  Launch(kPlaceSpeed);
  UpdateGround();
  destination_.z = ground_ + (carrying_ != 0 ? kCarryHover : kHover);
  if (destination_.z > gWorldCeiling - kCeilingMargin) {
    destination_.z = gWorldCeiling - kCeilingHover;
  }
}

void CDefenseTower::Fly() {
  PlaceActor();
  motion_.Integrate(&pose_);
  switch (phase_) {
    case kClimb:
      Climb();
      break;
    case kLevel:
      FlyLevel();
      break;
    default:
      Descend();
      break;
  }
}

void CDefenseTower::Climb() {
  const bool outside = !IsInRegion(pose_);
  if (pose_.z <= destination_.z && !outside) {
    return;
  }
  motion_.Revert(&pose_);
  if (outside) {
    destination_.z = pose_.z;  // the climb ends at the last point inside
  }
  pose_.z = destination_.z;
  phase_ = kLevel;
  pose_.pitch = 0.0f;
  float pitch = 0.0f;
  GetHeadingPitch(&pose_.x, &destination_.x, &pose_.heading, &pitch);
  Launch(MovingSpeed());
  PlaceActor();
}

void CDefenseTower::FlyLevel() {
  const float d = FastDistance2D(&pose_.x, &destination_.x);
  if (d < kArrivalDistance) {
    Place(destination_.x, destination_.y);
    return;
  }
  if (d >= kSteeringDistance) {
    return;  // on at the cruising speed and heading
  }
  float pitch = 0.0f;
  GetHeadingPitch(&pose_.x, &destination_.x, &pose_.heading, &pitch);
  float speed = MovingSpeed() * 0.5f;
  if (d < 8.0f) {
    speed = 6.0f;
  } else if (d < 20.0f) {
    speed = 16.0f;
  }
  speed = SpeedOrZero(speed);
  motion_.targetSpeed = speed;
  motion_.speed = speed;
  motion_.previousSpeed = speed;
  motion_.push[0] = motion_.push[1] = motion_.push[2] = 0.0f;
  motion_.pose = pose_;
}

void CDefenseTower::Descend() {
  if (!IsInRegion(pose_)) {
    motion_.Revert(&pose_);
    destination_.z = pose_.z;  // a descent that leaves the world arrives where it is
    Arrive();
    return;
  }
  if (pose_.z < destination_.z) {
    Arrive();
  }
}

void CDefenseTower::Arrive() {
  pose_.x = destination_.x;
  pose_.y = destination_.y;
  pose_.z = destination_.z;
  Launch(0.0f);
  PlaceActor();
  arena::ByteWriter arrived;
  arrived.U32(Address());
  Post(kNetworkAddress, MSG_DEFENSE_ARRIVED, static_cast<std::uint32_t>(arrived.size()),
       arrived.bytes().data());
  if (carrying_ != 0) {
    state_ = kCarrying;
    destination_.z = ground_ + kCarriedArrivalHover;
  } else if (raising_ != 0) {
    beamOn_ = 1;
    state_ = kRaising;
  } else {
    state_ = target_ != 0 ? kTracking : kIdle;
  }
  ShowActor();
  if (savedVolume_ != nullptr) {
    r3xSetActorVolume(gWorld, actor_, savedVolume_);
  }
}

void CDefenseTower::Track(float range) {
  const ArenaTarget* tank =
      (target_ & 0xFFFF0000u) == KIND_TANK ? FindArenaTarget(target_) : nullptr;
  if (tank == nullptr || tank->bodyActor == nullptr) {
    state_ = kIdle;
    target_ = 0;
    return;
  }
  R3xPlacement aim{};
  r3xGetActorPlacement(tank->bodyActor, &aim);
  if (std::hypot(aim.x - pose_.x, aim.y - pose_.y) > range || gArenaMap == nullptr ||
      gArenaMap->IsSegmentClear(&pose_.x, &aim.x) < 1) {
    return;
  }
  if (tank->moving) {
    const float lead[6] = {tank->forwardSpeed * kLeadFactor, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    ComposeTransform(&aim, lead);
  }
  Fire(aim);
}

void CDefenseTower::Fire(const R3xPlacement& aim) {
  GetHeadingPitch(&pose_.x, &aim.x, &pose_.heading, &pose_.pitch);
  CBulletPool::Fire(personal_ != 0 ? 2 : 1, pose_, Address(),
                    GetGameParamInt(PARAM_DEFENSE_LAZER_DAMAGE),
                    GetGameParamFloat(PARAM_DEFENSE_LAZER_SPEED), 1, 0);
  const std::uint32_t sound = personal_ != 0 ? kPersonalFireSound : kTeamFireSound;
  PlayArenaSoundAt(Address(), SOUND_POSITIONAL | sound, pose_.x, pose_.y);
}

void CDefenseTower::Sink() {
  motion_.Integrate(&pose_);
  if (pose_.z <= ground_ + 1.0f) {
    motion_.Revert(&pose_);
    pose_.z = ground_ + 0.3f;
    SpawnSinkExplosion(pose_);
    pose_.z += 2.0f;
    SpawnSinkExplosion(pose_);
    sunk_ = 1;
    descending_ = 0;
    state_ = kSunk;
    pose_.z = gWorldCeiling - kStartBelowCeiling;
    motion_.pose = pose_;
    PlaceActor();
    r3xSetActorVolume(gWorld, actor_, r3xEmptyVolume());
    r3xSetActorHidden(actor_, 1);
    return;
  }
  if (nextTrackTime_ < gFrameTime) {
    nextTrackTime_ = gFrameTime + kSinkExplosionInterval;
    R3xPlacement at = pose_;
    at.x += static_cast<float>(platform::CrtRand() % 10) * 0.5f;
    at.y += static_cast<float>(platform::CrtRand() % 10) * 0.5f;
    SpawnSinkExplosion(at);
  }
}
