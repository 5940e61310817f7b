// The SDL2 window's joysticks: game controllers and plain joysticks, attached to the WinMM
// joystick numbers as SDL finds them, their stick, hat (or direction pad) and buttons turned into
// the backend's joystick events.
#pragma once

#include <SDL.h>

#include <deque>
#include <map>

#include "platform/backend/display_backend.h"

namespace platform {

class SdlJoysticks {
 public:
  SdlJoysticks();
  ~SdlJoysticks();
  SdlJoysticks(const SdlJoysticks&) = delete;
  SdlJoysticks& operator=(const SdlJoysticks&) = delete;

  // Appends the events of one SDL event to `pending`; other SDL events are left alone.
  void Translate(const SDL_Event& sdl, DWORD now, std::deque<BackendEvent>& pending);

 private:
  struct Stick {
    int number;
    SDL_GameController* controller;
    SDL_Joystick* joystick;
    // The direction pad's buttons held (up, right, down, left).
    unsigned pad = 0;
  };

  void Attach(int deviceIndex, DWORD now, std::deque<BackendEvent>& pending);
  void Detach(SDL_JoystickID id, DWORD now, std::deque<BackendEvent>& pending);
  // The stick of an instance, or null; a controller's plain joystick events are not its own.
  Stick* Find(SDL_JoystickID id, bool controllerEvent);

  bool started_ = false;
  std::map<SDL_JoystickID, Stick> sticks_;
};

}  // namespace platform
