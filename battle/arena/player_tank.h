// CPlayerTank: the local player's tank. A CTank that the player drives instead of the server's
// state messages: it integrates its own motion and reports its state, and carries what the player
// owns in the arena (the input mailbox, the key bindings, the chat line and macros, the view and
// camera, the energy and loadout state the cockpit shows). At most one exists; the game session
// makes it on MSG_CREATE_PLAYER_TANK and the world stop deletes it.
//   player_tank.cpp          construction, destruction and the input mailbox's messages
//   player_tank_update.cpp   the frame's step, the movement controls, camera and zoom
//   player_tank_input.cpp    the player's commands
//   player_tank_weapons.cpp  firing, mines, missiles, weapon, shell and target choice
//   player_tank_damage.cpp   hits, the battery charge and the power-down
//   player_tank_energy.cpp   the energy step, the rocket fuel and fall damage
//   player_tank_loadout.cpp  the loadout, the view reset and design mode
//   player_tank_reports.cpp  the state, fire and status reports to the server
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "battle/arena/chat_line.h"
#include "battle/arena/chat_macros.h"
#include "battle/arena/player_input_poll.h"
#include "battle/arena/player_key_bindings.h"
#include "battle/arena/player_loadout.h"
#include "battle/arena/tank.h"
#include "battle/core/game_params.h"
#include "common/mailbox.h"

struct HostRecord;
struct InputEvent;

// What the tank changes of the game session's view: the projection the zoom keeps equal to the
// camera's, and the parameter editor, which the session opens. Installed by the session.
struct PlayerTankSession {
  // The host's record: its keyboard and the view the screens save and give back.
  HostRecord* host = nullptr;
  float* viewAngle = nullptr;
  float* farDistance = nullptr;
  float aspect = 4.0f / 3.0f;
  float nearDistance = 0.8f;
  // The milliseconds between state reports, which the server's global parameters set.
  const std::uint32_t* stateReportInterval = nullptr;
  // Reads the vehicle the design screen configured; false leaves `out` as it was.
  bool (*readLoadout)(LoadoutConfig& out) = nullptr;
  // Switches the view for the editor and opens it on `table` (null: the view change alone).
  // False when no editor could be made.
  bool (*openParamEditor)(CParam* table, std::uint32_t rowCount) = nullptr;
  // The design screen's translation of an input event's twelve words: consumed, or rewritten
  // into its exit command.
  void (*translateDesignKey)(std::array<std::uint32_t, 12>& words) = nullptr;
  // The time until which the session draws no 3D view (a flash missile's blank-out).
  std::uint32_t* noDrawUntil = nullptr;
  // The commands the session performs: 0x1049 timing display, 0x1053 render quality (`value`
  // the alternate render flag), 0x107B full screen, 0x1082 screen capture.
  void (*sessionCommand)(std::uint32_t command, std::uint32_t value) = nullptr;
  // Destroys the open parameter editor.
  void (*closeParamEditor)() = nullptr;
  // Leaves the design screen, completing the vehicle it shows.
  void (*closeDesignScreen)() = nullptr;
  // Rebuilds the view after the host's screen size or view flags changed.
  void (*rebuildView)() = nullptr;
};

// The table a MSG_PARAM_EDITOR payload selects: the game table for an empty payload, the arena
// table (rows 0-99 set from the payload first) for exactly 396 bytes, none for any other length.
struct ParamEditorTable {
  CParam* table = nullptr;
  std::uint32_t rowCount = 0;
};
ParamEditorTable PrepareParamEditorTable(std::span<const std::uint8_t> payload);
// The arena table's rows the server sends and takes back: 1 to 99.
inline constexpr std::uint32_t kArenaTableRows = 99;

// A kind-4 event's code as a command: the turn and throttle steps pass, ten codes map onto
// turret and weapon commands, anything else is none (0x1001).
std::uint32_t MapControlCode(std::uint32_t code);

// The message log's view after Scroll Up (`up`) or Scroll Down: `shown` is the index of the
// newest line shown, `newest` that of the newest line, both in the 64-line ring.
std::int32_t ScrollMessageLog(std::int32_t newest, std::int32_t shown, bool up);

