#include "platform/backend/event_pump.h"

#include <array>
#include <atomic>
#include <mutex>

#include "platform/kernel/clock.h"

namespace platform {
namespace {

// Set while the library loads, in whatever order its files are initialised.
std::array<std::atomic<EventSink>, 3>& Sinks() {
  static std::array<std::atomic<EventSink>, 3> sinks{};
  return sinks;
}

EventSinkKind KindOf(const BackendEvent& event) {
  switch (event.kind) {
    case BackendEventKind::kKeyDown:
    case BackendEventKind::kKeyUp:
      return EventSinkKind::kKeyboard;
    case BackendEventKind::kJoystickAttach:
    case BackendEventKind::kJoystickDetach:
    case BackendEventKind::kJoystickAxis:
    case BackendEventKind::kJoystickButtonDown:
    case BackendEventKind::kJoystickButtonUp:
    case BackendEventKind::kJoystickHat:
      return EventSinkKind::kJoystick;
    default:
      return EventSinkKind::kWindow;
  }
}

}  // namespace

void SetEventSink(EventSinkKind kind, EventSink sink) {
  Sinks()[static_cast<std::size_t>(kind)].store(sink);
}

void PumpBackendEvents() {
  // Recursive: a focus change sends messages whose procedures may look at the queue again.
  static std::recursive_mutex mutex;
  std::lock_guard lock(mutex);
  const DWORD now = timeGetTime();
  BackendEvent event;
  while (GetDisplayBackend().PollEvent(now, event)) {
    if (const EventSink sink = Sinks()[static_cast<std::size_t>(KindOf(event))].load()) {
      sink(event);
    }
    // The window also hears keys go down, as WM_KEYDOWN of the keys that have no character.
    if (event.kind == BackendEventKind::kKeyDown) {
      if (const EventSink sink = Sinks()[static_cast<std::size_t>(EventSinkKind::kWindow)].load()) {
        sink(event);
      }
    }
  }
}

}  // namespace platform
