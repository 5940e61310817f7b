// The lens flare: eight textured squares strung along the line from the sun to the middle of the
// view, shown while nothing in the depth buffer hides the sun's own pixel.
#pragma once

#include <cstdint>

struct R3xBitmap;
struct R3xCamera;
struct R3xRenderContext;
struct R3xWorld;
struct SkyState;

// The sun's pixel on the 640 x 480 view, or none for a sun behind the camera or off the view.
struct SunPixel {
  bool onView;
  int x;
  int y;
};

SunPixel FindSunPixel(const SkyState& sky);
// True when the depth at the pixel (upper-left origin) is still what the frame's depth clear
// left: nothing was drawn in front of the sun. The read lock says which way its rows run.
bool SunPixelIsClear(const SunPixel& pixel);

// One element: the texture as a square of 100 x size pixels on a side, tinted by the colour and
// added onto the frame, centred on the point `distance` of the way from the sun to the point 100
// units ahead of the camera. The texture must be the board's texture source. The world is not
// used. 0.
std::int32_t DrawFlareElement(R3xWorld* world, R3xRenderContext* context, const R3xCamera* camera,
                              R3xBitmap* texture, const float sun[3], float distance, float size,
                              std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// The flare of the frame while the sun is in its half of the sky, on the view and not hidden,
// drawn without fog over everything; depth testing, depth writes and table fog are on again
// afterwards. 0; R3X_ERR_FAILED when an element's texture is missing or cannot be made resident.
std::int32_t DrawLensFlare(const SkyState& sky);
