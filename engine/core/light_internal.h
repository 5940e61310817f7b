// The engine's own functions of light.h, which the public header leaves out.
// Results: a frame index (a value).
#pragma once

#include "engine/core/light.h"

// The frame whose intensity and colour the light shows: its current frame, or frame 0 (where
// the next frame step wraps to) for a current frame beyond the definition's frames.
std::uint32_t _r3xLightShownFrame(const R3xLight* light);
