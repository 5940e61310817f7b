#include "battle/arena/missile.h"

#include <array>
#include <bit>
#include <cmath>

#include "base/byte_reader.h"
#include "battle/arena/actor_owner.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_particles.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_tools.h"
#include "battle/arena/arena_view.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/explosion.h"
#include "battle/arena/model_table.h"
#include "battle/arena/mover.h"
#include "battle/arena/shot_hits.h"
#include "battle/arena/shot_tank_orders.h"
#include "battle/arena/sprite_parts.h"
#include "battle/arena/tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/log.h"
#include "battle/core/sound_code.h"
#include "common/messages.h"

CMissile* gSteeredMissile = nullptr;
std::list<std::unique_ptr<CMissile>> gMissileList;

namespace {

constexpr std::size_t kCreateWords = 7;
constexpr float kLaunchReach = 2.0f;
constexpr float kExhaustBehind = -2.5f;
constexpr float kExhaustSpin = 4.0f;
constexpr float kExplosionRaise = 2.0f;
constexpr float kBlastMargin = 20.0f;
constexpr float kStill = 0.001f;
constexpr float kTurn = 512.0f;
constexpr float kBackoff = 0.8f;
constexpr R3xRenderMethod kExhaustRenderBits = 0x11B0000;
constexpr std::uint32_t kSoundExplosion = 11;

constexpr std::uint32_t kTrailParticles = 80;
constexpr float kTrailSpeed = 0.01f;
constexpr float kTrailSpread = 0.025f;
constexpr std::uint32_t kTrailLife = 20;

struct MissileKind {
  std::uint32_t address;  // 0: the guided missile's, from its owner
  std::int32_t modelCode;
  std::int32_t radiusRow;  // -1: no blast
  std::int32_t damageRow;  // -1: no damage
  std::size_t durationRow;
  std::size_t speedRow;
  std::size_t impulseRow;
};

constexpr std::array<MissileKind, 5> kMissileKinds{{
    {0, 22, PARAM_GUIDED_MISSILE_PROXIMITY_RADIUS, PARAM_GUIDED_MISSILE_DAMAGE,
     PARAM_GUIDED_DURATION, PARAM_GUIDED_MISSILE_SPEED, PARAM_GUIDED_MISSILE_HIT_IMPULSE},
    {kMissileAddressPhoenix, 22, PARAM_PHOENIX_MISSILE_PROXIMITY_RADIUS,
     PARAM_PHOENIX_MISSILE_DAMAGE, PARAM_PHOENIX_DURATION, PARAM_PHOENIX_MISSILE_SPEED,
     PARAM_PHOENIX_MISSILE_HIT_IMPULSE},
    {kMissileAddressDeactivator, 23, -1, -1, PARAM_DEACTIVATOR_DURATION,
     PARAM_DEACTIVATOR_MISSILE_SPEED, PARAM_DEACTIVATOR_MISSILE_HIT_IMPULSE},
    {kMissileAddressFlash, 25, -1, -1, PARAM_FLASH_MISSILE_DURATION, PARAM_FLASH_MISSILE_SPEED,
     PARAM_FLASH_MISSILE_HIT_IMPULSE},
    {kMissileAddressBatteryDrain, 24, -1, -1, PARAM_BATTERY_DRAIN_MISSILE_DURATION,
     PARAM_BATTERY_DRAIN_MISSILE_SPEED, PARAM_BATTERY_DRAIN_MISSILE_HIT_IMPULSE},
}};

float Still(float value) { return std::abs(value) < kStill ? 0.0f : value; }

float WrapTurn(float angle) {
  while (angle >= kTurn) {
    angle -= kTurn;
  }
  return angle;
}

bool InsideWorld(const float* point) {
  return gWorld != nullptr && r3xFindRegionAt(gWorld, point) != nullptr;
}

bool IsTarget(std::uint32_t kind) {
  return kind == KIND_TANK || kind == KIND_PERSONAL_DEFENSE || kind == KIND_DEFENSE ||
         kind == KIND_RECON_GUN;
}

}  // namespace

