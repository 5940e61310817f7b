#include "engine/world/region_actions.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "engine/core/light.h"
#include "engine/core/math_plane.h"
#include "engine/core/memory.h"
#include "engine/core/obstacle.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/surface.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/world.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_result.h"
#include "engine/world/region_geometry.h"
#include "engine/world/region_info.h"
#include "engine/world/region_work.h"

namespace {

// Visible lists hold 16-bit region indexes.
constexpr std::int32_t kMaxRegions = 65536;

bool planeIsSet(const float plane[4]) {
  // -0.0 compares equal to 0.
  return plane[0] != 0 || plane[1] != 0 || plane[2] != 0 || plane[3] != 0;
}

bool planeIsFinite(const R3xIndexedPolygon& polygon) {
  return std::isfinite(polygon.normal[0]) && std::isfinite(polygon.normal[1]) &&
         std::isfinite(polygon.normal[2]) && std::isfinite(polygon.distance);
}

void freeFaces(R3xParseList* faces) {
  for (std::uint32_t i = 0; i < parListCount(faces); ++i) {
    auto* face = static_cast<R3xRegionFace*>(parListAt(faces, i));
    r3xFree(face->surface.uv);
    r3xFree(face->polygon.vertexIndexes);
  }
  parListFree(faces);
}

void freeVisibleLists(R3xParseList* lists) {
  for (std::uint32_t i = 0; i < parListCount(lists); ++i) {
    r3xFree(static_cast<R3xVisibleList*>(parListAt(lists, i))->regions);
  }
  parListFree(lists);
}

// Frees what the region being built holds and what the work still holds for it.
void discardOpenRegion(R3xParseContext* context, R3xRegionWork* work) {
  if (R3xRegion* region = work->open) {
    const bool ownVertices = work->openIsSky && _r3xIndexedGeometry(region) == nullptr;
    r3xDestroyRegionData(context->world, region);
    if (ownVertices) {
      r3xFree(region->vertices);
    }
    region->vertices = nullptr;
  }
  work->open = nullptr;
  parListFree(&work->proximal);
  freeFaces(&work->faces);
  _parFreeObstacles(&work->obstacles);
  parListFree(&work->visNodes);
  freeVisibleLists(&work->visLists);
  work->ambient = nullptr;
  if (context->currentRegion != nullptr) {
    parSetCurrentRegion(context, nullptr, 0);
  }
}

bool regionNumberIsValid(const R3xRegionWork* work, std::int32_t number) {
  return number >= 1 && static_cast<std::uint32_t>(number) <= work->regionCount;
}

std::int32_t makeObstacleList(R3xParseContext* context, R3xRegionWork* work, R3xRegion* region) {
  auto* list = static_cast<R3xObstacleList*>(r3xMalloc(sizeof(R3xObstacleList)));
  if (list == nullptr) {
    parError(context, "could not allocate Collision Info");
    return PAR_STOP;
  }
  list->type = R3X_TYPE_OBSTACLE_LIST;
  std::memcpy(list->floor, work->floor, sizeof list->floor);
  list->obstacleCount = parListCount(&work->obstacles);
  list->cuttingCount = work->cuttingCount;
  list->obstacles = static_cast<R3xObstacle*>(parListDetach(&work->obstacles));
  if (work->proximalGiven) {
    list->proximalCount = parListCount(&work->proximal);
    list->proximal = static_cast<R3xProximalRegion*>(parListDetach(&work->proximal));
  }
  parListFree(&work->proximal);
  region->obstacles = list;
  return 0;
}

}  // namespace

