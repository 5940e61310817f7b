#include "engine/world/obstacle_actions.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "engine/core/math_plane.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/obstacle.h"
#include "engine/core/obstacle_internal.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_result.h"
#include "engine/world/region_work.h"

namespace {

// How many vertex or face numbers each kind takes; an edge polygon takes its NUMVERTICES.
std::uint32_t numbersOfKind(std::int32_t kind) {
  switch (kind) {
    case R3X_OBSTACLE_XY_LINE:
    case R3X_OBSTACLE_XY_EDGE:
    case R3X_OBSTACLE_XYZ_EDGE:
      return 2;
    default:
      return 1;
  }
}

bool planeIsSet(const float plane[4]) {
  // -0.0 compares equal to 0.
  return plane[0] != 0 || plane[1] != 0 || plane[2] != 0 || plane[3] != 0;
}

bool planeIsFinite(const R3xEdgePolygon& polygon) {
  return std::isfinite(polygon.normal[0]) && std::isfinite(polygon.normal[1]) &&
         std::isfinite(polygon.normal[2]) && std::isfinite(polygon.distance);
}

std::int32_t axisCode(const float* normal) {
  const float a = std::fabs(normal[0]);
  const float b = std::fabs(normal[1]);
  const float c = std::fabs(normal[2]);
  if (a >= b && a >= c) {
    return R3X_AXIS_CODE_X;
  }
  if (b >= a && b >= c) {
    return R3X_AXIS_CODE_Y;
  }
  return R3X_AXIS_CODE_Z;
}

float distance3(const float* a, const float* b) {
  const float dx = b[0] - a[0];
  const float dy = b[1] - a[1];
  const float dz = b[2] - a[2];
  return r3xSqrt(dx * dx + dy * dy + dz * dz);
}

R3xXYZEdge makeEdge(float* first, float* second) {
  return {R3X_TYPE_XYZ_EDGE, first, second, distance3(first, second)};
}

// The region's vertices and faces that obstacles may name.
struct RegionArrays {
  float* vertices;
  std::uint32_t vertexCount;
  R3xMeshGeometry* mesh;
};

std::int32_t number(const R3xParsedObstacle& parsed, std::uint32_t index) {
  return *static_cast<const std::int32_t*>(parListAt(&parsed.numbers, index));
}

// The vertex with that 1-based number, or null after its message.
float* vertexAt(R3xParseContext* context, const RegionArrays& arrays, std::int32_t n) {
  if (n < 1 || static_cast<std::uint32_t>(n) > arrays.vertexCount || arrays.vertices == nullptr) {
    parError(context, "obstacle vertex %d is out of range", n);
    return nullptr;
  }
  return arrays.vertices + 3 * std::size_t(n - 1);
}

// The face with that 1-based number, or null after its message.
const R3xRegionFace* faceAt(R3xParseContext* context, const RegionArrays& arrays, std::int32_t n) {
  if (n < 1 || static_cast<std::uint32_t>(n) > arrays.mesh->faceCount) {
    parError(context, "obstacle face %d is out of range", n);
    return nullptr;
  }
  return &arrays.mesh->faces[n - 1];
}

std::int32_t createLine(R3xParseContext* context, const RegionArrays& arrays,
                        const R3xParsedObstacle& parsed, R3xObstacle* obstacle) {
  auto* line = static_cast<R3xXYLine*>(r3xMalloc(sizeof(R3xXYLine)));
  if (line == nullptr) {
    parError(context, "could not allocate Edge");
    return PAR_STOP;
  }
  obstacle->geometry = line;
  float* a = vertexAt(context, arrays, number(parsed, 0));
  float* b = a == nullptr ? nullptr : vertexAt(context, arrays, number(parsed, 1));
  if (b == nullptr) {
    return PAR_STOP;
  }
  const float dx = b[0] - a[0];
  const float dy = b[1] - a[1];
  const float length = r3xSqrt(dx * dx + dy * dy);
  line->type = parsed.kind == R3X_OBSTACLE_XY_LINE ? R3X_TYPE_XY_LINE : R3X_TYPE_XY_EDGE;
  if (length > 0) {
    line->nx = dy / length;
    line->ny = -dx / length;
  } else {
    // Stored worlds hold lines through one point: they get the precompiled reader's reciprocal
    // length 1, so both forms load the same record and nothing divides by the zero length.
    line->nx = dy;
    line->ny = -dx;
  }
  line->offset = -(line->nx * b[0] + line->ny * b[1]);
  line->first = a;
  line->second = b;
  line->length = length;
  return 0;
}

std::int32_t createEdge(R3xParseContext* context, const RegionArrays& arrays,
                        const R3xParsedObstacle& parsed, R3xObstacle* obstacle) {
  auto* edge = static_cast<R3xXYZEdge*>(r3xMalloc(sizeof(R3xXYZEdge)));
  if (edge == nullptr) {
    parError(context, "could not allocate Edge");
    return PAR_STOP;
  }
  obstacle->geometry = edge;
  float* a = vertexAt(context, arrays, number(parsed, 0));
  float* b = a == nullptr ? nullptr : vertexAt(context, arrays, number(parsed, 1));
  if (b == nullptr) {
    return PAR_STOP;
  }
  // Its length may be 0: stored worlds hold edges whose two vertices are one point.
  *edge = makeEdge(a, b);
  return 0;
}

std::int32_t createPlane(R3xParseContext* context, const RegionArrays& arrays,
                         const R3xParsedObstacle& parsed, R3xObstacle* obstacle) {
  auto* plane = static_cast<R3xPlane*>(r3xMalloc(sizeof(R3xPlane)));
  if (plane == nullptr) {
    parError(context, "could not allocate Plane");
    return PAR_STOP;
  }
  obstacle->geometry = plane;
  if (arrays.mesh == nullptr) {
    parError(context, "Plane obstacle encountered in region of wrong type");
    return PAR_STOP;
  }
  const R3xRegionFace* face = faceAt(context, arrays, number(parsed, 0));
  if (face == nullptr) {
    return PAR_STOP;
  }
  *plane = {R3X_TYPE_PLANE, face->polygon.normal[0], face->polygon.normal[1],
            face->polygon.normal[2], face->polygon.distance};
  return 0;
}

R3xEdgePolygon* allocatePolygon(R3xParseContext* context, R3xObstacle* obstacle) {
  auto* polygon = static_cast<R3xEdgePolygon*>(r3xMalloc(sizeof(R3xEdgePolygon)));
  if (polygon == nullptr) {
    parError(context, "could not allocate EdgePolygon");
    return nullptr;
  }
  polygon->type = R3X_TYPE_EDGE_POLYGON;
  obstacle->geometry = polygon;
  return polygon;
}

R3xXYZEdge* allocateEdges(R3xParseContext* context, R3xEdgePolygon* polygon, std::uint32_t count) {
  polygon->edges = static_cast<R3xXYZEdge*>(r3xMalloc(std::size_t{count} * sizeof(R3xXYZEdge)));
  if (polygon->edges == nullptr) {
    parError(context, "edge list is NULL");
    return nullptr;
  }
  polygon->edgeCount = static_cast<std::int32_t>(count);
  return polygon->edges;
}

std::int32_t parCreateEdgePolygonObstacle(R3xParseContext* context, const RegionArrays& arrays,
                                          const R3xParsedObstacle& parsed, R3xObstacle* obstacle) {
  R3xEdgePolygon* polygon = allocatePolygon(context, obstacle);
  if (polygon == nullptr) {
    return PAR_STOP;
  }
  const std::uint32_t k = parListCount(&parsed.numbers);
  if (k < 3) {
    parError(context, "invalid number of vertices in polygon");
    return PAR_STOP;
  }
  if (allocateEdges(context, polygon, k) == nullptr) {
    return PAR_STOP;
  }
  for (std::uint32_t i = 0; i < k; ++i) {
    if (vertexAt(context, arrays, number(parsed, i)) == nullptr) {
      return PAR_STOP;
    }
  }
  for (std::uint32_t i = 0; i < k; ++i) {
    polygon->edges[i] = makeEdge(vertexAt(context, arrays, number(parsed, i)),
                                 vertexAt(context, arrays, number(parsed, (i + 1) % k)));
  }
  if (planeIsSet(parsed.plane)) {
    std::memcpy(polygon->normal, parsed.plane, 3 * sizeof(float));
    polygon->distance = parsed.plane[3];
  } else if (r3xEdgePolygonPlane(polygon) < 0 || !planeIsFinite(*polygon)) {
    parError(context, "could not calculate normal");
    return PAR_STOP;
  }
  polygon->axisCode = axisCode(polygon->normal);
  return 0;
}

std::int32_t parCreateEdgeWallObstacle(R3xParseContext* context, const RegionArrays& arrays,
                                       const R3xParsedObstacle& parsed, R3xObstacle* obstacle) {
  obstacle->kind = R3X_OBSTACLE_EDGEPOLYGON;
  R3xEdgePolygon* polygon = allocatePolygon(context, obstacle);
  if (polygon == nullptr) {
    return PAR_STOP;
  }
  if (arrays.mesh == nullptr) {
    parError(context, "Edge wall obstacle encountered in region of wrong type");
    return PAR_STOP;
  }
  const R3xRegionFace* face = faceAt(context, arrays, number(parsed, 0));
  if (face == nullptr) {
    return PAR_STOP;
  }
  // Stored worlds hold edge walls over faces of fewer than three vertices (none, even): the
  // polygon then has that many edges, and with the face's plane it needs no corners of its own.
  const R3xIndexedPolygon& source = face->polygon;
  const auto k = static_cast<std::uint32_t>(source.vertexCount);
  if (k > 0 && allocateEdges(context, polygon, k) == nullptr) {
    return PAR_STOP;
  }
  for (std::uint32_t i = 0; i < k; ++i) {
    polygon->edges[i] =
        makeEdge(source.vertices + 3 * std::size_t(source.vertexIndexes[i]),
                 source.vertices + 3 * std::size_t(source.vertexIndexes[(i + 1) % k]));
  }
  std::memcpy(polygon->normal, source.normal, sizeof polygon->normal);
  polygon->distance = source.distance;
  polygon->axisCode = axisCode(polygon->normal);
  return 0;
}

// Fills one obstacle of the current region from the parsed statement.
std::int32_t parCreateObstacle(R3xParseContext* context, R3xParsedObstacle* parsed,
                               R3xObstacle* obstacle) {
  const R3xRegion* region = parCurrentRegion(context);
  obstacle->type = R3X_TYPE_OBSTACLE;
  obstacle->kind = parsed->kind;
  obstacle->flags = (parsed->floor != 0 ? R3X_OBSTACLE_FLOOR : 0) |
                    (parsed->cutting != 0 ? R3X_OBSTACLE_CUTTING : 0);
  obstacle->userData = parsed->userData;
  parsed->userData = nullptr;
  if (parsed->regionField != 0) {
    parError(context, "other regions no longer supported");
    return PAR_STOP;
  }
  const R3xRegionWork* work = context->regionWork;
  if (parsed->nextRegion == 0) {
    obstacle->neighbour = context->currentRegionNumber - 1;
    obstacle->neighbourGiven = 0;
  } else if (parsed->nextRegion >= 1 &&
             static_cast<std::uint32_t>(parsed->nextRegion) <= work->regionCount) {
    obstacle->neighbour = parsed->nextRegion - 1;
    obstacle->neighbourGiven = -1;
  } else {
    parError(context, "NEXTREGION %d is out of range", parsed->nextRegion);
    return PAR_STOP;
  }
  const RegionArrays arrays{region->vertices, context->currentVertexCount,
                            _r3xMeshGeometry(region)};
  switch (parsed->kind) {
    case R3X_OBSTACLE_XY_VERTEX:
    case R3X_OBSTACLE_XYZ_VERTEX:
      obstacle->geometry = vertexAt(context, arrays, number(*parsed, 0));
      return obstacle->geometry == nullptr ? 1 : 0;
    case R3X_OBSTACLE_XY_LINE:
    case R3X_OBSTACLE_XY_EDGE:
      return createLine(context, arrays, *parsed, obstacle);
    case R3X_OBSTACLE_XYZ_EDGE:
      return createEdge(context, arrays, *parsed, obstacle);
    case R3X_OBSTACLE_PLANE:
      return createPlane(context, arrays, *parsed, obstacle);
    case R3X_OBSTACLE_EDGEPOLYGON:
      return parCreateEdgePolygonObstacle(context, arrays, *parsed, obstacle);
    case R3X_OBSTACLE_EDGEWALL:
      return parCreateEdgeWallObstacle(context, arrays, *parsed, obstacle);
    default:
      parError(context, "bad obstacle type");
      return PAR_STOP;
  }
}

}  // namespace