CMissile::CMissile(const R3xPlacement& pose, std::int32_t kind, std::uint32_t owner,
                   std::uint32_t report)
    : nextStateTime(gFrameTime), kind_(kind), report_(report), owner_(owner) {
  if (kind < kGuided || kind > kBatteryDrain) {
    return;
  }
  const MissileKind& row = kMissileKinds[static_cast<std::size_t>(kind)];
  SetAddress(row.address != 0 ? row.address : KIND_MISSILE | (owner & 0xFFFFu));
  modelCode_ = row.modelCode;
  if (row.radiusRow >= 0) {
    proximityRadius_ = GetGameParamFloat(static_cast<std::size_t>(row.radiusRow));
    noBlast_ = proximityRadius_ <= 0.0f ? 1 : 0;
  }
  damage_ = row.damageRow >= 0 ? GetGameParamInt(static_cast<std::size_t>(row.damageRow)) : 0;
  expiry_ = gFrameTime + static_cast<std::uint32_t>(GetGameParamInt(row.durationRow));
  steered_ = kind == kGuided && report != 0 ? 1 : 0;

  motion_.floorHeight = CMotionModel::kNoFloor;
  const float speed = Still(GetGameParamFloat(row.speedRow));
  motion_.targetSpeed = speed;
  motion_.speed = speed;
  motion_.previousSpeed = speed;
  motion_.push[0] = motion_.push[1] = motion_.push[2] = 0.0f;
  const float forward = GetGameParamFloat(PARAM_GUIDED_MISSILE_FWD_MASS);
  const float turn = GetGameParamFloat(PARAM_GUIDED_MISSILE_TURN_MASS);
  motion_.SetLimits(forward, forward, turn, turn,
                    GetGameParamFloat(PARAM_GUIDED_MISSILE_LINK_MASS));

  // An angle no turn could come from stays 0, as in a state report: the original turned its
  // sines and cosines from whatever the record held.
  motion_.SetPose(pose.x, pose.y, pose.z, pose.heading, pose.pitch, 0.0f);
  R3xPlacement start = motion_.pose;
  const float ahead[3] = {kLaunchReach, 0.0f, 0.0f};
  MoveAlongLocal(&start, ahead, 1.0f);
  motion_.pose = start;
  if (!InsideWorld(&start.x)) {
    finished_ = 1;
    return;
  }
  R3xActorDef* model = FindActorDef(ModelTable[static_cast<std::size_t>(modelCode_)].definition);
  R3xActorDef* flare = FindActorDef("EXFLARE_DEF");
  if (model == nullptr || flare == nullptr) {
    return;
  }
  actor_ = r3xCreateActor(gWorld, model, "MISSILE", &start, r3xNoCollisionVolume(), nullptr, 1.0f,
                          1.0f, ActorUserData(this));
  if (actor_ == nullptr) {
    return;
  }
  float radius = 0.0f;
  if (r3xGetPartRadius(r3xGetActorPart(actor_, 0, 0), &radius) == 0) {
    r3xSetActorRadius(actor_, radius, 0);
  }
  exhaust_ = r3xCreateActor(gWorld, flare, "EXFLARE", &start, r3xNoCollisionVolume(), nullptr, 1.0f,
                            1.0f, 0);
  if (exhaust_ != nullptr) {
    AddPartRenderBits(exhaust_, 0, kExhaustRenderBits);
  }
}

CMissile::~CMissile() {
  if (gWorld != nullptr) {
    if (exhaust_ != nullptr) {
      r3xDestroyActor(gWorld, exhaust_);
    }
    if (actor_ != nullptr) {
      r3xDestroyActor(gWorld, actor_);
    }
  }
  if (gSteeredMissile == this) {
    gSteeredMissile = nullptr;
  }
}

float CMissile::Impulse() const {
  return GetGameParamFloat(kMissileKinds[static_cast<std::size_t>(kind_)].impulseRow);
}

R3xPlacement CMissile::PlaceExhaust(const R3xPlacement& pose) {
  R3xPlacement exhaust = pose;
  const float behind[3] = {kExhaustBehind, 0.0f, 0.0f};
  MoveAlongLocal(&exhaust, behind, 1.0f);
  exhaust.roll = WrapTurn(pose.roll + spin_);
  r3xSetActorPlacement(gWorld, exhaust_, &exhaust);
  return exhaust;
}

