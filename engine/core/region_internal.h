// The engine's own functions of region.h, which the public header leaves out.
// Results: records or null.
#pragma once

#include "engine/core/region.h"

// The region's geometry of that kind, else null.
R3xMeshGeometry* _r3xMeshGeometry(const R3xRegion* region);
R3xIndexedGeometry* _r3xIndexedGeometry(const R3xRegion* region);

// The region's dynamic information when it has one, else null.
R3xRegionInfo* _r3xRegionInfo(const R3xRegion* region);
