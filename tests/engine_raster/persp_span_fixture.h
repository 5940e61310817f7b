// A render context whose span state draws rows 0 and 1 of the image with a texture and shade
// data of the test's own, with the colour-keyed call's bookkeeping for both rows' run lists.
#pragma once

#include <bit>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/raster/exact_spans_internal.h"
#include "tests/engine_raster/raster_fixture.h"

using Bytes = std::vector<std::uint8_t>;
using Runs = std::vector<std::pair<std::int32_t, std::int32_t>>;

inline constexpr std::uint8_t kUntouched = 0xEE;

// The span state of one row with a texture and shade data of the test's own, and the keyed
// call's bookkeeping for each row's run list.
class PerspSpanTest : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    image_.assign(image_.size(), kUntouched);
    for (std::int32_t row = 0; row < 2; ++row) {
      keyed_[row].list = &render_->work.spanLists[row];
      keyed_[row].count = &render_->work.spanWords[row];
      ResetRuns(row);
    }
    SetRow(0);
  }

  struct KeyedRow {
    R3xList16* list;
    std::uint32_t* count;
    R3xCoveredRun* cursor;
    R3xCoveredRun* last;
    std::uint32_t drawn;
    std::int32_t endsInside;
  };

  void ResetRuns(std::int32_t row) {
    KeyedRow& k = keyed_[row];
    *k.count = 0;
    k.cursor = k.list->records;
    k.last = k.list->records - 1;
    k.drawn = 0;
    k.endsInside = -1;
  }

  // A level of width x height; the fields a generic member reads describe it.
  void SetTexture(const Bytes& texels, std::uint32_t width, std::uint32_t height) {
    texture_ = texels;
    R3xSpanState& span = render_->span;
    span.texels = texture_.data();
    span.textureWidth = width;
    span.textureHeight = height;
    span.widthShift = std::countr_zero(width);
    span.uMask = width - 1;
    span.vMask = (height - 1) << 22;
    span.vShift = 22 - span.widthShift;
  }
  // u/z, v/z and 1/z at column 0 and their per-pixel steps; the 16-pixel steps as the drawer
  // forms them, in floats.
  void SetPlanes(float u, float uStep, float v, float vStep, float w, float wStep) {
    R3xSpanState& span = render_->span;
    const float values[3] = {u, v, w};
    const float steps[3] = {uStep, vStep, wStep};
    for (int i = 0; i < 3; ++i) {
      span.interpolants[i] = values[i];
      span.xGradients[i] = steps[i];
      span.xGradients16[i] = steps[i] * 16.0f;
    }
  }
  void SetLight(float light, float step, std::int32_t stepFixed) {
    render_->span.light = light;
    render_->span.lightStep = step;
    render_->span.lightStepFixed = stepFixed;
  }
  void SetFog(float fog, float step, std::int32_t stepFixed) {
    render_->span.fog = fog;
    render_->span.fogStep = step;
    render_->span.fogStepFixed = stepFixed;
  }
  // Shade data whose byte is 16 x fog level + light level, whatever the texel.
  void SetLevelShades() {
    shades_.resize(65536);
    for (std::size_t i = 0; i < shades_.size(); ++i) {
      shades_[i] = static_cast<std::uint8_t>(((i >> 12) << 4) | ((i >> 8) & 15));
    }
    render_->span.shadeData = shades_.data();
  }

  std::int32_t Keyed(R3xKeyedSpanRoutine routine, std::int32_t row, std::int32_t x,
                     std::int32_t count, std::int32_t key, std::int32_t startsInside) {
    SetRow(row);
    KeyedRow& k = keyed_[row];
    return routine(render_, x, count, &k.cursor, &k.last, k.count, &k.drawn, key, startsInside,
                   &k.endsInside, k.list);
  }
  Runs Listed(std::int32_t row) const {
    Runs runs;
    for (std::uint32_t i = 0; i < *keyed_[row].count; ++i) {
      runs.emplace_back(keyed_[row].list->records[i].start, keyed_[row].list->records[i].end);
    }
    return runs;
  }
  Bytes Row(std::int32_t row, std::int32_t from, std::int32_t to) const {
    return Bytes(image_.begin() + row * kWidth + from, image_.begin() + row * kWidth + to);
  }

  // u = 256 x / (16 + x) texels along a 256 x 1 level whose texel is its column: block starts
  // 0, 16, 32 give u = 0, 128, 170.67.
  void SetHandSpan() {
    Bytes texels(256);
    for (std::size_t i = 0; i < texels.size(); ++i) {
      texels[i] = static_cast<std::uint8_t>(i);
    }
    SetTexture(texels, 256, 1);
    SetPlanes(0.0f, 16.0f, 0.0f, 0.0f, 1.0f, 0.0625f);
    render_->span.gridX = 0;
  }

  Bytes texture_;
  Bytes shades_;
  KeyedRow keyed_[2]{};
};
