#include "platform/backend/frame_png.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <utility>
#include <vector>

#include "base/byte_writer.h"

namespace platform {
namespace {

// The CRC of picture chunks, eight bytes a step through eight tables (table k gives the CRC of a
// byte followed by k zero bytes): a frame's data chunk is most of a megabyte.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  using Tables = std::array<std::array<std::uint32_t, 256>, 8>;
  static const Tables tables = [] {
    Tables t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) {
        c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      }
      t[0][n] = c;
    }
    for (std::uint32_t n = 0; n < 256; ++n) {
      for (std::size_t k = 1; k < 8; ++k) {
        t[k][n] = t[0][t[k - 1][n] & 0xFF] ^ (t[k - 1][n] >> 8);
      }
    }
    return t;
  }();
  crc = ~crc;
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    const std::uint32_t low = crc ^ (data[i] | data[i + 1] << 8 | data[i + 2] << 16 |
                                     static_cast<std::uint32_t>(data[i + 3]) << 24);
    crc = tables[7][low & 0xFF] ^ tables[6][(low >> 8) & 0xFF] ^ tables[5][(low >> 16) & 0xFF] ^
          tables[4][low >> 24] ^ tables[3][data[i + 4]] ^ tables[2][data[i + 5]] ^
          tables[1][data[i + 6]] ^ tables[0][data[i + 7]];
  }
  for (; i < size; ++i) {
    crc = tables[0][(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
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

// The buffers of the last picture written on this thread, kept for the next: a frame's picture is
// most of a megabyte, and fresh memory of that size faults a page in every 4 KB it is written.
struct PictureBuffers {
  std::vector<std::uint8_t> raw;
  std::vector<std::uint8_t> zlib;
  std::vector<std::uint8_t> png;
};

PictureBuffers& Buffers() {
  thread_local PictureBuffers buffers;
  return buffers;
}

// An empty vector with room for `size` bytes, from `kept`.
std::vector<std::uint8_t> Room(std::vector<std::uint8_t>& kept, std::size_t size) {
  std::vector<std::uint8_t> room = std::move(kept);
  room.clear();
  room.reserve(size);
  return room;
}

// A zlib stream of stored (uncompressed) deflate blocks, in `room`.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw,
                                     std::vector<std::uint8_t> room) {
  arena::ByteWriter out(std::move(room));
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
    std::size_t i = start;
    // Eight bytes a step: b takes a eight times and each byte once for every step it is in a.
    for (; i + 8 <= end; i += 8) {
      b += 8 * a + 8 * raw[i] + 7 * raw[i + 1] + 6 * raw[i + 2] + 5 * raw[i + 3] + 4 * raw[i + 4] +
           3 * raw[i + 5] + 2 * raw[i + 6] + raw[i + 7];
      a += raw[i] + raw[i + 1] + raw[i + 2] + raw[i + 3] + raw[i + 4] + raw[i + 5] + raw[i + 6] +
           raw[i + 7];
    }
    for (; i < end; ++i) {
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
  PictureBuffers& buffers = Buffers();
  std::vector<std::uint8_t> raw = std::move(buffers.raw);
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
      const std::uint32_t v = frame.pixels[at] | frame.pixels[at + 1] << 8;
      const std::uint32_t r = (v >> 11) & 0x1F;
      const std::uint32_t g = (v >> 5) & 0x3F;
      const std::uint32_t b = v & 0x1F;
      *out++ = static_cast<std::uint8_t>(r << 3 | r >> 2);
      *out++ = static_cast<std::uint8_t>(g << 2 | g >> 4);
      *out++ = static_cast<std::uint8_t>(b << 3 | b >> 2);
    }
  }
  // Stored blocks take five bytes of header for every 65,535 bytes; zlib adds six, the chunks 57.
  const std::size_t zlibSize = raw.size() + 5 * (raw.size() / 65535 + 1) + 6;
  std::vector<std::uint8_t> zlib = StoredZlib(raw, Room(buffers.zlib, zlibSize));
  arena::ByteWriter png(Room(buffers.png, zlibSize + 64));
  png.Bytes("\x89PNG\r\n\x1A\n", 8);
  arena::ByteWriter header;
  header.U32BigEndian(static_cast<std::uint32_t>(width));
  header.U32BigEndian(static_cast<std::uint32_t>(height));
  // 8 bits a channel, truecolour, deflate, adaptive filtering, no interlace.
  header.Bytes("\x08\x02\x00\x00\x00", 5);
  PutChunk(png, "IHDR", header.bytes());
  PutChunk(png, "IDAT", zlib);
  PutChunk(png, "IEND", {});
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(png.bytes().data()),
             static_cast<std::streamsize>(png.size()));
  const bool written = static_cast<bool>(file);
  buffers.raw = std::move(raw);
  buffers.zlib = std::move(zlib);
  buffers.png = png.Take();
  return written;
}

}  // namespace platform
