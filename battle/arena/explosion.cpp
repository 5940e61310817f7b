#include "battle/arena/explosion.h"

#include <array>

#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/sprite_parts.h"
#include "battle/core/frame_time.h"
#include "battle/core/global_params.h"

std::list<std::unique_ptr<CExplosion>> gExplosionList;

namespace {

constexpr int kPoolSize = 30;
constexpr R3xRenderMethod kBlastRenderBits = 0x1170000;

struct ExplosionKind {
  std::int32_t firstFrame;
  std::int32_t lastFrame;
  float rate;
  std::uint32_t looping;
  float scale;
};

// 0: a wreck's fire; 1: every other blast; 7: a tower's raise beam; 2 to 6 have no caller.
constexpr std::array<ExplosionKind, CExplosion::kKindCount> kExplosionKinds{{
    {0, 5, 0.012f, 1, 5.0f},
    {6, 15, 0.012f, 0, 6.0f},
    {18, 24, 0.012f, 0, 6.0f},
    {25, 27, 0.016f, 0, 4.0f},
    {28, 30, 0.016f, 0, 6.0f},
    {36, 38, 0.016f, 0, 4.0f},
    {39, 40, 0.016f, 0, 4.0f},
    {39, 42, 0.016f, 1, 1.0f},
}};

bool InsideWorld(const float* point) {
  return gWorld != nullptr && r3xFindRegionAt(gWorld, point) != nullptr;
}

}  // namespace

CExplosion::CExplosion() {
  looping_ = kExplosionKinds[1].looping;
  if (gArenaMap == nullptr) {
    return;
  }
  const float parking[3] = {0.0f, 0.0f, gArenaMap->GetMaxHeight() - 2.0f};
  if (gArenaMap->LayerAtPoint(parking) != 0) {
    Init(1, parking);
  }
}

CExplosion* CExplosion::Spawn(int kind, const float* position) {
  if (kind < 0 || kind >= kKindCount) {
    return nullptr;
  }
  CExplosion* chosen = nullptr;
  for (const std::unique_ptr<CExplosion>& member : gExplosionList) {
    if (member != nullptr && member->IsFinished()) {
      chosen = member.get();
      break;
    }
  }
  if (chosen == nullptr) {
    std::unique_ptr<CExplosion>& node =
        gExplosionList.emplace_front(std::make_unique<CExplosion>());
    node->Init(kind, position);
    if (node->actor_ == nullptr) {
      node.reset();
      return nullptr;
    }
    chosen = node.get();
  } else {
    chosen->Init(kind, position);
  }
  // A point outside every region leaves the member parked: nothing started.
  return chosen->IsFinished() ? nullptr : chosen;
}

void CExplosion::Init(int kind, const float* position) {
  const ExplosionKind& row = kExplosionKinds[static_cast<std::size_t>(kind)];
  looping_ = row.looping;
  scale_ = row.scale;
  if (!InsideWorld(position)) {
    return;
  }
  const R3xPlacement at{position[0], position[1], position[2], 0.0f, 0.0f, 0.0f, -1};
  if (actor_ == nullptr) {
    R3xActorDef* definition = FindActorDef("EXPLODE_DEF");
    if (definition == nullptr) {
      return;
    }
    // No user data: an explosion has no mailbox, and the sweeps' filters take an actor's user
    // data for its owner's.
    actor_ = r3xCreateActor(gWorld, definition, "2DSprite", &at, r3xNoCollisionVolume(), nullptr,
                            scale_, scale_, 0);
    if (actor_ == nullptr) {
      return;
    }
  } else {
    r3xSetActorHidden(actor_, 0);
  }
  SetKind(kind);
  r3xSetActorPlacement(gWorld, actor_, &at);
  if (kind <= 6) {
    for (std::int32_t action = 0; action <= lastFrame_; ++action) {
      AddPartRenderBits(actor_, static_cast<std::uint32_t>(action), kBlastRenderBits);
    }
  }
  r3xSetActorScale(actor_, scale_, 0);
  finished_ = 0;
}

void CExplosion::SetKind(int kind) {
  const ExplosionKind& row = kExplosionKinds[static_cast<std::size_t>(kind)];
  rate_ = row.rate;
  firstFrame_ = row.firstFrame;
  lastFrame_ = row.lastFrame;
  frame_ = firstFrame_;
  startTime_ = gFrameTime;
  if (actor_ != nullptr) {
    r3xSetActorCurrentAction(actor_, static_cast<std::uint32_t>(frame_));
  }
}

// Runs only on a started member, which has its actor.
int CExplosion::Animate() {
  const std::int32_t frame =
      firstFrame_ + static_cast<std::int32_t>(static_cast<float>(gFrameTime - startTime_) * rate_);
  if (frame == frame_) {
    return 0;
  }
  if (frame > lastFrame_) {
    startTime_ = gFrameTime;
    return 1;
  }
  frame_ = frame;
  r3xSetActorCurrentAction(actor_, static_cast<std::uint32_t>(frame_));
  if (drifting_ != 0) {
    R3xPlacement placement{};
    r3xGetActorPlacement(actor_, &placement);
    placement.x += drift_[0];
    placement.y += drift_[1];
    placement.z += drift_[2];
    if (!InsideWorld(&placement.x)) {
      return 1;
    }
    r3xSetActorPlacement(gWorld, actor_, &placement);
  }
  return 0;
}

void CExplosion::Stop() {
  finished_ = 1;
  drift_[0] = drift_[1] = drift_[2] = 0.0f;
  if (actor_ == nullptr) {
    return;
  }
  r3xSetActorHidden(actor_, 1);
  r3xSetActorVolume(gWorld, actor_, r3xEmptyVolume());
  R3xPlacement placement{};
  r3xGetActorPlacement(actor_, &placement);
  placement.z = gWorldCeiling - 2.0f;
  r3xSetActorPlacement(gWorld, actor_, &placement);
}

void CExplosion::SetDrift(float x, float y, float z) {
  drift_[0] = x;
  drift_[1] = y;
  drift_[2] = z;
  drifting_ = 1;
}

void CExplosion::SetPosition(const R3xPlacement& placement) {
  if (actor_ != nullptr) {
    r3xSetActorPlacement(gWorld, actor_, &placement);
  }
}

void MakeExplosionPool() {
  for (int i = 0; i < kPoolSize; ++i) {
    gExplosionList.emplace_front(std::make_unique<CExplosion>());
  }
}

void UpdateAllExplosions() {
  for (const std::unique_ptr<CExplosion>& member : gExplosionList) {
    if (member == nullptr || member->IsFinished()) {
      continue;
    }
    if (member->IsLooping()) {
      member->Animate();
    } else if (member->Animate() == 1) {
      member->Stop();
    }
  }
}

void DeleteAllExplosions() { gExplosionList.clear(); }
