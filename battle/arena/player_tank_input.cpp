// CPlayerTank: the player's commands. Every input event becomes one command code (0x1001 none,
// 0x1002-0x108E performed by the table below).

#include <algorithm>
#include <array>
#include <cmath>

#include "base/byte_writer.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_view.h"
#include "battle/arena/bullet.h"
#include "battle/arena/chat_line.h"
#include "battle/arena/flag.h"
#include "battle/arena/input_event.h"
#include "battle/arena/missile.h"
#include "battle/arena/player_loadout_slots.h"
#include "battle/arena/player_tank.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_param_table.h"
#include "battle/core/game_params.h"
#include "common/messages.h"
#include "engine/r3x_core.h"
#include "host/interface/host_record.h"

namespace {

constexpr std::uint32_t kCommandNone = 0x1001;
constexpr std::uint32_t kCommandFirst = 0x1002;
constexpr std::uint32_t kCommandLast = 0x108E;
constexpr std::uint32_t kCommandNextSatellite = 0x106D;
constexpr std::uint32_t kCommandLeaveSatellite = 0x106C;
constexpr std::uint32_t kRosterShowTime = 10000;
constexpr std::uint32_t kSoundMessage = 44;
constexpr std::uint32_t kFlagReportHoldOff = 2000;
constexpr std::uint32_t kGroundMethodA = 0x80000001;
constexpr std::uint32_t kGroundMethodB = 0x80000006;
// The charge-zone flag of a recon within capture range.
constexpr std::size_t kReconCaptureZone = 6;
constexpr const char* kVersionLine = "Ver .91 Wed Jul 23 14:17:40 1997";

bool Passed(std::uint32_t due) { return static_cast<std::int32_t>(gFrameTime - due) >= 0; }

// The steps of the turn and throttle ranges: 0x1002 + i and 0x1011 + i.
constexpr std::int32_t kSteps[15] = {-100, -90, -75, -60, -45, -30, -15, 0,
                                     15,   30,  45,  60,  75,  90,  100};

}  // namespace

std::int32_t ScrollMessageLog(std::int32_t newest, std::int32_t shown, bool up) {
  const auto wrap = [](std::int32_t index) {
    return index < 0 ? index + 64 : (index > 63 ? index - 64 : index);
  };
  const std::int32_t n = newest;
  std::int32_t v = shown;
  if (up) {
    const bool newerAhead = n > v;
    v = wrap(v - 7);
    if (newerAhead) {
      if (v <= n && n - v <= 7) {
        v = wrap(n + 7);
      }
    } else if (n > v && n - v < 7) {
      v = wrap(n + 7);
    } else if (n <= v && v - n < 7) {
      v = wrap(n + 8);
    }
  } else if (v != n) {
    v = wrap(v + 7);
    if (v > n && v - n < 7) {
      v = n;
    }
  }
  return v;
}

std::uint32_t MapControlCode(std::uint32_t code) {
  if (code >= 0x1002 && code <= 0x101F) {
    return code;
  }
  static constexpr std::uint32_t kMapped[] = {0x102E, 0x102A, 0x102B, 0x102D, 0x102C,
                                              0x1037, 0x1038, 0x1039, 0x103A, 0x102F};
  if (code >= 0x1020 && code <= 0x1029) {
    return kMapped[code - 0x1020];
  }
  return kCommandNone;
}

