// The player's tank's frame: drive, turret, zoom, the own mailbox, the move, the flag, the state
// report, firing and the camera; the movement controls and the camera and view operations.
#include <algorithm>
#include <cmath>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_view.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet.h"
#include "battle/arena/flag.h"
#include "battle/arena/missile.h"
#include "battle/arena/player_tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/global_params.h"
#include "common/messages.h"
#include "engine/r3x_core.h"

namespace {

constexpr std::uint32_t kThrottleStepMs = 4;
constexpr std::uint32_t kZoomStepMs = 60;
constexpr float kNormalViewAngle = 85.0f;
constexpr float kNarrowestViewAngle = 3.0f;
constexpr std::uint32_t kFlagReportHoldOff = 2000;
constexpr std::uint32_t kSoundBumpSqueak = 17;
constexpr std::uint32_t kSoundBumpDamage = 20;
constexpr std::uint32_t kSoundCollision = 43;
constexpr std::uint32_t kSoundTankDied = 45;

bool Passed(std::uint32_t due) { return static_cast<std::int32_t>(gFrameTime - due) >= 0; }

std::size_t ChassisRow(std::size_t first, std::uint32_t chassis) {
  return first + std::min<std::uint32_t>(chassis, kTankChassisCount - 1);
}

std::int32_t ZoomLevelOf(float viewAngle) {
  if (viewAngle == kNormalViewAngle) {
    return 0;
  }
  const int n = static_cast<int>(kNormalViewAngle - viewAngle);
  if (n < 20) return 1;
  if (n < 46) return 2;
  if (n < 59) return 3;
  if (n < 71) return 4;
  if (n < 77) return 8;
  if (n < 80) return 12;
  return 16;
}

float Length(const float* v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// The steered missile is deleted through the missile list, which owns it.
void DeleteSteeredMissile() {
  gMissileList.remove_if(
      [](const std::unique_ptr<CMissile>& missile) { return missile.get() == gSteeredMissile; });
  gSteeredMissile = nullptr;
}

}  // namespace

void CPlayerTank::SetTurn(std::int32_t percent) {
  if (turboOn == 0 && notUpright == 0) {
    turnForce = static_cast<float>(percent) *
                (precisionAiming != 0 ? fineTurningThrust : maxTurningThrust) * 0.01f;
  } else {
    turnForce = 0.0f;
  }
}

void CPlayerTank::SetThrottle(std::int32_t percent) {
  if (deactivated != 0 || notUpright != 0 || turboOn != 0) {
    return;
  }
  throttleTarget = percent;
  if (battery == 0.0f) {
    const std::int32_t n = GetGameParamInt(PARAM_NO_POWER_MOVE_MAX);
    throttleTarget = std::clamp(throttleTarget, -n, n);
  }
  if (carriedFlag != 0) {
    const std::int32_t f = GetGameParamInt(PARAM_WITH_FLAG_MOVE_MAX);
    throttleTarget = std::clamp(throttleTarget, -f, f);
  }
}

void CPlayerTank::StopThrusters() {
  rocketBarDirty = 1;
  rocketThrust = 0;
  nextRocketDrain = 0;
  turboEnd = 0;
  turboOn = 0;
  throttleTarget = 0;
}

void CPlayerTank::SetProjection() {
  const float far = std::clamp(
      zoomLevel > 0 ? static_cast<float>(zoomLevel) * gFarDistance : gFarDistance, 50.0f, 3000.0f);
  if (session_.viewAngle != nullptr) {
    *session_.viewAngle = viewAngle;
  }
  if (session_.farDistance != nullptr) {
    *session_.farDistance = far;
  }
  r3xSetCameraProjection(gCamera, viewAngle, session_.aspect, session_.nearDistance, far);
}

void CPlayerTank::ResetZoom() {
  zoomLevel = 0;
  viewAngle = kNormalViewAngle;
  targetViewAngle = kNormalViewAngle;
  SetProjection();
}

void CPlayerTank::EndSatelliteView() {
  gCameraFollow = nullptr;
  satelliteView = 0;
  weaponsDirty = 1;
  gSeeCloaked = infraRedOn != 0 && GetGameParamInt(PARAM_INFRA_RED_SEES_CLOAKED) != 0 ? 1 : 0;
  // With the cockpit: CGameSession::SetInfraRed(infraRedOn).
  UpdateWeaponFeed();
  HideParts();
}

void CPlayerTank::PlaceCamera() {
  if (gCamera != nullptr) {
    r3xSetCameraActor(gCamera, outsideView != 0 ? nullptr : barrelActor);
  }
  if (barrelActor != nullptr) {
    r3xGetActorPlacement(barrelActor, &gListenerPlacement);
  }
  if (viewPitchOffset != 0.0f) {
    const float relative[6] = {viewPitchOffset, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    ComposeTransform(&gListenerPlacement, relative);
  }
  r3xSetCameraPlacement(gWorld, gCamera, &gListenerPlacement);
}

void CPlayerTank::DropCarriedFlag(int report) {
  if (CFlag* flag = FindFlag(carriedFlag)) {
    flag->Drop(report);
  }
  carriedFlag = 0;
  flagContact = 0;
  flagCatcherOn = 0;
  weaponsDirty = 1;
}

std::uint32_t CPlayerTank::WaitRespawn() {
  if (deathWaitEnd == 0) {
    shieldBits = 0;
    ResetMotion(1, 1);
    StopThrusters();
    if (gSteeredMissile != nullptr) {
      PlaceCamera();
      UpdateWeaponFeed();  // the steering ends with the missile
      DeleteSteeredMissile();
    }
    if (carriedFlag != 0) {
      DropCarriedFlag(1);
    }
    // With the design screen: an open design screen is closed, the cockpit repainted, the host
    // view given back and the view rebuilt.
    arena::ByteWriter level;
    level.I32(damageLevel);
    Post(kNetworkAddress, MSG_TANK_DAMAGE_LEVEL, static_cast<std::uint32_t>(level.size()),
         level.bytes().data());
    deathWaitEnd =
        gFrameTime + static_cast<std::uint32_t>(GetGameParamInt(PARAM_DEATH_RESTART_TIME));
    reactivationTime = deathWaitEnd;
    damageLevel = -1;
    alive = 0;
    UpdateEngineSound();
    if (chassis < kTankChassisCount) {
      PlayArenaSoundAt(Address(), kSoundTankDied, 0.0f, 0.0f);
    }
  }
  if (modules[kModuleRockets] != nullptr) {
    StopThrusters();
  }
  float pose[6] = {};
  Move(pose);
  PlaceCamera();
  if (Passed(deathWaitEnd)) {
    Post(kNetworkAddress, MSG_TANK_RESPAWN, 0, nullptr);
    dead = 0;
    deathWaitEnd = 0;
  }
  return dead;
}

void CPlayerTank::StepDrive() {
  if (turboOn != 0) {
    if (!Passed(turboEnd)) {
      driveForce = turboForceMultiplier * maxForwardThrust;
      if (throttle != 100) {
        throttle = 100;
        throttleDirty = 1;
      }
    } else {
      turboOn = 0;
      throttleTarget = 0;
      throttle = 0;
      driveForce = 0.0f;
      throttleDirty = 1;
    }
    lastThrottleStep = gFrameTime;
    return;
  }
  if (notUpright != 0 && throttleTarget != 0) {
    throttleTarget = 0;
    throttle = 0;
    driveForce = 0.0f;
    throttleDirty = 1;
  }
  const std::uint32_t elapsed = gFrameTime - lastThrottleStep;
  if (throttle == throttleTarget) {
    lastThrottleStep = gFrameTime;
    return;
  }
  const std::int32_t step = static_cast<std::int32_t>(elapsed / kThrottleStepMs);
  if (step > 0) {
    throttle = throttle < throttleTarget ? std::min(throttle + step, throttleTarget)
                                         : std::max(throttle - step, throttleTarget);
    throttleDirty = 1;
    driveForce = static_cast<float>(throttle) *
                 (throttle >= 0 ? maxForwardThrust : maxReverseThrust) * 0.01f;
  }
  // The remainder of a 4 ms step is kept, so that frames shorter than 4 ms still move the
  // throttle (the original dropped it and stood still at such frame rates).
  lastThrottleStep = gFrameTime - elapsed % kThrottleStepMs;
}

void CPlayerTank::StepTurret() {
  const float dt = static_cast<float>(gFrameTime - turretStepTime);
  if (satelliteView != 0) {
    if (satellitePanHeading != 0 || satellitePanPitch != 0) {
      satelliteHeading += dt * static_cast<float>(satellitePanHeading) * 0.06f;
      while (satelliteHeading < 0.0f) satelliteHeading += 512.0f;
      while (satelliteHeading >= 512.0f) satelliteHeading -= 512.0f;
      satellitePitch = std::clamp(
          satellitePitch + dt * static_cast<float>(satellitePanPitch) * 0.06f, -70.0f, 45.0f);
    }
  } else if ((barrelPitchTarget != barrelPitch || turretHeadingTarget != turretHeading) &&
             dt != 0.0f) {
    float step = precisionLock != 0 ? 0.001f : dt * (precisionAiming != 0 ? 0.01f : 0.06f);
    if (zoomLevel > 0) {
      step /= static_cast<float>(zoomLevel);
    }
    const float full = GetGameParamFloat(PARAM_TURRET_TIME_TO_FULL_SPEED);
    const float t = static_cast<float>(gFrameTime - turretCommandTime);
    if (target != 0 && full > 0.0f && t < full) {
      step *= (t / full) * (t / full);
    }
    const float vertical =
        step * GetGameParamFloat(ChassisRow(PARAM_DIZURORUV_VERTICAL_TURRET_FACTOR, chassis));
    const float horizontal =
        step * GetGameParamFloat(ChassisRow(PARAM_DIZURORUV_HORIZONTAL_TURRET_FACTOR, chassis));
    barrelPitch += std::clamp(barrelPitchTarget - barrelPitch, -vertical, vertical);
    turretHeading += std::clamp(turretHeadingTarget - turretHeading, -horizontal, horizontal);
  }
  turretStepTime = gFrameTime;
}

void CPlayerTank::StepZoom() {
  if (viewAngle == targetViewAngle || !Passed(nextZoomStep)) {
    return;
  }
  nextZoomStep = gFrameTime + kZoomStepMs;
  if (targetViewAngle > viewAngle) {
    viewAngle += 2.0f;
    if (viewAngle > kNormalViewAngle) {
      viewAngle = targetViewAngle = kNormalViewAngle;
    }
  } else {
    viewAngle -= 2.0f;
    if (viewAngle <= kNarrowestViewAngle) {
      viewAngle = targetViewAngle = kNarrowestViewAngle;
    }
  }
  const std::int32_t level = ZoomLevelOf(viewAngle);
  if (level != zoomLevel) {
    weaponsDirty = 1;
  }
  zoomLevel = level;
  SetProjection();
}

void CPlayerTank::HandleOwnMessages(bool& destroyed) {
  std::uint32_t length = 0;
  while (const MailboxMessagePtr message = Receive(length)) {
    arena::ByteReader reader(message->Bytes());
    switch (message->type) {
      case MSG_TANK_SCORE:
        if (message->length >= 16) {
          for (std::uint32_t& word : score) {
            word = reader.U32();
          }
          scoreDirty = 1;
        }
        break;
      case MSG_TANK_DESTROYED:
        dead = 1;
        destroyed = true;
        return;
      case MSG_TANK_STATE:
        if (message->length >= kTankStateRecordSize) {
          std::copy_n(message->Payload(), kTankStateRecordSize, receivedState.begin());
          ApplyState(receivedState);
          framesSinceStep = 0;
          timeSinceStep = 0.0f;
        }
        break;
      case MSG_TANK_HIT:
      case MSG_MINE_DETONATE: {
        if (paramEditorOpen != 0 || alive == 0 || message->length < 16) {
          break;
        }
        if (rocketFlight == 1) {
          rocketLockout = 1;
          rocketFlight = 0;
          rocketBarDirty = 1;
          StopThrusters();
        }
        const std::int32_t damage = reader.I32();
        const std::uint32_t hitter = reader.U32();
        const std::uint32_t sides = reader.U32();
        const std::int32_t kind = reader.I32();
        if ((hitter & 0xFFFF0000u) == KIND_TANK) {
          bool hitterDead = false;
          for (const LinkNode* node = gTankList; node != nullptr; node = node->next) {
            const auto* tank = static_cast<const CTank*>(node->object);
            hitterDead = hitterDead || (tank->Address() == hitter && tank->dead != 0);
          }
          if (hitterDead) {
            break;
          }
        }
        if (TakeHit(damage, sides, kind) != 0) {
          if (carriedFlag != 0) {
            DropCarriedFlag(1);
          }
          if (modules[kModuleRockets] != nullptr) {
            rocketFlight = 0;
            rocketBarDirty = 1;
            StopThrusters();
          }
          PostWords(MSG_TANK_DESTROYED, {hitter});
        }
        break;
      }
      case MSG_TANK_RESPAWN:
        if (message->length < kTankStateRecordSize) {
          break;
        }
        alive = 1;
        rocketFuel = 0.0f;
        for (int i = 0; i < 3; ++i) {
          position[i] = 0.0f;
        }
        heading = pitch = roll = 0.0f;
        SetOrientationFromAngles();
        std::copy_n(message->Payload(), kTankStateRecordSize, receivedState.begin());
        ApplyState(receivedState);
        framesSinceStep = 0;
        timeSinceStep = 0.0f;
        ResetView();
        if (carriedFlag != 0) {
          DropCarriedFlag(1);
          nextFlagReport = gFrameTime + kFlagReportHoldOff;
        }
        break;
      case MSG_RAISED:
        if (raiseState == 1) {
          raiseState = 2;
        }
        break;
      case MSG_FLAG_TAKEN:
        if (message->length >= 4) {
          carriedFlag = reader.U32();
          SetThrottle(throttleTarget);
          weaponsDirty = 1;
        }
        break;
      case MSG_FLAG_DROPPED:
        if (carriedFlag != 0) {
          DropCarriedFlag(0);
        }
        break;
      default:
        break;
    }
  }
}

void CPlayerTank::PlayContactSound(std::int32_t contact, const float* v) {
  const float vv = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
  const float* jl = contactImpulse;
  const float* ja = contactAngularImpulse;
  const auto rebound = [&](std::size_t row) {
    if (vv <= 0.001f) {
      return 1.0f;
    }
    return -((v[0] * jl[0] + v[1] * jl[1] + v[2] * jl[2]) / vv) / GetGameParamFloat(row);
  };
  if (contact == kTankContactWall) {
    const float s = std::sqrt(jl[0] * jl[0] + jl[1] * jl[1]) * 3.0f + std::fabs(ja[2]) + 0.001f;
    if (rebound(PARAM_WALL_REBOUND_IMPULSE_FACTOR) > 0.2f) {
      PlayArenaSoundAtDistance(Address(), kSoundBumpSqueak, static_cast<int>(10000.0f / s));
    }
  } else if (contact == kTankContactSlope || contact == kTankContactFloor) {
    const float s = std::fabs(jl[2]) * 3.0f + std::sqrt(ja[0] * ja[0] + ja[1] * ja[1]) + 0.001f;
    if (rebound(PARAM_FLOOR_REBOUND_IMPULSE_FACTOR) > 0.5f) {
      PlayArenaSoundAtDistance(Address(), kSoundCollision, static_cast<int>(10000.0f / s));
    }
  } else if (contact == kTankContactRemoteTank) {
    const float s = Length(jl) * 3.0f + Length(ja) + 0.001f;
    PlayArenaSoundAtDistance(Address(), kSoundBumpSqueak, static_cast<int>(20000.0f / s));
  }
}

void CPlayerTank::PlaceFollowCamera() {
  gListenerPlacement = *gCameraFollow;
  if (satelliteView != 0) {
    // With the defense objects: a followed object that has ended ends the satellite view
    // (EndSatelliteView and PlaceCamera); else the camera rides its actor.
    gListenerPlacement.heading = satelliteHeading;
    gListenerPlacement.pitch = satellitePitch;
  } else {
    gListenerPlacement.pitch = 0.0f;
  }
  r3xSetCameraPlacement(gWorld, gCamera, &gListenerPlacement);
}

void CPlayerTank::Update() {
  if (dead != 0 && WaitRespawn() != 0) {
    return;
  }
  if (alive != 0) {
    StepDrive();
    StepTurret();
    StepZoom();
  }
  bool destroyed = false;
  HandleOwnMessages(destroyed);
  if (destroyed || alive == 0) {
    return;
  }
  UpdateRockets();
  const float momentumBefore[3] = {momentum[0], momentum[1], momentum[2]};
  float pose[6] = {};
  const std::int32_t contact = Move(pose);
  if (CheckFallDamage() > 0) {
    PlayArenaSoundAt(Address(), kSoundBumpDamage, 0.0f, 0.0f);
  } else {
    PlayContactSound(contact, momentumBefore);
  }
  if (barrelActor != nullptr) {
    r3xGetActorPlacement(barrelActor, &gOwnTankPlacement);
  }
  if (carriedFlag != 0) {
    if (CFlag* flag = FindFlag(carriedFlag)) {
      const R3xPlacement at{pose[0], pose[1], pose[2], pose[3], pose[4], pose[5], 0};
      flag->PlaceAt(at);
    }
  } else if (flagCatcherOn != 0 && flagContact != 0 && Passed(nextFlagReport)) {
    arena::ByteWriter report;
    report.U32(flagContact);
    Post(kNetworkAddress, MSG_FLAG_TAKEN, static_cast<std::uint32_t>(report.size()),
         report.bytes().data());
    nextFlagReport = gFrameTime + kFlagReportHoldOff;
  }
  if (raiseState != 0 &&
      std::all_of(momentum, momentum + 3, [](float m) { return m > -0.001f && m < 0.001f; })) {
    raiseState = 0;
    weaponsDirty = 1;
  }
  UpdateEngineSound();
  if (Passed(nextStateReport) && damageLevel >= 0) {
    SendState(MSG_TANK_STATE, 1);
  }
  if (weaponReady == 0 && gFrameTime - lastFire > fireInterval) {
    weaponReady = 1;
    // With the cockpit: SetCrosshairReady(1).
  }
  if (weaponReady != 0 && (fireTrigger != 0 || fireHeld != 0)) {
    FireWeapon();
    weaponsDirty = 1;
  }
  if (gSteeredMissile != nullptr) {
    if (gSteeredMissile->IsFinished() || !gSteeredMissile->IsSteered()) {
      PlaceCamera();
      UpdateWeaponFeed();
      if (gSteeredMissile->IsFinished()) {
        DeleteSteeredMissile();
      }
    }
  } else if (gCameraFollow != nullptr) {
    PlaceFollowCamera();
  } else {
    PlaceCamera();
  }
  UpdateEnergy();
}
