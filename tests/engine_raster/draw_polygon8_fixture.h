// The 8-bit drawer's tests: the 64 x 48 image behind four guard rows each side, a view whose clip
// space is the view space (x right, y up, z ahead), a shade table whose every entry is its level
// byte (fog level << 4 | light level), and a 64 x 64 texture mapped onto the plane z = 1 so that
// pixel (x, y) shows texel (x, y) there.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/raster/covered_runs_internal.h"
#include "engine/raster/draw_polygon8_internal.h"
#include "engine/raster/face_draw8_internal.h"
#include "tests/engine_raster/raster_fixture.h"

class DrawPolygon8Test : public RasterTest {
 protected:
  static constexpr std::int32_t kGuardRows = 4;
  static constexpr std::uint8_t kGuard = 0xEE;
  static constexpr std::uint8_t kPen = 200;

  void SetUp() override {
    RasterTest::SetUp();
    guarded_.assign(static_cast<std::size_t>(kWidth) * (kHeight + 2 * kGuardRows), kGuard);
    std::fill(guarded_.begin() + kGuardRows * kWidth, guarded_.end() - kGuardRows * kWidth, 0);
    render_->raster.image = guarded_.data() + kGuardRows * kWidth;
    render_->view[8] = 1.0f;
    render_->clipColumns[0][0] = 1.0f;
    render_->clipColumns[1][1] = 1.0f;
    render_->halfViewWidth = kWidth / 2.0f;
    render_->halfViewHeight = kHeight / 2.0f;
    render_->raster.screenToView[0] = 2.0f / (kWidth - 1.0f);
    render_->raster.screenToView[1] = 2.0f / (kHeight - 1.0f);
    render_->raster.flatDistance = 1000.0f;
    shade_.resize(16 * 4096);
    for (std::size_t i = 0; i < shade_.size(); ++i) {
      shade_[i] = static_cast<std::uint8_t>(i >> 8);
    }
    render_->shadeData = shade_.data();
    texels_.resize(64 * 64);
    for (std::size_t i = 0; i < texels_.size(); ++i) {
      texels_[i] = static_cast<std::uint8_t>(i % 64 < 32 ? 5 : R3X_DEFAULT_TRANSPARENT_INDEX);
    }
    bitmap_.header.type = R3X_TYPE_BITMAP;
    bitmap_.pixels = texels_.data();
    bitmap_.width = 64;
    bitmap_.widthLog2 = 6;
    bitmap_.height = 64;
    bitmap_.bitCount = 8;
    surface_.pen = kPen;
    surface_.intensity = 0.5f;
    // Texel (u, v) at pixel (u - 0.5, v - 0.5) of the plane z = 1.
    surface_.uvOrigin[0] = -1.0f;
    surface_.uvOrigin[1] = 1.0f;
    surface_.uvOrigin[2] = 1.0f;
    surface_.uAxis[0] = 1.0f / 32.0f;
    surface_.vAxis[1] = -1.0f / 24.0f;
    ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
  }

  // A vertex at pixel (x, y) of the screen, z ahead, with the texel that the plane z = 1 shows
  // there as its u and v.
  static R3xClipVertex Screen(float x, float y, float z = 1.0f) {
    return At((x - 31.5f) / 32.0f * z, (23.5f - y) / 24.0f * z, z, 0.0f, x + 0.5f, y + 0.5f);
  }
  // Places the polygon in the source and clip input arrays and draws it.
  std::int32_t Draw(const std::vector<R3xClipVertex>& polygon, R3xRenderMethod method) {
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      Source()[i] = polygon[i];
      Input()[i] = polygon[i];
    }
    return _r3xDrawPolygon8(render_, static_cast<std::uint32_t>(polygon.size()), &surface_, method);
  }
  // The square [x0, x1) x [y0, y1] on the plane z, clockwise on the screen.
  static std::vector<R3xClipVertex> Square(float x0, float y0, float x1, float y1, float z = 1.0f) {
    return {Screen(x0, y0, z), Screen(x1, y0, z), Screen(x1, y1, z), Screen(x0, y1, z)};
  }
  std::uint8_t At8(std::int32_t x, std::int32_t y) const {
    return guarded_[static_cast<std::size_t>(y + kGuardRows) * kWidth +
                    static_cast<std::size_t>(x)];
  }
  bool GuardsIntact() const {
    for (std::int32_t i = 0; i < kGuardRows * kWidth; ++i) {
      if (guarded_[static_cast<std::size_t>(i)] != kGuard ||
          guarded_[guarded_.size() - 1 - static_cast<std::size_t>(i)] != kGuard) {
        return false;
      }
    }
    return true;
  }
  std::vector<std::pair<std::int32_t, std::int32_t>> RowRuns(std::int32_t y) const {
    std::vector<std::pair<std::int32_t, std::int32_t>> runs;
    for (std::uint32_t i = 0; i < render_->work.spanWords[y]; ++i) {
      const R3xCoveredRun& run = render_->work.spanLists[y].records[i];
      runs.emplace_back(run.start, run.end);
    }
    return runs;
  }
  void UseTexture() { surface_.texture = &bitmap_.header; }

  std::vector<std::uint8_t> guarded_;
  std::vector<std::uint8_t> shade_;
  std::vector<std::uint8_t> texels_;
  R3xBitmap bitmap_{};
  R3xSurface surface_{};
};

// The solid fill of the drawer's tests' render-method words.
inline constexpr R3xRenderMethod kSolid = R3X_RENDER_FILL_SOLID;
