// The state of one precompiled world read, shared by the loader and the thread that fills its
// byte ring from the file.
// Results: 0 or R3X_ERR_FAILED; a reader or null.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "engine/world/world_loading.h"

struct R3xWorld;
struct R3xWad;
struct R3xRegion;
struct R3xVisData;

inline constexpr std::uint32_t R3X_WORLD_RING_SIZE = 32768;
// The thread refills the ring only when more than this much of it is free, so reads are large.
inline constexpr std::uint32_t R3X_WORLD_RING_REFILL = 8192;

// What a record made, as the object table keeps it.
struct R3xReaderObject {
  void* object;
  // The engine type code of the object (R3X_TYPE_...), or one of the R3X_READER_ kinds below
  // for what no reference may name.
  std::int32_t type;
};

inline constexpr std::int32_t R3X_READER_PLAIN = -1;

struct R3xWorldStream;

struct R3xWorldReader {
  const char* fileName;
  R3xWorld* world;
  R3xWad* archive;
  // The file, opened at its start by the caller, who also closes it; null: the reader's thread
  // opens the file by its name and closes it.
  R3xWorldStream* stream;

  // Guards readPosition, fillCount and endFlag. A side that must wait watches fillCount and
  // endFlag a little while without the lock, then sleeps on `changed`, marking itself as
  // waiting; the other side signals `changed` only for a side that sleeps, and always when the
  // thread ends.
  std::mutex lock;
  std::condition_variable changed;
  std::uint32_t readPosition;
  std::atomic<std::uint32_t> fillCount;
  // Set by the thread at the end of the data or on a read error, and by the loader to stop it.
  std::atomic<bool> endFlag;
  bool threadSleeps;
  bool loaderSleeps;
  // Set by the thread as its last act.
  std::atomic<bool> doneFlag;
  // Set by the thread once the file is open.
  std::atomic<bool> opened;
  std::thread thread;

  std::uint32_t version;
  // Owned, unscrambled, nameBlockSize bytes.
  char* nameBlock;
  std::uint32_t nameBlockSize;
  // Written only by the thread outside the filled part, read only by the loader inside it.
  std::uint8_t ring[R3X_WORLD_RING_SIZE];

  // The type of the record being read.
  std::uint32_t recordType;
  // Owned.
  std::uint8_t* payload;
  std::uint32_t payloadCapacity;
  std::uint32_t payloadSize;

  std::uint32_t recordCount;
  // Owned: entry k is what record k made; entry 0 is null. Only records read so far have
  // entries (objectCount of them, entry 0 included).
  R3xReaderObject* objects;
  std::uint32_t objectCount;
  std::uint32_t objectCapacity;

  std::uint32_t regionCount;
  std::uint32_t regionsMade;
  // region count records; owned until its first region is registered.
  R3xRegion* regionBlock;

  // The next visibility list in the ".VIS" member, and the bytes left after it.
  const std::uint8_t* visCursor;
  std::size_t visLeft;
  R3xVisData* visData;

  R3xLoadProgress progress;
  void* user;
};

// A reader for one read of the file (from the archive when one is given), or null.
R3xWorldReader* _r3xCreateWorldReader(const char* fileName, R3xWorld* world, R3xWad* archive,
                                      R3xLoadProgress progress, void* user);
// Starts the thread that fills the ring: 0, or R3X_ERR_FAILED when it cannot be started.
std::int32_t _r3xStartWorldReader(R3xWorldReader* reader);
// The thread body: fills the ring until the file ends, a read fails or the end flag is set.
void _r3xWorldReaderThread(R3xWorldReader* reader);
// Copies n bytes out of the ring, waiting for them: 0, or R3X_ERR_FAILED when the data ended
// before n bytes came.
std::int32_t _r3xReadWorldBytes(R3xWorldReader* reader, void* destination, std::size_t n);
// Sets the end flag, waits for the thread's done flag and frees the reader (not what the read
// made).
void _r3xDestroyWorldReader(R3xWorldReader* reader);
