// The engine's own functions of the Glide frame state, which the public header leaves out.
// Results: 0.
#pragma once

#include <cstdint>

#include "engine/display/glide_frame.h"

struct R3xRenderContext;

// The depth-buffer and mipmap state of the world draw from the render context's flags. 0.
std::int32_t _r3xGlideSetDepthState(const R3xRenderContext* renderContext);
// The world draw's last step: nothing is left to do. 0.
std::int32_t _r3xGlideEndWorld(const R3xRenderContext* renderContext);
