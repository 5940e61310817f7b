#include "battle/arena/recon_gun.h"

#include <cmath>
#include <optional>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "battle/arena/actor_owner.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_models.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_targets.h"
#include "battle/arena/arena_tools.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/explosion.h"
#include "battle/arena/mover.h"
#include "battle/arena/object_record.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/log.h"
#include "battle/core/sound_code.h"
#include "battle/core/sound_table.h"
#include "common/messages.h"

LinkNode* gReconGunList = nullptr;

namespace {

constexpr std::size_t kRecordBytes = 24;
constexpr std::uint32_t kFrameInterval = 100;
constexpr std::int32_t kFramesPerTeam = 5;
constexpr std::int32_t kTeamCount = 4;
constexpr std::uint32_t kFireSound = SoundIndex("FIREDEFENSE");

std::optional<ReconGunRecord> ReadRecord(std::span<const std::uint8_t> payload) {
  arena::ByteReader reader(payload);
  ReconGunRecord record;
  record.x = reader.F32();
  record.y = reader.F32();
  record.z = reader.F32();
  record.range = reader.F32();
  record.id = reader.U32();
  record.team = static_cast<std::int32_t>(reader.U32());
  if (!reader.ok()) {
    return std::nullopt;
  }
  return record;
}

bool IsBlockingKind(std::uint32_t kind) {
  return kind == KIND_PERSONAL_DEFENSE || kind == KIND_DEFENSE || kind == KIND_RECON_GUN;
}

}  // namespace

CReconGun::CReconGun(const ReconGunRecord& record) : CMailbox(record.id), range_(record.range) {
  nextFireTime_ = gFrameTime;
  nextTargetTime_ = gFrameTime;
  if (!TakeRecord(record)) {
    LogPrintf(0, "recon gun %u of team %d ignored: there are teams 0-%d", record.id, record.team,
              kTeamCount - 1);
    return;
  }
  R3xActorDef* definition = FindArenaModel(kModelReconGun);
  if (definition == nullptr || r3xFindRegionAt(gWorld, &pose_.x) == nullptr) {
    return;
  }
  actor_ = r3xCreateActor(gWorld, definition, "ReconGun", &pose_, r3xNoCollisionVolume(), nullptr,
                          1.0f, 1.0f, ActorUserData(this));
  if (actor_ == nullptr) {
    return;
  }
  r3xSetActorCurrentAction(actor_, static_cast<std::uint32_t>(frame_));
  r3xSetActorRadius(actor_, CurrentPartRadius(actor_, 1.0f), 0);
  r3xSetActorScale(actor_, ModelTable[kModelReconGun].scale, 1);
  listLink_.LinkTail(&gReconGunList, this);
}

CReconGun::~CReconGun() {
  if (actor_ != nullptr) {
    r3xDestroyActor(gWorld, actor_);
  }
}

bool CReconGun::TakeRecord(const ReconGunRecord& record) {
  if (record.team < 0 || record.team >= kTeamCount) {
    return false;
  }
  if (record.id != Address()) {
    SetAddress(record.id);
  }
  team_ = record.team;
  pose_ = {record.x, record.y, record.z + kRaise, 0.0f, 0.0f, 0.0f, 0};
  RestartFrames();
  return true;
}

void CReconGun::RestartFrames() {
  frame_ = team_ * kFramesPerTeam;
  lastFrame_ = frame_ + kFramesPerTeam - 1;
  nextFrameTime_ = gFrameTime + kFrameInterval;
}

int CReconGun::Update() {
  std::uint32_t length = 0;
  while (const MailboxMessagePtr message = Receive(length)) {
    if (message->type == MSG_CREATE_RECON_GUN) {
      const std::optional<ReconGunRecord> record = ReadRecord(message->Bytes());
      if (record && TakeRecord(*record)) {
        r3xSetActorPlacement(gWorld, actor_, &pose_);
        r3xSetActorCurrentAction(actor_, static_cast<std::uint32_t>(frame_));
      }
    } else if (message->type == MSG_RECON_GUN_DESTROY) {
      CExplosion::Spawn(1, &pose_.x);
      return 1;
    }
  }
  if (nextTargetTime_ < gFrameTime) {
    nextTargetTime_ = gFrameTime + kTargetInterval;
    AcquireTarget(range_);
  }
  if (target_ != 0 && nextFireTime_ < gFrameTime) {
    nextFireTime_ = gFrameTime + kFireInterval;
    Fire();
  }
  if (nextFrameTime_ < gFrameTime) {
    frame_ = frame_ < lastFrame_ ? frame_ + 1 : team_ * kFramesPerTeam;
    r3xSetActorCurrentAction(actor_, static_cast<std::uint32_t>(frame_));
    nextFrameTime_ = gFrameTime + kFrameInterval;
  }
  return 0;
}

