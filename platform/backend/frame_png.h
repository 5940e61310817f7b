// Frames as PNG files (8-bit RGB, deflate-compressed), for looking at what was shown.
#pragma once

#include <string>

#include "platform/backend/display_backend.h"

namespace platform {

// 16-bit frames are RGB565; 8-bit frames are written as grey levels of their indices. False when
// the frame is empty or the file cannot be written.
bool WriteFramePng(const Frame& frame, const std::string& path);

}  // namespace platform
