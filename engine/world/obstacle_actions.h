// Rule actions of the OBSTACLE statement and the edge-polygon builder of polyhedron faces.
// Each returns 0, or PAR_STOP after reporting its error with parError.
// Results: 0, or PAR_STOP (parse_result.h) after reporting the error.
#pragma once

#include <cstdint>

#include "engine/world/parse_list.h"

struct R3xParseContext;
struct R3xEdgePolygon;

// One OBSTACLE statement as the grammar read it.
struct R3xParsedObstacle {
  std::int32_t cutting;
  // The keyword's kind, R3X_OBSTACLE_XY_VERTEX ... R3X_OBSTACLE_EDGEWALL.
  std::int32_t kind;
  // The integer after the keyword ("other regions no longer supported" unless 0).
  std::int32_t regionField;
  // The vertex or face numbers (std::int32_t, 1-based); for EDGEPOLYGON the VERTEXLIST, not yet
  // checked against its NUMVERTICES.
  R3xParseList numbers;
  // EDGEPOLYGON only: NUMVERTICES, and NORMALABCD (zeros when absent).
  std::int32_t declaredVertices;
  float plane[4];
  std::int32_t nextRegion;
  std::int32_t floor;
  // Owned, or null.
  char* userData;
  // Where the numbers of the one- and two-number kinds live (numbers.data points here), so
  // those, most obstacles, need no block of their own; parFreeObstacleNumbers knows.
  std::int32_t fewNumbers[2];
};

// Frees the obstacle's numbers unless they are its own fewNumbers, and clears the list.
void parFreeObstacleNumbers(R3xParsedObstacle* obstacle);

// Appends the obstacle to the current region's obstacle array and fills it with
// parCreateObstacle. Takes the numbers list and the user data.
std::int32_t parAddObstacle(R3xParseContext* context, R3xParsedObstacle* obstacle);

// The edge polygon of a polyhedron face over the face's 0-based indexes into vertices
// (vertexCount xyz triples); plane is used when set, else computed.
std::int32_t CreateEdgePolygon(R3xParseContext* context, R3xEdgePolygon* polygon,
                               const R3xParseList* indexes, const float* vertices,
                               std::uint32_t vertexCount, const float plane[4]);