void CPlayerTank::HandleFollowCameraInput(InputEvent& event) {
  std::uint32_t key = 0;
  switch (event.kind) {
    case kInputCharacter:
      if (event.value == '`' || event.value == '~') {
        key = kCommandNextSatellite;
      }
      break;
    case kInputKeyRelease:
      if (event.value == 0x1E || event.value == 0x2C) {
        key = 0x105E;
      } else if (event.value == 0xC8 || event.value == 0xD0) {
        key = 0x1032;
      } else if (event.value == 0xCB || event.value == 0xCD) {
        key = 0x1035;
      }
      break;
    case kInputKeyPress:
      key = event.value;
      break;
    case kInputControlCode: {
      const std::uint32_t code = event.value;
      if (code >= 0x1002 && code <= 0x1008) {
        key = 0xCD;
      } else if (code == 0x1009) {
        key = 0x1035;
      } else if (code >= 0x100A && code <= 0x1010) {
        key = 0xCB;
      } else if (code >= 0x1011 && code <= 0x1017) {
        key = 0xC8;
      } else if (code == 0x1018) {
        key = 0x1032;
      } else if (code >= 0x1019 && code <= 0x101F) {
        key = 0xD0;
      } else if (code == 0x1025) {
        key = 0x39;
      }
      break;
    }
    default:
      break;
  }
  event = InputEvent{};
  switch (key) {
    case 0x0F:
    case kCommandNextSatellite:
      event = {kInputCommand, kCommandNextSatellite};
      break;
    case 0x01:
    case 0x1C:
    case 0x39:
    case 0x2F:
      event = {kInputCommand, kCommandLeaveSatellite};
      break;
    case 0x1E:
      satellitePanPitch = 1;
      break;
    case 0x2C:
      satellitePanPitch = -1;
      break;
    case 0x1F:
      satellitePitch = -30.0f;
      satellitePanPitch = 0;
      break;
    case 0x105E:
      satellitePanPitch = 0;
      break;
    case 0xCB:
      satellitePanHeading = 1;
      break;
    case 0xCD:
      satellitePanHeading = -1;
      break;
    case 0x1035:
      satellitePanHeading = 0;
      break;
    default:
      break;
  }
}

void CPlayerTank::HandleInput(InputEvent& event) {
  if (quitTime != 0) {
    return;
  }
  bool routed = true;
  if (designScreenOpen != 0) {
    if (session_.translateDesignKey != nullptr) {
      std::array<std::uint32_t, 12> words{event.kind, event.value, event.mouseCode, event.x,
                                          event.y};
      session_.translateDesignKey(words);
      event = {words[0], words[1], words[2], words[3], words[4]};
    }
  } else if (paramEditorOpen != 0) {
    // With the parameter editor: CParamEditor::OnKey(event) consumes it or rewrites it (0x105D
    // closes the editor); until then the event passes as it is.
  } else if (gSteeredMissile != nullptr && gSteeredMissile->IsSteered()) {
    return;
  } else if (satelliteView != 0 && gCameraFollow != nullptr) {
    HandleFollowCameraInput(event);
  } else {
    routed = false;
  }
  std::uint32_t code = kCommandNone;
  switch (event.kind) {
    case kInputCharacter:
      code = static_cast<std::uint32_t>(
          chatLine_->ChatLineKey(static_cast<int>(static_cast<std::int32_t>(event.value))));
      break;
    case kInputControlCode:
      code = MapControlCode(event.value);
      break;
    case kInputCommand:
      code = event.value;
      break;
    default:
      break;
  }
  if (!routed && (deactivated != 0 || alive == 0)) {
    return;
  }
  PerformCommand(code);
}

bool CPlayerTank::DrainBattery(float amount) {
  // Amounts that are not positive cost nothing: a negative one never raises the battery.
  if (!(amount > 0.0f)) {
    return true;
  }
  if (battery == 0.0f) {
    return false;
  }
  battery -= amount;
  batteryDirty = 1;
  while (battery <= 0.0f && stocks[kSpareBatteryStock] > 0) {
    battery += static_cast<float>(batteryCapacity);
    --stocks[kSpareBatteryStock];
    weaponsDirty = 1;
  }
  if (battery > 0.0f) {
    return true;
  }
  battery = 0.0f;
  ResetMotion(0, 0);
  return false;
}

void CPlayerTank::SetTurretTargets(float pitch, float heading, bool setPitch, bool setHeading) {
  if (setPitch) {
    barrelPitchTarget = pitch;
  }
  if (setHeading) {
    turretHeadingTarget = heading;
  }
  turretStepTime = gFrameTime;
  turretCommandTime = gFrameTime;
}

