// Region records: regions with walls, obstacles and visibility trees, and sky regions.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/core/light.h"
#include "engine/core/math_plane.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/obstacle.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/string_copy.h"
#include "engine/core/surface.h"
#include "engine/core/surface_internal.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/tree_links.h"
#include "engine/core/vis_data.h"
#include "engine/core/vis_data_internal.h"
#include "engine/core/world.h"
#include "engine/world/precompiled_records.h"
#include "engine/world/region_info.h"
#include "engine/world/world_reader.h"

namespace {

constexpr std::uint32_t kSphereGiven = 0x01;
constexpr std::uint32_t kWordAGiven = 0x02;
constexpr std::uint32_t kWordBGiven = 0x04;
constexpr std::uint32_t kRegionFog = 0x08;
constexpr std::uint32_t kEncodedVisibility = 0x20;

constexpr std::uint32_t kFaceFloor = 0x01;
constexpr std::uint32_t kFacePlaneGiven = 0x02;

constexpr std::uint32_t kObstacleFlags = R3X_OBSTACLE_FLOOR | R3X_OBSTACLE_CUTTING;
constexpr std::uint32_t kObstacleUserData = 0x04;
// An edge polygon written with its plane; stored as an edge polygon.
constexpr std::int32_t kEdgePolygonWithPlane = -15;

constexpr std::uint32_t kSkyCurrentActionGiven = 0x01;
constexpr std::uint32_t kSkyFogGiven = 0x02;
constexpr std::uint32_t kSkySphereGiven = 0x04;

// The dynamic information's last two words.
constexpr std::size_t kWordA = 7;
constexpr std::size_t kWordB = 8;

constexpr std::size_t kVisNodeBytes = 28;
constexpr std::size_t kProximalBytes = 8;

// The next record of the region block, or null beyond the header's region count.
R3xRegion* takeRegion(R3xWorldReader* reader) {
  if (reader->regionBlock == nullptr || reader->regionsMade >= reader->regionCount) {
    return nullptr;
  }
  R3xRegion* region = &reader->regionBlock[reader->regionsMade++];
  *region = R3xRegion{};
  region->header = {R3X_TYPE_REGION, -1, nullptr, 0, 0};
  region->bounds.type = R3X_TYPE_VOLUME_5W;
  return region;
}

// The box sphere of the vertices with those indexes (the region's when indexes is null).
void boxSphere(R3xRegion* region, const float* vertices, std::uint32_t count,
               const std::int32_t* const* indexLists, const std::int32_t* listSizes,
               std::uint32_t listCount) {
  float low[3] = {1e30f, 1e30f, 1e30f};
  float high[3] = {-1e30f, -1e30f, -1e30f};
  const auto visit = [&](auto&& take) {
    if (indexLists == nullptr) {
      for (std::uint32_t v = 0; v < count; ++v) {
        take(vertices + 3 * std::size_t{v});
      }
      return;
    }
    for (std::uint32_t l = 0; l < listCount; ++l) {
      for (std::int32_t i = 0; i < listSizes[l]; ++i) {
        take(vertices + 3 * std::size_t(indexLists[l][i]));
      }
    }
  };
  visit([&](const float* v) {
    for (int axis = 0; axis < 3; ++axis) {
      low[axis] = std::min(low[axis], v[axis]);
      high[axis] = std::max(high[axis], v[axis]);
    }
  });
  float centre[3];
  float extent[3] = {0, 0, 0};
  for (int axis = 0; axis < 3; ++axis) {
    centre[axis] = (low[axis] + high[axis]) / 2;
  }
  visit([&](const float* v) {
    for (int axis = 0; axis < 3; ++axis) {
      extent[axis] = std::max(extent[axis], std::fabs(v[axis] - centre[axis]));
    }
  });
  region->bounds = {R3X_TYPE_VOLUME_5W, centre[0], centre[1], centre[2],
                    r3xSqrt(extent[0] * extent[0] + extent[1] * extent[1] + extent[2] * extent[2])};
}

// Registers a finished region and enters its tag. False when it cannot be registered.
bool addRegion(R3xWorldReader* reader, R3xRegion* region) {
  if (r3xRegisterObject(reader->world, &region->header) != 0) {
    return false;
  }
  if (region->header.tag != nullptr) {
    r3xAddTag(reader->world, &region->header);
  }
  return true;
}

// What a mesh region record builds before it becomes a region.
struct MeshParts {
  R3xMeshGeometry* geometry;
  R3xObstacleList* obstacles;
};

// The geometry and obstacle list records that hold the parts as they are read, so that a
// failure frees everything through the region's own teardown.
bool allocateMeshParts(R3xRegion* region, MeshParts& parts) {
  parts.geometry = static_cast<R3xMeshGeometry*>(r3xMalloc(sizeof(R3xMeshGeometry)));
  parts.obstacles = static_cast<R3xObstacleList*>(r3xMalloc(sizeof(R3xObstacleList)));
  region->geometry = parts.geometry;
  region->obstacles = parts.obstacles;
  if (parts.geometry == nullptr || parts.obstacles == nullptr) {
    return false;
  }
  parts.geometry->type = R3X_TYPE_MESH_GEOMETRY;
  parts.obstacles->type = R3X_TYPE_OBSTACLE_LIST;
  return true;
}

template <typename T>
T* allocateArray(arena::ByteReader& in, std::uint32_t count) {
  auto* items = static_cast<T*>(r3xMalloc(std::size_t{count} * sizeof(T) + 1));
  if (items == nullptr) {
    in.Fail("out of memory");
  }
  return items;
}

bool readProximal(R3xWorldReader* reader, arena::ByteReader& in, R3xObstacleList* list,
                  std::uint32_t count) {
  if (!_r3xCountFits(in, count, kProximalBytes) || count == 0) {
    return in.ok();
  }
  list->proximal = allocateArray<R3xProximalRegion>(in, count);
  if (list->proximal == nullptr) {
    return false;
  }
  list->proximalCount = count;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t index = in.U32();
    if (index >= reader->regionCount) {
      return in.Fail("proximal region out of range");
    }
    list->proximal[i] = {1, static_cast<std::int32_t>(index), in.F32()};
  }
  return in.ok();
}

