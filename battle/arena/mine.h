// Mines: laid by the vehicles, owned by the server. The server's record makes one on every
// client; it falls to the ground and shows its team's colours, the local vehicle's touch of it is
// reported once, and on the server's order it detonates (a blast report to the local vehicle when
// it is within reach, a sound and an explosion) or disappears.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <span>

#include "battle/arena/motion_model.h"
#include "common/mailbox.h"
#include "engine/r3x_core.h"

class CMine : public CMailbox {
 public:
  static constexpr std::int32_t kDetonation = 1;
  static constexpr std::int32_t kProximity = 2;
  static constexpr std::int32_t kDeactivator = 3;

  // From the mine record {kind, mine id, team, owner word, x, y, z} (7 words).
  CMine(R3xWorld* world, std::span<const std::uint32_t, 7> record);
  ~CMine() override;

  // One frame: falls while it falls, takes its messages, detonates on order. Nonzero: done,
  // delete me.
  std::uint32_t Update();
  // The local vehicle (tank id, team) touched it along a clear line: the touch report to the
  // server, unless the vehicle is of the mine's team.
  void ReportHit(std::uint32_t tankId, std::int32_t tankTeam);
  // The blast on this client.
  void Detonate();

  bool IsTriggered() const { return triggered_ != 0; }
  bool IsFalling() const { return motion_ != nullptr; }
  std::int32_t Kind() const { return kind_; }
  std::int32_t ModelCode() const { return modelCode_; }
  std::uint32_t OwnerWord() const { return owner_; }
  R3xActor* Actor() const { return actor_; }
  const R3xPlacement& Pose() const { return pose_; }

 private:
  void CreateActor();

  std::uint32_t triggered_ = 0;
  std::int32_t kind_ = 0;
  std::int32_t team_ = 0;
  std::uint32_t owner_ = 0;
  R3xActor* actor_ = nullptr;
  R3xWorld* world_ = nullptr;
  R3xPlacement pose_{};
  std::int32_t modelCode_ = 0;
  std::uint32_t done_ = 0;
  std::unique_ptr<CMotionModel> motion_;
  float ground_ = 0.0f;
};

// The mines in the order laid.
extern std::list<std::unique_ptr<CMine>> gMineList;

// The session's MSG_CREATE_MINE: a mine from the record. A record shorter than its 28 bytes is
// dropped and logged.
void CreateMine(std::span<const std::uint8_t> payload);
// The frame's update; a mine done is deleted.
void UpdateAllMines();
// The world stop.
void DeleteAllMines();
