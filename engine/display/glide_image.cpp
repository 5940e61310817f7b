// 2D images: conversion of 8-bit bitmaps and writes into the back buffer through the linear
// frame buffer, with transparency done by the board (alpha for converted images, the chroma key
// for 16-bit ones).
#include "engine/display/glide_image.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/core/bitmap.h"
#include "engine/core/memory.h"
#include "engine/core/palette.h"
#include "engine/display/glide_colour.h"
#include "engine/display/glide_context.h"
#include "engine/display/glide_image_internal.h"

namespace {

constexpr int kLfbInfoSize = 20;

// The board widens a 5-bit channel v to (v << 3) | (v >> 2); a key must be widened the same way
// to match the panel pixels of the transparent colour.
std::uint8_t WidenAs5Bit(std::uint8_t c) { return static_cast<std::uint8_t>((c & 0xF8) | c >> 5); }

// Cuts a rectangle to [0, width) x [0, height), moving the point it is drawn at along with its
// top left; false when nothing is left.
bool CutToArea(RECT& rect, std::int32_t& x, std::int32_t& y, std::int32_t width,
               std::int32_t height) {
  if (rect.left < 0) {
    x -= rect.left;
    rect.left = 0;
  }
  if (rect.top < 0) {
    y -= rect.top;
    rect.top = 0;
  }
  rect.right = std::min<LONG>(rect.right, width);
  rect.bottom = std::min<LONG>(rect.bottom, height);
  return rect.left < rect.right && rect.top < rect.bottom;
}

}  // namespace

std::int32_t _r3xConvert8To1555(const std::uint8_t* source, const PALETTEENTRY* palette,
                                std::uint16_t* destination, std::int32_t width, std::int32_t height,
                                std::uint8_t transparentIndex, std::int32_t sourceBottomUp,
                                std::int32_t keyed) {
  const auto rowLength = static_cast<std::size_t>(width);
  for (std::int32_t row = 0; row < height; ++row) {
    const std::int32_t sourceRow = sourceBottomUp != 0 ? height - 1 - row : row;
    const std::uint8_t* in = source + static_cast<std::size_t>(sourceRow) * rowLength;
    std::uint16_t* out = destination + static_cast<std::size_t>(row) * rowLength;
    for (std::size_t i = 0; i < rowLength; ++i) {
      const std::uint8_t c = in[i];
      out[i] = keyed != 0 && c == transparentIndex
                   ? std::uint16_t{0}
                   : static_cast<std::uint16_t>(0x8000 | _r3xColour555(palette[c]));
    }
  }
  return 0;
}

R3xGlideImage* r3xGlideCreateImage(R3xGlideContext* context, const R3xBitmap* bitmap,
                                   std::int32_t keyed) {
  const std::int32_t depth = bitmap->bitCount;
  if (depth != 8 && depth != 16) {
    return nullptr;
  }
  if (depth == 8 && context->palette == nullptr) {
    return nullptr;
  }
  auto* image = static_cast<R3xGlideImage*>(r3xMalloc(sizeof(R3xGlideImage)));
  if (image == nullptr) {
    return nullptr;
  }
  image->width = bitmap->width;
  image->height = std::abs(bitmap->height);
  image->sourceDepth = depth;
  if (depth == 16) {
    image->pixels = reinterpret_cast<std::uint16_t*>(bitmap->pixels);
    return image;
  }
  image->pixels = static_cast<std::uint16_t*>(r3xMalloc(
      static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * 2));
  if (image->pixels == nullptr) {
    r3xFree(image);
    return nullptr;
  }
  _r3xConvert8To1555(bitmap->pixels, context->palette->entries, image->pixels, image->width,
                     image->height, context->transparentIndex, bitmap->height >= 0 ? 1 : 0, keyed);
  return image;
}

