#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/math_sqrt.h"
#include "engine/raster/light_spot_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "tests/engine_raster/raster_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

// The face z = 10 faces the camera at the origin (normal (0, 0, -1), offset 10); clip space is
// the view space, so a foot point (x, y, 10) shows at ((x / 10 + 1) 31.5, (1 - y / 10) 23.5).
class LightSpotTest : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    render_->clipColumns[0][0] = 1.0f;
    render_->clipColumns[1][1] = 1.0f;
    render_->view[8] = 1.0f;
    render_->halfViewWidth = 32.0f;
    render_->halfViewHeight = 24.0f;
    face_.polygon.normal[2] = -1.0f;
    face_.polygon.distance = 10.0f;
    render_->raster.currentFace = &face_;
    // The square from (10, 10) to (50, 37) on the screen, clockwise with y down.
    polygon_ = {At(10, 10, 0, 0.2f), At(50, 10, 0, 0.2f), At(50, 37, 0, 0.4f), At(10, 37, 0, 0.2f)};
  }
  // A point light at (x, y, 8), 2 in front of the face: its own light there is 0.04 I.
  R3xPointLight* AddLight(float x, float y, float intensity, float z = 8.0f) {
    auto definition = std::make_unique<R3xLightDef>();
    definition->frameCount = 1;
    definition->intensity = intensity;
    auto light = std::make_unique<R3xLight>();
    light->definition = definition.get();
    auto point = std::make_unique<R3xPointLight>(MakePointLight(x, y, z, 2.0f));
    point->light = light.get();
    R3xPointLight* made = point.get();
    definitions_.push_back(std::move(definition));
    lightObjects_.push_back(std::move(light));
    points_.push_back(std::move(point));
    headers_.push_back(&made->header);
    render_->lights = headers_.data();
    render_->lightCount = static_cast<std::uint32_t>(headers_.size());
    return made;
  }
  std::int32_t Find(float base) {
    count_ = static_cast<std::int32_t>(polygon_.size());
    polygon_.resize(render_->work.vertexCapacity);
    return _r3xFindLightSpot8(render_, base, polygon_.data(), &count_);
  }

  R3xRegionFace face_{};
  std::vector<R3xClipVertex> polygon_;
  std::int32_t count_ = 0;
  std::vector<std::unique_ptr<R3xLightDef>> definitions_;
  std::vector<std::unique_ptr<R3xLight>> lightObjects_;
  std::vector<std::unique_ptr<R3xPointLight>> points_;
  std::vector<R3xObjectHeader*> headers_;
};

// The other light's term at the foot point (0, 0, 10) from (x, y, z), as the engine computes it.
float OtherTerm(float x, float y, float z, float intensity) {
  const float gg = x * x + y * y + (z - 10.0f) * (z - 10.0f);
  return 4.0f * intensity * 0.05f * ((10.0f - z) / r3xSqrt(gg)) / (gg + 1.0f);
}

TEST_F(LightSpotTest, TheStrongestLightWinsAndAnEqualOneDoesNotReplaceIt) {
  AddLight(-4, 0, 7.5f);  // 0.3
  AddLight(0, 0, 12.5f);  // 0.5
  AddLight(4, 0, 12.5f);  // 0.5
  ASSERT_EQ(Find(0.1f), 1);
  const R3xSpanState& span = render_->span;
  EXPECT_FLOAT_EQ(span.spotX, 31.5f);
  EXPECT_FLOAT_EQ(span.spotY, 23.5f);
  EXPECT_EQ(span.spotRow, 24);
  const float expected =
      4.0f / 5.0f * 12.5f * 0.05f + OtherTerm(-4, 0, 8, 7.5f) + OtherTerm(4, 0, 8, 12.5f) + 0.1f;
  EXPECT_FLOAT_EQ(span.spotLight[0], expected);
}

TEST_F(LightSpotTest, WeakLightsLightsBehindAndFacesWithoutRecordGiveNoSpot) {
  AddLight(0, 0, 2.0f);        // 0.08, below the threshold
  AddLight(0, 0, 100.0f, 12);  // behind the face
  EXPECT_EQ(Find(0.0f), 0);
  render_->raster.currentFace = nullptr;
  AddLight(0, 0, 12.5f);
  EXPECT_EQ(Find(0.0f), 0);
}

// A light in the face's plane is its own foot; the other lights add nothing there.
TEST_F(LightSpotTest, ALightInThePlaneIsItsOwnFoot) {
  AddLight(0, 0, 2.0f, 10.0f);
  AddLight(2, 0, 1.0f, 9.0f);
  render_->spotThreshold = 0.3f;
  ASSERT_EQ(Find(0.0f), 1);
  // dist 0: 4 / 1 x 2 x 0.05; the second light (0.1 of its own) would add 0.0149 there.
  EXPECT_FLOAT_EQ(render_->span.spotLight[0], 0.4f);
  EXPECT_FLOAT_EQ(render_->span.spotX, 31.5f);
}

