#include "battle/arena/bullet.h"

#include <cmath>

#include "battle/arena/actor_owner.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_particles.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_tools.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet_kinds.h"
#include "battle/arena/explosion.h"
#include "battle/arena/model_table.h"
#include "battle/arena/mover.h"
#include "battle/arena/shot_hits.h"
#include "battle/arena/shot_tank_orders.h"
#include "battle/arena/sprite_parts.h"
#include "battle/arena/tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "battle/core/sound_code.h"
#include "common/messages.h"

R3xPlacement* gCameraFollow = nullptr;

namespace {

std::uint16_t gShotCounter = 0;

constexpr float kMuzzleReach = 4.0f;
constexpr float kShellFloor = 0.05f;
constexpr std::uint32_t kDefaultDuration = 10000;
constexpr std::uint32_t kDefaultDecay = 30000;
constexpr float kStill = 0.001f;
constexpr float kTurn = 512.0f;
constexpr float kBackoff = 0.8f;
// The sprites of the lasers' glows (actions 20 to 22) are drawn additive.
constexpr R3xRenderMethod kGlowRenderBits = 0x11B0000;
constexpr std::uint32_t kGlowActions[] = {20, 21, 22};

constexpr std::int32_t kParticleBurst = 3;
constexpr float kParticleSpeed = -0.2f;
constexpr float kParticleSpread = 0.0125f;
constexpr std::uint32_t kParticleLife = 20;

struct Colour {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};
// Hit classes 2 to 6.
constexpr Colour kClassColours[] = {
    {255, 196, 0}, {100, 255, 100}, {255, 100, 100}, {60, 60, 255}, {255, 255, 60}};

const BulletKind& KindRow(std::int32_t kind) {
  return kBulletKinds[static_cast<std::size_t>(kind)];
}

float WrapTurn(float angle) {
  while (angle >= kTurn) {
    angle -= kTurn;
  }
  return angle;
}

}  // namespace

std::uint32_t NextShotAddress() { return KIND_BULLET | gShotCounter++; }

CBullet::CBullet() {
  // The pooled bullet bears the bare kind; the counter still advances.
  NextShotAddress();
  SetAddress(KIND_BULLET);
  launchPose_ = {0.0f, 0.0f, gWorldCeiling - 1.0f, 0.0f, 0.0f, 0.0f, -1};
  if (!SetKind(8)) {
    return;
  }
  CreateActor();
  if (actor_ == nullptr) {
    return;
  }
  for (std::uint32_t action : kGlowActions) {
    AddPartRenderBits(actor_, action, kGlowRenderBits);
  }
  End();
}

CBullet::CBullet(std::uint32_t kind, const R3xPlacement& pose, std::uint32_t owner,
                 std::int32_t damage, float speed, std::uint32_t report)
    : launchPose_(pose), owner_(owner), report_(report), speed_(speed), damage_(damage) {
  SetAddress(NextShotAddress());
  if (!SetKind(kind)) {
    return;
  }
  CreateActor();
  if (actor_ == nullptr) {
    return;
  }
  StartFlight();
  finished_ = 0;
}

CBullet::~CBullet() {
  if (actor_ != nullptr && gWorld != nullptr) {
    r3xDestroyActor(gWorld, actor_);
  }
  if (gCameraFollow == &motion_.pose) {
    gCameraFollow = nullptr;
  }
}

void CBullet::CreateActor() {
  R3xActorDef* definition =
      FindActorDef(ModelTable[static_cast<std::size_t>(modelCode_)].definition);
  if (definition == nullptr) {
    return;
  }
  actor_ = r3xCreateActor(gWorld, definition, "BULLET", &motion_.pose, r3xNoCollisionVolume(),
                          nullptr, 1.0f, 1.0f, ActorUserData(this));
}

void CBullet::Relaunch(std::uint32_t kind, const R3xPlacement& pose, std::uint32_t owner,
                       std::int32_t damage, float speed, std::uint32_t report) {
  SetAddress(NextShotAddress());
  launchPose_ = pose;
  owner_ = owner;
  damage_ = damage;
  speed_ = speed;
  report_ = report;
  // The original flies whatever SetKind says, reading past its tables for a kind that is not a
  // kind and placing the actor at a muzzle in no region.
  if (!SetKind(kind)) {
    End();
    return;
  }
  r3xSetActorHidden(actor_, 0);
  r3xSetActorPlacement(gWorld, actor_, &motion_.pose);
  StartFlight();
  finished_ = 0;
}

bool CBullet::SetKind(std::uint32_t kind) {
  const auto k = static_cast<std::int32_t>(kind & 0xFFFF);
  sharpshooter_ = (kind & kSharpshooterBit) != 0 ? 1 : 0;
  if (k <= 0 || static_cast<std::size_t>(k) >= kBulletKindCount || !KindRow(k).valid) {
    return false;
  }
  kind_ = k;
  modelCode_ = KindRow(k).modelCode;
  const float forward[3] = {kMuzzleReach, 0.0f, 0.0f};
  MoveAlongLocal(&launchPose_, forward, 1.0f);
  motion_.pose = launchPose_;
  return gWorld != nullptr && r3xFindRegionAt(gWorld, &launchPose_.x) != nullptr;
}

