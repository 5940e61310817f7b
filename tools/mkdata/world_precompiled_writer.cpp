#include "tools/mkdata/world_precompiled_writer.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>

#include "base/byte_writer.h"
#include "engine/r3x.h"

namespace mkdata {
namespace {

// The format as this writer knows it: header, record types and flag bits.
constexpr std::uint8_t kSignature[4] = {0x02, 0x3D, 0x4B, 0x56};
constexpr std::uint32_t kVersion = 0x15500;
constexpr std::uint32_t kVersionVisibility = 0x1;
constexpr std::uint8_t kKey[8] = {0x5a, 0x17, 0xc3, 0x8e, 0x21, 0xf4, 0x6b, 0x09};

enum Record : std::uint32_t {
  kPaletteFile = 1,
  kWorldString = 2,
  kBitmap = 3,
  kSimpleSpriteDef = 4,
  kSimpleSprite = 5,
  k2DSpriteDef = 6,
  k2DSprite = 7,
  k3DSpriteDef = 8,
  k3DSprite = 9,
  kActorDef = 20,
  kActor = 21,
  kSphereVolume = 22,
  kPolyhedronDef = 23,
  kPolyhedron = 24,
  kSphereListDef = 25,
  kSphereList = 26,
  kLightDef = 27,
  kLight = 28,
  kWorldNodes = 33,
  kMeshRegion = 34,
  kActiveRegion = 35,
  kIndexedRegion = 36,
  kRegionPointLight = 40,
  kStaticDirectionalLight = 43,
  kVertices = 44,
};

constexpr std::int32_t kEdgePolygonWithPlane = -15;

struct World {
  World() {
    r3xInit();
    world = r3xCreateWorld(nullptr, 0, nullptr);
  }
  ~World() {
    r3xDestroyWorld(world);
    r3xCloseWad(pack);
    r3xShutdown();
  }
  World(const World&) = delete;
  World& operator=(const World&) = delete;
  R3xWorld* world;
  R3xWad* pack = nullptr;
};

template <typename T>
std::vector<T*> CollectObjects(const R3xSlotTable& table) {
  std::vector<T*> objects;
  for (std::uint32_t i = 0; i < table.capacity; ++i) {
    if (table.slots[i].object != nullptr) {
      objects.push_back(reinterpret_cast<T*>(table.slots[i].object));
    }
  }
  return objects;
}

class Encoder {
 public:
  Encoder(R3xWorld* world, bool separateVisibility) : world_(world), separate_(separateVisibility) {
    names_.push_back('\0');
  }

  PrecompiledWorld Encode() {
    WriteWorldFields();
    WriteBitmaps();
    WriteLights();
    WriteSimpleSprites();
    WriteShapes();
    Write2DSprites();
    Write3DSprites();
    WriteActorDefs();
    WriteRegions();
    WriteWorldTree();
    WritePointLights();
    WriteDirectionalLights();
    WriteActors();
    return Finish();
  }

 private:
  // A tag field: minus the offset of the name in the name block, 0 for none.
  std::int32_t EnterTag(const char* tag) {
    if (tag == nullptr) {
      return 0;
    }
    const auto found = nameOffsets_.find(tag);
    if (found != nameOffsets_.end()) {
      return -found->second;
    }
    const auto offset = static_cast<std::int32_t>(names_.size());
    names_.insert(names_.end(), tag, tag + std::strlen(tag) + 1);
    nameOffsets_[tag] = offset;
    return -offset;
  }

  std::int32_t FindRecord(const void* object) {
    if (object == nullptr) {
      return 0;
    }
    const auto found = recordOf_.find(object);
    if (found == recordOf_.end()) {
      throw std::runtime_error("an object refers to something the precompiled form cannot store");
    }
    return found->second;
  }

  void AddRecord(Record type, const void* object, arena::ByteWriter payload) {
    records_.emplace_back(type, payload.Take());
    if (object != nullptr) {
      recordOf_[object] = static_cast<std::int32_t>(records_.size());
    }
  }

  static void WriteScrambled(arena::ByteWriter& out, const char* text, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      out.U8(static_cast<std::uint8_t>(text[i] ^ kKey[i % sizeof kKey]));
    }
  }

  static void WriteUserData(arena::ByteWriter& out, const void* data) {
    const auto* text = static_cast<const char*>(data);
    const std::size_t n = text == nullptr ? 0 : std::strlen(text);
    out.U32(static_cast<std::uint32_t>(n));
    WriteScrambled(out, text, n);
  }

  static void WriteFloats(arena::ByteWriter& out, const float* values, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      out.F32(values[i]);
    }
  }

  std::uint32_t FindVertexIndex(const float* vertex) const {
    return static_cast<std::uint32_t>((vertex - world_->vertices) / 3);
  }

