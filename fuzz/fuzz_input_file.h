// For fuzz targets whose reader opens its input by name: each input is written to one file of
// this process, which goes when the process ends.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz_input {

inline const char* InputPath() {
  static const std::string path = [] {
    char pattern[] = "/tmp/fuzz_input-XXXXXX";
    const int descriptor = ::mkstemp(pattern);
    if (descriptor < 0) {
      std::abort();
    }
    ::close(descriptor);
    std::atexit([] { ::unlink(InputPath()); });
    return std::string(pattern);
  }();
  return path.c_str();
}

// Writes prefix (none when prefixSize is 0) and data as the input file and returns its name.
inline const char* WriteInputFile(const std::uint8_t* prefix, std::size_t prefixSize,
                                  const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(InputPath(), "wb");
  if (file == nullptr ||
      (prefixSize != 0 && std::fwrite(prefix, 1, prefixSize, file) != prefixSize) ||
      std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
    std::abort();
  }
  return InputPath();
}

}  // namespace fuzz_input