// A second light exactly at the foot point has no direction: it is skipped.
TEST_F(LightSpotTest, ALightAtTheFootPointAddsNothing) {
  AddLight(0, 0, 12.5f);
  AddLight(0, 0, 1.0f, 10.0f);
  render_->spotThreshold = 0.3f;
  ASSERT_EQ(Find(0.0f), 1);
  EXPECT_FLOAT_EQ(render_->span.spotLight[0], 0.5f);
}

// The foot at (8, 0, 10) shows at x = 56.7, beyond the edge x = 50 at its middle.
TEST_F(LightSpotTest, ASpotBeyondAnEdgeMovesOntoItOnlyWithTheClamp) {
  AddLight(8, 0, 12.5f);
  EXPECT_EQ(Find(0.0f), 0);
  render_->pointLightMode = 1;
  ASSERT_EQ(Find(0.0f), 1);
  const R3xSpanState& span = render_->span;
  EXPECT_FLOAT_EQ(span.spotX, 50.0f);
  EXPECT_FLOAT_EQ(span.spotY, 23.5f);
  const float sx = (8.0f / 10.0f + 1.0f) * 31.5f;
  const float a = 1.0f / ((50.0f - sx) * (50.0f - sx));
  const float b = 1.0f / (13.5f * 13.5f);
  const float sum = a + b + b;
  EXPECT_FLOAT_EQ(span.spotLight[0], a / sum * 0.5f + (b * 0.2f + b * 0.4f) / sum);
}

TEST_F(LightSpotTest, WideEdgesAreSubdividedUpToTheWorkArrays) {
  AddLight(0, 0, 12.5f);
  render_->subdivisionCosine = 0.0f;
  ASSERT_EQ(Find(0.0f), 1);
  // The top and bottom sides are seen at more than 90 degrees from the spot: a midpoint each.
  EXPECT_EQ(count_, 6);
  EXPECT_FLOAT_EQ(polygon_[1].x, 30.0f);
  EXPECT_FLOAT_EQ(polygon_[1].y, 10.0f);
  render_->subdivisionCosine = 0.99f;
  polygon_.resize(4);
  ASSERT_EQ(Find(0.0f), 1);
  EXPECT_EQ(count_, 32);
}

// The spot at (31.5, 23.5), row 24.
class LightEdgesTest : public LightSpotTest {
 protected:
  void SetUp() override {
    LightSpotTest::SetUp();
    AddLight(0, 0, 12.5f);
    ASSERT_EQ(Find(0.0f), 1);
  }
};

TEST_F(LightEdgesTest, TheSpotRowAddsAnEdgeToEveryVertexBelowSortedByX) {
  R3xSpanState& span = render_->span;
  ASSERT_EQ(_r3xAdvanceLightEdges(render_, polygon_.data(), 4, 24), 0);
  ASSERT_EQ(span.edgeCount, 2u);
  // The vertices (50, 37) and (10, 37) lie 13 rows below; the edges start at the spot.
  EXPECT_FLOAT_EQ(span.edges[0].xStep, (10.0f - 31.5f) / 13.0f);
  EXPECT_FLOAT_EQ(span.edges[1].xStep, (50.0f - 31.5f) / 13.0f);
  EXPECT_EQ(span.edges[0].endRow, 37);
  EXPECT_FLOAT_EQ(span.edges[1].lightStep[0], (0.4f - span.spotLight[0]) * (1.0f / 13.0f) * 0.995f);
  // The next row steps both and keeps them sorted.
  ASSERT_EQ(_r3xAdvanceLightEdges(render_, polygon_.data(), 4, 25), 0);
  EXPECT_FLOAT_EQ(span.edges[0].x, 31.5f + (10.0f - 31.5f) / 13.0f);
  EXPECT_LT(span.edges[0].x, span.edges[1].x);
}

TEST_F(LightEdgesTest, VerticesAboveTheSpotRowGetEdgesDownToIt) {
  R3xSpanState& span = render_->span;
  ASSERT_EQ(_r3xAddLightEdgeToSpot(render_, &polygon_[1], 10), 0);
  ASSERT_EQ(_r3xAddLightEdgeToSpot(render_, &polygon_[0], 10), 0);
  EXPECT_EQ(_r3xAddLightEdgeToSpot(render_, &polygon_[0], 24), 0);
  ASSERT_EQ(span.edgeCount, 2u);
  EXPECT_EQ(span.edges[0].x, 10.0f);
  EXPECT_EQ(span.edges[1].x, 50.0f);
  EXPECT_EQ(span.edges[0].endRow, 24);
  EXPECT_FLOAT_EQ(span.edges[0].xStep, (31.5f - 10.0f) / 14.0f);
}

TEST_F(LightEdgesTest, AnEndedEdgeGoesAndTheOneAfterItStillSteps) {
  R3xSpanState& span = render_->span;
  ASSERT_EQ(_r3xAddLightEdgeToSpot(render_, &polygon_[0], 10), 0);
  ASSERT_EQ(_r3xAddLightEdgeToSpot(render_, &polygon_[1], 10), 0);
  span.edges[0].endRow = 11;
  ASSERT_EQ(_r3xAdvanceLightEdges(render_, polygon_.data(), 4, 12), 0);
  ASSERT_EQ(span.edgeCount, 1u);
  EXPECT_FLOAT_EQ(span.edges[0].x, 50.0f + (31.5f - 50.0f) / 14.0f);
}

