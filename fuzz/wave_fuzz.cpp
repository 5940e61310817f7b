// WAV images as the sound manager's loader parses them: every choice of requested parts, and
// the format record read from the found "fmt " chunk. Found parts must lie inside the input.
//
// Input: one byte choosing the requested parts (bit 0 format, bit 1 data, bit 2 size), then the
// image.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "battle/effects/wave_resource.h"

namespace {

bool Inside(std::span<const std::uint8_t> image, const std::uint8_t* at, std::size_t size) {
  return at >= image.data() && size <= image.size() &&
         static_cast<std::size_t>(at - image.data()) <= image.size() - size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  const std::uint8_t parts = bytes[0];
  const std::span<const std::uint8_t> image(bytes + 1, size - 1);
  std::span<const std::uint8_t> format;
  const std::uint8_t* data = nullptr;
  DWORD dataSize = 0;
  const int found =
      ParseWave(image, (parts & 1) != 0 ? &format : nullptr, (parts & 2) != 0 ? &data : nullptr,
                (parts & 4) != 0 ? &dataSize : nullptr);
  if (found == 1) {
    if ((parts & 1) != 0 && (format.size() < 14 || !Inside(image, format.data(), format.size()))) {
      std::abort();
    }
    if ((parts & 2) != 0 && data == nullptr) {
      std::abort();
    }
    if ((parts & 6) == 6 && !Inside(image, data, dataSize)) {
      std::abort();
    }
    if ((parts & 1) != 0 && !ReadWaveFormat(format).has_value()) {
      std::abort();
    }
  }
  return 0;
}