std::uint32_t CMissile::Update() {
  if (finished_ != 0) {
    return 0;
  }
  if (expiry_ < gFrameTime) {
    return Explode();
  }
  R3xPlacement m{};
  r3xGetActorPlacement(actor_, &m);
  std::uint32_t length = 0;
  while (MailboxMessagePtr message = Receive(length)) {
    if (message->type == MSG_MISSILE_STATE) {
      ApplyState(message->Bytes());
    }
  }
  if (!InsideWorld(&m.x)) {
    return Explode();
  }
  motion_.Integrate(&m);
  if (!InsideWorld(&m.x)) {
    return Explode();
  }
  const MoverCallbacks callbacks{MissileSweepFilter, MissileSweepHit, this, R3X_SWEEP_EXACT};
  R3xContact* contact = gMover->MoveTo(actor_, &m.x, callbacks);
  motion_.pose = m;

  const R3xPlacement e = PlaceExhaust(m);
  spin_ = WrapTurn(spin_ + kExhaustSpin);

  ParticleBurst trail;
  trail.kind = 3;
  trail.attempts = kTrailParticles;
  trail.position[0] = e.x;
  trail.position[1] = e.y;
  trail.position[2] = e.z;
  const Vector3 back = Scaled(Difference(&e.x, &m.x), motion_.speed * kTrailSpeed);
  for (int i = 0; i < 3; ++i) {
    trail.velocity[i] = back[static_cast<std::size_t>(i)];
  }
  trail.spread = kTrailSpread;
  trail.maxLife = kTrailLife;
  trail.red = 255;
  trail.green = 128;
  trail.blue = 0;
  EmitArenaParticles(trail);

  if (contact == nullptr) {
    if (steered_ != 0) {
      if (gCamera != nullptr) {
        r3xSetCameraPlacement(gWorld, gCamera, &m);
      }
      gListenerPlacement = motion_.pose;
    }
    return 0;
  }
  bool pushed = false;
  if (contact->contactClass == R3X_CONTACT_OBJECT) {
    auto* touched = static_cast<R3xActor*>(contact->target);
    switch (ActorOwnerKind(touched)) {
      case KIND_TANK:
        if (CTank* tank = CTank::FromActor(touched); tank != nullptr) {
          pushed = CarryOutShotOrders(*tank, HitTank(TankFactsForShot(*tank, &m.x, 0.0f)));
        }
        break;
      default:
        if (report_ != 0) {
          ReportShotOnTeamObject(touched, static_cast<std::uint32_t>(damage_));
        }
        break;
    }
  }
  if (noBlast_ == 0) {
    ApplyBlast(m, pushed);
  }
  return Explode();
}

ShotTankOrders CMissile::HitTank(const ShotTankFacts& tank) const {
  ShotTankOrders orders;
  orders.report = report_ != 0 && noBlast_ != 0;
  orders.damage = damage_;
  orders.owner = owner_;
  orders.side = tank.side;
  orders.modelCode = modelCode_;
  if (!tank.designOpen) {
    orders.push = true;
    orders.velocity = DirectHitPush(Impulse(), motion_.pose.heading, motion_.pose.pitch);
  }
  return orders;
}

std::optional<SplashOrders> CMissile::BlastOnTank(const Vector3& centre, const Vector3& position,
                                                  const ShotTankFacts& tank, bool pushed) const {
  const std::optional<BlastShare> share =
      BlastShareAt(centre, position, proximityRadius_ + kBlastMargin, damage_, Impulse());
  if (!share) {
    return std::nullopt;
  }
  return OrdersOfShare(*share, report_ != 0, owner_, tank.side, modelCode_, tank.designOpen,
                       pushed);
}

void CMissile::ApplyBlast(const R3xPlacement& at, bool pushed) {
  const Vector3 centre{at.x, at.y, at.z};
  for (LinkNode* node = gTankList; node != nullptr; node = node->next) {
    auto* tank = static_cast<CTank*>(node->object);
    const std::optional<SplashOrders> orders =
        BlastOnTank(centre, {tank->position[0], tank->position[1], tank->position[2]},
                    TankFactsForShot(*tank, centre.data(), proximityRadius_), pushed);
    if (orders) {
      CarryOutSplashOrders(*tank, *orders);
    }
  }
}

std::uint32_t CMissile::Explode() {
  R3xPlacement at{};
  r3xGetActorPlacement(actor_, &at);
  at.z += kExplosionRaise;
  if (InsideWorld(&at.x)) {
    CExplosion::Spawn(1, &at.x);
  }
  finished_ = 1;
  PlayArenaSoundAt(Address(), kSoundExplosion | SOUND_POSITIONAL, at.x, at.y);
  return this == gSteeredMissile ? 0 : 1;
}

