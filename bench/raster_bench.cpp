// The software rasterizer's 8-bit machinery: clipping, the constant-depth line set-up and
// spans, exact spans, covered-run insertion, vertex lighting and the lit span driver, on
// 640-pixel rows of a 640 x 480 image with a 64 x 64 texture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "engine/r3x.h"
#include "engine/raster/clip_vertices_internal.h"
#include "engine/raster/covered_runs_internal.h"
#include "engine/raster/depth_lines_internal.h"
#include "engine/raster/exact_spans_internal.h"
#include "engine/raster/light_spot_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/vertex_lighting8_internal.h"

namespace {

constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 480;

// A render context drawing a 64 x 64 texture, perspective along x, into row 100.
class Scene {
 public:
  Scene() : image_(kWidth * kHeight), texels_(64 * 64), shade_(16 * 4096) {
    r3xInit();
    context_ = CreateRenderContext(0, nullptr);
    for (std::size_t i = 0; i < texels_.size(); ++i) {
      texels_[i] = static_cast<std::uint8_t>(i * 7);
    }
    for (std::size_t i = 0; i < shade_.size(); ++i) {
      shade_[i] = static_cast<std::uint8_t>(i >> 4);
    }
    R3xRasterInputs& raster = context_->raster;
    raster.image = image_.data();
    raster.rowLength = kWidth;
    raster.width = kWidth;
    raster.height = kHeight;
    context_->halfViewWidth = kWidth / 2.0f;
    context_->halfViewHeight = kHeight / 2.0f;
    context_->nearDistance = 1.0f;
    context_->farDistance = 1000.0f;
    R3xSpanState& span = context_->span;
    span.texels = texels_.data();
    span.uMask = 63;
    span.vMask = 63u << 22;
    span.vShift = 22 - 6;
    span.shadeData = shade_.data();
    span.destination = image_.data() + 100 * kWidth;
    span.currentRow = 100;
    span.interpolants[0] = 3.0f;
    span.interpolants[1] = 5.0f;
    span.interpolants[2] = 1.0f;
    span.xGradients[0] = 0.1f;
    span.xGradients[1] = 0.02f;
    span.xGradients[2] = 0.001f;
    span.yGradients[1] = 0.1f;
    span.light = 0.3f;
    span.lightStep = 0.001f;
    span.lightStepFixed = _r3xStepFixed20(span.lightStep);
  }
  ~Scene() {
    r3xDestroyRenderContext(nullptr, context_, 0);
    r3xShutdown();
  }
  R3xRenderContext* context() { return context_; }

 private:
  R3xRenderContext* context_ = nullptr;
  std::vector<std::uint8_t> image_;
  std::vector<std::uint8_t> texels_;
  std::vector<std::uint8_t> shade_;
};

R3xClipVertex Vertex(float x, float y, float z, float light) {
  R3xClipVertex v{};
  v.x = x;
  v.y = y;
  v.z = z;
  v.red = light;
  v.u = x;
  v.v = y;
  v.normal[2] = 1.0f;
  return v;
}

void BM_ClipVerticesLitUV(benchmark::State& state) {
  Scene scene;
  R3xRenderContext* context = scene.context();
  context->clipMask = 0x3F;
  const R3xClipVertex quad[4] = {Vertex(-30, -30, 0.5f, 0.1f), Vertex(30, -30, 20, 0.2f),
                                 Vertex(30, 30, 40, 0.3f), Vertex(-30, 30, 20, 0.4f)};
  for (auto _ : state) {
    for (int i = 0; i < 4; ++i) {
      context->work.clip[1][i] = quad[i];
    }
    R3xClipVertex* out = nullptr;
    benchmark::DoNotOptimize(_r3xClipVerticesLitUV(context, 4, &out));
  }
}
BENCHMARK(BM_ClipVerticesLitUV);

void BM_SpanExactOpaqueMode1(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    _r3xSpanExactOpaqueMode1(scene.context(), 0, kWidth);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth);
}
BENCHMARK(BM_SpanExactOpaqueMode1);

void BM_SpanExactOpaqueMode3(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    _r3xSpanExactOpaqueMode3(scene.context(), 0, kWidth);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth);
}
BENCHMARK(BM_SpanExactOpaqueMode3);

