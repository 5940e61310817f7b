// Our substitute for the 3D board: a software rasteriser of the calls the game makes, drawing
// into RGB565 colour buffers and a 16-bit W depth buffer at 640 x 480.
#pragma once

#include "platform/glide/board_control.h"
#include "platform/glide/glide_calls.h"
#include "platform/glide/glide_types.h"
