// Bitmaps: the pixels of one image and its reduced (MIP) levels, loaded from BMP files or pack
// archive members, registered in the world and handed out as the address of their slot.
// Results: handles or null; 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/object.h"

struct R3xWad;

struct R3xBitmap {
  // The reference count counts the faces, sprites and definitions that use the bitmap.
  R3xObjectHeader header;
  // Owned: every level, each after the one before it, rows bottom-up as in the file.
  std::uint8_t* pixels;
  std::size_t pixelBytes;
  std::int32_t width;
  // round(log2(width)).
  std::int16_t widthLog2;
  float widthReciprocal;
  std::int32_t height;
  // The number of image files (the full-size image and its further levels) minus 1.
  std::int32_t lastFrame;
  std::int32_t bitCount;
  // The archive the files come from, or null for plain files.
  R3xWad* archive;
  // Owned array of lastFrame + 1 owned names.
  char** frameNames;
  // The display back end's texture record, or null.
  void* texture;
  // Owned 256 entries {red, green, blue, 0} from an 8-bit file's colours, made only when the
  // world's bitmap colour-table flag is set; entries past the file's colours are 0. Else null.
  std::uint8_t* colourTable;
};

inline constexpr int R3X_BITMAP_COLOUR_ENTRIES = 256;

// The address of the bitmap's slot in the world's bitmap table; the table never moves while a
// bitmap is alive.
using R3xBitmapHandle = R3xSlot*;

// r3xLoadBitmapFrames with one file.
R3xBitmapHandle r3xLoadBitmap(R3xWorld* world, const char* tag, const char* fileName,
                              R3xWad* archive);
// The handle of the bitmap with that tag, made from the files when the tag is new: names[0] is
// the full-size image and each next name the next level at half its width and height. Without
// an archive, names not found as they are and not written with backslashes only are looked for
// along "WLDPATH". Null on failure (no object left behind), or when the tag names another type.
R3xBitmapHandle r3xLoadBitmapFrames(R3xWorld* world, const char* tag, std::int32_t frameCount,
                                    const char* const* names, R3xWad* archive);
// Removes the bitmap from the world and frees it: 0, R3X_ERR_BITMAP_IN_USE (nothing changed)
// while something references it, or R3X_ERR_FAILED when the handle is not a live bitmap slot
// of this world.
std::int32_t r3xDestroyBitmap(R3xWorld* world, R3xBitmapHandle handle);
std::int32_t r3xGetBitmapWidth(R3xBitmapHandle handle);
std::int32_t r3xGetBitmapHeight(R3xBitmapHandle handle);
