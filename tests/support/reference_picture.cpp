#include "tests/support/reference_picture.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "base/pixel16.h"
#include "platform/backend/frame_png.h"
#include "platform/glide.h"
#include "tests/support/png_picture.h"

namespace test_support {
namespace {

constexpr std::size_t kBufferWidth = 640;

// The picture at `path` as RGB565 pixels, when it has the given size.
std::optional<std::vector<std::uint16_t>> ReadPicture(const std::string& path, int width,
                                                      int height) {
  const auto picture = ReadPngPicture(path);
  if (!picture || picture->width != width || picture->height != height) {
    return std::nullopt;
  }
  std::vector<std::uint16_t> pixels;
  for (std::size_t at = 0; at < picture->rgb.size(); at += 3) {
    const std::uint8_t* p = &picture->rgb[at];
    pixels.push_back(static_cast<std::uint16_t>(arena::Pack565(arena::Rgb(p[0], p[1], p[2]))));
  }
  return pixels;
}

bool UpdatingReferences() {
  const char* update = std::getenv("ARENA_UPDATE_REFERENCES");
  return update != nullptr && std::string_view(update) == "1";
}

// Compares drawn RGB565 pixels with the picture, or rewrites the picture when asked to.
std::string ComparePixels(const std::string& path, int width, int height,
                          const std::vector<std::uint16_t>& drawn) {
  if (UpdatingReferences()) {
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
  return ComparePixels(path, width, height, drawn);
}

std::string CompareFrameWithReferencePicture(const std::string& path,
                                             const platform::Frame& frame) {
  if (frame.bitsPerPixel != 16) {
    return "the frame is not RGB565";
  }
  arena::ByteReader reader(frame.pixels);
  std::vector<std::uint16_t> drawn;
  while (reader.remaining() >= 2) {
    drawn.push_back(reader.U16());
  }
  return ComparePixels(path, frame.width, frame.height, drawn);
}

std::string CompareIndexedWithReferencePicture(const std::string& path, int width, int height,
                                               const std::vector<std::uint8_t>& pixels,
                                               const PALETTEENTRY* colours) {
  if (UpdatingReferences()) {
    platform::Frame frame{
        width, height, 8, {pixels.begin(), pixels.end()}, {colours, colours + 256}};
    return platform::WriteFramePng(frame, path) ? "" : "cannot write " + path;
  }
  const auto picture = ReadPngPicture(path);
  if (!picture || picture->width != width || picture->height != height) {
    return path + " is missing or unreadable (ARENA_UPDATE_REFERENCES=1 writes it)";
  }
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const PALETTEENTRY& colour = colours[pixels[i]];
    const std::uint8_t* expected = &picture->rgb[3 * i];
    if (colour.peRed != expected[0] || colour.peGreen != expected[1] ||
        colour.peBlue != expected[2]) {
      std::ostringstream difference;
      difference << path << ": first difference at pixel (" << i % static_cast<std::size_t>(width)
                 << ", " << i / static_cast<std::size_t>(width) << "): drawn index "
                 << int{pixels[i]};
      return difference.str();
    }
  }
  return "";
}

}  // namespace test_support
