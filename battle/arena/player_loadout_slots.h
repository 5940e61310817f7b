// The indices of the player's tank's loadout arrays: the weapon slots, the other modules (one
// pointer each, null when not fitted) and the stocks.
#pragma once

#include <cstddef>

enum PlayerWeaponSlot : std::size_t {
  kSlotCannon,
  kSlotChainGun,
  kSlotMarkI,
  kSlotMarkII,
  kSlotMarkIV,
  kSlotPlasma,
};

enum PlayerModuleKind : std::size_t {
  kReservePowerModule,
  kChainGunAmmoModule,
  kFragShellModule,
  kHeatShellModule,
  kApShellModule,
  kPhoenixModule,
  kGuidedModule,
  kDeactivatorMissileModule,
  kBatteryDrainModule,
  kFlashModule,
  kDetonationMineModule,
  kProximityMineModule,
  kDeactivatorMineModule,
  kStealthModule,
  kCloakModule,
  kDopplerRadarModule,
  kInfraRedModule,
  kPhaseMultiplierModule,
  kSuperchargerModule,
  kFlagCatcherModule,
  kReconCaptureModule,
  kControllerModule,
  kPowerReceiverModule,
  kMineSweeperModule,
  kSatelliteCameraModule,
  kRocketsModule,
  kDampenerModule,
  kTurboModule,
  kFlaresModule,
  kSharpshooterModule,
  kSpareDeviceModule,
  kChaffModule,
};

enum PlayerStockKind : std::size_t {
  kReconCaptureStock,
  kSpareBatteryStock,
  kSpareBatteryMaximum,
  kChainGunBulletStock,
  kFragShellStock,
  kHeatShellStock,
  kApShellStock,
  kPhoenixStock,
  kGuidedStock,
  kDeactivatorMissileStock,
  kBatteryDrainStock,
  kFlashStock,
  kRocketStock,
  kTurboStock,
  kFlareStock,
  kChaffStock,
  kDetonationMineStock,
  kProximityMineStock,
  kDeactivatorMineStock,
  kMineSweepStock,
};
