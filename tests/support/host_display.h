// The display objects as the host program makes them before it runs the game: a DirectDraw
// object in exclusive full screen at 640 x 480 x 8 on a window, with a flipping primary surface.
#pragma once

#include "platform/ddraw.h"
#include "platform/window/handles.h"

namespace test_support {

// True when every step succeeded; what was made is left in the pointers either way, for
// ReleaseHostDisplay.
bool OpenHostDisplay(HWND window, IDirectDraw*& directDraw, IDirectDrawSurface*& primarySurface);
// Releases what OpenHostDisplay made (the surface first) and clears the pointers.
void ReleaseHostDisplay(IDirectDraw*& directDraw, IDirectDrawSurface*& primarySurface);

}  // namespace test_support
