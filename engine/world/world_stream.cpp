#include "engine/world/world_stream.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/string_copy.h"
#include "engine/world/precompiled_world_format.h"

R3xWorldStream* parOpenStream(const char* name, R3xWad* archive) {
  auto* stream = static_cast<R3xWorldStream*>(r3xMalloc(sizeof(R3xWorldStream)));
  if (stream == nullptr) {
    return nullptr;
  }
  if (_r3xOpenByteSource(&stream->source, name, archive) != 0) {
    r3xFree(stream);
    return nullptr;
  }
  stream->name = _r3xCopyString(name);
  if (stream->name == nullptr) {
    parCloseStream(stream);
    r3xFree(stream);
    return nullptr;
  }
  return stream;
}

std::int32_t parReadStream(R3xWorldStream* stream, void* buffer, std::int32_t count) {
  return _r3xReadByteSource(&stream->source, buffer, count);
}

std::int32_t parRewindStream(R3xWorldStream* stream) {
  return _r3xSeekByteSource(&stream->source, 0) == 0;
}

std::int64_t parTellStream(R3xWorldStream* stream) { return _r3xTellByteSource(&stream->source); }

void parCloseStream(R3xWorldStream* stream) { _r3xCloseByteSource(&stream->source); }

void parFreeStream(R3xWorldStream* stream) {
  if (stream == nullptr) {
    return;
  }
  r3xFree(stream->name);
  r3xFree(stream);
}

const char* parStreamName(const R3xWorldStream* stream) { return stream->name; }

std::int32_t parIsBinaryWorldFile(R3xWorldStream* stream) {
  std::uint8_t start[sizeof R3X_WLD_MAGIC];
  constexpr auto kSize = static_cast<std::int32_t>(sizeof start);
  if (parReadStream(stream, start, kSize) == kSize &&
      std::memcmp(start, R3X_WLD_MAGIC, sizeof start) == 0) {
    return PAR_FORM_MATCHES;
  }
  parRewindStream(stream);
  return PAR_FORM_OTHER;
}

std::int32_t parIsAsciiWorldFile(R3xWorldStream*) { return PAR_FORM_MATCHES; }

std::int32_t parSniffWorldForm(R3xWorldStream* stream) {
  static_assert(R3X_PRECOMPILED_HEADER_SIZE >= sizeof R3X_WLD_MAGIC);
  std::uint8_t start[R3X_PRECOMPILED_HEADER_SIZE];
  const std::int32_t got = parReadStream(stream, start, static_cast<std::int32_t>(sizeof start));
  parRewindStream(stream);
  // A file shorter than a precompiled world's header is refused by that reader, whatever it
  // holds: the precompiled reader is asked first.
  if (got < static_cast<std::int32_t>(sizeof start) ||
      std::memcmp(start, R3X_PRECOMPILED_SIGNATURE, sizeof R3X_PRECOMPILED_SIGNATURE) == 0) {
    return PAR_WORLD_PRECOMPILED;
  }
  if (std::memcmp(start, R3X_WLD_MAGIC, sizeof R3X_WLD_MAGIC) == 0) {
    parReadStream(stream, start, static_cast<std::int32_t>(sizeof R3X_WLD_MAGIC));
    return PAR_WORLD_BINARY;
  }
  return PAR_WORLD_TEXT;
}