float CPlayerTank::SwivelTarget() const {
  if (chassis == 0 && barrelPitchTarget < -20.0f) {
    return 8.0f;
  }
  return turretRange * 512.0f / 360.0f;
}

void CPlayerTank::ToggleShield(std::uint32_t& on, std::uint32_t& dirty) {
  if (shieldMaximum > 0 && cloakOn == 0) {
    on = on == 0 ? 1 : 0;
    dirty = 1;
  }
}

void CPlayerTank::EndTargetChange() {
  if (target == 0 && targetMarker != nullptr) {
    r3xSetActorHidden(targetMarker, 1);
  }
  targetDirty = 1;
}

void CPlayerTank::RestoreHostView() {
  // With the cockpit: InvalidateCockpit.
  if (session_.host != nullptr) {
    session_.host->screenWidth = static_cast<std::int32_t>(savedScreenWidth);
    session_.host->screenHeight = static_cast<std::int32_t>(savedScreenHeight);
    session_.host->viewFlags = savedViewFlags;
  }
  if (session_.rebuildView != nullptr) {
    session_.rebuildView();
  }
  // With the game session: OnViewReset.
}

void CPlayerTank::CloseParamEditor() {
  if (editedTable_ == GameParamTable.data()) {
    for (std::uint32_t row = 0; row < GAME_PARAM_COUNT; ++row) {
      CParam& param = GameParamTable[row];
      if (param.modified != 0) {
        PostWords(MSG_PARAM_SET, {row, param.value});
        param.savedValue = param.value;
        param.modified = 0;
      }
    }
    PostWords(MSG_PARAM_EDITOR, {});
  } else if (editedTable_ == ArenaParamTable.data()) {
    // The server takes the arena table whole: rows 1-99 when any row was changed.
    const bool changed = std::any_of(ArenaParamTable.begin() + 1, ArenaParamTable.end(),
                                     [](const CParam& param) { return param.modified != 0; });
    if (changed) {
      arena::ByteWriter writer;
      for (std::size_t row = 1; row <= kArenaTableRows; ++row) {
        writer.U32(ArenaParamTable[row].value);
      }
      Post(kNetworkAddress, MSG_PARAM_SET, static_cast<std::uint32_t>(writer.size()),
           writer.bytes().data());
    }
    PostWords(MSG_PARAM_EDITOR, {});
  }
  ResetView();
  paramEditorOpen = 0;
  editedTable_ = nullptr;
  if (session_.closeParamEditor != nullptr) {
    session_.closeParamEditor();
  }
  RestoreHostView();
}

void CPlayerTank::SessionCommand(std::uint32_t code, std::uint32_t value) {
  if (session_.sessionCommand != nullptr) {
    session_.sessionCommand(code, value);
  }
}

void CPlayerTank::PostWords(std::uint32_t type, std::initializer_list<std::uint32_t> words) {
  arena::ByteWriter writer;
  for (const std::uint32_t word : words) {
    writer.U32(word);
  }
  Post(kNetworkAddress, type, static_cast<std::uint32_t>(writer.size()),
       writer.size() == 0 ? nullptr : writer.bytes().data());
}

