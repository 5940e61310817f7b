// CRecon: a recon drone, a hovering team marker that the server places. Its team changes through
// capture (the drone then alternates its team's frames with the neutral ones) and by the
// server's word; a defense tower may carry it, hiding it from every team's radar meanwhile.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "battle/core/list_link.h"
#include "common/mailbox.h"
#include "engine/r3x_core.h"

class CGameSession;

class CRecon : public CMailbox {
 public:
  static constexpr std::int32_t kEveryTeam = 4;
  static constexpr std::int32_t kFirstNeutralFrame = 13;
  static constexpr std::int32_t kLastNeutralFrame = 15;
  static constexpr float kHoverHeight = 28.0f;

  // From the record {x, y, z, id, team, deployed}: listed only when a region holds the point
  // 28.0 above the record's, with the "RECON_DEF" model and an actor made.
  CRecon(float x, float y, float z, std::uint32_t id, std::int32_t team, std::uint32_t deployed);
  ~CRecon() override;

  bool IsListed() const { return listLink_.GetNode() != nullptr; }
  void Update();
  // 1 when deployed, not being captured and not carried.
  int IsActive() const;
  // 1 when not carried and of the given team, or of every team.
  int IsVisibleToTeam(std::int32_t team) const;
  // Set and cleared by the defense tower that carries the drone.
  void SetCarried(std::uint32_t carried) { carried_ = carried; }

  std::int32_t Team() const { return team_; }
  std::int32_t Frame() const { return frame_; }
  std::uint32_t Capturing() const { return capturing_; }
  R3xActor* Actor() const { return actor_; }

 private:
  // The team's frames, team x 3 to team x 3 + 2, for a team 0 to 4; another team keeps the frames
  // it has.
  void SetTeamFrames();
  void NextFrame();

  CListLink listLink_;
  R3xActor* actor_ = nullptr;
  std::int32_t team_ = 0;
  std::uint32_t nextFrameTime_ = 0;
  std::int32_t frame_ = 0;
  std::int32_t lastFrame_ = 0;
  std::uint32_t capturing_ = 0;
  std::uint32_t deployed_ = 0;
  std::uint32_t carried_ = 0;
};

// The recon list: listed drones in creation order.
extern LinkNode* gReconList;

// The listed drone with this id, or null.
CRecon* FindRecon(std::uint32_t id);
// The session's MSG_CREATE_RECON: {x, y, z, id, team, deployed}. A drone that cannot be listed is
// deleted at once with its mailbox.
void CreateRecon(std::span<const std::uint8_t> payload);
void CreateRecon(CGameSession& session, std::span<const std::uint8_t> payload);
void UpdateAllRecons();
void UpdateAllRecons(CGameSession& session);
void DeleteAllRecons();
void DeleteAllRecons(CGameSession& session);
