#include "battle/main/screen_capture.h"

#include <cstdio>
#include <memory>
#include <new>

#include "base/byte_writer.h"
#include "host/interface/host_record.h"
#include "platform/glide.h"

namespace {

// Room for "zq%06d.bmp" with any int.
constexpr std::size_t kNameSize = 24;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kRowBytes = kScreenWidth * 3;
constexpr std::uint32_t kImageSize = kRowBytes * kScreenHeight;
constexpr std::size_t kPixelCount = static_cast<std::size_t>(kScreenWidth) * kScreenHeight;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void CaptureFileName(std::int32_t number, char (&name)[kNameSize]) {
  std::snprintf(name, sizeof name, "zq%06d.bmp", static_cast<int>(number));
}

// A file that can be opened for reading holds an earlier capture.
bool Exists(const char* name) { return File(std::fopen(name, "rb")) != nullptr; }

}  // namespace

std::int32_t FirstFreeCaptureNumber(const std::function<bool(const char* name)>& taken) {
  for (std::int32_t number = 0; number <= kLastCaptureNumber; ++number) {
    char name[kNameSize];
    CaptureFileName(number, name);
    if (!taken(name)) {
      return number;
    }
  }
  return -1;
}

std::vector<std::uint8_t> EncodeScreenCapture(std::span<const std::uint16_t> pixels) {
  arena::ByteWriter out;
  out.U8('B');
  out.U8('M');
  out.U32(kFileHeaderSize + kInfoHeaderSize + kImageSize);
  out.U32(0);
  out.U32(kFileHeaderSize + kInfoHeaderSize);
  out.U32(kInfoHeaderSize);
  out.I32(kScreenWidth);
  out.I32(kScreenHeight);
  out.U16(1);
  out.U16(24);
  out.U32(0);
  out.U32(kImageSize);
  // Resolutions and colour counts.
  out.Zeros(16);
  for (std::int32_t y = 0; y < kScreenHeight; ++y) {
    const std::size_t row = static_cast<std::size_t>(kScreenHeight - 1 - y) * kScreenWidth;
    for (std::int32_t x = 0; x < kScreenWidth; ++x) {
      const std::uint32_t value = row + x < pixels.size() ? pixels[row + x] : 0;
      out.U8(static_cast<std::uint8_t>(value << 3));
      out.U8(static_cast<std::uint8_t>((value >> 3) & 0xFC));
      out.U8(static_cast<std::uint8_t>((value >> 8) & 0xF8));
    }
  }
  return out.Take();
}

std::int32_t WriteScreenCapture() {
  const std::int32_t number = FirstFreeCaptureNumber(Exists);
  if (number < 0) {
    return -1;
  }
  char name[kNameSize];
  CaptureFileName(number, name);
  const File file(std::fopen(name, "wb"));
  if (file == nullptr) {
    return -1;
  }
  const std::unique_ptr<std::uint16_t[]> pixels(new (std::nothrow) std::uint16_t[kPixelCount]);
  if (pixels == nullptr ||
      grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 0, 0, kScreenWidth, kScreenHeight,
                      kScreenWidth * sizeof(std::uint16_t), pixels.get()) == FXFALSE) {
    return number;
  }
  const std::vector<std::uint8_t> bytes = EncodeScreenCapture({pixels.get(), kPixelCount});
  std::fwrite(bytes.data(), 1, bytes.size(), file.get());
  return number;
}
