// The SDL2 window backend: real keyboard, mouse, focus and window close; frames shown scaled in
// a window.
#pragma once

#include <memory>
#include <string>

#include "platform/backend/display_backend.h"

namespace platform {

// Null, with the reason in whyNot, when no display can be opened.
std::unique_ptr<DisplayBackend> CreateSdlBackend(std::string& whyNot);

}  // namespace platform
