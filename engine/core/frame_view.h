// The frame set-up that every back end's world draw starts with: the render context made ready
// for a frame of the camera: room for a stamp per region, the view's size, depth range and
// matrix, the sphere test's frustum factors, the frame's world time and counters, the view light
// and excluded light cleared, and the fog distance of queued polygons. The Glide back end's
// begin-frame adds its own draw lists and depth state around it.
// Results: R3X_DONE, R3X_VISIBLE_NO_MEMORY or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

struct R3xCamera;
struct R3xRenderContext;
struct R3xWorld;

// The result of r3xSetViewMatrix, or R3X_VISIBLE_NO_MEMORY, with nothing else set, when the
// region stamps cannot be made.
std::int32_t _r3xSetUpFrameView(const R3xWorld* world, R3xRenderContext* context,
                                const R3xCamera* camera);