inline constexpr std::size_t kMessageLogLines = 64;
inline constexpr std::size_t kRosterNames = 20;
inline constexpr std::size_t kWeaponSlots = 6;
// The other modules, one pointer each: reserve power, chain-gun ammunition, frag, HEAT and AP
// shells, Phoenix, guided, deactivator, battery-drain and flash missiles, detonation, proximity
// and deactivator mines, stealth, cloak, Doppler radar, infra-red, phase multiplier,
// supercharger, flag catcher, recon capture, controller, power receiver, mine sweeper, satellite
// camera, rockets, dampener, turbo boost, flares, sharpshooter, one more device, chaff.
inline constexpr std::size_t kModuleKinds = 32;
inline constexpr std::size_t kModuleRockets = 25;
// The stocks: recon captures, spare batteries and their maximum, chain-gun bullets, frag, HEAT
// and AP shells, Phoenix, guided, deactivator, battery-drain and flash missiles, rockets, turbo
// boosts, flares, chaff, detonation, proximity and deactivator mines, mine sweeps.
inline constexpr std::size_t kStockKinds = 20;
inline constexpr std::size_t kChargeZones = 7;

class CPlayerTank : public CTank {
 public:
  // Builds the tank from a MSG_CREATE_PLAYER_TANK record. Works() is false when the tank part
  // stopped unfinished: nothing else is set up and the tank must be deleted.
  CPlayerTank(const TankCreateRecord& record, PlayerTankSession session = {});
  ~CPlayerTank() override;

  bool Works() const { return inputMailbox_ != nullptr; }
  CMailbox& InputMailbox() { return *inputMailbox_; }

  // The input mailbox's messages, the quit and roster timers.
  void ProcessMessages();
  // The frame's step (player_tank_update.cpp).
  void Update();
  void PlaceCamera();
  void SetTurn(std::int32_t percent);
  void SetThrottle(std::int32_t percent);
  void ResetZoom();
  void EndSatelliteView();
  void StopThrusters();
  // The death wait; nonzero while it goes on.
  std::uint32_t WaitRespawn();
  // What the input poll reads and changes of the tank.
  PlayerInputTank InputPollView();
  PlayerInputPollState& InputPollState() { return pollState_; }
  // Reports (player_tank_reports.cpp). Nothing while the tank is not alive, nor for
  // MSG_TANK_STATE with value 0; MSG_TANK_STATE with 1 sends the state, MSG_TANK_FIRE the shot
  // `value`; then the next state report is due one report interval on.
  void SendState(std::uint32_t type, std::uint32_t value);
  void SendVehicleStatus();
  // Commands (player_tank_input.cpp): performs one input event, which it may rewrite.
  void HandleInput(InputEvent& event);
  void HandleFollowCameraInput(InputEvent& event);
  void PerformCommand(std::uint32_t code);
  // Takes `amount` from the battery, using up spare batteries; false when the battery ran out.
  bool DrainBattery(float amount);
  // Damage and energy (player_tank_damage.cpp). TakeHit: 1 when the hit left no crits.
  std::uint32_t TakeHit(std::int32_t damage, std::uint32_t sides, std::int32_t kind);
  void ChargeBattery(float amount);
  // Stops and powers the tank down.
  void ResetMotion(std::uint32_t shieldsOff, std::uint32_t fullStop);
  // Energy (player_tank_energy.cpp): the 250 ms energy step, the rocket fuel before the move
  // and the damage of a hard landing after it (the damage, 0 for none).
  void UpdateEnergy();
  void UpdateRockets();
  std::int32_t CheckFallDamage();
  // Loadout (player_tank_loadout.cpp).
  void ApplyLoadout(const LoadoutConfig& config);
  // The reset after a respawn or a refit: the design screen's vehicle applied, the view reset.
  void ResetView();
  void EnterDesignMode(std::uint32_t flag);
  std::uint32_t CanRise(std::uint32_t fullCheck) const;
  // Weapons (player_tank_weapons.cpp).
  void FireWeapon();
  void LayMine(std::uint32_t kind);
  void LaunchMissile(std::uint32_t command);
  void UpdateWeaponFeed();
  void SelectNextWeapon();
  void SelectNextShell();
  // The first eligible tank after `id` on the tank list (from its start for 0), and the last
  // eligible one before `id`; 0 for none.
  std::uint32_t SelectPriorTarget(std::uint32_t id) const;
  std::uint32_t SelectNextTarget(std::uint32_t id) const;
  TankStateRecord PackState() const;
  std::vector<std::uint8_t> PackVehicleStatus() const;

