// The SDL2 window backend: real keyboard, mouse, focus and window close; frames shown scaled in
// a window.
#pragma once

#include <memory>

#include "platform/backend/display_backend.h"

namespace platform {

// Null when SDL2 was not built in or its video cannot start.
std::unique_ptr<DisplayBackend> CreateSdlBackend();

}  // namespace platform
