// Regions: the convex leaves of the world's BSP tree, each with its face geometry, its collision
// obstacles and the objects and lights that reach it. The world loaders build all regions of a
// world in one block and register them in order, so a region's slot is its index.
// Results: regions or null; 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/core/math_plane.h"
#include "engine/core/object.h"
#include "engine/core/surface.h"
#include "engine/core/volume.h"

struct R3xWorld;
struct R3xLight;
struct R3xAction;
struct R3xObstacleList;
struct R3xVisData;

// One wall of a region: its surface and its polygon over the world's vertex array.
struct R3xRegionFace {
  // Owns its UV array.
  R3xSurface surface;
  // Owns its vertex index array.
  R3xIndexedPolygon polygon;
};

// The regions visible through one cell of a region's visibility tree.
struct R3xVisibleList {
  std::uint32_t count;
  // Region indexes: owned, or pointing into the geometry's visibility data.
  std::uint16_t* regions;
};

struct R3xVisNode {
  float plane[4];
  R3xVisNode* front;
  R3xVisNode* back;
  R3xVisibleList* list;
};

// R3X_TYPE_MESH_GEOMETRY: the walls of an ordinary region.
struct R3xMeshGeometry {
  std::int32_t type;
  // Referenced, or null.
  R3xLight* ambient;
  // As the world file declares it; it may exceed the world's vertices.
  std::uint32_t renderVertexCount;
  // Owned xyz triples, one per render vertex that the world has (vertexNormalCount of them),
  // or null.
  float* vertexNormals;
  std::uint32_t vertexNormalCount;
  std::uint32_t faceCount;
  // Owned.
  R3xRegionFace* faces;
  std::uint32_t visListCount;
  // Owned.
  R3xVisibleList* visLists;
  std::uint32_t visNodeCount;
  // Owned.
  R3xVisNode* visNodes;
  // Referenced when the visible lists point into it, else null.
  R3xVisData* visData;
  std::int32_t regionFog;
  std::int32_t encodedVisibility;
};

// R3X_TYPE_INDEXED_GEOMETRY: the model of a sky region.
struct R3xIndexedGeometry {
  std::int32_t type;
  // Referenced, or null.
  R3xLight* ambient;
  std::uint32_t actionCount;
  // Owned, with each action's levels.
  R3xAction* actions;
  // As the world file gives it, which may lie outside the actions (stored worlds hold such
  // skies): whoever draws the sky bounds it by actionCount first.
  std::int32_t currentAction;
  std::uint32_t surfaceCount;
  // Owned, with their UV arrays.
  R3xSurface* surfaces;
  std::int32_t unused;
  float fogDistance;
};

// One object (an actor) whose bounding sphere reaches a region.
struct R3xObjectEntry {
  // The actor's slot.
  std::int32_t object;
  // The depths below the root of the planes the sphere straddled on its way to the region,
  // deepest first.
  std::uint32_t pathCount;
  std::uint32_t pathCapacity;
  // Owned.
  std::uint32_t* path;
};

// R3X_TYPE_REGION_INFO or R3X_TYPE_REGION_INFO_B: what reaches a region as the world changes.
struct R3xRegionInfo {
  std::int32_t type;
  std::uint32_t objectCount;
  std::uint32_t objectCapacity;
  // Owned.
  R3xObjectEntry* objects;
  std::uint32_t lightCount;
  std::uint32_t lightCapacity;
  // Owned array of point and directional lights: directional ones first, newest first, then
  // point lights in the order they came.
  R3xObjectHeader** lights;
  // Kept for the loaders, never interpreted.
  std::uint32_t loaderWords[9];
};

// R3X_TYPE_REGION. The header's reference count is not used.
struct R3xRegion {
  R3xObjectHeader header;
  R3xCentredSphereVolume bounds;
  std::uint32_t vertexCount;
  // The world's vertex array for a region with mesh geometry; a region with indexed geometry
  // (a sky region) owns its own vertices.
  float* vertices;
  // Owned R3xMeshGeometry or R3xIndexedGeometry (each starts with its type), or null.
  void* geometry;
  // Owned, or null for a region without obstacles.
  R3xObstacleList* obstacles;
  // Owned, or null for a region that nothing is linked into.
  R3xRegionInfo* info;
  // Owned, or null.
  void* userData;
};

// The region with that index, or null when the world holds none there.
R3xRegion* r3xGetRegion(const R3xWorld* world, std::int32_t index);

// Gives the region's geometry a new ambient light (null allowed), referencing it and releasing
// the old one. 0, or R3X_ERR_FAILED for a region without mesh or indexed geometry.
std::int32_t r3xSetRegionAmbient(R3xRegion* region, R3xLight* light);

// Frees everything the region owns (not the record itself, which lies in the world's region
// block) and removes its tag. 0.
std::int32_t r3xDestroyRegionData(R3xWorld* world, R3xRegion* region);
