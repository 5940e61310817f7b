// Records of collision shapes: sphere volumes, polyhedra and sphere lists.
#include <cstddef>
#include <cstdint>

#include "engine/core/math_plane.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/polyhedron.h"
#include "engine/core/sphere_list.h"
#include "engine/core/volume.h"
#include "engine/world/precompiled_records.h"
#include "engine/world/world_reader.h"

namespace {

constexpr std::uint32_t kScaleGiven = 0x01;
constexpr std::uint32_t kFacePlaneGiven = 0x02;

void freeFaces(R3xEdgePolygon* faces, std::uint32_t count) {
  for (std::uint32_t f = 0; faces != nullptr && f < count; ++f) {
    r3xFree(faces[f].edges);
  }
  r3xFree(faces);
}

}  // namespace

void* _r3xReadSphereVolumeRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  in.U32();
  const float radius = in.F32();
  return in.ok() ? r3xCreateSphereVolume(radius) : nullptr;
}

void* _r3xReadPolyhedronDefRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  const std::uint32_t flags = in.U32();
  const std::uint32_t vertexCount = in.U32();
  const std::uint32_t faceCount = in.U32();
  const float radius = in.F32();
  const float scale = (flags & kScaleGiven) != 0 ? in.F32() : 1.0f;
  if (!_r3xCountFits(in, vertexCount, 3 * sizeof(float)) ||
      !_r3xCountFits(in, faceCount, sizeof(std::uint32_t))) {
    return nullptr;
  }
  auto* vertices = static_cast<float*>(r3xMalloc(std::size_t{vertexCount} * 3 * sizeof(float) + 1));
  auto* faces =
      static_cast<R3xEdgePolygon*>(r3xMalloc(std::size_t{faceCount} * sizeof(R3xEdgePolygon) + 1));
  if (vertices == nullptr || faces == nullptr) {
    in.Fail("out of memory");
  }
  for (std::size_t i = 0; in.ok() && i < std::size_t{vertexCount} * 3; ++i) {
    vertices[i] = in.F32();
  }
  for (std::uint32_t f = 0; in.ok() && f < faceCount; ++f) {
    _r3xReadEdgePolygon(in, vertices, vertexCount, (flags & kFacePlaneGiven) != 0, &faces[f]);
  }
  R3xPolyhedronDef* definition = nullptr;
  if (in.ok()) {
    definition = r3xDefinePolyhedron(reader->world, tag, radius, faceCount, faces, vertexCount,
                                     vertices, scale);
  }
  freeFaces(faces, faceCount);
  r3xFree(vertices);
  return definition;
}

void* _r3xReadPolyhedronRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  in.U32();
  auto* definition = static_cast<R3xPolyhedronDef*>(
      _r3xResolveObject(reader, in, in.I32(), {R3X_TYPE_POLYHEDRON_DEF}));
  const std::uint32_t flags = in.U32();
  const float scale = (flags & kScaleGiven) != 0 ? in.F32() : 0.0f;
  if (in.failed() || definition == nullptr) {
    return nullptr;
  }
  R3xPolyhedron* polyhedron = r3xCreatePolyhedron(reader->world, definition);
  if (polyhedron != nullptr && (flags & kScaleGiven) != 0) {
    r3xSetPolyhedronScale(polyhedron, scale);
  }
  return polyhedron;
}

void* _r3xReadSphereListDefRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  const std::uint32_t flags = in.U32();
  const std::uint32_t count = in.U32();
  const float radius = in.F32();
  const float scale = (flags & kScaleGiven) != 0 ? in.F32() : 1.0f;
  if (!_r3xCountFits(in, count, 4 * sizeof(float))) {
    return nullptr;
  }
  auto* centres = static_cast<float*>(r3xMalloc(std::size_t{count} * 3 * sizeof(float) + 1));
  auto* radii = static_cast<float*>(r3xMalloc(std::size_t{count} * sizeof(float) + 1));
  R3xSphereListDef* definition = nullptr;
  if (centres != nullptr && radii != nullptr) {
    for (std::uint32_t i = 0; i < count; ++i) {
      centres[3 * i] = in.F32();
      centres[3 * i + 1] = in.F32();
      centres[3 * i + 2] = in.F32();
      radii[i] = in.F32();
    }
    definition = r3xCreateSphereListDef(reader->world, tag, radius, count, centres, radii, scale);
  }
  r3xFree(centres);
  r3xFree(radii);
  return definition;
}

void* _r3xReadSphereListRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  auto* definition = static_cast<R3xSphereListDef*>(
      _r3xResolveObject(reader, in, in.I32(), {R3X_TYPE_SPHERE_LIST_DEF}));
  const std::uint32_t flags = in.U32();
  const float scale = (flags & kScaleGiven) != 0 ? in.F32() : 0.0f;
  if (in.failed() || definition == nullptr) {
    return nullptr;
  }
  R3xSphereList* list = r3xCreateSphereList(reader->world, definition);
  if (list == nullptr) {
    return nullptr;
  }
  _r3xTagInstance(reader, &list->header, tag);
  if ((flags & kScaleGiven) != 0) {
    r3xSetSphereListScale(list, scale);
  }
  return list;
}
