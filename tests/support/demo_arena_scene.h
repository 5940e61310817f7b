// The demo arena as the world draw's tests and benchmark see it: the world out of the demo pack
// with its palette, a Glide context on the software board attached to a render context with
// depth buffering, two boxes (3D sprites) and two sparks (2D sprites) standing in it, and three
// fixed camera placements.
#pragma once

#include <cstdint>
#include <string>

#include "engine/r3x.h"

namespace test_support {

struct ArenaPlacement {
  const char* name;
  float x;
  float y;
  float z;
  float heading;
  float pitch;
};

// From low in the first cell toward the far corner, over a box; from high above the far corner
// back across the whole arena; from the floor by the near wall along the middle line, past a
// spark and a box.
inline constexpr ArenaPlacement kArenaPlacements[] = {
    {"corner", 60.0f, 60.0f, 20.0f, 64.0f, 0.0f},
    {"above", 390.0f, 390.0f, 95.0f, 320.0f, -40.0f},
    {"floor", 200.0f, 12.0f, 6.0f, 128.0f, 6.0f},
};

class DemoArenaScene {
 public:
  // Loads the world of the pack at packPath, and the equipment world of the pack at equipPath
  // when one is named. ok() tells whether everything was made.
  explicit DemoArenaScene(const std::string& packPath, const std::string& equipPath = "");
  ~DemoArenaScene();
  DemoArenaScene(const DemoArenaScene&) = delete;
  DemoArenaScene& operator=(const DemoArenaScene&) = delete;

  bool ok() const { return ok_; }
  R3xWorld* world() const { return world_; }
  R3xRenderContext* render() const { return render_; }
  R3xGlideContext* glide() const { return glide_; }
  const R3xPalette* palette() const { return palette_; }
  R3xCamera& camera() { return camera_; }

  // Puts the camera at the placement with a view of width x height pixels.
  void Place(const ArenaPlacement& placement, std::int32_t width, std::int32_t height);
  // Clears to the sky colour and draws the world: the world draw's result, or begin-frame's
  // when that failed.
  std::int32_t DrawFrame();

 private:
  bool Populate();

  bool ok_ = false;
  bool mathTables_ = false;
  R3xWad* pack_ = nullptr;
  R3xWad* equipPack_ = nullptr;
  R3xWorld* world_ = nullptr;
  R3xPalette* palette_ = nullptr;
  R3xGlideContext* glide_ = nullptr;
  R3xRenderContext* render_ = nullptr;
  R3xCamera camera_{};
};

}  // namespace test_support
