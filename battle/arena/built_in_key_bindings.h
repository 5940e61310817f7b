// The library's built-in key bindings: the table a player without a "control.dat" plays with,
// and the rows appended to a file that holds fewer.
#pragma once

#include <array>
#include <cstddef>

#include "battle/arena/key_binding.h"
#include "platform/dinput.h"

inline constexpr std::size_t kBuiltInKeyBindingRows = 79;

// The rows, then the terminating record (group -1, every other word 0). Rows 54 to 56 are bound
// to commands without effect, and row 24 to none: the rockets are on R (row 78).
inline constexpr std::array<KeyBinding, kBuiltInKeyBindingRows + 1> kBuiltInKeyBindings = {{
    // 0: Stealth
    {10, {{{DIK_1, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1057, 0x1001},
    // 1: Cloak
    {10, {{{DIK_2, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1056, 0x1001},
    // 2: Flag Catcher Toggle
    {10, {{{DIK_3, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1054, 0x1001},
    // 3: Night Vision
    {10, {{{DIK_4, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1059, 0x1001},
    // 4: Phase Multiplier
    {10, {{{DIK_5, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x105A, 0x1001},
    // 5: Call Satellite
    {8, {{{DIK_6, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x103D, 0x1001},
    // 6: Recon Capture
    {10, {{{DIK_7, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1074, 0x1001},
    // 7: Raise
    {1, {{{DIK_A, kKeyboardDevice, 0}, {0x22, kJoystickDevice, 0}, kNoChord}}, 0, 0x102A, 0x105E},
    // 8: Battery Drain
    {4, {{{DIK_B, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1065, 0x1001},
    // 9: Swivel Right
    {1, {{{DIK_C, kKeyboardDevice, 0}, {0x21, kJoystickDevice, 0}, kNoChord}}, 0, 0x102D, 0x105F},
    // 10: Deactivator
    {4, {{{DIK_D, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1044, 0x1001},
    // 11: Flash
    {4, {{{DIK_F, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1066, 0x1001},
    // 12: Guided
    {4, {{{DIK_G, kKeyboardDevice, 0}, {1, kJoystickDevice, kCtrl}, kNoChord}}, 0, 0x1042, 0x1001},
    // 13: Phoenix
    {4, {{{DIK_H, kKeyboardDevice, 0}, {1, kJoystickDevice, 0}, kNoChord}}, 0, 0x1043, 0x1001},
    // 14: Detonator
    {5, {{{DIK_L, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x103C, 0x1001},
    // 15: Mine Sweeper
    {5, {{{DIK_M, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1073, 0x1001},
    // 16: Shell Camera Toggle
    {10, {{{DIK_N, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x106B, 0x1001},
    // 17: Deactivator
    {5, {{{DIK_O, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1067, 0x1001},
    // 18: Proximity
    {5, {{{DIK_P, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x103B, 0x1001},
    // 19: Recharge
    {8, {{{DIK_J, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x103E, 0x1001},
    // 20: Center Turret
    {1, {{{DIK_S, kKeyboardDevice, 0}, {3, kJoystickDevice, 0}, kNoChord}}, 0, 0x102F, 0x1001},
    // 21: Turbo
    {10, {{{DIK_T, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x106A, 0x1001},
    // 22: Satellite Camera
    {8, {{{DIK_V, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x106C, 0x1001},
    // 23: Swivel Left
    {1, {{{DIK_X, kKeyboardDevice, 0}, {0x20, kJoystickDevice, 0}, kNoChord}}, 0, 0x102C, 0x105F},
    // 24: Rocket
    {4, {{{DIK_Y, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1001, 0x1001},
    // 25: Lower
    {1, {{{DIK_Z, kKeyboardDevice, 0}, {0x23, kJoystickDevice, 0}, kNoChord}}, 0, 0x102B, 0x105E},
    // 26: Team Roster
    {6, {{{DIK_F1, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1064, 0x1001},
    // 27: Grid Map
    {6, {{{DIK_F2, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1070, 0x1001},
    // 28: Radar Depth
    {6, {{{DIK_F3, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x103A, 0x1001},
    // 29: Version
    {6, {{{DIK_F4, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1072, 0x1001},
    // 30: Console Mode
    {6, {{{DIK_F5, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x107C, 0x1001},
    // 31: Full Screen Toggle
    {6, {{{DIK_F6, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x107B, 0x1001},
    // 32: Help
    {6, {{{DIK_F11, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1071, 0x1001},
    // 33: Ground Texture Toggle
    {6, {{{DIK_F12, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x105B, 0x1001},
    // 34: Sharpshooter Zoom In
    {10, {{{DIK_SUBTRACT, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1076, 0x1077},
    // 35: Sharpshooter Zoom Out
    {10, {{{DIK_ADD, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1078, 0x1079},
    // 36: Sharpshooter Off
    {10, {{{DIK_MULTIPLY, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x107A, 0x1001},
    // 37: Left
    {0, {{{DIK_LEFT, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1033, 0x1035},
    // 38: Right
    {0, {{{DIK_RIGHT, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1034, 0x1035},
    // 39: Forward
    {0, {{{DIK_UP, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1030, 0x1032},
    // 40: Reverse
    {0, {{{DIK_DOWN, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1031, 0x1032},
    // 41: Fire
    {2, {{{DIK_SPACE, kKeyboardDevice, 0}, {0, kJoystickDevice, 0}, kNoChord}}, 0, 0x1037, 0x1038},
    // 42: Next Weapon
    {2,
     {{{DIK_TAB, kKeyboardDevice, 0}, {0, kJoystickDevice, kCtrl}, kNoChord}},
     0,
     0x1039,
     0x1001},
    // 43: Toggle Forward Shield
    {9, {{{DIK_LBRACKET, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 0, 0x104C, 0x1001},
    // 44: Toggle Rear Shield
    {9, {{{DIK_RBRACKET, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 0, 0x104D, 0x1001},
    // 45: Equalize Allocation
    {9, {{{DIK_EQUALS, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x108E, 0x1001},
    // 46: Allocate Forward
    {9, {{{DIK_LBRACKET, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x104E, 0x1001},
    // 47: Allocate Rear
    {9, {{{DIK_RBRACKET, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x104F, 0x1001},
    // 48: Fire Flare
    {10, {{{DIK_F, kKeyboardDevice, kCtrl}, kNoChord, kNoChord}}, 0, 0x106E, 0x1001},
    // 49: Next Shell
    {2, {{{DIK_GRAVE, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x106D, 0x1001},
    // 50: Target Enemy/Next
    {3, {{{DIK_COMMA, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x107E, 0x1001},
    // 51: Target Prior Enemy
    {3, {{{DIK_PERIOD, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x107D, 0x1001},
    // 52: Open Message
    {7, {{{DIK_SLASH, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x107F, 0x1001},
    // 53: Team Message
    {7, {{{DIK_APOSTROPHE, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1080, 0x1001},
    // 54: External Camera Toggle
    {11, {{{DIK_8, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 1, 0x1045, 0x1001},
    // 55: External Camera Forward
    {11, {{{DIK_9, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 1, 0x1046, 0x1001},
    // 56: External Camera Back
    {11, {{{DIK_0, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 1, 0x1047, 0x1001},
    // 57: User Render Toggle
    {11, {{{DIK_INSERT, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 1, 0x1053, 0x1001},
    // 58: User Sky Toggle
    {11, {{kNoChord, kNoChord, kNoChord}}, 1, 0x1075, 0x1001},
    // 59: Enter Design Mode
    {11, {{{DIK_RETURN, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 1, 0x1050, 0x1001},
    // 60: Light Level Down
    {11, {{{DIK_PRIOR, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 1, 0x104B, 0x1001},
    // 61: Light Level Up
    {11, {{{DIK_NEXT, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 1, 0x104A, 0x1001},
    // 62: Position Report
    {11, {{{DIK_END, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 1, 0x103F, 0x1001},
    // 63: Framerate
    {11, {{{DIK_HOME, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 1, 0x1049, 0x1001},
    // 64: Latency Report
    {6, {{{DIK_DELETE, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1081, 0x1001},
    // 65: Precision Aiming
    {1, {{{DIK_CAPITAL, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1060, 0x1061},
    // 66: Screen Capture
    {6, {{{DIK_F12, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 0, 0x1082, 0x1001},
    // 67: Scroll Up
    {7, {{{DIK_PRIOR, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1083, 0x1001},
    // 68: Scroll Down
    {7, {{{DIK_NEXT, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1084, 0x1001},
    // 69: Enter Recon
    {0, {{{DIK_RETURN, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1085, 0x1001},
    // 70: Macro 1
    {7, {{{DIK_F1, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 0, 0x1086, 0x1001},
    // 71: Macro 2
    {7, {{{DIK_F2, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 0, 0x1087, 0x1001},
    // 72: Macro 3
    {7, {{{DIK_F3, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 0, 0x1088, 0x1001},
    // 73: Macro 4
    {7, {{{DIK_F4, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 0, 0x1089, 0x1001},
    // 74: Macro 5
    {7, {{{DIK_F5, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 0, 0x108A, 0x1001},
    // 75: Macro 6
    {7, {{{DIK_F6, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 0, 0x108B, 0x1001},
    // 76: Macro 7
    {7, {{{DIK_F7, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 0, 0x108C, 0x1001},
    // 77: Macro 8
    {7, {{{DIK_F8, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 0, 0x108D, 0x1001},
    // 78: Rockets
    {0, {{{DIK_R, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1068, 0x1069},
    {-1, {{kNoChord, kNoChord, kNoChord}}, 0, 0, 0},
}};

namespace built_in_key_bindings_check {

constexpr bool IsValidChord(const KeyChord& chord) {
  if (chord == kNoChord) {
    return true;
  }
  const bool codeFits =
      chord.device == kKeyboardDevice
          ? chord.code > 0 && chord.code < 256
          : chord.device == kJoystickDevice && chord.code >= 0 &&
                (chord.code < 32 || (chord.code >= kHatLeft && chord.code <= kHatBack));
  return codeFits && (chord.modifiers & ~(kShift | kCtrl | kAlt)) == 0;
}

constexpr bool IsCommand(std::int32_t code) { return code >= kNoCommand && code <= 0x108E; }

constexpr bool RowsAreValid() {
  for (std::size_t row = 0; row < kBuiltInKeyBindingRows; ++row) {
    const KeyBinding& binding = kBuiltInKeyBindings[row];
    if (binding.group < 0 || binding.group > 11 || (binding.flags & ~kRestrictedBinding) != 0 ||
        !IsCommand(binding.pressCommand) || !IsCommand(binding.releaseCommand)) {
      return false;
    }
    for (const KeyChord& chord : binding.chords) {
      if (!IsValidChord(chord)) {
        return false;
      }
    }
  }
  return true;
}

constexpr bool EndsWithTerminator() {
  const KeyBinding& last = kBuiltInKeyBindings[kBuiltInKeyBindingRows];
  return last.group == -1 && last.chords[0] == kNoChord && last.chords[1] == kNoChord &&
         last.chords[2] == kNoChord && last.flags == 0 && last.pressCommand == 0 &&
         last.releaseCommand == 0;
}

// No two rows share a chord: each key means one thing.
constexpr bool ChordsAreUnique() {
  for (std::size_t a = 0; a < kBuiltInKeyBindingRows; ++a) {
    for (const KeyChord& chord : kBuiltInKeyBindings[a].chords) {
      if (chord == kNoChord) {
        continue;
      }
      for (std::size_t b = a + 1; b < kBuiltInKeyBindingRows; ++b) {
        for (const KeyChord& other : kBuiltInKeyBindings[b].chords) {
          if (other == chord) {
            return false;
          }
        }
      }
    }
  }
  return true;
}

static_assert(RowsAreValid());
static_assert(EndsWithTerminator());
static_assert(ChordsAreUnique());

}  // namespace built_in_key_bindings_check