  // The surface encoding with every field given; a texture's scaling is undone, since the
  // reader applies it again.
  void WriteSurface(arena::ByteWriter& out, const R3xSurface& surface, std::uint32_t corners) {
    const bool textured =
        surface.texture != nullptr && surface.texture->type == R3X_TYPE_SIMPLE_SPRITE;
    float width = 1.0f;
    float height = 1.0f;
    if (textured) {
      const R3xSimpleSpriteDef* definition =
          reinterpret_cast<const R3xSimpleSprite*>(surface.texture)->definition;
      if (definition->frameCount != 0 && r3xGetBitmapWidth(definition->frames[0]) != 0 &&
          r3xGetBitmapHeight(definition->frames[0]) != 0) {
        width = static_cast<float>(r3xGetBitmapWidth(definition->frames[0]));
        height = static_cast<float>(r3xGetBitmapHeight(definition->frames[0]));
      }
    }
    const bool uvs = surface.uv != nullptr && corners != 0;
    std::uint32_t flags = 0x01 | 0x02 | 0x04 | 0x10;
    flags |= textured ? 0x08 : 0;
    flags |= uvs ? 0x20 : 0;
    flags |= surface.twoSided != 0 ? 0x40 : 0;
    out.U32(static_cast<std::uint32_t>(surface.renderMethod));
    out.U32(flags);
    out.U32(surface.pen);
    out.F32(surface.intensity);
    out.F32(surface.ambientScale);
    if (textured) {
      out.I32(FindRecord(surface.texture));
    }
    WriteFloats(out, surface.uvOrigin, 3);
    for (int i = 0; i < 3; ++i) {
      out.F32(surface.uAxis[i] * width);
    }
    for (int i = 0; i < 3; ++i) {
      out.F32(surface.vAxis[i] * height);
    }
    if (uvs) {
      out.U32(corners);
      for (std::uint32_t i = 0; i < corners; ++i) {
        out.F32(surface.uv[2 * i] / width);
        out.F32(surface.uv[2 * i + 1] / height);
      }
    }
  }

  static void WriteActions(arena::ByteWriter& out, const R3xAction* actions, std::uint32_t count) {
    for (std::uint32_t a = 0; a < count; ++a) {
      out.U32(actions[a].levelCount);
      for (std::uint32_t l = 0; l < actions[a].levelCount; ++l) {
        out.F32(actions[a].levels[l].switchBackSquared);
        out.F32(actions[a].levels[l].upperSquared);
      }
    }
  }

  static void WritePlacement(arena::ByteWriter& out, const R3xPlacement& placement) {
    out.F32(placement.x);
    out.F32(placement.y);
    out.F32(placement.z);
    out.F32(placement.heading);
    out.F32(placement.pitch);
    out.F32(placement.roll);
    out.I32(placement.region);
  }

  void WriteWorldFields() {
    if (world_->defaultPalette != nullptr) {
      arena::ByteWriter out;
      const std::size_t n = std::strlen(world_->defaultPalette) + 1;
      out.U16(static_cast<std::uint16_t>(n));
      WriteScrambled(out, world_->defaultPalette, n);
      AddRecord(kPaletteFile, nullptr, std::move(out));
    }
    if (world_->worldString != nullptr) {
      arena::ByteWriter out;
      const auto* text = static_cast<const char*>(world_->worldString);
      const std::size_t n = std::strlen(text) + 1;
      out.U32(static_cast<std::uint32_t>(n));
      WriteScrambled(out, text, n);
      AddRecord(kWorldString, nullptr, std::move(out));
    }
    if (world_->vertexCount != 0) {
      arena::ByteWriter out;
      out.U32(world_->vertexCount);
      WriteFloats(out, world_->vertices, std::size_t{world_->vertexCount} * 3);
      AddRecord(kVertices, nullptr, std::move(out));
    }
  }

  void WriteBitmaps() {
    for (std::uint32_t i = 0; i < world_->bitmaps.capacity; ++i) {
      R3xSlot* slot = &world_->bitmaps.slots[i];
      if (slot->object == nullptr) {
        continue;
      }
      const auto* bitmap = reinterpret_cast<const R3xBitmap*>(slot->object);
      arena::ByteWriter out;
      out.I32(EnterTag(bitmap->header.tag));
      out.U32(static_cast<std::uint32_t>(bitmap->lastFrame));
      for (std::int32_t f = 0; f <= bitmap->lastFrame; ++f) {
        const std::size_t n = std::strlen(bitmap->frameNames[f]) + 1;
        out.U16(static_cast<std::uint16_t>(n));
        WriteScrambled(out, bitmap->frameNames[f], n);
      }
      AddRecord(kBitmap, slot, std::move(out));
    }
  }