bool readFaces(R3xWorldReader* reader, arena::ByteReader& in, R3xMeshGeometry* geometry,
               R3xObstacleList* list, std::uint32_t count) {
  const R3xWorld* world = reader->world;
  // Every face holds its flags, its corner count and a surface's two words.
  if (!_r3xCountFits(in, count, 4 * sizeof(std::uint32_t))) {
    return false;
  }
  geometry->faces = allocateArray<R3xRegionFace>(in, count);
  if (geometry->faces == nullptr) {
    return false;
  }
  geometry->faceCount = count;
  for (std::uint32_t f = 0; f < count && in.ok(); ++f) {
    R3xRegionFace& face = geometry->faces[f];
    const std::uint32_t flags = in.U32();
    const std::uint32_t k = in.U32();
    if (!_r3xCountFits(in, k, sizeof(std::uint32_t))) {
      break;
    }
    face.polygon.type = R3X_TYPE_3D_SPRITE_FACE;
    face.polygon.vertices = world->vertices;
    face.polygon.vertexIndexes = allocateArray<std::int32_t>(in, k);
    if (face.polygon.vertexIndexes == nullptr) {
      break;
    }
    face.polygon.vertexCount = static_cast<std::int32_t>(k);
    for (std::uint32_t i = 0; i < k; ++i) {
      const std::uint32_t index = in.U32();
      if (index >= world->vertexCount) {
        in.Fail("wall vertex out of range");
      }
      face.polygon.vertexIndexes[i] = static_cast<std::int32_t>(index);
    }
    if (in.failed() || !_r3xReadSurface(reader, in, &face.surface, k)) {
      break;
    }
    if ((flags & kFacePlaneGiven) != 0) {
      face.polygon.normal[0] = in.F32();
      face.polygon.normal[1] = in.F32();
      face.polygon.normal[2] = in.F32();
      face.polygon.distance = in.F32();
    } else if (r3xPlaneFromIndexedPolygon(&face.polygon) < 0) {
      in.Fail("wall without a plane");
    }
    if ((flags & kFaceFloor) != 0) {
      std::memcpy(list->floor, face.polygon.normal, sizeof face.polygon.normal);
      list->floor[3] = face.polygon.distance;
    }
  }
  return in.ok();
}

