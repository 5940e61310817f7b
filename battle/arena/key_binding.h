// The player's key bindings: each binds up to three key or joystick chords to a press and a
// release command. The library carries a built-in table; a player's "control.dat", written by a
// binding editor outside this system, replaces it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

// The device of a chord.
inline constexpr std::int32_t kKeyboardDevice = 0;
inline constexpr std::int32_t kJoystickDevice = 2;

// Modifier values of a chord, OR-ed; a chord matches only its exact combination.
inline constexpr std::int32_t kShift = 1;
inline constexpr std::int32_t kCtrl = 2;
inline constexpr std::int32_t kAlt = 0x10;

// Joystick codes of the hat (buttons are codes 0 to 31).
inline constexpr std::int32_t kHatLeft = 0x20;
inline constexpr std::int32_t kHatRight = 0x21;
inline constexpr std::int32_t kHatForward = 0x22;
inline constexpr std::int32_t kHatBack = 0x23;

// The command code that does nothing.
inline constexpr std::int32_t kNoCommand = 0x1001;

struct KeyChord {
  std::int32_t code;
  std::int32_t device;
  std::int32_t modifiers;
  bool operator==(const KeyChord&) const = default;
};

inline constexpr KeyChord kNoChord{0, 0, 0};

// 13 words in the file: group, three chords, flags, press and release command.
struct KeyBinding {
  // 0-11; negative marks the record after a table's last binding.
  std::int32_t group;
  std::array<KeyChord, 3> chords;
  // Bit 0: works only while the tank's restricted keys are enabled.
  std::int32_t flags;
  std::int32_t pressCommand;
  std::int32_t releaseCommand;
  bool operator==(const KeyBinding&) const = default;
};

inline constexpr std::size_t kKeyBindingBytes = 52;
inline constexpr std::int32_t kRestrictedBinding = 1;

// Frees a table that LoadKeyBindings made; the built-in table is never freed.
void FreeKeyBindings(KeyBinding* table);

struct KeyBindingTableDeleter {
  void operator()(KeyBinding* table) const { FreeKeyBindings(table); }
};
using KeyBindingTable = std::unique_ptr<KeyBinding[], KeyBindingTableDeleter>;

// A new table from the file, or null when the file is missing or bad (a bad file is logged).
// A file with fewer rows than the built-in table is taken to hold its first rows: the built-in
// rows after them are appended without the chords the file binds elsewhere.
KeyBindingTable LoadKeyBindings(const char* fileName);

// The first binding with a chord equal to {code, device, modifiers}, or null.
const KeyBinding* FindKeyBinding(const KeyBinding* table, std::int32_t device, std::int32_t code,
                                 std::int32_t modifiers);