  void WriteLights() {
    for (const R3xLightDef* definition : CollectObjects<R3xLightDef>(world_->lightDefs)) {
      const R3xLight* light = definition->defaultInstance;
      arena::ByteWriter out;
      out.I32(EnterTag(definition->header.tag));
      out.U32(0x01 | 0x02 | (light->word != 0 ? 0x08 : 0) |
              (definition->colours != nullptr ? 0x10 : 0));
      out.U32(definition->frameCount);
      out.U32(light->currentFrame);
      out.U32(light->delay);
      if (definition->frameCount == 1) {
        out.F32(definition->intensity);
      } else {
        WriteFloats(out, definition->intensities, definition->frameCount);
      }
      if (definition->colours != nullptr) {
        WriteFloats(out, definition->colours, std::size_t{definition->frameCount} * 3);
      }
      AddRecord(kLightDef, definition, std::move(out));
    }
    for (const R3xLight* light : CollectObjects<R3xLight>(world_->lights)) {
      if (light == light->definition->defaultInstance) {
        continue;
      }
      arena::ByteWriter out;
      out.I32(EnterTag(light->header.tag));
      out.I32(FindRecord(light->definition));
      AddRecord(kLight, light, std::move(out));
    }
  }

  void WriteSimpleSprites() {
    for (const auto* definition : CollectObjects<R3xSimpleSpriteDef>(world_->simpleSpriteDefs)) {
      const R3xSimpleSprite* sprite = definition->defaultInstance;
      arena::ByteWriter out;
      out.I32(EnterTag(definition->header.tag));
      out.U32(0x04 | 0x08 | (sprite->frameValue != 0 ? 0x40 : 0));
      out.U32(definition->frameCount);
      out.U32(sprite->startFrame);
      out.U32(sprite->delay);
      for (std::uint32_t f = 0; f < definition->frameCount; ++f) {
        out.I32(FindRecord(definition->frames[f]));
      }
      AddRecord(kSimpleSpriteDef, definition, std::move(out));
    }
    for (const auto* sprite : CollectObjects<R3xSimpleSprite>(world_->simpleSprites)) {
      if (sprite == sprite->definition->defaultInstance) {
        continue;
      }
      arena::ByteWriter out;
      out.I32(EnterTag(sprite->header.tag));
      out.I32(FindRecord(sprite->definition));
      out.U32(0x10 | (sprite->frameValue != 0 ? 0x40 : 0));
      AddRecord(kSimpleSprite, sprite, std::move(out));
    }
  }

  // Instances that are some object's volume are written just before that object.
  void CollectOwnedVolumes() {
    const auto own = [&](const R3xVolume* volume) { owned_.insert(volume); };
    for (const auto* d : CollectObjects<R3x2DSpriteDef>(world_->sprite2DDefs)) {
      own(d->defaultInstance->volume);
    }
    for (const auto* d : CollectObjects<R3x3DSpriteDef>(world_->sprite3DDefs)) {
      own(d->defaultInstance->volume);
    }
    for (const auto* actor : CollectObjects<R3xActor>(world_->actors)) {
      own(actor->volume);
      own(actor->secondVolume);
    }
    for (const auto* sprite : CollectObjects<R3x2DSprite>(world_->sprites2D)) {
      own(sprite->volume);
    }
    for (const auto* sprite : CollectObjects<R3x3DSprite>(world_->sprites3D)) {
      own(sprite->volume);
    }
  }

  void WriteShapes() {
    CollectOwnedVolumes();
    for (const auto* definition : CollectObjects<R3xSphereListDef>(world_->sphereListDefs)) {
      arena::ByteWriter out;
      out.I32(EnterTag(definition->header.tag));
      out.U32(0x01);
      out.U32(definition->sphereCount);
      out.F32(definition->radius);
      out.F32(definition->defaultInstance->scale);
      for (std::uint32_t i = 0; i < definition->sphereCount; ++i) {
        WriteFloats(out, definition->centres + 3 * i, 3);
        out.F32(definition->radii[i]);
      }
      AddRecord(kSphereListDef, definition, std::move(out));
    }
    for (const auto* definition : CollectObjects<R3xPolyhedronDef>(world_->polyhedronDefs)) {
      arena::ByteWriter out;
      out.I32(EnterTag(definition->header.tag));
      out.U32(0x01 | 0x02);
      out.U32(definition->vertexCount);
      out.U32(definition->faceCount);
      out.F32(definition->radius);
      out.F32(definition->defaultInstance->scale);
      WriteFloats(out, definition->vertices, std::size_t{definition->vertexCount} * 3);
      for (std::uint32_t f = 0; f < definition->faceCount; ++f) {
        const R3xEdgePolygon& face = definition->faces[f];
        out.U32(static_cast<std::uint32_t>(face.edgeCount));
        for (std::int32_t e = 0; e < face.edgeCount; ++e) {
          out.U32(static_cast<std::uint32_t>((face.edges[e].first - definition->vertices) / 3));
        }
        WriteFloats(out, face.normal, 3);
        out.F32(face.distance);
      }
      AddRecord(kPolyhedronDef, definition, std::move(out));
    }
    for (const auto* list : CollectObjects<R3xSphereList>(world_->sphereLists)) {
      if (list != list->definition->defaultInstance && owned_.count(CastToVolume(list)) == 0) {
        WriteVolume(CastToVolume(list), list->header.tag);
      }
    }
    for (const auto* polyhedron : CollectObjects<R3xPolyhedron>(world_->polyhedra)) {
      if (polyhedron != polyhedron->definition->defaultInstance &&
          owned_.count(CastToVolume(polyhedron)) == 0) {
        WriteVolume(CastToVolume(polyhedron), polyhedron->header.tag);
      }
    }
  }

