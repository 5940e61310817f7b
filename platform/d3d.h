// Our substitute for Direct3D: the objects a render device opened for 3D builds on its
// DirectDraw objects (Direct3D, a device, viewports, execute buffers, materials and textures),
// with their reference counts and results. Nothing is drawn through them.
#pragma once

#include "platform/d3d/direct3d.h"
#include "platform/d3d/direct3d_device.h"
#include "platform/d3d/direct3d_execute_buffer.h"
#include "platform/d3d/direct3d_material.h"
#include "platform/d3d/direct3d_texture.h"
#include "platform/d3d/direct3d_types.h"
#include "platform/d3d/direct3d_viewport.h"
#include "platform/d3d/live_objects.h"
