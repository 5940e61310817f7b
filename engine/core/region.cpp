#include "engine/core/region.h"

#include "engine/core/actor_def.h"
#include "engine/core/error.h"
#include "engine/core/light.h"
#include "engine/core/memory.h"
#include "engine/core/obstacle.h"
#include "engine/core/obstacle_internal.h"
#include "engine/core/region_internal.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/vis_data.h"
#include "engine/core/vis_data_internal.h"
#include "engine/core/world.h"

namespace {

std::int32_t geometryType(const R3xRegion* region) {
  return region->geometry == nullptr ? R3X_TYPE_NULL
                                     : *static_cast<const std::int32_t*>(region->geometry);
}

void releaseAmbient(R3xLight* light) {
  if (light != nullptr) {
    r3xRelease(&light->header);
  }
}

void freeMeshGeometry(R3xMeshGeometry* geometry) {
  releaseAmbient(geometry->ambient);
  r3xFree(geometry->vertexNormals);
  if (geometry->faces != nullptr) {
    for (std::uint32_t i = 0; i < geometry->faceCount; ++i) {
      r3xFree(geometry->faces[i].surface.uv);
      r3xFree(geometry->faces[i].polygon.vertexIndexes);
    }
  }
  r3xFree(geometry->faces);
  // Lists taken from visibility data point into its view.
  if (geometry->visLists != nullptr && geometry->visData == nullptr) {
    for (std::uint32_t i = 0; i < geometry->visListCount; ++i) {
      r3xFree(geometry->visLists[i].regions);
    }
  }
  r3xFree(geometry->visLists);
  r3xFree(geometry->visNodes);
  _r3xReleaseVisData(geometry->visData);
  r3xFree(geometry);
}

void freeIndexedGeometry(R3xIndexedGeometry* geometry) {
  releaseAmbient(geometry->ambient);
  if (geometry->actions != nullptr) {
    for (std::uint32_t i = 0; i < geometry->actionCount; ++i) {
      r3xFree(geometry->actions[i].levels);
    }
  }
  r3xFree(geometry->actions);
  if (geometry->surfaces != nullptr) {
    for (std::uint32_t i = 0; i < geometry->surfaceCount; ++i) {
      r3xFree(geometry->surfaces[i].uv);
    }
  }
  r3xFree(geometry->surfaces);
  r3xFree(geometry);
}

void freeRegionInfo(R3xRegionInfo* info) {
  if (info->objects != nullptr) {
    for (std::uint32_t i = 0; i < info->objectCount; ++i) {
      r3xFree(info->objects[i].path);
    }
  }
  r3xFree(info->objects);
  r3xFree(info->lights);
  r3xFree(info);
}

}  // namespace

R3xRegion* r3xGetRegion(const R3xWorld* world, std::int32_t index) {
  if (world == nullptr || index < 0 ||
      static_cast<std::uint32_t>(index) >= world->regions.capacity) {
    return nullptr;
  }
  R3xObjectHeader* object = world->regions.slots[index].object;
  if (object == nullptr || object->type != R3X_TYPE_REGION) {
    return nullptr;
  }
  return reinterpret_cast<R3xRegion*>(object);
}

R3xMeshGeometry* _r3xMeshGeometry(const R3xRegion* region) {
  return geometryType(region) == R3X_TYPE_MESH_GEOMETRY
             ? static_cast<R3xMeshGeometry*>(region->geometry)
             : nullptr;
}

R3xIndexedGeometry* _r3xIndexedGeometry(const R3xRegion* region) {
  return geometryType(region) == R3X_TYPE_INDEXED_GEOMETRY
             ? static_cast<R3xIndexedGeometry*>(region->geometry)
             : nullptr;
}

R3xRegionInfo* _r3xRegionInfo(const R3xRegion* region) {
  R3xRegionInfo* info = region->info;
  if (info == nullptr ||
      (info->type != R3X_TYPE_REGION_INFO && info->type != R3X_TYPE_REGION_INFO_B)) {
    return nullptr;
  }
  return info;
}

std::int32_t r3xSetRegionAmbient(R3xRegion* region, R3xLight* light) {
  R3xLight** ambient = nullptr;
  if (R3xMeshGeometry* mesh = _r3xMeshGeometry(region)) {
    ambient = &mesh->ambient;
  } else if (R3xIndexedGeometry* sky = _r3xIndexedGeometry(region)) {
    ambient = &sky->ambient;
  } else {
    return R3X_ERR_FAILED;
  }
  if (light != nullptr && r3xAddRef(&light->header) != 0) {
    return R3X_ERR_FAILED;
  }
  releaseAmbient(*ambient);
  *ambient = light;
  return 0;
}

std::int32_t r3xDestroyRegionData(R3xWorld* world, R3xRegion* region) {
  if (region->header.tag != nullptr) {
    if ((region->header.flags & R3X_FLAG_IN_DICTIONARY) != 0) {
      r3xRemoveTag(world, region->header.tag);
    }
    r3xFree(region->header.tag);
    region->header.tag = nullptr;
  }
  if (R3xMeshGeometry* mesh = _r3xMeshGeometry(region)) {
    freeMeshGeometry(mesh);
  } else if (R3xIndexedGeometry* sky = _r3xIndexedGeometry(region)) {
    freeIndexedGeometry(sky);
    r3xFree(region->vertices);
    region->vertices = nullptr;
  }
  region->geometry = nullptr;
  _r3xFreeObstacleList(region->obstacles);
  region->obstacles = nullptr;
  if (R3xRegionInfo* info = _r3xRegionInfo(region)) {
    freeRegionInfo(info);
  }
  region->info = nullptr;
  r3xFree(region->userData);
  region->userData = nullptr;
  return 0;
}
