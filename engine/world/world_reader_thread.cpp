#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>

#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/world/world_reader.h"
#include "engine/world/world_stream.h"

namespace {

void finish(R3xWorldReader* reader, R3xWorldStream* stream) {
  if (stream != nullptr) {
    parCloseStream(stream);
    parFreeStream(stream);
  }
  {
    const std::lock_guard<std::mutex> guard(reader->lock);
    reader->endFlag = true;
    reader->doneFlag.store(true);
  }
  reader->changed.notify_all();
}

// Reads up to n bytes into the ring at position at: the bytes read, or -1 on a read error.
std::int32_t readPiece(R3xWorldStream* stream, std::uint8_t* at, std::uint32_t n) {
  return parReadStream(stream, at, static_cast<std::int32_t>(n));
}

}  // namespace

R3xWorldReader* _r3xCreateWorldReader(const char* fileName, R3xWorld* world, R3xWad* archive,
                                      R3xLoadProgress progress, void* user) {
  void* memory = r3xMalloc(sizeof(R3xWorldReader));
  if (memory == nullptr) {
    return nullptr;
  }
  auto* reader = new (memory) R3xWorldReader();
  reader->fileName = fileName;
  reader->world = world;
  reader->archive = archive;
  reader->progress = progress;
  reader->user = user;
  return reader;
}

std::int32_t _r3xStartWorldReader(R3xWorldReader* reader) {
  try {
    reader->thread = std::thread(_r3xWorldReaderThread, reader);
  } catch (const std::system_error&) {
    return R3X_ERR_FAILED;
  }
  return 0;
}

void _r3xWorldReaderThread(R3xWorldReader* reader) {
  R3xWorldStream* stream = parOpenStream(reader->fileName, reader->archive);
  if (stream == nullptr) {
    finish(reader, nullptr);
    return;
  }
  reader->opened.store(true);
  for (;;) {
    std::uint32_t free = 0;
    std::uint32_t write = 0;
    {
      std::unique_lock<std::mutex> guard(reader->lock);
      reader->changed.wait(guard, [reader] {
        return reader->endFlag || R3X_WORLD_RING_SIZE - reader->fillCount > R3X_WORLD_RING_REFILL;
      });
      if (reader->endFlag) {
        break;
      }
      free = R3X_WORLD_RING_SIZE - reader->fillCount;
      write = (reader->readPosition + reader->fillCount) % R3X_WORLD_RING_SIZE;
    }
    // The free part lies outside what the loader reads, so it is filled without the lock.
    const std::uint32_t first = std::min(free, R3X_WORLD_RING_SIZE - write);
    std::int32_t got = readPiece(stream, reader->ring + write, first);
    if (got == static_cast<std::int32_t>(first) && first < free) {
      const std::int32_t more = readPiece(stream, reader->ring, free - first);
      got = more < 0 ? -1 : got + more;
    }
    if (got < 0) {
      break;
    }
    {
      const std::lock_guard<std::mutex> guard(reader->lock);
      reader->fillCount += static_cast<std::uint32_t>(got);
      if (static_cast<std::uint32_t>(got) < free) {
        reader->endFlag = true;
      }
    }
    reader->changed.notify_all();
  }
  finish(reader, stream);
}

std::int32_t _r3xReadWorldBytes(R3xWorldReader* reader, void* destination, std::size_t n) {
  auto* out = static_cast<std::uint8_t*>(destination);
  while (n > 0) {
    std::unique_lock<std::mutex> guard(reader->lock);
    reader->changed.wait(guard, [reader] { return reader->fillCount > 0 || reader->endFlag; });
    if (reader->fillCount == 0) {
      return R3X_ERR_FAILED;
    }
    const auto m = static_cast<std::uint32_t>(std::min<std::size_t>(n, reader->fillCount));
    const std::uint32_t first = std::min(m, R3X_WORLD_RING_SIZE - reader->readPosition);
    std::memcpy(out, reader->ring + reader->readPosition, first);
    std::memcpy(out + first, reader->ring, m - first);
    reader->readPosition = (reader->readPosition + m) % R3X_WORLD_RING_SIZE;
    const bool wasFull = R3X_WORLD_RING_SIZE - reader->fillCount <= R3X_WORLD_RING_REFILL;
    reader->fillCount -= m;
    const bool refill = wasFull && R3X_WORLD_RING_SIZE - reader->fillCount > R3X_WORLD_RING_REFILL;
    guard.unlock();
    // The thread waits only while too little of the ring is free.
    if (refill) {
      reader->changed.notify_all();
    }
    out += m;
    n -= m;
  }
  return 0;
}

void _r3xDestroyWorldReader(R3xWorldReader* reader) {
  if (reader->thread.joinable()) {
    {
      const std::lock_guard<std::mutex> guard(reader->lock);
      reader->endFlag = true;
    }
    reader->changed.notify_all();
    {
      std::unique_lock<std::mutex> guard(reader->lock);
      reader->changed.wait(guard, [reader] { return reader->doneFlag.load(); });
    }
    reader->thread.join();
  }
  reader->~R3xWorldReader();
  r3xFree(reader);
}
