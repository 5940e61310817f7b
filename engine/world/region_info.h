// The per-region object and light lists that both world loaders give each region they build.
// Results: the record, or null.
#pragma once

#include <cstdint>

struct R3xRegionInfo;

// A region info of the type with room for 16 objects and 3 lights, none held yet; null when
// memory runs out (nothing is then left allocated).
R3xRegionInfo* _r3xMakeRegionInfo(std::int32_t type);
