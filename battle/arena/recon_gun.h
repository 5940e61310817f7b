// CReconGun: a fixed automatic turret that the server places for a team. Every second it picks
// the nearest living enemy tank within its range, every 1.5 seconds it fires a defense laser at
// it when a thin sweep finds the line clear, and it animates in its team's colours. The server
// moves it (a second creating record to its own address) or destroys it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "battle/core/list_link.h"
#include "common/mailbox.h"
#include "engine/r3x_collide.h"
#include "engine/r3x_core.h"

class CGameSession;

struct ReconGunRecord {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float range = 0.0f;
  std::uint32_t id = 0;
  std::int32_t team = 0;
};

class CReconGun : public CMailbox {
 public:
  static constexpr float kRaise = 40.0f;  // above the record's z
  static constexpr std::uint32_t kTargetInterval = 1000;
  static constexpr std::uint32_t kFireInterval = 1500;

  // Listed only for a team 0 to 3 whose raised point a region holds, with the "RECONGUN_DEF"
  // model and an actor made.
  explicit CReconGun(const ReconGunRecord& record);
  ~CReconGun() override;

  bool IsListed() const { return listLink_.GetNode() != nullptr; }
  // 1 when the server destroyed the gun: it is to be deleted.
  int Update();
  // The nearest tank of another team, not dead, strictly within the range; the first of equals.
  void AcquireTarget(float range);
  // A shot at the target when it is still listed and the line to it is clear.
  void Fire();
  // Tells the server of a hit on the gun.
  void ReportHit(std::uint32_t damage);

  std::uint32_t Target() const { return target_; }
  std::int32_t Team() const { return team_; }
  float Range() const { return range_; }
  const R3xPlacement& Pose() const { return pose_; }
  R3xActor* Actor() const { return actor_; }

 private:
  // Team and pose from a record; false (nothing changed) for a team outside 0 to 3.
  bool TakeRecord(const ReconGunRecord& record);
  void RestartFrames();

  CListLink listLink_;
  R3xActor* actor_ = nullptr;
  std::uint32_t target_ = 0;  // the target tank's address, 0 for none
  R3xPlacement pose_{};
  std::int32_t team_ = 0;
  float range_ = 0.0f;
  std::uint32_t nextFireTime_ = 0;
  std::uint32_t nextTargetTime_ = 0;
  std::uint32_t nextFrameTime_ = 0;
  std::int32_t frame_ = 0;
  std::int32_t lastFrame_ = 0;
};

// The recon-gun list: listed guns in creation order.
extern LinkNode* gReconGunList;

// The listed gun with this id, or null.
CReconGun* FindReconGun(std::uint32_t id);
// The session's MSG_CREATE_RECON_GUN: {x, y, z, range, id, team}. A gun that cannot be listed is
// deleted at once with its mailbox. The row's form takes the session.
void CreateReconGun(std::span<const std::uint8_t> payload);
void CreateReconGun(CGameSession& session, std::span<const std::uint8_t> payload);
// Deletes each gun whose update says it was destroyed.
void UpdateAllReconGuns();
void UpdateAllReconGuns(CGameSession& session);
void DeleteAllReconGuns();
void DeleteAllReconGuns(CGameSession& session);

// The line-of-sight sweep meets every actor of every tank by its volume and the defense towers'
// and recon guns' parts; nothing else.
std::uint32_t ReconGunSweepFilter(R3xActor* actor, void* gun);
