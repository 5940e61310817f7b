#include "battle/arena/flag.h"

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "battle/arena/actor_owner.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_models.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/object_record.h"
#include "battle/core/frame_time.h"
#include "common/messages.h"

LinkNode* gFlagList = nullptr;

namespace {

constexpr std::int32_t kTeamCount = 16;
constexpr std::size_t kCreateRecordBytes = 24;

bool IsInRegion(const R3xPlacement& pose) {
  return gWorld != nullptr && r3xFindRegionAt(gWorld, &pose.x) != nullptr;
}

}  // namespace

CFlag::CFlag(std::uint32_t id, std::int32_t team, float x, float y, float z, std::uint32_t carrier)
    : CMailbox(id), action_(team % 4) {
  if (team < 0 || team >= kTeamCount) {
    return;
  }
  pose_ = {x, y, z, 0.0f, 0.0f, 0.0f, 0};
  R3xActorDef* definition = FindArenaModel(kModelFlag);
  if (definition == nullptr) {
    return;
  }
  actor_ = r3xCreateActor(gWorld, definition, "Flag", &pose_, r3xNoCollisionVolume(), nullptr, 1.0f,
                          1.0f, ActorUserData(this));
  if (actor_ == nullptr) {
    return;
  }
  r3xSetActorCurrentAction(actor_, static_cast<std::uint32_t>(action_));
  r3xSetActorRadius(actor_, CurrentPartRadius(actor_, 1.0f), 0);
  savedVolume_ = r3xCopyVolume(gWorld, r3xGetActorVolume(actor_));
  if (carrier != 0) {
    arena::ByteWriter taken;
    taken.U32(Address());
    Post(carrier, MSG_FLAG_TAKEN, static_cast<std::uint32_t>(taken.size()), taken.bytes().data());
  }
  Drop(0);
  listLink_.LinkTail(&gFlagList, this);
}

CFlag::~CFlag() {
  if (actor_ != nullptr) {
    r3xDestroyActor(gWorld, actor_);
  }
  if (savedVolume_ != nullptr) {
    r3xDestroyVolume(gWorld, savedVolume_);
  }
}

void CFlag::Drop(int report) {
  if (report != 0) {
    arena::ByteWriter dropped;
    dropped.F32(pose_.x);
    dropped.F32(pose_.y);
    dropped.F32(pose_.z);
    Post(kNetworkAddress, MSG_FLAG_DROPPED, static_cast<std::uint32_t>(dropped.size()),
         dropped.bytes().data());
  }
  free_ = 1;
  pickUpTimer_ = gFrameTime + kPickUpDelay;
  motion_ = std::make_unique<CMotionModel>();
  motion_->pose = pose_;
  motion_->floorHeight = 0.0f;
  if (gArenaMap != nullptr) {
    gArenaMap->GroundHeight(&pose_.x, &ground_);
  }
}

void CFlag::Update() {
  if (motion_ != nullptr) {
    motion_->IntegrateBallistic(&pose_);
    pose_.z = ground_ + kDropHeight;
    motion_.reset();
    RestoreVolume();
    PlaceActor();
  }
  // Only what was queued before: a carrier id naming this flag would otherwise feed the loop
  // its own posts for ever.
  std::uint32_t length = 0;
  for (std::uint32_t queued = Count(); queued > 0; --queued) {
    const MailboxMessagePtr message = Receive(length);
    if (message == nullptr) {
      break;
    }
    arena::ByteReader reader(message->Bytes());
    if (message->type == MSG_CREATE_FLAG) {
      const float x = reader.F32();
      const float y = reader.F32();
      const float z = reader.F32();
      if (reader.ok()) {
        pose_.x = x;
        pose_.y = y;
        pose_.z = z;
        Drop(0);
      }
    } else if (message->type == MSG_FLAG_TAKEN) {
      const std::uint32_t carrier = reader.U32();
      if (reader.ok()) {
        arena::ByteWriter taken;
        taken.U32(Address());
        Post(carrier, MSG_FLAG_TAKEN, static_cast<std::uint32_t>(taken.size()),
             taken.bytes().data());
        free_ = 0;
        r3xSetActorVolume(gWorld, actor_, r3xEmptyVolume());
      }
    }
  }
  if (free_ != 0 && pickUpTimer_ != 0 && pickUpTimer_ < gFrameTime) {
    RestoreVolume();
    pickUpTimer_ = 0;
  }
}

void CFlag::PlaceAt(const R3xPlacement& carrierPose) {
  if (free_ != 0) {
    return;
  }
  R3xPlacement pose = carrierPose;
  pose.z += kCarryHeight;
  for (int lowering = 0; !IsInRegion(pose); ++lowering) {
    if (lowering == kMaxLowerings) {
      return;  // the carrier is outside the world: the flag stays where it was
    }
    pose.z -= kLowerStep;
  }
  pose_ = pose;
  PlaceActor();
}

void CFlag::PlaceActor() { r3xSetActorPlacement(gWorld, actor_, &pose_); }

void CFlag::RestoreVolume() {
  if (savedVolume_ != nullptr) {
    r3xSetActorVolume(gWorld, actor_, savedVolume_);
  }
}

CFlag* FindFlag(std::uint32_t id) {
  for (LinkNode* node = gFlagList; node != nullptr; node = node->next) {
    auto* flag = static_cast<CFlag*>(node->object);
    if (flag->Address() == id) {
      return flag;
    }
  }
  return nullptr;
}

void CreateFlag(std::span<const std::uint8_t> payload) {
  if (!IsWholeRecord(MSG_CREATE_FLAG, payload, kCreateRecordBytes)) {
    return;
  }
  arena::ByteReader reader(payload);
  const std::uint32_t id = reader.U32();
  const auto team = static_cast<std::int32_t>(reader.U32());
  const float x = reader.F32();
  const float y = reader.F32();
  const float z = reader.F32();
  const std::uint32_t carrier = reader.U32();
  auto flag = std::make_unique<CFlag>(id, team, x, y, z, carrier);
  if (flag->IsListed()) {
    flag.release();  // the flag list owns it until the world stop
  }
}

void UpdateAllFlags() {
  for (LinkNode* node = gFlagList; node != nullptr; node = node->next) {
    static_cast<CFlag*>(node->object)->Update();
  }
}

void DeleteAllFlags() {
  while (gFlagList != nullptr) {
    delete static_cast<CFlag*>(gFlagList->object);
  }
}

void CreateFlag(CGameSession& /*session*/, std::span<const std::uint8_t> payload) {
  CreateFlag(payload);
}

void UpdateAllFlags(CGameSession& /*session*/) { UpdateAllFlags(); }

void DeleteAllFlags(CGameSession& /*session*/) { DeleteAllFlags(); }
