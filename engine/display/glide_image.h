// 2D images on the Glide back end: images made from bitmaps and written into the back buffer
// through the linear frame buffer, and the transparent copy and fill of 16-bit panel buffers.
// Results: an image or null; 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/core/error.h"
#include "platform/window/rect.h"

struct R3xBitmap;
struct R3xGlideContext;

// The screen the frame-buffer writes go to.
inline constexpr std::int32_t R3X_GLIDE_SCREEN_WIDTH = 640;
inline constexpr std::int32_t R3X_GLIDE_SCREEN_HEIGHT = 480;

struct R3xGlideImage {
  std::int32_t width;
  // Always positive.
  std::int32_t height;
  // 8: the pixels are ARGB 1555 rows from the top, owned (alpha 0 is transparent). 16: they
  // are the bitmap's own RGB 555 rows from the bottom, not owned (the transparent colour is
  // transparent).
  std::int32_t sourceDepth;
  std::uint16_t* pixels;
};

// An image of an 8-bit bitmap (converted through the attached palette; keyed: the transparent
// index becomes transparent) or of a 16-bit bitmap (its pixels, so free the image first). Null
// out of memory, for a bitmap of another depth, or for an 8-bit one before a palette is attached.
R3xGlideImage* r3xGlideCreateImage(R3xGlideContext* context, const R3xBitmap* bitmap,
                                   std::int32_t keyed);
// Writes the image, or the part of it in the source rectangle (null: all of it), into the back
// buffer with the rectangle's top left at (x, y). The rectangle is cut to the image and the
// write to the screen. Leaves depth writes off. 0.
std::int32_t r3xGlideDrawImage(R3xGlideContext* context, const R3xGlideImage* image, std::int32_t x,
                               std::int32_t y, const RECT* source);
// 0.
std::int32_t r3xGlideFreeImage(R3xGlideContext* context, R3xGlideImage* image);

// Copies the source rectangle's pixels that are not 0 to the destination rectangle, each image
// in its own row order (null rectangles: the whole image). Parts of the rectangles outside
// either image are not copied. R3X_ERR_FAILED, with nothing written, when the rectangles differ
// in size; 0.
std::int32_t r3xBlit16Transparent(R3xGlideContext* context, const R3xGlideImage* source,
                                  R3xGlideImage* destination, const RECT* sourceRect,
                                  const RECT* destinationRect);
// Fills the rectangle, cut to the buffer, of a bottom-up 16-bit buffer with the transparent
// colour in RGB 555.
void r3xFill16(R3xGlideContext* context, std::uint16_t* pixels, std::int32_t rowLength,
               std::int32_t height, const RECT* rect);
