// Hands the display backend's due events to the services that take them: each service sets its
// sink when the platform library loads, so the backend knows none of them.
#pragma once

#include "platform/backend/display_backend.h"

namespace platform {

enum class EventSinkKind {
  kKeyboard,  // key presses and releases
  kWindow,    // mouse, focus changes and the window's close
  kJoystick,  // sticks attached and detached, their axes, buttons and hats
};
using EventSink = void (*)(const BackendEvent& event);

// Sets where the events of one kind go; an event whose sink is not set is dropped.
void SetEventSink(EventSinkKind kind, EventSink sink);

// Takes in every event due by timeGetTime now. Called by the message queue, the keyboard and the
// joystick before they look at their contents.
void PumpBackendEvents();

}  // namespace platform
