// The 8-bit drawer's span routine choice: by texture kind, shading, key and the texture level's
// size, with the size tables' members in place of the generic ones.
#include <bit>
#include <cstdint>
#include <vector>

#include "engine/raster/depth_lines_internal.h"
#include "engine/raster/exact_spans_internal.h"
#include "engine/raster/flat_spans_internal.h"
#include "engine/raster/persp_spans_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/span_choice8_internal.h"
#include "engine/raster/span_size_tables_internal.h"
#include "engine/raster/vertex_lighting8_internal.h"
#include "tests/engine_raster/draw_polygon8_fixture.h"

namespace {

class SpanChoice8Test : public DrawPolygon8Test {
 protected:
  void SetUp() override {
    DrawPolygon8Test::SetUp();
    large_.assign(256 * 256, 5);
    bitmap_.pixels = large_.data();
    UseTexture();
    const std::vector<R3xClipVertex> square = Square(10, 10, 20, 20);
    for (std::size_t i = 0; i < square.size(); ++i) {
      Input()[i] = square[i];
    }
  }
  void SetSize(std::int32_t width, std::int32_t height) {
    bitmap_.width = width;
    bitmap_.height = height;
    bitmap_.widthLog2 = static_cast<std::int16_t>(std::countr_zero(static_cast<unsigned>(width)));
  }
  // The choice for a face of the kind, lit to `light`, smooth and fogged as asked.
  R3xFaceDraw Choose(std::int32_t kind, float light, bool smooth, bool keyed, bool fog = false,
                     R3xRenderMethod extra = 0) {
    R3xFaceDraw face{};
    face.kind = kind;
    face.keyed = keyed;
    face.shading.method = extra;
    face.shading.smooth = smooth;
    face.shading.fog = fog;
    face.shading.light = light;
    face.vertices = Input();
    face.count = 4;
    face.top = 0;
    face.right = 1;
    face.bottom = 2;
    face.left = 3;
    render_->span.shadeData = shade_.data();
    _r3xChooseShadingMode8(&face);
    EXPECT_EQ(_r3xChooseSpanRoutines8(render_, &surface_, &face), 0);
    return face;
  }

