// The software 3D board's fill rates and a frame of the game's size, each next to a plain
// memset of the same bytes on the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "platform/glide.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::int64_t kScreenPixels = kWidth * kHeight;

struct Board {
  std::vector<std::uint8_t> texels;
  GrTexInfo info{};

  // A 64 x 64 palettised texture with its full chain of levels, resident and selected.
  Board() {
    platform::glide::SetSwapPacing(false);
    grGlideInit();
    grSstWinOpen(nullptr, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                 GR_ORIGIN_UPPER_LEFT, 2, 1);
    std::uint32_t palette[256];
    for (std::uint32_t i = 0; i < 256; ++i) {
      palette[i] = (i * 0x00030507u) & 0xFFFFFF;
    }
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
    info = GrTexInfo{8, 2, GR_ASPECT_1x1, GR_TEXFMT_P_8, nullptr};
    texels.resize(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &info));
    for (std::size_t i = 0; i < texels.size(); ++i) {
      texels[i] = static_cast<std::uint8_t>(i * 37 + i / 64);
    }
    info.data = texels.data();
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &info);
  }
};

Board& GetBoard() {
  static Board board;
  return board;
}

GrVertex Vertex(float x, float y, float w, float s, float t, float shade) {
  GrVertex v{};
  v.x = x;
  v.y = y;
  v.r = shade;
  v.g = 255.0f - shade;
  v.b = 128.0f;
  v.a = 160.0f;
  v.oow = 1.0f / w;
  v.tmuvtx[0].sow = s / w;
  v.tmuvtx[0].tow = t / w;
  return v;
}

enum class Fill { kFlat, kGouraud, kTexturedBilinear, kTexturedBlendedFogged };

void SetUpFill(Fill fill) {
  GetBoard();
  grColorCombine(1, 0, 0, 2, 0);
  grAlphaCombine(1, 0, 0, 2, 0);
  grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
  grFogMode(GR_FOG_DISABLE);
  grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
  grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
  grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, 0);
  if (fill == Fill::kTexturedBilinear || fill == Fill::kTexturedBlendedFogged) {
    grColorCombine(3, 1, 0, 1, 0);
  }
  if (fill == Fill::kTexturedBlendedFogged) {
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                         GR_BLEND_ZERO);
    FxU8 table[GR_FOG_TABLE_SIZE];
    for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i) {
      table[i] = static_cast<FxU8>(i * 4);
    }
    grFogTable(table);
    grFogColorValue(0x00808080);
    grFogMode(GR_FOG_WITH_TABLE);
  }
}

