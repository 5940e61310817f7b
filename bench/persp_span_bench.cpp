// The perspective and affine span families, generic member and 64 x 64 member, in nanoseconds
// per pixel over a 640-pixel row of a receding floor (the affine families step the row's
// gradients at its left end), beside a memcpy of the same row.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/core/render_context.h"
#include "engine/r3x.h"
#include "engine/raster/affine_spans_internal.h"
#include "engine/raster/persp_spans_internal.h"
#include "engine/raster/raster_numeric_internal.h"

namespace {

constexpr std::int32_t kRow = 640;
constexpr std::uint8_t kKey = 253;

// A render context whose span state draws a 64 x 64 level, one texel in 16 the key, over a row
// whose depth grows by half along it, with light and fog gradients across the row.
class SpanBed {
 public:
  SpanBed() {
    r3xInit();
    context_ = CreateRenderContext(0, nullptr);
    std::mt19937 random(45);
    for (std::uint8_t& texel : texels_) {
      texel = (random() & 15) == 0 ? kKey : static_cast<std::uint8_t>(random() % 253);
    }
    for (std::uint8_t& shade : shades_) {
      shade = static_cast<std::uint8_t>(random());
    }
    for (std::size_t i = 0; i < source_.size(); ++i) {
      source_[i] = static_cast<std::uint8_t>(i);
    }
    R3xSpanState& span = context_->span;
    span.destination = row_.data();
    span.texels = texels_.data();
    span.textureWidth = 64;
    span.textureHeight = 64;
    span.widthShift = 6;
    span.uMask = 63;
    span.vMask = 63u << 22;
    span.vShift = 16;
    const float planes[3] = {3.0f, 40.0f, 1.0f};
    const float steps[3] = {0.11f, 0.01f, -0.5f / kRow};
    for (int i = 0; i < 3; ++i) {
      span.interpolants[i] = planes[i];
      span.xGradients[i] = steps[i];
      span.xGradients16[i] = steps[i] * 16.0f;
    }
    span.uStep = _r3xFixed22(steps[0]);
    span.vStep = _r3xFixed22(steps[1]);
    span.gridX = 0;
    span.shadeData = shades_.data();
    span.shadeRow = shades_.data() + 256 * 9;
    span.lightOriginX = 0.0f;
    span.light = 0.1f;
    span.lightStep = 0.8f / kRow;
    span.lightStepFixed = _r3xStepFixed20(span.lightStep);
    span.fog = 0.2f;
    span.fogStep = 0.7f / kRow;
    span.fogStepFixed = _r3xStepFixed20(span.fogStep);
  }
  ~SpanBed() {
    r3xDestroyRenderContext(nullptr, context_, 0);
    r3xShutdown();
  }

  R3xRenderContext* context_ = nullptr;
  std::vector<std::uint8_t> texels_ = std::vector<std::uint8_t>(64 * 64);
  std::vector<std::uint8_t> shades_ = std::vector<std::uint8_t>(65536);
  std::vector<std::uint8_t> source_ = std::vector<std::uint8_t>(kRow);
  std::vector<std::uint8_t> row_ = std::vector<std::uint8_t>(kRow);
};

SpanBed& Bed() {
  static SpanBed bed;
  return bed;
}

void PerPixel(benchmark::State& state) {
  state.counters["time_per_pixel"] = benchmark::Counter(
      kRow, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Memcpy(benchmark::State& state) {
  SpanBed& bed = Bed();
  for (auto _ : state) {
    std::memcpy(bed.row_.data(), bed.source_.data(), kRow);
    benchmark::DoNotOptimize(bed.row_.data());
    benchmark::ClobberMemory();
  }
  PerPixel(state);
}

void Opaque(benchmark::State& state, R3xSpanRoutine routine) {
  SpanBed& bed = Bed();
  for (auto _ : state) {
    routine(bed.context_, 0, kRow);
    benchmark::ClobberMemory();
  }
  PerPixel(state);
}

void Keyed(benchmark::State& state, R3xKeyedSpanRoutine routine) {
  SpanBed& bed = Bed();
  R3xList16* list = &bed.context_->work.spanLists[0];
  std::uint32_t* count = &bed.context_->work.spanWords[0];
  for (auto _ : state) {
    *count = 0;
    R3xCoveredRun* cursor = list->records;
    R3xCoveredRun* last = list->records - 1;
    std::uint32_t drawn = 0;
    std::int32_t endsInside = 0;
    benchmark::DoNotOptimize(
        routine(bed.context_, 0, kRow, &cursor, &last, count, &drawn, kKey, 0, &endsInside, list));
    benchmark::ClobberMemory();
  }
  PerPixel(state);
}

template <int Mode>
void RegisterOpaque() {
  const std::string name = "PerspOpaqueMode" + std::to_string(Mode);
  benchmark::RegisterBenchmark(name.c_str(), Opaque, &_r3xSpanPerspOpaque<Mode, 0, 0>);
  benchmark::RegisterBenchmark((name + "_64x64").c_str(), Opaque,
                               &_r3xSpanPerspOpaque<Mode, 64, 64>);
}
template <int Mode>
void RegisterKeyed() {
  const std::string name = "PerspKeyedMode" + std::to_string(Mode);
  benchmark::RegisterBenchmark(name.c_str(), Keyed, &_r3xSpanPerspKeyed<Mode, 0, 0>);
  benchmark::RegisterBenchmark((name + "_64x64").c_str(), Keyed, &_r3xSpanPerspKeyed<Mode, 64, 64>);
}

template <int Mode>
void RegisterAffineOpaque() {
  const std::string name = "AffineOpaqueMode" + std::to_string(Mode);
  benchmark::RegisterBenchmark(name.c_str(), Opaque, &_r3xSpanAffineOpaque<Mode, 0, 0>);
  benchmark::RegisterBenchmark((name + "_64x64").c_str(), Opaque,
                               &_r3xSpanAffineOpaque<Mode, 64, 64>);
}
template <int Mode>
void RegisterAffineKeyed() {
  const std::string name = "AffineKeyedMode" + std::to_string(Mode);
  benchmark::RegisterBenchmark(name.c_str(), Keyed, &_r3xSpanAffineKeyed<Mode, 0, 0>);
  benchmark::RegisterBenchmark((name + "_64x64").c_str(), Keyed,
                               &_r3xSpanAffineKeyed<Mode, 64, 64>);
}

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("MemcpyRow", Memcpy);
  RegisterOpaque<1>();
  RegisterOpaque<2>();
  RegisterOpaque<3>();
  RegisterOpaque<4>();
  RegisterOpaque<5>();
  RegisterKeyed<1>();
  RegisterKeyed<2>();
  RegisterKeyed<3>();
  RegisterKeyed<4>();
  RegisterAffineOpaque<1>();
  RegisterAffineOpaque<2>();
  RegisterAffineOpaque<3>();
  RegisterAffineOpaque<4>();
  RegisterAffineOpaque<5>();
  RegisterAffineKeyed<1>();
  RegisterAffineKeyed<2>();
  RegisterAffineKeyed<3>();
  RegisterAffineKeyed<4>();
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
