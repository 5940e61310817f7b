// Rule actions of the region block, the visibility tree and the world tree. The grammar calls
// them in file order; each returns 0, or PAR_STOP after reporting its error with parError (the
// parse then stops). Texts and lists passed in are taken over by the call, also when it fails.
// Results: 0, or PAR_STOP (parse_result.h) after reporting the error.
#pragma once

#include <cstdint>

#include "engine/world/parse_list.h"

struct R3xParseContext;
struct R3xSurface;
struct R3xParsedActionList;
struct R3xMeshGeometry;

// Working state of the region block being parsed, kept in the parse context; freed at the end
// of the parse either way.
struct R3xRegionWork;
void parFreeRegionWork(R3xParseContext* context);

// NUMREGIONS N: the region array and the world's region word array; the counter starts at 1.
std::int32_t parBeginRegionBlock(R3xParseContext* context, std::int32_t count);
// After the last region of the block: "NUMREGIONS is invalid" unless N regions came.
std::int32_t parEndRegionBlock(R3xParseContext* context);

// REGION (dynamic information type 39) or ACTIVEGEOMETRYREGION (41) right after its REGIONTAG:
// takes the next record and makes it the current region. Takes the tag.
std::int32_t parBeginRegion(R3xParseContext* context, std::int32_t infoType, char* tag);
// AMBIENTLIGHT name of a region or sky region: a new light from that light definition.
// Takes the name.
std::int32_t parSetRegionAmbientLight(R3xParseContext* context, char* name);
// NUMPROXIMALREGIONS N, each PROXIMALREGION n d, and the end of the list (count check).
std::int32_t parBeginProximalRegions(R3xParseContext* context, std::int32_t count);
std::int32_t parAddProximalRegion(R3xParseContext* context, std::int32_t region, float distance);
std::int32_t parEndProximalRegions(R3xParseContext* context);
// NUMRENDERVERTICES: the region's vertices are the world's shared array.
std::int32_t parSetRenderVertexCount(R3xParseContext* context, std::int32_t count);
// NUMWALLS N; each WALL; after the walls: count check and the mesh geometry.
std::int32_t parBeginWalls(R3xParseContext* context, std::int32_t count);
// A wall: floor flag, the NORMALABCD plane (zeros when absent), the VERTEXLIST numbers
// (std::int32_t, 1-based, already checked against the wall's NUMVERTICES) and its surface, whose
// fields (and UV array) the face takes over.
std::int32_t parAddWall(R3xParseContext* context, std::int32_t floor, const float plane[4],
                        R3xParseList* vertexNumbers, R3xSurface* surface);
std::int32_t parEndWalls(R3xParseContext* context);
// NUMOBSTACLES N NUMCUTTINGOBSTACLES C: the obstacle array; after the obstacles: count check.
std::int32_t parBeginObstacles(R3xParseContext* context, std::int32_t count,
                               std::int32_t cuttingCount);
std::int32_t parEndObstacles(R3xParseContext* context);
// VISTREE NUMVISNODE n NUMVISLIST m; each VISNODE; each VISIBLELIST with RANGE r and its region
// numbers; ENDVISTREE (count checks; lists and nodes go into the geometry at the region's end).
std::int32_t parBeginVisTree(R3xParseContext* context, std::int32_t nodeCount,
                             std::int32_t listCount);
std::int32_t parAddVisNode(R3xParseContext* context, const float plane[4], std::int32_t listIndex,
                           std::int32_t front, std::int32_t back);
// The region numbers (std::int32_t, 1-based) of one VISIBLELIST, not yet checked against RANGE.
std::int32_t parAddVisibleList(R3xParseContext* context, std::int32_t range,
                               R3xParseList* regionNumbers);
std::int32_t parEndVisTree(R3xParseContext* context);
// At the region's end, when ENCODEDVISIBILITY is known: a plain list's entries must name regions
// of the block; a coded list's are run codes and stand as they are.
std::int32_t parCheckVisibleRegions(R3xParseContext* context, const R3xMeshGeometry* geometry);

// The tail of a REGION or ACTIVEGEOMETRYREGION body up to ENDREGION.
struct R3xRegionTail {
  std::int32_t encodedVisibility;
  std::int32_t regionFog;
  std::int32_t sphereGiven;
  // x, y, z, radius.
  float sphere[4];
  std::int32_t gouraud;
  // Owned, or null.
  char* userData;
};
// ENDREGION: steps 6 to 9 of the region block; registers the region with parAddRegionToWorld.
std::int32_t parEndRegion(R3xParseContext* context, R3xRegionTail* tail);

// SKYREGION right after its REGIONTAG. Takes the tag.
std::int32_t parBeginSkyRegion(R3xParseContext* context, char* tag);
// NUMREGIONVERTEX N and its XYZ list (xyz triples, float; count already checked).
std::int32_t parSetSkyRegionVertices(R3xParseContext* context, R3xParseList* vertices);
// The tail of a sky region: its action list (taken), CURRENTACTION (0 when absent), FOGDISTANCE
// (given or not), SPHERE and user data.
struct R3xSkyRegionTail {
  std::int32_t currentActionGiven;
  std::int32_t currentAction;
  std::int32_t fogGiven;
  float fogDistance;
  std::int32_t sphereGiven;
  float sphere[4];
  char* userData;
};
std::int32_t parEndSkyRegion(R3xParseContext* context, R3xParsedActionList* actions,
                             R3xSkyRegionTail* tail);

// WORLDTREE NUMWORLDNODES N; each WORLDNODE; ENDWORLDTREE (count check, the world's BSP root).
std::int32_t parBeginWorldTree(R3xParseContext* context, std::int32_t count);
std::int32_t parAddWorldNode(R3xParseContext* context, const float plane[4], std::int32_t regionTag,
                             std::int32_t front, std::int32_t back);
std::int32_t parEndWorldTree(R3xParseContext* context);