  template <typename T>
  static const R3xVolume* CastToVolume(const T* instance) {
    return reinterpret_cast<const R3xVolume*>(instance);
  }

  // Writes a record that makes the volume and returns its reference: 0 for the empty volume.
  std::int32_t WriteVolume(const R3xVolume* volume, const char* tag = nullptr) {
    if (volume == nullptr || volume == r3xEmptyVolume()) {
      return 0;
    }
    arena::ByteWriter out;
    switch (volume->type) {
      case R3X_TYPE_SPHERE_VOLUME:
        out.U32(0);
        out.F32(reinterpret_cast<const R3xSphereVolume*>(volume)->radius);
        AddRecord(kSphereVolume, nullptr, std::move(out));
        break;
      case R3X_TYPE_POLYHEDRON: {
        const auto* polyhedron = reinterpret_cast<const R3xPolyhedron*>(volume);
        out.U32(0);
        out.I32(FindRecord(polyhedron->definition));
        out.U32(0x01);
        out.F32(polyhedron->scale);
        AddRecord(kPolyhedron, nullptr, std::move(out));
        break;
      }
      case R3X_TYPE_SPHERE_LIST: {
        const auto* list = reinterpret_cast<const R3xSphereList*>(volume);
        out.I32(EnterTag(tag));
        out.I32(FindRecord(list->definition));
        out.U32(0x01);
        out.F32(list->scale);
        AddRecord(kSphereList, nullptr, std::move(out));
        break;
      }
      default:
        throw std::runtime_error("a volume the precompiled form cannot store");
    }
    return static_cast<std::int32_t>(records_.size());
  }

  void Write2DSprites() {
    for (const auto* definition : CollectObjects<R3x2DSpriteDef>(world_->sprite2DDefs)) {
      const R3x2DSprite* sprite = definition->defaultInstance;
      const std::int32_t volume = WriteVolume(sprite->volume);
      arena::ByteWriter out;
      out.I32(EnterTag(definition->header.tag));
      out.U32(0x01 | 0x02 | 0x04 | 0x08 | 0x80 | (sprite->skipFrames != 0 ? 0x40 : 0));
      out.U32(definition->framesPerView);
      out.U32(definition->viewSetCount);
      out.F32(definition->sizeX);
      out.F32(definition->sizeY);
      out.I32(volume);
      out.F32(definition->depthScale);
      WriteFloats(out, sprite->offset, 3);
      out.F32(definition->radius);
      out.U32(static_cast<std::uint32_t>(sprite->currentFrame));
      out.U32(sprite->delay);
      for (std::uint32_t p = 0; p < definition->viewSetCount; ++p) {
        const R3x2DSpriteViewSet& set = definition->viewSets[p];
        out.I32(static_cast<std::int32_t>(set.pitchCap));
        out.U32(set.viewCount | (set.topOrBottomView != 0 ? 0x80000000u : 0));
        for (std::uint32_t h = 0; h < set.viewCount; ++h) {
          out.I32(static_cast<std::int32_t>(set.views[h].headingCap));
          for (std::uint32_t f = 0; f < definition->framesPerView; ++f) {
            out.I32(FindRecord(set.views[h].frames[f]));
          }
        }
      }
      WriteSurface(out, sprite->surface, 0);
      AddRecord(k2DSpriteDef, definition, std::move(out));
    }
    for (const auto* sprite : CollectObjects<R3x2DSprite>(world_->sprites2D)) {
      if (sprite != sprite->definition->defaultInstance) {
        arena::ByteWriter out;
        out.I32(EnterTag(sprite->header.tag));
        out.I32(FindRecord(sprite->definition));
        AddRecord(k2DSprite, sprite, std::move(out));
      }
    }
  }

