// CPlayerTank: the state, fire and status reports the own tank sends the server.

#include <algorithm>
#include <vector>

#include "base/byte_writer.h"
#include "battle/arena/player_loadout_slots.h"
#include "battle/arena/player_tank.h"
#include "battle/core/frame_time.h"
#include "common/messages.h"
#include "engine/r3x_core.h"

namespace {

// The wire's fixed point: the value x 32, truncated, kept in 16 bits (larger values wrap).
void WireFixed(arena::ByteWriter& writer, float value) {
  writer.U16(static_cast<std::uint16_t>(r3xFloatToInt(value * 32.0f)));
}

void WireTriple(arena::ByteWriter& writer, const float* values) {
  for (int i = 0; i < 3; ++i) {
    WireFixed(writer, values[i]);
  }
}

bool AtRest(const float* momentum) {
  return std::all_of(momentum, momentum + 3, [](float m) { return m > -0.001f && m < 0.001f; });
}

}  // namespace

TankStateRecord CPlayerTank::PackState() const {
  arena::ByteWriter writer;
  WireTriple(writer, position);
  const float angles[3] = {heading, pitch, roll};
  WireTriple(writer, angles);
  WireTriple(writer, momentum);
  WireTriple(writer, angularMomentum);
  WireFixed(writer, driveForce);
  WireFixed(writer, turnForce);
  writer.U8(AtRest(momentum) ? 1 : 0);
  writer.U8(static_cast<std::uint8_t>(r3xFloatToInt(turretHeadingTarget * 0.5f)));
  writer.U8(static_cast<std::uint8_t>(r3xFloatToInt(barrelPitchTarget * 0.5f)));
  writer.U8(shieldBits);
  writer.U8(static_cast<std::uint8_t>(armor));
  writer.U8(static_cast<std::uint8_t>(crits));
  writer.U8(static_cast<std::uint8_t>((rocketFlight != 0 ? 1 : 0) | (rocketThrust != 0 ? 2 : 0)));
  writer.U8(0);  // spare
  TankStateRecord record{};
  std::copy_n(writer.bytes().begin(), record.size(), record.begin());
  return record;
}

void CPlayerTank::SendState(std::uint32_t type, std::uint32_t value) {
  if (alive == 0 || (type == MSG_TANK_STATE && value == 0)) {
    return;
  }
  if (type == MSG_TANK_STATE) {
    const TankStateRecord record = PackState();
    Post(kNetworkAddress, MSG_TANK_STATE, static_cast<std::uint32_t>(record.size()), record.data());
  } else if (type == MSG_TANK_FIRE) {
    R3xPlacement muzzle{};
    if (barrelActor != nullptr) {
      r3xGetActorPlacement(barrelActor, &muzzle);
    }
    arena::ByteWriter writer;
    writer.F32(muzzle.x);
    writer.F32(muzzle.y);
    writer.F32(muzzle.z);
    writer.F32(muzzle.heading);
    writer.F32(muzzle.pitch);
    writer.U32(value);
    Post(kNetworkAddress, MSG_TANK_FIRE, static_cast<std::uint32_t>(writer.size()),
         writer.bytes().data());
  }
  const std::uint32_t interval =
      session_.stateReportInterval != nullptr ? *session_.stateReportInterval : 0;
  nextStateReport = gFrameTime + interval;
}

std::vector<std::uint8_t> CPlayerTank::PackVehicleStatus() const {
  arena::ByteWriter writer;
  writer.I32(r3xFloatToInt(battery));
  writer.U32(0);  // carries nothing the server reads
  writer.I32(rearShield);
  writer.I32(frontShield);
  const auto pair = [&writer](std::uint32_t attribute, std::int32_t value) {
    writer.U32(attribute);
    writer.I32(value);
  };
  const auto fitted = [this](std::size_t module) { return modules[module] != nullptr; };
  const auto device = [&](std::size_t module, std::uint32_t attribute) {
    if (fitted(module)) {
      pair(attribute, 1);
    }
  };
  const auto stocked = [&](std::size_t module, std::uint32_t attribute, std::size_t stock) {
    if (fitted(module)) {
      pair(attribute, stocks[stock]);
    }
  };
  if (weaponSlots[kSlotCannon] != nullptr) {
    pair(2, 1);
  }
  if (selectedShell != nullptr) {
    stocked(kFragShellModule, 8, kFragShellStock);
    stocked(kHeatShellModule, 9, kHeatShellStock);
    stocked(kApShellModule, 10, kApShellStock);
  }
  if (weaponSlots[kSlotChainGun] != nullptr) {
    pair(1, 1);
  }
  stocked(kChainGunAmmoModule, 11, kChainGunBulletStock);
  for (std::size_t slot = kSlotMarkI; slot <= kSlotPlasma; ++slot) {
    if (weaponSlots[slot] != nullptr) {
      pair(static_cast<std::uint32_t>(3 + slot - kSlotMarkI), 1);
    }
  }
  stocked(kPhoenixModule, 12, kPhoenixStock);
  stocked(kDeactivatorMissileModule, 13, kDeactivatorMissileStock);
  stocked(kBatteryDrainModule, 14, kBatteryDrainStock);
  stocked(kFlashModule, 15, kFlashStock);
  stocked(kDetonationMineModule, 17, kDetonationMineStock);
  stocked(kProximityMineModule, 16, kProximityMineStock);
  stocked(kDeactivatorMineModule, 18, kDeactivatorMineStock);
  stocked(kReservePowerModule, 22, kSpareBatteryStock);
  device(kStealthModule, 24);
  device(kCloakModule, 25);
  device(kDopplerRadarModule, 26);
  device(kInfraRedModule, 28);
  device(kPhaseMultiplierModule, 27);
  device(kSuperchargerModule, 23);
  device(kSharpshooterModule, 39);
  device(kFlagCatcherModule, 29);
  device(kControllerModule, 31);
  device(kPowerReceiverModule, 32);
  stocked(kMineSweeperModule, 33, kMineSweepStock);
  device(kSatelliteCameraModule, 34);
  stocked(kRocketsModule, 35, kRocketStock);
  stocked(kTurboModule, 37, kTurboStock);
  device(kDampenerModule, 36);
  stocked(kFlaresModule, 38, kFlareStock);
  stocked(kChaffModule, 41, kChaffStock);
  device(kReconCaptureModule, 30);
  return writer.bytes();
}

void CPlayerTank::SendVehicleStatus() {
  const std::vector<std::uint8_t> report = PackVehicleStatus();
  Post(kNetworkAddress, MSG_STATUS_REPORT, static_cast<std::uint32_t>(report.size()),
       report.data());
}
