// Windows BMP files, read whole for palettes and further MIP levels, or as a bitmap's images.
// Every size, offset and count a file states is checked against the bytes it really has.
// Results: 0 or a negative R3X_ERR_ (R3X_ERR_BMP_) code; DIBs or null; sizes and colours.
#pragma once

#include <cstddef>
#include <cstdint>

struct R3xWad;
struct R3xBitmap;

inline constexpr std::uint32_t R3X_BMP_FILE_HEADER_SIZE = 14;
inline constexpr std::uint32_t R3X_BMP_CORE_HEADER_SIZE = 12;
// Info headers of fewer bytes lack the bit count.
inline constexpr std::uint32_t R3X_BMP_MIN_INFO_HEADER_SIZE = 16;

// A DIB block: the bytes of a BMP file after its file header, up to the size the file header
// states. Its info header lies wholly inside it. One r3xMalloc block; free it with r3xFree.
struct R3xDib {
  std::size_t size;
  std::uint8_t* bytes;
};

struct R3xRgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

// The size field of the block's info header.
std::uint32_t _r3xBmpHeaderSize(const R3xDib* dib);
// The DIB block of a whole file, or null (missing, short, not "BM", bad header size).
R3xDib* _r3xReadBmpFile(const char* name);
// The same from an archive member.
R3xDib* _r3xReadDibFromWad(R3xWad* archive, const char* name);
// The number of colours the block's colour table holds: the used colour count of an info
// header that has one, else 2, 16 or 256 for 1, 4 or 8 bits per pixel, else 0.
std::uint32_t _r3xBmpColorCount(const R3xDib* dib);
// True when count colour entries follow the info header inside the block.
bool _r3xBmpColorsFit(const R3xDib* dib, std::uint32_t count);
// Colour entry `index` of the table, which the caller has checked to fit.
R3xRgb _r3xBmpColor(const R3xDib* dib, std::uint32_t index);
// Loads names[0] as the bitmap's full-size image and names[1 .. levelCount - 1] as its further
// levels, each half the size of the one before; with the palette flag an 8-bit image's colours
// are kept too. 0, or R3X_ERR_BMP_OPEN, R3X_ERR_BMP_READ (data missing from a file),
// R3X_ERR_BMP_NOT_BM, R3X_ERR_BMP_HEADER (header sizes, dimensions or colour count that do not
// fit), R3X_ERR_NO_MEMORY, or R3X_ERR_FAILED for bad arguments. On failure the bitmap keeps no
// pixels and no colour table.
std::int32_t _r3xLoadBitmapFile(std::int32_t levelCount, const char* const* names,
                                R3xBitmap* bitmap, R3xWad* archive, std::int32_t paletteFlag);