void CPlayerTank::PerformCommand(std::uint32_t code) {
  if (code < kCommandFirst || code > kCommandLast) {
    return;
  }
  if (code <= 0x1010) {
    SetTurn(kSteps[code - 0x1002]);
    return;
  }
  if (code <= 0x101F) {
    SetThrottle(kSteps[code - 0x1011]);
    return;
  }
  const auto fitted = [this](std::size_t module) { return modules[module] != nullptr; };
  switch (code) {
    case 0x102A:
      SetTurretTargets(90.0f, 0.0f, true, false);
      break;
    case 0x102B: {
      const bool deep = chassis == 0 && turretHeadingTarget > -8.0f && turretHeadingTarget < 8.0f;
      SetTurretTargets(deep ? -90.0f : -20.0f, 0.0f, true, false);
      break;
    }
    case 0x102C:
      SetTurretTargets(0.0f, SwivelTarget(), false, true);
      break;
    case 0x102D:
      SetTurretTargets(0.0f, -SwivelTarget(), false, true);
      break;
    case 0x102E:
      SetTurretTargets(barrelPitch, turretHeading, true, true);
      break;
    case 0x102F:
      SetTurretTargets(0.0f, 0.0f, true, true);
      break;
    case 0x1030:
      SetThrottle(throttle < 0 ? 0 : 100);
      break;
    case 0x1031:
      SetThrottle(throttle > 0 ? 0 : -100);
      break;
    case 0x1032:
      SetThrottle(throttle);
      break;
    case 0x1033:
      SetTurn(100);
      break;
    case 0x1034:
      SetTurn(-100);
      break;
    case 0x1035:
      SetTurn(0);
      break;
    case 0x1036:
      if (weaponWord != 0 && weaponReady != 0) {
        fireTrigger = 1;
      }
      break;
    case 0x1037:
      if (weaponWord != 0) {
        fireHeld = 1;
      }
      break;
    case 0x1038:
      fireHeld = 0;
      break;
    case 0x1039:
      if (selectedWeapon != nullptr) {
        SelectNextWeapon();
        weaponsDirty = 1;
      }
      break;
    case 0x103A: {
      const float longRange = GetGameParamFloat(PARAM_RADAR_RANGE_LONG);
      const float shortRange = GetGameParamFloat(PARAM_RADAR_RANGE_SHORT);
      if (radarRange == longRange) {
        radarRange = shortRange;
      } else if (radarRange == shortRange) {
        radarRange = GetGameParamFloat(PARAM_RADAR_RANGE_MEDIUM);
      } else {
        radarRange = longRange;
      }
      break;
    }
    case 0x103B:
      if (stocks[kProximityMineStock] > 0) {
        LayMine(2);
      }
      break;
    case 0x103C:
      if (detonationPending == 1) {
        PostWords(MSG_MINE_DETONATE, {});
        detonationPending = 0;
      } else if (stocks[kDetonationMineStock] > 0) {
        LayMine(1);
      }
      break;
    case 0x103D:
      if (fitted(kControllerModule) && raiseState == 0 && cloakOn == 0 && stealthOn == 0) {
        R3xPlacement body{};
        if (bodyActor != nullptr) {
          r3xGetActorPlacement(bodyActor, &body);
        }
        arena::ByteWriter writer;
        writer.F32(body.x);
        writer.F32(body.y);
        writer.F32(body.z);
        Post(kNetworkAddress, MSG_DEFENSE_MOVE, static_cast<std::uint32_t>(writer.size()),
             writer.bytes().data());
      }
      break;
    case 0x103E:
      if (CanRise(1) != 0) {
        R3xPlacement body{};
        r3xGetActorPlacement(bodyActor, &body);
        arena::ByteWriter writer;
        writer.F32(body.x);
        writer.F32(body.y);
        writer.F32(body.z);
        Post(kNetworkAddress, MSG_RAISE, static_cast<std::uint32_t>(writer.size()),
             writer.bytes().data());
        raiseState = 1;
        weaponsDirty = 1;
      }
      break;
    case 0x103F:
      // With the cockpit: ReportPosition.
      break;
    case 0x1042:
      if (stocks[kGuidedStock] > 0) {
        LaunchMissile(0x1042);
      }
      break;
    case 0x1043:
      if (stocks[kPhoenixStock] > 0) {
        LaunchMissile(0x1043);
      }
      break;
    case 0x1044:
      if (stocks[kDeactivatorMissileStock] > 0) {
        LaunchMissile(0x1044);
      }
      break;
    case 0x1049:
      SessionCommand(code, 0);
      break;
    case 0x104A:
    case 0x104B:
      // With the cockpit: CGameSession::StepAmbientLight up and down.
      break;
    case 0x104C:
      ToggleShield(frontShieldOn, frontShieldDirty);
      break;
    case 0x104D:
      ToggleShield(rearShieldOn, rearShieldDirty);
      break;
    case 0x104E:
      if (shieldAllocationStep <= 7) {
        ++shieldAllocationStep;
        shieldAllocation = static_cast<float>(shieldAllocationStep) * 0.25f;
        shieldAllocationDirty = 1;
      }
      break;
    case 0x104F:
      if (shieldAllocationStep >= 1) {
        --shieldAllocationStep;
        shieldAllocation = static_cast<float>(shieldAllocationStep) * 0.25f;
        shieldAllocationDirty = 1;
      }
      break;
    case 0x1050:
      EnterDesignMode(1);
      break;
    case 0x1051:
      if (designScreenOpen != 0) {
        if (session_.closeDesignScreen != nullptr) {
          session_.closeDesignScreen();
        }
        designScreenOpen = 0;
        ResetView();
        RestoreHostView();
      }
      break;
    case 0x1053:
      alternateRender = alternateRender == 0 ? 1 : 0;
      SessionCommand(code, alternateRender);
      break;
    case 0x1054:
      if (fitted(kFlagCatcherModule)) {
        if (carriedFlag != 0) {
          if (CFlag* flag = FindFlag(carriedFlag)) {
            flag->Drop(1);
          }
          carriedFlag = 0;
        }
        weaponsDirty = 1;
        flagCatcherOn = flagCatcherOn == 0 ? 1 : 0;
      }
      break;
    case 0x1056:
      if (fitted(kCloakModule) && battery > 0.0f && frontShield == 0 && rearShield == 0) {
        weaponsDirty = 1;
        cloakOn = cloakOn == 0 ? 1 : 0;
        PostWords(MSG_TANK_CLOAK, {cloakOn});
        if (frontShieldOn != 0) {
          frontShieldOn = 0;
          frontShieldDirty = 1;
        }
        if (rearShieldOn != 0) {
          rearShieldOn = 0;
          rearShieldDirty = 1;
        }
        raiseState = 0;
      }
      break;
    case 0x1057:
      if (fitted(kStealthModule) && battery > 0.0f) {
        weaponsDirty = 1;
        stealthOn = stealthOn == 0 ? 1 : 0;
        PostWords(MSG_TANK_STEALTH, {stealthOn});
        raiseState = 0;
      }
      break;
    case 0x1059:
      if (fitted(kInfraRedModule) && battery > 0.0f) {
        infraRedOn = infraRedOn == 0 ? 1 : 0;
        gSeeCloaked = infraRedOn != 0 && GetGameParamInt(PARAM_INFRA_RED_SEES_CLOAKED) != 0 ? 1 : 0;
        // With the game session: SetInfraRed(infraRedOn).
        weaponsDirty = 1;
      }
      break;
    case 0x105A:
      if (fitted(kPhaseMultiplierModule) && battery > 0.0f) {
        weaponsDirty = 1;
        phaseMultiplierOn = phaseMultiplierOn == 0 ? 1 : 0;
      }
      break;
    case 0x105B:
      ++groundTextureCycle;
      if (gRenderContext != nullptr) {
        // The ground's two indirect methods: textured, flat, or one of each.
        const std::int32_t step = groundTextureCycle % 3;
        r3xSetIndirectRenderMethod(gRenderContext, kGroundMethodA, step == 2 ? 0x53 : 0x553);
        r3xSetIndirectRenderMethod(gRenderContext, kGroundMethodB, step == 0 ? 0x553 : 0x53);
      }
      break;
    case 0x105D:
      if (paramEditorOpen != 0) {
        CloseParamEditor();
      }
      break;
    case 0x105E:
      SetTurretTargets(barrelPitch, 0.0f, true, false);
      break;
    case 0x105F:
      SetTurretTargets(0.0f, turretHeading, false, true);
      break;
    case 0x1060:
      precisionAiming = 1;
      break;
    case 0x1061:
      precisionAiming = 0;
      break;
    case 0x1062:
      precisionLock = 1;
      break;
    case 0x1063:
      precisionLock = 0;
      break;
    case 0x1064:
      rosterPresses = Passed(rosterShownUntil) ? 0 : rosterPresses + 1;
      if (rosterPresses < 3) {
        // With the cockpit: CollectScoreboard.
        rosterShownUntil = gFrameTime + kRosterShowTime;
      } else {
        rosterShownUntil = 0;
      }
      rosterDirty = 1;
      break;
    case 0x1065:
      if (stocks[kBatteryDrainStock] > 0) {
        LaunchMissile(0x1065);
      }
      break;
    case 0x1066:
      if (stocks[kFlashStock] > 0) {
        LaunchMissile(0x1066);
      }
      break;
    case 0x1067:
      if (stocks[kDeactivatorMineStock] > 0) {
        LayMine(3);
      }
      break;
    case 0x1068:
      if (fitted(kRocketsModule) && stocks[kRocketStock] > 0 && dead == 0 && upsideDown == 0) {
        if (nextRocketDrain == 0) {
          if (rocketLockout != 0 && airborne != 0) {
            break;
          }
          rocketLockout = 0;
          nextRocketDrain = gFrameTime;
          angularMomentum[0] = angularMomentum[1] = angularMomentum[2] = 0.0f;
          rocketThrust = 1;
          rocketFlight = 1;
          rocketBarDirty = 1;
        }
        if (rocketFuelSet == 0) {
          rocketFuel = GetGameParamFloat(PARAM_ROCKET_FUEL_MAX);
          rocketFuelSet = 1;
        }
        if (carriedFlag != 0) {
          DropCarriedFlag(1);
          nextFlagReport = gFrameTime + kFlagReportHoldOff;
        }
      }
      break;
    case 0x1069:
      if (fitted(kRocketsModule)) {
        StopThrusters();
      }
      break;
    case 0x106A:
      if (fitted(kTurboModule) && battery > 0.0f && stocks[kTurboStock] > 0 && turboOn == 0 &&
          upsideDown == 0 && airborne == 0) {
        const auto duration =
            static_cast<std::uint32_t>(GetGameParamInt(PARAM_TURBO_BOOST_DURATION));
        turboEnd =
            gFrameTime +
            (DrainBattery(GetGameParamFloat(PARAM_TURBO_BOOST_DRAIN)) ? duration : duration / 2);
        turboOn = 1;
        --stocks[kTurboStock];
        throttle = 0;
        turnForce = 0.0f;
        weaponsDirty = 1;
      }
      break;
    case 0x106B:
      followShot = followShot == 0 ? 1 : 0;
      break;
    case 0x106C:
      if (fitted(kSatelliteCameraModule)) {
        if (satelliteView != 0) {
          EndSatelliteView();
        }
        // With the defense objects: outside the satellite view, follow the own personal
        // defense object or the first active one of the own team.
      }
      break;
    case 0x106D:
      if (satelliteView != 0) {
        // With the defense objects: follow the next active defense object of the own team.
      } else if (selectedWeapon != nullptr && selectedWeapon == weaponSlots[kSlotCannon]) {
        SelectNextShell();
        weaponsDirty = 1;
      }
      break;
    case 0x106E:
    case 0x106F:
      if (fitted(kFlaresModule) && stocks[kFlareStock] > 0) {
        R3xPlacement barrel{};
        if (barrelActor != nullptr) {
          r3xGetActorPlacement(barrelActor, &barrel);
        }
        DropFlares(barrel.x, barrel.y, barrel.z, barrel.heading, barrel.pitch);
        weaponsDirty = 1;
        --stocks[kFlareStock];
      }
      break;
    case 0x1070:
      weaponsDirty = 1;
      gridMapShown = gridMapShown == 0 ? 1 : 0;
      break;
    case 0x1072:
      AddMessage(std::string("\af") + kVersionLine);
      break;
    case 0x1073:
      if (fitted(kMineSweeperModule) && stocks[kMineSweepStock] > 0) {
        arena::ByteWriter writer;
        writer.F32(GetGameParamFloat(PARAM_MINE_SWEEPER_RADIUS));
        Post(kNetworkAddress, MSG_MINE_SWEEP, static_cast<std::uint32_t>(writer.size()),
             writer.bytes().data());
        weaponsDirty = 1;
        --stocks[kMineSweepStock];
      }
      break;
    case 0x1074:
      if (chargeZones[kReconCaptureZone] != 0 && stocks[kReconCaptureStock] > 0) {
        arena::ByteWriter writer;
        writer.F32(position[0]);
        writer.F32(position[1]);
        writer.F32(position[2]);
        Post(kNetworkAddress, MSG_DEFENSE_CALL, static_cast<std::uint32_t>(writer.size()),
             writer.bytes().data());
        --stocks[kReconCaptureStock];
        weaponsDirty = 1;
      }
      break;
    case 0x1075:
      // With the game session: its sky switch toggled.
      break;
    case 0x1076:
    case 0x1078:
      if (fitted(kSharpshooterModule) && battery > 0.0f) {
        targetViewAngle = code == 0x1076 ? 3.0f : 85.0f;
      }
      break;
    case 0x1077:
    case 0x1079:
      targetViewAngle = viewAngle;
      break;
    case 0x107A:
      if (zoomLevel != 0) {
        ResetZoom();
        weaponsDirty = 1;
      }
      break;
    case 0x107B:
      SessionCommand(code, 0);
      // With the cockpit: InvalidateCockpit.
      break;
    case 0x107C:
      // With the game session and the cockpit: the console mode's 640 x 480 view with the
      // cockpit, ChooseDisplayMode, RebuildView; the cockpit repainted.
      break;
    case 0x107D:
      if (targetingOff != 0) {
        targetingOff = 0;
        target = SelectPriorTarget(0);
      } else if (target != 0) {
        target = SelectPriorTarget(target);
      } else {
        targetingOff = 1;
      }
      EndTargetChange();
      break;
    case 0x107E:
      if (targetingOff == 0) {
        target = SelectNextTarget(target);
        if (target == 0) {
          targetingOff = 1;
        }
      } else {
        targetingOff = 0;
        target = 0;
      }
      EndTargetChange();
      break;
    case 0x1082:
      SessionCommand(code, 0);
      PlayArenaSoundAt(Address(), kSoundMessage, 0.0f, 0.0f);
      break;
    case 0x1083:
    case 0x1084: {
      const auto newest = static_cast<std::int32_t>(logCount == 0 ? 0 : logCount - 1);
      const auto shown = static_cast<std::int32_t>(logFirstShown);
      if (code == 0x1083 || shown != newest) {
        rosterDirty = 1;
      }
      logFirstShown = static_cast<std::uint32_t>(ScrollMessageLog(newest, shown, code == 0x1083));
      break;
    }
    case 0x1085: {
      float forward = 0.0f;
      for (int i = 0; i < 3; ++i) {
        forward += orientation[0][i] * momentum[i];
      }
      forward *= inverseMass;
      if (forward > -17.0f && forward < 17.0f && reconRelation == 1) {
        momentum[0] = momentum[1] = momentum[2] = 0.0f;
        angularMomentum[0] = angularMomentum[1] = angularMomentum[2] = 0.0f;
        throttleTarget = 0;
        throttle = 0;
        driveForce = 0.0f;
        throttleDirty = 1;
        PostWords(MSG_TANK_HALT, {});
      }
      break;
    }
    case 0x108E:
      if (shieldAllocationStep != 4) {
        shieldAllocationStep = 4;
        shieldAllocation = 1.0f;
        shieldAllocationDirty = 1;
      }
      break;
    default:
      if (code >= 0x1086 && code <= 0x108D) {
        chatLine_->PlayChatMacro(chatMacros, static_cast<int>(code - 0x1086));
      }
      break;
  }
}
