#include "tools/mkdata/bmp_writer.h"

#include <filesystem>
#include <limits>
#include <stdexcept>

#include "base/byte_writer.h"

namespace mkdata {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::size_t kCoreColours = 256;

std::uint32_t ComputeRowStride(std::uint32_t width) { return (width + 3) & ~3u; }

}  // namespace

std::vector<std::uint8_t> BuildBmp(const BmpImage& image, BmpHeader header) {
  if (std::uint64_t{image.width} * image.height != image.pixels.size()) {
    throw std::invalid_argument("bmp: pixel count does not match the size");
  }
  const bool core = header == BmpHeader::kCore;
  if (core && (image.width > std::numeric_limits<std::uint16_t>::max() ||
               image.height > std::numeric_limits<std::uint16_t>::max())) {
    throw std::invalid_argument("bmp: the core header holds sizes up to 65535");
  }
  if (core && image.colours.size() > kCoreColours) {
    throw std::invalid_argument("bmp: the core header holds at most 256 colours");
  }
  // A core header states no colour count: its table always has one entry per pixel value.
  const std::size_t entries = core ? kCoreColours : image.colours.size();
  const std::uint64_t tableSize = std::uint64_t{entries} * (core ? 3 : 4);
  const std::uint64_t pixelOffset =
      kFileHeaderSize + (core ? kCoreHeaderSize : kInfoHeaderSize) + tableSize;
  const std::uint64_t fileSize =
      pixelOffset + std::uint64_t{ComputeRowStride(image.width)} * image.height;
  if (fileSize > std::numeric_limits<std::uint32_t>::max()) {
    throw std::invalid_argument("bmp: the file would pass 4 GiB");
  }
  arena::ByteWriter out;
  out.U8('B');
  out.U8('M');
  out.U32(static_cast<std::uint32_t>(fileSize));
  out.U32(0);
  out.U32(static_cast<std::uint32_t>(pixelOffset));
  if (core) {
    out.U32(kCoreHeaderSize);
    out.U16(static_cast<std::uint16_t>(image.width));
    out.U16(static_cast<std::uint16_t>(image.height));
    out.U16(1);
    out.U16(8);
  } else {
    out.U32(kInfoHeaderSize);
    out.U32(image.width);
    out.U32(image.height);
    out.U16(1);
    out.U16(8);
    out.U32(0);
    out.U32(ComputeRowStride(image.width) * image.height);
    out.U32(0);
    out.U32(0);
    out.U32(static_cast<std::uint32_t>(image.colours.size()));
    out.U32(0);
  }
  for (const BmpColour& colour : image.colours) {
    out.U8(colour.blue);
    out.U8(colour.green);
    out.U8(colour.red);
    if (!core) {
      out.U8(0);
    }
  }
  for (std::size_t i = image.colours.size(); i < entries; ++i) {
    out.Bytes("\0\0\0", 3);
  }
  const std::uint8_t padding[3] = {};
  for (std::uint32_t row = 0; row < image.height; ++row) {
    out.Bytes(image.pixels.data() + std::size_t{row} * image.width, image.width);
    out.Bytes(padding, ComputeRowStride(image.width) - image.width);
  }
  return out.Take();
}

BmpImage HalveImage(const BmpImage& image) {
  BmpImage half{image.width / 2, image.height / 2, image.colours, {}};
  half.pixels.reserve(std::size_t{half.width} * half.height);
  for (std::uint32_t y = 0; y < half.height; ++y) {
    for (std::uint32_t x = 0; x < half.width; ++x) {
      half.pixels.push_back(image.pixels[std::size_t{2 * y + 1} * image.width + 2 * x]);
    }
  }
  return half;
}

BmpImage MakePatternImage(std::uint32_t width, std::uint32_t height, std::uint32_t colourCount) {
  if (colourCount < 1 || colourCount > 256) {
    throw std::invalid_argument("bmp: the colour count must be 1 to 256");
  }
  BmpImage image{width, height, {}, {}};
  for (std::uint32_t i = 0; i < colourCount; ++i) {
    image.colours.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                             static_cast<std::uint8_t>(i * 4)});
  }
  image.pixels.reserve(std::size_t{width} * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      image.pixels.push_back(static_cast<std::uint8_t>((x ^ y) % colourCount));
    }
  }
  return image;
}

std::string MakeLevelFileName(const std::string& name, int level) {
  const std::filesystem::path path(name);
  std::filesystem::path levelPath = path;
  levelPath.replace_filename(path.stem().string() + "_" + std::to_string(level) +
                             path.extension().string());
  return levelPath.string();
}

}  // namespace mkdata
