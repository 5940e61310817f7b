// CFlare: a flare that a tank drops. It flies off along its heading and pitch until its fuse
// runs out or it strikes a defense tower or recon gun, then burns in place for a while, lighting
// the arena around it with the shared lamp light, and ends. Flares have no mailbox: every client
// makes the same flares from the tank's announcement.
#pragma once

#include <cstdint>
#include <memory>

#include "battle/arena/motion_model.h"
#include "battle/arena/shared_lights.h"
#include "engine/r3x_collide.h"
#include "engine/r3x_core.h"

class CGameSession;

class CFlare : public CMotionModel {
 public:
  // At (x, y, z) with the heading and pitch, its roll the listener's; an angle that is not a
  // number or beyond kMaxAngleUnits is the listener's too. Listed only with the "FLARE_DEF" model
  // and an actor made.
  CFlare(float x, float y, float z, float heading, float pitch);
  ~CFlare();

  bool IsListed() const { return listLink.GetNode() != nullptr; }
  // 1 when the flare has burnt out and is to be deleted.
  int Update();

  bool IsLit() const { return lit_ != 0; }
  std::uint32_t Timer() const { return timer_; }
  R3xActor* Actor() const { return actor_; }
  // Whether the shared lamp was attached at ignition (not when its light could not be made).
  bool HasLamp() const { return lights_ != nullptr; }

 private:
  // Lights the lamp and starts the burning. A lamp whose light cannot be made leaves the flare
  // burning unlit for the same time.
  void Ignite();

  std::uint32_t timer_ = 0;
  std::uint32_t lit_ = 0;
  std::uint32_t done_ = 0;
  R3xActor* actor_ = nullptr;
  std::unique_ptr<CSharedLights> lights_;
};

// The flare list: listed flares in creation order.
extern LinkNode* gFlareList;

// Makes a flare and lists it; one that cannot be listed is deleted at once. The tanks call this.
void LaunchFlare(float x, float y, float z, float heading, float pitch);
// Deletes each flare whose update says it has burnt out.
void UpdateAllFlares();
void UpdateAllFlares(CGameSession& session);
void DeleteAllFlares();
void DeleteAllFlares(CGameSession& session);

// The flare's sweep: only defense towers and recon guns are met (tanks never stop a flare), as
// well as the world's solid obstacles.
std::uint32_t FlareSweepFilter(R3xActor* actor, void* flare);
std::int32_t FlareSweepHit(R3xContact* contact, void* flare, std::int32_t* pass,
                           std::int32_t* reportRemaining, float* backoff);
