#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/span_pixel_internal.h"
#include "engine/raster/texture_gradients_internal.h"
#include "tests/engine_raster/raster_fixture.h"

namespace {

// The camera looks along +z with x right and y up; the image is 16 x 16 pixels, so that a wall
// at depth 8 shows one world unit per pixel.
class TextureGradientsTest : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    for (float& word : render_->view) {
      word = 0.0f;
    }
    render_->view[2] = render_->view[5] = 0.0f;
    render_->view[8] = 1.0f;
    render_->clipColumns[0][0] = 1.0f;
    render_->clipColumns[1][1] = 1.0f;
    render_->halfViewWidth = 8.0f;
    render_->halfViewHeight = 8.0f;
    pixels_.assign(64 * 32 * 2, 0);
    bitmap_.header.type = R3X_TYPE_BITMAP;
    bitmap_.pixels = pixels_.data();
    bitmap_.width = 64;
    bitmap_.widthLog2 = 6;
    bitmap_.height = 32;
    bitmap_.bitCount = 8;
    surface_.texture = &bitmap_.header;
    SetPlane(8.0f, 1.0f, 1.0f);
  }
  // The wall z = depth with texture origin on the view axis, u along x and v down.
  void SetPlane(float depth, float uLength, float vLength) {
    surface_.uvOrigin[0] = 0.0f;
    surface_.uvOrigin[1] = 0.0f;
    surface_.uvOrigin[2] = depth;
    surface_.uAxis[0] = uLength;
    surface_.vAxis[1] = -vLength;
  }
  // u and v at the screen offset (x, y) from the view centre, from the gradients.
  float UAt(float x, float y) const { return Interpolate(0, x, y) / Interpolate(2, x, y); }
  float VAt(float x, float y) const { return Interpolate(1, x, y) / Interpolate(2, x, y); }
  float Interpolate(int i, float x, float y) const {
    const R3xSpanState& span = render_->span;
    return span.interpolants[i] + span.xGradients[i] * x + span.yGradients[i] * y;
  }

  std::vector<std::uint8_t> pixels_;
  R3xBitmap bitmap_{};
  R3xSurface surface_{};
};

TEST_F(TextureGradientsTest, AWallFacingTheCameraHasKnownGradients) {
  bitmap_.lastFrame = 0;
  ASSERT_EQ(_r3xSetupTextureGradients(render_, &surface_, 0.0f, 0.0f), R3X_DONE);
  const R3xSpanState& span = render_->span;
  // O = (0, 0, 8), U' = (8, 0, 0), V' = (0, -8, 0).
  EXPECT_EQ(span.interpolants[0], 0.0f);
  EXPECT_EQ(span.xGradients[0], 64.0f);
  EXPECT_EQ(span.yGradients[0], 0.0f);
  EXPECT_EQ(span.interpolants[1], 0.0f);
  EXPECT_EQ(span.xGradients[1], 0.0f);
  EXPECT_EQ(span.yGradients[1], 64.0f);
  EXPECT_EQ(span.interpolants[2], 64.0f);
  EXPECT_EQ(span.xGradients[2], 0.0f);
  EXPECT_EQ(span.yGradients[2], 0.0f);
  EXPECT_EQ(span.xGradients16[0], 1024.0f);
  EXPECT_EQ(span.texels, pixels_.data());
}

// A slanted wall through (0, 0, 8), tilted about the vertical axis: u and v from the gradients
// match the texture coordinates of the wall point that each pixel shows.
TEST_F(TextureGradientsTest, ASlantedWallMapsEveryPixelToItsTexturePoint) {
  bitmap_.lastFrame = 0;
  surface_.uAxis[0] = 0.8f;
  surface_.uAxis[2] = 0.6f;
  ASSERT_EQ(_r3xSetupTextureGradients(render_, &surface_, 0.0f, 0.0f), R3X_DONE);
  for (float x : {-7.5f, -2.0f, 0.0f, 3.0f, 7.5f}) {
    for (float y : {-7.5f, 0.0f, 4.0f}) {
      // The ray (x / 8, -y / 8, 1) meets the wall at u along the axis: t (x/8, -y/8, 1) =
      // (0, 0, 8) + u (0.8, 0, 0.6) + v (0, -1, 0).
      const float t = 8.0f / (1.0f - 0.75f * x / 8.0f);
      const float u = t * x / 8.0f / 0.8f;
      const float v = t * y / 8.0f;
      EXPECT_NEAR(UAt(x, y), u, 1e-4f * (1.0f + std::fabs(u))) << x << " " << y;
      EXPECT_NEAR(VAt(x, y), v, 1e-4f * (1.0f + std::fabs(v))) << x << " " << y;
    }
  }
}