void CBullet::StartFlight() {
  const BulletKind& row = KindRow(kind_);
  decay_ = gFrameTime + kDefaultDecay;
  effects_ = 1;
  const float speed = std::abs(speed_) < kStill ? 0.0f : speed_;
  motion_.targetSpeed = speed;
  motion_.speed = speed;
  motion_.previousSpeed = speed;
  motion_.push[0] = motion_.push[1] = motion_.push[2] = 0.0f;
  motion_.SetClockBack(0);
  const float mass = GetGameParamFloat(PARAM_FRAG_SHELL_MASS);
  motion_.SetLimits(mass, mass, mass, mass, mass);
  motion_.floorHeight = row.ballistic ? kShellFloor : CMotionModel::kNoFloor;
  splashRadius_ = 0.0f;
  noSplash_ = 1;
  hitClass_ = row.hitClass;
  sound_ = row.sound;
  action_ = row.action;
  std::uint32_t duration = kDefaultDuration;
  if (row.durationRow != kNoRow) {
    duration =
        static_cast<std::uint32_t>(GetGameParamInt(static_cast<std::size_t>(row.durationRow)));
  }
  if (row.splashRow != kNoRow) {
    splashRadius_ = GetGameParamFloat(static_cast<std::size_t>(row.splashRow));
    // The shells splash only with a radius; the defense laser always.
    noSplash_ = row.ballistic && splashRadius_ <= 0.0f ? 1 : 0;
  }
  if (row.apDecay) {
    decay_ =
        gFrameTime + static_cast<std::uint32_t>(GetGameParamInt(PARAM_AP_MINUS_1_DAMAGE_DURATION));
  }
  if (sharpshooter_ != 0) {
    duration = static_cast<std::uint32_t>(r3xFloatToInt(
        static_cast<float>(duration) * GetGameParamFloat(PARAM_SHARPSHOOTER_RANGE_MULTIPLIER)));
  }
  expiry_ = gFrameTime + duration;
  r3xSetActorCurrentAction(actor_, action_);
  R3xObjectHeader* part = r3xGetActorPart(actor_, action_, 0);
  float radius = 0.0f;
  if (r3xGetPartRadius(part, &radius) == 0) {
    r3xSetActorRadius(actor_, radius, 0);
  }
  volume_ = nullptr;
  if (r3xGetPartVolume(part, &volume_) == 0 && volume_ != nullptr) {
    r3xSetActorVolume(gWorld, actor_, volume_);
  }
}

float CBullet::Impulse() const {
  const std::int32_t row = KindRow(kind_).impulseRow;
  return row == kNoRow ? 0.0f : GetGameParamFloat(static_cast<std::size_t>(row));
}

std::uint32_t CBullet::Update() {
  R3xPlacement s{};
  if (KindRow(kind_).ballistic) {
    motion_.IntegrateBallistic(&s);
  } else {
    motion_.Integrate(&s);
  }
  const MoverCallbacks callbacks{BulletSweepFilter, BulletSweepHit, this, R3X_SWEEP_EXACT};
  R3xContact* contact = gMover->MoveTo(actor_, &s.x, callbacks);
  r3xGetActorPlacement(actor_, &s);
  if (KindRow(kind_).spins) {
    s.roll = WrapTurn(s.roll + spin_);
    spin_ = WrapTurn(spin_ + 1.0f);
  }
  r3xSetActorPlacement(gWorld, actor_, &s);
  if (contact == nullptr) {
    if (decay_ < gFrameTime) {
      if (--damage_ == 0) {
        return End();
      }
      decay_ += static_cast<std::uint32_t>(GetGameParamInt(PARAM_AP_MINUS_1_DAMAGE_DURATION));
    }
    return expiry_ < gFrameTime ? End() : 0;
  }
  bool pushed = false;
  if (contact->contactClass == R3X_CONTACT_OBJECT) {
    auto* touched = static_cast<R3xActor*>(contact->target);
    switch (ActorOwnerKind(touched)) {
      case KIND_TANK:
        if (CTank* tank = CTank::FromActor(touched); tank != nullptr) {
          pushed = CarryOutShotOrders(*tank, HitTank(TankFactsForShot(*tank, &s.x, splashRadius_)));
        }
        break;
      default:
        if (report_ != 0) {
          ReportShotOnTeamObject(touched, static_cast<std::uint32_t>(damage_));
        }
        break;
    }
  }
  if (noSplash_ == 0) {
    ApplySplash(s, pushed);
  }
  ShowHitEffects(s);
  return End();
}