void CReconGun::AcquireTarget(float range) {
  target_ = 0;
  float best = range;
  for (const ArenaTarget& tank : ListArenaTargets()) {
    if (tank.team == team_ || tank.dead || tank.bodyActor == nullptr) {
      continue;
    }
    R3xPlacement at{};
    r3xGetActorPlacement(tank.bodyActor, &at);
    const float d = std::hypot(at.x - pose_.x, at.y - pose_.y);
    if (d < best) {
      best = d;
      target_ = tank.id;
    }
  }
}

void CReconGun::Fire() {
  const ArenaTarget* tank = FindArenaTarget(target_);
  if (tank == nullptr || tank->bodyActor == nullptr || gMover == nullptr ||
      gSphereVolume02 == nullptr) {
    return;
  }
  R3xPlacement aim{};
  r3xGetActorPlacement(tank->bodyActor, &aim);
  R3xPlacement shot = pose_;
  GetHeadingPitch(&pose_.x, &aim.x, &shot.heading, &shot.pitch);
  R3xPlacement start = pose_;
  float point[3] = {aim.x, aim.y, aim.z};
  const MoverCallbacks callbacks{ReconGunSweepFilter, MoverSweepHit, this, R3X_SWEEP_EXACT};
  const R3xContact* contact =
      gMover->Sweep(reinterpret_cast<R3xVolume*>(gSphereVolume02), &start, point, callbacks);
  if (contact != nullptr) {
    if (contact->contactClass == R3X_CONTACT_OBSTACLE) {
      return;
    }
    if (contact->contactClass == R3X_CONTACT_OBJECT) {
      const CMailbox* owner = ActorOwner(static_cast<const R3xActor*>(contact->target));
      const std::uint32_t kind = ActorOwnerKind(static_cast<const R3xActor*>(contact->target));
      if (IsBlockingKind(kind) || (kind == KIND_TANK && owner->Address() != target_)) {
        return;
      }
    }
  }
  CBulletPool::Fire(1, shot, Address(), GetGameParamInt(PARAM_DEFENSE_LAZER_DAMAGE),
                    GetGameParamFloat(PARAM_DEFENSE_LAZER_SPEED), 1, 0);
  PlayArenaSoundAt(Address(), SOUND_POSITIONAL | kFireSound, pose_.x, pose_.y);
}

void CReconGun::ReportHit(std::uint32_t damage) {
  arena::ByteWriter hit;
  hit.U32(Address());
  hit.U32(damage);
  Post(kNetworkAddress, MSG_RECON_GUN_HIT, static_cast<std::uint32_t>(hit.size()),
       hit.bytes().data());
}

CReconGun* FindReconGun(std::uint32_t id) {
  for (LinkNode* node = gReconGunList; node != nullptr; node = node->next) {
    auto* gun = static_cast<CReconGun*>(node->object);
    if (gun->Address() == id) {
      return gun;
    }
  }
  return nullptr;
}

void CreateReconGun(std::span<const std::uint8_t> payload) {
  if (!IsWholeRecord(MSG_CREATE_RECON_GUN, payload, kRecordBytes)) {
    return;
  }
  auto gun = std::make_unique<CReconGun>(*ReadRecord(payload));
  if (gun->IsListed()) {
    gun.release();  // the recon-gun list owns it until it is destroyed
  }
}

void UpdateAllReconGuns() {
  LinkNode* node = gReconGunList;
  while (node != nullptr) {
    auto* gun = static_cast<CReconGun*>(node->object);
    node = node->next;
    if (gun->Update() != 0) {
      delete gun;
    }
  }
}

void DeleteAllReconGuns() {
  while (gReconGunList != nullptr) {
    delete static_cast<CReconGun*>(gReconGunList->object);
  }
}

void CreateReconGun(CGameSession& /*session*/, std::span<const std::uint8_t> payload) {
  CreateReconGun(payload);
}

void UpdateAllReconGuns(CGameSession& /*session*/) { UpdateAllReconGuns(); }

void DeleteAllReconGuns(CGameSession& /*session*/) { DeleteAllReconGuns(); }

std::uint32_t ReconGunSweepFilter(R3xActor* actor, void* /*gun*/) {
  const std::uint32_t kind = ActorOwnerKind(actor);
  if (kind == KIND_TANK) {
    return R3X_SWEEP_VOLUME;
  }
  return IsBlockingKind(kind) ? R3X_SWEEP_PARTS : R3X_SWEEP_IGNORE;
}
