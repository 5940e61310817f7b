#include "battle/arena/player_input_poll.h"

#include <cstdlib>

#include "battle/arena/chat_line.h"
#include "battle/arena/input_event.h"
#include "battle/arena/key_binding.h"
#include "battle/arena/keyboard_buffer.h"
#include "battle/arena/missile.h"
#include "battle/arena/player_tank.h"
#include "battle/arena/scan_code_chars.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "host/interface/host_record.h"
#include "platform/dinput.h"
#include "platform/kernel/clock.h"

namespace {

// The steered missile reports its state this often (ms).
constexpr std::uint32_t kMissileReportInterval = 250;
constexpr std::uint32_t kJoystickPollInterval = 125;
constexpr DWORD kJoystickReadFlags = JOY_RETURNX | JOY_RETURNY | JOY_RETURNPOV | JOY_RETURNBUTTONS;
constexpr int kJoystickButtons = 32;

// Commands the poll performs itself.
constexpr std::int32_t kCommandForward = 0x1030;
constexpr std::int32_t kCommandReverse = 0x1031;
constexpr std::int32_t kCommandStopThrottle = 0x1032;
constexpr std::int32_t kCommandLeft = 0x1033;
constexpr std::int32_t kCommandRight = 0x1034;
constexpr std::int32_t kCommandStopTurn = 0x1035;
constexpr std::int32_t kCommandOpenMessage = 0x107F;
constexpr std::int32_t kCommandTeamMessage = 0x1080;

// A rate this small is stored as none.
constexpr float kLeastMissileRate = 0.001f;

class Poll {
 public:
  Poll(PlayerInputTank& tank, PlayerInputPollState& state) : tank_(tank), state_(state) {}

  void Pass() {
    const bool chatOpen = tank_.chat->IsOpen();
    KeyboardRecord screenKey{};
    bool haveScreenKey = false;
    char character = 0;
    if (chatOpen || tank_.screenKeys) {
      haveScreenKey = ReadKeyboardBuffer(tank_.keyboard, &screenKey);
      if (haveScreenKey) {
        const bool pressed = (screenKey.state & kKeyReleased) == 0;
        character = pressed ? ScanCodeToChar(screenKey) : 0;
        if (character != 0) {
          // The character byte, sign-extended.
          Post({kInputCharacter, static_cast<std::uint32_t>(std::int32_t{character})});
        }
        Post({pressed ? kInputKeyPress : kInputKeyRelease, screenKey.scanCode});
      }
    }
    if (tank_.screenKeys && !chatOpen) {
      return;
    }
    modifiers_ = ChordModifiers(tank_.keyboard->modifiers);
    PollJoystick();
    if (chatOpen) {
      // Function keys and arrows keep working while typing.
      if (haveScreenKey && character == 0) {
        ProcessKey(screenKey);
      }
    } else if (KeyboardRecord key{}; ReadKeyboardBuffer(tank_.keyboard, &key)) {
      ProcessKey(key);
    }
    ReportMissileInputs();
  }

 private:
  void Post(const InputEvent& event) { PostInputEvent(*tank_.mailbox, event); }
  void PostCommand(std::int32_t command) {
    Post({kInputCommand, static_cast<std::uint32_t>(command)});
  }

  const KeyBinding* Binding(std::int32_t device, std::int32_t code) const {
    const KeyBinding* binding = FindKeyBinding(tank_.bindings, device, code, modifiers_);
    if (binding == nullptr ||
        ((binding->flags & kRestrictedBinding) != 0 && !tank_.restrictedKeys)) {
      return nullptr;
    }
    return binding;
  }

  void ProcessKey(const KeyboardRecord& key) {
    if ((key.state & kKeyReleased) == 0) {
      ProcessPress(key.scanCode);
    } else {
      ProcessRelease(key.scanCode);
    }
  }