void _parFreeObstacles(R3xParseList* obstacles) {
  if (parListCount(obstacles) == 0) {
    parListFree(obstacles);
    return;
  }
  auto* holder = static_cast<R3xObstacleList*>(r3xMalloc(sizeof(R3xObstacleList)));
  if (holder != nullptr) {
    holder->obstacleCount = parListCount(obstacles);
    holder->obstacles = static_cast<R3xObstacle*>(parListDetach(obstacles));
    _r3xFreeObstacleList(holder);
  }
  parListFree(obstacles);
}

std::int32_t parAddObstacle(R3xParseContext* context, R3xParsedObstacle* obstacle) {
  std::int32_t result = PAR_STOP;
  R3xRegionWork* work = context->regionWork;
  const std::uint32_t count = parListCount(&obstacle->numbers);
  const R3xObstacle blank{};
  if (parCurrentRegion(context) == nullptr || work == nullptr) {
    parError(context, "no current region");
  } else if (obstacle->kind == R3X_OBSTACLE_EDGEPOLYGON &&
             (obstacle->declaredVertices < 0 ||
              static_cast<std::uint32_t>(obstacle->declaredVertices) != count)) {
    parError(context, "NUMVERTICES is invalid");
  } else if (obstacle->kind != R3X_OBSTACLE_EDGEPOLYGON && count != numbersOfKind(obstacle->kind)) {
    // The language gives each kind its own number of integers.
    parError(context, "parser: %s", "Syntax error");
  } else if (parListAppend(&work->obstacles, &blank) != 0) {
    parError(context, "out of memory");
  } else {
    auto* record =
        static_cast<R3xObstacle*>(parListAt(&work->obstacles, parListCount(&work->obstacles) - 1));
    result = parCreateObstacle(context, obstacle, record);
  }
  parFreeObstacleNumbers(obstacle);
  r3xFree(obstacle->userData);
  obstacle->userData = nullptr;
  return result;
}