// The whole screen as one quad: 307,200 pixels a draw.
void BM_FillScreen(benchmark::State& state) {
  const Fill fill = static_cast<Fill>(state.range(0));
  SetUpFill(fill);
  const bool flat = fill == Fill::kFlat;
  const GrVertex quad[4] = {Vertex(0, 0, 200, 0, 0, flat ? 90 : 0),
                            Vertex(640, 0, 200, 256, 0, flat ? 90 : 255),
                            Vertex(640, 480, 200, 256, 192, flat ? 90 : 40),
                            Vertex(0, 480, 200, 0, 192, flat ? 90 : 200)};
  for (auto _ : state) {
    grDrawPolygonVertexList(4, quad);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kScreenPixels);
  state.counters["Mpixels/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * kScreenPixels) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FillScreen)
    ->ArgName("flat0_gouraud1_bilinear2_blendfog3")
    ->Arg(static_cast<int>(Fill::kFlat))
    ->Arg(static_cast<int>(Fill::kGouraud))
    ->Arg(static_cast<int>(Fill::kTexturedBilinear))
    ->Arg(static_cast<int>(Fill::kTexturedBlendedFogged));

// The same bytes as one screen of 16-bit pixels, by memset.
void BM_MemsetScreen(benchmark::State& state) {
  std::vector<std::uint16_t> screen(kScreenPixels);
  int value = 0;
  for (auto _ : state) {
    std::memset(screen.data(), ++value & 0xFF, screen.size() * 2);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kScreenPixels);
  state.counters["Mpixels/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * kScreenPixels) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MemsetScreen);

// The same bytes by memset into memory that is not in cache: each pass takes the next of 128
// screens (78 MB), as a frame buffer comes back from the display after a frame.
void BM_MemsetScreenFromMemory(benchmark::State& state) {
  constexpr std::int64_t kScreens = 128;
  std::vector<std::uint16_t> screens(static_cast<std::size_t>(kScreens * kScreenPixels), 1);
  std::int64_t next = 0;
  int value = 0;
  for (auto _ : state) {
    std::memset(screens.data() + next * kScreenPixels, ++value & 0xFF, kScreenPixels * 2);
    next = (next + 1) % kScreens;
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kScreenPixels);
  state.counters["Mpixels/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * kScreenPixels) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MemsetScreenFromMemory);

// Small textured triangles of 10 pixels each, spread over the screen.
void BM_SmallTriangles(benchmark::State& state) {
  SetUpFill(Fill::kTexturedBilinear);
  std::mt19937 random(3);
  std::uniform_real_distribution<float> x(0.0f, 630.0f);
  std::uniform_real_distribution<float> y(0.0f, 470.0f);
  std::vector<GrVertex> triangles;
  for (int i = 0; i < 1000; ++i) {
    const float left = x(random);
    const float top = y(random);
    triangles.push_back(Vertex(left, top, 10, 0, 0, 100));
    triangles.push_back(Vertex(left + 4.5f, top, 10, 16, 0, 200));
    triangles.push_back(Vertex(left, top + 4.5f, 10, 0, 16, 50));
  }
  for (auto _ : state) {
    for (std::size_t i = 0; i < triangles.size(); i += 3) {
      grDrawPolygonVertexList(3, &triangles[i]);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1000);
  state.counters["triangles/s"] = benchmark::Counter(static_cast<double>(state.iterations() * 1000),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SmallTriangles);

// One frame as the game draws it: clear, then 2,000 textured, depth-tested, mipmapped
// triangles in three layers (back to front) that cover the screen about three times.
void BM_GameFrame(benchmark::State& state) {
  SetUpFill(Fill::kTexturedBilinear);
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDepthBufferFunction(GR_CMP_LEQUAL);
  grDepthMask(1);
  std::mt19937 random(11);
  std::uniform_real_distribution<float> jitter(-6.0f, 6.0f);
  std::vector<GrVertex> triangles;
  // 24 x 14 cells of about 27 x 34 pixels, two triangles each: 672 a layer.
  constexpr int kColumns = 24;
  constexpr int kRows = 14;
  for (int layer = 0; layer < 3; ++layer) {
    const float w = 3000.0f - 1000.0f * static_cast<float>(layer);
    for (int row = 0; row < kRows; ++row) {
      for (int column = 0; column < kColumns; ++column) {
        const float x0 = 640.0f * static_cast<float>(column) / kColumns + jitter(random);
        const float x1 = 640.0f * static_cast<float>(column + 1) / kColumns + jitter(random);
        const float y0 = 480.0f * static_cast<float>(row) / kRows + jitter(random);
        const float y1 = 480.0f * static_cast<float>(row + 1) / kRows + jitter(random);
        const GrVertex a = Vertex(x0, y0, w, 0, 0, 220);
        const GrVertex b = Vertex(x1, y0, w * 1.1f, 64, 0, 180);
        const GrVertex c = Vertex(x1, y1, w * 1.2f, 64, 64, 140);
        const GrVertex d = Vertex(x0, y1, w * 1.1f, 0, 64, 200);
        triangles.insert(triangles.end(), {a, b, c, a, c, d});
      }
    }
  }
  const std::size_t count = triangles.size() / 3;
  for (auto _ : state) {
    grBufferClear(0x00204060, 0, 0xFFFF);
    for (std::size_t i = 0; i < triangles.size(); i += 3) {
      grDrawPolygonVertexList(3, &triangles[i]);
    }
    benchmark::ClobberMemory();
  }
  state.counters["triangles"] = static_cast<double>(count);
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMillisecond);

// The bytes of three screens by memset: the pixels the frame above writes.
void BM_MemsetThreeScreens(benchmark::State& state) {
  std::vector<std::uint16_t> screen(kScreenPixels);
  int value = 0;
  for (auto _ : state) {
    for (int i = 0; i < 3; ++i) {
      std::memset(screen.data(), ++value & 0xFF, screen.size() * 2);
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemsetThreeScreens)->Unit(benchmark::kMillisecond);

// A frame write of a panel as the game makes it: a width x height image through a write lock
// and the pixel pipeline at (640 - width, 480 - height). Source 16 is a keyed RGB555 panel (a
// quarter of its pixels the key), source 8 a converted ARGB1555 image (a quarter transparent).
void BM_FrameWrite(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const bool converted = state.range(2) == 8;
  GetBoard();
  constexpr std::uint16_t kKey555 = 0x7C1F;
  std::vector<std::uint16_t> image(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < image.size(); ++i) {
    const auto colour = static_cast<std::uint16_t>((i * 2654435761u >> 7) & 0x7FFF);
    const bool clear = i % 4 == 0;
    image[i] = converted
                   ? (clear ? 0x0000 : static_cast<std::uint16_t>(0x8000 | colour))
                   : (clear ? kKey555 : static_cast<std::uint16_t>(colour == kKey555 ? 0 : colour));
  }
  const int x = kWidth - width;
  const int y = kHeight - height;
  for (auto _ : state) {
    grDepthMask(0);
    GrState saved;
    grGlideGetState(&saved);
    grDisableAllEffects();
    grColorCombine(3, 8, 1, 1, 0);
    if (converted) {
      grAlphaCombine(3, 8, 1, 1, 0);
      grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                           GR_BLEND_ZERO);
    }
    grClipWindow(0, 0, kWidth, kHeight);
    if (!converted) {
      grChromakeyMode(1);
      grChromakeyValue(0x00FF00FF);
    }
    GrLfbInfo info{};
    info.size = 20;
    if (grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER,
                  converted ? GR_LFBWRITEMODE_1555 : GR_LFBWRITEMODE_555, GR_ORIGIN_UPPER_LEFT,
                  GR_LFB_PIXELPIPELINE, &info) != FXFALSE) {
      auto* frame = static_cast<std::uint8_t*>(info.lfbPtr);
      for (int k = 0; k < height; ++k) {
        std::memcpy(frame + std::size_t{info.strideInBytes} * (y + k) + 2 * std::size_t(x),
                    image.data() + static_cast<std::size_t>(k) * width, std::size_t(width) * 2);
      }
      grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
    }
    grGlideSetState(&saved);
    benchmark::ClobberMemory();
  }
  const auto pixels = static_cast<std::int64_t>(width) * height;
  state.SetItemsProcessed(state.iterations() * pixels);
}
BENCHMARK(BM_FrameWrite)
    ->ArgNames({"width", "height", "source"})
    ->Args({64, 32, 16})
    ->Args({64, 32, 8})
    ->Args({640, 480, 16})
    ->Args({640, 480, 8})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
