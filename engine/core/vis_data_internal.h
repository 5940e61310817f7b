// The engine's own functions of vis_data.h, which the public header leaves out.
// Results: nothing.
#pragma once

#include "engine/core/vis_data.h"

// Drops one reference; the last unmaps the view, closes both handles and frees the record.
// Null allowed.
void _r3xReleaseVisData(R3xVisData* data);
