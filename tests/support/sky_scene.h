// The sky as its tests and benchmark draw it: a software board with a render context that draws
// through it (grey palette, depth writes on as the world start sets them), a one-room world
// holding the demo's seven sky bitmaps, a camera 20 units above the ground looking along +x into
// a view in the top-left corner of the screen, and the arena's default sky parameters with the
// sun and the moon below the horizon.
#pragma once

#include <cstdint>
#include <string>

#include "battle/effects/particle_pool.h"
#include "battle/effects/sky_state.h"
#include "engine/r3x.h"

namespace test_support {

class SkyScene {
 public:
  // A view of width x height pixels. ok() tells whether everything was made; fault() says what
  // was not.
  SkyScene(std::int32_t viewWidth, std::int32_t viewHeight);
  ~SkyScene();
  SkyScene(const SkyScene&) = delete;
  SkyScene& operator=(const SkyScene&) = delete;

  bool ok() const { return fault_.empty(); }
  const std::string& fault() const { return fault_; }
  R3xGlideContext* glide() const { return glide_; }
  R3xRenderContext* render() const { return render_; }
  R3xCamera* camera() const { return camera_; }

  // The frame's start as the frame tick makes it: clear to the grey, begin the frame.
  void BeginFrame(std::uint8_t grey);

  // The sky's particle pool, drawing with the runtime's rand.
  CParticlePool pool;
  SkyState sky;

 private:
  bool Build(std::int32_t viewWidth, std::int32_t viewHeight);
  bool LoadSkyBitmaps();

  std::string fault_ = "not built";
  R3xGlideContext* glide_ = nullptr;
  R3xRenderContext* render_ = nullptr;
  R3xPalette palette_{};
  R3xWorld* world_ = nullptr;
  R3xCamera* camera_ = nullptr;
};

}  // namespace test_support
