#include "battle/arena/defense_tower.h"

#include <cmath>
#include <memory>
#include <optional>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "battle/arena/actor_owner.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_models.h"
#include "battle/arena/arena_particles.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet.h"
#include "battle/arena/explosion.h"
#include "battle/arena/object_record.h"
#include "battle/arena/recon.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "battle/core/log.h"
#include "battle/core/sound_code.h"
#include "battle/core/sound_table.h"
#include "common/messages.h"

LinkNode* gTowerList = nullptr;

namespace {

constexpr std::size_t kRecordBytes = 24;
constexpr std::uint32_t kFrameInterval = 100;
constexpr float kMotionLimit = 500.0f;
constexpr float kDroneScaleFactor = 1.2f;
constexpr float kStartBelowCeiling = 3.0f;
constexpr float kCruiseBelowCeiling = 10.5f;
constexpr float kMoveSpeed = 11.0f;
constexpr float kSinkSpeed = 8.0f;
constexpr float kUp = 128.0f;
constexpr float kDown = -128.0f;
constexpr int kBeamKind = 7;
constexpr float kBeamDrift = -2.0f;

constexpr const char* kTowerTags[] = {"DEFENSE TOWER RED", "DEFENSE TOWER GREEN",
                                      "DEFENSE TOWER BLUE", "DEFENSE TOWER GRAY"};

constexpr std::uint32_t kHumSound = SoundIndex("LOOPDEFENSE");
constexpr std::uint32_t kChargeSound = SoundIndex("LOOPCHARGE");

// The payload's x, y and z when all three are numbers.
std::optional<R3xPlacement> ReadPoint(std::span<const std::uint8_t> payload) {
  arena::ByteReader reader(payload);
  R3xPlacement point{};
  point.x = reader.F32();
  point.y = reader.F32();
  point.z = reader.F32();
  if (!reader.ok() || !std::isfinite(point.x) || !std::isfinite(point.y) ||
      !std::isfinite(point.z)) {
    return std::nullopt;
  }
  return point;
}

// A beam explosion drifting down from the point; null when none started.
CExplosion* SpawnBeam(const R3xPlacement& at) {
  CExplosion* beam = CExplosion::Spawn(kBeamKind, &at.x);
  if (beam != nullptr) {
    beam->SetDrift(0.0f, 0.0f, kBeamDrift);
  }
  return beam;
}

}  // namespace

CDefenseTower::CDefenseTower(std::uint32_t address, std::int32_t colour, float x, float y)
    : CMailbox(address), colour_(colour) {
  pose_ = {x, y, gWorldCeiling - kStartBelowCeiling, 0.0f, 0.0f, 0.0f, 0};
  nextFrameTime_ = gFrameTime + kFrameInterval;
  if (colour < 0 || colour > 3) {
    return;
  }
  firstFrame_ = colour * 3;
  lastFrame_ = firstFrame_ + 2;
  frame_ = firstFrame_;
  personal_ = (address & 0xFFFF0000u) == KIND_PERSONAL_DEFENSE ? 1 : 0;
  const auto lowByte = static_cast<std::int32_t>(address & 0xFF);
  viewNumber_ = personal_ != 0 ? lowByte - 5 * colour + 1 : lowByte + 2 * (3 - colour);
  R3xActorDef* definition = FindArenaModel(kModelDrone);
  if (definition == nullptr) {
    return;
  }
  actor_ = r3xCreateActor(gWorld, definition, kTowerTags[colour], &pose_, r3xNoCollisionVolume(),
                          nullptr, 1.0f, 1.0f, ActorUserData(this));
  if (actor_ == nullptr) {
    return;
  }
  savedVolume_ = r3xCopyVolume(gWorld, r3xGetActorVolume(actor_));
  r3xSetActorCurrentAction(actor_, static_cast<std::uint32_t>(frame_));
  r3xSetActorRadius(actor_, CurrentPartRadius(actor_, 1.0f), 0);
  r3xSetActorScale(actor_, ModelTable[kModelDrone].scale * kDroneScaleFactor, 1);
  motion_.SetLimits(kMotionLimit, kMotionLimit, kMotionLimit, kMotionLimit, kMotionLimit);
  motion_.pose = pose_;
  PlaceActor();
  r3xGetActorPlacement(actor_, &destination_);
  UpdateGround();
  Place(x, y);
  motion_.listLink.LinkTail(&gTowerList, this);
}

CDefenseTower::~CDefenseTower() {
  if (gCameraFollow == &motion_.pose) {
    gCameraFollow = nullptr;
  }
  if (actor_ != nullptr) {
    r3xDestroyActor(gWorld, actor_);
  }
  if (savedVolume_ != nullptr) {
    r3xDestroyVolume(gWorld, savedVolume_);
  }
}

void CDefenseTower::Update() {
  Animate();
  ReturnFallenBeam();
  HandleMessages();
  // With CPlayerTank: the session's far distance, which the own tank keeps clamped; until then
  // the arena's, which the world start gives the session.
  near_ = static_cast<std::uint32_t>(IsNearOwnTank(&pose_.x, gFarDistance));
  if (RunState()) {
    return;
  }
  PlaceActor();
  if (near_ != 0) {
    PlayHum();
  }
}

