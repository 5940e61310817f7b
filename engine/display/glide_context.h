// The Glide back end: its one context per process, the link to a render context and the texture
// cache that keeps bitmaps resident in the texture memory of the board's first texture unit,
// placed by address and evicted least recently used first.
// Results: 0 or a negative R3X_ERR_ code; r3xGlideLoadTexture answers R3X_GLIDE_LOADED or
// R3X_GLIDE_NOT_PLACED.
#pragma once

#include <cstdint>

#include "engine/core/error.h"
#include "platform/gdi/gdi_types.h"
#include "platform/glide.h"

struct R3xBitmap;
struct R3xPalette;
struct R3xRenderContext;
// A draw-list entry of the world draw; the draw lists fill it.
struct R3xGlideDrawEntry;

// r3xGlideLoadTexture's answers.
inline constexpr std::int32_t R3X_GLIDE_NOT_PLACED = 0;
inline constexpr std::int32_t R3X_GLIDE_LOADED = 1;

// The start of a texture that is not resident.
inline constexpr std::uint32_t R3X_GLIDE_NOT_RESIDENT = 0xFFFFFFFFu;

// One per bitmap the back end has drawn; the bitmap's texture field points back to it.
struct R3xGlideTexture {
  R3xBitmap* bitmap;
  std::uint32_t start;
  // Bytes of texture memory for all levels.
  std::uint32_t size;
  // 256 / the larger side: takes texel coordinates to the board's 0..256 range.
  float texelScale;
  // The LRU list, previous toward the most recently used.
  R3xGlideTexture* lruPrevious;
  R3xGlideTexture* lruNext;
  // The address-ordered list of resident textures.
  R3xGlideTexture* lower;
  R3xGlideTexture* higher;
  // Palettised textures point at the bitmap's own pixels; RGB 565 ones own a converted copy.
  GrTexInfo info;
  R3xGlideTexture* nextRegistered;
  // The frame's draw lists, null outside a world draw.
  R3xGlideDrawEntry* opaqueList;
  R3xGlideDrawEntry* translucentList;
};

struct R3xGlideContext {
  R3xGlideTexture* lruHead;
  R3xGlideTexture* lruTail;
  R3xGlideTexture* lowestResident;
  R3xGlideTexture* highestResident;
  // Usable texture memory [bottom, top); top 0 until the first load fetches both.
  std::uint32_t memoryBottom;
  std::uint32_t memoryTop;
  std::uint8_t transparentIndex;
  const R3xPalette* palette;
  // The statistics overlay: off (0) unless a tool sets it; its counts, drawing context and
  // 150 x 60 bottom-up 16-bit pixels.
  std::uint32_t overlaySwitch;
  std::uint32_t overlayPolygonCount;
  std::uint32_t overlayRegionCount;
  HDC overlayDrawingContext;
  std::uint16_t* overlayPixels;
  R3xGlideTexture* firstRegistered;
  R3xGlideTexture* lastRegistered;
};

// Opens the board at 640 x 480 with two colour buffers and a depth buffer and makes the
// context. R3X_ERR_FAILED without a board (the out pointer untouched) or out of memory (null
// stored).
std::int32_t r3xGlideInit(R3xGlideContext** out);
// Makes the render context draw through Glide and downloads the palette as the texture
// palette. R3X_ERR_FAILED without a render context (nothing changed) or without a palette (the
// render context is linked all the same).
std::int32_t r3xGlideAttach(R3xGlideContext* context, R3xRenderContext* renderContext,
                            const R3xPalette* palette);
// Closes the board and frees the context (not its textures: free those first).
void r3xGlideShutdown(R3xGlideContext* context);

// A new texture record for a bitmap whose texture field is null. R3X_ERR_FAILED, with nothing
// registered, for sides that are not powers of two from 1 to 256 in a ratio of at most 8, for
// a bitmap that is neither 8-bit nor has its own colour table, for pixel data shorter than its
// levels, or out of memory.
std::int32_t r3xGlideRegisterTexture(R3xGlideContext* context, R3xBitmap* bitmap);
// Places a texture that is not resident and downloads it: R3X_GLIDE_LOADED, or
// R3X_GLIDE_NOT_PLACED when it does not fit even after evicting every resident texture.
std::int32_t r3xGlideLoadTexture(R3xGlideContext* context, R3xGlideTexture* texture);
// Registers the bitmap when it has no texture record yet and makes it the board's texture
// source, resident and most recently used. 0; R3X_ERR_FAILED for no bitmap, one that cannot be
// registered, or one that does not fit in texture memory.
std::int32_t r3xGlideSelectBitmap(R3xGlideContext* context, R3xBitmap* bitmap);
// Frees every registered texture, clears the bitmaps' texture fields and forgets the memory
// bounds. 0.
std::int32_t r3xGlideFreeTextures(R3xGlideContext* context);
