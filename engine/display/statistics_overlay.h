// The statistics overlay of the Glide back end: frames per second and the polygon and region
// counts in the top left corner of the screen, for tools that switch it on.
// Results: none.
#pragma once

struct R3xGlideContext;

// One present's share: counts the frame, redraws the overlay pixels every sixth present and
// writes them, keyed, into the back buffer.
void _r3xDrawStatisticsOverlay(R3xGlideContext* context);
