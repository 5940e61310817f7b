// Shared by the world-file scanner fuzz targets: each input is scanned from one file of this
// process through a token source, to its end, with every message box forgotten afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/world/parse_context.h"
#include "engine/world/token_source.h"
#include "engine/world/world_stream.h"
#include "fuzz/fuzz_input_file.h"
#include "platform/kernel/message_box.h"

namespace world_fuzz {

// Writes prefix and data as the file and reads every token of it.
inline void ScanFile(const std::uint8_t* prefix, std::size_t prefixSize, const std::uint8_t* data,
                     std::size_t size) {
  // Scanning arbitrary bytes raises a box for nearly every input: keep them off standard error.
  platform::SetMessageBoxEcho(false);
  const char* path = fuzz_input::WriteInputFile(prefix, prefixSize, data, size);
  R3xParseContext* context = parCreateContext(nullptr, nullptr);
  R3xWorldStream* stream = parOpenStream(path, nullptr);
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
