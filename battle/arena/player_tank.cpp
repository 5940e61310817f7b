#include "battle/arena/player_tank.h"

#include "base/byte_reader.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_view.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/chat_payload.h"
#include "battle/arena/input_event.h"
#include "battle/arena/missile.h"
#include "battle/arena/own_tank.h"
#include "battle/arena/sprite_parts.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/sound_code.h"
#include "battle/core/sound_table.h"
#include "common/messages.h"
#include "engine/r3x_core.h"
#include "host/interface/host_record.h"
#include "platform/joystick/joystick.h"

namespace {

// The arena table's payload: rows 1 to 99.
constexpr std::size_t kArenaTablePayload = 396;
constexpr std::uint32_t kArenaEditorRows = 104;
constexpr std::size_t kPlaySoundPayload = 12;

// The colour escapes of the message log: BEL and a letter.
std::string ColourEscape(char letter) { return std::string("\a") + letter; }

}  // namespace

ParamEditorTable PrepareParamEditorTable(std::span<const std::uint8_t> payload) {
  if (payload.empty()) {
    return {GameParamTable.data(), GAME_PARAM_COUNT};
  }
  if (payload.size() != kArenaTablePayload) {
    return {};
  }
  arena::ByteReader reader(payload);
  ArenaParamTable[0].SetConfirmed(0xFFFFFFFFu);
  for (std::uint32_t row = 1; row <= kArenaTableRows; ++row) {
    ArenaParamTable[row].SetConfirmed(reader.U32());
  }
  return {ArenaParamTable.data(), kArenaEditorRows};
}

CPlayerTank::CPlayerTank(const TankCreateRecord& record, PlayerTankSession session)
    : CTank(record, 1), session_(session) {
  loadout_.chassis = chassis;
  // A tank part that stopped unfinished (no body actor, or not on the tank list) cannot be
  // driven: nothing below is set up and the session deletes it.
  if (bodyActor == nullptr || !IsOnList()) {
    return;
  }
  if (gCamera != nullptr) {
    r3xSetCameraActor(gCamera, bodyActor);
  }
  inputMailbox_ = std::make_unique<CMailbox>();
  inputMailbox_->SetAddress(KIND_PLAYER_INPUT);
  gOwnTankId = Address();
  // With the cockpit: the HUD font for height 14.
  joystickPresent = joyGetDevCapsA(0, &joystickCaps, sizeof joystickCaps) == JOYERR_NOERROR;
  keyBindings = std::make_unique<CPlayerKeyBindings>("control.dat");
  chatMacros = LoadChatMacros("macro.dat");
  chatLine_ = std::make_unique<CChatLine>(*this, std::string(name).size());

  gSeeCloaked = 0;
  radarRange = GetGameParamFloat(PARAM_RADAR_RANGE_LONG);
  if (session_.host != nullptr) {
    savedScreenWidth = static_cast<std::uint32_t>(session_.host->screenWidth);
    savedScreenHeight = static_cast<std::uint32_t>(session_.host->screenHeight);
    savedViewFlags = session_.host->viewFlags;
  }
  // No state reports before the first loadout, which resets the damage level.
  damageLevel = -1;
  barrelPitchTarget = 0.0f;
  turretHeadingTarget = 0.0f;
  lastThrottleStep = gFrameTime;
  turboEnd = gFrameTime;
  turretStepTime = gFrameTime;
  turretCommandTime = gFrameTime;
  lastFire = gFrameTime;
  nextStateReport = gFrameTime;
  nextFlagReport = gFrameTime;
  reactivationTime = gFrameTime;
  rosterShownUntil = gFrameTime;
  nextZoomStep = gFrameTime;
  nextEnergyTick = gFrameTime;
  // With the cockpit: SetMapZoom(1100.0).
  // The target marker; a missing definition leaves the tank without one.
  if (R3xActorDef* definition = FindActorDef("TARGET_POINTER_DEF")) {
    const R3xPlacement at{position[0], position[1], position[2], heading, pitch, roll, 0};
    targetMarker =
        r3xCreateActor(gWorld, definition, "Target", &at, r3xNoCollisionVolume(), nullptr, 1.0f,
                       1.0f, reinterpret_cast<std::uintptr_t>(static_cast<CMailbox*>(this)));
    if (targetMarker != nullptr) {
      r3xSetActorHidden(targetMarker, 1);
    }
  }
}

CPlayerTank::~CPlayerTank() {
  if (targetMarker != nullptr) {
    r3xDestroyActor(gWorld, targetMarker);
  }
  if (inputMailbox_ != nullptr) {
    // With the cockpit: CSound::StopAll, then the cockpit panels and the HUD font freed.
    if (gOwnTankId == Address()) {
      gOwnTankId = 0;
    }
  }
}

