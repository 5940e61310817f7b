#include "battle/arena/mine.h"

#include <array>
#include <bit>

#include "base/byte_reader.h"
#include "battle/arena/actor_owner.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/explosion.h"
#include "battle/arena/model_table.h"
#include "battle/arena/own_tank.h"
#include "battle/arena/sprite_parts.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "battle/core/log.h"
#include "battle/core/sound_code.h"
#include "common/messages.h"

std::list<std::unique_ptr<CMine>> gMineList;

namespace {

constexpr std::size_t kRecordWords = 7;
constexpr float kRestAboveGround = 0.1f;
constexpr float kReportRaise = 3.0f;
constexpr float kExplosionRaise = 2.5f;
constexpr std::uint32_t kSoundDetonation = 12;
constexpr std::uint32_t kOwnerWordBytes = 4;

struct MineKind {
  const char* tag;
  std::int32_t modelCode;
};

MineKind KindOf(std::int32_t kind) {
  switch (kind) {
    case CMine::kDetonation:
      return {"DETONATE", kModelDetonationMine};
    case CMine::kDeactivator:
      return {"DEACTIVE", kModelDeactivatorMine};
    default:
      // Every other record shows the proximity mine.
      return {"MINE", kModelProximityMine};
  }
}

float TriggerRadius(std::int32_t kind) {
  switch (kind) {
    case CMine::kDetonation:
      return 1.0f;
    case CMine::kDeactivator:
      return GetGameParamFloat(PARAM_DEACTIVATOR_MINE_TRIGGER_RADIUS);
    default:
      return GetGameParamFloat(PARAM_PROXIMITY_TRIGGER_RADIUS);
  }
}

}  // namespace

CMine::CMine(R3xWorld* world, std::span<const std::uint32_t, 7> record)
    : CMailbox(record[1]),
      kind_(static_cast<std::int32_t>(record[0])),
      team_(static_cast<std::int32_t>(record[2])),
      owner_(record[3]),
      world_(world) {
  pose_ = {std::bit_cast<float>(record[4]),
           std::bit_cast<float>(record[5]),
           std::bit_cast<float>(record[6]),
           0.0f,
           0.0f,
           0.0f,
           0};
  CreateActor();
  motion_ = std::make_unique<CMotionModel>();
  motion_->pose = pose_;
  motion_->floorHeight = 0.0f;
  if (gArenaMap != nullptr) {
    gArenaMap->GroundHeight(&pose_.x, &ground_);
  }
}

CMine::~CMine() {
  if (actor_ != nullptr && world_ != nullptr) {
    r3xDestroyActor(world_, actor_);
  }
}

void CMine::CreateActor() {
  const MineKind kind = KindOf(kind_);
  modelCode_ = kind.modelCode;
  const float trigger = TriggerRadius(kind_);
  if (world_ == nullptr) {
    return;
  }
  R3xObjectHeader* object =
      r3xFindTag(world_, ModelTable[static_cast<std::size_t>(modelCode_)].definition);
  if (object == nullptr || object->type != R3X_TYPE_ACTOR_DEF) {
    return;
  }
  actor_ = r3xCreateActor(world_, reinterpret_cast<R3xActorDef*>(object), kind.tag, &pose_,
                          r3xNoCollisionVolume(), nullptr, 1.0f, 1.0f, ActorUserData(this));
  if (actor_ == nullptr) {
    return;
  }
  r3xSetActorCurrentAction(actor_, static_cast<std::uint32_t>(team_));
  R3xVolume* volume = nullptr;
  if (r3xGetPartVolume(r3xGetActorPart(actor_, static_cast<std::uint32_t>(team_), 0), &volume) ==
          0 &&
      volume != nullptr) {
    r3xSetVolumeRadius(volume, trigger);
  }
  r3xSetActorRadius(actor_, trigger, 0);
}

