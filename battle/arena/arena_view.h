// The arena view: the display objects of the running arena, the render context and camera the
// 3D view is drawn with, the DirectDraw render device that shows it, and the Glide back end that
// draws it. Owner: the game session. Its world start makes them and its world stop takes them
// down and resets the record as a whole, all but the render device: a stopped device stays in
// the record, closed, until the library unloads. The names the game uses are references to the
// members.
#pragma once

struct R3xCamera;
struct R3xGlideContext;
struct R3xRenderContext;
struct R3xRenderDevice;

struct ArenaView {
  R3xRenderContext* renderContext = nullptr;
  R3xCamera* camera = nullptr;
  R3xRenderDevice* renderDevice = nullptr;
  R3xGlideContext* glideContext = nullptr;
};

extern ArenaView gArenaView;

inline R3xRenderContext*& gRenderContext = gArenaView.renderContext;
inline R3xCamera*& gCamera = gArenaView.camera;
inline R3xRenderDevice*& gRenderDevice = gArenaView.renderDevice;
inline R3xGlideContext*& gGlideContext = gArenaView.glideContext;
