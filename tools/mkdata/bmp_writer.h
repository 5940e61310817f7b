// Writes 8-bit palettised BMP files and their reduced (MIP) levels, for test fixtures and the
// demo data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkdata {

struct BmpColour {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

struct BmpImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  // Any number of colours; the file's colour table holds exactly these.
  std::vector<BmpColour> colours;
  // width x height palette indexes, rows bottom-up as the file keeps them.
  std::vector<std::uint8_t> pixels;
};

// kInfo: the 40-byte info header with the used colour count and 4-byte colour entries.
// kCore: the 12-byte core header with 3-byte entries (its sizes must fit 16 bits), whose table
// always has 256 entries: the colours, then black.
enum class BmpHeader { kInfo, kCore };

// The file's bytes: file header, info header, colour table, rows padded to 4 bytes. Throws
// std::invalid_argument when the pixels do not match the size, or the core header cannot hold
// the size.
std::vector<std::uint8_t> BuildBmp(const BmpImage& image, BmpHeader header = BmpHeader::kInfo);

// The next level: half the width and height (rounded down), each pixel taken from the top-left
// pixel of its 2 x 2 block; same colours.
BmpImage HalveImage(const BmpImage& image);

// A fixed test pattern of the given size over `colourCount` (1 to 256) colours of a fixed ramp.
BmpImage MakePatternImage(std::uint32_t width, std::uint32_t height, std::uint32_t colourCount);

// The file name of level `level` (1 and up) of an image file: "_<level>" before the extension.
std::string MakeLevelFileName(const std::string& name, int level);

}  // namespace mkdata
