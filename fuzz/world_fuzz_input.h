// Shared by the world-file scanner fuzz targets: each input is scanned from one file of this
// process through a token source, to its end, with every message box forgotten afterwards.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/world/parse_context.h"
#include "engine/world/token_source.h"
#include "engine/world/world_stream.h"
#include "platform/kernel/message_box.h"

namespace world_fuzz {

inline const char* InputPath() {
  static const std::string path = [] {
    char pattern[] = "/tmp/world_fuzz-XXXXXX";
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

// Writes prefix and data as the file and reads every token of it.
inline void ScanFile(const std::uint8_t* prefix, std::size_t prefixSize, const std::uint8_t* data,
                     std::size_t size) {
  std::FILE* file = std::fopen(InputPath(), "wb");
  if (file == nullptr ||
      (prefixSize != 0 && std::fwrite(prefix, 1, prefixSize, file) != prefixSize) ||
      std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
    std::abort();
  }
  R3xParseContext* context = parCreateContext(nullptr, nullptr);
  R3xWorldStream* stream = parOpenStream(InputPath(), nullptr);
  if (context == nullptr || stream == nullptr) {
    std::abort();
  }
  R3xTokenSource* source = parCreateTokenSource(context, stream, "");
  if (source != nullptr) {
    context->tokenSource = source;
    while (parNextToken(source) > 0) {
      // Every value is freed by the next token or with the context.
    }
    parDestroyTokenSource(source);
  }
  parCloseStream(stream);
  parFreeStream(stream);
  parDestroyContext(context);
  platform::ClearShownMessageBoxes();
}

}  // namespace world_fuzz