ShotTankOrders CBullet::HitTank(const ShotTankFacts& tank) {
  if (tank.isLocal) {
    effects_ = 0;
  }
  if (ShieldCoversSide(tank.shieldBits, tank.side)) {
    hitClass_ = kHitClassShield;
  }
  ShotTankOrders orders;
  orders.report = report_ != 0 && noSplash_ != 0;
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

SplashOrders OrdersOfShare(const BlastShare& share, bool report, std::uint32_t owner,
                           std::int32_t side, std::int32_t modelCode, bool designOpen,
                           bool pushed) {
  SplashOrders orders;
  orders.report = report;
  orders.damage = share.damage;
  orders.owner = owner;
  orders.side = side;
  orders.modelCode = modelCode;
  if (!designOpen && !pushed) {
    orders.push = true;
    orders.velocity = share.velocity;
    orders.angularVelocity = share.angularVelocity;
  }
  return orders;
}

std::optional<SplashOrders> CBullet::SplashOnTank(const Vector3& centre, const Vector3& position,
                                                  float bodyRadius, const ShotTankFacts& tank,
                                                  bool pushed) const {
  const std::optional<BlastShare> share =
      BlastShareAt(centre, position, bodyRadius + splashRadius_, damage_, Impulse());
  if (!share || !SplashReaches(centre, position)) {
    return std::nullopt;
  }
  return OrdersOfShare(*share, report_ != 0, owner_, tank.side, modelCode_, tank.designOpen,
                       pushed);
}

void CBullet::ApplySplash(const R3xPlacement& at, bool pushed) {
  const Vector3 centre{at.x, at.y, at.z};
  for (LinkNode* node = gTankList; node != nullptr; node = node->next) {
    auto* tank = static_cast<CTank*>(node->object);
    const float bodyRadius = tank->bodyActor != nullptr ? r3xGetActorRadius(tank->bodyActor) : 0.0f;
    const std::optional<SplashOrders> orders =
        SplashOnTank(centre, {tank->position[0], tank->position[1], tank->position[2]}, bodyRadius,
                     TankFactsForShot(*tank, centre.data(), splashRadius_), pushed);
    if (orders) {
      CarryOutSplashOrders(*tank, *orders);
    }
  }
}

void CBullet::ShowHitEffects(const R3xPlacement& at) {
  if (effects_ == 0 || IsNearCamera(&motion_.pose.x, gFarDistance) == 0) {
    return;
  }
  if (hitClass_ >= kHitClassShield && hitClass_ <= 6) {
    float matrix[9];
    r3xAnglesToMatrix(motion_.pose.heading, motion_.pose.pitch, motion_.pose.roll, matrix);
    const Colour colour = kClassColours[hitClass_ - kHitClassShield];
    ParticleBurst burst;
    burst.kind = kParticleBurst;
    burst.attempts = KindRow(kind_).particles;
    burst.position[0] = at.x;
    burst.position[1] = at.y;
    burst.position[2] = at.z;
    for (int i = 0; i < 3; ++i) {
      burst.velocity[i] = kParticleSpeed * matrix[i];
    }
    burst.spread = kParticleSpread;
    burst.maxLife = kParticleLife;
    burst.red = colour.red;
    burst.green = colour.green;
    burst.blue = colour.blue;
    EmitArenaParticles(burst);
  } else {
    CExplosion::Spawn(hitClass_, &at.x);
  }
  PlayArenaSoundAt(Address(), static_cast<std::uint32_t>(sound_) | SOUND_POSITIONAL, at.x, at.y);
}

std::uint32_t CBullet::End() {
  finished_ = 1;
  if (gCameraFollow == &motion_.pose) {
    gCameraFollow = nullptr;
  }
  launchPose_.z = gWorldCeiling - 1.0f;
  r3xSetActorHidden(actor_, 1);
  r3xSetActorVolume(gWorld, actor_, r3xEmptyVolume());
  motion_.pose = launchPose_;
  r3xSetActorPlacement(gWorld, actor_, &motion_.pose);
  return finished_;
}

void CBullet::FollowWithCamera() { gCameraFollow = &motion_.pose; }

std::uint32_t BulletSweepFilter(R3xActor* actor, void* user) {
  const auto* bullet = static_cast<const CBullet*>(user);
  const CMailbox* owner = ActorOwner(actor);
  if (owner == nullptr) {
    return R3X_SWEEP_IGNORE;
  }
  switch (owner->Address() & 0xFFFF0000u) {
    case KIND_TANK:
      if (owner->Address() == bullet->Owner()) {
        return R3X_SWEEP_IGNORE;
      }
      return IsTanksSmallBody(actor) ? R3X_SWEEP_VOLUME : R3X_SWEEP_IGNORE;
    case KIND_PERSONAL_DEFENSE:
    case KIND_DEFENSE:
    case KIND_RECON_GUN:
      return owner->Address() == bullet->Owner() ? R3X_SWEEP_IGNORE : R3X_SWEEP_PARTS;
    default:
      return R3X_SWEEP_IGNORE;
  }
}

std::int32_t BulletSweepHit(R3xContact* contact, void* /*user*/, std::int32_t* pass,
                            std::int32_t* reportRemaining, float* backoff) {
  *pass = contact->phase == R3X_CONTACT_TOUCH && contact->passable == 0 ? 0 : 1;
  *reportRemaining = 0;
  *backoff = kBackoff;
  if (*pass == 0) {
    gMover->hitFlag = 1;
  }
  return 0;
}
