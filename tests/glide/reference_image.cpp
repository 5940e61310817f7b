#include "tests/glide/reference_image.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "platform/backend/frame_png.h"
#include "platform/glide.h"

namespace {

constexpr int kSide = 64;

// The number at a byte offset: high byte first in the picture file, 0 past its end.
std::uint32_t BigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  arena::ByteReader reader(bytes);
  reader.Seek(at);
  return reader.U32BigEndian();
}

// Reads back what WriteFramePng writes (8-bit RGB, stored blocks, filter 0) as RGB565 pixels.
std::optional<std::vector<std::uint16_t>> ReadReference(const std::string& path) {
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
    if (type == "IHDR" && (BigEndian(png, at + 8) != kSide || BigEndian(png, at + 12) != kSide)) {
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
  if (raw.size() != static_cast<std::size_t>(kSide * (1 + kSide * 3))) {
    return std::nullopt;
  }
  std::vector<std::uint16_t> pixels;
  for (int y = 0; y < kSide; ++y) {
    const std::uint8_t* row = &raw[static_cast<std::size_t>(y * (1 + kSide * 3) + 1)];
    for (int x = 0; x < kSide; ++x) {
      const std::uint8_t* p = row + 3 * x;
      pixels.push_back(
          static_cast<std::uint16_t>((p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3));
    }
  }
  return pixels;
}

}  // namespace

::testing::AssertionResult MatchesReference(const std::string& name, int x, int y) {
  const auto back = platform::glide::ColorBuffer(GR_BUFFER_BACKBUFFER);
  std::vector<std::uint16_t> region;
  for (int row = 0; row < kSide; ++row) {
    for (int column = 0; column < kSide; ++column) {
      region.push_back(
          back[static_cast<std::size_t>(y + row) * 640 + static_cast<std::size_t>(x + column)]);
    }
  }
  const std::string path = std::string(ARENA_REFERENCE_DIR) + "/" + name + ".png";
  const char* update = std::getenv("ARENA_UPDATE_REFERENCES");
  if (update != nullptr && std::string_view(update) == "1") {
    platform::Frame frame{kSide, kSide, 16, {}, {}};
    for (std::uint16_t pixel : region) {
      arena::ByteWriter bytes;
      bytes.U16(pixel);
      frame.pixels.insert(frame.pixels.end(), bytes.bytes().begin(), bytes.bytes().end());
    }
    if (!platform::WriteFramePng(frame, path)) {
      return ::testing::AssertionFailure() << "cannot write " << path;
    }
    return ::testing::AssertionSuccess() << "rewrote " << path;
  }
  const auto expected = ReadReference(path);
  if (!expected) {
    return ::testing::AssertionFailure()
           << path << " is missing or unreadable (ARENA_UPDATE_REFERENCES=1 writes it)";
  }
  for (std::size_t i = 0; i < region.size(); ++i) {
    if (region[i] != (*expected)[i]) {
      return ::testing::AssertionFailure()
             << name << ": first difference at pixel (" << i % kSide << ", " << i / kSide
             << ") of the 64 x 64 region: drawn 0x" << std::hex << region[i] << ", reference 0x"
             << (*expected)[i];
    }
  }
  return ::testing::AssertionSuccess();
}
