#include "platform/joystick/joystick.h"

#include <array>
#include <mutex>

#include "platform/backend/event_pump.h"

namespace {

std::mutex gJoystickMutex;
std::array<std::optional<platform::AttachedJoystick>, kJoystickSlots> gJoysticks;

// The range of a stick that the backend attaches: its axes' positions run 0-65535.
constexpr UINT kAxisMax = 65535;
constexpr UINT kAxisCentre = 32767;
constexpr int kMaxButtons = 32;
// JOYINFO reports the first buttons only.
constexpr DWORD kJoyInfoButtons = 0xFFFF;

void ApplyJoystickEvent(const platform::BackendEvent& event) {
  using platform::BackendEventKind;
  if (event.joystick < 0 || event.joystick >= static_cast<int>(kJoystickSlots)) {
    return;
  }
  std::lock_guard lock(gJoystickMutex);
  std::optional<platform::AttachedJoystick>& stick = gJoysticks[event.joystick];
  if (event.kind == BackendEventKind::kJoystickAttach) {
    const UINT buttons = event.joystickButton < 0 || event.joystickButton > kMaxButtons
                             ? UINT{kMaxButtons}
                             : static_cast<UINT>(event.joystickButton);
    stick = platform::AttachedJoystick{{0, kAxisMax, 0, kAxisMax, buttons},
                                       {kAxisCentre, kAxisCentre, 0, 0}};
    return;
  }
  if (!stick) {
    return;  // the events of a stick that is not attached are lost
  }
  const DWORD bit = event.joystickButton >= 0 && event.joystickButton < kMaxButtons
                        ? DWORD{1} << event.joystickButton
                        : 0;
  switch (event.kind) {
    case BackendEventKind::kJoystickDetach:
      stick.reset();
      return;
    case BackendEventKind::kJoystickAxis:
      (event.axis == platform::JoystickAxis::kX ? stick->position.wXpos : stick->position.wYpos) =
          static_cast<UINT>(event.value);
      return;
    case BackendEventKind::kJoystickButtonDown:
      stick->buttons |= bit;
      break;
    case BackendEventKind::kJoystickButtonUp:
      stick->buttons &= ~bit;
      break;
    case BackendEventKind::kJoystickHat:
      stick->pov = static_cast<DWORD>(event.value);
      return;
    default:
      return;
  }
  stick->position.wButtons = stick->buttons & kJoyInfoButtons;
}

[[maybe_unused]] const bool gSinkSet =
    (platform::SetEventSink(platform::EventSinkKind::kJoystick, &ApplyJoystickEvent), true);

}  // namespace

UINT joyGetNumDevs() { return kJoystickSlots; }

MMRESULT joyGetPos(UINT id, JOYINFO* info) {
  if (id >= kJoystickSlots || info == nullptr) {
    return JOYERR_PARMS;
  }
  platform::PumpBackendEvents();
  std::lock_guard lock(gJoystickMutex);
  if (!gJoysticks[id]) {
    return JOYERR_UNPLUGGED;
  }
  *info = gJoysticks[id]->position;
  return JOYERR_NOERROR;
}

MMRESULT joyGetPosEx(UINT id, JOYINFOEX* info) {
  if (id >= kJoystickSlots || info == nullptr || info->dwSize != sizeof(JOYINFOEX)) {
    return JOYERR_PARMS;
  }
  platform::PumpBackendEvents();
  std::lock_guard lock(gJoystickMutex);
  if (!gJoysticks[id]) {
    return JOYERR_UNPLUGGED;
  }
  const platform::AttachedJoystick& stick = *gJoysticks[id];
  const DWORD flags = info->dwFlags;
  *info = JOYINFOEX{};
  info->dwSize = sizeof(JOYINFOEX);
  info->dwFlags = flags;
  if ((flags & JOY_RETURNX) != 0) {
    info->dwXpos = stick.position.wXpos;
  }
  if ((flags & JOY_RETURNY) != 0) {
    info->dwYpos = stick.position.wYpos;
  }
  if ((flags & JOY_RETURNPOV) != 0) {
    info->dwPOV = stick.pov;
  }
  if ((flags & JOY_RETURNBUTTONS) != 0) {
    info->dwButtons = stick.buttons;
  }
  return JOYERR_NOERROR;
}

MMRESULT joyGetDevCapsA(UINT id, JOYCAPSA* caps, UINT size) {
  if (id >= kJoystickSlots || caps == nullptr || size < sizeof(JOYCAPSA)) {
    return JOYERR_PARMS;
  }
  platform::PumpBackendEvents();
  std::lock_guard lock(gJoystickMutex);
  if (!gJoysticks[id]) {
    return JOYERR_UNPLUGGED;
  }
  *caps = gJoysticks[id]->caps;
  return JOYERR_NOERROR;
}

namespace platform {

void SetJoystick(UINT id, std::optional<AttachedJoystick> stick) {
  if (id >= kJoystickSlots) {
    return;
  }
  std::lock_guard lock(gJoystickMutex);
  gJoysticks[id] = stick;
}

}  // namespace platform
