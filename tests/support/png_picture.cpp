#include "tests/support/png_picture.h"

#include <zlib.h>

#include <fstream>
#include <iterator>
#include <string_view>

#include "base/byte_reader.h"

namespace test_support {

std::optional<PngPicture> ReadPngPicture(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
  arena::ByteReader reader(png);
  reader.Seek(8);
  PngPicture picture;
  std::vector<std::uint8_t> zlib;
  while (reader.remaining() >= 12) {
    const std::uint32_t length = reader.U32BigEndian();
    const auto type = reader.Span(4);
    const auto data = reader.Span(length);
    reader.Skip(4);  // the chunk's check sum
    if (!reader.ok()) {
      return std::nullopt;
    }
    const std::string_view name(reinterpret_cast<const char*>(type.data()), type.size());
    if (name == "IHDR" && data.size() >= 8) {
      arena::ByteReader header(data);
      picture.width = static_cast<int>(header.U32BigEndian());
      picture.height = static_cast<int>(header.U32BigEndian());
    } else if (name == "IDAT") {
      zlib.insert(zlib.end(), data.begin(), data.end());
    }
  }
  if (picture.width <= 0 || picture.height <= 0 || picture.width > 4096 || picture.height > 4096) {
    return std::nullopt;
  }
  const auto rowBytes = 1 + static_cast<std::size_t>(picture.width) * 3;
  std::vector<std::uint8_t> raw(rowBytes * static_cast<std::size_t>(picture.height));
  uLongf rawSize = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &rawSize, zlib.data(), static_cast<uLong>(zlib.size())) != Z_OK ||
      rawSize != raw.size()) {
    return std::nullopt;
  }
  for (std::size_t y = 0; y < static_cast<std::size_t>(picture.height); ++y) {
    if (raw[y * rowBytes] != 0) {
      return std::nullopt;
    }
    picture.rgb.insert(picture.rgb.end(),
                       raw.begin() + static_cast<std::ptrdiff_t>(y * rowBytes + 1),
                       raw.begin() + static_cast<std::ptrdiff_t>((y + 1) * rowBytes));
  }
  return picture;
}

}  // namespace test_support