// A vertex of the world's shared array by index, or null after failing the reader.
float* vertexAt(const R3xWorldReader* reader, arena::ByteReader& in) {
  const std::uint32_t index = in.U32();
  if (index >= reader->world->vertexCount) {
    in.Fail("obstacle vertex out of range");
    return nullptr;
  }
  return reader->world->vertices + 3 * std::size_t{index};
}

const R3xRegionFace* faceAt(const R3xMeshGeometry* geometry, arena::ByteReader& in) {
  const std::uint32_t index = in.U32();
  if (index >= geometry->faceCount) {
    in.Fail("obstacle face out of range");
    return nullptr;
  }
  return &geometry->faces[index];
}

bool readLine(const R3xWorldReader* reader, arena::ByteReader& in, R3xObstacle& obstacle) {
  auto* line = static_cast<R3xXYLine*>(r3xMalloc(sizeof(R3xXYLine)));
  obstacle.geometry = line;
  float* a = vertexAt(reader, in);
  float* b = vertexAt(reader, in);
  if (line == nullptr || b == nullptr || a == nullptr) {
    return in.Fail("line");
  }
  const float dx = b[0] - a[0];
  const float dy = b[1] - a[1];
  const float length = r3xSqrt(dx * dx + dy * dy);
  // A zero length divides by 1 instead.
  const float reciprocal = length != 0.0f ? 1.0f / length : 1.0f;
  line->type = obstacle.kind == R3X_OBSTACLE_XY_LINE ? R3X_TYPE_XY_LINE : R3X_TYPE_XY_EDGE;
  line->nx = dy * reciprocal;
  line->ny = -dx * reciprocal;
  line->offset = -(line->nx * b[0] + line->ny * b[1]);
  line->first = a;
  line->second = b;
  line->length = length;
  return true;
}

bool readEdge(const R3xWorldReader* reader, arena::ByteReader& in, R3xObstacle& obstacle) {
  auto* edge = static_cast<R3xXYZEdge*>(r3xMalloc(sizeof(R3xXYZEdge)));
  obstacle.geometry = edge;
  float* a = vertexAt(reader, in);
  float* b = vertexAt(reader, in);
  if (edge == nullptr || b == nullptr || a == nullptr) {
    return in.Fail("edge");
  }
  const float dx = b[0] - a[0];
  const float dy = b[1] - a[1];
  const float dz = b[2] - a[2];
  *edge = {R3X_TYPE_XYZ_EDGE, a, b, r3xSqrt(dx * dx + dy * dy + dz * dz)};
  return true;
}

bool readPlane(const R3xMeshGeometry* geometry, arena::ByteReader& in, R3xObstacle& obstacle) {
  auto* plane = static_cast<R3xPlane*>(r3xMalloc(sizeof(R3xPlane)));
  obstacle.geometry = plane;
  const R3xRegionFace* face = faceAt(geometry, in);
  if (plane == nullptr || face == nullptr) {
    return in.Fail("plane");
  }
  *plane = {R3X_TYPE_PLANE, face->polygon.normal[0], face->polygon.normal[1],
            face->polygon.normal[2], face->polygon.distance};
  return true;
}

