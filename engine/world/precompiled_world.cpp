#include "engine/world/precompiled_world.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/byte_reader.h"
#include "engine/core/error.h"
#include "engine/core/load_error.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/region.h"
#include "engine/core/vis_data.h"
#include "engine/core/vis_data_internal.h"
#include "engine/core/volume.h"
#include "engine/core/world.h"
#include "engine/world/parse_context.h"
#include "engine/world/precompiled_records.h"
#include "engine/world/vis_data_member.h"
#include "engine/world/world_reader.h"
#include "engine/world/world_string_key.h"

namespace {

// Visible lists name regions by 16-bit index.
constexpr std::uint32_t kMaxRegions = 65536;
// Buffers for sizes that the file states grow by at least this much, and only as the bytes
// arrive: a size field larger than the file cannot make the reader allocate it.
constexpr std::uint32_t kGrowStep = 65536;
constexpr std::uint32_t kInitialObjects = 1024;

using RecordReader = void* (*)(R3xWorldReader*);

struct RecordKind {
  RecordReader read;
  // What references to the record's object expect it to be.
  std::int32_t objectType;
};

constexpr std::uint32_t kRecordTypes = 45;

constexpr RecordKind recordKind(std::uint32_t type) {
  switch (type) {
    case 1:
      return {_r3xReadPaletteFileRecord, R3X_READER_PLAIN};
    case 2:
      return {_r3xReadWorldStringRecord, R3X_READER_PLAIN};
    case 3:
      return {_r3xReadBitmapRecord, R3X_TYPE_BITMAP};
    case 4:
      return {_r3xReadSimpleSpriteDefRecord, R3X_TYPE_SIMPLE_SPRITE_DEF};
    case 5:
      return {_r3xReadSimpleSpriteRecord, R3X_TYPE_SIMPLE_SPRITE};
    case 6:
      return {_r3xRead2DSpriteDefRecord, R3X_TYPE_2D_SPRITE_DEF};
    case 7:
      return {_r3xRead2DSpriteRecord, R3X_TYPE_2D_SPRITE};
    case 8:
      return {_r3xRead3DSpriteDefRecord, R3X_TYPE_3D_SPRITE_DEF};
    case 9:
      return {_r3xRead3DSpriteRecord, R3X_TYPE_3D_SPRITE};
    case 20:
      return {_r3xReadActorDefRecord, R3X_TYPE_ACTOR_DEF};
    case 21:
      return {_r3xReadActorRecord, R3X_TYPE_ACTOR};
    case 22:
      return {_r3xReadSphereVolumeRecord, R3X_TYPE_SPHERE_VOLUME};
    case 23:
      return {_r3xReadPolyhedronDefRecord, R3X_TYPE_POLYHEDRON_DEF};
    case 24:
      return {_r3xReadPolyhedronRecord, R3X_TYPE_POLYHEDRON};
    case 25:
      return {_r3xReadSphereListDefRecord, R3X_TYPE_SPHERE_LIST_DEF};
    case 26:
      return {_r3xReadSphereListRecord, R3X_TYPE_SPHERE_LIST};
    case 27:
      return {_r3xReadLightDefRecord, R3X_TYPE_LIGHT_DEF};
    case 28:
      return {_r3xReadLightRecord, R3X_TYPE_LIGHT};
    case 29:
      return {_r3xReadPointLightRecord, R3X_TYPE_POINT_LIGHT};
    case 33:
      return {_r3xReadWorldNodesRecord, R3X_READER_PLAIN};
    case 34:
    case 35:
      return {_r3xReadMeshRegionRecord, R3X_TYPE_REGION};
    case 36:
      return {_r3xReadIndexedRegionRecord, R3X_TYPE_REGION};
    case 37:
      return {_r3xReadDirectionalLightRecord, R3X_TYPE_DIRECTIONAL_LIGHT};
    case 40:
      return {_r3xReadRegionPointLightRecord, R3X_TYPE_POINT_LIGHT};
    case 42:
      return {_r3xReadAmbientLightRecord, R3X_TYPE_LIGHT};
    case 43:
      return {_r3xReadStaticDirectionalLightRecord, R3X_TYPE_DIRECTIONAL_LIGHT};
    case 44:
      return {_r3xReadVertexArrayRecord, R3X_READER_PLAIN};
    default:
      return {nullptr, R3X_READER_PLAIN};
  }
}

// Reads size bytes into *buffer, growing it (and *capacity) as the bytes come.
std::int32_t readGrowing(R3xWorldReader* reader, std::uint8_t** buffer, std::uint32_t* capacity,
                         std::uint32_t size) {
  std::uint32_t have = 0;
  while (have < size) {
    if (have == *capacity) {
      const auto grown = static_cast<std::uint32_t>(std::min<std::uint64_t>(
          size, std::max<std::uint64_t>(2 * std::uint64_t{*capacity}, kGrowStep)));
      auto* larger = static_cast<std::uint8_t*>(r3xRealloc(*buffer, grown));
      if (larger == nullptr) {
        return R3X_ERR_FAILED;
      }
      *buffer = larger;
      *capacity = grown;
    }
    const std::uint32_t n = std::min(size, *capacity) - have;
    if (_r3xReadWorldBytes(reader, *buffer + have, n) != 0) {
      return R3X_ERR_FAILED;
    }
    have += n;
  }
  return 0;
}

bool addObject(R3xWorldReader* reader, void* object, std::int32_t type) {
  if (reader->objectCount == reader->objectCapacity) {
    const std::uint32_t grown = std::max(2 * reader->objectCapacity, kInitialObjects);
    auto* larger = static_cast<R3xReaderObject*>(
        r3xRealloc(reader->objects, std::size_t{grown} * sizeof(R3xReaderObject)));
    if (larger == nullptr) {
      return false;
    }
    reader->objects = larger;
    reader->objectCapacity = grown;
  }
  reader->objects[reader->objectCount++] = {object, type};
  return true;
}

// Keeps why the read failed as the world's load error (without a message box).
std::int32_t fail(R3xWorldReader* reader, std::int32_t result, const char* text) {
  parRecordLoadError(reader->world, reader->fileName, 0, text);
  return result;
}

std::int32_t failRecord(R3xWorldReader* reader, std::uint32_t k) {
  char text[96];
  std::snprintf(text, sizeof text, "precompiled world: record %u of type %u cannot be read", k,
                reader->recordType);
  return fail(reader, R3X_ERR_FAILED, text);
}

std::int32_t readRecords(R3xWorldReader* reader) {
  for (std::uint32_t k = 1; k <= reader->recordCount; ++k) {
    std::uint8_t head[R3X_PRECOMPILED_RECORD_HEAD_SIZE];
    reader->recordType = 0;
    if (_r3xReadWorldBytes(reader, head, sizeof head) != 0) {
      return failRecord(reader, k);
    }
    arena::ByteReader in(head, sizeof head);
    const std::uint32_t size = in.U32();
    reader->recordType = in.U32();
    if (readGrowing(reader, &reader->payload, &reader->payloadCapacity, size) != 0) {
      return failRecord(reader, k);
    }
    reader->payloadSize = size;
    const RecordKind kind =
        reader->recordType < kRecordTypes ? recordKind(reader->recordType) : RecordKind{nullptr, 0};
    void* object = kind.read == nullptr ? nullptr : kind.read(reader);
    if (object == nullptr || !addObject(reader, object, kind.objectType)) {
      return failRecord(reader, k);
    }
    if (reader->progress != nullptr) {
      reader->progress(reader->user, 1, k, reader->recordCount);
    }
  }
  return 0;
}

std::int32_t prepareRegionBlock(R3xWorldReader* reader) {
  R3xWorld* world = reader->world;
  if (reader->regionCount == 0) {
    return 0;
  }
  // The world's regions are one block, and visible lists name at most 65536 of them.
  if (world->regions.count != 0 || world->regionWords != nullptr ||
      reader->regionCount > kMaxRegions) {
    return R3X_ERR_FAILED;
  }
  reader->regionBlock =
      static_cast<R3xRegion*>(r3xMalloc(std::size_t{reader->regionCount} * sizeof(R3xRegion)));
  world->regionWords = static_cast<std::uint32_t*>(
      r3xMalloc(std::size_t{reader->regionCount} * sizeof(std::uint32_t)));
  return reader->regionBlock == nullptr || world->regionWords == nullptr ? R3X_ERR_FAILED : 0;
}

std::int32_t readWorld(R3xWorldReader* reader) {
  std::uint8_t header[R3X_PRECOMPILED_HEADER_SIZE];
  if (_r3xReadWorldBytes(reader, header, sizeof header) != 0) {
    if (!reader->opened.load()) {
      char text[R3X_LOAD_ERROR_TEXT_SIZE];
      std::snprintf(text, sizeof text, "cannot open world file: %s", reader->fileName);
      return fail(reader, R3X_ERR_FAILED, text);
    }
    return fail(reader, R3X_ERR_FAILED, "world file shorter than a precompiled world's header");
  }
  if (std::memcmp(header, R3X_PRECOMPILED_SIGNATURE, sizeof R3X_PRECOMPILED_SIGNATURE) != 0) {
    return R3X_ERR_NOT_BINARY_WORLD;
  }
  arena::ByteReader in(header, sizeof header);
  in.Skip(sizeof R3X_PRECOMPILED_SIGNATURE);
  reader->version = in.U32();
  reader->recordCount = in.U32();
  reader->regionCount = in.U32();
  const std::uint32_t largestPayload = in.U32();
  const std::uint32_t nameBlockSize = in.U32();
  if ((reader->version & ~R3X_PRECOMPILED_VIS_FLAG) != R3X_PRECOMPILED_VERSION) {
    return fail(reader, R3X_ERR_BAD_WORLD_VERSION, "precompiled world of another version");
  }
  if ((reader->version & R3X_PRECOMPILED_VIS_FLAG) != 0 && _r3xOpenVisData(reader) != 0) {
    return fail(reader, R3X_ERR_NO_VIS_DATA, "no visibility data for the precompiled world");
  }
  std::uint32_t nameCapacity = 0;
  auto** names = reinterpret_cast<std::uint8_t**>(&reader->nameBlock);
  if (readGrowing(reader, names, &nameCapacity, nameBlockSize) != 0) {
    return fail(reader, R3X_ERR_FAILED, "precompiled world: name block cut short");
  }
  reader->nameBlockSize = nameBlockSize;
  _r3xUnscrambleWorldBytes(reader->nameBlock, reader->nameBlock, nameBlockSize);
  reader->payloadCapacity = std::min(largestPayload, kGrowStep);
  reader->payload = static_cast<std::uint8_t*>(r3xMalloc(reader->payloadCapacity + 1));
  if (reader->payload == nullptr || !addObject(reader, nullptr, R3X_READER_PLAIN) ||
      prepareRegionBlock(reader) != 0) {
    return fail(reader, R3X_ERR_FAILED, "precompiled world: no room for its regions");
  }
  return readRecords(reader);
}

// Frees what the read itself owns; what it made belongs to the world.
void endRead(R3xWorldReader* reader) {
  R3xWorld* world = reader->world;
  if (reader->regionBlock != nullptr &&
      (world->regions.capacity == 0 ||
       world->regions.slots[0].object != &reader->regionBlock[0].header)) {
    r3xFree(reader->regionBlock);
    r3xFree(world->regionWords);
    world->regionWords = nullptr;
  }
  // Sphere volumes that no record took would be owned by nobody.
  for (std::uint32_t k = 1; k < reader->objectCount; ++k) {
    if (reader->objects[k].type == R3X_TYPE_SPHERE_VOLUME) {
      r3xFreeVolumeRecord(static_cast<R3xVolume*>(reader->objects[k].object));
    }
  }
  r3xFree(reader->payload);
  r3xFree(reader->objects);
  r3xFree(reader->nameBlock);
  _r3xReleaseVisData(reader->visData);
}

}  // namespace

void _r3xUnscrambleWorldBytes(void* destination, const void* source, std::size_t n) {
  if (destination != source && n != 0) {
    std::memmove(destination, source, n);
  }
  _r3xApplyWorldStringKey(static_cast<std::uint8_t*>(destination), n);
}

std::int32_t _r3xReadPrecompiledWorld(const char* fileName, R3xWorld* world, R3xWad* archive,
                                      R3xLoadProgress progress, void* user,
                                      R3xWorldStream* opened) {
  R3xWorldReader* reader =
      world == nullptr ? nullptr : _r3xCreateWorldReader(fileName, world, archive, progress, user);
  if (reader == nullptr) {
    return R3X_ERR_FAILED;
  }
  reader->stream = opened;
  std::int32_t result = _r3xStartWorldReader(reader);
  if (result == 0) {
    result = readWorld(reader);
  }
  endRead(reader);
  _r3xDestroyWorldReader(reader);
  return result;
}
