// The software drawers' routine table, which they hand core at start-up so that render contexts
// made or attached afterwards hold them (engine/core/raster_routines_internal.h).
// Results: none.
#pragma once

// Registers the 8-bit drawer (the colour drawer's slots stay empty: it is not built).
void _r3xRegisterSoftwareDrawers();