std::int32_t _r3xGlideBlitToFrame(R3xGlideContext* context, std::int32_t sourceDepth,
                                  std::int32_t width, std::int32_t height,
                                  const std::uint16_t* pixels, std::int32_t x, std::int32_t y,
                                  const RECT* source) {
  const int writeMode = sourceDepth == 8 ? GR_LFBWRITEMODE_1555 : GR_LFBWRITEMODE_555;
  grDepthMask(FXFALSE);
  GrState saved;
  grGlideGetState(&saved);
  grDisableAllEffects();
  grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                 GR_COMBINE_OTHER_TEXTURE, FXFALSE);
  if (sourceDepth == 8) {
    grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE,
                   GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                         GR_BLEND_ZERO);
  }
  grClipWindow(0, 0, R3X_GLIDE_SCREEN_WIDTH, R3X_GLIDE_SCREEN_HEIGHT);
  if (sourceDepth != 8) {
    grChromakeyMode(1);
    PALETTEENTRY key{};
    if (context->palette != nullptr) {
      key = context->palette->entries[context->transparentIndex];
    }
    grChromakeyValue(
        _r3xGlideRgb(WidenAs5Bit(key.peRed), WidenAs5Bit(key.peGreen), WidenAs5Bit(key.peBlue)));
  }
  // The rectangle is cut to the image, then the write to the screen.
  RECT rect = source != nullptr ? *source : RECT{0, 0, width, height};
  std::int32_t left = x;
  std::int32_t top = y;
  bool visible = CutToArea(rect, left, top, width, height);
  if (visible) {
    RECT onScreen{left, top, left + (rect.right - rect.left), top + (rect.bottom - rect.top)};
    std::int32_t imageLeft = rect.left;
    std::int32_t imageTop = rect.top;
    visible =
        CutToArea(onScreen, imageLeft, imageTop, R3X_GLIDE_SCREEN_WIDTH, R3X_GLIDE_SCREEN_HEIGHT);
    rect = {imageLeft, imageTop, imageLeft + (onScreen.right - onScreen.left),
            imageTop + (onScreen.bottom - onScreen.top)};
    left = onScreen.left;
    top = onScreen.top;
  }
  GrLfbInfo info{};
  info.size = kLfbInfoSize;
  if (visible && grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, writeMode, GR_ORIGIN_UPPER_LEFT,
                           GR_LFB_PIXELPIPELINE, &info) != FXFALSE) {
    const std::size_t stride = info.strideInBytes & ~FxU32{1};
    const auto rowBytes = static_cast<std::size_t>(rect.right - rect.left) * 2;
    auto* frame = static_cast<std::uint8_t*>(info.lfbPtr);
    for (std::int32_t k = 0; k < rect.bottom - rect.top; ++k) {
      const std::int32_t imageRow = sourceDepth == 8 ? rect.top + k : height - 1 - rect.top - k;
      const std::uint16_t* from =
          pixels + static_cast<std::size_t>(imageRow) * static_cast<std::size_t>(width) +
          static_cast<std::size_t>(rect.left);
      std::memcpy(
          frame + stride * static_cast<std::size_t>(top + k) + 2 * static_cast<std::size_t>(left),
          from, rowBytes);
    }
    grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
  }
  grGlideSetState(&saved);
  return 0;
}

std::int32_t r3xGlideDrawImage(R3xGlideContext* context, const R3xGlideImage* image, std::int32_t x,
                               std::int32_t y, const RECT* source) {
  return _r3xGlideBlitToFrame(context, image->sourceDepth, image->width, image->height,
                              image->pixels, x, y, source);
}

std::int32_t _r3xGlideDrawBitmap(R3xGlideContext* context, const R3xBitmap* bitmap,
                                 std::int32_t keyed, std::int32_t x, std::int32_t y,
                                 const RECT* source, std::int32_t rowsTopDown) {
  const std::int32_t depth = bitmap->bitCount;
  const std::int32_t width = bitmap->width;
  const std::int32_t height = std::abs(bitmap->height);
  const std::size_t pixelCount =
      static_cast<std::size_t>(width < 0 ? 0 : width) * static_cast<std::size_t>(height);
  if ((depth != 8 && depth != 16) || bitmap->pixels == nullptr ||
      bitmap->pixelBytes < pixelCount * static_cast<std::size_t>(depth / 8)) {
    return R3X_ERR_FAILED;
  }
  if (depth == 16) {
    return _r3xGlideBlitToFrame(context, depth, width, height,
                                reinterpret_cast<const std::uint16_t*>(bitmap->pixels), x, y,
                                source);
  }
  if (context->palette == nullptr) {
    return R3X_ERR_FAILED;
  }
  auto* converted = static_cast<std::uint16_t*>(r3xMalloc(pixelCount * 2));
  if (converted == nullptr) {
    return R3X_ERR_FAILED;
  }
  _r3xConvert8To1555(bitmap->pixels, context->palette->entries, converted, width, height,
                     context->transparentIndex, rowsTopDown == 0 ? 1 : 0, keyed);
  const std::int32_t result =
      _r3xGlideBlitToFrame(context, depth, width, height, converted, x, y, source);
  r3xFree(converted);
  return result;
}

std::int32_t r3xGlideFreeImage(R3xGlideContext* /*context*/, R3xGlideImage* image) {
  if (image->sourceDepth == 8) {
    r3xFree(image->pixels);
  }
  r3xFree(image);
  return 0;
}
