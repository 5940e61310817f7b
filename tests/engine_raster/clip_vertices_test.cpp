#include <bit>
#include <cmath>
#include <vector>

#include "engine/raster/clip_vertices_internal.h"
#include "tests/engine_raster/raster_fixture.h"

namespace {

class ClipVerticesTest : public RasterTest {};

struct Corner {
  float x, y, z;
};

// A triangle reaching past each plane in turn, its first vertex outside: the plane's vertices
// come out exactly on the plane.
TEST_F(ClipVerticesTest, EachPlaneCutsInBitOrder) {
  struct Case {
    std::uint32_t mask;
    std::vector<R3xClipVertex> input;
    std::vector<Corner> expected;
  };
  const std::vector<Case> cases = {
      {R3X_CLIP_BOTTOM,
       {At(0, -20, 10), At(5, 0, 10), At(-5, 0, 10)},
       {{2.5f, -10, 10}, {5, 0, 10}, {-5, 0, 10}, {-2.5f, -10, 10}}},
      {R3X_CLIP_TOP,
       {At(0, 20, 10), At(5, 0, 10), At(-5, 0, 10)},
       {{2.5f, 10, 10}, {5, 0, 10}, {-5, 0, 10}, {-2.5f, 10, 10}}},
      {R3X_CLIP_LEFT,
       {At(-20, 0, 10), At(0, 5, 10), At(0, -5, 10)},
       {{-10, 2.5f, 10}, {0, 5, 10}, {0, -5, 10}, {-10, -2.5f, 10}}},
      {R3X_CLIP_RIGHT,
       {At(20, 0, 10), At(0, 5, 10), At(0, -5, 10)},
       {{10, 2.5f, 10}, {0, 5, 10}, {0, -5, 10}, {10, -2.5f, 10}}},
      {R3X_CLIP_NEAR,
       {At(0, 0, 0), At(1, 0, 3), At(-1, 0, 3)},
       {{1.0f / 3.0f, 0, 1}, {1, 0, 3}, {-1, 0, 3}, {-1.0f / 3.0f, 0, 1}}},
      {R3X_CLIP_FAR,
       {At(0, 0, 120), At(1, 0, 80), At(-1, 0, 80)},
       {{0.5f, 0, 100}, {1, 0, 80}, {-1, 0, 80}, {-0.5f, 0, 100}}},
      // Left then right: the left cut's vertices are cut again by the right plane.
      {R3X_CLIP_LEFT | R3X_CLIP_RIGHT,
       {At(-20, 0, 10), At(20, 0, 10), At(0, 5, 10)},
       {{-10, 0, 10}, {10, 0, 10}, {10, 2.5f, 10}, {0, 5, 10}, {-10, 2.5f, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mask);
    render_->clipMask = c.mask;
    SetInput(c.input);
    R3xClipVertex* out = nullptr;
    ASSERT_EQ(_r3xClipVertices(render_, 3, &out), static_cast<std::int32_t>(c.expected.size()));
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
      EXPECT_FLOAT_EQ(out[i].x, c.expected[i].x) << i;
      EXPECT_FLOAT_EQ(out[i].y, c.expected[i].y) << i;
      EXPECT_FLOAT_EQ(out[i].z, c.expected[i].z) << i;
    }
  }
}

TEST_F(ClipVerticesTest, AnInsideTriangleKeepsItsVerticesInTheArrayOfThePlaneCount) {
  const std::vector<R3xClipVertex> triangle = {At(0, 0, 10), At(1, 0, 10), At(0, 1, 10)};
  for (std::uint32_t mask : {R3X_CLIP_LEFT, R3X_CLIP_LEFT | R3X_CLIP_RIGHT,
                             R3X_CLIP_BOTTOM | R3X_CLIP_TOP | R3X_CLIP_NEAR}) {
    SetInput(triangle);
    render_->clipMask = mask;
    R3xClipVertex* out = nullptr;
    ASSERT_EQ(_r3xClipVertices(render_, 3, &out), 3);
    EXPECT_EQ(out, std::popcount(mask) % 2 == 1 ? Alternate() : Input()) << mask;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(out[i].x, triangle[i].x);
      EXPECT_EQ(out[i].y, triangle[i].y);
    }
  }
}

TEST_F(ClipVerticesTest, FewVerticesNoMaskAndWhollyOutside) {
  R3xClipVertex* out = nullptr;
  render_->clipMask = 0;
  SetInput({At(0, 0, 10), At(1, 0, 10), At(0, 1, 10)});
  EXPECT_EQ(_r3xClipVertices(render_, 2, &out), 0);
  EXPECT_EQ(out, Input());
  EXPECT_EQ(_r3xClipVertices(render_, 3, &out), 3);
  EXPECT_EQ(out, Input());
  render_->clipMask = R3X_CLIP_NEAR;
  SetInput({At(0, 0, 0.5f), At(1, 0, 0.5f), At(0, 1, 0.5f)});
  EXPECT_EQ(_r3xClipVertices(render_, 3, &out), 0);
  // Beyond the far distance, but the far bit is clear.
  SetInput({At(0, 0, 200), At(1, 0, 200), At(0, 1, 200)});
  EXPECT_EQ(_r3xClipVertices(render_, 3, &out), 3);
}

// Left-plane distance z + x: +0 keeps the vertex alone, -0 also adds the repeated vertices.
TEST_F(ClipVerticesTest, AVertexOnThePlaneStaysAndNegativeZeroRepeatsIt) {
  render_->clipMask = R3X_CLIP_LEFT;
  R3xClipVertex* out = nullptr;
  SetInput({At(-1, 0, 1), At(1, 0, 1), At(0, 1, 1)});
  EXPECT_EQ(_r3xClipVertices(render_, 3, &out), 3);
  SetInput({At(-0.0f, 0, -0.0f), At(1, 0, 1), At(0, 1, 1)});
  ASSERT_EQ(_r3xClipVertices(render_, 3, &out), 5);
  for (int i : {0, 1, 4}) {
    EXPECT_EQ(out[i].x, 0.0f) << i;
    EXPECT_EQ(out[i].z, 0.0f) << i;
  }
  EXPECT_EQ(out[2].x, 1.0f);
  EXPECT_EQ(out[3].y, 1.0f);
}

TEST_F(ClipVerticesTest, EachRoutineInterpolatesItsOwnWords) {
  struct Case {
    std::int32_t (*clip)(R3xRenderContext*, std::int32_t, R3xClipVertex**);
    bool light;
    bool uv;
  };
  const Case cases[] = {{_r3xClipVertices, false, false},
                        {_r3xClipVerticesUV, false, true},
                        {_r3xClipVerticesLit, true, false},
                        {_r3xClipVerticesLitUV, true, true}};
  render_->clipMask = R3X_CLIP_LEFT;
  for (const Case& c : cases) {
    // Edge from (-20, 0, 10) to (0, 0, 30): x = -z at t = 0.25 in clip space.
    SetInput({At(-20, 0, 10, 0.2f, 4, 8), At(0, 0, 30, 0.6f, 8, 16), At(0, 5, 30, 0.6f, 8, 16)});
    Alternate()[0] = At(7, 7, 7, -1.0f, -1.0f, -1.0f);
    R3xClipVertex* out = nullptr;
    ASSERT_GE(c.clip(render_, 3, &out), 3);
    EXPECT_EQ(out[0].x, -out[0].z);
    EXPECT_FLOAT_EQ(out[0].z, 15.0f);
    EXPECT_FLOAT_EQ(out[0].red, c.light ? 0.3f : -1.0f);
    EXPECT_FLOAT_EQ(out[0].u, c.uv ? 5.0f : -1.0f);
    EXPECT_FLOAT_EQ(out[0].v, c.uv ? 10.0f : -1.0f);
  }
}

TEST_F(ClipVerticesTest, CopyingTextureCoordinatesTakesTheSourceWords) {
  Source()[0] = At(0, 0, 0, 0, 3, 4);
  Source()[1] = At(0, 0, 0, 0, 5, 6);
  EXPECT_EQ(_r3xCopyVertexUV(render_, 2), R3X_DONE);
  EXPECT_EQ(Input()[1].u, 5.0f);
  EXPECT_EQ(Input()[1].v, 6.0f);
  EXPECT_EQ(_r3xCopyVertexUV(render_, 33), R3X_ERR_FAILED);
}

// The arrays hold 32 vertices: a polygon is clipped only when six more fit.
TEST_F(ClipVerticesTest, APolygonThatCouldOutgrowTheArraysIsRefused) {
  constexpr float kPi = 3.14159265f;
  render_->clipMask = 0x3F;
  for (std::int32_t count : {26, 27}) {
    for (std::int32_t i = 0; i < count; ++i) {
      const float angle = 2.0f * kPi * static_cast<float>(i) / static_cast<float>(count);
      Input()[i] = At(20.0f * std::cos(angle), 20.0f * std::sin(angle), 10.0f);
    }
    R3xClipVertex* out = nullptr;
    const std::int32_t result = _r3xClipVertices(render_, count, &out);
    if (count == 26) {
      EXPECT_GT(result, 3);
    } else {
      EXPECT_EQ(result, R3X_ERR_FAILED);
      EXPECT_EQ(out, Input());
    }
  }
}

}  // namespace
