// Our substitute for DirectDraw: the display mode and surfaces in memory.
#pragma once

#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/ddraw/direct_draw_types.h"
