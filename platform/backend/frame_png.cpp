#include "platform/backend/frame_png.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <vector>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace platform {
namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) {
        c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      }
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) {
    crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  }
  return ~crc;
}

// Picture files keep their numbers high byte first, the deflate block lengths low byte first.
void PutChunk(arena::ByteWriter& out, const char* type, const std::vector<std::uint8_t>& data) {
  out.U32BigEndian(static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.Bytes(type, 4);
  out.Bytes(data);
  out.U32BigEndian(Crc32(out.bytes().data() + typeAt, data.size() + 4));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw) {
  arena::ByteWriter out;
  out.U8(0x78);
  out.U8(0x01);
  std::size_t at = 0;
  do {
    const std::size_t length = std::min<std::size_t>(raw.size() - at, 65535);
    const bool last = at + length == raw.size();
    out.U8(last ? 1 : 0);
    out.U16(static_cast<std::uint16_t>(length));
    out.U16(static_cast<std::uint16_t>(~length));
    out.Bytes(raw.data() + at, length);
    at += length;
  } while (at < raw.size());
  // The sums are reduced only every 5552 bytes, the most that cannot overflow 32 bits.
  constexpr std::uint32_t kModulus = 65521;
  constexpr std::size_t kRun = 5552;
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::size_t start = 0; start < raw.size(); start += kRun) {
    const std::size_t end = std::min(raw.size(), start + kRun);
    for (std::size_t i = start; i < end; ++i) {
      a += raw[i];
      b += a;
    }
    a %= kModulus;
    b %= kModulus;
  }
  out.U32BigEndian(b << 16 | a);
  return out.Take();
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
  std::vector<std::uint8_t> raw(height * (1 + width * 3));
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
      const std::uint32_t v = arena::ByteReader(frame.pixels.data() + at, 2).U16();
      const std::uint32_t r = (v >> 11) & 0x1F;
      const std::uint32_t g = (v >> 5) & 0x3F;
      const std::uint32_t b = v & 0x1F;
      *out++ = static_cast<std::uint8_t>(r << 3 | r >> 2);
      *out++ = static_cast<std::uint8_t>(g << 2 | g >> 4);
      *out++ = static_cast<std::uint8_t>(b << 3 | b >> 2);
    }
  }
  arena::ByteWriter png;
  png.Bytes("\x89PNG\r\n\x1A\n", 8);
  arena::ByteWriter header;
  header.U32BigEndian(static_cast<std::uint32_t>(width));
  header.U32BigEndian(static_cast<std::uint32_t>(height));
  // 8 bits a channel, truecolour, deflate, adaptive filtering, no interlace.
  header.Bytes("\x08\x02\x00\x00\x00", 5);
  PutChunk(png, "IHDR", header.bytes());
  PutChunk(png, "IDAT", StoredZlib(raw));
  PutChunk(png, "IEND", {});
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(png.bytes().data()),
             static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(file);
}

}  // namespace platform
