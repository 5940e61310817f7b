#include <array>
#include <cmath>
#include <vector>

#include "tests/engine_display/corners_past_every_plane.h"
#include "tests/engine_display/lighting_fixture.h"

namespace {

class PolygonClipTest : public LightingTest {
 protected:
  void SetUp() override {
    LightingTest::SetUp();
    render_->nearDistance = 1.0f;
    render_->farDistance = 100.0f;
  }
  void SetInput(const std::vector<R3xClipVertex>& vertices) {
    for (std::size_t i = 0; i < vertices.size(); ++i) {
      Input()[i] = vertices[i];
    }
  }
};

struct Expected {
  float x, y, z, red;
};

TEST_F(PolygonClipTest, PlanesCutTheTriangleInTurn) {
  struct Case {
    std::uint32_t mask;
    std::vector<Expected> vertices;
    int array;  // the work array the result stands in
  };
  const Case cases[] = {
      {R3X_CLIP_RIGHT, {{0, 0, 1, 0}, {1, 0, 1, 0.25f}, {1, 1.5f, 1, 0.625f}, {0, 2, 1, 0.5f}}, 2},
      {R3X_CLIP_RIGHT | R3X_CLIP_TOP,
       {{0, 0, 1, 0}, {1, 0, 1, 0.25f}, {1, 1, 1, 0.25f + 0.375f * 2.0f / 3.0f}, {0, 1, 1, 0.25f}},
       1},
  };
  for (const Case& c : cases) {
    SetInput({At(0, 0, 1, 0.0f), At(4, 0, 1, 1.0f), At(0, 2, 1, 0.5f)});
    render_->clipMask = c.mask;
    R3xClipVertex* out = nullptr;
    const std::int32_t count = _r3xClipPolygonRGB(render_, 3, &out);
    ASSERT_EQ(count, static_cast<std::int32_t>(c.vertices.size())) << c.mask;
    EXPECT_EQ(out, render_->work.clip[c.array]);
    for (std::size_t i = 0; i < c.vertices.size(); ++i) {
      EXPECT_FLOAT_EQ(out[i].x, c.vertices[i].x) << c.mask << " " << i;
      EXPECT_FLOAT_EQ(out[i].y, c.vertices[i].y) << c.mask << " " << i;
      EXPECT_FLOAT_EQ(out[i].z, c.vertices[i].z) << c.mask << " " << i;
      EXPECT_FLOAT_EQ(out[i].red, c.vertices[i].red) << c.mask << " " << i;
    }
  }
}

TEST_F(PolygonClipTest, AllSixPlanesLeaveThePolygonInsideTheVolume) {
  R3xClipVertex a = At(0, -10, 0);
  R3xClipVertex b = At(30, 20, 50);
  R3xClipVertex c = At(-30, 5, 150);
  a.u = 0.0f;
  b.u = 50.0f;
  c.u = 150.0f;
  SetInput({a, b, c});
  render_->clipMask = 0x3F;
  R3xClipVertex* out = nullptr;
  const std::int32_t count = _r3xClipPolygon(render_, 3, &out);
  ASSERT_GE(count, 3);
  EXPECT_EQ(out, render_->work.clip[1]);
  const float slack = 1e-3f;
  for (std::int32_t i = 0; i < count; ++i) {
    EXPECT_LE(std::fabs(out[i].x), out[i].z + slack) << i;
    EXPECT_LE(std::fabs(out[i].y), out[i].z + slack) << i;
    EXPECT_GE(out[i].z, 1.0f - slack) << i;
    EXPECT_LE(out[i].z, 100.0f + slack) << i;
    // u was laid out equal to z along every edge, so interpolation keeps it so.
    EXPECT_NEAR(out[i].u, out[i].z, 1e-3f) << i;
  }
}

// Arrays of n + 6 vertices hold whatever the six planes make of a polygon of n corners, also
// when the last plane's last edge writes into the last slot, whichever corner comes first.
TEST_F(PolygonClipTest, APolygonCutByEveryPlaneFillsArraysOfItsCornersAndSix) {
  const auto corners = static_cast<std::int32_t>(render_->work.vertexCapacity) - 6;
  const std::vector<std::array<float, 3>> ring = CornersPastEveryPlane(corners);
  render_->clipMask = 0x3F;
  for (std::int32_t first = 0; first < corners; ++first) {
    for (std::int32_t k = 0; k < corners; ++k) {
      const std::array<float, 3>& p = ring[static_cast<std::size_t>((first + k) % corners)];
      Input()[k] = At(p[0], p[1], p[2]);
    }
    R3xClipVertex* out = nullptr;
    ASSERT_EQ(_r3xClipPolygon(render_, corners, &out), corners + 6) << first;
    const float slack = 1e-3f;
    for (std::int32_t i = 0; i < corners + 6; ++i) {
      EXPECT_LE(std::fabs(out[i].x), out[i].z + slack) << first << " " << i;
      EXPECT_LE(std::fabs(out[i].y), out[i].z + slack) << first << " " << i;
      EXPECT_GE(out[i].z, 1.0f - slack) << first << " " << i;
      EXPECT_LE(out[i].z, 100.0f + slack) << first << " " << i;
    }
  }
}

TEST_F(PolygonClipTest, TrianglesInsideComeBackUnchanged) {
  for (const auto& [mask, array] : {std::pair{0x3Fu, 1}, std::pair{R3X_CLIP_NEAR, 2}}) {
    SetInput({At(0, 0, 5, 0.1f), At(1, 0, 5, 0.2f), At(0, 1, 5, 0.3f)});
    render_->clipMask = mask;
    R3xClipVertex* out = nullptr;
    ASSERT_EQ(_r3xClipPolygonRGB(render_, 3, &out), 3);
    EXPECT_EQ(out, render_->work.clip[array]);
    EXPECT_EQ(out[1].x, 1.0f);
    EXPECT_EQ(out[2].red, 0.3f);
  }
}

TEST_F(PolygonClipTest, NegativeZeroDistanceKeepsTheVertexAndRepeatsIt) {
  SetInput({At(0.0f, -0.0f, -0.0f), At(1, 1, 1), At(-1, 1, 1)});
  render_->clipMask = R3X_CLIP_BOTTOM;
  R3xClipVertex* out = nullptr;
  ASSERT_EQ(_r3xClipPolygonRGB(render_, 3, &out), 5);
  EXPECT_EQ(out[0].x, 0.0f);
  EXPECT_EQ(out[1].x, 0.0f);
  EXPECT_EQ(out[1].z, 0.0f);
  EXPECT_EQ(out[2].x, 1.0f);
}

TEST_F(PolygonClipTest, DegenerateAndOutsidePolygonsGiveNoVertices) {
  R3xClipVertex* out = nullptr;
  render_->clipMask = 0;
  EXPECT_EQ(_r3xClipPolygonRGB(render_, 2, &out), 0);
  EXPECT_EQ(out, render_->work.clip[1]);
  EXPECT_EQ(_r3xClipPolygonRGB(render_, 3, &out), 3);
  SetInput({At(0, 0, 200), At(1, 0, 200), At(0, 1, 200)});
  render_->clipMask = R3X_CLIP_FAR;
  EXPECT_EQ(_r3xClipPolygonRGB(render_, 3, &out), 0);
  EXPECT_EQ(out, render_->work.clip[2]);
  const auto tooMany = static_cast<std::int32_t>(render_->work.vertexCapacity) - 5;
  EXPECT_EQ(_r3xClipPolygonRGB(render_, tooMany, &out), R3X_ERR_FAILED);
}

}  // namespace
