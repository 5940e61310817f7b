#include "engine/core/raster_routines_internal.h"

namespace {

const R3xRasterRoutines* gRasterRoutines = nullptr;

}  // namespace

void _r3xSetRasterRoutines(const R3xRasterRoutines* routines) { gRasterRoutines = routines; }

const R3xRasterRoutines* _r3xGetRasterRoutines() { return gRasterRoutines; }