// One texel per pixel along v; u's texel step is 1 / length: the squared step picks the level,
// and a step equal to a threshold keeps the level below it.
TEST_F(TextureGradientsTest, TheTexelStepChoosesTheLevel) {
  struct Case {
    float uLength;
    std::int32_t furtherLevels;
    std::int32_t level;
  };
  const Case cases[] = {
      {1.0f, 3, 0},         {0.5f, 3, 1},  {0.49999997f, 3, 2}, {0.25f, 3, 2},
      {1.0f / 64.0f, 3, 3}, {0.25f, 0, 0}, {0.25f, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.uLength);
    bitmap_.lastFrame = c.furtherLevels;
    SetPlane(8.0f, c.uLength, 1.0f);
    ASSERT_EQ(_r3xSetupTextureGradients(render_, &surface_, 0.0f, 0.0f), R3X_DONE);
    const R3xSpanState& span = render_->span;
    EXPECT_EQ(span.textureWidth, 64u >> c.level);
    EXPECT_EQ(span.textureHeight, 32u >> c.level);
    // u and v come out in texels of the level.
    EXPECT_FLOAT_EQ(UAt(4.0f, 0.0f), 4.0f / c.uLength / static_cast<float>(1 << c.level));
  }
}

TEST_F(TextureGradientsTest, LevelOneOfA64By32Texture) {
  bitmap_.lastFrame = 3;
  SetPlane(8.0f, 0.5f, 1.0f);
  ASSERT_EQ(_r3xSetupTextureGradients(render_, &surface_, 0.0f, 0.0f), R3X_DONE);
  const R3xSpanState& span = render_->span;
  EXPECT_EQ(span.textureWidth, 32u);
  EXPECT_EQ(span.textureHeight, 16u);
  EXPECT_EQ(span.widthShift, 5);
  EXPECT_EQ(span.uMask, 31u);
  EXPECT_EQ(span.vMask, 15u << 22);
  EXPECT_EQ(span.vShift, 17);
  EXPECT_EQ(span.texels, pixels_.data() + 2048);
  EXPECT_EQ(span.interpolants[2], 32.0f * 2.0f);
}

// A 64 x 4 bitmap that claims five further levels has only two: its height cannot halve more.
TEST_F(TextureGradientsTest, LevelsBeyondTheSmallerSideAreNotUsed) {
  bitmap_.height = 4;
  bitmap_.lastFrame = 5;
  SetPlane(8.0f, 1.0f / 256.0f, 1.0f);
  ASSERT_EQ(_r3xSetupTextureGradients(render_, &surface_, 0.0f, 0.0f), R3X_DONE);
  EXPECT_EQ(render_->span.textureHeight, 1u);
  EXPECT_EQ(render_->span.textureWidth, 16u);
  bitmap_.lastFrame = 12;
  bitmap_.height = 4096;
  bitmap_.width = 4096;
  EXPECT_EQ(_r3xUsableMipLevels(&bitmap_), 9);
}

TEST_F(TextureGradientsTest, AFaceWithoutAnEightBitBitmapIsRefused) {
  surface_.texture = nullptr;
  EXPECT_EQ(_r3xSetupTextureGradients(render_, &surface_, 0.0f, 0.0f), R3X_ERR_FAILED);
  surface_.texture = &bitmap_.header;
  bitmap_.bitCount = 16;
  EXPECT_EQ(_r3xSetupTextureGradients(render_, &surface_, 0.0f, 0.0f), R3X_ERR_FAILED);
}