bool readPolygon(const R3xWorldReader* reader, const R3xMeshGeometry* geometry,
                 arena::ByteReader& in, R3xObstacle& obstacle, std::int32_t kind) {
  auto* polygon = static_cast<R3xEdgePolygon*>(r3xMalloc(sizeof(R3xEdgePolygon)));
  obstacle.geometry = polygon;
  obstacle.kind = R3X_OBSTACLE_EDGEPOLYGON;
  if (polygon == nullptr) {
    return in.Fail("out of memory");
  }
  if (kind != R3X_OBSTACLE_EDGEWALL) {
    return _r3xReadEdgePolygon(in, reader->world->vertices, reader->world->vertexCount,
                               kind == kEdgePolygonWithPlane, polygon);
  }
  const R3xRegionFace* face = faceAt(geometry, in);
  if (face == nullptr) {
    return false;
  }
  const R3xIndexedPolygon& source = face->polygon;
  if (!_r3xBuildEdgePolygon(source.vertices, source.vertexIndexes,
                            static_cast<std::uint32_t>(source.vertexCount), polygon)) {
    return in.Fail("out of memory");
  }
  std::memcpy(polygon->normal, source.normal, sizeof polygon->normal);
  polygon->distance = source.distance;
  const float a = std::fabs(polygon->normal[0]);
  const float b = std::fabs(polygon->normal[1]);
  const float c = std::fabs(polygon->normal[2]);
  polygon->axisCode = a >= b && a >= c ? 2 : (b >= c ? 3 : 1);
  return true;
}

bool readObstacles(R3xWorldReader* reader, arena::ByteReader& in, R3xMeshGeometry* geometry,
                   R3xObstacleList* list, std::uint32_t count, std::uint32_t cutting,
                   std::int32_t regionIndex) {
  // Every obstacle holds its flags, neighbour, kind and one number; collision takes `cutting`
  // leading obstacles.
  if (!_r3xCountFits(in, count, 4 * sizeof(std::uint32_t)) || cutting > count) {
    return in.Fail("obstacle counts");
  }
  list->obstacles = allocateArray<R3xObstacle>(in, count);
  if (list->obstacles == nullptr) {
    return false;
  }
  list->cuttingCount = cutting;
  for (std::uint32_t i = 0; i < count && in.ok(); ++i) {
    R3xObstacle& obstacle = list->obstacles[i];
    list->obstacleCount = i + 1;
    obstacle.type = R3X_TYPE_OBSTACLE;
    const std::uint32_t flags = in.U32();
    const std::uint32_t neighbour = in.U32();
    obstacle.kind = in.I32();
    obstacle.flags = flags & kObstacleFlags;
    if (neighbour == 0) {
      obstacle.neighbour = regionIndex;
    } else if (neighbour <= reader->regionCount) {
      obstacle.neighbour = static_cast<std::int32_t>(neighbour - 1);
      obstacle.neighbourGiven = -1;
    } else {
      return in.Fail("neighbour out of range");
    }
    switch (obstacle.kind) {
      case R3X_OBSTACLE_XY_VERTEX:
      case R3X_OBSTACLE_XYZ_VERTEX:
        obstacle.geometry = vertexAt(reader, in);
        break;
      case R3X_OBSTACLE_XY_LINE:
      case R3X_OBSTACLE_XY_EDGE:
        readLine(reader, in, obstacle);
        break;
      case R3X_OBSTACLE_XYZ_EDGE:
        readEdge(reader, in, obstacle);
        break;
      case R3X_OBSTACLE_PLANE:
        readPlane(geometry, in, obstacle);
        break;
      case R3X_OBSTACLE_EDGEPOLYGON:
      case kEdgePolygonWithPlane:
      case R3X_OBSTACLE_EDGEWALL:
        readPolygon(reader, geometry, in, obstacle, obstacle.kind);
        break;
      default:
        // The teardown frees nothing for a kind it does not know.
        obstacle.kind = R3X_OBSTACLE_XY_VERTEX;
        return in.Fail("unknown obstacle kind");
    }
    if ((flags & kObstacleUserData) != 0 && in.ok()) {
      char* data = nullptr;
      _r3xReadUserData(in, &data);
      obstacle.userData = data;
    }
  }
  return in.ok();
}

// Checks that walks from the first node end: no node names it as a child and no chain of
// children comes back to where it started. Two nodes may share a child.
bool visLinksAreSound(const R3xVisNode* nodes, std::uint32_t count) {
  const auto indexOf = [&](const R3xVisNode* child) -> std::int64_t {
    return child == nullptr ? -1 : child - nodes;
  };
  for (std::uint32_t i = 0; i < count; ++i) {
    if (nodes[i].front == nodes || nodes[i].back == nodes) {
      return false;
    }
  }
  return _r3xTreeIsAcyclic(count, [&](std::uint32_t i, int side) {
    return indexOf(side == 0 ? nodes[i].front : nodes[i].back);
  });
}

