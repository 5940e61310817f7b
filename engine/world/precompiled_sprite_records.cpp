// Records of bitmaps and of simple, 2D and 3D sprites.
#include <cstddef>
#include <cstdint>

#include "engine/core/bitmap.h"
#include "engine/core/math_plane.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/simple_sprite.h"
#include "engine/core/sprite_2d.h"
#include "engine/core/sprite_3d.h"
#include "engine/core/surface.h"
#include "engine/core/volume.h"
#include "engine/core/world.h"
#include "engine/world/precompiled_instance_record.h"
#include "engine/world/precompiled_records.h"
#include "engine/world/sprite_actions.h"
#include "engine/world/world_reader.h"

namespace {

constexpr std::uint32_t kMaxMipLevels = 15;
constexpr std::uint32_t kCentreGiven = 0x01;
constexpr std::uint32_t kRadiusGiven = 0x02;
constexpr std::uint32_t kCurrentFrameGiven = 0x04;
constexpr std::uint32_t kSleepGiven = 0x08;
constexpr std::uint32_t kSkipFramesGiven = 0x10;
constexpr std::uint32_t kGouraud = 0x20;
constexpr std::uint32_t kSkipFrames = 0x40;
constexpr std::uint32_t kSpritePlaneGiven = 0x40;
constexpr std::uint32_t kDepthScaleGiven = 0x80;
constexpr std::uint32_t kTopOrBottomView = 0x80000000u;

std::int32_t skipFlag(std::uint32_t flags) { return (flags & kSkipFrames) != 0 ? 1 : 0; }

// Fills frames with count bitmap references; false when one is not a bitmap.
bool readFrames(R3xWorldReader* reader, arena::ByteReader& in, R3xBitmapHandle* frames,
                std::uint32_t count) {
  for (std::uint32_t i = 0; i < count && in.ok(); ++i) {
    frames[i] = _r3xResolveBitmap(reader, in, in.I32());
    if (frames[i] == nullptr) {
      in.Fail("frame is not a bitmap");
    }
  }
  return in.ok();
}

void freeViewSets(R3x2DSpriteViewSet* sets, std::uint32_t count) {
  if (sets == nullptr) {
    return;
  }
  for (std::uint32_t p = 0; p < count; ++p) {
    for (std::uint32_t h = 0; sets[p].views != nullptr && h < sets[p].viewCount; ++h) {
      r3xFree(sets[p].views[h].frames);
    }
    r3xFree(sets[p].views);
  }
  r3xFree(sets);
}

// The pitches of a 2D sprite definition with their headings and frames; null after failing the
// reader, with nothing owned.
R3x2DSpriteViewSet* readViewSets(R3xWorldReader* reader, arena::ByteReader& in,
                                 std::uint32_t pitchCount, std::uint32_t framesPerView) {
  if (!_r3xCountFits(in, pitchCount, 2 * sizeof(std::int32_t))) {
    return nullptr;
  }
  auto* sets = static_cast<R3x2DSpriteViewSet*>(
      r3xMalloc(std::size_t{pitchCount} * sizeof(R3x2DSpriteViewSet) + 1));
  if (sets == nullptr) {
    in.Fail("out of memory");
    return nullptr;
  }
  for (std::uint32_t p = 0; p < pitchCount && in.ok(); ++p) {
    R3x2DSpriteViewSet& set = sets[p];
    set.pitchCap = static_cast<float>(in.I32());
    const std::uint32_t headings = in.U32();
    set.topOrBottomView = (headings & kTopOrBottomView) != 0 ? 1 : 0;
    const std::uint32_t viewCount = headings & ~kTopOrBottomView;
    if (!_r3xCountFits(in, viewCount, sizeof(std::int32_t) * (std::uint64_t{framesPerView} + 1))) {
      break;
    }
    set.views = static_cast<R3x2DSpriteView*>(
        r3xMalloc(std::size_t{viewCount} * sizeof(R3x2DSpriteView) + 1));
    if (set.views == nullptr) {
      in.Fail("out of memory");
      break;
    }
    set.viewCount = viewCount;
    for (std::uint32_t h = 0; h < viewCount && in.ok(); ++h) {
      R3x2DSpriteView& view = set.views[h];
      view.headingCap = static_cast<float>(in.I32());
      view.frames = static_cast<R3xBitmapHandle*>(
          r3xMalloc(std::size_t{framesPerView} * sizeof(R3xBitmapHandle) + 1));
      if (view.frames == nullptr) {
        in.Fail("out of memory");
        break;
      }
      readFrames(reader, in, view.frames, framesPerView);
    }
  }
  if (in.failed()) {
    freeViewSets(sets, pitchCount);
    return nullptr;
  }
  return sets;
}

// The frame arrays of the sets, which stay the caller's when a new definition copies them in
// their place; null when out of memory.
R3xBitmapHandle** frameArraysOf(const R3x2DSpriteViewSet* sets, std::uint32_t count) {
  std::size_t arrays = 0;
  for (std::uint32_t p = 0; p < count; ++p) {
    arrays += sets[p].viewCount;
  }
  auto** frames = static_cast<R3xBitmapHandle**>(r3xMalloc(arrays * sizeof(R3xBitmapHandle*) + 1));
  std::size_t n = 0;
  for (std::uint32_t p = 0; frames != nullptr && p < count; ++p) {
    for (std::uint32_t h = 0; h < sets[p].viewCount; ++h) {
      frames[n++] = sets[p].views[h].frames;
    }
  }
  return frames;
}

struct SpriteFaces {
  R3x3DSpriteFace* faces;
  std::uint32_t total;
  R3xSurface* surfaces;
  std::uint32_t count;
};

void freeSpriteFaces(SpriteFaces& made) {
  for (std::uint32_t f = 0; f < made.count; ++f) {
    if (made.faces != nullptr) {
      r3xFree(made.faces[f].polygon.vertexIndexes);
    }
    if (made.surfaces != nullptr) {
      r3xFree(made.surfaces[f].uv);
    }
  }
  r3xFree(made.faces);
  r3xFree(made.surfaces);
  made = SpriteFaces{};
}

// One face of a 3D sprite definition into made's next entry.
bool readSpriteFace(R3xWorldReader* reader, arena::ByteReader& in, float* vertices,
                    std::uint32_t vertexCount, std::uint32_t flags, SpriteFaces& made) {
  R3x3DSpriteFace& node = made.faces[made.count];
  R3xIndexedPolygon& face = node.polygon;
  R3xSurface& surface = made.surfaces[made.count];
  const std::uint32_t k = in.U32();
  // Face numbers from 1; 0, or a number above the count, names none.
  const auto faceAt = [&](std::uint32_t number) {
    return number >= 1 && number <= made.total ? made.faces + (number - 1) : nullptr;
  };
  node.front = faceAt(in.U32());
  node.back = faceAt(in.U32());
  if (!_r3xCountFits(in, k, sizeof(std::uint32_t))) {
    return false;
  }
  face.type = R3X_TYPE_3D_SPRITE_FACE;
  face.vertices = vertices;
  face.vertexIndexes =
      static_cast<std::int32_t*>(r3xMalloc(std::size_t{k} * sizeof(std::int32_t) + 1));
  if (face.vertexIndexes == nullptr) {
    return in.Fail("out of memory");
  }
  ++made.count;
  face.vertexCount = static_cast<std::int32_t>(k);
  for (std::uint32_t i = 0; i < k; ++i) {
    const std::uint32_t index = in.U32();
    if (index >= vertexCount) {
      return in.Fail("face vertex out of range");
    }
    face.vertexIndexes[i] = static_cast<std::int32_t>(index);
  }
  if (!_r3xReadSurface(reader, in, &surface, k)) {
    return false;
  }
  if ((flags & kSpritePlaneGiven) != 0) {
    face.normal[0] = in.F32();
    face.normal[1] = in.F32();
    face.normal[2] = in.F32();
    face.distance = in.F32();
    return in.ok();
  }
  return r3xPlaneFromIndexedPolygon(&face) > 0 || in.Fail("face without a plane");
}

}  // namespace

