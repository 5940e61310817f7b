#include "tests/support/demo_arena_scene.h"

#include "engine/core/math_tables_internal.h"
#include "platform/glide.h"

namespace test_support {
namespace {

// Where nothing is drawn: the atmosphere's sky is not part of the world draw.
constexpr std::uint8_t kSkyColour[3] = {96, 144, 208};

bool AddActor(R3xWorld* world, const char* definitionTag, const R3xPlacement& at, float scale) {
  auto* definition = reinterpret_cast<R3xActorDef*>(r3xFindTag(world, definitionTag));
  return definition != nullptr && r3xCreateActor(world, definition, nullptr, &at, nullptr, nullptr,
                                                 scale, 0.0f, 0) != nullptr;
}

}  // namespace

DemoArenaScene::DemoArenaScene(const std::string& packPath, const std::string& equipPath) {
  platform::glide::SetSwapPacing(false);
  mathTables_ = _r3xInitMathTables() == R3X_DONE;
  pack_ = r3xOpenWad(packPath.c_str(), 64);
  world_ = r3xCreateWorld(nullptr, 0, nullptr);
  if (!mathTables_ || pack_ == nullptr || world_ == nullptr ||
      r3xLoadWorldFile("arena.wld", world_, pack_, nullptr, nullptr, nullptr) != 0) {
    return;
  }
  if (!equipPath.empty()) {
    equipPack_ = r3xOpenWad(equipPath.c_str(), 64);
    if (equipPack_ == nullptr ||
        r3xLoadWorldFile("equip.wld", world_, equipPack_, nullptr, nullptr, nullptr) != 0) {
      return;
    }
  }
  palette_ = r3xCreatePalette(world_, pack_, "palette.bmp", 1);
  render_ = CreateRenderContext(0, nullptr);
  if (palette_ == nullptr || render_ == nullptr || r3xGlideInit(&glide_) != 0 ||
      r3xGlideAttach(glide_, render_, palette_) != 0) {
    return;
  }
  r3xSetDepthBuffering(render_, 1);
  ok_ = Populate();
}

DemoArenaScene::~DemoArenaScene() {
  if (glide_ != nullptr) {
    r3xGlideFreeTextures(glide_);
    r3xGlideShutdown(glide_);
  }
  if (render_ != nullptr) {
    r3xDestroyRenderContext(nullptr, render_, 0);
  }
  if (world_ != nullptr) {
    r3xDestroyWorld(world_);
  }
  r3xCloseWad(equipPack_);
  r3xCloseWad(pack_);
  if (mathTables_) {
    _r3xFreeMathTables();
  }
}

bool DemoArenaScene::Populate() {
  return AddActor(world_, "BOX_ACTORDEF", {120.0f, 120.0f, 10.0f, 0.0f, 0.0f, 0.0f, 0}, 8.0f) &&
         AddActor(world_, "BOX_ACTORDEF", {210.0f, 230.0f, 12.0f, 40.0f, 0.0f, 0.0f, 0}, 12.0f) &&
         AddActor(world_, "CARD_ACTORDEF", {190.0f, 60.0f, 9.0f, 0.0f, 0.0f, 0.0f, 0}, 6.0f) &&
         AddActor(world_, "CARD_ACTORDEF", {290.0f, 300.0f, 30.0f, 0.0f, 0.0f, 0.0f, 0}, 10.0f);
}

void DemoArenaScene::Place(const ArenaPlacement& placement, std::int32_t width,
                           std::int32_t height) {
  camera_.x = placement.x;
  camera_.y = placement.y;
  camera_.z = placement.z;
  camera_.heading = placement.heading;
  camera_.pitch = placement.pitch;
  const float position[3] = {placement.x, placement.y, placement.z};
  camera_.region = r3xFindRegionIndexAt(world_, position);
  camera_.halfFieldOfView = 48.0f;
  // Square pixels.
  camera_.aspect = static_cast<float>(width) / static_cast<float>(height);
  camera_.nearDistance = 1.0f;
  camera_.farDistance = 2000.0f;
  camera_.viewWidth = width;
  camera_.viewHeight = height;
}

std::int32_t DemoArenaScene::DrawFrame() {
  r3xGlideClear(glide_, 1, 1, kSkyColour[0], kSkyColour[1], kSkyColour[2]);
  const std::int32_t begun = r3xGlideBeginFrame(world_, render_, &camera_);
  return begun < 0 ? begun : r3xGlideDrawWorld(world_, render_, &camera_);
}

}  // namespace test_support
