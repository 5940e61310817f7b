// The record that the host program shares with every library it runs: the window, the
// DirectDraw and DirectInput objects, the login block the front end fills, and the screen
// settings the game keeps from one game to the next. Every module is built from this header, so
// the layout is one named-field struct rather than the original's byte offsets. A value-initialised
// record (`HostRecord{}`) holds the host's initial values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/window/handles.h"

class IDirectDraw;
class IDirectDrawSurface;
class IDirectInput;
class IDirectInputDevice;

// The modifier keys held now, one bit each.
inline constexpr std::uint8_t kModifierLeftAlt = 0x01;
inline constexpr std::uint8_t kModifierRightAlt = 0x02;
inline constexpr std::uint8_t kModifierLeftShift = 0x04;
inline constexpr std::uint8_t kModifierRightShift = 0x08;
inline constexpr std::uint8_t kModifierLeftCtrl = 0x10;
inline constexpr std::uint8_t kModifierRightCtrl = 0x20;

// Only the host program opens and closes the keyboard (host/keyboard_device.h); the libraries
// read it.
struct KeyboardDevice {
  std::uint8_t modifiers = 0;
  // The acquired system keyboard with a 32-event buffer; null while closed.
  IDirectInputDevice* device = nullptr;
  // Per scan code: the modifiers held when that key went down.
  std::uint8_t pressModifiers[256] = {};
};

// Filled by the front-end library before the game runs. Text fields are NUL-terminated within
// their size; readers never trust that and read them bounded.
struct LoginBlock {
  std::uint32_t serverPort;
  char serverHost[16];
  // Ends in a four-character extension; the height map has the same name ending in ".amp".
  char worldPackName[16];
  // The world file's name inside the pack at its start; the rest belongs to the front end.
  char worldFileName[412];
  HWND window;  // written by the game library
  std::uint8_t reserved[16];
  char loginText[64];
  std::uint32_t extraWords[4];
};

// Fields only the front-end library uses; the host gives them their initial values.
struct FrontEndBlock {
  char text1[20] = "";
  char text2[20] = "";
  char text3[40] = "";
  char text4[13] = "";
  std::uint8_t flag = 1;
  std::uint8_t unused[2] = {};
  std::int32_t word1 = -1;
  std::int32_t word2 = -1;
  // The front-end stand-in counts its calls here: the record outlives each unloading of it.
  std::int32_t count = 0;
  std::int32_t words1[5] = {};
  std::int32_t words2[5] = {};
  std::int32_t words3[5] = {};
};

// The screen the host and the game share: the display mode the host sets and every game screen.
inline constexpr std::int32_t kScreenWidth = 640;
inline constexpr std::int32_t kScreenHeight = 480;

struct HostRecord {
  void* module = nullptr;
  HWND window = nullptr;
  IDirectDraw* directDraw = nullptr;
  IDirectDrawSurface* primarySurface = nullptr;
  // Shared by reference count; cleared when the keyboard's release brings the count to 0.
  IDirectInput* directInput = nullptr;
  KeyboardDevice keyboard;
  FrontEndBlock frontEnd;
  LoginBlock login{};
  std::int32_t screenWidth = kScreenWidth;
  std::int32_t screenHeight = kScreenHeight;
  // Bit 0 set: the cockpit is shown.
  std::uint32_t viewFlags = 1;
};

inline constexpr std::uint32_t kViewFlagCockpit = 0x1;

// The text of a record's field up to its NUL or the field's end, whichever comes first.
template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  std::size_t length = 0;
  while (length < N && field[length] != '\0') {
    ++length;
  }
  return std::string_view(field, length);
}