bool readVisNodes(arena::ByteReader& in, R3xMeshGeometry* geometry, std::uint32_t count,
                  std::uint32_t listCount) {
  if (!_r3xCountFits(in, count, kVisNodeBytes) || count == 0) {
    return in.ok();
  }
  geometry->visNodes = allocateArray<R3xVisNode>(in, count);
  if (geometry->visNodes == nullptr) {
    return false;
  }
  geometry->visNodeCount = count;
  R3xVisNode* nodes = geometry->visNodes;
  // Numbers from 1; 0, or a number above the count, names none.
  const auto nodeAt = [&](std::uint32_t number) {
    return number >= 1 && number <= count ? nodes + (number - 1) : nullptr;
  };
  for (std::uint32_t i = 0; i < count; ++i) {
    R3xVisNode& node = nodes[i];
    for (float& value : node.plane) {
      value = in.F32();
    }
    const std::uint32_t list = in.U32();
    node.list = list >= 1 && list <= listCount ? geometry->visLists + (list - 1) : nullptr;
    node.front = nodeAt(in.U32());
    node.back = nodeAt(in.U32());
  }
  if (in.ok() && !visLinksAreSound(nodes, count)) {
    in.Fail("visibility tree links");
  }
  return in.ok();
}

// The visible list array, made before the nodes that point into it.
bool allocateVisLists(arena::ByteReader& in, R3xMeshGeometry* geometry, std::uint32_t count) {
  // Every list holds at least its count.
  if (!_r3xCountFits(in, count, sizeof(std::uint16_t)) || count == 0) {
    return in.ok();
  }
  geometry->visLists = allocateArray<R3xVisibleList>(in, count);
  geometry->visListCount = geometry->visLists == nullptr ? 0 : count;
  return in.ok();
}

// The counts of the visible lists; their region indexes follow in the record, or lie in the
// ".VIS" member in record order when the world has one.
bool readVisLists(R3xWorldReader* reader, arena::ByteReader& in, R3xMeshGeometry* geometry) {
  const std::uint32_t count = geometry->visListCount;
  R3xVisData* shared = reader->visData;
  if (count != 0 && shared != nullptr) {
    // The lists point into the view from now on, which the geometry keeps mapped.
    geometry->visData = shared;
    ++shared->refCount;
  }
  // A coded list's entries are run codes, not regions: only a plain list's are checked.
  const bool plain = geometry->encodedVisibility == 0;
  for (std::uint32_t i = 0; i < count && in.ok(); ++i) {
    R3xVisibleList& list = geometry->visLists[i];
    const std::uint32_t n = in.U16();
    if (n == 0) {
      continue;
    }
    const std::uint8_t* indexes = nullptr;
    if (shared != nullptr) {
      if (std::size_t{n} * 2 > reader->visLeft) {
        return in.Fail("visible list past the visibility data");
      }
      indexes = reader->visCursor;
      reader->visCursor += std::size_t{n} * 2;
      reader->visLeft -= std::size_t{n} * 2;
      list.regions = const_cast<std::uint16_t*>(reinterpret_cast<const std::uint16_t*>(indexes));
    } else {
      indexes = in.Span(std::size_t{n} * 2).data();
      list.regions = indexes == nullptr ? nullptr : allocateArray<std::uint16_t>(in, n);
      if (list.regions == nullptr) {
        return in.Fail("visible list");
      }
    }
    list.count = n;
    for (std::uint32_t r = 0; r < n; ++r) {
      const auto entry = static_cast<std::uint16_t>(indexes[2 * r] | (indexes[2 * r + 1] << 8));
      if (plain && entry >= reader->regionCount) {
        return in.Fail("visible region out of range");
      }
      if (shared == nullptr) {
        list.regions[r] = entry;
      }
    }
  }
  return in.ok();
}

// Frees what a region record made for a region that did not come into being.
void discardRegion(R3xWorldReader* reader, R3xRegion* region) {
  const bool ownVertices = region->vertices != reader->world->vertices;
  r3xDestroyRegionData(reader->world, region);
  if (ownVertices) {
    r3xFree(region->vertices);
  }
  *region = R3xRegion{};
  --reader->regionsMade;
}