  void Write3DSprites() {
    for (const auto* definition : CollectObjects<R3x3DSpriteDef>(world_->sprite3DDefs)) {
      const R3x3DSprite* sprite = definition->defaultInstance;
      const std::int32_t volume = WriteVolume(sprite->volume);
      arena::ByteWriter out;
      out.I32(EnterTag(definition->header.tag));
      out.U32(0x01 | 0x02 | 0x40 | (definition->normals != nullptr ? 0x20 : 0));
      out.U32(definition->vertexCount);
      out.U32(definition->faceCount);
      out.I32(volume);
      WriteFloats(out, sprite->offset, 3);
      out.F32(definition->radius);
      WriteFloats(out, definition->vertices, std::size_t{definition->vertexCount} * 3);
      for (std::uint32_t f = 0; f < definition->faceCount; ++f) {
        const R3x3DSpriteFace& node = definition->faces[f];
        const R3xIndexedPolygon& face = node.polygon;
        out.U32(static_cast<std::uint32_t>(face.vertexCount));
        out.U32(node.front == nullptr
                    ? 0
                    : static_cast<std::uint32_t>(node.front - definition->faces) + 1);
        out.U32(node.back == nullptr
                    ? 0
                    : static_cast<std::uint32_t>(node.back - definition->faces) + 1);
        for (std::int32_t i = 0; i < face.vertexCount; ++i) {
          out.U32(static_cast<std::uint32_t>(face.vertexIndexes[i]));
        }
        WriteSurface(out, sprite->surfaces[f], static_cast<std::uint32_t>(face.vertexCount));
        WriteFloats(out, face.normal, 3);
        out.F32(face.distance);
      }
      AddRecord(k3DSpriteDef, definition, std::move(out));
    }
    for (const auto* sprite : CollectObjects<R3x3DSprite>(world_->sprites3D)) {
      if (sprite != sprite->definition->defaultInstance) {
        arena::ByteWriter out;
        out.I32(EnterTag(sprite->header.tag));
        out.I32(FindRecord(sprite->definition));
        AddRecord(k3DSprite, sprite, std::move(out));
      }
    }
  }

  std::int32_t FindPart(const R3xObjectHeader* part) {
    return part == nullptr || part == r3xNullPart() ? 0 : FindRecord(part);
  }

  void WriteActorDefs() {
    for (const auto* definition : CollectObjects<R3xActorDef>(world_->actorDefs)) {
      const R3xActor* actor = definition->defaultInstance;
      const bool noCollision = actor->volume == r3xNoCollisionVolume();
      const std::int32_t volume = noCollision ? 0 : WriteVolume(actor->volume);
      arena::ByteWriter out;
      out.I32(EnterTag(definition->header.tag));
      out.U32(0x01 | 0x02 | ((actor->header.flags & R3X_FLAG_STATIC) != 0 ? 0x40 : 0) |
              (noCollision ? 0x80 : 0));
      out.U32(0);
      out.U32(definition->actionCount);
      out.U32(definition->partCount);
      out.I32(volume);
      out.U32(static_cast<std::uint32_t>(actor->currentActionIndex));
      WritePlacement(out, actor->placement);
      WriteActions(out, definition->actions, definition->actionCount);
      for (std::uint32_t p = 0; p < definition->partCount; ++p) {
        out.I32(FindPart(actor->parts[p]));
      }
      WriteUserData(out, definition->userData);
      AddRecord(kActorDef, definition, std::move(out));
    }
  }

  void WriteActors() {
    for (const auto* actor : CollectObjects<R3xActor>(world_->actors)) {
      if (actor == actor->definition->defaultInstance) {
        continue;
      }
      const bool noCollision = actor->volume == r3xNoCollisionVolume();
      const std::int32_t volume = noCollision ? 0 : WriteVolume(actor->volume);
      arena::ByteWriter out;
      out.I32(EnterTag(actor->header.tag));
      out.I32(FindRecord(actor->definition));
      out.U32(0x01 | 0x02 | 0x04 | 0x08 | (noCollision ? 0x80 : 0));
      out.I32(volume);
      out.U32(static_cast<std::uint32_t>(actor->currentActionIndex));
      WritePlacement(out, actor->placement);
      out.F32(actor->radius);
      out.F32(actor->scale);
      WriteUserData(out, reinterpret_cast<const void*>(actor->userData));
      AddRecord(kActor, actor, std::move(out));
    }
  }