  void ProcessPress(std::int32_t scanCode) {
    if (tank_.steeringMissile) {
      if (scanCode == DIK_ESCAPE || scanCode == DIK_RETURN || scanCode == DIK_NUMPADENTER ||
          scanCode == DIK_SPACE) {
        state_.missileTurn = 0;
        state_.missilePitch = 0;
        if (gSteeredMissile != nullptr) {
          gSteeredMissile->ReleaseSteering();
        }
        return;
      }
      const KeyBinding* binding = Binding(kKeyboardDevice, scanCode);
      switch (binding != nullptr ? binding->pressCommand : kNoCommand) {
        case kCommandForward:
          state_.missilePitch = -1;
          break;
        case kCommandReverse:
          state_.missilePitch = 1;
          break;
        case kCommandLeft:
          state_.missileTurn = -1;
          break;
        case kCommandRight:
          state_.missileTurn = 1;
          break;
        default:
          break;
      }
      return;
    }
    if (scanCode == DIK_Q && modifiers_ == kAlt) {
      *tank_.quitTime =
          gFrameTime + static_cast<std::uint32_t>(GetGameParamInt(PARAM_LOGOUT_TIMER) * 1000);
      if (tank_.controls != nullptr) {
        tank_.controls->SetThrottle(0);
      }
      return;
    }
    const KeyBinding* binding = Binding(kKeyboardDevice, scanCode);
    if (binding == nullptr) {
      return;
    }
    if (binding->pressCommand == kCommandOpenMessage ||
        binding->pressCommand == kCommandTeamMessage) {
      tank_.chat->Open(binding->pressCommand == kCommandTeamMessage);
      return;
    }
    PostCommand(binding->pressCommand);
  }

  void ProcessRelease(std::int32_t scanCode) {
    const KeyBinding* binding = Binding(kKeyboardDevice, scanCode);
    if (binding == nullptr) {
      return;
    }
    if (!tank_.steeringMissile) {
      PostCommand(binding->releaseCommand);
    } else if (binding->releaseCommand == kCommandStopThrottle) {
      state_.missilePitch = 0;
    } else if (binding->releaseCommand == kCommandStopTurn) {
      state_.missileTurn = 0;
    }
  }

  void PollJoystick() {
    const std::uint32_t now = timeGetTime();
    if (!tank_.joystickPresent || (state_.nextJoystickPoll != 0 &&
                                   static_cast<std::int32_t>(now - state_.nextJoystickPoll) <= 0)) {
      return;
    }
    state_.nextJoystickPoll = now + kJoystickPollInterval;
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = kJoystickReadFlags;
    if (joyGetPosEx(0, &info) != JOYERR_NOERROR) {
      return;
    }
    // Signed: the positions and ranges are unsigned words, and an offset left of the centre
    // is negative.
    const JOYCAPSA& caps = tank_.joystickCaps;
    const std::int64_t xMin = caps.wXmin;
    const std::int64_t yMin = caps.wYmin;
    const std::int64_t hx = (std::int64_t{caps.wXmax} - xMin) / 2;
    const std::int64_t hy = (std::int64_t{caps.wYmax} - yMin) / 2;
    const std::int64_t x = info.dwXpos;
    const std::int64_t y = info.dwYpos;
    if (tank_.steeringMissile && state_.missileTurn == 0 && state_.missilePitch == 0) {
      // A stick without an axis's range leaves that axis alone.
      if (hx != 0) {
        state_.missileTurnRate =
            MissileRate(-(static_cast<float>(Band(((x - xMin - hx) * 100) / hx)) *
                          GetGameParamFloat(PARAM_GUIDED_MISSILE_TURN)) *
                        0.01f);
        SteerMissile();
      }
      if (hy != 0) {
        state_.missilePitchRate =
            MissileRate(-(static_cast<float>(Band(((yMin + hy - y) * 100) / hy)) *
                          GetGameParamFloat(PARAM_GUIDED_MISSILE_PITCH)) *
                        0.01f);
        SteerMissile();
      }
      return;
    }
    PollHat(info.dwPOV);
    PollButtons(info.dwButtons);
    if (hx != 0) {
      const std::int32_t turn = SpreadStickValue(((xMin + hx - x) * 100) / hx);
      if (turn != state_.stickTurn) {
        if (tank_.controls != nullptr) {
          tank_.controls->SetTurn(turn);
        }
        state_.stickTurn = turn;
      }
    }
    if (hy != 0) {
      const std::int32_t throttle = SpreadStickValue(((yMin + hy - y) * 100) / hy);
      if (throttle != state_.stickThrottle) {
        if (tank_.controls != nullptr) {
          tank_.controls->SetThrottle(throttle);
        }
        state_.stickThrottle = throttle;
      }
    }
  }

