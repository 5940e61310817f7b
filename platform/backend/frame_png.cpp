#include "platform/backend/frame_png.h"

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <utility>
#include <vector>

#include "base/byte_writer.h"
#include "base/pixel16.h"

namespace platform {
namespace {

// Picture files keep their numbers high byte first.
void PutChunk(arena::ByteWriter& out, const char* type, const std::uint8_t* data,
              std::size_t size) {
  out.U32BigEndian(static_cast<std::uint32_t>(size));
  const std::size_t typeAt = out.size();
  out.Bytes(type, 4);
  out.Bytes(data, size);
  const std::uint8_t* typed = out.bytes().data() + typeAt;
  out.U32BigEndian(static_cast<std::uint32_t>(crc32(0, typed, static_cast<uInt>(size + 4))));
}

// The buffers of the last picture written on this thread, kept for the next: a frame's rows are
// most of a megabyte, and fresh memory of that size faults a page in every 4 KB it is written.
struct PictureBuffers {
  std::vector<std::uint8_t> raw;
  std::vector<std::uint8_t> zlib;
};

PictureBuffers& Buffers() {
  thread_local PictureBuffers buffers;
  return buffers;
}

// The rows as a zlib stream in `zlib`, at the fastest level: frames are mostly runs of one colour,
// which the fastest level already packs to a few per cent. False when zlib fails.
bool Compress(const std::vector<std::uint8_t>& raw, std::vector<std::uint8_t>& zlib) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  zlib.resize(size);
  if (compress2(zlib.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_SPEED) !=
      Z_OK) {
    return false;
  }
  zlib.resize(size);
  return true;
}

}  // namespace

bool WriteFramePng(const Frame& frame, const std::string& path) {
  const std::size_t bytesPerPixel = frame.bitsPerPixel == 16 ? 2 : 1;
  const std::size_t width = static_cast<std::size_t>(frame.width);
  const std::size_t height = static_cast<std::size_t>(frame.height);
  if (frame.width <= 0 || frame.height <= 0 ||
      frame.pixels.size() < width * height * bytesPerPixel) {
    return false;
  }
  // Each row: filter type 0, then red, green, blue.
  PictureBuffers& buffers = Buffers();
  std::vector<std::uint8_t>& raw = buffers.raw;
  raw.resize(height * (1 + width * 3));
  std::uint8_t* out = raw.data();
  const bool paletted = bytesPerPixel == 1 && frame.palette.size() == 256;
  for (std::size_t y = 0; y < height; ++y) {
    *out++ = 0;
    for (std::size_t x = 0; x < width; ++x) {
      const std::size_t at = (y * width + x) * bytesPerPixel;
      if (paletted) {
        const PALETTEENTRY& entry = frame.palette[frame.pixels[at]];
        *out++ = entry.peRed;
        *out++ = entry.peGreen;
        *out++ = entry.peBlue;
        continue;
      }
      if (bytesPerPixel == 1) {
        out[0] = out[1] = out[2] = frame.pixels[at];
        out += 3;
        continue;
      }
      const std::uint32_t rgb = arena::Widen565(frame.pixels[at] | frame.pixels[at + 1] << 8);
      *out++ = static_cast<std::uint8_t>(rgb >> 16);
      *out++ = static_cast<std::uint8_t>(rgb >> 8);
      *out++ = static_cast<std::uint8_t>(rgb);
    }
  }
  if (!Compress(raw, buffers.zlib)) {
    return false;
  }
  arena::ByteWriter png;
  png.Bytes("\x89PNG\r\n\x1A\n", 8);
  arena::ByteWriter header;
  header.U32BigEndian(static_cast<std::uint32_t>(width));
  header.U32BigEndian(static_cast<std::uint32_t>(height));
  // 8 bits a channel, truecolour, deflate, adaptive filtering, no interlace.
  header.Bytes("\x08\x02\x00\x00\x00", 5);
  PutChunk(png, "IHDR", header.bytes().data(), header.size());
  PutChunk(png, "IDAT", buffers.zlib.data(), buffers.zlib.size());
  PutChunk(png, "IEND", nullptr, 0);
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(png.bytes().data()),
             static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(file);
}

}  // namespace platform
