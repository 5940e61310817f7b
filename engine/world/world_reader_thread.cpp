#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/world/world_reader.h"
#include "engine/world/world_stream.h"

namespace {

// How long a side watches the ring before it sleeps: the other side usually answers within
// microseconds, while a sleeping thread on a busy machine may wait long for a processor.
constexpr auto kWatchTime = std::chrono::microseconds(100);

// Waits with the lock held until ready() holds: watches first, then sleeps marked as sleeping.
template <typename Ready>
void waitUntil(R3xWorldReader* reader, std::unique_lock<std::mutex>& guard, bool& sleeps,
               Ready ready) {
  if (ready()) {
    return;
  }
  guard.unlock();
  const auto until = std::chrono::steady_clock::now() + kWatchTime;
  while (!ready() && std::chrono::steady_clock::now() < until) {
    std::this_thread::yield();
  }
  guard.lock();
  sleeps = true;
  reader->changed.wait(guard, ready);
  sleeps = false;
}

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
  const bool ownStream = reader->stream == nullptr;
  R3xWorldStream* stream =
      ownStream ? parOpenStream(reader->fileName, reader->archive) : reader->stream;
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
      waitUntil(reader, guard, reader->threadSleeps, [reader] {
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
    bool wake = false;
    {
      const std::lock_guard<std::mutex> guard(reader->lock);
      reader->fillCount += static_cast<std::uint32_t>(got);
      if (static_cast<std::uint32_t>(got) < free) {
        reader->endFlag = true;
      }
      wake = reader->loaderSleeps;
    }
    if (wake) {
      reader->changed.notify_all();
    }
  }
  finish(reader, ownStream ? stream : nullptr);
}

std::int32_t _r3xReadWorldBytes(R3xWorldReader* reader, void* destination, std::size_t n) {
  auto* out = static_cast<std::uint8_t*>(destination);
  while (n > 0) {
    std::unique_lock<std::mutex> guard(reader->lock);
    waitUntil(reader, guard, reader->loaderSleeps,
              [reader] { return reader->fillCount > 0 || reader->endFlag; });
    const std::uint32_t filled = reader->fillCount;
    if (filled == 0) {
      return R3X_ERR_FAILED;
    }
    const auto m = static_cast<std::uint32_t>(std::min<std::size_t>(n, filled));
    const std::uint32_t first = std::min(m, R3X_WORLD_RING_SIZE - reader->readPosition);
    std::memcpy(out, reader->ring + reader->readPosition, first);
    std::memcpy(out + first, reader->ring, m - first);
    reader->readPosition = (reader->readPosition + m) % R3X_WORLD_RING_SIZE;
    reader->fillCount = filled - m;
    // The thread sleeps only while too little of the ring is free.
    const bool refill =
        reader->threadSleeps && R3X_WORLD_RING_SIZE - (filled - m) > R3X_WORLD_RING_REFILL;
    guard.unlock();
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
