#include "battle/arena/flare.h"

#include <cmath>

#include "battle/arena/actor_owner.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_models.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/mover.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "common/messages.h"

LinkNode* gFlareList = nullptr;

namespace {

constexpr float kMotionLimit = 500.0f;
constexpr float kStopBackoff = 0.8f;

// Speeds below 0.001 in magnitude count as none.
float SpeedOrZero(float speed) { return std::fabs(speed) < 0.001f ? 0.0f : speed; }

bool IsStoppingKind(std::uint32_t kind) {
  return kind == KIND_PERSONAL_DEFENSE || kind == KIND_DEFENSE || kind == KIND_RECON_GUN;
}

void Stop(CMotionModel& motion) {
  motion.targetSpeed = 0.0f;
  motion.speed = 0.0f;
  motion.previousSpeed = 0.0f;
  motion.push[0] = motion.push[1] = motion.push[2] = 0.0f;
}

}  // namespace

CFlare::CFlare(float x, float y, float z, float heading, float pitch) {
  timer_ = gFrameTime + static_cast<std::uint32_t>(GetGameParamInt(PARAM_FLARE_FUSE));
  R3xActorDef* definition = FindArenaModel(kModelFlare);
  if (definition == nullptr) {
    return;
  }
  // The tank's values come from the wire: an angle that is not a number or beyond any turn
  // keeps the listener's.
  pose = gListenerPlacement;
  SetPose(x, y, z, heading, pitch, pose.roll);
  SetLimits(kMotionLimit, kMotionLimit, kMotionLimit, kMotionLimit, kMotionLimit);
  const float speed = SpeedOrZero(GetGameParamFloat(PARAM_FLARE_SPEED));
  targetSpeed = speed;
  this->speed = speed;
  previousSpeed = speed;
  push[0] = push[1] = push[2] = 0.0f;
  actor_ = r3xCreateActor(gWorld, definition, "Flare", &pose, r3xNoCollisionVolume(), nullptr, 1.0f,
                          1.0f, 0);
  if (actor_ == nullptr) {
    return;
  }
  r3xSetActorCurrentAction(actor_, 0);
  listLink.LinkTail(&gFlareList, this);
}

CFlare::~CFlare() {
  lights_.reset();
  if (actor_ != nullptr) {
    r3xDestroyActor(gWorld, actor_);
  }
}

int CFlare::Update() {
  if (done_ != 0) {
    return 1;
  }
  if (timer_ < gFrameTime) {
    if (lit_ == 0) {
      Ignite();
      return 0;
    }
    done_ = 1;
    return 1;
  }
  if (lit_ != 0) {
    return 0;
  }
  R3xPlacement q{};
  r3xGetActorPlacement(actor_, &q);
  pose = q;
  Integrate(&q);
  const MoverCallbacks callbacks{FlareSweepFilter, FlareSweepHit, this, R3X_SWEEP_EXACT};
  const R3xContact* contact = gMover != nullptr ? gMover->MoveTo(actor_, &q.x, callbacks) : nullptr;
  if (contact != nullptr) {
    Revert(&q);
  }
  r3xSetActorPlacement(gWorld, actor_, &q);
  if (contact != nullptr) {
    Ignite();
  }
  return 0;
}

void CFlare::Ignite() {
  if (lights_ == nullptr) {
    lights_ = std::make_unique<CSharedLights>(gWorld);
    if (!lights_->HasLight()) {
      lights_.reset();  // no light to be had: the flare burns unlit
    }
  }
  if (lights_ != nullptr) {
    lights_->AttachFixed(actor_, GetGameParamFloat(PARAM_FLARE_LIGHT_RADIUS));
  }
  timer_ = gFrameTime + static_cast<std::uint32_t>(GetGameParamInt(PARAM_FLARE_DURATION));
  Stop(*this);
  lit_ = 1;
}

void LaunchFlare(float x, float y, float z, float heading, float pitch) {
  auto flare = std::make_unique<CFlare>(x, y, z, heading, pitch);
  if (flare->IsListed()) {
    flare.release();  // the flare list owns it until it burns out
  }
}

void UpdateAllFlares() {
  LinkNode* node = gFlareList;
  while (node != nullptr) {
    auto* flare = static_cast<CFlare*>(node->object);
    node = node->next;
    if (flare->Update() != 0) {
      delete flare;
    }
  }
}

void DeleteAllFlares() {
  while (gFlareList != nullptr) {
    delete static_cast<CFlare*>(gFlareList->object);
  }
}

std::uint32_t FlareSweepFilter(R3xActor* actor, void* /*flare*/) {
  return IsStoppingKind(ActorOwnerKind(actor)) ? R3X_SWEEP_PARTS : R3X_SWEEP_IGNORE;
}

std::int32_t FlareSweepHit(R3xContact* contact, void* /*flare*/, std::int32_t* pass,
                           std::int32_t* reportRemaining, float* backoff) {
  *pass = contact->phase == R3X_CONTACT_TOUCH && contact->passable == 0 ? 0 : 1;
  *reportRemaining = 0;
  *backoff = kStopBackoff;
  if (contact->contactClass == R3X_CONTACT_OBJECT &&
      IsStoppingKind(ActorOwnerKind(static_cast<const R3xActor*>(contact->target)))) {
    *pass = 0;
  }
  if (*pass == 0 && gMover != nullptr) {
    gMover->hitFlag = 1;
  }
  return 0;
}

void UpdateAllFlares(CGameSession& /*session*/) { UpdateAllFlares(); }

void DeleteAllFlares(CGameSession& /*session*/) { DeleteAllFlares(); }