// A wall whose depth changes along x: vertical lines of constant depth.
void SetUpRows(R3xRenderContext* context) {
  const R3xClipVertex quad[4] = {Vertex(0, 90, 1, 0), Vertex(639, 90, 1, 0), Vertex(639, 110, 1, 0),
                                 Vertex(0, 110, 1, 0)};
  _r3xSetupDepthLines(context, quad, 4);
}

void BM_SetupDepthLines(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    SetUpRows(scene.context());
    benchmark::DoNotOptimize(scene.context()->span.depthLines.segmentCount);
  }
}
BENCHMARK(BM_SetupDepthLines);

void BM_SpanDepthRowsMode1(benchmark::State& state) {
  Scene scene;
  SetUpRows(scene.context());
  for (auto _ : state) {
    _r3xSpanDepthRowsMode1(scene.context(), 0, kWidth);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth);
}
BENCHMARK(BM_SpanDepthRowsMode1);

void BM_SpanDepthHorizMode3(benchmark::State& state) {
  Scene scene;
  scene.context()->span.uStep = _r3xFixed22(0.1f);
  scene.context()->span.vStep = _r3xFixed22(0.02f);
  for (auto _ : state) {
    _r3xSpanDepthHorizMode3(scene.context(), 0, kWidth);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth);
}
BENCHMARK(BM_SpanDepthHorizMode3);

// A row of 31 one-pixel runs inserted from the left, each before the ones already there.
void BM_RecordCoveredRun(benchmark::State& state) {
  Scene scene;
  R3xRenderContext* context = scene.context();
  R3xList16* list = &context->work.spanLists[100];
  std::uint32_t* count = &context->work.spanWords[100];
  for (auto _ : state) {
    *count = 0;
    R3xCoveredRun* last = nullptr;
    for (std::int32_t x = 62; x >= 0; x -= 2) {
      R3xCoveredRun* cursor = list->records;
      _r3xRecordCoveredRun(list, x, count, &cursor, &last);
      _r3xEndCoveredRun(x + 1, &cursor);
    }
    benchmark::DoNotOptimize(*count);
  }
}
BENCHMARK(BM_RecordCoveredRun);

void BM_LightVertices8(benchmark::State& state) {
  Scene scene;
  R3xRenderContext* context = scene.context();
  R3xLightDef definition{};
  definition.frameCount = 1;
  definition.intensity = 1.0f;
  R3xLight light{};
  light.definition = &definition;
  std::vector<R3xPointLight> points(4);
  std::vector<R3xObjectHeader*> lights;
  for (std::size_t i = 0; i < points.size(); ++i) {
    points[i].header.type = R3X_TYPE_POINT_LIGHT;
    points[i].light = &light;
    points[i].position[0] = static_cast<float>(i) * 10.0f;
    points[i].position[2] = 5.0f;
    points[i].radius = 20.0f;
    lights.push_back(&points[i].header);
  }
  context->lights = lights.data();
  context->lightCount = static_cast<std::uint32_t>(lights.size());
  const float normal[3] = {0.0f, 0.0f, 1.0f};
  for (int i = 0; i < 8; ++i) {
    context->work.clip[0][i] = Vertex(static_cast<float>(i) * 5.0f, 0, 0, 0);
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(_r3xLightVertices8(context, 8, normal, 0.2f));
  }
}
BENCHMARK(BM_LightVertices8);

// The exact mode-3 span cut by four light edges.
void BM_SpanLightDriver(benchmark::State& state) {
  Scene scene;
  R3xRenderContext* context = scene.context();
  R3xSpanState& span = context->span;
  std::vector<R3xLightEdge> edges(4);
  for (std::size_t i = 0; i < edges.size(); ++i) {
    edges[i].x = 100.0f + 120.0f * static_cast<float>(i);
    edges[i].light[0] = 0.2f + 0.15f * static_cast<float>(i);
  }
  span.edges = edges.data();
  span.edgeCount = 4;
  span.edgeCapacity = 4;
  span.routine = _r3xSpanExactOpaqueMode3;
  span.spanEndX = 640.0f;
  span.spanEndLight[0] = 0.5f;
  for (auto _ : state) {
    _r3xSpanLightDriver(context, 0, kWidth);
    benchmark::ClobberMemory();
  }
  span.edges = nullptr;
  state.SetItemsProcessed(state.iterations() * kWidth);
}
BENCHMARK(BM_SpanLightDriver);

}  // namespace

BENCHMARK_MAIN();
