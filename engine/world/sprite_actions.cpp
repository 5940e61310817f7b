#include "engine/world/sprite_actions.h"

#include <algorithm>
#include <cmath>

#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/part.h"
#include "engine/core/simple_sprite.h"
#include "engine/core/sprite_2d.h"
#include "engine/core/sprite_3d.h"
#include "engine/core/surface.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/volume.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_list.h"
#include "engine/world/parse_result.h"
#include "engine/world/surface_actions.h"

namespace {

// A heading with the number of its frames, checked against NUMFRAMES when the sprite ends.
struct HeadingItem {
  R3x2DSpriteView view;
  std::uint32_t frameCount;
};

// Every heading of a pitch holds this many frames; kMixedFrames when they differ.
constexpr std::int64_t kMixedFrames = -1;
constexpr std::int64_t kNoHeadings = -2;

struct PitchItem {
  R3x2DSpriteViewSet set;
  std::int64_t framesPerHeading;
};

struct BspNodeItem {
  R3x3DSpriteFace face;
  R3xSurface surface;
  bool planeGiven;
  // FRONTTREE and BACKTREE as written: face numbers from 1.
  std::int32_t front;
  std::int32_t back;
};

void freeHeading(void* item) { r3xFree(static_cast<HeadingItem*>(item)->view.frames); }

void freeViews(R3x2DSpriteViewSet* set) {
  for (std::uint32_t i = 0; i < set->viewCount; ++i) {
    r3xFree(set->views[i].frames);
  }
  r3xFree(set->views);
}

void freePitch(void* item) { freeViews(&static_cast<PitchItem*>(item)->set); }

void freeBspNode(void* item) {
  auto* node = static_cast<BspNodeItem*>(item);
  r3xFree(node->face.polygon.vertexIndexes);
  r3xFree(node->surface.uv);
}

std::uint32_t indexOrZero(const R3xParserValue* value) {
  return parHasValue(value) ? static_cast<std::uint32_t>(value->number - 1) : 0;
}

R3xVolume* takeVolume(R3xParserValue* value) {
  return parHasValue(value) ? static_cast<R3xVolume*>(parTakeRecord(value)) : r3xEmptyVolume();
}

// The frames of every heading of every pitch must number framesPerView.
bool headingsHold(const R3xParserValue* pitches, std::uint32_t framesPerView) {
  const R3xParseList* list = parValueList(pitches);
  for (std::uint32_t i = 0; i < parValueCount(pitches); ++i) {
    const std::int64_t frames = static_cast<const PitchItem*>(parListAt(list, i))->framesPerHeading;
    if (frames != kNoHeadings && frames != framesPerView) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::int32_t parDefineSimpleSprite(R3xParseContext* context, R3xParserValue* tag,
                                   R3xParserValue* frames, R3xParserValue* currentFrame,
                                   R3xParserValue* sleep, R3xParserValue* skipFrames) {
  const R3xParseList* list = parValueList(frames);
  R3xSimpleSpriteDef* definition = r3xCreateSimpleSpriteDef(
      context->world, tag->text, parValueCount(frames),
      list == nullptr ? nullptr : static_cast<const R3xBitmapHandle*>(list->data),
      indexOrZero(currentFrame), static_cast<std::uint32_t>(sleep->number), skipFrames->number);
  parFreeParserValue(tag);
  parFreeParserValue(frames);
  if (definition == nullptr) {
    parError(context, "could not create simple sprite definition");
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parMakeHeading(R3xParseContext* context, std::int32_t cap, R3xParserValue* frames,
                            R3xParserValue* out) {
  HeadingItem heading{};
  heading.view.headingCap = static_cast<float>(cap);
  heading.frameCount = parValueCount(frames);
  if (heading.frameCount != 0) {
    heading.view.frames = static_cast<R3xBitmapHandle*>(parListDetach(parValueList(frames)));
  }
  parFreeParserValue(frames);
  *out = parNoValue();
  // The heading travels as a one-item list so that an abort frees its frames.
  if (parAppendItem(context, out, sizeof heading, &heading, freeHeading) != 0) {
    r3xFree(heading.view.frames);
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parAppendHeading(R3xParseContext* context, R3xParserValue* list,
                              R3xParserValue* heading) {
  R3xParseList* one = parValueList(heading);
  if (parAppendItem(context, list, sizeof(HeadingItem), parListAt(one, 0), freeHeading) != 0) {
    parFreeParserValue(heading);
    return PAR_STOP;
  }
  one->count = 0;
  parFreeParserValue(heading);
  return 0;
}

std::int32_t parMakePitch(R3xParseContext* context, std::int32_t cap, std::int32_t topOrBottom,
                          R3xParserValue* headings, R3xParserValue* out) {
  PitchItem pitch{};
  pitch.set.pitchCap = static_cast<float>(cap);
  pitch.set.topOrBottomView = static_cast<std::uint32_t>(topOrBottom);
  pitch.set.viewCount = parValueCount(headings);
  pitch.framesPerHeading = kNoHeadings;
  if (pitch.set.viewCount != 0) {
    pitch.set.views = static_cast<R3x2DSpriteView*>(
        r3xMalloc(std::size_t{pitch.set.viewCount} * sizeof(R3x2DSpriteView)));
    if (pitch.set.views == nullptr) {
      parError(context, "out of memory");
      parFreeParserValue(headings);
      return PAR_STOP;
    }
    R3xParseList* list = parValueList(headings);
    for (std::uint32_t i = 0; i < pitch.set.viewCount; ++i) {
      const auto* heading = static_cast<const HeadingItem*>(parListAt(list, i));
      pitch.set.views[i] = heading->view;
      if (i == 0) {
        pitch.framesPerHeading = heading->frameCount;
      } else if (pitch.framesPerHeading != heading->frameCount) {
        pitch.framesPerHeading = kMixedFrames;
      }
    }
    // The frame arrays now belong to the pitch.
    list->count = 0;
  }
  parFreeParserValue(headings);
  *out = parNoValue();
  if (parAppendItem(context, out, sizeof pitch, &pitch, freePitch) != 0) {
    freeViews(&pitch.set);
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parAppendPitch(R3xParseContext* context, R3xParserValue* list, R3xParserValue* pitch) {
  R3xParseList* one = parValueList(pitch);
  if (parAppendItem(context, list, sizeof(PitchItem), parListAt(one, 0), freePitch) != 0) {
    parFreeParserValue(pitch);
    return PAR_STOP;
  }
  one->count = 0;
  parFreeParserValue(pitch);
  return 0;
}

std::int32_t parDefine2DSprite(R3xParseContext* context, R3x2DSpriteClauses* clauses) {
  const auto framesPerView = static_cast<std::uint32_t>(clauses->frameCount->number);
  std::int32_t result = 0;
  R3xParseList* pitches = parValueList(clauses->pitches);
  const std::uint32_t pitchCount = parValueCount(clauses->pitches);
  R3x2DSpriteViewSet* sets = nullptr;
  if (!headingsHold(clauses->pitches, framesPerView)) {
    parError(context, "incorrect number of FRAMEs");
    result = PAR_STOP;
  } else if (pitchCount != 0 &&
             (sets = static_cast<R3x2DSpriteViewSet*>(
                  r3xMalloc(std::size_t{pitchCount} * sizeof(R3x2DSpriteViewSet)))) == nullptr) {
    parError(context, "out of memory");
    result = PAR_STOP;
  }
  if (result == 0) {
    // The frame arrays stay the caller's: remember them to free after the definition's copies.
    std::uint32_t frameArrays = 0;
    for (std::uint32_t i = 0; i < pitchCount; ++i) {
      sets[i] = static_cast<PitchItem*>(parListAt(pitches, i))->set;
      frameArrays += sets[i].viewCount;
    }
    auto** ownFrames = static_cast<R3xBitmapHandle**>(
        r3xMalloc(std::size_t{frameArrays} * sizeof(R3xBitmapHandle*) + 1));
    std::uint32_t n = 0;
    for (std::uint32_t i = 0; ownFrames != nullptr && i < pitchCount; ++i) {
      for (std::uint32_t j = 0; j < sets[i].viewCount; ++j) {
        ownFrames[n++] = sets[i].views[j].frames;
      }
    }
    float offset[3] = {};
    if (parHasValue(clauses->centerOffset)) {
      std::copy_n(clauses->centerOffset->vector, 3, offset);
    }
    const float size[2] = {clauses->sizeX->real, clauses->sizeY->real};
    const float depthScale = parHasValue(clauses->depthScale) ? clauses->depthScale->real : 1.0f;
    const float radius = parHasValue(clauses->boundingRadius) && clauses->boundingRadius->real != 0
                             ? clauses->boundingRadius->real
                             : parSpriteRange(offset, size, depthScale);
    R3xVolume* volume = takeVolume(clauses->volume);
    R3x2DSpriteDef* definition =
        ownFrames == nullptr
            ? nullptr
            : r3xCreate2DSpriteDef(context->world, clauses->tag->text, framesPerView, pitchCount,
                                   sets, size[0], size[1], depthScale,
                                   static_cast<const R3xSurface*>(clauses->surface->record),
                                   static_cast<std::int32_t>(indexOrZero(clauses->currentFrame)),
                                   static_cast<std::uint32_t>(clauses->sleep->number),
                                   clauses->skipFrames->number, offset, volume, radius);
    if (definition != nullptr && definition->viewSets == sets) {
      // Taken over: the sets and views are the definition's; the frame arrays were copied.
      for (std::uint32_t i = 0; i < n; ++i) {
        r3xFree(ownFrames[i]);
      }
      if (pitches != nullptr) {
        pitches->count = 0;
      }
    } else {
      r3xDestroyVolume(context->world, volume);
      r3xFree(sets);
    }
    r3xFree(ownFrames);
    if (definition == nullptr) {
      parError(context, "could not create 2D sprite definition");
      result = PAR_STOP;
    }
  }
  parFreeParserValue(clauses->tag);
  parFreeParserValue(clauses->pitches);
  parFreeParserValue(clauses->surface);
  parFreeParserValue(clauses->volume);
  return result;
}

std::int32_t parMakeBspNode(R3xParseContext* context, R3xParserValue* plane,
                            R3xParserValue* vertexNumbers, R3xParserValue* surface,
                            std::int32_t front, std::int32_t back, R3xParserValue* out) {
  BspNodeItem node{};
  R3xIndexedPolygon& polygon = node.face.polygon;
  polygon.type = R3X_TYPE_3D_SPRITE_FACE;
  polygon.vertexCount = static_cast<std::int32_t>(parValueCount(vertexNumbers));
  if (polygon.vertexCount != 0) {
    polygon.vertexIndexes = static_cast<std::int32_t*>(parListDetach(parValueList(vertexNumbers)));
  }
  node.planeGiven = parHasValue(plane) && parVectorIsSet(plane->vector);
  if (node.planeGiven) {
    std::copy_n(plane->vector, 3, polygon.normal);
    polygon.distance = plane->vector[3];
  }
  node.front = front;
  node.back = back;
  auto* ownSurface = static_cast<R3xSurface*>(parTakeRecord(surface));
  node.surface = *ownSurface;
  r3xFree(ownSurface);
  parFreeParserValue(vertexNumbers);
  *out = parNoValue();
  if (parAppendItem(context, out, sizeof node, &node, freeBspNode) != 0) {
    freeBspNode(&node);
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parAppendBspNode(R3xParseContext* context, R3xParserValue* list,
                              R3xParserValue* node) {
  R3xParseList* one = parValueList(node);
  if (parAppendItem(context, list, sizeof(BspNodeItem), parListAt(one, 0), freeBspNode) != 0) {
    parFreeParserValue(node);
    return PAR_STOP;
  }
  one->count = 0;
  parFreeParserValue(node);
  return 0;
}

namespace {

// Turns the nodes' 1-based vertex numbers into indexes and fills in the planes not given.
std::int32_t prepareFaces(R3xParseContext* context, R3xParseList* nodes, float* vertices,
                          std::uint32_t vertexCount) {
  for (std::uint32_t i = 0; i < nodes->count; ++i) {
    R3xIndexedPolygon& polygon = static_cast<BspNodeItem*>(parListAt(nodes, i))->face.polygon;
    for (std::int32_t k = 0; k < polygon.vertexCount; ++k) {
      const std::int32_t number = polygon.vertexIndexes[k];
      if (number < 1 || static_cast<std::uint32_t>(number) > vertexCount) {
        parError(context, "vertex number %d is out of range", number);
        return PAR_STOP;
      }
      polygon.vertexIndexes[k] = number - 1;
    }
    polygon.vertices = vertices;
    if (!static_cast<BspNodeItem*>(parListAt(nodes, i))->planeGiven &&
        _r3xCompute3DSpritePlane(context, &polygon) != 0) {
      return PAR_STOP;
    }
  }
  return 0;
}

}  // namespace

std::int32_t parDefine3DSprite(R3xParseContext* context, R3x3DSpriteClauses* clauses) {
  R3xParseList* vertexList = parValueList(clauses->vertices);
  const std::uint32_t vertexCount = parValueCount(clauses->vertices);
  auto* vertices = vertexList == nullptr ? nullptr : static_cast<float*>(vertexList->data);
  R3xParseList* nodes = parValueList(clauses->nodes);
  const std::uint32_t faceCount = parValueCount(clauses->nodes);
  std::int32_t result = nodes == nullptr ? 0 : prepareFaces(context, nodes, vertices, vertexCount);
  R3x3DSpriteFace* faces = nullptr;
  R3xSurface* surfaces = nullptr;
  if (result == 0 && faceCount != 0) {
    faces = static_cast<R3x3DSpriteFace*>(r3xMalloc(faceCount * sizeof(R3x3DSpriteFace)));
    surfaces = static_cast<R3xSurface*>(r3xMalloc(faceCount * sizeof(R3xSurface)));
    if (faces == nullptr || surfaces == nullptr) {
      parError(context, "out of memory");
      result = PAR_STOP;
    }
  }
  if (result == 0) {
    // FRONTTREE and BACKTREE name faces from 1; 0, or a number above the count, names none.
    const auto faceAt = [&](std::int32_t number) {
      return number >= 1 && static_cast<std::uint32_t>(number) <= faceCount ? faces + (number - 1)
                                                                            : nullptr;
    };
    for (std::uint32_t i = 0; i < faceCount; ++i) {
      const auto* node = static_cast<const BspNodeItem*>(parListAt(nodes, i));
      faces[i] = node->face;
      faces[i].front = faceAt(node->front);
      faces[i].back = faceAt(node->back);
      surfaces[i] = node->surface;
    }
    float offset[3] = {};
    if (parHasValue(clauses->centerOffset)) {
      std::copy_n(clauses->centerOffset->vector, 3, offset);
    }
    const float radius = parHasValue(clauses->boundingRadius) && clauses->boundingRadius->real != 0
                             ? clauses->boundingRadius->real
                             : 1.0f;
    R3xVolume* volume = takeVolume(clauses->volume);
    R3x3DSpriteDef* definition = r3xCreate3DSpriteDef(
        context->world, clauses->tag->text, vertexCount, vertices, faceCount, faces,
        clauses->gouraud->number != 0, offset, surfaces, volume, radius);
    if (definition != nullptr && definition->faces == faces) {
      // Faces (with their indexes) and surfaces (with their UVs) are the definition's now.
      if (nodes != nullptr) {
        nodes->count = 0;
      }
    } else {
      r3xDestroyVolume(context->world, volume);
      r3xFree(faces);
      r3xFree(surfaces);
    }
    if (definition == nullptr) {
      parError(context, "could not create 3D sprite definition");
      result = PAR_STOP;
    }
  } else {
    r3xFree(faces);
    r3xFree(surfaces);
  }
  parFreeParserValue(clauses->tag);
  parFreeParserValue(clauses->vertices);
  parFreeParserValue(clauses->nodes);
  parFreeParserValue(clauses->volume);
  return result;
}

R3xObjectHeader* parNullSpritePart() { return r3xNullPart(); }

std::int32_t parSpritePart(R3xParseContext* context, R3xSpritePartKind kind, R3xParserValue* name,
                           R3xParserValue* out) {
  struct PartKind {
    std::int32_t definitionType;
    const char* missing;
    const char* failed;
  };
  static constexpr PartKind kKinds[] = {
      {},
      {R3X_TYPE_3D_SPRITE_DEF, "no definition for 3D sprite: %s", "could not create 3D Sprite"},
      {R3X_TYPE_2D_SPRITE_DEF, "no definition for 2D sprite: %s", "could not create 2D Sprite"},
      {R3X_TYPE_SIMPLE_SPRITE_DEF, "no definition for simple sprite: %s",
       "could not create Simple Sprite"},
  };
  const PartKind& wanted = kKinds[kind];
  R3xWorld* world = context->world;
  R3xObjectHeader* found = r3xFindTag(world, name->text);
  if (found == nullptr || found->type != wanted.definitionType) {
    parError(context, wanted.missing, name->text);
    parFreeParserValue(name);
    return PAR_STOP;
  }
  parFreeParserValue(name);
  R3xObjectHeader* part = nullptr;
  if (kind == R3X_SPRITE_PART_3D) {
    R3x3DSprite* sprite =
        r3xCreate3DSprite(world, reinterpret_cast<R3x3DSpriteDef*>(found), nullptr);
    part = sprite == nullptr ? nullptr : &sprite->header;
  } else if (kind == R3X_SPRITE_PART_2D) {
    R3x2DSprite* sprite =
        r3xCreate2DSprite(world, reinterpret_cast<R3x2DSpriteDef*>(found), nullptr);
    part = sprite == nullptr ? nullptr : &sprite->header;
  } else {
    R3xSimpleSprite* sprite =
        r3xCreateSimpleSprite(world, reinterpret_cast<R3xSimpleSpriteDef*>(found));
    part = sprite == nullptr ? nullptr : &sprite->header;
  }
  if (part == nullptr) {
    parError(context, "%s", wanted.failed);
    return PAR_STOP;
  }
  *out = parRecordValue(part, nullptr);
  return 0;
}

float parSpriteRange(const float* centre, const float* size, float depthScale) {
  const auto square = [](float v) { return v * v; };
  const float ex = std::max(square(centre[0] + depthScale), square(centre[0] - depthScale));
  const float ey = std::max(square(centre[1] + size[0]), square(centre[1] - size[0]));
  const float ez = std::max(square(centre[2] + size[1]), square(centre[2] - size[1]));
  const float first = square(centre[2]) + ex;
  const float second = square(centre[0]) + ez;
  return std::sqrt(ey + (first > second ? first : second));
}

std::int32_t _r3xCompute3DSpritePlane(R3xParseContext* context, R3xIndexedPolygon* face) {
  if (face->vertexCount < 3) {
    parError(context, "_r3xCompute3DSpritePlane: Not a Valid Polygon!");
    return PAR_STOP;
  }
  const float* p0 = face->vertices + 3 * face->vertexIndexes[0];
  const float* p1 = face->vertices + 3 * face->vertexIndexes[1];
  const float* p2 = face->vertices + 3 * face->vertexIndexes[2];
  const double ax = double{p0[0]} - p1[0], ay = double{p0[1]} - p1[1], az = double{p0[2]} - p1[2];
  const double bx = double{p2[0]} - p1[0], by = double{p2[1]} - p1[1], bz = double{p2[2]} - p1[2];
  const double nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
  const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
  if (length == 0.0) {
    parError(context, "_r3xCompute3DSpritePlane: zero length normal!");
    return PAR_STOP;
  }
  face->normal[0] = static_cast<float>(nx / length);
  face->normal[1] = static_cast<float>(ny / length);
  face->normal[2] = static_cast<float>(nz / length);
  face->distance = -(face->normal[0] * p0[0] + face->normal[1] * p0[1] + face->normal[2] * p0[2]);
  return 0;
}

bool parVectorIsSet(const float* vector) {
  return vector[0] != 0.0f || vector[1] != 0.0f || vector[2] != 0.0f || vector[3] != 0.0f;
}
