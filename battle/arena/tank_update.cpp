#include <cmath>
#include <cstring>

#include "base/byte_reader.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/flare.h"
#include "battle/arena/smoke.h"
#include "battle/arena/tank.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/log.h"
#include "battle/core/sound_code.h"
#include "battle/core/vector3.h"
#include "common/messages.h"

namespace {

constexpr std::uint32_t kSoundBumpSqueak = 17;
// 20000 over the least bump strength (0.001).
constexpr float kFarthestBump = 2e7f;
constexpr std::uint32_t kSoundTankDied = 45;
constexpr std::uint32_t kSoundLoopRocket = 5;
constexpr std::uint32_t kRocketFrequency = 11000;

// The engine loop of each chassis; chassis 4 has none (its code stops the owner's loop).
struct EngineLoop {
  std::uint32_t index;
  std::uint32_t frequency;
};
constexpr EngineLoop kEngineLoops[kTankChassisCount] = {
    {1, 13000}, {2, 11000}, {3, 11000}, {4, 11000}, {kSoundStopIndex, 0}};

}  // namespace

std::uint32_t CTank::Update() {
  if (isLocal != 0) {
    return 0;
  }
  stateReceived = 0;
  std::uint32_t length = 0;
  while (const MailboxMessagePtr message = Receive(length)) {
    // Local posts do not pass the network client's size gate: the same rule, here.
    const std::uint32_t needed = MinimumReceivedPayload(message->type);
    if (message->length < needed) {
      LogPrintf(0, "short message: type 0x%08X, %u bytes of %u", message->type, message->length,
                needed);
      continue;
    }
    // A flag's own post names it; the server never sets what a tank carries.
    if (message->type == MSG_FLAG_TAKEN && (message->sender & 0xFFFF0000u) != KIND_FLAG) {
      continue;
    }
    HandleMessage(message->type, message->Bytes());
  }
  if (dead != 0) {
    float pose[6];
    Move(pose);
    UpdateDebris();
    return finished;
  }
  if (stateReceived != 0) {
    ApplyState(receivedState);
    framesSinceStep = 0;
    timeSinceStep = 0.0f;
  }
  float pose[6];
  if (Move(pose) == kTankContactLocalTank) {
    const float strength = 3.0f * std::sqrt(Dot(contactImpulse, contactImpulse)) +
                           std::sqrt(Dot(contactAngularImpulse, contactAngularImpulse)) + 0.001f;
    // A strength that is no number gives the farthest distance rather than an undefined one.
    const float distance = 20000.0f / strength;
    PlayArenaSoundAtDistance(Address(), kSoundBumpSqueak,
                             static_cast<int>(distance < kFarthestBump ? distance : kFarthestBump));
  }
  UpdateEngineSound();
  UpdateCloakAfterFiring();
  EmitDamageSmoke(pose);
  return finished;
}

void CTank::HandleMessage(std::uint32_t type, std::span<const std::uint8_t> payload) {
  arena::ByteReader reader(payload);
  switch (type) {
    case MSG_TANK_DESTROYED:
      LaunchDebris();
      UpdateEngineSound();
      rocketThrust = 0;
      rocketFlight = 0;
      if (chassis < kTankChassisCount) {
        PlayArenaSoundAt(Address(), kSoundTankDied | SOUND_POSITIONAL, position[0], position[1]);
      }
      break;
    case MSG_TANK_STATE:
      if (alive != 0) {
        std::memcpy(receivedState.data(), payload.data(), receivedState.size());
        stateReceived = 1;
        if (receivedState[31] != shieldBits) {
          shieldBits = receivedState[31];
          UpdateShieldVisibility();
        }
      }
      break;
    case MSG_TANK_FIRE: {
      R3xPlacement muzzle{};
      muzzle.x = reader.F32();
      muzzle.y = reader.F32();
      muzzle.z = reader.F32();
      muzzle.heading = reader.F32();
      muzzle.pitch = reader.F32();
      weaponWord = reader.U32();
      FireShell(weaponWord, muzzle, 1.0f);
      fireTrigger = 1;
      break;
    }
    case MSG_TANK_STEALTH:
      stealthOn = reader.U32();
      break;
    case MSG_TANK_CLOAK:
      cloakState = reader.U32();
      ApplyCloakRule();
      break;
    case MSG_TANK_CHASSIS:
      CreateCollisionSpheres(reader.U32());
      break;
    case MSG_TANK_SCORE:
      for (std::uint32_t& value : score) {
        value = reader.U32();
      }
      break;
    case MSG_TANK_DAMAGE_LEVEL:
      damageLevel = reader.I32();
      break;
    case MSG_TANK_APPEARANCE: {
      stealthOn = reader.U32();
      const std::uint32_t cloak = reader.U32();
      damageLevel = reader.I32();
      cloakState = cloak;
      const std::uint8_t shields = reader.U8();
      if (shields != shieldBits) {
        shieldBits = shields;
        UpdateShieldVisibility();
      }
      ApplyCloakRule();
      break;
    }
    case MSG_FIRE_FLARES: {
      // Another client's flare: made here the same, with nothing pushed or reported.
      float flare[5] = {};
      for (float& value : flare) {
        value = reader.F32();
      }
      if (reader.ok()) {
        LaunchFlare(flare[0], flare[1], flare[2], flare[3], flare[4]);
      }
      break;
    }
    case MSG_TANK_RESPAWN:
      Die();
      std::memcpy(receivedState.data(), payload.data(), receivedState.size());
      stateReceived = 1;
      alive = 1;
      break;
    case MSG_FLAG_TAKEN:
      if (alive != 0) {
        carriedFlag = reader.U32();
      }
      break;
    case MSG_FLAG_DROPPED:
      carriedFlag = 0;
      flagContact = 0;
      break;
    default:
      break;
  }
}

