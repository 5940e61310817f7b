// The input poll: once per frame, before any object is updated, the system keyboard's buffered
// keys and the joystick become input events in the player's input mailbox, the stick's axes turn
// and drive the tank, and arrows and stick steer a guided missile.
#pragma once

#include <cstdint>

#include "platform/joystick/joystick.h"

class CChatLine;
class CMailbox;
class CPlayerTank;
struct KeyBinding;
struct KeyboardDevice;

// What the poll reads and changes of the player's tank and of the frame.
struct PlayerInputTank {
  // The tank's mailbox: events are posted from it.
  CMailbox* mailbox = nullptr;
  // The tank whose turn and throttle the stick and the quit key set; null: none.
  CPlayerTank* controls = nullptr;
  KeyboardDevice* keyboard = nullptr;
  const KeyBinding* bindings = nullptr;
  // Restricted bindings work only while these are enabled.
  bool restrictedKeys = false;
  CChatLine* chat = nullptr;
  // The joystick as the tank found it at its construction.
  bool joystickPresent = false;
  JOYCAPSA joystickCaps{};
  // The frame time at which the tank quits; 0 while no quit is armed.
  std::uint32_t* quitTime = nullptr;
  // The design screen or the parameter editor is open, or the satellite view follows an
  // object: keys go to them as key and character events only.
  bool screenKeys = false;
  // The player steers a guided missile.
  bool steeringMissile = false;
};

// The poll's state between frames.
struct PlayerInputPollState {
  std::int32_t hatCode = 0;
  std::uint32_t buttons = 0;
  // The turn and throttle the stick last gave.
  std::int32_t stickTurn = 0;
  std::int32_t stickThrottle = 0;
  // timeGetTime of the next joystick read; 0 reads at once.
  std::uint32_t nextJoystickPoll = 0;
  // The keyboard's guided-missile inputs (-1, 0, 1) and the values last sent.
  std::int32_t missileTurn = 0;
  std::int32_t missilePitch = 0;
  std::int32_t sentMissileTurn = 0;
  std::int32_t sentMissilePitch = 0;
  // The turn and pitch rates last given to the steered missile, by the stick or the keys.
  float missileTurnRate = 0.0f;
  float missilePitchRate = 0.0f;
};

// Keys and joystick events taken per frame; the rest stay buffered for the next frames.
inline constexpr int kInputPasses = 10;

void PollPlayerInput(PlayerInputTank& tank, PlayerInputPollState& state);

// The chord modifiers (Shift 1, Ctrl 2, Alt 0x10) of the keyboard's modifier bits.
std::int32_t ChordModifiers(std::uint8_t modifierBits);
// A stick axis's turn or throttle from its offset s (-100..100): 0 inside 25, 100 beyond 75, the
// band between spread over 0..100.
std::int32_t SpreadStickValue(std::int64_t s);
