// Choosing the level of detail an actor shows to a viewer.
// Results: a part index (a value); no failure.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xActor;

// The part index of the current action's level for the viewer's position (3 floats): the first
// level whose upper squared distance reaches the viewer's. A level once shown is kept while the
// viewer stays beyond its switch-back distance. The choice is remembered as the part shown. The
// world is not used.
std::int32_t r3xChooseActorLod(R3xWorld* world, R3xActor* actor, const float* viewer);
