#include "engine/core/raster_routines_internal.h"
#include "engine/raster/draw_polygon8_internal.h"
#include "engine/raster/software_drawers_internal.h"

namespace {

constexpr R3xRasterRoutines kSoftwareDrawers{_r3xDrawPolygon8, nullptr, {}, {}, {}};

}  // namespace

void _r3xRegisterSoftwareDrawers() { _r3xSetRasterRoutines(&kSoftwareDrawers); }