  void PollHat(DWORD pov) {
    std::int32_t code = 0;
    switch (pov) {
      case 0:
        code = kHatForward;
        break;
      case 9000:
        code = kHatRight;
        break;
      case 18000:
        code = kHatBack;
        break;
      case 27000:
        code = kHatLeft;
        break;
      default:
        break;  // centred, or between two directions
    }
    if (code == state_.hatCode) {
      return;
    }
    if (state_.hatCode != 0) {
      if (const KeyBinding* binding = Binding(kJoystickDevice, state_.hatCode)) {
        PostCommand(binding->releaseCommand);
      }
    }
    if (code != 0) {
      if (const KeyBinding* binding = Binding(kJoystickDevice, code)) {
        PostCommand(binding->pressCommand);
      }
    }
    state_.hatCode = code;
  }

  void PollButtons(std::uint32_t buttons) {
    const std::uint32_t changed = buttons ^ state_.buttons;
    for (int button = 0; button < kJoystickButtons; ++button) {
      const std::uint32_t bit = std::uint32_t{1} << button;
      if ((changed & bit) == 0) {
        continue;
      }
      if (const KeyBinding* binding = Binding(kJoystickDevice, button)) {
        PostCommand((buttons & bit) != 0 ? binding->pressCommand : binding->releaseCommand);
      }
    }
    state_.buttons = buttons;
  }

  // The steered missile takes the rates of the stick or the keys.
  void SteerMissile() {
    if (gSteeredMissile != nullptr) {
      gSteeredMissile->Steer(state_.missileTurnRate, state_.missilePitchRate);
    }
  }

  void ReportMissileInputs() {
    if (!tank_.steeringMissile) {
      return;
    }
    // The steering reports every 250 ms of the missile's own clock.
    CMissile* missile = gSteeredMissile;
    if (missile != nullptr && static_cast<std::int32_t>(gFrameTime - missile->nextStateTime) < 0) {
      return;
    }
    if (state_.missileTurn != state_.sentMissileTurn ||
        state_.missilePitch != state_.sentMissilePitch) {
      state_.missileTurnRate = MissileRate(
          -(static_cast<float>(state_.missileTurn) * GetGameParamFloat(PARAM_GUIDED_MISSILE_TURN)));
      state_.missilePitchRate = MissileRate(static_cast<float>(state_.missilePitch) *
                                            GetGameParamFloat(PARAM_GUIDED_MISSILE_PITCH));
      SteerMissile();
      state_.sentMissileTurn = state_.missileTurn;
      state_.sentMissilePitch = state_.missilePitch;
    }
    if (missile != nullptr) {
      missile->SendState();
      missile->nextStateTime = gFrameTime + kMissileReportInterval;
    }
  }

  // A missile's stick value: 0 inside 25, 100 beyond 75, unchanged between.
  static std::int64_t Band(std::int64_t v) {
    if (std::abs(v) < 25) {
      return 0;
    }
    if (std::abs(v) > 75) {
      return v > 0 ? 100 : -100;
    }
    return v;
  }

  static float MissileRate(float rate) {
    return rate > -kLeastMissileRate && rate < kLeastMissileRate ? 0.0f : rate;
  }

  PlayerInputTank& tank_;
  PlayerInputPollState& state_;
  std::int32_t modifiers_ = 0;
};

}  // namespace

std::int32_t ChordModifiers(std::uint8_t modifierBits) {
  std::int32_t modifiers = 0;
  if ((modifierBits & (kModifierLeftShift | kModifierRightShift)) != 0) {
    modifiers |= kShift;
  }
  if ((modifierBits & (kModifierLeftCtrl | kModifierRightCtrl)) != 0) {
    modifiers |= kCtrl;
  }
  if ((modifierBits & (kModifierLeftAlt | kModifierRightAlt)) != 0) {
    modifiers |= kAlt;
  }
  return modifiers;
}

std::int32_t SpreadStickValue(std::int64_t s) {
  if (std::abs(s) < 25) {
    return 0;
  }
  if (std::abs(s) > 75) {
    return s > 0 ? 100 : -100;
  }
  return static_cast<std::int32_t>(s > 0 ? 2 * s - 50 : 2 * s + 50);
}

void PollPlayerInput(PlayerInputTank& tank, PlayerInputPollState& state) {
  if (*tank.quitTime != 0) {
    return;
  }
  if (!tank.steeringMissile) {
    state.missileTurn = 0;
    state.missilePitch = 0;
    state.sentMissileTurn = 0;
    state.sentMissilePitch = 0;
  }
  Poll poll(tank, state);
  for (int pass = 0; pass < kInputPasses; ++pass) {
    poll.Pass();
  }
}
