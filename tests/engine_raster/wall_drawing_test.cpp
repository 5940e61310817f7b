// A wall slanted away to the right fills the 64 x 48 image, drawn with the gradients of its
// texture plane, once with a division per pixel and once along lines of constant depth.
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/raster/depth_lines_internal.h"
#include "engine/raster/exact_spans_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/texture_gradients_internal.h"
#include "tests/engine_raster/raster_fixture.h"

namespace {

// The camera looks along +z; the texture's texel is its column, u.
class WallDrawingTest : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    render_->view[8] = 1.0f;
    render_->clipColumns[0][0] = 1.0f;
    render_->clipColumns[1][1] = 1.0f;
    render_->halfViewWidth = kWidth / 2.0f;
    render_->halfViewHeight = kHeight / 2.0f;
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
      pixels_[i] = static_cast<std::uint8_t>(i % 64);
    }
    bitmap_.header.type = R3X_TYPE_BITMAP;
    bitmap_.pixels = pixels_.data();
    bitmap_.width = 64;
    bitmap_.widthLog2 = 6;
    bitmap_.height = 64;
    bitmap_.bitCount = 8;
    surface_.texture = &bitmap_.header;
    surface_.uvOrigin[2] = 8.0f;
    surface_.uAxis[0] = 0.8f;
    surface_.uAxis[2] = 0.6f;
    surface_.vAxis[1] = -1.0f;
    ASSERT_EQ(_r3xSetupTextureGradients(render_, &surface_, 0.0f, 0.0f), R3X_DONE);
  }
  // u at a pixel from the gradients at the view centre.
  float ExactU(std::int32_t x, std::int32_t y) const {
    const R3xSpanState& span = render_->span;
    const float dx = static_cast<float>(x) - (render_->halfViewWidth - 0.5f);
    const float dy = static_cast<float>(y) - (render_->halfViewHeight - 0.5f);
    const float w = span.interpolants[2] + span.xGradients[2] * dx + span.yGradients[2] * dy;
    return (span.interpolants[0] + span.xGradients[0] * dx + span.yGradients[0] * dy) / w;
  }
  // The drawer's duty per row: the interpolants at x = 0 of row y.
  void MoveToRow(std::int32_t y, const float* centre) {
    R3xSpanState& span = render_->span;
    const float dx = -(render_->halfViewWidth - 0.5f);
    const float dy = static_cast<float>(y) - (render_->halfViewHeight - 0.5f);
    for (int i = 0; i < 3; ++i) {
      span.interpolants[i] = centre[i] + span.xGradients[i] * dx + span.yGradients[i] * dy;
    }
    SetRow(y);
  }

  std::vector<std::uint8_t> pixels_ = std::vector<std::uint8_t>(64 * 64);
  R3xBitmap bitmap_{};
  R3xSurface surface_{};
};

TEST_F(WallDrawingTest, ExactSpansDrawTheTexelOfEveryPixel) {
  const float centre[3] = {render_->span.interpolants[0], render_->span.interpolants[1],
                           render_->span.interpolants[2]};
  for (std::int32_t y = 0; y < kHeight; ++y) {
    MoveToRow(y, centre);
    _r3xSpanExactOpaqueMode1(render_, 0, kWidth);
  }
  const R3xSpanState& span = render_->span;
  for (std::int32_t y = 0; y < kHeight; ++y) {
    // The routine's own sequence: the values at x = 0 of the row, stepped per pixel.
    float u = centre[0] + span.xGradients[0] * -31.5f +
              span.yGradients[0] * (static_cast<float>(y) - 23.5f);
    float w = centre[2] + span.xGradients[2] * -31.5f +
              span.yGradients[2] * (static_cast<float>(y) - 23.5f);
    for (std::int32_t x = 0; x < kWidth; ++x) {
      const std::int32_t fixed = _r3xFixed22(u * (1.0f / w));
      ASSERT_EQ(Pixel(x, y), (fixed >> 22) & 63) << x << " " << y;
      u += span.xGradients[0];
      w += span.xGradients[2];
    }
  }
}

// Lines of constant depth run down the screen (1/z changes along x only); their quadratic fits
// stay within one texel of the exact mapping.
TEST_F(WallDrawingTest, ConstantDepthRowsFollowThePerspective) {
  const R3xClipVertex screen[4] = {At(0, 0, 1), At(63, 0, 1), At(63, 47, 1), At(0, 47, 1)};
  ASSERT_EQ(_r3xSetupDepthLines(render_, screen, 4), 0);
  ASSERT_EQ(render_->span.depthLines.kind, R3X_DEPTHLINE_ROWS);
  EXPECT_GT(render_->span.depthLines.segmentCount, 1u);
  std::int32_t exact = 0;
  for (std::int32_t y = 0; y < kHeight; ++y) {
    SetRow(y);
    _r3xSpanDepthRowsMode1(render_, 0, kWidth);
    _r3xAdvanceDepthLines(render_);
    for (std::int32_t x = 0; x < kWidth; ++x) {
      const std::int32_t expected = r3xFloatToInt(std::floor(ExactU(x, y))) & 63;
      const std::int32_t difference = (Pixel(x, y) - expected + 64) % 64;
      ASSERT_TRUE(difference == 0 || difference == 1 || difference == 63) << x << " " << y;
      exact += difference == 0 ? 1 : 0;
    }
  }
  EXPECT_GT(exact, kWidth * kHeight * 9 / 10);
}

}  // namespace