  void WriteObstacle(arena::ByteWriter& out, const R3xObstacle& obstacle,
                     const R3xMeshGeometry& geometry) {
    out.U32((obstacle.flags & (R3X_OBSTACLE_FLOOR | R3X_OBSTACLE_CUTTING)) |
            (obstacle.userData != nullptr ? 0x04 : 0));
    out.U32(obstacle.neighbourGiven != 0 ? static_cast<std::uint32_t>(obstacle.neighbour) + 1 : 0);
    switch (obstacle.kind) {
      case R3X_OBSTACLE_XY_VERTEX:
      case R3X_OBSTACLE_XYZ_VERTEX:
        out.I32(obstacle.kind);
        out.U32(FindVertexIndex(static_cast<const float*>(obstacle.geometry)));
        break;
      case R3X_OBSTACLE_XY_LINE:
      case R3X_OBSTACLE_XY_EDGE: {
        const auto* line = static_cast<const R3xXYLine*>(obstacle.geometry);
        out.I32(obstacle.kind);
        out.U32(FindVertexIndex(line->first));
        out.U32(FindVertexIndex(line->second));
        break;
      }
      case R3X_OBSTACLE_XYZ_EDGE: {
        const auto* edge = static_cast<const R3xXYZEdge*>(obstacle.geometry);
        out.I32(obstacle.kind);
        out.U32(FindVertexIndex(edge->first));
        out.U32(FindVertexIndex(edge->second));
        break;
      }
      case R3X_OBSTACLE_PLANE: {
        const auto* plane = static_cast<const R3xPlane*>(obstacle.geometry);
        out.I32(obstacle.kind);
        out.U32(FindFaceWithPlane(geometry, *plane));
        break;
      }
      case R3X_OBSTACLE_EDGEPOLYGON: {
        const auto* polygon = static_cast<const R3xEdgePolygon*>(obstacle.geometry);
        out.I32(kEdgePolygonWithPlane);
        out.U32(static_cast<std::uint32_t>(polygon->edgeCount));
        for (std::int32_t e = 0; e < polygon->edgeCount; ++e) {
          out.U32(FindVertexIndex(polygon->edges[e].first));
        }
        WriteFloats(out, polygon->normal, 3);
        out.F32(polygon->distance);
        break;
      }
      default:
        throw std::runtime_error("an obstacle the precompiled form cannot store");
    }
    if (obstacle.userData != nullptr) {
      WriteUserData(out, obstacle.userData);
    }
  }

  static std::uint32_t FindFaceWithPlane(const R3xMeshGeometry& geometry, const R3xPlane& plane) {
    for (std::uint32_t f = 0; f < geometry.faceCount; ++f) {
      const R3xIndexedPolygon& face = geometry.faces[f].polygon;
      if (face.normal[0] == plane.a && face.normal[1] == plane.b && face.normal[2] == plane.c &&
          face.distance == plane.d) {
        return f;
      }
    }
    throw std::runtime_error("a plane obstacle without its face");
  }

  // The face whose plane is the region's floor: the last such, as the loaders keep it.
  static std::uint32_t FindFloorFace(const R3xMeshGeometry& geometry, const R3xObstacleList* list) {
    std::uint32_t floor = geometry.faceCount;
    if (list == nullptr || (list->floor[0] == 0 && list->floor[1] == 0 && list->floor[2] == 0 &&
                            list->floor[3] == 0)) {
      return floor;
    }
    for (std::uint32_t f = 0; f < geometry.faceCount; ++f) {
      const R3xIndexedPolygon& face = geometry.faces[f].polygon;
      if (face.normal[0] == list->floor[0] && face.normal[1] == list->floor[1] &&
          face.normal[2] == list->floor[2] && face.distance == list->floor[3]) {
        floor = f;
      }
    }
    return floor;
  }