// The region's sphere, dynamic information words and user data at the end of a mesh region.
bool readMeshTail(arena::ByteReader& in, R3xRegion* region, std::uint32_t flags) {
  if ((flags & kSphereGiven) != 0) {
    region->bounds.x = in.F32();
    region->bounds.y = in.F32();
    region->bounds.z = in.F32();
    region->bounds.radius = in.F32();
  } else {
    const R3xMeshGeometry* geometry = _r3xMeshGeometry(region);
    auto* lists = static_cast<const std::int32_t**>(
        r3xMalloc(std::size_t{geometry->faceCount} * sizeof(std::int32_t*) + 1));
    auto* sizes = static_cast<std::int32_t*>(
        r3xMalloc(std::size_t{geometry->faceCount} * sizeof(std::int32_t) + 1));
    if (lists == nullptr || sizes == nullptr) {
      r3xFree(lists);
      r3xFree(sizes);
      return in.Fail("out of memory");
    }
    for (std::uint32_t f = 0; f < geometry->faceCount; ++f) {
      lists[f] = geometry->faces[f].polygon.vertexIndexes;
      sizes[f] = geometry->faces[f].polygon.vertexCount;
    }
    boxSphere(region, region->vertices, 0, lists, sizes, geometry->faceCount);
    r3xFree(lists);
    r3xFree(sizes);
  }
  if ((flags & kWordAGiven) != 0) {
    region->info->loaderWords[kWordA] = in.U32();
  }
  if ((flags & kWordBGiven) != 0) {
    region->info->loaderWords[kWordB] = in.U32();
  }
  char* userData = nullptr;
  if (in.ok() && _r3xReadUserData(in, &userData)) {
    region->userData = userData;
  }
  return in.ok();
}

}  // namespace

void* _r3xReadMeshRegionRecord(R3xWorldReader* reader) {
  const std::int32_t infoType = reader->recordType == R3X_RECORD_ACTIVE_REGION
                                    ? R3X_TYPE_REGION_INFO_B
                                    : R3X_TYPE_REGION_INFO;
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  const std::uint32_t flags = in.U32();
  auto* ambient = static_cast<R3xLight*>(_r3xResolveObject(reader, in, in.I32(), {R3X_TYPE_LIGHT}));
  in.U32();
  const std::uint32_t proximalCount = in.U32();
  const std::uint32_t renderVertexCount = in.U32();
  const std::uint32_t faceCount = in.U32();
  const std::uint32_t obstacleCount = in.U32();
  const std::uint32_t cuttingCount = in.U32();
  const std::uint32_t visNodeCount = in.U32();
  const std::uint32_t visListCount = in.U32();
  // A render vertex count beyond the world's vertices is kept as stored worlds have it; users
  // bound it by the world's vertex count.
  if (in.failed()) {
    return nullptr;
  }
  R3xRegion* region = takeRegion(reader);
  if (region == nullptr) {
    return nullptr;
  }
  const auto regionIndex = static_cast<std::int32_t>(reader->regionsMade - 1);
  region->header.tag = tag == nullptr ? nullptr : _r3xCopyString(tag);
  region->vertices = reader->world->vertices;
  region->info = _r3xMakeRegionInfo(infoType);
  MeshParts parts{};
  bool built = (tag == nullptr || region->header.tag != nullptr) && region->info != nullptr &&
               allocateMeshParts(region, parts);
  if (built) {
    R3xMeshGeometry* geometry = parts.geometry;
    if (ambient != nullptr && r3xAddRef(&ambient->header) == 0) {
      geometry->ambient = ambient;
    }
    geometry->renderVertexCount = renderVertexCount;
    geometry->regionFog = (flags & kRegionFog) != 0 ? 1 : 0;
    geometry->encodedVisibility = (flags & kEncodedVisibility) != 0 ? 1 : 0;
    built = readProximal(reader, in, parts.obstacles, proximalCount) &&
            readFaces(reader, in, geometry, parts.obstacles, faceCount) &&
            readObstacles(reader, in, geometry, parts.obstacles, obstacleCount, cuttingCount,
                          regionIndex) &&
            allocateVisLists(in, geometry, visListCount) &&
            readVisNodes(in, geometry, visNodeCount, geometry->visListCount) &&
            readVisLists(reader, in, geometry) && readMeshTail(in, region, flags) &&
            addRegion(reader, region);
  }
  if (!built) {
    discardRegion(reader, region);
    return nullptr;
  }
  return region;
}

