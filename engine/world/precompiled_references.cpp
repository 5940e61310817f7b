#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/volume.h"
#include "engine/core/world.h"
#include "engine/world/precompiled_records.h"
#include "engine/world/precompiled_world.h"
#include "engine/world/world_reader.h"

namespace {

bool hasType(std::int32_t type, std::initializer_list<std::int32_t> types) {
  for (const std::int32_t wanted : types) {
    if (wanted == type) {
      return true;
    }
  }
  return false;
}

// The name at byte offset n of the name block, which must end inside the block; else null.
const char* nameAt(const R3xWorldReader* reader, std::int64_t n) {
  if (n < 0 || static_cast<std::uint64_t>(n) >= reader->nameBlockSize) {
    return nullptr;
  }
  const char* name = reader->nameBlock + n;
  const std::size_t left = reader->nameBlockSize - static_cast<std::size_t>(n);
  return std::memchr(name, '\0', left) == nullptr ? nullptr : name;
}

R3xReaderObject* entryOf(R3xWorldReader* reader, std::int32_t reference) {
  // Only earlier records have entries.
  if (reference < 1 || static_cast<std::uint32_t>(reference) >= reader->objectCount) {
    return nullptr;
  }
  return &reader->objects[reference];
}

}  // namespace

arena::ByteReader _r3xPayload(const R3xWorldReader* reader) {
  return arena::ByteReader(reader->payload, reader->payloadSize);
}

bool _r3xCountFits(arena::ByteReader& in, std::uint64_t count, std::uint64_t itemBytes) {
  if (count != 0 && count > in.remaining() / itemBytes) {
    return in.Fail("count larger than the payload");
  }
  return in.ok();
}

void* _r3xResolveObject(R3xWorldReader* reader, arena::ByteReader& in, std::int32_t reference,
                        std::initializer_list<std::int32_t> types) {
  if (reference == 0) {
    return nullptr;
  }
  if (reference > 0) {
    const R3xReaderObject* entry = entryOf(reader, reference);
    if (entry == nullptr || entry->object == nullptr || !hasType(entry->type, types)) {
      in.Fail("reference to no earlier record of the type");
      return nullptr;
    }
    return entry->object;
  }
  const char* name = nameAt(reader, -static_cast<std::int64_t>(reference));
  R3xObjectHeader* found = name == nullptr ? nullptr : r3xFindTag(reader->world, name);
  if (found == nullptr || !hasType(found->type, types)) {
    in.Fail("name reference to no object of the type");
    return nullptr;
  }
  return found;
}

R3xBitmapHandle _r3xResolveBitmap(R3xWorldReader* reader, arena::ByteReader& in,
                                  std::int32_t reference) {
  if (reference >= 0) {
    return static_cast<R3xBitmapHandle>(
        _r3xResolveObject(reader, in, reference, {R3X_TYPE_BITMAP}));
  }
  auto* bitmap =
      static_cast<R3xObjectHeader*>(_r3xResolveObject(reader, in, reference, {R3X_TYPE_BITMAP}));
  return bitmap == nullptr ? nullptr : &reader->world->bitmaps.slots[bitmap->slot];
}

R3xVolume* _r3xResolveVolume(R3xWorldReader* reader, arena::ByteReader& in, std::int32_t reference,
                             R3xVolume* emptyVolume) {
  if (reference == 0) {
    return emptyVolume;
  }
  if (reference > 0) {
    return static_cast<R3xVolume*>(
        _r3xResolveObject(reader, in, reference,
                          {R3X_TYPE_SPHERE_VOLUME, R3X_TYPE_POLYHEDRON, R3X_TYPE_SPHERE_LIST}));
  }
  // Only registered volumes bear names.
  return static_cast<R3xVolume*>(
      _r3xResolveObject(reader, in, reference, {R3X_TYPE_POLYHEDRON, R3X_TYPE_SPHERE_LIST}));
}

void _r3xForgetVolume(R3xWorldReader* reader, R3xVolume* volume) {
  if (volume == nullptr || volume == r3xEmptyVolume() || volume == r3xNoCollisionVolume()) {
    return;
  }
  for (std::uint32_t k = 1; k < reader->objectCount; ++k) {
    if (reader->objects[k].object == volume) {
      reader->objects[k].object = nullptr;
    }
  }
  if (volume->type == R3X_TYPE_POLYHEDRON || volume->type == R3X_TYPE_SPHERE_LIST) {
    auto* header = reinterpret_cast<R3xObjectHeader*>(volume);
    if ((header->flags & R3X_FLAG_IN_DICTIONARY) != 0 && header->tag != nullptr) {
      r3xRemoveTag(reader->world, header->tag);
    }
  }
}

const char* _r3xTagName(R3xWorldReader* reader, arena::ByteReader& in, std::int32_t field) {
  if (field == 0) {
    return nullptr;
  }
  const char* name = field < 0 ? nameAt(reader, -static_cast<std::int64_t>(field)) : nullptr;
  if (name == nullptr) {
    in.Fail("tag outside the name block");
  }
  return name;
}

void _r3xTagInstance(R3xWorldReader* reader, R3xObjectHeader* object, const char* tag) {
  // As the text form enters its lights: also a tag that another object holds already.
  if (tag != nullptr && r3xSetTag(reader->world, object, tag) == 0) {
    r3xAddTag(reader->world, object);
  }
}

char* _r3xReadScrambledText(arena::ByteReader& in, std::uint32_t n) {
  if (!_r3xCountFits(in, n, 1)) {
    return nullptr;
  }
  auto* text = static_cast<char*>(r3xMalloc(std::size_t{n} + 1));
  if (text == nullptr) {
    in.Fail("out of memory");
    return nullptr;
  }
  in.Bytes(text, n);
  _r3xUnscrambleWorldBytes(text, text, n);
  return text;
}

bool _r3xReadUserData(arena::ByteReader& in, char** out) {
  *out = nullptr;
  const std::uint32_t n = in.U32();
  if (n == 0 || in.failed()) {
    return in.ok();
  }
  *out = _r3xReadScrambledText(in, n);
  return *out != nullptr;
}