  void WriteMeshRegion(const R3xRegion& region, const R3xMeshGeometry& geometry) {
    const R3xObstacleList* list = region.obstacles;
    const R3xRegionInfo* info = region.info;
    const std::uint32_t wordA = info->loaderWords[7];
    const std::uint32_t wordB = info->loaderWords[8];
    arena::ByteWriter out;
    out.I32(EnterTag(region.header.tag));
    out.U32(0x01 | (wordA != 0 ? 0x02 : 0) | (wordB != 0 ? 0x04 : 0) |
            (geometry.regionFog != 0 ? 0x08 : 0) | (geometry.encodedVisibility != 0 ? 0x20 : 0));
    out.I32(FindRecord(geometry.ambient));
    out.U32(0);
    out.U32(list == nullptr ? 0 : list->proximalCount);
    out.U32(geometry.renderVertexCount);
    out.U32(geometry.faceCount);
    out.U32(list == nullptr ? 0 : list->obstacleCount);
    out.U32(list == nullptr ? 0 : list->cuttingCount);
    out.U32(geometry.visNodeCount);
    out.U32(geometry.visListCount);
    for (std::uint32_t i = 0; list != nullptr && i < list->proximalCount; ++i) {
      out.U32(static_cast<std::uint32_t>(list->proximal[i].region));
      out.F32(list->proximal[i].distance);
    }
    const std::uint32_t floor = FindFloorFace(geometry, list);
    for (std::uint32_t f = 0; f < geometry.faceCount; ++f) {
      const R3xRegionFace& face = geometry.faces[f];
      out.U32(0x02 | (f == floor ? 0x01 : 0));
      out.U32(static_cast<std::uint32_t>(face.polygon.vertexCount));
      for (std::int32_t i = 0; i < face.polygon.vertexCount; ++i) {
        out.U32(static_cast<std::uint32_t>(face.polygon.vertexIndexes[i]));
      }
      WriteSurface(out, face.surface, static_cast<std::uint32_t>(face.polygon.vertexCount));
      WriteFloats(out, face.polygon.normal, 3);
      out.F32(face.polygon.distance);
    }
    for (std::uint32_t i = 0; list != nullptr && i < list->obstacleCount; ++i) {
      WriteObstacle(out, list->obstacles[i], geometry);
    }
    for (std::uint32_t i = 0; i < geometry.visNodeCount; ++i) {
      const R3xVisNode& node = geometry.visNodes[i];
      WriteFloats(out, node.plane, 4);
      out.U32(node.list == nullptr ? 0
                                   : static_cast<std::uint32_t>(node.list - geometry.visLists) + 1);
      out.U32(node.front == nullptr
                  ? 0
                  : static_cast<std::uint32_t>(node.front - geometry.visNodes) + 1);
      out.U32(node.back == nullptr ? 0
                                   : static_cast<std::uint32_t>(node.back - geometry.visNodes) + 1);
    }
    for (std::uint32_t i = 0; i < geometry.visListCount; ++i) {
      const R3xVisibleList& visible = geometry.visLists[i];
      out.U16(static_cast<std::uint16_t>(visible.count));
      arena::ByteWriter& target = separate_ ? visibility_ : out;
      for (std::uint32_t r = 0; r < visible.count; ++r) {
        target.U16(visible.regions[r]);
      }
    }
    WriteFloats(out, &region.bounds.x, 4);
    if (wordA != 0) {
      out.U32(wordA);
    }
    if (wordB != 0) {
      out.U32(wordB);
    }
    WriteUserData(out, region.userData);
    AddRecord(info->type == R3X_TYPE_REGION_INFO_B ? kActiveRegion : kMeshRegion, &region,
              std::move(out));
  }

  void WriteIndexedRegion(const R3xRegion& region, const R3xIndexedGeometry& geometry) {
    arena::ByteWriter out;
    out.I32(EnterTag(region.header.tag));
    out.U32(0x01 | 0x02 | 0x04);
    out.I32(FindRecord(geometry.ambient));
    out.U32(region.vertexCount);
    out.U32(geometry.actionCount);
    out.U32(geometry.surfaceCount);
    out.U32(static_cast<std::uint32_t>(geometry.currentAction));
    out.F32(geometry.fogDistance);
    WriteFloats(out, &region.bounds.x, 4);
    WriteFloats(out, region.vertices, std::size_t{region.vertexCount} * 3);
    WriteActions(out, geometry.actions, geometry.actionCount);
    for (std::uint32_t s = 0; s < geometry.surfaceCount; ++s) {
      WriteSurface(out, geometry.surfaces[s], 0);
    }
    WriteUserData(out, region.userData);
    AddRecord(kIndexedRegion, &region, std::move(out));
  }

  void WriteRegions() {
    for (std::uint32_t i = 0; i < world_->regions.count; ++i) {
      const R3xRegion* region = r3xGetRegion(world_, static_cast<std::int32_t>(i));
      if (region == nullptr) {
        throw std::runtime_error("regions with gaps");
      }
      // Both kinds of geometry start with their type.
      const std::int32_t kind =
          region->geometry == nullptr ? 0 : *static_cast<const std::int32_t*>(region->geometry);
      if (kind == R3X_TYPE_MESH_GEOMETRY) {
        WriteMeshRegion(*region, *static_cast<const R3xMeshGeometry*>(region->geometry));
      } else if (kind == R3X_TYPE_INDEXED_GEOMETRY) {
        WriteIndexedRegion(*region, *static_cast<const R3xIndexedGeometry*>(region->geometry));
      } else {
        throw std::runtime_error("a region without geometry");
      }
    }
  }

  void WriteWorldTree() {
    const R3xWorldNode* root = world_->bspRoot;
    if (root == nullptr) {
      return;
    }
    // The array holds every node reachable from the root; its length is the furthest one.
    // Nodes may share a child, which is then followed once.
    std::size_t count = 1;
    std::vector<const R3xWorldNode*> stack{root};
    std::set<const R3xWorldNode*> seen{root};
    while (!stack.empty()) {
      const R3xWorldNode* node = stack.back();
      stack.pop_back();
      count = std::max(count, static_cast<std::size_t>(node - root) + 1);
      for (const R3xWorldNode* child : {node->front, node->back}) {
        if (child != nullptr && seen.insert(child).second) {
          stack.push_back(child);
        }
      }
    }
    arena::ByteWriter out;
    out.U32(0);
    out.U32(static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
      const R3xWorldNode& node = root[i];
      out.F32(node.a);
      out.F32(node.b);
      out.F32(node.c);
      out.F32(node.d);
      out.U32(node.leaf);
      out.U32(node.front == nullptr ? 0 : static_cast<std::uint32_t>(node.front - root) + 1);
      out.U32(node.back == nullptr ? 0 : static_cast<std::uint32_t>(node.back - root) + 1);
    }
    AddRecord(kWorldNodes, nullptr, std::move(out));
  }

