// The seam between the platform and the machine's display and input: a headless backend (the
// default: scripted input, frames kept in memory) or an SDL2 window, chosen at run time by the
// environment variable ARENA_DISPLAY ("sdl" for the window).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/palette_entry.h"
#include "platform/kernel/types.h"

namespace platform {

enum class BackendEventKind {
  kKeyDown,
  kKeyUp,
  kMouseMove,
  kMouseButtonDown,
  kMouseButtonUp,
  kFocusLost,
  kFocusGained,
  kClose,
  // A character typed (what WM_CHAR carries).
  kCharacter,
  kJoystickAttach,
  kJoystickDetach,
  kJoystickAxis,
  kJoystickButtonDown,
  kJoystickButtonUp,
  kJoystickHat,
};

// The axes of a joystick event.
enum class JoystickAxis { kX, kY };

enum class MouseButton { kLeft, kRight, kMiddle };

struct BackendEvent {
  BackendEventKind kind;
  // timeGetTime at which the event happens (as ParseInputScript gives it: the script's time).
  DWORD time;
  // Key events: the DirectInput scan code.
  int scanCode = 0;
  // Character events: the character's code, 1-255.
  int character = 0;
  MouseButton button = MouseButton::kLeft;
  // Mouse events: client coordinates.
  int x = 0;
  int y = 0;
  // Joystick events: the joystick's number; the axis; the button (0-31), or for an attach the
  // number of buttons; the axis's position (0-65535) or the hat's direction (hundredths of a
  // degree, 0xFFFF centred).
  int joystick = 0;
  JoystickAxis axis = JoystickAxis::kX;
  int joystickButton = 0;
  int value = 0;
};

// One shown picture: rows packed without padding, 1 byte (palette index) or 2 bytes (RGB565,
// little-endian) per pixel.
struct Frame {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::vector<BYTE> pixels;
  // The 256 colours of an 8-bit picture shown through a palette; empty otherwise (grey levels).
  std::vector<PALETTEENTRY> palette;
};

class DisplayBackend {
 public:
  virtual ~DisplayBackend() = default;
  // Takes the next event due at `now` (events come in time order); false when none is due.
  virtual bool PollEvent(DWORD now, BackendEvent& event) = 0;
  // When the next event is due, if the backend knows; a waiting message loop sleeps until then.
  virtual std::optional<DWORD> NextEventTime() const = 0;
  virtual void ShowWindow(const std::string& title, int width, int height) = 0;
  virtual void HideWindow() = 0;
  virtual void SetCursorVisible(bool visible) = 0;
  virtual void Present(const Frame& frame) = 0;
};

// The process's backend, made from the environment on first use.
DisplayBackend& GetDisplayBackend();
// Replaces the backend (tests); returns the previous one.
std::unique_ptr<DisplayBackend> SetDisplayBackend(std::unique_ptr<DisplayBackend> backend);
// A backend as the environment asks: ARENA_DISPLAY=sdl gives the SDL2 window when it is built
// in and starts, otherwise (with a notice on standard error) the headless backend, whose input
// script is the file named by ARENA_INPUT_SCRIPT.
std::unique_ptr<DisplayBackend> CreateDisplayBackendFromEnvironment();

// Shows a frame through the backend and keeps it as the last shown frame. Returns the pixel
// storage of the frame it replaces, for the caller to fill with its next frame.
std::vector<BYTE> ShowFrame(Frame frame);
// The last frame shown, and the number of frames shown since the start or the last clearing.
std::optional<Frame> LastShownFrame();
std::size_t ShownFrameCount();
void ClearShownFrames();

}  // namespace platform
