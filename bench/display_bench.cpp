// The display drivers: texture upload through the texture cache (registration, placement,
// eviction and download) and the lighting and clipping of polygons before they are drawn.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <deque>
#include <vector>

#include "engine/core/vertex_lighting.h"
#include "engine/display/glide_texture_internal.h"
#include "engine/r3x.h"
#include "platform/glide.h"

namespace {

// 256 x 256 with all eight further levels: 87,381 texels.
constexpr std::int32_t kSide = 256;
constexpr std::int32_t kFurtherLevels = 8;
constexpr std::size_t kTexels = 87381;

// Twice as many textures as fit in 1 MB of texture memory, so that every selection evicts.
void TextureUpload(benchmark::State& state, bool ownColours) {
  platform::glide::SetSwapPacing(false);
  platform::glide::SetTextureMemorySize(1024 * 1024);
  R3xGlideContext* glide = nullptr;
  if (r3xGlideInit(&glide) != 0) {
    state.SkipWithError("no board");
    return;
  }
  std::vector<std::uint8_t> table(256 * 4);
  for (std::size_t i = 0; i < table.size(); ++i) {
    table[i] = static_cast<std::uint8_t>(i * 7);
  }
  std::deque<std::vector<std::uint8_t>> pixels;
  std::deque<R3xBitmap> bitmaps;
  for (int t = 0; t < 24; ++t) {
    pixels.emplace_back(kTexels, static_cast<std::uint8_t>(t));
    R3xBitmap bitmap{};
    bitmap.pixels = pixels.back().data();
    bitmap.pixelBytes = kTexels;
    bitmap.width = kSide;
    bitmap.height = kSide;
    bitmap.bitCount = 8;
    bitmap.lastFrame = kFurtherLevels;
    bitmap.colourTable = ownColours ? table.data() : nullptr;
    bitmaps.push_back(bitmap);
  }
  std::int64_t bytes = 0;
  for (auto _ : state) {
    for (R3xBitmap& bitmap : bitmaps) {
      if (bitmap.texture == nullptr) {
        r3xGlideRegisterTexture(glide, &bitmap);
      }
      auto* texture = static_cast<R3xGlideTexture*>(bitmap.texture);
      _r3xGlideSelectTexture(glide, texture);
      bytes += texture->size;
    }
    // Conversion happens at registration: register again each round.
    if (ownColours) {
      r3xGlideFreeTextures(glide);
    }
  }
  state.SetBytesProcessed(bytes);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(bitmaps.size()));
  r3xGlideFreeTextures(glide);
  r3xGlideShutdown(glide);
  platform::glide::SetTextureMemorySize(2 * 1024 * 1024);
}

void BM_TextureUploadPalettised(benchmark::State& state) { TextureUpload(state, false); }
BENCHMARK(BM_TextureUploadPalettised);

void BM_TextureUploadRgb565(benchmark::State& state) { TextureUpload(state, true); }
BENCHMARK(BM_TextureUploadRgb565);

// A quad lit by four point lights and clipped by the planes given, as the world draw does it
// for a face of a region that crosses them.
void BM_LightAndClip(benchmark::State& state) {
  r3xInit();
  R3xRenderContext* render = CreateRenderContext(0, nullptr);
  render->nearDistance = 1.0f;
  render->farDistance = 1000.0f;
  render->clipMask = static_cast<std::uint32_t>(state.range(0));
  R3xLightDef definition{};
  definition.frameCount = 1;
  definition.intensity = 0.8f;
  R3xLight light{};
  light.definition = &definition;
  std::vector<R3xPointLight> points(4);
  std::vector<R3xObjectHeader*> lights;
  for (std::size_t i = 0; i < points.size(); ++i) {
    points[i].header.type = R3X_TYPE_POINT_LIGHT;
    points[i].light = &light;
    points[i].position[0] = static_cast<float>(i) * 3.0f - 4.0f;
    points[i].position[1] = 2.0f;
    points[i].position[2] = 8.0f;
    points[i].radius = 12.0f;
    lights.push_back(&points[i].header);
  }
  render->lights = lights.data();
  render->lightCount = static_cast<std::uint32_t>(lights.size());
  // World and clip positions alike: the quad pokes out through the right and top planes.
  const float corners[4][3] = {{-2, -2, 6}, {9, -2, 6}, {9, 9, 6}, {-2, 9, 6}};
  const float normal[3] = {0.0f, 0.0f, 1.0f};
  std::int64_t vertices = 0;
  for (auto _ : state) {
    for (int i = 0; i < 4; ++i) {
      R3xClipVertex& source = render->work.clip[0][i];
      R3xClipVertex& input = render->work.clip[1][i];
      source.x = input.x = corners[i][0];
      source.y = input.y = corners[i][1];
      source.z = input.z = corners[i][2];
      source.u = corners[i][0];
      source.v = corners[i][1];
    }
    _r3xLightTexturedVerticesRGB(render, 4, normal, 0.3f, 0.3f, 0.3f);
    R3xClipVertex* out = nullptr;
    benchmark::DoNotOptimize(_r3xClipPolygon(render, 4, &out));
    benchmark::DoNotOptimize(out);
    vertices += 4;
  }
  state.SetItemsProcessed(vertices);
  r3xDestroyRenderContext(nullptr, render, 0);
  r3xShutdown();
}
BENCHMARK(BM_LightAndClip)->Arg(0)->Arg(static_cast<int>(R3X_CLIP_RIGHT | R3X_CLIP_TOP))->Arg(0x3F);

}  // namespace

BENCHMARK_MAIN();
