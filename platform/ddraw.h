// Our substitute for DirectDraw: the display mode, surfaces in memory, palettes and clippers,
// and the fault hook that makes chosen calls fail.
#pragma once

#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/direct_draw_clipper.h"
#include "platform/ddraw/direct_draw_faults.h"
#include "platform/ddraw/direct_draw_palette.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/ddraw/direct_draw_types.h"