void CTank::ApplyCloakRule() {
  if (cloakState == 0) {
    ShowMainParts();
    UpdateShieldVisibility();
  } else if (gSeeCloaked != 0) {
    cloakState = 4;
  } else {
    HideAllParts();
  }
}

void CTank::ApplyState(const TankStateRecord& record) {
  const TankState state = ReadTankState(record);
  for (int i = 0; i < 3; ++i) {
    position[i] = state.position[i];
    momentum[i] = state.momentum[i];
    angularMomentum[i] = state.angularMomentum[i];
  }
  heading = state.angles[0];
  pitch = state.angles[1];
  roll = state.angles[2];
  SetOrientationFromAngles();
  driveForce = state.drive;
  turnForce = state.turn;
  if (state.turretHeadingTarget != turretHeadingTarget ||
      state.barrelPitchTarget != barrelPitchTarget) {
    turretCommandTime = gFrameTime;
  }
  turretHeadingTarget = state.turretHeadingTarget;
  barrelPitchTarget = state.barrelPitchTarget;
  turretStepTime = gFrameTime;
  rocketFlight = rocketThrust = state.rockets != 0 ? 1 : 0;
  PlaceParts();
}

void CTank::UpdateEngineSound() {
  const EngineLoop loop = kEngineLoops[chassis < kTankChassisCount ? chassis : 4];
  const std::uint32_t code = SOUND_LOOP | loop.index;
  if (upsideDown != 0 || damageLevel < 0) {
    PlayArenaSoundAt(Address(), code, position[0], position[1]);
    return;
  }
  const std::uint32_t placement = isLocal != 0 ? SOUND_QUIET : SOUND_POSITIONAL;
  if (rocketFlight != 0) {
    if (rocketThrust != 0) {
      PlayArenaSoundAt(Address(), LoopCode(kSoundLoopRocket, kRocketFrequency) | placement,
                       position[0], position[1]);
    } else if (airborne != 0) {
      PlayArenaSoundAt(Address(), code, position[0], position[1]);
    }
    return;
  }
  const float speed = Dot(orientation[0], momentum) * inverseMass;
  const auto base = static_cast<std::int32_t>(loop.frequency);
  // A pitch beyond any integer (or of a speed that is no number) takes the lowest one, as the
  // conversion's out-of-range result did.
  const double pitch = std::fabs(static_cast<double>(base * speed * 0.075f));
  std::int32_t frequency = pitch < 2147483648.0 ? static_cast<std::int32_t>(pitch) : 0;
  if (frequency < base / 4) {
    frequency = base / 4;
  }
  PlayArenaSoundAt(Address(),
                   LoopCode(loop.index, static_cast<std::uint32_t>(frequency)) | placement,
                   position[0], position[1]);
}

void CTank::UpdateCloakAfterFiring() {
  if (fireTrigger != 0) {
    fireTrigger = 0;
    if (cloakState != 0) {
      cloakState = 2;
      uncloakedUntil = gFrameTime + static_cast<std::uint32_t>(
                                        GetGameParamInt(PARAM_CLOAK_FIRE_UNCLOAK_DURATION));
      ShowMainParts();
      UpdateShieldVisibility();
    }
  } else if (cloakState >= 2 && uncloakedUntil < gFrameTime) {
    if (gSeeCloaked != 0) {
      cloakState = 4;
    } else {
      cloakState = 1;
      HideAllParts();
    }
  } else if (cloakState == 1 && gSeeCloaked != 0) {
    cloakState = 4;
    ShowMainParts();
    UpdateShieldVisibility();
  }
}

void CTank::EmitDamageSmoke(const float* pose) {
  if (damageLevel <= 0 || nextSmokeTime >= gFrameTime) {
    return;
  }
  R3xPlacement point{pose[0], pose[1], pose[2], pose[3], pose[4], pose[5], 0};
  const float behind[3] = {-8.0f, 0.0f, 3.5f};
  MoveAlongLocal(&point, behind, 1.0f);
  const float at[3] = {point.x, point.y, point.z};
  if (r3xFindRegionAt(gWorld, at) != nullptr) {
    CSmoke::Spawn(damageLevel == 1 ? 1 : 2, &point.x, 3000);
  }
  nextSmokeTime = gFrameTime + 400 / static_cast<std::uint32_t>(damageLevel);
}