void* _r3xReadIndexedRegionRecord(R3xWorldReader* reader) {
  arena::ByteReader in = _r3xPayload(reader);
  const char* tag = _r3xTagName(reader, in, in.I32());
  const std::uint32_t flags = in.U32();
  auto* ambient = static_cast<R3xLight*>(_r3xResolveObject(reader, in, in.I32(), {R3X_TYPE_LIGHT}));
  const std::uint32_t vertexCount = in.U32();
  const std::uint32_t actionCount = in.U32();
  const std::uint32_t surfaceCount = in.U32();
  const std::uint32_t current = (flags & kSkyCurrentActionGiven) != 0 ? in.U32() : 0;
  const float fog = (flags & kSkyFogGiven) != 0 ? in.F32() : 0.0f;
  float sphere[4] = {};
  if ((flags & kSkySphereGiven) != 0) {
    for (float& value : sphere) {
      value = in.F32();
    }
  }
  if (!_r3xCountFits(in, vertexCount, 3 * sizeof(float)) ||
      !_r3xCountFits(in, surfaceCount, 2 * sizeof(std::uint32_t))) {
    return nullptr;
  }
  R3xRegion* region = takeRegion(reader);
  if (region == nullptr) {
    return nullptr;
  }
  region->header.tag = tag == nullptr ? nullptr : _r3xCopyString(tag);
  region->vertices = allocateArray<float>(in, vertexCount * 3);
  region->vertexCount = vertexCount;
  for (std::size_t i = 0; in.ok() && i < std::size_t{vertexCount} * 3; ++i) {
    region->vertices[i] = in.F32();
  }
  R3xAction* actions = nullptr;
  std::uint32_t levels = 0;
  R3xSurface* surfaces = in.ok() && _r3xReadActions(in, actionCount, &actions, &levels)
                             ? allocateArray<R3xSurface>(in, surfaceCount)
                             : nullptr;
  std::uint32_t surfacesRead = 0;
  while (surfaces != nullptr && surfacesRead < surfaceCount &&
         _r3xReadSurface(reader, in, &surfaces[surfacesRead], R3X_ANY_CORNERS)) {
    ++surfacesRead;
  }
  R3xIndexedGeometry* geometry =
      in.ok() ? static_cast<R3xIndexedGeometry*>(r3xMalloc(sizeof(R3xIndexedGeometry))) : nullptr;
  if (geometry == nullptr) {
    _r3xFreeActions(actions, actionCount);
    if (surfaces != nullptr) {
      _r3xFreeSurfaceUVs(surfaces, surfacesRead);
    }
    r3xFree(surfaces);
    discardRegion(reader, region);
    return nullptr;
  }
  *geometry = {R3X_TYPE_INDEXED_GEOMETRY,
               nullptr,
               actionCount,
               actions,
               static_cast<std::int32_t>(current),
               surfaceCount,
               surfaces,
               -1,
               fog};
  if (ambient != nullptr && r3xAddRef(&ambient->header) == 0) {
    geometry->ambient = ambient;
  }
  region->geometry = geometry;
  if ((flags & kSkySphereGiven) != 0) {
    region->bounds = {R3X_TYPE_VOLUME_5W, sphere[0], sphere[1], sphere[2], sphere[3]};
  } else if (vertexCount > 0) {
    boxSphere(region, region->vertices, vertexCount, nullptr, nullptr, 0);
  }
  char* userData = nullptr;
  const bool read = _r3xReadUserData(in, &userData);
  region->userData = userData;
  if (!read || !addRegion(reader, region)) {
    discardRegion(reader, region);
    return nullptr;
  }
  return region;
}