void CMissile::SendState() {
  const std::array<float, 10> state{static_cast<float>(Address()),
                                    motion_.pose.x,
                                    motion_.pose.y,
                                    motion_.pose.z,
                                    motion_.pose.heading,
                                    motion_.pose.pitch,
                                    motion_.targetHeadingRate,
                                    motion_.headingRate,
                                    motion_.targetPitchRate,
                                    motion_.pitchRate};
  std::array<std::uint32_t, 10> words{};
  for (std::size_t i = 0; i < state.size(); ++i) {
    words[i] = std::bit_cast<std::uint32_t>(state[i]);
  }
  Post(kNetworkAddress, MSG_MISSILE_STATE, sizeof words, words.data());
}

void CMissile::ApplyState(std::span<const std::uint8_t> payload) {
  if (payload.size() < kStateBytes) {
    LogPrintf(0, "short message: type 0x%08X, %zu bytes of %zu", MSG_MISSILE_STATE, payload.size(),
              kStateBytes);
    return;
  }
  arena::ByteReader reader(payload);
  std::array<float, 10> w{};
  for (float& word : w) {
    word = reader.F32();
  }
  motion_.SetPose(w[1], w[2], w[3], w[4], w[5], 0.0f);
  motion_.targetHeadingRate = Still(w[6]);
  motion_.headingRate = Still(w[7]);
  motion_.previousHeadingRate = Still(w[7]);
  motion_.targetPitchRate = Still(w[8]);
  motion_.pitchRate = Still(w[9]);
  motion_.previousPitchRate = Still(w[9]);
  r3xSetActorPlacement(gWorld, actor_, &motion_.pose);
  PlaceExhaust(motion_.pose);
}

CMissile* ListMissile(std::unique_ptr<CMissile> missile) {
  if (!missile->IsMade()) {
    return nullptr;
  }
  gMissileList.push_back(std::move(missile));
  return gMissileList.back().get();
}

void CreateMissile(std::span<const std::uint8_t> payload) {
  if (payload.size() < kCreateWords * 4) {
    LogPrintf(0, "short message: type 0x%08X, %zu bytes of %zu", MSG_CREATE_MISSILE, payload.size(),
              kCreateWords * 4);
    return;
  }
  arena::ByteReader reader(payload);
  const std::uint32_t owner = reader.U32();
  const auto kind = reader.I32();
  R3xPlacement pose{};
  pose.x = reader.F32();
  pose.y = reader.F32();
  pose.z = reader.F32();
  pose.heading = reader.F32();
  pose.pitch = reader.F32();
  ListMissile(std::make_unique<CMissile>(pose, kind, owner, 0));
}

void UpdateAllMissiles() {
  for (auto it = gMissileList.begin(); it != gMissileList.end();) {
    if ((*it)->Update() != 0) {
      it = gMissileList.erase(it);
    } else {
      ++it;
    }
  }
}

void DeleteAllMissiles() { gMissileList.clear(); }

std::uint32_t MissileSweepFilter(R3xActor* actor, void* user) {
  const auto* missile = static_cast<const CMissile*>(user);
  const CMailbox* owner = ActorOwner(actor);
  if (owner == nullptr) {
    return R3X_SWEEP_IGNORE;
  }
  switch (owner->Address() & 0xFFFF0000u) {
    case KIND_TANK:
      if (owner->Address() == missile->Owner()) {
        return R3X_SWEEP_IGNORE;
      }
      return IsTanksSmallBody(actor) ? R3X_SWEEP_VOLUME : R3X_SWEEP_IGNORE;
    case KIND_PERSONAL_DEFENSE:
    case KIND_DEFENSE:
    case KIND_RECON_GUN:
      return R3X_SWEEP_PARTS;
    default:
      return R3X_SWEEP_IGNORE;
  }
}

std::int32_t MissileSweepHit(R3xContact* contact, void* /*user*/, std::int32_t* pass,
                             std::int32_t* reportRemaining, float* backoff) {
  *pass = contact->phase == R3X_CONTACT_TOUCH && contact->passable == 0 ? 0 : 1;
  *reportRemaining = 0;
  *backoff = kBackoff;
  if (contact->contactClass == R3X_CONTACT_OBJECT &&
      IsTarget(ActorOwnerKind(static_cast<const R3xActor*>(contact->target)))) {
    *pass = 0;
  }
  if (*pass == 0) {
    gMover->hitFlag = 1;
  }
  return 0;
}