  // Motion parameters, set by the loadout.
  float turboForceMultiplier = 0.0f;
  float maxForwardThrust = 0.0f;
  float maxReverseThrust = 0.0f;
  float maxTurningThrust = 0.0f;
  float fineTurningThrust = 0.0f;
  float fallPeakHeight = -1.0f;
  float fallHeight = 0.0f;

  // Input devices.
  bool joystickPresent = false;
  JOYCAPSA joystickCaps{};
  std::unique_ptr<CPlayerKeyBindings> keyBindings;
  float satelliteHeading = 0.0f;
  float satellitePitch = 0.0f;
  std::int32_t satellitePanHeading = 0;
  std::int32_t satellitePanPitch = 0;
  std::uint32_t restrictedKeys = 0;

  // View and camera.
  std::int32_t zoomLevel = 0;
  float viewAngle = 85.0f;
  float targetViewAngle = 85.0f;
  std::uint32_t nextZoomStep = 0;
  std::int32_t crosshairRow = 0;
  std::uint32_t outsideView = 0;
  std::uint32_t deathWaitEnd = 0;
  float viewPitchOffset = 0.0f;

  // Control state.
  std::uint32_t detonationPending = 0;
  std::uint32_t turboEnd = 0;
  std::uint32_t nextFlagReport = 0;
  std::uint32_t deactivated = 0;
  std::uint32_t reactivationTime = 0;
  std::int32_t chargeGauge = 0;
  std::int32_t previousChargeGauge = 0;
  std::uint32_t nextEnergyTick = 0;
  std::int32_t throttle = 0;
  std::int32_t throttleTarget = 0;
  std::uint32_t lastThrottleStep = 0;
  std::uint32_t nextStateReport = 0;
  std::int32_t raiseState = 0;
  std::array<std::uint32_t, kChargeZones> chargeZones{};
  std::uint32_t weaponReady = 1;
  std::uint32_t fireHeld = 0;
  std::uint32_t precisionAiming = 0;
  std::uint32_t precisionLock = 0;
  std::uint32_t lastFire = 0;
  std::uint32_t fireInterval = 2000;
  float radarRange = 0.0f;
  std::uint32_t designScreenOpen = 1;
  std::uint32_t paramEditorOpen = 0;
  std::uint32_t flagCatcherOn = 0;
  std::uint32_t alternateRender = 0;
  std::uint32_t gridMapShown = 0;
  // Dirty flags the cockpit repaints by.
  std::uint32_t rosterDirty = 0;
  std::uint32_t batteryDirty = 0;
  std::uint32_t chargeGaugeDirty = 0;
  std::uint32_t shieldAllocationDirty = 0;
  std::uint32_t armorDirty = 0;
  std::uint32_t frontShieldDirty = 0;
  std::uint32_t rearShieldDirty = 0;
  std::uint32_t critsDirty = 0;
  std::uint32_t throttleDirty = 0;
  std::uint32_t weaponsDirty = 0;
  std::uint32_t scoreDirty = 0;
  std::uint32_t targetDirty = 0;
  // The message log: the newest line last, at most 64.
  std::array<std::string, kMessageLogLines> messageLog;
  std::uint32_t logCount = 0;
  std::uint32_t logFirstShown = 0;

  // Energy, shields and damage.
  std::int32_t armor = 100;
  std::int32_t frontShield = 0;
  std::int32_t rearShield = 0;
  std::int32_t crits = 100;
  std::int32_t groundTextureCycle = 0;
  float battery = 100.0f;
  std::uint32_t frontShieldDownTime = 0;
  std::uint32_t rearShieldDownTime = 0;
  std::uint32_t frontShieldChargeDelay = 0;
  std::uint32_t rearShieldChargeDelay = 0;
  std::uint32_t frontShieldOn = 0;
  std::uint32_t rearShieldOn = 0;
  std::uint32_t cloakOn = 0;
  std::uint32_t infraRedOn = 0;
  std::uint32_t phaseMultiplierOn = 0;
  float turretRange = 0.0f;
  std::int32_t armorMaximum = 100;
  std::int32_t critsMaximum = 100;
  std::int32_t batteryCapacity = 100;
  std::int32_t shieldMaximum = 0;
  float armorPercent = 100.0f;
  float critsPercent = 100.0f;
  float shieldDrain = 0.0f;
  float shieldRecover = 0.0f;
  float shieldAllocation = 1.0f;
  std::int32_t shieldAllocationStep = 4;
  std::int32_t shieldChargeRate = 0;
  std::int32_t shieldTransferRate = 0;
  std::int32_t shieldDecayRate = 0;

