// The registration of the software drawers' routine table, which the public header leaves out.
// Results: none.
#pragma once

#include "engine/core/raster_routines.h"

// The software drawers register their table at start-up (null withdraws it); the table must
// outlive its registration. Render contexts made or attached while none is registered hold no
// routines.
void _r3xSetRasterRoutines(const R3xRasterRoutines* routines);
// The registered table, or null.
const R3xRasterRoutines* _r3xGetRasterRoutines();
