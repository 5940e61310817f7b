#include "tests/support/sky_scene.h"

#include "battle/effects/sky_bitmaps.h"
#include "platform/glide.h"
#include "tests/support/test_world_builder.h"

namespace test_support {
namespace {

// Archive member slots the game asks for.
constexpr int kPackSlots = 20;
// The world flag that keeps each 8-bit bitmap's colour table: the board draws them in their own
// colours.
constexpr std::int32_t kKeepBitmapColours = 1;

}  // namespace

SkyScene::SkyScene(std::int32_t viewWidth, std::int32_t viewHeight) {
  if (Build(viewWidth, viewHeight)) {
    fault_.clear();
  }
}

SkyScene::~SkyScene() {
  if (glide_ != nullptr) {
    r3xGlideFreeTextures(glide_);
    r3xGlideShutdown(glide_);
  }
  if (render_ != nullptr) {
    r3xDestroyRenderContext(nullptr, render_, 0);
  }
  r3xDestroyCamera(camera_);
  if (world_ != nullptr) {
    r3xDestroyWorld(world_);
  }
}

bool SkyScene::Build(std::int32_t viewWidth, std::int32_t viewHeight) {
  if (r3xInit() != R3X_DONE) {
    fault_ = "engine start";
    return false;
  }
  platform::glide::SetSwapPacing(false);
  if (r3xGlideInit(&glide_) != 0) {
    fault_ = "board";
    return false;
  }
  render_ = CreateRenderContext(0, nullptr);
  for (int i = 0; i < R3X_PALETTE_ENTRIES; ++i) {
    const auto level = static_cast<BYTE>(i);
    palette_.entries[i] = {level, level, level, 0};
  }
  if (render_ == nullptr ||
      r3xAttachRenderDevice(render_, R3X_MODE_COLOUR, nullptr, &palette_) != 0 ||
      r3xGlideAttach(glide_, render_, &palette_) != 0) {
    fault_ = "render context";
    return false;
  }
  // As the world start sets it: the world draw and the ground write depth.
  r3xSetDepthBuffering(render_, 1);
  TestWorldSpec spec;
  spec.regionCount = 1;
  spec.nodes = {MakeTestLeaf(0)};
  spec.tagged = true;
  world_ = MakeTestWorld(spec);
  if (world_ == nullptr) {
    fault_ = "world";
    return false;
  }
  r3xSetWorldFlag(world_, kKeepBitmapColours);
  if (!LoadSkyBitmaps()) {
    return false;
  }
  camera_ = CreateCamera();
  if (camera_ == nullptr) {
    fault_ = "camera";
    return false;
  }
  camera_->z = 20.0f;
  camera_->halfFieldOfView = 48.0f;
  // Square pixels.
  camera_->aspect = static_cast<float>(viewWidth) / static_cast<float>(viewHeight);
  camera_->nearDistance = 1.0f;
  camera_->farDistance = 500.0f;
  camera_->viewWidth = viewWidth;
  camera_->viewHeight = viewHeight;
  // The ground takes the ambient colour of the region the world draw lit last.
  for (float& channel : render_->ambient) {
    channel = 0.9f;
  }

  sky.world = world_;
  sky.renderContext = render_;
  sky.camera = camera_;
  sky.particles = &pool;
  sky.step = 14;
  sky.blend = 1.0f;
  sky.sunScale = 150.0f;
  sky.moonScale = 45.0f;
  sky.fogScale = 1.5f;
  // The arena's default flare: discs and rings along the line through the sun.
  sky.flare = {{{0, -0.2f, 0.125f, 255, 255, 255},
                {0, 0.8f, 0.175f, 0, 0, 255},
                {0, 0.85f, 0.2f, 0, 0, 255},
                {0, 0.95f, 0.4f, 255, 255, 255},
                {0, 0.98f, 0.5f, 255, 0, 255},
                {1, 0.55f, 0.15f, 255, 0, 0},
                {1, 0.9f, 0.3f, 0, 255, 0},
                {1, 1.15f, 0.25f, 0, 0, 255}}};
  // The sun and the moon below the horizon unless the user raises them.
  sky.sunAngle = 256.0f;
  sky.moonAngle = 256.0f;
  return true;
}

// From the demo's "Equip.r3x", as the world start loads them.
bool SkyScene::LoadSkyBitmaps() {
  R3xWad* equip = r3xOpenWad(ARENA_DEMO_EQUIP, kPackSlots);
  if (equip == nullptr) {
    fault_ = std::string("no ") + ARENA_DEMO_EQUIP;
    return false;
  }
  bool loaded = true;
  for (std::size_t i = 0; i < kSkyBitmapCount && loaded; ++i) {
    const R3xBitmapHandle handle =
        r3xLoadBitmap(world_, kSkyBitmapNames[i], kSkyBitmapNames[i], equip);
    if (handle == nullptr) {
      fault_ = std::string("no ") + kSkyBitmapNames[i];
      loaded = false;
    } else {
      sky.*kSkyBitmapFields[i] = reinterpret_cast<R3xBitmap*>(handle->object);
    }
  }
  r3xCloseWad(equip);
  return loaded;
}

void SkyScene::BeginFrame(std::uint8_t grey) {
  r3xGlideClear(glide_, 1, 1, grey, grey, grey);
  r3xGlideBeginFrame(world_, render_, camera_);
}

}  // namespace test_support