  // Loadout: the design screen's module records, and the stocks.
  const void* selectedWeapon = nullptr;
  const void* selectedShell = nullptr;
  std::array<const void*, kWeaponSlots> weaponSlots{};
  std::array<const void*, kModuleKinds> modules{};
  std::array<std::int32_t, kStockKinds> stocks{};

  // Rockets, satellite view and leaving.
  std::uint32_t nextRocketDrain = 0;
  float rocketFuel = 0.0f;
  std::uint32_t rocketFuelSet = 0;
  std::uint32_t rocketBarDirty = 0;
  std::uint32_t rocketLockout = 0;
  std::int32_t lastPostedDamageLevel = 0;
  std::uint32_t turboOn = 0;
  std::uint32_t followedObject = 0;
  std::uint32_t satelliteView = 0;
  std::uint32_t quitTime = 0;
  std::array<std::string, kRosterNames> rosterNames;
  std::array<std::int32_t, kRosterNames> rosterScores{};
  std::uint32_t rosterShownUntil = 0;
  std::int32_t rosterPresses = 0;
  std::uint32_t savedScreenWidth = 0;
  std::uint32_t savedScreenHeight = 0;
  std::uint32_t savedViewFlags = 0;
  std::uint32_t targetingOff = 1;
  std::uint32_t target = 0;
  R3xActor* targetMarker = nullptr;
  std::int32_t reconRelation = 0;
  ChatMacros chatMacros;

 private:
  void HandleInputMessage(const MailboxMessage& message);
  void HandleOwnMessages(bool& destroyed);
  void HandleChat(std::uint32_t type, std::span<const std::uint8_t> payload);
  void AddMessage(const std::string& line);
  void OpenParamEditor(std::span<const std::uint8_t> payload);
  void DropCarriedFlag(int report);
  void StepDrive();
  void StepTurret();
  void StepZoom();
  void SetProjection();
  void PlayContactSound(std::int32_t contact, const float* momentumBefore);
  void PlaceFollowCamera();
  void SetTurretTargets(float pitch, float heading, bool setPitch, bool setHeading);
  float SwivelTarget() const;
  void ToggleShield(std::uint32_t& on, std::uint32_t& dirty);
  void PostWords(std::uint32_t type, std::initializer_list<std::uint32_t> words);
  void StartFireInterval();
  void PostDamageLevel(std::int32_t level);
  // One shield's share of a hit; the damage it passes on.
  std::int32_t HitShield(std::int32_t& shield, std::int32_t share, std::int32_t kind,
                         std::uint32_t& downTime, bool front);
  void ApplyHitEffect(std::int32_t kind, std::uint32_t sides);
  // One shield as the energy step sees it.
  struct ShieldSide {
    std::int32_t* value;
    std::int32_t maximum;
    std::uint32_t* on;
    std::uint32_t* downTime;
    std::uint32_t* chargeDelay;
    std::uint32_t* dirty;
    bool front;
  };
  void StepShield(ShieldSide& own, ShieldSide& other, float seconds);
  void CloakCheck();
  void HealInRecon(float seconds);
  void StopRockets();
  void AddShield(bool boost);
  void ApplyModule(const LoadoutBay& bay);
  void EndTargetChange();
  void RestoreHostView();
  void CloseParamEditor();
  void SessionCommand(std::uint32_t code, std::uint32_t value);
  void PostMissileLaunch(const R3xPlacement& from, std::int32_t kind);
  bool SlotUsable(std::size_t slot) const;
  bool IsEligibleTarget(const CTank& tank) const;

  PlayerTankSession session_;
  std::unique_ptr<CMailbox> inputMailbox_;
  std::unique_ptr<CChatLine> chatLine_;
  PlayerInputPollState pollState_;
  LoadoutConfig loadout_;
  // The table the open parameter editor edits.
  CParam* editedTable_ = nullptr;
};