TEST_F(LightEdgesTest, TheEdgeListGrowsByEightAndStaysWhenItCannot) {
  R3xSpanState& span = render_->span;
  for (int i = 0; i < 8; ++i) {
    ASSERT_EQ(_r3xAddLightEdgeToSpot(render_, &polygon_[0], 10), 0);
  }
  EXPECT_EQ(span.edgeCapacity, 8u);
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(_r3xAddLightEdgeToSpot(render_, &polygon_[1], 10), R3X_ERR_FAILED);
  }
  EXPECT_EQ(span.edgeCount, 8u);
  EXPECT_EQ(span.edgeCapacity, 8u);
  ASSERT_EQ(_r3xAddLightEdgeToSpot(render_, &polygon_[1], 10), 0);
  EXPECT_EQ(span.edgeCapacity, 16u);
  EXPECT_EQ(span.edges[8].x, 50.0f);
}

// The pieces the lit driver hands on: first x, count, the light at the origin and its step.
struct Piece {
  std::int32_t x;
  std::int32_t count;
  float light;
  float step;
};
std::vector<Piece> gPieces;
void RecordPiece(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  gPieces.push_back({x, count, context->span.light, context->span.lightStep});
}

class LightDriverTest : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    R3xSpanState& span = render_->span;
    span.routine = RecordPiece;
    span.gridX = 4;
    span.lightOriginX = 4.0f;
    span.light = 0.2f;
    span.spanEndX = 60.0f;
    span.spanEndLight[0] = 0.6f;
    span.edges = edges_;
    span.edgeCapacity = 2;
    gPieces.clear();
  }
  void SetEdges(std::vector<std::pair<float, float>> edges) {
    for (std::size_t i = 0; i < edges.size(); ++i) {
      edges_[i] = R3xLightEdge{};
      edges_[i].x = edges[i].first;
      edges_[i].light[0] = edges[i].second;
    }
    render_->span.edgeCount = static_cast<std::uint32_t>(edges.size());
  }
  void TearDown() override {
    render_->span.edges = nullptr;
    RasterTest::TearDown();
  }
  R3xLightEdge edges_[2];
};

TEST_F(LightDriverTest, EdgesBreakTheSpanOnTheSixteenPixelGrid) {
  struct Case {
    float edgeX;
    std::vector<std::int32_t> breaks;  // first x of each piece
  };
  const std::vector<Case> cases = {
      // 7 pixels right of the grid origin: the break is the origin itself, before the span.
      {11.0f, {4}},
      // 8 pixels right: 16 pixels on.
      {12.0f, {4, 20}},
      {27.0f, {4, 20}},
      // 24 pixels on, half way: upwards.
      {28.0f, {4, 36}},
  };
  for (const Case& c : cases) {
    gPieces.clear();
    SetEdges({{c.edgeX, 0.4f}});
    _r3xSpanLightDriver(render_, 4, 50);
    ASSERT_EQ(gPieces.size(), c.breaks.size()) << c.edgeX;
    for (std::size_t i = 0; i < gPieces.size(); ++i) {
      EXPECT_EQ(gPieces[i].x, c.breaks[i]) << c.edgeX;
    }
    EXPECT_EQ(render_->span.light, 0.2f);
  }
}

TEST_F(LightDriverTest, EachPieceRunsFromTheLastBreakToTheNextEdgeOrTheSpanEnd) {
  SetEdges({{12.0f, 0.4f}, {40.0f, 0.5f}});
  _r3xSpanLightDriver(render_, 10, 20);
  ASSERT_EQ(gPieces.size(), 2u);
  // To the first edge's break at 20: from 0.2 at 4 to 0.4 at 20.
  const float first = (0.4f - 0.2f) / (16.0f + 0.5f);
  EXPECT_EQ(gPieces[0].x, 10);
  EXPECT_EQ(gPieces[0].count, 10);
  EXPECT_FLOAT_EQ(gPieces[0].step, first);
  EXPECT_FLOAT_EQ(gPieces[0].light, 0.2f);
  // The second edge's break at 36 lies past the span's end: the rest runs toward it.
  const float second = (0.5f - 0.4f) / (16.0f + 0.5f);
  EXPECT_EQ(gPieces[1].x, 20);
  EXPECT_EQ(gPieces[1].count, 10);
  EXPECT_FLOAT_EQ(gPieces[1].step, second);
  EXPECT_FLOAT_EQ(gPieces[1].light, 0.4f - 16.0f * second);
  EXPECT_EQ(render_->span.lightStepFixed, _r3xStepFixed20(second));
  // With no edge left, the last piece runs toward the span's end.
  gPieces.clear();
  SetEdges({{12.0f, 0.4f}});
  _r3xSpanLightDriver(render_, 10, 30);
  ASSERT_EQ(gPieces.size(), 2u);
  EXPECT_FLOAT_EQ(gPieces[1].step, (0.6f - 0.4f) / (40.0f + 0.5f));
}

}  // namespace
