#include "tests/support/reference_picture.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "platform/backend/frame_png.h"
#include "platform/glide.h"

namespace test_support {
namespace {

constexpr std::size_t kBufferWidth = 640;

// The number at a byte offset: high byte first in the picture file, 0 past its end.
std::uint32_t BigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  arena::ByteReader reader(bytes);
  reader.Seek(at);
  return reader.U32BigEndian();
}

// Reads back what WriteFramePng writes (8-bit RGB, stored blocks, filter 0) as RGB565 pixels.
std::optional<std::vector<std::uint16_t>> ReadPicture(const std::string& path, int width,
                                                      int height) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
  std::vector<std::uint8_t> zlib;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::size_t length = BigEndian(png, at);
    if (at + 12 + length > png.size()) {
      return std::nullopt;
    }
    const std::string_view type(reinterpret_cast<const char*>(&png[at + 4]), 4);
    if (type == "IHDR" && (BigEndian(png, at + 8) != static_cast<std::uint32_t>(width) ||
                           BigEndian(png, at + 12) != static_cast<std::uint32_t>(height))) {
      return std::nullopt;
    }
    if (type == "IDAT") {
      zlib.insert(zlib.end(), png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                  png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
    }
    at += 12 + length;
  }
  std::vector<std::uint8_t> raw;
  for (std::size_t at = 2; at + 5 <= zlib.size();) {
    const bool last = (zlib[at] & 1) != 0;
    arena::ByteReader lengthField(zlib);
    lengthField.Seek(at + 1);
    const std::size_t length = lengthField.U16();
    if ((zlib[at] & 6) != 0 || at + 5 + length > zlib.size()) {
      return std::nullopt;
    }
    raw.insert(raw.end(), zlib.begin() + static_cast<std::ptrdiff_t>(at + 5),
               zlib.begin() + static_cast<std::ptrdiff_t>(at + 5 + length));
    at += 5 + length;
    if (last) {
      break;
    }
  }
  const auto rowBytes = static_cast<std::size_t>(1 + width * 3);
  if (raw.size() != static_cast<std::size_t>(height) * rowBytes) {
    return std::nullopt;
  }
  std::vector<std::uint16_t> pixels;
  for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
    const std::uint8_t* row = &raw[y * rowBytes + 1];
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = row + 3 * x;
      pixels.push_back(
          static_cast<std::uint16_t>((p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3));
    }
  }
  return pixels;
}

}  // namespace

std::string CompareWithReferencePicture(const std::string& path, int x, int y, int width,
                                        int height) {
  const auto back = platform::glide::ColorBuffer(GR_BUFFER_BACKBUFFER);
  std::vector<std::uint16_t> drawn;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      drawn.push_back(back[static_cast<std::size_t>(y + row) * kBufferWidth +
                           static_cast<std::size_t>(x + column)]);
    }
  }
  const char* update = std::getenv("ARENA_UPDATE_REFERENCES");
  if (update != nullptr && std::string_view(update) == "1") {
    platform::Frame frame{width, height, 16, {}, {}};
    for (std::uint16_t pixel : drawn) {
      arena::ByteWriter bytes;
      bytes.U16(pixel);
      frame.pixels.insert(frame.pixels.end(), bytes.bytes().begin(), bytes.bytes().end());
    }
    return platform::WriteFramePng(frame, path) ? "" : "cannot write " + path;
  }
  const auto expected = ReadPicture(path, width, height);
  if (!expected) {
    return path + " is missing or unreadable (ARENA_UPDATE_REFERENCES=1 writes it)";
  }
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    if (drawn[i] != (*expected)[i]) {
      std::ostringstream difference;
      difference << path << ": first difference at pixel (" << i % static_cast<std::size_t>(width)
                 << ", " << i / static_cast<std::size_t>(width) << ") of the " << width << " x "
                 << height << " rectangle: drawn 0x" << std::hex << drawn[i] << ", reference 0x"
                 << (*expected)[i];
      return difference.str();
    }
  }
  return "";
}

}  // namespace test_support
