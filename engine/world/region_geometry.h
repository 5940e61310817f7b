// The geometry records of regions as the world-file loaders build them, and the computations
// on them: bounding spheres, vertex normals and the registration of a finished region.
// Results: records or null; 0 or PAR_STOP (parse_result.h).
#pragma once

#include <cstdint>

struct R3xParseContext;
struct R3xRegion;
struct R3xLight;
struct R3xAction;
struct R3xSurface;
struct R3xRegionFace;
struct R3xMeshGeometry;
struct R3xIndexedGeometry;

// Mesh geometry over the faces (taken over), referencing the ambient light (null allowed).
// Null when out of memory.
R3xMeshGeometry* parCreateMeshGeometry(std::uint32_t faceCount, R3xRegionFace* faces,
                                       std::uint32_t renderVertexCount, R3xLight* ambient);
// Indexed geometry over the actions and surfaces (taken over), referencing the ambient light.
// Null when out of memory.
R3xIndexedGeometry* parCreateIndexedGeometry(std::uint32_t actionCount, R3xAction* actions,
                                             std::int32_t currentAction, std::uint32_t surfaceCount,
                                             R3xSurface* surfaces, R3xLight* ambient,
                                             float fogDistance);

// The box sphere of the region's own vertices. 0, or PAR_STOP after its message.
std::int32_t CreateBoundingSphere(R3xParseContext* context, R3xRegion* region);
// One normal per render vertex that the world has: the sum of the planes of the faces that
// use it, normalised when more than one face does. 0, or PAR_STOP after its message.
std::int32_t parBuildRegionVertexNormals(R3xParseContext* context, R3xMeshGeometry* geometry);
// Registers the region and enters its tag, which no object may hold yet. 0, or PAR_STOP after its
// message.
std::int32_t parAddRegionToWorld(R3xParseContext* context, R3xRegion* region);
