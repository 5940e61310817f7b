#include "engine/core/polyhedron.h"

#include <cstddef>

#include "engine/core/definition.h"
#include "engine/core/memory.h"

namespace {

void freeFaces(R3xEdgePolygon* faces, std::uint32_t count) {
  if (faces != nullptr) {
    for (std::uint32_t i = 0; i < count; ++i) {
      r3xFree(faces[i].edges);
    }
  }
  r3xFree(faces);
}

void freeGeometry(R3xPolyhedronDef* definition) {
  freeFaces(definition->faces, definition->faceCount);
  r3xFree(definition->vertices);
  definition->faces = nullptr;
  definition->vertices = nullptr;
}

// The same vertex in the copy, or null when the pointer is not a vertex of the source.
float* repoint(const float* vertex, const float* source, float* copy, std::uint32_t count) {
  const auto address = reinterpret_cast<std::uintptr_t>(vertex);
  const auto start = reinterpret_cast<std::uintptr_t>(source);
  const std::uintptr_t stride = 3 * sizeof(float);
  const std::uintptr_t offset = address - start;
  if (address < start || offset % stride != 0 || offset / stride >= count) {
    return nullptr;
  }
  return copy + 3 * (offset / stride);
}

bool copyGeometry(R3xPolyhedronDef* definition, std::uint32_t faceCount,
                  const R3xEdgePolygon* faces, std::uint32_t vertexCount, const float* vertices) {
  const std::size_t vertexBytes = std::size_t{vertexCount} * 3 * sizeof(float);
  definition->vertices = static_cast<float*>(r3xMalloc(vertexBytes));
  definition->faces =
      static_cast<R3xEdgePolygon*>(r3xMalloc(std::size_t{faceCount} * sizeof(R3xEdgePolygon)));
  if ((vertexCount > 0 && definition->vertices == nullptr) ||
      (faceCount > 0 && definition->faces == nullptr)) {
    return false;
  }
  for (std::size_t i = 0; i < std::size_t{vertexCount} * 3; ++i) {
    definition->vertices[i] = vertices[i];
  }
  definition->vertexCount = vertexCount;
  for (std::uint32_t i = 0; i < faceCount; ++i) {
    definition->faces[i] = faces[i];
    definition->faces[i].edges = nullptr;
  }
  definition->faceCount = faceCount;
  for (std::uint32_t f = faceCount; f-- > 0;) {
    const R3xEdgePolygon& source = faces[f];
    if (source.edgeCount < 0) {
      return false;
    }
    const auto edgeCount = static_cast<std::uint32_t>(source.edgeCount);
    auto* edges = static_cast<R3xXYZEdge*>(r3xMalloc(std::size_t{edgeCount} * sizeof(R3xXYZEdge)));
    if (edgeCount > 0 && edges == nullptr) {
      return false;
    }
    definition->faces[f].edges = edges;
    for (std::uint32_t e = 0; e < edgeCount; ++e) {
      edges[e] = source.edges[e];
      edges[e].first = repoint(source.edges[e].first, vertices, definition->vertices, vertexCount);
      edges[e].second =
          repoint(source.edges[e].second, vertices, definition->vertices, vertexCount);
      if (edges[e].first == nullptr || edges[e].second == nullptr) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

R3xPolyhedronDef* r3xDefinePolyhedron(R3xWorld* world, const char* tag, float radius,
                                      std::uint32_t faceCount, const R3xEdgePolygon* faces,
                                      std::uint32_t vertexCount, const float* vertices,
                                      float defaultScale) {
  R3xPolyhedronDef* definition = nullptr;
  if (!_r3xBeginDefinition(world, tag, R3X_TYPE_POLYHEDRON_DEF, &definition)) {
    return definition;
  }
  definition->radius = radius;
  const bool copied = copyGeometry(definition, faceCount, faces, vertexCount, vertices);
  const R3xPolyhedron defaults = {
      {R3X_TYPE_POLYHEDRON, -1, nullptr, 0, 0}, defaultScale, definition};
  return _r3xFinishDefinition(world, definition, copied, defaults, freeGeometry);
}

std::int32_t r3xDestroyPolyhedronDef(R3xWorld* world, R3xPolyhedronDef* definition) {
  return _r3xDestroyDefinition(world, definition, freeGeometry);
}

R3xPolyhedron* r3xCreatePolyhedron(R3xWorld* world, R3xPolyhedronDef* definition) {
  return definition == nullptr ? nullptr : _r3xCopyInstance(world, definition->defaultInstance);
}

R3xPolyhedron* r3xCopyPolyhedron(R3xWorld* world, const R3xPolyhedron* instance) {
  return _r3xCopyInstance(world, instance);
}

std::int32_t r3xDestroyPolyhedron(R3xWorld* world, R3xPolyhedron* instance) {
  return _r3xDestroyInstance(world, instance);
}

std::int32_t r3xSetPolyhedronTag(R3xWorld* world, R3xPolyhedron* instance, const char* tag) {
  return r3xSetTag(world, &instance->header, tag);
}

std::int32_t r3xSetPolyhedronScale(R3xPolyhedron* instance, float scale) {
  instance->scale = scale;
  return 0;
}