  void WritePointLights() {
    for (const auto* light : CollectObjects<R3xPointLight>(world_->pointLights)) {
      // An actor's lamp comes with its actor.
      if (light->ownerSlot != -1) {
        continue;
      }
      const bool given = (light->header.flags & R3X_FLAG_STATIC_INFLUENCE) != 0;
      arena::ByteWriter out;
      out.I32(EnterTag(light->header.tag));
      out.I32(FindRecord(light->light));
      out.U32(((light->header.flags & R3X_FLAG_STATIC) != 0 ? 0x20 : 0) | (given ? 0xC0 : 0));
      WriteFloats(out, light->position, 3);
      out.F32(light->radius);
      if (given) {
        out.U32(light->regionCount);
        for (std::uint32_t i = 0; i < light->regionCount; ++i) {
          out.U32(static_cast<std::uint32_t>(light->regions[i]));
        }
      }
      AddRecord(kRegionPointLight, light, std::move(out));
    }
  }

  void WriteDirectionalLights() {
    for (const auto* light : CollectObjects<R3xDirectionalLight>(world_->directionalLights)) {
      arena::ByteWriter out;
      out.I32(EnterTag(light->header.tag));
      out.I32(FindRecord(light->light));
      out.U32((light->header.flags & R3X_FLAG_STATIC) != 0 ? 0x20 : 0);
      WriteFloats(out, light->direction, 3);
      out.U32(light->regionCount);
      for (std::uint32_t i = 0; i < light->regionCount; ++i) {
        out.U32(static_cast<std::uint32_t>(light->regions[i]));
      }
      AddRecord(kStaticDirectionalLight, light, std::move(out));
    }
  }

  PrecompiledWorld Finish() {
    arena::ByteWriter out;
    out.Bytes(kSignature, sizeof kSignature);
    out.U32(kVersion | (separate_ ? kVersionVisibility : 0));
    out.U32(static_cast<std::uint32_t>(records_.size()));
    out.U32(world_->regions.count);
    std::size_t largest = 0;
    for (const auto& record : records_) {
      largest = std::max(largest, record.second.size());
    }
    out.U32(static_cast<std::uint32_t>(largest));
    out.U32(static_cast<std::uint32_t>(names_.size()));
    out.U32(0);
    WriteScrambled(out, names_.data(), names_.size());
    for (const auto& [type, payload] : records_) {
      out.U32(static_cast<std::uint32_t>(payload.size()));
      out.U32(type);
      out.Bytes(payload.data(), payload.size());
    }
    return {out.Take(), separate_ ? visibility_.Take() : std::vector<std::uint8_t>{}};
  }

  R3xWorld* world_;
  bool separate_;
  std::vector<char> names_;
  std::map<std::string, std::int32_t> nameOffsets_;
  std::map<const void*, std::int32_t> recordOf_;
  std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> records_;
  std::set<const R3xVolume*> owned_;
  arena::ByteWriter visibility_;
};

}  // namespace

PrecompiledWorld EncodePrecompiledWorld(const std::string& name, const std::string& packPath,
                                        bool separateVisibility) {
  World loaded;
  if (!packPath.empty()) {
    loaded.pack = r3xOpenWad(packPath.c_str(), 64);
    if (loaded.pack == nullptr) {
      throw std::runtime_error("cannot open pack " + packPath);
    }
  }
  if (loaded.world == nullptr) {
    throw std::runtime_error("cannot load world file " + name + ": out of memory");
  }
  if (r3xLoadWorldFile(name.c_str(), loaded.world, loaded.pack, nullptr, nullptr, nullptr) != 0) {
    const R3xLoadError* error = r3xGetLoadError(loaded.world);
    std::string where = error != nullptr ? error->file : name;
    if (error != nullptr && error->line != 0) {
      where += ":" + std::to_string(error->line);
    }
    throw std::runtime_error(where + ": " + (error != nullptr ? error->text : "cannot load"));
  }
  return Encoder(loaded.world, separateVisibility).Encode();
}

std::string VisibilityMemberName(const std::string& worldName) {
  char name[R3X_VIS_NAME_SIZE];
  if (!r3xVisMemberName(worldName.c_str(), name)) {
    throw std::runtime_error("the world file name \"" + worldName +
                             "\" has no '.' among its first ten characters, so the reader "
                             "would find no \".VIS\" member for it");
  }
  return name;
}

}  // namespace mkdata