void* _r3xReadBitmapRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  const std::uint32_t levels = in.U32();
  // Beyond the most levels a bitmap can have, only the first file is loaded.
  const std::uint32_t names = levels >= 1 && levels <= kMaxMipLevels ? levels + 1 : 1;
  char* files[kMaxMipLevels + 1] = {};
  for (std::uint32_t i = 0; i < names && in.ok(); ++i) {
    files[i] = _r3xReadScrambledText(in, in.U16());
  }
  R3xBitmapHandle handle = nullptr;
  if (in.ok()) {
    handle = names == 1 ? r3xLoadBitmap(reader->world, tag, files[0], reader->archive)
                        : r3xLoadBitmapFrames(reader->world, tag, static_cast<std::int32_t>(names),
                                              files, reader->archive);
  }
  for (char* file : files) {
    r3xFree(file);
  }
  return handle;
}

void* _r3xReadSimpleSpriteDefRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  const std::uint32_t flags = in.U32();
  const std::uint32_t count = in.U32();
  const std::uint32_t current = (flags & kCurrentFrameGiven) != 0 ? in.U32() : 0;
  const std::uint32_t sleep = (flags & kSleepGiven) != 0 ? in.U32() : 1;
  if (!_r3xCountFits(in, count, sizeof(std::int32_t))) {
    return nullptr;
  }
  auto* frames =
      static_cast<R3xBitmapHandle*>(r3xMalloc(std::size_t{count} * sizeof(R3xBitmapHandle) + 1));
  if (frames == nullptr) {
    return nullptr;
  }
  R3xSimpleSpriteDef* definition = nullptr;
  if (readFrames(reader, in, frames, count)) {
    definition = r3xCreateSimpleSpriteDef(reader->world, tag, count, frames, current, sleep,
                                          skipFlag(flags));
  }
  r3xFree(frames);
  return definition;
}