R3xRegion* _parTakeRegion(R3xParseContext* context, R3xRegionWork* work, char* tag) {
  if (work->regions == nullptr || work->blockEnded || work->regionsTaken >= work->regionCount) {
    r3xFree(tag);
    parError(context, "NUMREGIONS is invalid");
    return nullptr;
  }
  R3xRegion* region = &work->regions[work->regionsTaken++];
  *region = R3xRegion{};
  region->header = {R3X_TYPE_REGION, -1, tag, 0, 0};
  region->bounds.type = R3X_TYPE_VOLUME_5W;
  work->open = region;
  work->ambient = nullptr;
  work->renderVertexCount = 0;
  work->proximalGiven = false;
  work->cuttingCount = 0;
  std::memset(work->floor, 0, sizeof work->floor);
  return region;
}

std::int32_t _parAddFinishedRegion(R3xParseContext* context, R3xRegionWork* work,
                                   R3xRegion* region) {
  work->open = nullptr;
  if (parAddRegionToWorld(context, region) != 0) {
    if (region->header.slot < 0) {
      const bool ownVertices = _r3xIndexedGeometry(region) != nullptr;
      r3xDestroyRegionData(context->world, region);
      if (!ownVertices) {
        region->vertices = nullptr;
      }
    }
    work->blockOwnedByWorld = work->blockOwnedByWorld || region->header.slot >= 0;
    return PAR_STOP;
  }
  work->blockOwnedByWorld = true;
  return 0;
}

R3xRegionWork* _parRegionWork(R3xParseContext* context) {
  if (context->regionWork == nullptr) {
    context->regionWork = static_cast<R3xRegionWork*>(r3xMalloc(sizeof(R3xRegionWork)));
    if (context->regionWork == nullptr) {
      parError(context, "out of memory");
    }
  }
  return context->regionWork;
}

void parFreeRegionWork(R3xParseContext* context) {
  R3xRegionWork* work = context->regionWork;
  if (work == nullptr) {
    return;
  }
  discardOpenRegion(context, work);
  if (!work->blockOwnedByWorld) {
    r3xFree(work->regions);
  }
  parListFree(&work->worldNodes);
  r3xFree(work);
  context->regionWork = nullptr;
}

std::int32_t parBeginRegionBlock(R3xParseContext* context, std::int32_t count) {
  R3xWorld* world = context->world;
  R3xRegionWork* work = _parRegionWork(context);
  if (work == nullptr) {
    return PAR_STOP;
  }
  // A second block would put its regions after the first ones and replace the region words.
  if (work->regions != nullptr || world->regions.count != 0 || world->regionWords != nullptr) {
    parError(context, "only one region block is allowed in a world");
    return PAR_STOP;
  }
  if (count < 1 || count > kMaxRegions) {
    parError(context, "NUMREGIONS is invalid");
    return PAR_STOP;
  }
  const auto n = static_cast<std::uint32_t>(count);
  work->regions = static_cast<R3xRegion*>(r3xMalloc(std::size_t{n} * sizeof(R3xRegion)));
  world->regionWords =
      static_cast<std::uint32_t*>(r3xMalloc(std::size_t{n} * sizeof(std::uint32_t)));
  if (work->regions == nullptr || world->regionWords == nullptr) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  work->regionCount = n;
  work->regionsTaken = 0;
  return 0;
}

std::int32_t parEndRegionBlock(R3xParseContext* context) {
  R3xRegionWork* work = context->regionWork;
  if (work == nullptr || work->regionsTaken != work->regionCount) {
    parError(context, "NUMREGIONS is invalid");
    return PAR_STOP;
  }
  work->blockEnded = true;
  // A world tree read before the regions is checked against them now.
  return _parCheckWorldTreeLeaves(context, work);
}

std::int32_t parBeginRegion(R3xParseContext* context, std::int32_t infoType, char* tag) {
  R3xRegionWork* work = _parRegionWork(context);
  if (work == nullptr) {
    r3xFree(tag);
    return PAR_STOP;
  }
  R3xRegion* region = _parTakeRegion(context, work, tag);
  if (region == nullptr) {
    return PAR_STOP;
  }
  work->openIsSky = false;
  work->infoType = infoType;
  parSetCurrentRegion(context, region, static_cast<std::int32_t>(work->regionsTaken));
  return 0;
}