void parFreeObstacleNumbers(R3xParsedObstacle* obstacle) {
  if (obstacle->numbers.data == obstacle->fewNumbers) {
    parListDetach(&obstacle->numbers);
  } else {
    parListFree(&obstacle->numbers);
  }
}

std::int32_t CreateEdgePolygon(R3xParseContext* context, R3xEdgePolygon* polygon,
                               const R3xParseList* indexes, const float* vertices,
                               std::uint32_t vertexCount, const float plane[4]) {
  const std::uint32_t k = parListCount(indexes);
  polygon->type = R3X_TYPE_EDGE_POLYGON;
  for (std::uint32_t i = 0; i < k; ++i) {
    const std::int32_t index = *static_cast<const std::int32_t*>(parListAt(indexes, i));
    if (index < 0 || static_cast<std::uint32_t>(index) >= vertexCount) {
      parError(context, "CreateEdgePolygon: index out of range");
      return PAR_STOP;
    }
  }
  if (k > 0 && allocateEdges(context, polygon, k) == nullptr) {
    return PAR_STOP;
  }
  // The edges keep pointers to the definition's vertices, which collision only reads.
  auto* corners = const_cast<float*>(vertices);
  const auto corner = [&](std::uint32_t i) {
    return corners + 3 * std::size_t(*static_cast<const std::int32_t*>(parListAt(indexes, i)));
  };
  for (std::uint32_t i = 0; i < k; ++i) {
    polygon->edges[i] = makeEdge(corner(i), corner((i + 1) % k));
  }
  if (plane != nullptr && planeIsSet(plane)) {
    std::memcpy(polygon->normal, plane, 3 * sizeof(float));
    polygon->distance = plane[3];
  } else if (r3xEdgePolygonPlane(polygon) < 0 || !planeIsFinite(*polygon)) {
    parError(context, "CreateEdgePolygon: could not calculate normal");
    return PAR_STOP;
  }
  polygon->axisCode = axisCode(polygon->normal);
  return 0;
}
