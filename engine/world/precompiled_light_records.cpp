// Records of light definitions, lights, point and directional lights and region ambient light.
#include <cstddef>
#include <cstdint>

#include "engine/core/directional_light.h"
#include "engine/core/light.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/point_light.h"
#include "engine/core/region.h"
#include "engine/world/precompiled_instance_record.h"
#include "engine/world/precompiled_records.h"
#include "engine/world/world_reader.h"

namespace {

constexpr std::uint32_t kCurrentFrameGiven = 0x01;
constexpr std::uint32_t kSleepGiven = 0x02;
constexpr std::uint32_t kSkipFrames = 0x08;
constexpr std::uint32_t kColoursGiven = 0x10;
constexpr std::uint32_t kStatic = 0x20;
constexpr std::uint32_t kStaticInfluence = 0x40;
constexpr std::uint32_t kRegionsGiven = 0x80;

void readVector(arena::ByteReader& in, float* out) {
  out[0] = in.F32();
  out[1] = in.F32();
  out[2] = in.F32();
}

// u32 m and m region indexes, each naming a region of the world: an owned array (null for
// m = 0), or false after failing the reader.
bool readRegions(R3xWorldReader* reader, arena::ByteReader& in, std::int32_t** regions,
                 std::uint32_t* count) {
  *regions = nullptr;
  *count = in.U32();
  if (!_r3xCountFits(in, *count, sizeof(std::uint32_t))) {
    return false;
  }
  if (*count == 0) {
    return true;
  }
  *regions = static_cast<std::int32_t*>(r3xMalloc(std::size_t{*count} * sizeof(std::int32_t)));
  if (*regions == nullptr) {
    return in.Fail("out of memory");
  }
  for (std::uint32_t i = 0; i < *count; ++i) {
    const std::uint32_t index = in.U32();
    // Indexes past the largest int come out negative and name no region either.
    if (r3xGetRegion(reader->world, static_cast<std::int32_t>(index)) == nullptr) {
      in.Fail("no such region");
    }
    (*regions)[i] = static_cast<std::int32_t>(index);
  }
  if (in.failed()) {
    r3xFree(*regions);
    *regions = nullptr;
  }
  return in.ok();
}

R3xLight* readLight(R3xWorldReader* reader, arena::ByteReader& in) {
  return static_cast<R3xLight*>(_r3xResolveObject(reader, in, in.I32(), {R3X_TYPE_LIGHT}));
}

// Records 37 and 43.
void* readDirectionalLight(R3xWorldReader* reader, bool withFlags) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  R3xLight* light = readLight(reader, in);
  const std::uint32_t flags = withFlags ? in.U32() : 0;
  float direction[3];
  readVector(in, direction);
  std::int32_t* regions = nullptr;
  std::uint32_t count = 0;
  if (!readRegions(reader, in, &regions, &count) || light == nullptr) {
    r3xFree(regions);
    return nullptr;
  }
  R3xDirectionalLight* directional = r3xCreateDirectionalLight(reader->world, light, direction);
  if (directional != nullptr) {
    if ((flags & kStatic) != 0) {
      r3xSetDirectionalLightStatic(directional);
    }
    _r3xTagInstance(reader, &directional->header, tag);
    for (std::uint32_t i = 0; i < count; ++i) {
      r3xAddDirectionalLightToRegion(reader->world, directional, regions[i]);
    }
  }
  r3xFree(regions);
  return directional;
}

}  // namespace

void* _r3xReadLightDefRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  const std::uint32_t flags = in.U32();
  const std::uint32_t count = in.U32();
  const std::uint32_t current = (flags & kCurrentFrameGiven) != 0 ? in.U32() : 0;
  const std::uint32_t sleep = (flags & kSleepGiven) != 0 ? in.U32() : 1;
  const std::uint64_t perFrame = (flags & kColoursGiven) != 0 ? 4 : 1;
  if (!_r3xCountFits(in, count, perFrame * sizeof(float))) {
    return nullptr;
  }
  auto* values = static_cast<float*>(r3xMalloc(std::size_t{count} * 4 * sizeof(float) + 1));
  if (values == nullptr) {
    return nullptr;
  }
  for (std::size_t i = 0; i < std::size_t{count} * perFrame; ++i) {
    values[i] = in.F32();
  }
  R3xLightDef* definition = r3xCreateLightDef(reader->world, tag, count, values, current, sleep,
                                              (flags & kSkipFrames) != 0 ? 1 : 0);
  // A definition already known under the tag may have another number of frames.
  if (definition != nullptr && (flags & kColoursGiven) != 0 && definition->frameCount == count) {
    r3xSetColoredLightIntensities(definition, values + count);
  }
  r3xFree(values);
  return definition;
}

void* _r3xReadLightRecord(R3xWorldReader* reader) {
  return _r3xReadInstanceRecord<R3xLightDef>(
      reader, R3X_TYPE_LIGHT_DEF,
      [reader](R3xLightDef* definition) { return r3xCreateLight(reader->world, definition); });
}

void* _r3xReadPointLightRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  R3xLight* light = readLight(reader, in);
  float position[3];
  readVector(in, position);
  const float radius = in.F32();
  if (in.failed() || light == nullptr) {
    return nullptr;
  }
  R3xPointLight* point = r3xCreatePointLight(reader->world, light, position, radius, 1);
  if (point != nullptr) {
    _r3xTagInstance(reader, &point->header, tag);
  }
  return point;
}

void* _r3xReadRegionPointLightRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  R3xLight* light = readLight(reader, in);
  const std::uint32_t flags = in.U32();
  float position[3];
  readVector(in, position);
  const float radius = in.F32();
  std::int32_t* regions = nullptr;
  std::uint32_t count = 0;
  if ((flags & kRegionsGiven) != 0) {
    readRegions(reader, in, &regions, &count);
  }
  if (in.failed() || light == nullptr) {
    r3xFree(regions);
    return nullptr;
  }
  R3xPointLight* point = r3xCreatePointLight(reader->world, light, position, radius,
                                             (flags & kRegionsGiven) != 0 ? 0 : 1);
  if (point != nullptr) {
    if ((flags & kStatic) != 0) {
      r3xSetLightStatic(point);
    }
    if ((flags & kStaticInfluence) != 0) {
      r3xSetLightStaticInfluence(point);
    }
    for (std::uint32_t i = 0; i < count; ++i) {
      r3xAddPointLightToRegion(reader->world, point, regions[i]);
    }
    _r3xTagInstance(reader, &point->header, tag);
  }
  r3xFree(regions);
  return point;
}

void* _r3xReadAmbientLightRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  R3xLight* light = readLight(reader, in);
  in.U32();
  std::int32_t* regions = nullptr;
  std::uint32_t count = 0;
  if (!readRegions(reader, in, &regions, &count) || light == nullptr) {
    r3xFree(regions);
    return nullptr;
  }
  _r3xTagInstance(reader, &light->header, tag);
  for (std::uint32_t i = 0; i < count; ++i) {
    r3xSetRegionAmbient(r3xGetRegion(reader->world, regions[i]), light);
  }
  r3xFree(regions);
  return light;
}

void* _r3xReadDirectionalLightRecord(R3xWorldReader* reader) {
  return readDirectionalLight(reader, false);
}

void* _r3xReadStaticDirectionalLightRecord(R3xWorldReader* reader) {
  return readDirectionalLight(reader, true);
}
