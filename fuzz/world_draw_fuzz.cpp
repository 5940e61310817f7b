// The world draw over arbitrary worlds: the first byte chooses a text file (even) or a binary
// one (odd, the signature put before the rest), loaded from a pack that also holds the demo
// arena's bitmaps and palette. An actor of each of the first actor definitions stands at the
// centre of each of the first regions, and one frame is drawn through the software board from the
// centre of each of the first regions, looking another way each time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/math_tables_internal.h"
#include "engine/r3x.h"
#include "platform/glide.h"
#include "platform/kernel/message_box.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/demo_palette.h"
#include "tools/mkdata/pack_writer.h"

namespace {

constexpr std::uint32_t kPlacedRegions = 6;
constexpr std::uint32_t kActorDefinitions = 3;

// The bitmaps the demo arena's world names, its palette, and the board.
struct Board {
  Board() {
    const auto pattern = mkdata::BuildBmp(mkdata::MakePatternImage(64, 64, 256));
    for (const char* name : {"floor.bmp", "wall.bmp", "sky.bmp", "spark.bmp"}) {
      files.push_back({name, pattern});
    }
    files.push_back({"palette.bmp", mkdata::BuildBmp(mkdata::MakeDemoPaletteImage())});
    platform::glide::SetSwapPacing(false);
    ready = _r3xInitMathTables() == R3X_DONE && r3xGlideInit(&glide) == 0;
  }

  test_support::ScratchFolder folder{"world_draw_fuzz"};
  std::vector<mkdata::PackMember> files;
  R3xGlideContext* glide = nullptr;
  bool ready = false;
};

void PlaceActors(R3xWorld* world) {
  std::uint32_t placed = 0;
  const R3xSlotTable& definitions = world->actorDefs;
  for (std::uint32_t d = 0; d < definitions.capacity && placed < kActorDefinitions; ++d) {
    R3xObjectHeader* object = definitions.slots[d].object;
    if (object == nullptr || object->type != R3X_TYPE_ACTOR_DEF) {
      continue;
    }
    ++placed;
    for (std::uint32_t i = 0; i < std::min(world->regions.count, kPlacedRegions); ++i) {
      const R3xRegion* region = r3xGetRegion(world, static_cast<std::int32_t>(i));
      const R3xPlacement at{region->bounds.x,
                            region->bounds.y,
                            region->bounds.z,
                            0.0f,
                            0.0f,
                            0.0f,
                            static_cast<std::int32_t>(i)};
      r3xCreateActor(world, reinterpret_cast<R3xActorDef*>(object), nullptr, &at, nullptr, nullptr,
                     4.0f, 0.0f, 0);
    }
  }
}

void DrawFrames(R3xWorld* world, R3xWad* pack, R3xGlideContext* glide) {
  R3xPalette* palette = r3xCreatePalette(world, pack, "palette.bmp", 1);
  R3xRenderContext* render = CreateRenderContext(0, nullptr);
  if (palette == nullptr || render == nullptr) {
    std::abort();
  }
  if (r3xGlideAttach(glide, render, palette) != 0) {
    std::abort();
  }
  r3xSetDepthBuffering(render, 1);
  R3xCamera camera{};
  camera.halfFieldOfView = 48.0f;
  camera.aspect = 4.0f / 3.0f;
  camera.nearDistance = 1.0f;
  camera.farDistance = 2000.0f;
  // A small view: the board's own fuzz target covers its pixels.
  camera.viewWidth = 160;
  camera.viewHeight = 120;
  for (std::uint32_t i = 0; i < std::min(world->regions.count, kPlacedRegions); ++i) {
    const R3xRegion* region = r3xGetRegion(world, static_cast<std::int32_t>(i));
    camera.region = static_cast<std::int32_t>(i);
    camera.x = region->bounds.x;
    camera.y = region->bounds.y;
    camera.z = region->bounds.z;
    camera.heading = static_cast<float>(96 * i);
    camera.pitch = static_cast<float>(40 * (static_cast<int>(i % 3) - 1));
    r3xGlideClear(glide, 1, 1, 0, 0, 0);
    if (r3xGlideBeginFrame(world, render, &camera) >= 0) {
      r3xGlideDrawWorld(world, render, &camera);
    }
  }
  r3xGlideFreeTextures(glide);
  r3xDestroyRenderContext(nullptr, render, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Board board;
  if (!board.ready || size == 0) {
    return 0;
  }
  platform::SetMessageBoxEcho(false);  // the parser's boxes would flood standard error
  const bool binary = (data[0] & 1) != 0;
  std::vector<std::uint8_t> input;
  if (binary) {
    input.assign(R3X_WLD_MAGIC, R3X_WLD_MAGIC + sizeof R3X_WLD_MAGIC);
  }
  input.insert(input.end(), data + 1, data + size);
  std::vector<mkdata::PackMember> members = board.files;
  members.push_back({"input.wld", std::move(input)});
  const std::string packPath = board.folder / "world.r3x";
  test_support::WriteTestFile(packPath,
                              mkdata::BuildPack(std::move(members), mkdata::PackLayout::kHeader));
  R3xWad* pack = r3xOpenWad(packPath.c_str(), 8);
  R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
  if (pack == nullptr || world == nullptr) {
    std::abort();
  }
  // Only a world that loaded is drawn, as the game does.
  if (r3xLoadWorldFile("input.wld", world, pack, nullptr, nullptr, nullptr) == 0) {
    PlaceActors(world);
    DrawFrames(world, pack, board.glide);
  }
  r3xDestroyWorld(world);
  r3xCloseWad(pack);
  platform::ClearShownMessageBoxes();
  return 0;
}
