// The rotation matrices of an actor, rebuilt from its angles when its transform is dirty.
// Results: R3X_DONE.
#pragma once

#include <cstdint>

struct R3xActor;
struct R3xPlacement;

// From the table entries at trunc(angle) & 511 of the placement's heading, pitch and roll: the
// rotation (as r3xAnglesToMatrix), its copy times the scale and the transpose divided by the
// scale. Invalidates the display cache and clears R3X_FLAG_TRANSFORM_DIRTY. Returns R3X_DONE.
std::int32_t r3xBuildObjectRotation(R3xActor* object, float scale, const R3xPlacement* placement);
