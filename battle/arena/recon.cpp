#include "battle/arena/recon.h"

#include "base/byte_reader.h"
#include "battle/arena/actor_owner.h"
#include "battle/arena/arena_models.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/object_record.h"
#include "battle/core/frame_time.h"
#include "battle/core/log.h"
#include "common/messages.h"

LinkNode* gReconList = nullptr;

namespace {

constexpr std::size_t kCreateRecordBytes = 24;
constexpr std::uint32_t kFrameInterval = 100;  // ms

// The teams whose frames the drone has: 0 to 3 and every team.
bool IsKnownTeam(std::int32_t team) { return team >= 0 && team <= CRecon::kEveryTeam; }

}  // namespace

CRecon::CRecon(float x, float y, float z, std::uint32_t id, std::int32_t team,
               std::uint32_t deployed)
    : CMailbox(id), team_(team), deployed_(deployed) {
  if (!IsKnownTeam(team)) {
    LogPrintf(0, "recon %u of team %d ignored: there are teams 0-%d", id, team, kEveryTeam);
    return;
  }
  const R3xPlacement pose{x, y, z + kHoverHeight, 0.0f, 0.0f, 0.0f, 0};
  R3xActorDef* definition = FindArenaModel(kModelRecon);
  if (definition == nullptr || r3xFindRegionAt(gWorld, &pose.x) == nullptr) {
    return;
  }
  actor_ = r3xCreateActor(gWorld, definition, "Recon", &pose, r3xEmptyVolume(), nullptr, 1.0f, 1.0f,
                          ActorUserData(this));
  if (actor_ == nullptr) {
    return;
  }
  SetTeamFrames();
  nextFrameTime_ = gFrameTime + kFrameInterval;
  r3xSetActorCurrentAction(actor_, static_cast<std::uint32_t>(frame_));
  r3xSetActorRadius(actor_, CurrentPartRadius(actor_, 1.0f), 0);
  r3xSetActorScale(actor_, ModelTable[kModelRecon].scale, 1);
  listLink_.LinkTail(&gReconList, this);
}

CRecon::~CRecon() {
  if (actor_ != nullptr) {
    r3xDestroyActor(gWorld, actor_);
  }
}

int CRecon::IsActive() const { return deployed_ != 0 && capturing_ == 0 && carried_ == 0 ? 1 : 0; }

int CRecon::IsVisibleToTeam(std::int32_t team) const {
  return carried_ == 0 && (team_ == team || team_ == kEveryTeam) ? 1 : 0;
}

void CRecon::SetTeamFrames() {
  frame_ = team_ * 3;
  lastFrame_ = team_ * 3 + 2;
}

void CRecon::Update() {
  std::uint32_t length = 0;
  while (const MailboxMessagePtr message = Receive(length)) {
    arena::ByteReader reader(message->Bytes());
    if (message->type == MSG_RECON_CAPTURE) {
      const std::uint32_t capturing = reader.U32();
      const auto team = static_cast<std::int32_t>(reader.U32());
      if (!reader.ok() || (capturing != 0 && !IsKnownTeam(team))) {
        continue;
      }
      capturing_ = capturing;
      if (capturing != 0) {
        team_ = team;
      }
      SetTeamFrames();
    } else if (message->type == MSG_RECON_TEAM) {
      const auto team = static_cast<std::int32_t>(reader.U32());
      if (!reader.ok() || !IsKnownTeam(team)) {
        continue;
      }
      team_ = team;
      SetTeamFrames();
      capturing_ = 0;
    }
  }
  if (nextFrameTime_ < gFrameTime) {
    NextFrame();
    r3xSetActorCurrentAction(actor_, static_cast<std::uint32_t>(frame_));
    nextFrameTime_ = gFrameTime + kFrameInterval;
  }
}

void CRecon::NextFrame() {
  if (capturing_ == 0) {
    frame_ = frame_ >= lastFrame_ ? team_ * 3 : frame_ + 1;
  } else if (frame_ == lastFrame_) {
    frame_ = kFirstNeutralFrame;
  } else if (frame_ == kLastNeutralFrame) {
    frame_ = team_ * 3 + 1;
  } else {
    ++frame_;
  }
}

CRecon* FindRecon(std::uint32_t id) {
  for (LinkNode* node = gReconList; node != nullptr; node = node->next) {
    auto* recon = static_cast<CRecon*>(node->object);
    if (recon->Address() == id) {
      return recon;
    }
  }
  return nullptr;
}

void CreateRecon(std::span<const std::uint8_t> payload) {
  if (!IsWholeRecord(MSG_CREATE_RECON, payload, kCreateRecordBytes)) {
    return;
  }
  arena::ByteReader reader(payload);
  const float x = reader.F32();
  const float y = reader.F32();
  const float z = reader.F32();
  const std::uint32_t id = reader.U32();
  const auto team = static_cast<std::int32_t>(reader.U32());
  const std::uint32_t deployed = reader.U32();
  auto recon = std::make_unique<CRecon>(x, y, z, id, team, deployed);
  if (recon->IsListed()) {
    recon.release();  // the recon list owns it until the world stop
  }
}

void UpdateAllRecons() {
  for (LinkNode* node = gReconList; node != nullptr; node = node->next) {
    static_cast<CRecon*>(node->object)->Update();
  }
}

void DeleteAllRecons() {
  while (gReconList != nullptr) {
    delete static_cast<CRecon*>(gReconList->object);
  }
}

void CreateRecon(CGameSession& /*session*/, std::span<const std::uint8_t> payload) {
  CreateRecon(payload);
}

void UpdateAllRecons(CGameSession& /*session*/) { UpdateAllRecons(); }

void DeleteAllRecons(CGameSession& /*session*/) { DeleteAllRecons(); }