TEST_F(TextureGradientsTest, TheAffineLevelComesFromTheExtremeVertices) {
  bitmap_.lastFrame = 3;
  // 8 pixels across carry 32 texels of u, 8 pixels down 8 texels of v: 16 squared texels.
  R3xClipVertex vertices[4] = {At(0, 0, 1, 0, 0, 0), At(8, 0, 1, 0, 32, 0), At(8, 8, 1, 0, 32, 8),
                               At(0, 8, 1, 0, 0, 8)};
  ASSERT_EQ(_r3xSelectAffineMipLevel(render_, &surface_, vertices, 4, &vertices[0], &vertices[3],
                                     &vertices[0], &vertices[1]),
            R3X_DONE);
  EXPECT_EQ(render_->span.textureWidth, 16u);
  EXPECT_EQ(vertices[1].u, 8.0f);
  EXPECT_EQ(vertices[2].v, 2.0f);
}

TEST(RasterNumericTest, FixedPointComesFromTheBiasedDouble) {
  EXPECT_EQ(_r3xFixed22(1.0f), 1 << 22);
  EXPECT_EQ(_r3xFixed22(-1.0f), -(1 << 22));
  EXPECT_EQ(_r3xFixed22(511.5f), static_cast<std::int32_t>(511.5 * (1 << 22)));
  // Round to nearest at the 22nd fraction bit.
  EXPECT_EQ(_r3xFixed22(std::ldexp(1.0f, -23)), 0);
  EXPECT_EQ(_r3xFixed22(std::ldexp(3.0f, -23)), 2);
  EXPECT_EQ(_r3xFixed20(0.5f), 1 << 19);
  EXPECT_EQ(_r3xLightRowOffset(_r3xFixed20(0.99999f)), 15u << 8);
  EXPECT_EQ(_r3xFogBlockOffset(_r3xFixed20(0.0625f)), 1u << 12);
  // The step bias: a step rounds toward zero where the plain value rounds to nearest.
  const float gradient = std::ldexp(1000.75f, -20);
  EXPECT_EQ(_r3xFixed20(gradient), 1001);
  EXPECT_EQ(_r3xStepFixed20(gradient), 1000);
  EXPECT_EQ(_r3xStepFixed20(-gradient), -1000);
  EXPECT_EQ(_r3xStepFixed20(0.25f), 1 << 18);
  EXPECT_EQ(_r3xStepFixed20(0.0f), 0);
  EXPECT_EQ(_r3xLimitLight(1.5f), 0.99999f);
  EXPECT_EQ(_r3xLimitLight(0.99999f), 0.99999f);
  EXPECT_EQ(_r3xLimitLight(-3.0f), -3.0f);
  EXPECT_EQ(_r3xWrapAdd(0x7FFFFFFF, 1), static_cast<std::int32_t>(0x80000000u));
  EXPECT_EQ(_r3xCeilRow(3.0f), 3);
  EXPECT_EQ(_r3xCeilRow(3.1f), 4);
  // In float 37 + 0.999999 would round to 38.
  EXPECT_EQ(_r3xCeilRow(37.0f), 37);
}

// A negative light is level 0, not the level bits of a negative word (-0.1 would be level 14).
TEST(RasterNumericTest, ANegativeLightIndexesLevelZero) {
  EXPECT_EQ(_r3xLightRowOffset(_r3xLevelWord(-0.1f)), 0u);
  EXPECT_EQ(_r3xLevelWord(-0.0f), 0);
  EXPECT_EQ(_r3xLightRowOffset(_r3xLevelWord(0.5f)), 8u << 8);
}

TEST(RasterNumericTest, TexelsWrapInBothCoordinates) {
  std::vector<std::uint8_t> texels(8 * 4);
  for (std::size_t i = 0; i < texels.size(); ++i) {
    texels[i] = static_cast<std::uint8_t>(i);
  }
  R3xSpanState span{};
  span.texels = texels.data();
  span.uMask = 7;
  span.vMask = 3u << 22;
  span.vShift = 22 - 3;
  EXPECT_EQ(_r3xTexel(span, _r3xFixed22(-1.0f), _r3xFixed22(0.0f)), 7);
  EXPECT_EQ(_r3xTexel(span, _r3xFixed22(2.5f), _r3xFixed22(4.0f)), 2);
  EXPECT_EQ(_r3xTexel(span, _r3xFixed22(1.0f), _r3xFixed22(3.0f)), 25);
}

}  // namespace
