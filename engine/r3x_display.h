// The 3D engine's public interface, display part: the Glide back end (context, frame, images,
// polygons, world draw) and the DirectDraw render device. Game code includes the parts it uses;
// engine/r3x.h includes them all.
#pragma once

#include "engine/display/glide_context.h"
#include "engine/display/glide_frame.h"
#include "engine/display/glide_image.h"
#include "engine/display/glide_polygon.h"
#include "engine/display/glide_world.h"
#include "engine/display/render_device.h"
