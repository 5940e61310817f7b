// Rasterisation of the board's primitives into the back buffer through the pixel pipeline.
#pragma once

#include "platform/glide/pixel_pipeline.h"

namespace platform::glide {

// Vertices farther than this from the screen (or not finite) make a primitive the board does not
// draw: the game clips to the view before it draws.
inline constexpr float kGuardBand = 16384.0f;

void DrawTriangle(const DrawSetup& setup, const GrVertex& a, const GrVertex& b, const GrVertex& c);
void DrawLine(const DrawSetup& setup, const GrVertex& a, const GrVertex& b);
void DrawPoint(const DrawSetup& setup, const GrVertex& point);

}  // namespace platform::glide