void CDefenseTower::Animate() {
  if (nextFrameTime_ >= gFrameTime) {
    return;
  }
  frame_ = frame_ < lastFrame_ ? frame_ + 1 : firstFrame_;
  r3xSetActorCurrentAction(actor_, static_cast<std::uint32_t>(frame_));
  nextFrameTime_ = gFrameTime + kFrameInterval;
}

void CDefenseTower::HandleMessages() {
  std::uint32_t length = 0;
  while (const MailboxMessagePtr message = Receive(length)) {
    switch (message->type) {
      case MSG_RAISE:
      case MSG_DEFENSE_MOVE:
        if (const std::optional<R3xPlacement> point = ReadPoint(message->Bytes())) {
          if (message->type == MSG_RAISE) {
            raising_ = 1;
          }
          StartMove(&point->x);
        }
        break;
      case MSG_RAISE_END:
        raising_ = 0;
        beamOn_ = 0;
        StopBeam();
        if (state_ != kFlying) {
          state_ = kIdle;
        }
        break;
      case MSG_DEFENSE_DESCEND:
        if (const std::optional<R3xPlacement> point = ReadPoint(message->Bytes())) {
          StartDescent(&point->x);
        }
        break;
      case MSG_DEFENSE_IDLE:
        state_ = kIdle;
        target_ = 0;
        break;
      case MSG_DEFENSE_TARGET: {
        arena::ByteReader reader(message->Bytes());
        const std::uint32_t target = reader.U32();
        if (reader.ok()) {
          target_ = target;
          nextTrackTime_ = gFrameTime - 1;
        }
        break;
      }
      case MSG_DEFENSE_RELEASE:
        Release();
        break;
      case MSG_DEFENSE_CARRY_RECON: {
        arena::ByteReader reader(message->Bytes());
        const std::uint32_t recon = reader.U32();
        if (reader.ok()) {
          carriedRecon_ = recon;
          carrying_ = 1;
          if (CRecon* drone = FindRecon(recon)) {
            drone->SetCarried(1);
          }
        }
        break;
      }
      default:
        break;  // MSG_DEFENSE_MODULE and the family's other types are not the tower's
    }
  }
}

void CDefenseTower::StartMove(const float* point) {
  target_ = 0;
  destination_.x = point[0];
  destination_.y = point[1];
  destination_.z = point[2];
  StopBeam();
  ReleaseRecon();
  state_ = kFlying;
  phase_ = kClimb;
  r3xGetActorPlacement(actor_, &pose_);
  ShowActor();
  pose_.pitch = kUp;
  pose_.heading = 0.0f;
  Launch(kMoveSpeed);
  PlaceActor();
  destination_.z = gWorldCeiling - kCruiseBelowCeiling;
}

void CDefenseTower::StartDescent(const float* point) {
  descending_ = 1;
  state_ = kSinking;
  r3xGetActorPlacement(actor_, &pose_);
  pose_.pitch = kDown;
  pose_.heading = 0.0f;
  Launch(kSinkSpeed);
  ReleaseRecon();
  StopBeam();
  raising_ = 0;
  destination_.x = point[0];
  destination_.y = point[1];
  destination_.z = point[2];
  nextTrackTime_ = gFrameTime - 1;
  UpdateGround();
}

void CDefenseTower::Release() {
  target_ = 0;
  ShowActor();
  if (savedVolume_ != nullptr) {
    r3xSetActorVolume(gWorld, actor_, savedVolume_);
  }
  sunk_ = 0;
  descending_ = 0;
  state_ = kFlying;
  UpdateGround();
  Place(destination_.x, destination_.y);
}

void CDefenseTower::ReleaseRecon() {
  carrying_ = 0;
  if (CRecon* drone = FindRecon(carriedRecon_)) {
    drone->SetCarried(0);
  }
}

void CDefenseTower::ReturnFallenBeam() {
  for (CExplosion* beam : beamExplosions_) {
    if (beam == nullptr || beam->Actor() == nullptr) {
      continue;
    }
    R3xPlacement at{};
    r3xGetActorPlacement(beam->Actor(), &at);
    if (at.z < destination_.z) {
      r3xGetActorPlacement(actor_, &at);
      beam->SetPosition(at);
    }
  }
}

void CDefenseTower::SetCameraFollow() { gCameraFollow = &motion_.pose; }

void CDefenseTower::StopBeam() {
  for (CExplosion*& beam : beamExplosions_) {
    if (beam != nullptr) {
      beam->Stop();
      beam = nullptr;
    }
  }
}

