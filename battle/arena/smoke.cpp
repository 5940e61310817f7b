#include "battle/arena/smoke.h"

#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/model_table.h"
#include "battle/arena/sprite_parts.h"
#include "battle/core/frame_time.h"
#include "battle/core/global_params.h"
#include "platform/kernel/random.h"

std::list<std::unique_ptr<CSmoke>> gSmokeList;

namespace {

constexpr int kPoolSize = 50;
constexpr std::uint32_t kFrameStep = 200;
constexpr std::uint32_t kRenderedActions = 16;
constexpr R3xRenderMethod kSmokeRenderBits = 0x1080000;

float RandomDrift() { return static_cast<float>(platform::CrtRand() % 10) * 0.004f; }

}  // namespace

CSmoke::CSmoke() {
  const float parking[3] = {0.0f, 0.0f,
                            gArenaMap != nullptr ? gArenaMap->GetMaxHeight() - 2.0f : 0.0f};
  Init(0, parking, 1);
}

CSmoke::~CSmoke() {
  if (actor_ != nullptr && gWorld != nullptr) {
    r3xDestroyActor(gWorld, actor_);
  }
}

CSmoke* CSmoke::Spawn(std::int32_t kind, const float* position, std::uint32_t duration) {
  for (const std::unique_ptr<CSmoke>& puff : gSmokeList) {
    if (puff != nullptr && puff->IsFinished()) {
      puff->Init(kind, position, duration);
      return puff.get();
    }
  }
  std::unique_ptr<CSmoke>& node = gSmokeList.emplace_front(std::make_unique<CSmoke>());
  node->Init(kind, position, duration);
  if (node->actor_ == nullptr) {
    node.reset();
    return nullptr;
  }
  return node.get();
}

void CSmoke::Init(std::int32_t kind, const float* position, std::uint32_t duration) {
  kind_ = kind;
  finished_ = 1;
  phase_ = 0;
  endTime_ = gFrameTime + duration;
  nextFrameTime_ = gFrameTime + kFrameStep;
  platform::CrtSrand(gFrameTime);
  if (gWorld == nullptr || r3xFindRegionAt(gWorld, position) == nullptr) {
    return;
  }
  const R3xPlacement at{position[0], position[1], position[2], 0.0f, 0.0f, 0.0f, -1};
  if (actor_ == nullptr) {
    R3xActorDef* definition = FindActorDef(ModelTable[kModelSmoke].definition);
    if (definition == nullptr) {
      return;
    }
    // No user data: a puff has no mailbox (it receives nothing), and the sweeps' filters take
    // an actor's user data for its owner's.
    actor_ = r3xCreateActor(gWorld, definition, "Smoke", &at, r3xNoCollisionVolume(), nullptr, 1.0f,
                            1.0f, 0);
    if (actor_ == nullptr) {
      return;
    }
  } else {
    r3xSetActorScale(actor_, 1.0f, 0);
    r3xSetActorPlacement(gWorld, actor_, &at);
    r3xSetActorHidden(actor_, 0);
  }
  firstFrame_ = kind == 2 ? 8 : 0;
  lastFrame_ = firstFrame_ + 3;
  frame_ = firstFrame_;
  driftX_ = RandomDrift();
  driftY_ = RandomDrift();
  rise_ = kind == 1 || kind == 2 ? 0.04f : 0.15f;
  for (std::uint32_t action = 0; action < kRenderedActions; ++action) {
    AddPartRenderBits(actor_, action, kSmokeRenderBits);
  }
  Select();
  float radius = 0.0f;
  if (r3xGetPartRadius(r3xGetActorPart(actor_, 0, 0), &radius) == 0) {
    r3xSetActorRadius(actor_, radius, 0);
  }
  finished_ = 0;
}

void CSmoke::Select() { r3xSetActorCurrentAction(actor_, static_cast<std::uint32_t>(frame_)); }

// Runs only on a started puff, which has its actor.
void CSmoke::Animate() {
  if (phase_ == 3) {
    return;
  }
  if (nextFrameTime_ < gFrameTime) {
    frame_ = frame_ < lastFrame_ ? frame_ + 1 : firstFrame_;
    Select();
    nextFrameTime_ = gFrameTime + kFrameStep;
  }
  if (phase_ == 1) {
    // The dissolving frames follow the rising ones.
    firstFrame_ += 4;
    lastFrame_ += 4;
    frame_ = firstFrame_;
    Select();
    phase_ = 2;
  }
  if (phase_ == 2) {
    if (frame_ == lastFrame_) {
      finished_ = 1;
      r3xSetActorScale(actor_, 1.0f, 0);
      r3xSetActorHidden(actor_, 1);
      r3xSetActorVolume(gWorld, actor_, r3xEmptyVolume());
      R3xPlacement placement{};
      r3xGetActorPlacement(actor_, &placement);
      placement.z = gWorldCeiling - 1.0f;
      r3xSetActorPlacement(gWorld, actor_, &placement);
    }
    return;
  }
  if (endTime_ < gFrameTime) {
    phase_ = 1;
    return;
  }
  R3xPlacement placement{};
  r3xGetActorPlacement(actor_, &placement);
  placement.x += driftX_;
  placement.y += driftY_;
  placement.z += rise_;
  if (gArenaMap == nullptr || gArenaMap->LayerAtPoint(&placement.x) == 0) {
    phase_ = 1;
    return;
  }
  r3xSetActorPlacement(gWorld, actor_, &placement);
}

void MakeSmokePool() {
  for (int i = 0; i < kPoolSize; ++i) {
    gSmokeList.emplace_front(std::make_unique<CSmoke>());
  }
}

void UpdateAllSmoke() {
  for (const std::unique_ptr<CSmoke>& puff : gSmokeList) {
    if (puff != nullptr && !puff->IsFinished()) {
      puff->Animate();
    }
  }
}

void DeleteAllSmoke() { gSmokeList.clear(); }
