// The parts that actors show: the shared null part, or a simple, 2D or 3D sprite instance.
// Collision reads a part's volume, offset and radius through these accessors.
// Results: 0 or a negative R3X_ERR_ code; the shared null part.
#pragma once

#include <cstdint>

#include "engine/core/object.h"

struct R3xVolume;

// The shared part of type 0 that stands for "nothing shown"; never freed.
R3xObjectHeader* r3xNullPart();

// A 2D or 3D sprite's volume; null for the null part. R3X_ERR_FAILED, with null, for other
// types.
std::int32_t r3xGetPartVolume(const R3xObjectHeader* part, R3xVolume** out);
// A 2D or 3D sprite's offset from the actor's position (3 floats); zero for the null part.
// R3X_ERR_FAILED, with zero, for other types.
std::int32_t r3xGetPartOffset(const R3xObjectHeader* part, float* out);
// The radius of a 2D or 3D sprite's definition; 0 for the null part. R3X_ERR_FAILED, with 0,
// for other types.
std::int32_t r3xGetPartRadius(const R3xObjectHeader* part, float* out);
