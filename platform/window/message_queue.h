// What the window services need of the message queues besides the public calls.
#pragma once

#include "platform/window/handles.h"

namespace platform {

// Drops every queued message of a destroyed window.
void DropQueuedMessages(HWND window);
// Empties every thread's queue and forgets pending quits (tests).
void ResetMessageQueues();

}  // namespace platform