bool CDefenseTower::RunState() {
  switch (state_) {
    case kTracking:
      if (nextTrackTime_ <= gFrameTime) {
        nextTrackTime_ =
            gFrameTime + static_cast<std::uint32_t>(GetGameParamInt(PARAM_DEFENSE_FIRE_RATE));
        if (near_ != 0) {
          Track(gDefenseRange);
        }
      }
      break;
    case kFlying:
      Fly();
      break;
    case kRaising:
      if (beamOn_ != 0 && beamExplosions_[0] == nullptr && beamExplosions_[1] == nullptr) {
        StartRaiseBeam();
      }
      break;
    case kCarrying:
      EmitCarrySparks();
      break;
    case kSinking:
      Sink();
      PlayHum();
      return state_ == kSunk;
    case kSunk:
      PlayHum();
      return true;
    default:  // idle, and any state beyond the seven
      if (target_ != 0) {
        state_ = kTracking;
      }
      break;
  }
  return false;
}

void CDefenseTower::StartRaiseBeam() {
  R3xPlacement at{};
  r3xGetActorPlacement(actor_, &at);
  destination_.z = at.z - 29.0f;
  beamExplosions_[0] = SpawnBeam(at);
  at.z += (at.z - destination_.z) * 0.5f;
  if (r3xFindRegionAt(gWorld, &at.x) != nullptr) {
    beamExplosions_[1] = SpawnBeam(at);
  }
}

void CDefenseTower::EmitCarrySparks() {
  R3xPlacement top{};
  r3xGetActorPlacement(actor_, &top);
  top.z -= 2.0f;
  float ground = 0.0f;
  if (gArenaMap == nullptr || gArenaMap->GroundHeight(&top.x, &ground) != 0) {
    return;
  }
  const float bottom[3] = {top.x, top.y, ground};
  EmitArenaSparks(&top.x, bottom);
}

void CDefenseTower::PlayHum() {
  std::uint32_t index = kHumSound;
  std::uint32_t frequency = 10000;
  if (sunk_ != 0) {
    index = kSoundStopIndex;
    frequency = 0;
  } else if (descending_ != 0) {
    index = kSoundStopIndex;
    frequency = 11000;
  } else if (beamOn_ != 0) {
    index = kChargeSound;
    frequency = 11000;
  } else if (state_ == kCarrying) {
    index = kChargeSound;
    frequency = 10000;
  } else if (personal_ != 0) {
    frequency = state_ == kFlying ? 12000 : 11000;
  }
  PlayArenaSoundAt(Address(), SOUND_POSITIONAL | LoopCode(index, frequency), motion_.pose.x,
                   motion_.pose.y);
}

void CDefenseTower::ReportHit(std::uint32_t damage) {
  arena::ByteWriter hit;
  hit.U32(Address());
  hit.U32(damage);
  Post(kNetworkAddress, MSG_DEFENSE_HIT, static_cast<std::uint32_t>(hit.size()),
       hit.bytes().data());
}

void CDefenseTower::Launch(float speed) {
  motion_.SetClockBack(0);
  motion_.pose = pose_;
  motion_.targetSpeed = speed;
  motion_.speed = speed;
  motion_.previousSpeed = speed;
  motion_.push[0] = motion_.push[1] = motion_.push[2] = 0.0f;
}

void CDefenseTower::PlaceActor() { r3xSetActorPlacement(gWorld, actor_, &pose_); }

void CDefenseTower::UpdateGround() {
  if (gArenaMap != nullptr) {
    gArenaMap->GroundHeight(&pose_.x, &ground_);
  }
}

void CDefenseTower::ShowActor() { r3xSetActorHidden(actor_, 0); }

CDefenseTower* FindTower(std::uint32_t address) {
  for (LinkNode* node = gTowerList; node != nullptr; node = node->next) {
    auto* tower = static_cast<CDefenseTower*>(node->object);
    if (tower->Address() == address) {
      return tower;
    }
  }
  return nullptr;
}

void CreateTower(std::span<const std::uint8_t> payload) {
  if (!IsWholeRecord(MSG_CREATE_DEFENSE, payload, kRecordBytes)) {
    return;
  }
  arena::ByteReader reader(payload);
  const std::uint32_t address = reader.U32();
  const auto colour = static_cast<std::int32_t>(reader.U32());
  reader.U32();  // two words the client does not use
  reader.U32();
  const float x = reader.F32();
  const float y = reader.F32();
  auto tower = std::make_unique<CDefenseTower>(address, colour, x, y);
  if (tower->IsListed()) {
    tower.release();  // the tower list owns it until the world stop
  }
}

void UpdateAllTowers() {
  for (LinkNode* node = gTowerList; node != nullptr; node = node->next) {
    static_cast<CDefenseTower*>(node->object)->Update();
  }
}

void DeleteAllTowers() {
  while (gTowerList != nullptr) {
    delete static_cast<CDefenseTower*>(gTowerList->object);
  }
}

void CreateTower(CGameSession& /*session*/, std::span<const std::uint8_t> payload) {
  CreateTower(payload);
}

void UpdateAllTowers(CGameSession& /*session*/) { UpdateAllTowers(); }

void DeleteAllTowers(CGameSession& /*session*/) { DeleteAllTowers(); }
