// CFlag: a team flag that the server places. It lies on the ground until a tank takes it, rides
// with its carrier (placed each frame at the carrier's pose) until it is dropped, falls back to
// the ground in one step and can be taken again after a short delay. Carriers name the flag by
// its id and look it up with FindFlag, so that a flag that is gone is never reached.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "battle/arena/motion_model.h"
#include "battle/core/list_link.h"
#include "common/mailbox.h"
#include "engine/r3x_core.h"

class CGameSession;

class CFlag : public CMailbox {
 public:
  static constexpr std::uint32_t kPickUpDelay = 1500;  // ms after a drop
  static constexpr float kDropHeight = 4.0f;           // above the ground, after a drop
  static constexpr float kCarryHeight = 3.0f;          // above the carrier's point
  static constexpr float kLowerStep = 0.2f;
  // The lowerings PlaceAt tries: a carrier whose own point lies in a region needs 15 at most.
  static constexpr int kMaxLowerings = 15;

  // Listed only for a team 0 to 15 with the "FLAG_DEF" model and an actor made; with a carrier
  // id, that carrier is told at once (a local MSG_FLAG_TAKEN with this flag's id), yet the flag
  // starts free where the record puts it.
  CFlag(std::uint32_t id, std::int32_t team, float x, float y, float z, std::uint32_t carrier);
  ~CFlag() override;

  bool IsListed() const { return listLink_.GetNode() != nullptr; }
  // The messages, the fall after a drop and the end of the pick-up delay.
  void Update();
  // While carried: the carrier's pose raised by 3.0, lowered in steps of 0.2 until a region
  // holds it. When none of the steps lands in a region the flag keeps its last placement.
  void PlaceAt(const R3xPlacement& carrierPose);
  // Frees the flag where it is; with report (the own tank drops it) the server is told first.
  void Drop(int report);

  bool IsFree() const { return free_ != 0; }
  std::uint32_t PickUpTimer() const { return pickUpTimer_; }
  std::int32_t Action() const { return action_; }
  const R3xPlacement& Pose() const { return pose_; }
  R3xActor* Actor() const { return actor_; }

 private:
  void PlaceActor();
  // Gives the actor a copy of the volume it was made with.
  void RestoreVolume();

  CListLink listLink_;
  R3xPlacement pose_{};
  std::int32_t action_ = 0;
  R3xActor* actor_ = nullptr;
  float ground_ = 0.0f;
  // From a drop until the next update.
  std::unique_ptr<CMotionModel> motion_;
  R3xVolume* savedVolume_ = nullptr;
  std::uint32_t pickUpTimer_ = 0;
  std::uint32_t free_ = 1;
};

// The flag list: listed flags in creation order.
extern LinkNode* gFlagList;

// The listed flag with this id, or null.
CFlag* FindFlag(std::uint32_t id);
// The session's MSG_CREATE_FLAG: {id, team, x, y, z, carrier}. A record shorter than 24 bytes is
// dropped and logged; a flag that cannot be listed is deleted at once with its mailbox.
void CreateFlag(std::span<const std::uint8_t> payload);
void CreateFlag(CGameSession& session, std::span<const std::uint8_t> payload);
void UpdateAllFlags();
void UpdateAllFlags(CGameSession& session);
void DeleteAllFlags();
void DeleteAllFlags(CGameSession& session);