std::int32_t parSetRegionAmbientLight(R3xParseContext* context, char* name) {
  R3xRegionWork* work = context->regionWork;
  R3xObjectHeader* definition = r3xFindTag(context->world, name);
  if (definition == nullptr || r3xIsLightDef(definition) != 0) {
    parError(context, "no definition for light: %s", name);
    r3xFree(name);
    return PAR_STOP;
  }
  r3xFree(name);
  R3xLight* light = r3xCreateLight(context->world, reinterpret_cast<R3xLightDef*>(definition));
  if (light == nullptr) {
    parError(context, "could not create light");
    return PAR_STOP;
  }
  if (work != nullptr) {
    work->ambient = light;
  }
  return 0;
}

std::int32_t parBeginProximalRegions(R3xParseContext* context, std::int32_t count) {
  R3xRegionWork* work = context->regionWork;
  if (count < 0 || parListInit(&work->proximal, sizeof(R3xProximalRegion),
                               static_cast<std::uint32_t>(count)) != 0) {
    parError(context, count < 0 ? "NUMPROXIMALREGIONS is invalid" : "out of memory");
    return PAR_STOP;
  }
  work->proximalGiven = count >= 1;
  return 0;
}

std::int32_t parAddProximalRegion(R3xParseContext* context, std::int32_t region, float distance) {
  R3xRegionWork* work = context->regionWork;
  if (!regionNumberIsValid(work, region)) {
    parError(context, "PROXIMALREGION %d is out of range", region);
    return PAR_STOP;
  }
  const R3xProximalRegion entry{1, region - 1, distance};
  if (parListAppend(&work->proximal, &entry) != 0) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parEndProximalRegions(R3xParseContext* context) {
  if (!parListMatchesDeclared(&context->regionWork->proximal)) {
    parError(context, "NUMPROXIMALREGIONS is invalid");
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parSetRenderVertexCount(R3xParseContext* context, std::int32_t count) {
  R3xRegionWork* work = context->regionWork;
  const R3xWorld* world = context->world;
  // Render vertices are the world's vertices. Stored worlds may declare more than the world
  // has; the count is kept as written, and only the world's vertices get vertex normals.
  if (count < 0) {
    parError(context, "NUMRENDERVERTICES is invalid");
    return PAR_STOP;
  }
  work->renderVertexCount = static_cast<std::uint32_t>(count);
  work->open->vertexCount = 0;
  work->open->vertices = world->vertices;
  context->currentVertexCount = world->vertexCount;
  return 0;
}

std::int32_t parBeginWalls(R3xParseContext* context, std::int32_t count) {
  R3xRegionWork* work = context->regionWork;
  if (count < 0 ||
      parListInit(&work->faces, sizeof(R3xRegionFace), static_cast<std::uint32_t>(count)) != 0) {
    parError(context, count < 0 ? "NUMWALLS is invalid" : "out of memory");
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parAddWall(R3xParseContext* context, std::int32_t floor, const float plane[4],
                        R3xParseList* vertexNumbers, R3xSurface* surface) {
  R3xRegionWork* work = context->regionWork;
  const R3xWorld* world = context->world;
  R3xRegionFace face{};
  face.surface = *surface;
  surface->uv = nullptr;
  face.polygon.type = R3X_TYPE_3D_SPRITE_FACE;
  if (vertexNumbers != nullptr) {
    face.polygon.vertexCount = static_cast<std::int32_t>(parListCount(vertexNumbers));
    face.polygon.vertexIndexes = static_cast<std::int32_t*>(parListDetach(vertexNumbers));
  }
  face.polygon.vertices = world->vertices;
  if (parListAppend(&work->faces, &face) != 0) {
    r3xFree(face.surface.uv);
    r3xFree(face.polygon.vertexIndexes);
    parError(context, "out of memory");
    return PAR_STOP;
  }
  auto* added =
      static_cast<R3xRegionFace*>(parListAt(&work->faces, parListCount(&work->faces) - 1));
  R3xIndexedPolygon& polygon = added->polygon;
  for (std::int32_t i = 0; i < polygon.vertexCount; ++i) {
    const std::int32_t number = polygon.vertexIndexes[i];
    if (number < 1 || static_cast<std::uint32_t>(number) > world->vertexCount) {
      parError(context, "wall vertex %d is out of range", number);
      return PAR_STOP;
    }
    polygon.vertexIndexes[i] = number - 1;
  }
  if (planeIsSet(plane)) {
    std::memcpy(polygon.normal, plane, 3 * sizeof(float));
    polygon.distance = plane[3];
  } else if (r3xPlaneFromIndexedPolygon(&polygon) < 0 || !planeIsFinite(polygon)) {
    parError(context, "could not calculate normal");
    return PAR_STOP;
  }
  if (floor != 0) {
    std::memcpy(work->floor, polygon.normal, 3 * sizeof(float));
    work->floor[3] = polygon.distance;
  }
  return 0;
}

std::int32_t parEndWalls(R3xParseContext* context) {
  R3xRegionWork* work = context->regionWork;
  if (!parListMatchesDeclared(&work->faces)) {
    parError(context, "NUMWALLS is invalid");
    return PAR_STOP;
  }
  const std::uint32_t count = parListCount(&work->faces);
  R3xMeshGeometry* geometry = parCreateMeshGeometry(
      count, static_cast<R3xRegionFace*>(work->faces.data), work->renderVertexCount, work->ambient);
  if (geometry == nullptr) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  parListDetach(&work->faces);
  work->open->geometry = geometry;
  return 0;
}

std::int32_t parBeginObstacles(R3xParseContext* context, std::int32_t count,
                               std::int32_t cuttingCount) {
  R3xRegionWork* work = context->regionWork;
  if (count < 0) {
    parError(context, "NUMOBSTACLES is invalid");
    return PAR_STOP;
  }
  // Collision takes that many leading obstacles as the cutting ones.
  if (cuttingCount < 0 || cuttingCount > count) {
    parError(context, "NUMCUTTINGOBSTACLES is invalid");
    return PAR_STOP;
  }
  if (parListInit(&work->obstacles, sizeof(R3xObstacle), static_cast<std::uint32_t>(count)) != 0) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  work->cuttingCount = static_cast<std::uint32_t>(cuttingCount);
  return 0;
}

std::int32_t parEndObstacles(R3xParseContext* context) {
  if (!parListMatchesDeclared(&context->regionWork->obstacles)) {
    parError(context, "NUMOBSTACLES is invalid");
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parEndRegion(R3xParseContext* context, R3xRegionTail* tail) {
  R3xRegionWork* work = context->regionWork;
  R3xRegion* region = work->open;
  auto* geometry = static_cast<R3xMeshGeometry*>(region->geometry);
  geometry->regionFog = tail->regionFog;
  geometry->encodedVisibility = tail->encodedVisibility;
  if (parCheckVisibleRegions(context, geometry) != 0) {
    return PAR_STOP;
  }
  if (tail->sphereGiven != 0) {
    region->bounds = {R3X_TYPE_VOLUME_5W, tail->sphere[0], tail->sphere[1], tail->sphere[2],
                      tail->sphere[3]};
  } else if (CreateBoundingSphere(context, region) != 0) {
    return PAR_STOP;
  }
  region->userData = tail->userData;
  tail->userData = nullptr;
  parSetCurrentRegion(context, nullptr, 0);
  if (makeObstacleList(context, work, region) != 0) {
    return PAR_STOP;
  }
  region->info = _r3xMakeRegionInfo(work->infoType);
  if (region->info == nullptr) {
    parError(context, "could not allocate memory for lights in region dynamic info");
    return PAR_STOP;
  }
  if (tail->gouraud != 0 && parBuildRegionVertexNormals(context, geometry) != 0) {
    return PAR_STOP;
  }
  return _parAddFinishedRegion(context, work, region);
}
