#include "engine/core/byte_source.h"

#include <algorithm>
#include <cstring>

#include "engine/core/error.h"
#include "engine/core/wad.h"
#include "platform/kernel/file.h"

namespace {

bool knownKind(const R3xByteSource* source) {
  return source->kind == R3X_SOURCE_WAD_MEMBER || source->kind == R3X_SOURCE_FILE;
}

std::int32_t openFile(R3xByteSource* source, const char* name) {
  const HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return R3X_ERR_FAILED;
  }
  DWORD sizeHigh = 0;
  const DWORD sizeLow = GetFileSize(file, &sizeHigh);
  source->kind = R3X_SOURCE_FILE;
  source->file = file;
  source->size = static_cast<std::int64_t>(std::uint64_t{sizeHigh} << 32 | sizeLow);
  return 0;
}

// Hands out read-ahead bytes first; a request of at least a block beyond them is read
// directly. -1 for a read error.
std::int32_t readFile(R3xByteSource* source, std::uint8_t* buffer, std::int32_t count) {
  std::int32_t done = 0;
  while (done < count) {
    if (source->readAheadNext == source->readAheadEnd) {
      const auto left = static_cast<DWORD>(count - done);
      DWORD read = 0;
      if (left >= R3X_SOURCE_READ_AHEAD) {
        if (!ReadFile(source->file, buffer + done, left, &read, nullptr)) {
          return -1;
        }
        done += static_cast<std::int32_t>(read);
        break;
      }
      if (!ReadFile(source->file, source->readAhead, R3X_SOURCE_READ_AHEAD, &read, nullptr)) {
        return -1;
      }
      if (read == 0) {
        break;
      }
      source->readAheadNext = 0;
      source->readAheadEnd = read;
    }
    const std::uint32_t n = std::min(source->readAheadEnd - source->readAheadNext,
                                     static_cast<std::uint32_t>(count - done));
    std::memcpy(buffer + done, source->readAhead + source->readAheadNext, n);
    source->readAheadNext += n;
    done += static_cast<std::int32_t>(n);
  }
  source->position += done;
  return done;
}

std::int32_t readMember(R3xByteSource* source, void* buffer, std::int32_t count) {
  const std::int64_t left = std::max<std::int64_t>(source->size - source->position, 0);
  const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(count, left));
  if (n > 0 && r3xReadWadMember(source->member, buffer, n) != R3X_WAD_DONE) {
    return -1;
  }
  source->position += n;
  return n;
}

// The member's own seek refuses its end offset (and every offset of an empty member); its end
// is reached from the end instead.
bool seekMember(R3xByteSource* source, std::int64_t offset) {
  if (offset < source->size) {
    return r3xSeekWadMember(source->member, offset, R3X_WAD_SEEK_SET) == R3X_WAD_DONE;
  }
  return source->size == 0 || r3xSeekWadMember(source->member, 0, R3X_WAD_SEEK_END) == R3X_WAD_DONE;
}

bool seekFile(R3xByteSource* source, std::int64_t offset) {
  LONG high = static_cast<LONG>(static_cast<std::uint64_t>(offset) >> 32);
  if (SetFilePointer(source->file, static_cast<LONG>(offset), &high, FILE_BEGIN) ==
      INVALID_SET_FILE_POINTER) {
    return false;
  }
  source->readAheadNext = 0;
  source->readAheadEnd = 0;
  return true;
}

}  // namespace

std::int32_t _r3xOpenByteSource(R3xByteSource* source, const char* name, R3xWad* archive) {
  source->kind = R3X_SOURCE_FILE;
  source->archive = archive;
  source->member = nullptr;
  source->file = INVALID_HANDLE_VALUE;
  source->size = 0;
  source->position = 0;
  source->readAheadNext = 0;
  source->readAheadEnd = 0;
  if (name == nullptr) {
    return R3X_ERR_FAILED;
  }
  if (archive == nullptr) {
    return openFile(source, name);
  }
  source->member = r3xOpenWadMember(archive, name);
  if (source->member == nullptr) {
    return R3X_ERR_FAILED;
  }
  source->kind = R3X_SOURCE_WAD_MEMBER;
  source->size = r3xWadMemberSize(source->member);
  return 0;
}

std::int32_t _r3xReadByteSource(R3xByteSource* source, void* buffer, std::int32_t count) {
  if (count < 0) {
    return -1;
  }
  switch (source->kind) {
    case R3X_SOURCE_WAD_MEMBER:
      return readMember(source, buffer, count);
    case R3X_SOURCE_FILE:
      return readFile(source, static_cast<std::uint8_t*>(buffer), count);
    default:
      return -1;
  }
}

bool _r3xReadByteSourceExact(R3xByteSource* source, void* buffer, std::int64_t count) {
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  while (count > 0) {
    const auto chunk = static_cast<std::int32_t>(std::min<std::int64_t>(count, INT32_MAX));
    const std::int32_t read = _r3xReadByteSource(source, bytes, chunk);
    if (read <= 0) {
      return false;
    }
    bytes += read;
    count -= read;
  }
  return count == 0;
}

std::int32_t _r3xSeekByteSource(R3xByteSource* source, std::int64_t offset) {
  if (!knownKind(source) || offset < 0 || offset > source->size) {
    return R3X_ERR_FAILED;
  }
  const bool moved =
      source->kind == R3X_SOURCE_WAD_MEMBER ? seekMember(source, offset) : seekFile(source, offset);
  if (!moved) {
    return R3X_ERR_FAILED;
  }
  source->position = offset;
  return 0;
}

std::int64_t _r3xTellByteSource(const R3xByteSource* source) {
  return knownKind(source) ? source->position : -1;
}

std::int64_t _r3xByteSourceSize(const R3xByteSource* source) {
  return knownKind(source) ? source->size : -1;
}

std::int64_t _r3xByteSourceRemaining(const R3xByteSource* source) {
  return std::max<std::int64_t>(source->size - source->position, 0);
}

void _r3xCloseByteSource(R3xByteSource* source) {
  if (source->member != nullptr) {
    r3xCloseWadMember(source->member);
    source->member = nullptr;
  }
  if (source->file != INVALID_HANDLE_VALUE) {
    CloseHandle(source->file);
    source->file = INVALID_HANDLE_VALUE;
  }
}