PlayerInputTank CPlayerTank::InputPollView() {
  PlayerInputTank view;
  view.mailbox = this;
  view.controls = this;
  // A keyboard the host has not opened (or has closed) is not read.
  view.keyboard = session_.host != nullptr && session_.host->keyboard.device != nullptr
                      ? &session_.host->keyboard
                      : nullptr;
  view.bindings = keyBindings->Table();
  view.restrictedKeys = restrictedKeys != 0;
  view.chat = chatLine_.get();
  view.joystickPresent = joystickPresent;
  view.joystickCaps = joystickCaps;
  view.quitTime = &quitTime;
  view.screenKeys = designScreenOpen != 0 || paramEditorOpen != 0 || satelliteView != 0;
  view.steeringMissile = gSteeredMissile != nullptr && gSteeredMissile->IsSteered();
  return view;
}

void CPlayerTank::ProcessMessages() {
  if (rosterShownUntil != 0 && static_cast<std::int32_t>(gFrameTime - rosterShownUntil) >= 0) {
    rosterDirty = 1;
    rosterShownUntil = 0;
  }
  if (quitTime != 0 && static_cast<std::int32_t>(gFrameTime - quitTime) >= 0) {
    quitTime = 0;
    Post(kNetworkAddress, MSG_QUIT, 0, nullptr);
    Post(kSessionAddress, MSG_QUIT, 0, nullptr);
  }
  std::uint32_t length = 0;
  while (const MailboxMessagePtr message = inputMailbox_->Receive(length)) {
    HandleInputMessage(*message);
  }
}

void CPlayerTank::HandleInputMessage(const MailboxMessage& message) {
  const std::span<const std::uint8_t> payload = message.Bytes();
  arena::ByteReader reader(payload);
  switch (message.type) {
    case MSG_INPUT_EVENT: {
      InputEvent event = ReadInputEvent(payload);
      HandleInput(event);
      break;
    }
    case MSG_COCKPIT_REFRESH:
      // With the cockpit: InvalidateCockpit.
      radarRange = GetGameParamFloat(PARAM_RADAR_RANGE_LONG);
      break;
    case MSG_PARAM_EDITOR:
      OpenParamEditor(payload);
      break;
    case MSG_PARAM_SET: {
      if (payload.size() < 8) {
        break;
      }
      const std::uint32_t row = reader.U32();
      const std::uint32_t value = reader.U32();
      if (row < GAME_PARAM_COUNT) {
        GameParamTable[row].SetConfirmed(value);
      }
      break;
    }
    case MSG_TOGGLE_RESTRICTED_KEYS:
      restrictedKeys = restrictedKeys == 0 ? 1 : 0;
      break;
    case MSG_CHAT:
    case MSG_CHAT_TEAM:
    case MSG_CHAT_COMMAND:
    case MSG_CHAT_REPORT:
      HandleChat(message.type, payload);
      break;
    case MSG_DESIGN_MODE:
      EnterDesignMode(payload.size() >= 4 && reader.U32() != 0 ? 1 : 0);
      break;
    case MSG_STATUS_REPORT:
      SendVehicleStatus();
      break;
    case MSG_PLAY_SOUND: {
      if (payload.size() < kPlaySoundPayload) {
        break;
      }
      const std::uint32_t code = reader.U32();
      const float x = reader.F32();
      const float y = reader.F32();
      // A code whose index names no row of the sound table plays nothing; the loop stop is
      // the one index past the table that means something.
      const std::uint32_t index = code & kSoundIndexMask;
      if (index < static_cast<std::uint32_t>(kSoundCount) ||
          (index == kSoundStopIndex && (code & SOUND_LOOP) != 0)) {
        PlayArenaSoundAt(message.sender, code, x, y);
      }
      break;
    }
    default:
      break;
  }
}

void CPlayerTank::HandleChat(std::uint32_t type, std::span<const std::uint8_t> payload) {
  char letter = 'f';
  if (type == MSG_CHAT) {
    letter = 'e';
  } else if (type == MSG_CHAT_TEAM) {
    letter = static_cast<char>('a' + (team & 3));
  }
  AddMessage(ColourEscape(letter) + std::string(ChatPayloadText(payload)));
}

void CPlayerTank::AddMessage(const std::string& line) {
  // With the cockpit: its log scrolls and repaints; here the lines are kept, the oldest dropped.
  if (logCount == kMessageLogLines) {
    for (std::size_t i = 1; i < kMessageLogLines; ++i) {
      messageLog[i - 1] = std::move(messageLog[i]);
    }
    --logCount;
  }
  messageLog[logCount++] = line;
}

void CPlayerTank::OpenParamEditor(std::span<const std::uint8_t> payload) {
  ResetMotion(1, 1);
  if (session_.host != nullptr) {
    savedScreenWidth = static_cast<std::uint32_t>(session_.host->screenWidth);
    savedScreenHeight = static_cast<std::uint32_t>(session_.host->screenHeight);
    savedViewFlags = session_.host->viewFlags;
  }
  const ParamEditorTable table = PrepareParamEditorTable(payload);
  // The session switches the view to 640 x 480 and opens the editor; with no table, or when no
  // editor can be made, the editor mode is not entered.
  if (session_.openParamEditor != nullptr &&
      session_.openParamEditor(table.table, table.rowCount) && table.table != nullptr) {
    paramEditorOpen = 1;
    editedTable_ = table.table;
  }
}
