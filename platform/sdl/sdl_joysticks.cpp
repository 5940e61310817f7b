#include "platform/sdl/sdl_joysticks.h"

#include <array>

namespace platform {
namespace {

// The joystick numbers of the WinMM substitute.
constexpr int kJoystickNumbers = 2;
constexpr int kMaxButtons = 32;
constexpr int kHatCentred = 0xFFFF;
// SDL's axes run -32768..32767, WinMM's 0..65535.
constexpr int kAxisOffset = 32768;

// Hundredths of a degree clockwise from forward for the eight directions, by the bits of
// up 1, right 2, down 4, left 8; opposite bits held together count as centred.
int PovOf(unsigned bits) {
  switch (bits) {
    case 1:
      return 0;
    case 3:
      return 4500;
    case 2:
      return 9000;
    case 6:
      return 13500;
    case 4:
      return 18000;
    case 12:
      return 22500;
    case 8:
      return 27000;
    case 9:
      return 31500;
    default:
      return kHatCentred;
  }
}

unsigned HatBits(std::uint8_t hat) {
  return ((hat & SDL_HAT_UP) != 0 ? 1u : 0u) | ((hat & SDL_HAT_RIGHT) != 0 ? 2u : 0u) |
         ((hat & SDL_HAT_DOWN) != 0 ? 4u : 0u) | ((hat & SDL_HAT_LEFT) != 0 ? 8u : 0u);
}

// A direction pad button's hat bit, or 0 for any other button.
unsigned PadBit(std::uint8_t button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return 1;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return 2;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return 4;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return 8;
    default:
      return 0;
  }
}

BackendEvent JoystickEvent(BackendEventKind kind, int number, DWORD now) {
  BackendEvent event{};
  event.kind = kind;
  event.time = now;
  event.joystick = number;
  return event;
}

}  // namespace

SdlJoysticks::SdlJoysticks() : started_(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) {}

SdlJoysticks::~SdlJoysticks() {
  for (auto& [id, stick] : sticks_) {
    if (stick.controller != nullptr) {
      SDL_GameControllerClose(stick.controller);
    } else {
      SDL_JoystickClose(stick.joystick);
    }
  }
  if (started_) {
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  }
}

void SdlJoysticks::Attach(int deviceIndex, DWORD now, std::deque<BackendEvent>& pending) {
  std::array<bool, kJoystickNumbers> taken{};
  for (const auto& [id, stick] : sticks_) {
    taken[static_cast<std::size_t>(stick.number)] = true;
  }
  int number = 0;
  while (number < kJoystickNumbers && taken[static_cast<std::size_t>(number)]) {
    ++number;
  }
  if (number == kJoystickNumbers) {
    return;  // the driver has no number left for it
  }
  Stick stick{number, nullptr, nullptr};
  int buttons = kMaxButtons;
  if (SDL_IsGameController(deviceIndex)) {
    stick.controller = SDL_GameControllerOpen(deviceIndex);
    stick.joystick =
        stick.controller != nullptr ? SDL_GameControllerGetJoystick(stick.controller) : nullptr;
    // Its buttons less the direction pad, which is the hat.
    buttons = SDL_CONTROLLER_BUTTON_DPAD_UP;
  } else {
    stick.joystick = SDL_JoystickOpen(deviceIndex);
    buttons = stick.joystick != nullptr ? SDL_JoystickNumButtons(stick.joystick) : 0;
  }
  if (stick.joystick == nullptr) {
    return;
  }
  sticks_[SDL_JoystickInstanceID(stick.joystick)] = stick;
  BackendEvent event = JoystickEvent(BackendEventKind::kJoystickAttach, number, now);
  event.joystickButton = buttons < 0 || buttons > kMaxButtons ? kMaxButtons : buttons;
  pending.push_back(event);
}

void SdlJoysticks::Detach(SDL_JoystickID id, DWORD now, std::deque<BackendEvent>& pending) {
  const auto found = sticks_.find(id);
  if (found == sticks_.end()) {
    return;
  }
  if (found->second.controller != nullptr) {
    SDL_GameControllerClose(found->second.controller);
  } else {
    SDL_JoystickClose(found->second.joystick);
  }
  pending.push_back(JoystickEvent(BackendEventKind::kJoystickDetach, found->second.number, now));
  sticks_.erase(found);
}

SdlJoysticks::Stick* SdlJoysticks::Find(SDL_JoystickID id, bool controllerEvent) {
  const auto found = sticks_.find(id);
  if (found == sticks_.end() || (found->second.controller != nullptr) != controllerEvent) {
    return nullptr;
  }
  return &found->second;
}

void SdlJoysticks::Translate(const SDL_Event& sdl, DWORD now, std::deque<BackendEvent>& pending) {
  switch (sdl.type) {
    case SDL_JOYDEVICEADDED:
      Attach(sdl.jdevice.which, now, pending);
      return;
    case SDL_JOYDEVICEREMOVED:
      Detach(sdl.jdevice.which, now, pending);
      return;
    case SDL_JOYAXISMOTION:
    case SDL_CONTROLLERAXISMOTION: {
      const bool controller = sdl.type == SDL_CONTROLLERAXISMOTION;
      const Stick* stick = Find(controller ? sdl.caxis.which : sdl.jaxis.which, controller);
      const int axis = controller ? sdl.caxis.axis : sdl.jaxis.axis;
      // The left stick, or a joystick's first two axes.
      if (stick == nullptr || axis > 1) {
        return;
      }
      BackendEvent event = JoystickEvent(BackendEventKind::kJoystickAxis, stick->number, now);
      event.axis = axis == 0 ? JoystickAxis::kX : JoystickAxis::kY;
      event.value = (controller ? sdl.caxis.value : sdl.jaxis.value) + kAxisOffset;
      pending.push_back(event);
      return;
    }
    case SDL_JOYHATMOTION: {
      const Stick* stick = Find(sdl.jhat.which, false);
      if (stick == nullptr || sdl.jhat.hat != 0) {
        return;
      }
      BackendEvent event = JoystickEvent(BackendEventKind::kJoystickHat, stick->number, now);
      event.value = PovOf(HatBits(sdl.jhat.value));
      pending.push_back(event);
      return;
    }
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      const bool controller =
          sdl.type == SDL_CONTROLLERBUTTONDOWN || sdl.type == SDL_CONTROLLERBUTTONUP;
      Stick* stick = Find(controller ? sdl.cbutton.which : sdl.jbutton.which, controller);
      const int button = controller ? sdl.cbutton.button : sdl.jbutton.button;
      const bool down = sdl.type == SDL_JOYBUTTONDOWN || sdl.type == SDL_CONTROLLERBUTTONDOWN;
      if (stick == nullptr) {
        return;
      }
      if (const unsigned bit = controller ? PadBit(static_cast<std::uint8_t>(button)) : 0) {
        stick->pad = down ? stick->pad | bit : stick->pad & ~bit;
        BackendEvent event = JoystickEvent(BackendEventKind::kJoystickHat, stick->number, now);
        event.value = PovOf(stick->pad);
        pending.push_back(event);
        return;
      }
      if (button >= kMaxButtons) {
        return;
      }
      BackendEvent event = JoystickEvent(
          down ? BackendEventKind::kJoystickButtonDown : BackendEventKind::kJoystickButtonUp,
          stick->number, now);
      event.joystickButton = button;
      pending.push_back(event);
      return;
    }
    default:
      return;
  }
}

}  // namespace platform
