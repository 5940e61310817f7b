// The references that actors and their definitions hold on their parts, and the teardown that an
// actor and a definition's default actor share.
// Results: 0 or a negative R3X_ERR_ code; the check gives true or false.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xActor;
struct R3xObjectHeader;

// True for the null part and the simple, 2D and 3D sprites.
bool _r3xIsActorPartType(const R3xObjectHeader* part);

// Takes one reference on each part of the table, from the last to the first, after turning
// null entries into the null part; a static definition also marks its 3D sprite parts static.
// 0, or R3X_ERR_BAD_PART_TYPE with every reference taken here given back.
std::int32_t _r3xReferenceActorParts(R3xObjectHeader** parts, std::uint32_t count,
                                     bool staticDefinition);

// Gives back one part's reference and, with destroy set, destroys the part when nothing else
// uses it. 0, or R3X_ERR_BAD_PART_TYPE for a part of another type (nothing done).
std::int32_t _r3xReleaseActorPart(R3xWorld* world, R3xObjectHeader* part, bool destroy);

// Takes the object out of the dictionary when it is entered, unregisters it and frees its tag.
// The unregistration result.
std::int32_t _r3xUnregisterActorObject(R3xWorld* world, R3xObjectHeader* object);

// Frees what an actor owns once it is out of the world and its regions: its lamp, each part
// (released and destroyed when unused), both volumes, its caches, region list and part table,
// and the record. 0, or R3X_ERR_BAD_PART_TYPE when a part of another type was met.
std::int32_t _r3xFreeActorRecord(R3xWorld* world, R3xActor* actor);
