#include "engine/world/region_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "engine/core/light.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/memory.h"
#include "engine/core/region.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/world.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_result.h"

namespace {

void referenceLight(R3xLight* light) {
  if (light != nullptr) {
    r3xAddRef(&light->header);
  }
}

}  // namespace

R3xMeshGeometry* parCreateMeshGeometry(std::uint32_t faceCount, R3xRegionFace* faces,
                                       std::uint32_t renderVertexCount, R3xLight* ambient) {
  auto* geometry = static_cast<R3xMeshGeometry*>(r3xMalloc(sizeof(R3xMeshGeometry)));
  if (geometry == nullptr) {
    return nullptr;
  }
  geometry->type = R3X_TYPE_MESH_GEOMETRY;
  referenceLight(ambient);
  geometry->ambient = ambient;
  geometry->renderVertexCount = renderVertexCount;
  geometry->faceCount = faceCount;
  geometry->faces = faces;
  return geometry;
}

R3xIndexedGeometry* parCreateIndexedGeometry(std::uint32_t actionCount, R3xAction* actions,
                                             std::int32_t currentAction, std::uint32_t surfaceCount,
                                             R3xSurface* surfaces, R3xLight* ambient,
                                             float fogDistance) {
  auto* geometry = static_cast<R3xIndexedGeometry*>(r3xMalloc(sizeof(R3xIndexedGeometry)));
  if (geometry == nullptr) {
    return nullptr;
  }
  geometry->type = R3X_TYPE_INDEXED_GEOMETRY;
  referenceLight(ambient);
  geometry->ambient = ambient;
  geometry->actionCount = actionCount;
  geometry->actions = actions;
  geometry->currentAction = currentAction;
  geometry->surfaceCount = surfaceCount;
  geometry->surfaces = surfaces;
  geometry->unused = -1;
  geometry->fogDistance = fogDistance;
  return geometry;
}

std::int32_t CreateBoundingSphere(R3xParseContext* context, R3xRegion* region) {
  if (region == nullptr) {
    parError(context, "CreateBoundingSphere: invalid region");
    return PAR_STOP;
  }
  const float* vertices = region->vertices;
  if (vertices == nullptr) {
    parError(context, "CreateBoundingSphere: invalid vertex list");
    return PAR_STOP;
  }
  float low[3] = {1e30f, 1e30f, 1e30f};
  float high[3] = {-1e30f, -1e30f, -1e30f};
  for (std::uint32_t i = 0; i < region->vertexCount; ++i) {
    for (int axis = 0; axis < 3; ++axis) {
      low[axis] = std::min(low[axis], vertices[3 * i + axis]);
      high[axis] = std::max(high[axis], vertices[3 * i + axis]);
    }
  }
  float centre[3];
  float extent[3] = {0, 0, 0};
  for (int axis = 0; axis < 3; ++axis) {
    centre[axis] = (low[axis] + high[axis]) / 2;
  }
  for (std::uint32_t i = 0; i < region->vertexCount; ++i) {
    for (int axis = 0; axis < 3; ++axis) {
      extent[axis] = std::max(extent[axis], std::fabs(vertices[3 * i + axis] - centre[axis]));
    }
  }
  region->bounds = {R3X_TYPE_VOLUME_5W, centre[0], centre[1], centre[2],
                    r3xSqrt(extent[0] * extent[0] + extent[1] * extent[1] + extent[2] * extent[2])};
  return 0;
}

std::int32_t parBuildRegionVertexNormals(R3xParseContext* context, R3xMeshGeometry* geometry) {
  // Render vertices beyond the world's belong to no face: their normals would all be zero.
  const std::uint32_t count = std::min(geometry->renderVertexCount, context->world->vertexCount);
  if (count == 0) {
    return 0;
  }
  auto* normals = static_cast<float*>(r3xMalloc(std::size_t{count} * 3 * sizeof(float)));
  // Per vertex: the number of faces that used it, and the last face that did, so that a face
  // naming a vertex twice counts once.
  auto* uses =
      static_cast<std::uint32_t*>(r3xMalloc(std::size_t{count} * 2 * sizeof(std::uint32_t)));
  if (normals == nullptr || uses == nullptr) {
    r3xFree(normals);
    r3xFree(uses);
    parError(context, "Could not allocate space for region vertex normal list");
    return PAR_STOP;
  }
  for (std::uint32_t f = 0; f < geometry->faceCount; ++f) {
    const R3xIndexedPolygon& polygon = geometry->faces[f].polygon;
    for (std::int32_t i = 0; i < polygon.vertexCount; ++i) {
      const auto v = static_cast<std::uint32_t>(polygon.vertexIndexes[i]);
      if (v >= count || uses[2 * v + 1] == f + 1) {
        continue;
      }
      uses[2 * v] += 1;
      uses[2 * v + 1] = f + 1;
      for (int axis = 0; axis < 3; ++axis) {
        normals[3 * v + axis] += polygon.normal[axis];
      }
    }
  }
  for (std::uint32_t v = 0; v < count; ++v) {
    float* n = normals + 3 * v;
    const float lengthSquared = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
    // Opposite faces can sum to nothing, which has no direction to keep.
    if (uses[2 * v] > 1 && lengthSquared > 0) {
      const float scale = r3xInvSqrt(lengthSquared);
      n[0] *= scale;
      n[1] *= scale;
      n[2] *= scale;
    }
  }
  r3xFree(uses);
  r3xFree(geometry->vertexNormals);
  geometry->vertexNormals = normals;
  geometry->vertexNormalCount = count;
  return 0;
}

std::int32_t parAddRegionToWorld(R3xParseContext* context, R3xRegion* region) {
  R3xWorld* world = context->world;
  if (r3xRegisterObject(world, &region->header) != 0) {
    parError(context, "could not add region to list");
    return PAR_STOP;
  }
  if (region->header.tag != nullptr && r3xFindTag(world, region->header.tag) != nullptr) {
    parError(context, "region tag is already in use");
    return PAR_STOP;
  }
  if (r3xAddTag(world, &region->header) != 0) {
    parError(context, "parAddRegionToWorld: could not add region to dictionary");
    return PAR_STOP;
  }
  return 0;
}
