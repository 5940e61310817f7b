#include "engine/world/world_stream.h"

#include <algorithm>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/string_copy.h"
#include "engine/core/wad.h"
#include "platform/kernel/file.h"

namespace {

// The member's size is where a seek to its end lands.
void openMember(R3xWorldStream* stream, R3xWad* archive, R3xWadMember* member) {
  stream->kind = R3X_STREAM_WAD_MEMBER;
  stream->archive = archive;
  stream->member = member;
  r3xSeekWadMember(member, 0, 2);
  stream->size = r3xTellWadMember(member);
  r3xSeekWadMember(member, 0, 0);
  stream->position = 0;
}

// Hands out read-ahead bytes first; a request of at least a block beyond them is read
// directly. -1 for a read error.
std::int32_t readFile(R3xWorldStream* stream, std::uint8_t* buffer, std::int32_t count) {
  std::int32_t done = 0;
  while (done < count) {
    if (stream->readAheadNext == stream->readAheadEnd) {
      const auto left = static_cast<DWORD>(count - done);
      DWORD read = 0;
      if (left >= R3X_STREAM_READ_AHEAD) {
        if (!ReadFile(stream->file, buffer + done, left, &read, nullptr)) {
          return -1;
        }
        return done + static_cast<std::int32_t>(read);
      }
      if (!ReadFile(stream->file, stream->readAhead, R3X_STREAM_READ_AHEAD, &read, nullptr)) {
        return -1;
      }
      if (read == 0) {
        break;
      }
      stream->readAheadNext = 0;
      stream->readAheadEnd = read;
    }
    const std::uint32_t n = std::min(stream->readAheadEnd - stream->readAheadNext,
                                     static_cast<std::uint32_t>(count - done));
    std::memcpy(buffer + done, stream->readAhead + stream->readAheadNext, n);
    stream->readAheadNext += n;
    done += static_cast<std::int32_t>(n);
  }
  return done;
}

}  // namespace

R3xWorldStream* parOpenStream(const char* name, R3xWad* archive) {
  auto* stream = static_cast<R3xWorldStream*>(r3xMalloc(sizeof(R3xWorldStream)));
  if (stream == nullptr) {
    return nullptr;
  }
  if (archive != nullptr) {
    R3xWadMember* member = r3xOpenWadMember(archive, name);
    if (member == nullptr) {
      r3xFree(stream);
      return nullptr;
    }
    openMember(stream, archive, member);
  } else {
    const HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      r3xFree(stream);
      return nullptr;
    }
    stream->kind = R3X_STREAM_FILE;
    stream->file = file;
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
  if (count < 0) {
    return -1;
  }
  switch (stream->kind) {
    case R3X_STREAM_WAD_MEMBER: {
      const std::int64_t left = std::max<std::int64_t>(stream->size - stream->position, 0);
      const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(count, left));
      if (n > 0 && !r3xReadWadMember(stream->member, buffer, n)) {
        return -1;
      }
      stream->position += n;
      return n;
    }
    case R3X_STREAM_FILE:
      return readFile(stream, static_cast<std::uint8_t*>(buffer), count);
    default:
      return -1;
  }
}

std::int32_t parRewindStream(R3xWorldStream* stream) {
  switch (stream->kind) {
    case R3X_STREAM_WAD_MEMBER:
      // An empty member refuses every seek, but then it is at its start already.
      r3xSeekWadMember(stream->member, 0, 0);
      stream->position = 0;
      return r3xTellWadMember(stream->member) == 0;
    case R3X_STREAM_FILE:
      stream->readAheadNext = 0;
      stream->readAheadEnd = 0;
      return SetFilePointer(stream->file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
    default:
      return 0;
  }
}

std::int64_t parTellStream(R3xWorldStream* stream) {
  switch (stream->kind) {
    case R3X_STREAM_WAD_MEMBER:
      return r3xTellWadMember(stream->member);
    case R3X_STREAM_FILE: {
      const DWORD offset = SetFilePointer(stream->file, 0, nullptr, FILE_CURRENT);
      if (offset == INVALID_SET_FILE_POINTER) {
        return -1;
      }
      return std::int64_t{offset} - (stream->readAheadEnd - stream->readAheadNext);
    }
    default:
      return -1;
  }
}

void parCloseStream(R3xWorldStream* stream) {
  switch (stream->kind) {
    case R3X_STREAM_WAD_MEMBER:
      r3xCloseWadMember(stream->member);
      stream->member = nullptr;
      break;
    case R3X_STREAM_FILE:
      CloseHandle(stream->file);
      stream->file = INVALID_HANDLE_VALUE;
      break;
    default:
      break;
  }
}

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
    return 1;
  }
  parRewindStream(stream);
  return 0;
}

std::int32_t parIsAsciiWorldFile(R3xWorldStream*) { return 1; }
