// Hands the display backend's due events to their receivers: keys to the DirectInput keyboards,
// mouse and close to the shown window's queue, focus changes to the window services.
#pragma once

namespace platform {

// Takes in every event due by timeGetTime now. Called by the message queue and the keyboard
// before they look at their contents.
void PumpBackendEvents();

}  // namespace platform
