#include "engine/core/raster_routines_internal.h"
#include "engine/raster/colour_spans_internal.h"
#include "engine/raster/draw_polygon8_internal.h"
#include "engine/raster/draw_polygon_rgb_internal.h"
#include "engine/raster/software_drawers_internal.h"

namespace {

const R3xRasterRoutines kSoftwareDrawers{
    _r3xDrawPolygon8,
    _r3xDrawPolygonRGB,
    {_r3xSpanOut16[0], _r3xSpanOut16[1], _r3xSpanOut16[2], _r3xSpanOut16[3]},
    {_r3xSpanFill16[0], _r3xSpanFill16[1], _r3xSpanFill16[2], _r3xSpanFill16[3]},
    {_r3xSpanOut16b[0], _r3xSpanOut16b[1], _r3xSpanOut16b[2], _r3xSpanOut16b[3]}};

}  // namespace

void _r3xRegisterSoftwareDrawers() { _r3xSetRasterRoutines(&kSoftwareDrawers); }