  std::vector<std::uint8_t> large_;
};

TEST_F(SpanChoice8Test, APerspectiveFaceTakesTheMemberOfItsLevelsSize) {
  struct Case {
    std::int32_t width;
    std::int32_t height;
    R3xSpanRoutine expected;
  };
  const Case cases[] = {
      {64, 64, &_r3xSpanPerspOpaque<1, 64, 64>},
      {64, 128, &_r3xSpanPerspOpaque<1, 64, 128>},
      // Height half the width: no member of its own.
      {64, 32, _r3xSpanPerspOpaqueMode1},
      {16, 16, &_r3xSpanPerspOpaque<1, 16, 16>},
      {4, 4, _r3xSpanPerspOpaqueMode1},
  };
  for (const Case& c : cases) {
    SetSize(c.width, c.height);
    const R3xFaceDraw face = Choose(R3X_KIND_PERSPECTIVE, R3X_LIGHT_LIMIT, false, false);
    EXPECT_EQ(face.mode, 1);
    EXPECT_EQ(face.opaque, c.expected) << c.width << " x " << c.height;
  }
}

TEST_F(SpanChoice8Test, KeyedMembersStartAt32) {
  SetSize(16, 16);
  R3xFaceDraw face = Choose(R3X_KIND_PERSPECTIVE, R3X_LIGHT_LIMIT, false, true);
  EXPECT_EQ(face.keyedRoutine, _r3xSpanPerspKeyedMode1);
  SetSize(32, 32);
  face = Choose(R3X_KIND_PERSPECTIVE, R3X_LIGHT_LIMIT, false, true);
  EXPECT_EQ(face.keyedRoutine, (&_r3xSpanPerspKeyed<1, 32, 32>));
}

TEST_F(SpanChoice8Test, TheShadingPicksTheMode) {
  SetSize(64, 64);
  struct Case {
    float light;
    bool smooth;
    bool keyed;
    bool fog;
    R3xRenderMethod extra;
    std::int32_t mode;
  };
  const Case cases[] = {
      {R3X_LIGHT_LIMIT, false, false, false, 0, 1},
      {0.5f, false, false, false, 0, 2},
      {R3X_LIGHT_LIMIT, false, false, true, 0, 2},
      {0.5f, true, false, false, 0, 3},
      {0.5f, true, false, true, 0, 4},
      // Light stepped every pixel: opaque faces only, and not with fog.
      {0.5f, true, false, false, R3X_METHOD_LIGHT_PER_PIXEL, 5},
      {0.5f, true, true, false, R3X_METHOD_LIGHT_PER_PIXEL, 3},
      {0.5f, true, true, true, R3X_METHOD_LIGHT_PER_PIXEL, 4},
  };
  for (const Case& c : cases) {
    const R3xFaceDraw face =
        Choose(R3X_KIND_PERSPECTIVE, c.light, c.smooth, c.keyed, c.fog, c.extra);
    EXPECT_EQ(face.mode, c.mode) << c.mode;
  }
  R3xFaceDraw face =
      Choose(R3X_KIND_PERSPECTIVE, 0.5f, true, false, false, R3X_METHOD_LIGHT_PER_PIXEL);
  EXPECT_EQ(face.opaque, (&_r3xSpanPerspOpaque<5, 64, 64>));
  face = Choose(R3X_KIND_PERSPECTIVE, 0.5f, true, true, false, R3X_METHOD_LIGHT_PER_PIXEL);
  EXPECT_EQ(face.keyedRoutine, (&_r3xSpanPerspKeyed<3, 64, 64>));
  // Mode 2: the one shade row of the face's level.
  face = Choose(R3X_KIND_PERSPECTIVE, 0.5f, false, false);
  EXPECT_EQ(render_->span.shadeRow, shade_.data() + 8 * 256);
}

TEST_F(SpanChoice8Test, ADimFlatFaceIsFilledWithLevelZero) {
  SetSize(64, 64);
  const R3xFaceDraw face = Choose(R3X_KIND_PERSPECTIVE, 0.05f, false, false);
  EXPECT_EQ(face.kind, R3X_KIND_FLAT);
  EXPECT_EQ(face.opaque, _r3xSpanFill8);
  EXPECT_EQ(render_->span.flatColour, shade_[kPen]);
  // A keyed one stays textured.
  EXPECT_EQ(Choose(R3X_KIND_PERSPECTIVE, 0.05f, false, true).kind, R3X_KIND_PERSPECTIVE);
}

TEST_F(SpanChoice8Test, UntexturedFacesFillOrShadeTheirColour) {
  R3xFaceDraw face = Choose(R3X_KIND_FLAT, R3X_LIGHT_LIMIT, false, false);
  EXPECT_EQ(face.opaque, _r3xSpanFill8);
  EXPECT_EQ(render_->span.flatColour, kPen);
  face = Choose(R3X_KIND_FLAT, 0.5f, true, false);
  EXPECT_EQ(face.opaque, _r3xSpanFlatLit8);
  face = Choose(R3X_KIND_FLAT, 0.5f, true, false, true);
  EXPECT_EQ(face.opaque, _r3xSpanFlatLitFog8);
}

TEST_F(SpanChoice8Test, ExactAndConstantDepthFacesKeepTheirRoutines) {
  SetSize(64, 64);
  R3xFaceDraw face = Choose(R3X_KIND_EXACT, R3X_LIGHT_LIMIT, false, false);
  EXPECT_EQ(face.opaque, _r3xSpanExactOpaqueMode1);
  face = Choose(R3X_KIND_EXACT, 0.5f, true, true, false, R3X_METHOD_LIGHT_PER_PIXEL);
  EXPECT_EQ(face.keyedRoutine, _r3xSpanExactKeyedMode3);
  // The face lies at one depth: its lines of constant depth run along the rows of the screen.
  face = Choose(R3X_KIND_DEPTH_LINES, 0.5f, false, true);
  EXPECT_FALSE(face.keyed);
  EXPECT_EQ(face.opaque, _r3xSpanDepthHorizMode2);
}

// An affine face takes the affine family from its size tables' blocks, which the affine span
// routines fill; while the blocks are empty it is drawn with the perspective family.
TEST_F(SpanChoice8Test, AnAffineFaceTakesItsFamilyOrPerspective) {
  SetSize(64, 64);
  const R3xFaceDraw face = Choose(R3X_KIND_AFFINE, R3X_LIGHT_LIMIT, false, false);
  const R3xSpanRoutine affine = _r3xSpanSizeTables[R3X_SPAN_BLOCK_AFFINE_OPAQUE].square[0].opaque;
  if (affine != nullptr) {
    EXPECT_EQ(face.kind, R3X_KIND_AFFINE);
    EXPECT_EQ(face.opaque, _r3xSpanSizeTables[R3X_SPAN_BLOCK_AFFINE_OPAQUE].square[6].opaque);
  } else {
    EXPECT_EQ(face.kind, R3X_KIND_PERSPECTIVE);
    EXPECT_EQ(face.opaque, (&_r3xSpanPerspOpaque<1, 64, 64>));
  }
}

}  // namespace
