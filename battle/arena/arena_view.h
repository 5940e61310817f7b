// The display objects of the running arena: the render context and camera the 3D view is drawn
// with, the DirectDraw render device that shows it, and the Glide back end that draws it. The
// session's world start makes them and its stop takes them down; each is null outside a world
// (a stopped render device is kept closed until the library unloads).
#pragma once

struct R3xCamera;
struct R3xGlideContext;
struct R3xRenderContext;
struct R3xRenderDevice;

extern R3xRenderContext* gRenderContext;
extern R3xCamera* gCamera;
extern R3xRenderDevice* gRenderDevice;
extern R3xGlideContext* gGlideContext;