std::uint32_t CMine::Update() {
  if (motion_ != nullptr) {
    motion_->IntegrateBallistic(&pose_);
    if (ground_ + kRestAboveGround > pose_.z) {
      pose_.z = ground_ + kRestAboveGround;
      motion_.reset();
    }
    if (actor_ != nullptr) {
      r3xSetActorPlacement(world_, actor_, &pose_);
    }
  }
  bool detonate = false;
  std::uint32_t length = 0;
  while (MailboxMessagePtr message = Receive(length)) {
    if (message->type == MSG_MINE_DETONATE) {
      detonate = true;
      if (length == kOwnerWordBytes) {
        owner_ = arena::ByteReader(message->Bytes()).U32();
      }
    } else if (message->type == MSG_MINE_REMOVE) {
      done_ = 1;
    }
  }
  if (detonate && done_ == 0) {
    Detonate();
    done_ = 1;
  }
  return done_;
}

void CMine::ReportHit(std::uint32_t tankId, std::int32_t tankTeam) {
  if (tankTeam == team_) {
    return;
  }
  const std::array<std::uint32_t, 4> report{Address(), tankId, 1,
                                            static_cast<std::uint32_t>(modelCode_)};
  Post(kNetworkAddress, MSG_MINE_DETONATE, sizeof report, report.data());
  triggered_ = 1;
}

void CMine::Detonate() {
  float radius = 0.0f;
  std::int32_t damage = 0;
  switch (kind_) {
    case kDetonation:
      radius = GetGameParamFloat(PARAM_DETONATION_MINE_RADIUS);
      damage = GetGameParamInt(PARAM_DETONATION_MINE_DAMAGE);
      break;
    case kProximity:
      radius = GetGameParamFloat(PARAM_PROXIMITY_MINE_RADIUS);
      damage = GetGameParamInt(PARAM_PROXIMITY_MINE_DAMAGE);
      break;
    case kDeactivator:
      radius = GetGameParamFloat(PARAM_DEACTIVATOR_MINE_EFFECT_RADIUS);
      break;
    default:
      // The original blasts with whatever its registers held; a kind it does not know blasts
      // no one.
      radius = -1.0f;
      break;
  }
  if (radius >= 0.0f && IsNearOwnTank(&pose_.x, radius) != 0) {
    pose_.z += kReportRaise;
    if (gArenaMap != nullptr && gArenaMap->IsSegmentClear(&pose_.x, &gOwnTankPlacement.x) == 1) {
      const std::uint32_t blaster = (Address() & 0xFFFF0000u) | (owner_ & 0xFFFFu);
      const std::array<std::uint32_t, 4> report{static_cast<std::uint32_t>(damage), blaster, 1,
                                                static_cast<std::uint32_t>(modelCode_)};
      Post(gOwnTankId, MSG_MINE_DETONATE, sizeof report, report.data());
    }
  }
  PlayArenaSoundAt(Address(), kSoundDetonation | SOUND_POSITIONAL, pose_.x, pose_.y);
  if (IsNearCamera(&pose_.x, gFarDistance) != 0) {
    pose_.z += kExplosionRaise;
    CExplosion::Spawn(1, &pose_.x);
  }
}

void CreateMine(std::span<const std::uint8_t> payload) {
  if (payload.size() < kRecordWords * 4) {
    LogPrintf(0, "short message: type 0x%08X, %zu bytes of %zu", MSG_CREATE_MINE, payload.size(),
              kRecordWords * 4);
    return;
  }
  arena::ByteReader reader(payload);
  std::array<std::uint32_t, kRecordWords> record{};
  for (std::uint32_t& word : record) {
    word = reader.U32();
  }
  gMineList.push_back(std::make_unique<CMine>(gWorld, record));
}

void UpdateAllMines() {
  for (auto it = gMineList.begin(); it != gMineList.end();) {
    if ((*it)->Update() != 0) {
      it = gMineList.erase(it);
    } else {
      ++it;
    }
  }
}

void DeleteAllMines() { gMineList.clear(); }