void* _r3xReadSimpleSpriteRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  auto* definition = static_cast<R3xSimpleSpriteDef*>(
      _r3xResolveObject(reader, in, in.I32(), {R3X_TYPE_SIMPLE_SPRITE_DEF}));
  const std::uint32_t flags = in.U32();
  if (in.failed() || definition == nullptr) {
    return nullptr;
  }
  R3xSimpleSprite* sprite = r3xCreateSimpleSprite(reader->world, definition);
  if (sprite == nullptr) {
    return nullptr;
  }
  _r3xTagInstance(reader, &sprite->header, tag);
  if ((flags & kSkipFramesGiven) != 0) {
    sprite->frameValue = skipFlag(flags);
  }
  return sprite;
}

void* _r3xRead2DSpriteDefRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  const std::uint32_t flags = in.U32();
  const std::uint32_t framesPerView = in.U32();
  const std::uint32_t pitchCount = in.U32();
  const float size[2] = {in.F32(), in.F32()};
  const std::int32_t volumeReference = in.I32();
  R3xVolume* volume = _r3xResolveVolume(reader, in, volumeReference, r3xEmptyVolume());
  const float depthScale = (flags & kDepthScaleGiven) != 0 ? in.F32() : 1.0f;
  float offset[3] = {};
  if ((flags & kCentreGiven) != 0) {
    offset[0] = in.F32();
    offset[1] = in.F32();
    offset[2] = in.F32();
  }
  const float radius =
      (flags & kRadiusGiven) != 0 ? in.F32() : parSpriteRange(offset, size, depthScale);
  const std::uint32_t current = (flags & kCurrentFrameGiven) != 0 ? in.U32() : 0;
  const std::uint32_t sleep = (flags & kSleepGiven) != 0 ? in.U32() : 1;
  R3x2DSpriteViewSet* sets =
      in.ok() ? readViewSets(reader, in, pitchCount, framesPerView) : nullptr;
  R3xSurface surface{};
  R3x2DSpriteDef* definition = nullptr;
  R3xBitmapHandle** frames = sets == nullptr ? nullptr : frameArraysOf(sets, pitchCount);
  if (frames != nullptr && _r3xReadSurface(reader, in, &surface, R3X_ANY_CORNERS)) {
    definition = r3xCreate2DSpriteDef(
        reader->world, tag, framesPerView, pitchCount, sets, size[0], size[1], depthScale, &surface,
        static_cast<std::int32_t>(current), sleep, skipFlag(flags), offset, volume, radius);
    r3xFree(surface.uv);
  }
  if (definition != nullptr && definition->viewSets == sets) {
    // The sets and views are the definition's now, with copies of the frame arrays.
    for (std::uint32_t p = 0, n = 0; p < pitchCount; ++p) {
      for (std::uint32_t h = 0; h < sets[p].viewCount; ++h) {
        r3xFree(frames[n++]);
      }
    }
    r3xFree(frames);
    _r3xForgetVolume(reader, volume);
    return definition;
  }
  r3xFree(frames);
  freeViewSets(sets, pitchCount);
  if (definition == nullptr && in.ok()) {
    _r3xForgetVolume(reader, volume);
    r3xDestroyVolume(reader->world, volume);
  }
  return definition;
}

