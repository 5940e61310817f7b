#include "tools/r3xtool/amp_command.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "battle/arena/arena_map.h"
#include "engine/r3x.h"

namespace {

// The widest picture printed; larger maps show blocks of cells.
constexpr std::int32_t kMaxColumns = 64;

struct Ground {
  bool open = false;
  float height = 0.0f;
};

Ground FirstGround(const CArenaMap& map, std::int32_t column, std::int32_t row) {
  float top = 0.0f;
  float surface = 0.0f;
  if (!map.GetLayerHeights(column, row, 0, &top, &surface) || top <= surface) {
    return {};
  }
  return {true, surface};
}

void PrintPicture(const CArenaMap& map) {
  const std::int32_t width = map.GetWidth();
  const std::int32_t height = map.GetHeight();
  const std::int32_t block = std::max(1, (width + kMaxColumns - 1) / kMaxColumns);
  float low = 0.0f;
  float high = 0.0f;
  bool any = false;
  for (std::int32_t row = 0; row < height; ++row) {
    for (std::int32_t column = 0; column < width; ++column) {
      const Ground ground = FirstGround(map, column, row);
      if (ground.open) {
        low = any ? std::min(low, ground.height) : ground.height;
        high = any ? std::max(high, ground.height) : ground.height;
        any = true;
      }
    }
  }
  std::printf("ground from %.2f to %.2f, one character per %d x %d cells\n", low, high, block,
              block);
  // Row H - 1 (the +y edge) first, so that +y is up.
  for (std::int32_t row = (height - 1) / block * block; row >= 0; row -= block) {
    std::string line;
    for (std::int32_t column = 0; column < width; column += block) {
      const Ground ground = FirstGround(map, column, row);
      if (!ground.open) {
        line += '#';
        continue;
      }
      const float share = high > low ? (ground.height - low) / (high - low) : 0.0f;
      line += static_cast<char>('0' + std::clamp(static_cast<int>(share * 9.999f), 0, 9));
    }
    std::printf("%s\n", line.c_str());
  }
}

}  // namespace

int RunAmpCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fputs("usage: r3xtool amp FILE\n", stderr);
    return 2;
  }
  if (r3xInit() != R3X_DONE) {
    std::fputs("r3xtool: the engine did not start\n", stderr);
    return 1;
  }
  const CArenaMap map(args[0]);
  if (!map.IsValid()) {
    std::fprintf(stderr, "%s: not a valid arena map\n", args[0].c_str());
    r3xShutdown();
    return 1;
  }
  std::printf("%s: %d x %d cells, height scale %d, ceiling %.1f\n", args[0].c_str(), map.GetWidth(),
              map.GetHeight(), map.GetHeightScale(), map.GetMaxHeight());
  std::map<std::size_t, std::size_t> cellsByLayers;
  for (std::int32_t row = 0; row < map.GetHeight(); ++row) {
    for (std::int32_t column = 0; column < map.GetWidth(); ++column) {
      ++cellsByLayers[map.GetLayers(column, row).size()];
    }
  }
  for (const auto& [layers, cells] : cellsByLayers) {
    std::printf("%zu cells with %zu layer%s\n", cells, layers, layers == 1 ? "" : "s");
  }
  if (map.GetWidth() >= 1 && map.GetHeight() >= 1) {
    PrintPicture(map);
  }
  r3xShutdown();
  return 0;
}
