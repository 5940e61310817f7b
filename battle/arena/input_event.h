// The player's input events: what the input poll and the game window post into the player's
// input mailbox (MSG_INPUT_EVENT, 48 bytes of twelve words) for the tank to perform at the end of
// the frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class CMailbox;

enum InputEventKind : std::uint32_t {
  kInputConsumed = 0,
  kInputCharacter = 1,
  kInputKeyRelease = 2,
  kInputKeyPress = 3,
  kInputControlCode = 4,
  kInputMouse = 5,
  kInputCommand = 6,
};

// The mouse codes of a mouse event.
inline constexpr std::uint32_t kMouseMove = 0;
inline constexpr std::uint32_t kMouseLeftDown = 1;
inline constexpr std::uint32_t kMouseRightDown = 2;
inline constexpr std::uint32_t kMouseMiddleDown = 16;

inline constexpr std::size_t kInputEventBytes = 48;

// The words a poster fills; the other seven are zero.
struct InputEvent {
  std::uint32_t kind = kInputConsumed;
  // The character (sign-extended), the scan code, the command code or the mouse's key state.
  std::uint32_t value = 0;
  std::uint32_t mouseCode = 0;
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  bool operator==(const InputEvent&) const = default;
};

// Posts the event from `from` to the player's input address.
void PostInputEvent(CMailbox& from, const InputEvent& event);
// The event in a payload; the words past its end read as 0.
InputEvent ReadInputEvent(std::span<const std::uint8_t> payload);

// The game window's mouse messages, while the player's tank exists: posts {5, wParam, code, x, y}
// from the tank's mailbox.
void PostWindowInputEvent(CMailbox& tankMailbox, std::uint32_t mouseCode, std::uint32_t wParam,
                          std::uint32_t x, std::uint32_t y);