void* _r3xRead2DSpriteRecord(R3xWorldReader* reader) {
  return _r3xReadInstanceRecord<R3x2DSpriteDef>(
      reader, R3X_TYPE_2D_SPRITE_DEF, [reader](R3x2DSpriteDef* definition) {
        return r3xCreate2DSprite(reader->world, definition, nullptr);
      });
}

void* _r3xRead3DSpriteDefRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  const std::uint32_t flags = in.U32();
  const std::uint32_t vertexCount = in.U32();
  const std::uint32_t faceCount = in.U32();
  R3xVolume* volume = _r3xResolveVolume(reader, in, in.I32(), r3xEmptyVolume());
  float offset[3] = {};
  if ((flags & kCentreGiven) != 0) {
    offset[0] = in.F32();
    offset[1] = in.F32();
    offset[2] = in.F32();
  }
  const float radius = (flags & kRadiusGiven) != 0 ? in.F32() : 1.0f;
  // Every face holds at least its three counts and a surface's two words.
  if (!_r3xCountFits(in, vertexCount, 3 * sizeof(float)) ||
      !_r3xCountFits(in, faceCount, 5 * sizeof(std::uint32_t))) {
    return nullptr;
  }
  auto* vertices = static_cast<float*>(r3xMalloc(std::size_t{vertexCount} * 3 * sizeof(float) + 1));
  SpriteFaces made{};
  made.total = faceCount;
  made.faces = static_cast<R3x3DSpriteFace*>(
      r3xMalloc(std::size_t{faceCount} * sizeof(R3x3DSpriteFace) + 1));
  made.surfaces =
      static_cast<R3xSurface*>(r3xMalloc(std::size_t{faceCount} * sizeof(R3xSurface) + 1));
  if (vertices == nullptr || made.faces == nullptr || made.surfaces == nullptr) {
    in.Fail("out of memory");
  }
  for (std::size_t i = 0; in.ok() && i < std::size_t{vertexCount} * 3; ++i) {
    vertices[i] = in.F32();
  }
  while (in.ok() && made.count < faceCount &&
         readSpriteFace(reader, in, vertices, vertexCount, flags, made)) {
  }
  R3x3DSpriteDef* definition = nullptr;
  if (in.ok()) {
    definition =
        r3xCreate3DSpriteDef(reader->world, tag, vertexCount, vertices, faceCount, made.faces,
                             (flags & kGouraud) != 0, offset, made.surfaces, volume, radius);
  }
  r3xFree(vertices);
  if (definition != nullptr && definition->faces == made.faces) {
    _r3xForgetVolume(reader, volume);
    return definition;
  }
  freeSpriteFaces(made);
  if (definition == nullptr && in.ok()) {
    _r3xForgetVolume(reader, volume);
    r3xDestroyVolume(reader->world, volume);
  }
  return definition;
}

void* _r3xRead3DSpriteRecord(R3xWorldReader* reader) {
  return _r3xReadInstanceRecord<R3x3DSpriteDef>(
      reader, R3X_TYPE_3D_SPRITE_DEF, [reader](R3x3DSpriteDef* definition) {
        return r3xCreate3DSprite(reader->world, definition, nullptr);
      });
}
