// The readers of the precompiled world's record types and the references between records.
// Each reader reads the record's payload from the reader's payload buffer and returns the
// object made (what later references to the record resolve to), or null when the payload is
// malformed or the object cannot be made; what it allocated is then freed.
// Results: the object made, or null.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "base/byte_reader.h"
#include "engine/core/bitmap.h"

struct R3xWorldReader;
struct R3xSurface;
struct R3xEdgePolygon;
struct R3xVolume;
struct R3xAction;
struct R3xPlacement;

// The record type whose regions get the second kind of dynamic information.
inline constexpr std::uint32_t R3X_RECORD_ACTIVE_REGION = 35;

void* _r3xReadPaletteFileRecord(R3xWorldReader* reader);
void* _r3xReadWorldStringRecord(R3xWorldReader* reader);
void* _r3xReadBitmapRecord(R3xWorldReader* reader);
void* _r3xReadSimpleSpriteDefRecord(R3xWorldReader* reader);
void* _r3xReadSimpleSpriteRecord(R3xWorldReader* reader);
void* _r3xRead2DSpriteDefRecord(R3xWorldReader* reader);
void* _r3xRead2DSpriteRecord(R3xWorldReader* reader);
void* _r3xRead3DSpriteDefRecord(R3xWorldReader* reader);
void* _r3xRead3DSpriteRecord(R3xWorldReader* reader);
void* _r3xReadActorDefRecord(R3xWorldReader* reader);
void* _r3xReadActorRecord(R3xWorldReader* reader);
void* _r3xReadSphereVolumeRecord(R3xWorldReader* reader);
void* _r3xReadPolyhedronDefRecord(R3xWorldReader* reader);
void* _r3xReadPolyhedronRecord(R3xWorldReader* reader);
void* _r3xReadSphereListDefRecord(R3xWorldReader* reader);
void* _r3xReadSphereListRecord(R3xWorldReader* reader);
void* _r3xReadLightDefRecord(R3xWorldReader* reader);
void* _r3xReadLightRecord(R3xWorldReader* reader);
void* _r3xReadPointLightRecord(R3xWorldReader* reader);
void* _r3xReadWorldNodesRecord(R3xWorldReader* reader);
void* _r3xReadMeshRegionRecord(R3xWorldReader* reader);
void* _r3xReadIndexedRegionRecord(R3xWorldReader* reader);
void* _r3xReadDirectionalLightRecord(R3xWorldReader* reader);
void* _r3xReadRegionPointLightRecord(R3xWorldReader* reader);
void* _r3xReadAmbientLightRecord(R3xWorldReader* reader);
void* _r3xReadStaticDirectionalLightRecord(R3xWorldReader* reader);
void* _r3xReadVertexArrayRecord(R3xWorldReader* reader);

// The payload of the record being read.
arena::ByteReader _r3xPayload(const R3xWorldReader* reader);

// True when count items of itemBytes each still fit in the payload; otherwise fails the
// reader, so that no count is used before it is known to be backed by bytes.
bool _r3xCountFits(arena::ByteReader& in, std::uint64_t count, std::uint64_t itemBytes);

// An object reference: null for 0; record k's object for k >= 1 when k is an earlier record
// whose object has one of the types; for -n the object named by the name at offset n of the
// name block when it has one of the types. Anything else fails the reader and gives null.
void* _r3xResolveObject(R3xWorldReader* reader, arena::ByteReader& in, std::int32_t reference,
                        std::initializer_list<std::int32_t> types);
// A bitmap reference as the bitmap's handle; null for 0 or after failing the reader.
R3xBitmapHandle _r3xResolveBitmap(R3xWorldReader* reader, arena::ByteReader& in,
                                  std::int32_t reference);
// A volume reference: 0 gives emptyVolume (the shared type-0 record, or null where a volume is
// optional). Fails the reader for anything that is not a volume.
R3xVolume* _r3xResolveVolume(R3xWorldReader* reader, arena::ByteReader& in, std::int32_t reference,
                             R3xVolume* emptyVolume);
// After a record took a volume over or destroyed it: no later reference can reach it.
void _r3xForgetVolume(R3xWorldReader* reader, R3xVolume* volume);
// A tag field: null for 0, the name at offset n of the name block for -n. Positive values and
// names outside the block fail the reader.
const char* _r3xTagName(R3xWorldReader* reader, arena::ByteReader& in, std::int32_t field);
// Names an instance made by a record with a nonzero tag field; failures are ignored.
void _r3xTagInstance(R3xWorldReader* reader, R3xObjectHeader* object, const char* tag);

// n scrambled bytes as an owned NUL-terminated string, or null (reader failed, or no memory).
char* _r3xReadScrambledText(arena::ByteReader& in, std::uint32_t n);
// u32 n and n scrambled bytes of user data: an owned NUL-terminated copy, or null for n = 0.
// False when the bytes are not there or memory runs out.
bool _r3xReadUserData(arena::ByteReader& in, char** out);

// The surface encoding into *surface (its UV array owned by it); false with nothing owned. A
// UV array must hold one pair per corner of the surface's polygon (corners), since drawers read
// that many; R3X_ANY_CORNERS for a surface without a polygon.
inline constexpr std::uint32_t R3X_ANY_CORNERS = 0xFFFFFFFFu;
bool _r3xReadSurface(R3xWorldReader* reader, arena::ByteReader& in, R3xSurface* surface,
                     std::uint32_t corners);
// An edge polygon over vertices (vertexCount xyz triples): u32 k, k indexes and, when
// planeGiven, 4 floats; the plane computed otherwise. False with nothing owned.
bool _r3xReadEdgePolygon(arena::ByteReader& in, float* vertices, std::uint32_t vertexCount,
                         bool planeGiven, R3xEdgePolygon* polygon);
// A region face's or obstacle's edge polygon over the given vertex indexes.
bool _r3xBuildEdgePolygon(float* vertices, const std::int32_t* indexes, std::uint32_t k,
                          R3xEdgePolygon* polygon);
// actionCount actions of the level-of-detail encoding: an owned action array with the running
// part index; the part count is the number of levels. False with nothing owned.
bool _r3xReadActions(arena::ByteReader& in, std::uint32_t actionCount, R3xAction** actions,
                     std::uint32_t* partCount);
void _r3xFreeActions(R3xAction* actions, std::uint32_t count);
void _r3xReadPlacement(arena::ByteReader& in, R3xPlacement* placement);
