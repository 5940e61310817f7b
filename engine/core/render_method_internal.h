// The engine's own functions of render_method.h, which the public header leaves out.
// Results: true or false.
#pragma once

#include "engine/core/render_method.h"

// True for a direct method, and for an indirect one whose index lies inside the table.
bool _r3xIsRenderMethodResolvable(const R3xIndirectRenderMethods* indirect, R3xRenderMethod method);
