// Coverage rules: shared edges, off-screen and degenerate polygons.
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "tests/platform_glide/board_fixture.h"

namespace {

class RasterEdgeTest : public BoardTest {
 protected:
  // Additive blending of one step of red: a pixel's red level counts how often it was drawn.
  static void CountDraws() {
    grBufferClear(0, 0, 0xFFFF);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
  }
  static int DrawCount(int x, int y) { return BackPixel(x, y) >> 11; }
};

TEST_F(RasterEdgeTest, TrianglesSharingEdgesDrawEveryPixelOnce) {
  CountDraws();
  // The square [100, 164) x [50, 114) cut into a jittered grid of triangles of both windings.
  std::mt19937 random(7);
  std::uniform_real_distribution<float> jitter(-3.4f, 3.4f);
  constexpr int kCells = 8;
  float gx[kCells + 1][kCells + 1];
  float gy[kCells + 1][kCells + 1];
  for (int j = 0; j <= kCells; ++j) {
    for (int i = 0; i <= kCells; ++i) {
      const bool inner = i > 0 && i < kCells && j > 0 && j < kCells;
      gx[j][i] = 100.0f + 8.0f * static_cast<float>(i) + (inner ? jitter(random) : 0.0f);
      gy[j][i] = 50.0f + 8.0f * static_cast<float>(j) + (inner ? jitter(random) : 0.0f);
    }
  }
  for (int j = 0; j < kCells; ++j) {
    for (int i = 0; i < kCells; ++i) {
      const GrVertex a = MakeVertex(gx[j][i], gy[j][i], 8, 0, 0);
      const GrVertex b = MakeVertex(gx[j][i + 1], gy[j][i + 1], 8, 0, 0);
      const GrVertex c = MakeVertex(gx[j + 1][i + 1], gy[j + 1][i + 1], 8, 0, 0);
      const GrVertex d = MakeVertex(gx[j + 1][i], gy[j + 1][i], 8, 0, 0);
      const GrVertex first[3] = {a, b, c};
      const GrVertex second[3] = {a, d, c};
      grDrawPolygonVertexList(3, first);
      grDrawPolygonVertexList(3, second);
    }
  }
  for (int y = 40; y < 124; ++y) {
    for (int x = 90; x < 174; ++x) {
      const bool inside = x >= 100 && x < 164 && y >= 50 && y < 114;
      ASSERT_EQ(DrawCount(x, y), inside ? 1 : 0) << "pixel (" << x << ", " << y << ")";
    }
  }
}

TEST_F(RasterEdgeTest, FanOfAConvexPolygonDrawsEachPixelOnce) {
  CountDraws();
  std::vector<GrVertex> polygon;
  for (int i = 0; i < 256; ++i) {
    const float angle = static_cast<float>(i) * 6.2831853f / 256.0f;
    polygon.push_back(
        MakeVertex(320.0f + 100.0f * std::cos(angle), 240.0f + 100.0f * std::sin(angle), 8, 0, 0));
  }
  grDrawPolygonVertexList(256, polygon.data());
  int drawn = 0;
  for (int y = 130; y < 350; ++y) {
    for (int x = 210; x < 430; ++x) {
      ASSERT_LE(DrawCount(x, y), 1) << "pixel (" << x << ", " << y << ")";
      drawn += DrawCount(x, y);
    }
  }
  // The disc's area, pi x 100^2, give or take its rim.
  EXPECT_NEAR(drawn, 31416, 300);
}

TEST_F(RasterEdgeTest, TopLeftRuleOwnsPixelCentresOnEdges) {
  CountDraws();
  // A square whose edges run through pixel centres: its top and left rows are drawn, its
  // bottom and right ones are not.
  const GrVertex square[4] = {MakeVertex(10.5f, 10.5f, 8, 0, 0), MakeVertex(14.5f, 10.5f, 8, 0, 0),
                              MakeVertex(14.5f, 14.5f, 8, 0, 0), MakeVertex(10.5f, 14.5f, 8, 0, 0)};
  grDrawPolygonVertexList(4, square);
  for (int y = 9; y < 16; ++y) {
    for (int x = 9; x < 16; ++x) {
      EXPECT_EQ(DrawCount(x, y), x >= 10 && x < 14 && y >= 10 && y < 14 ? 1 : 0)
          << "pixel (" << x << ", " << y << ")";
    }
  }
}

TEST_F(RasterEdgeTest, PolygonsPartlyOffScreenDrawTheirVisiblePart) {
  CountDraws();
  const GrVertex corner[3] = {MakeVertex(-300, -200, 8, 0, 0), MakeVertex(300, -200, 8, 0, 0),
                              MakeVertex(-300, 300, 8, 0, 0)};
  grDrawPolygonVertexList(3, corner);
  EXPECT_EQ(DrawCount(0, 0), 1);
  EXPECT_EQ(DrawCount(5, 5), 1);
  EXPECT_EQ(DrawCount(30, 30), 0);
  const GrVertex rightEdge[3] = {MakeVertex(630, 470, 8, 0, 0), MakeVertex(900, 470, 8, 0, 0),
                                 MakeVertex(630, 900, 8, 0, 0)};
  grDrawPolygonVertexList(3, rightEdge);
  EXPECT_EQ(DrawCount(639, 479), 1);
  EXPECT_EQ(DrawCount(629, 479), 0);
}

TEST_F(RasterEdgeTest, DepthTestedRowsAtTheBufferEndDrawAsElsewhere) {
  grBufferClear(0, 0, 0xFFFF);
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDepthBufferFunction(GR_CMP_LEQUAL);
  grDepthMask(1);
  // The same pair twice, 400 rows apart; the lower one's last row ends the buffer. A near
  // wedge, then a quad sloping from in front of it to behind it.
  for (const float top : {10.0f, 410.0f}) {
    const GrVertex wedge[3] = {MakeVertex(625, top, 200, 0, 0, 255, 50),
                               MakeVertex(640, top, 200, 0, 0, 255, 50),
                               MakeVertex(640, top + 70, 200, 0, 0, 255, 50)};
    const GrVertex slope[4] = {MakeVertex(627, top, 0, 250, 0, 255, 20),
                               MakeVertex(640, top, 0, 0, 250, 255, 20),
                               MakeVertex(640, top + 70, 0, 0, 250, 255, 90),
                               MakeVertex(627, top + 70, 0, 250, 0, 255, 90)};
    grDrawPolygonVertexList(3, wedge);
    grDrawPolygonVertexList(4, slope);
  }
  int wedgeShown = 0;
  int slopeShown = 0;
  for (int y = 10; y < 80; ++y) {
    for (int x = 620; x < 640; ++x) {
      ASSERT_EQ(BackPixel(x, y + 400), BackPixel(x, y)) << "pixel (" << x << ", " << y << ")";
      ASSERT_EQ(DepthAt(x, y + 400), DepthAt(x, y)) << "pixel (" << x << ", " << y << ")";
      wedgeShown += BackPixel(x, y) == Rgb565(200, 0, 0);
      slopeShown += BackPixel(x, y) != 0 && BackPixel(x, y) != Rgb565(200, 0, 0);
    }
  }
  EXPECT_GT(wedgeShown, 0);
  EXPECT_GT(slopeShown, 0);
}

TEST_F(RasterEdgeTest, UnusablePolygonsDrawNothing) {
  CountDraws();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<std::vector<GrVertex>> cases = {
      // Wholly off-screen on every side.
      {MakeVertex(-50, 10, 8, 0, 0), MakeVertex(-10, 10, 8, 0, 0), MakeVertex(-30, 60, 8, 0, 0)},
      {MakeVertex(700, 10, 8, 0, 0), MakeVertex(800, 10, 8, 0, 0), MakeVertex(750, 60, 8, 0, 0)},
      {MakeVertex(10, -90, 8, 0, 0), MakeVertex(60, -90, 8, 0, 0), MakeVertex(30, -1, 8, 0, 0)},
      {MakeVertex(10, 481, 8, 0, 0), MakeVertex(60, 481, 8, 0, 0), MakeVertex(30, 600, 8, 0, 0)},
      // Degenerate: a line, a point, repeated vertices.
      {MakeVertex(10, 10, 8, 0, 0), MakeVertex(50, 50, 8, 0, 0), MakeVertex(90, 90, 8, 0, 0)},
      {MakeVertex(10, 10, 8, 0, 0), MakeVertex(10, 10, 8, 0, 0), MakeVertex(10, 10, 8, 0, 0)},
      {MakeVertex(10, 10, 8, 0, 0), MakeVertex(10.01f, 10, 8, 0, 0), MakeVertex(10, 60, 8, 0, 0)},
      // Not numbers, infinite, or far beyond the screen.
      {MakeVertex(nan, 10, 8, 0, 0), MakeVertex(50, 10, 8, 0, 0), MakeVertex(30, 60, 8, 0, 0)},
      {MakeVertex(inf, 10, 8, 0, 0), MakeVertex(50, 10, 8, 0, 0), MakeVertex(30, 60, 8, 0, 0)},
      {MakeVertex(-1e9f, 10, 8, 0, 0), MakeVertex(1e9f, 10, 8, 0, 0),
       MakeVertex(30, 1e9f, 8, 0, 0)},
  };
  for (const auto& polygon : cases) {
    grDrawPolygonVertexList(static_cast<int>(polygon.size()), polygon.data());
  }
  const GrVertex two[2] = {MakeVertex(10, 10, 8, 0, 0), MakeVertex(90, 10, 8, 0, 0)};
  grDrawPolygonVertexList(2, two);
  grDrawPolygonVertexList(0, nullptr);
  for (std::uint16_t pixel : platform::glide::ColorBuffer(GR_BUFFER_BACKBUFFER)) {
    ASSERT_EQ(pixel, 0);
  }
}

TEST_F(RasterEdgeTest, WildAttributesStayWithinTheirRanges) {
  // Colours beyond 0..255 saturate; a texture coordinate or W that is not a number draws
  // something defined rather than failing.
  const GrVertex bright[3] = {MakeVertex(10, 10, 510, -300, 255),
                              MakeVertex(30, 10, 510, -300, 255),
                              MakeVertex(10, 30, 510, -300, 255)};
  grDrawPolygonVertexList(3, bright);
  EXPECT_EQ(BackPixel(12, 12), Rgb565(255, 0, 255));
  GrVertex odd[3] = {MakeVertex(40, 10, 1, 2, 3), MakeVertex(60, 10, 1, 2, 3),
                     MakeVertex(40, 30, 1, 2, 3)};
  odd[0].oow = std::numeric_limits<float>::quiet_NaN();
  odd[1].r = std::numeric_limits<float>::infinity();
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDrawPolygonVertexList(3, odd);
}

TEST_F(RasterEdgeTest, ClipWindowBoundsEveryPrimitive) {
  CountDraws();
  grClipWindow(100, 100, 110, 105);
  const GrVertex big[3] = {MakeVertex(0, 0, 8, 0, 0), MakeVertex(640, 0, 8, 0, 0),
                           MakeVertex(0, 480, 8, 0, 0)};
  grDrawPolygonVertexList(3, big);
  const GrVertex a = MakeVertex(0, 102, 8, 0, 0);
  const GrVertex b = MakeVertex(639, 102, 8, 0, 0);
  grDrawLine(&a, &b);
  const GrVertex outside = MakeVertex(50, 50, 8, 0, 0);
  grDrawPoint(&outside);
  int drawn = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const bool inside = x >= 100 && x < 110 && y >= 100 && y < 105;
      if (!inside) {
        ASSERT_EQ(DrawCount(x, y), 0) << "pixel (" << x << ", " << y << ")";
      }
      drawn += DrawCount(x, y);
    }
  }
  // 50 pixels of the triangle, and 10 more of the line on row 102.
  EXPECT_EQ(drawn, 60);
}

}  // namespace
