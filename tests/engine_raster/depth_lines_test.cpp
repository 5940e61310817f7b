#include <cstdint>
#include <utility>
#include <vector>

#include "engine/raster/depth_lines_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "tests/engine_raster/raster_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

// The view centre at pixel (0, 0), so that the interpolants are the values there; a 256 x 1
// texture whose texel is its u.
class DepthLinesTest : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    render_->halfViewWidth = 0.5f;
    render_->halfViewHeight = 0.5f;
    for (std::size_t i = 0; i < texels_.size(); ++i) {
      texels_[i] = static_cast<std::uint8_t>(i);
    }
    R3xSpanState& span = render_->span;
    span.texels = texels_.data();
    span.uMask = 255;
    span.vMask = 0;
    span.vShift = 22 - 8;
  }
  // 1/z = w + a x + b y.
  void SetDepth(float w, float a, float b) {
    render_->span.interpolants[2] = w;
    render_->span.xGradients[2] = a;
    render_->span.yGradients[2] = b;
  }
  // Builds rows for lines first .. last at row 0 with slope 0.
  std::int32_t BuildRows(std::int32_t first, std::int32_t last) {
    R3xDepthLines& depth = render_->span.depthLines;
    depth.kind = R3X_DEPTHLINE_ROWS;
    depth.firstLine = first;
    depth.lastLine = last;
    depth.firstRow = 0;
    depth.slope = 0.0f;
    return _r3xBuildDepthLineRows(render_);
  }
  std::vector<std::pair<std::int32_t, std::int32_t>> Segments() const {
    std::vector<std::pair<std::int32_t, std::int32_t>> out;
    for (std::uint32_t i = 0; i < render_->span.depthLines.segmentCount; ++i) {
      out.emplace_back(render_->work.edges[i].rowPosition >> 20, render_->work.edges[i].pixelCount);
    }
    return out;
  }
  std::int32_t Sentinel() const {
    return render_->work.edges[render_->span.depthLines.segmentCount].rowPosition;
  }
  // Segment i at pixel position with u = first u + t (one texel per line).
  void SetSegment(std::uint32_t i, std::int32_t position, std::int32_t pixels, float u) {
    R3xLineSegment& s = render_->work.edges[i];
    s = R3xLineSegment{};
    s.rowPosition = position << 20;
    s.columnPosition = position << 20;
    s.pixelCount = pixels;
    s.u = u;
    s.bu = 1.0f;
    s.du = 1.0f;
  }
  std::vector<std::uint8_t> texels_ = std::vector<std::uint8_t>(256);
};

TEST_F(DepthLinesTest, TheSlopeOfTheLinesChoosesTheKind) {
  struct Case {
    float a;
    float b;
    std::int32_t kind;
  };
  const Case cases[] = {
      {1.52587890625e-05f, 0.5f, R3X_DEPTHLINE_HORIZONTAL},
      {-1.52587890625e-05f, 0.5f, R3X_DEPTHLINE_HORIZONTAL},
      {0.001f, 0.0f, R3X_DEPTHLINE_ROWS},
      {0.125f, -0.875f, R3X_DEPTHLINE_ROWS},
      {0.125f, 0.875f, R3X_DEPTHLINE_ROWS},
      {0.1f, -0.701f, R3X_DEPTHLINE_COLUMNS},
  };
  const R3xClipVertex triangle[3] = {At(10, 10, 1), At(30, 12, 1), At(20, 30, 1)};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.b);
    SetDepth(4.0f, c.a, c.b);
    EXPECT_GE(_r3xSetupDepthLines(render_, triangle, 3), 0);
    EXPECT_EQ(render_->span.depthLines.kind, c.kind);
  }
}

// An upright wall: 1/z changes along x only, the lines are vertical at the extreme vertices'
// x; the column kind's lines are indexed by y at the first column.
TEST_F(DepthLinesTest, TheLineRangeComesFromTheExtremeDepthVertices) {
  const R3xClipVertex triangle[3] = {At(10.5f, 10.2f, 1), At(30.2f, 12, 1), At(20, 30, 1)};
  SetDepth(40.0f, 0.5f, 0.0f);
  ASSERT_EQ(_r3xSetupDepthLines(render_, triangle, 3), 0);
  const R3xDepthLines& depth = render_->span.depthLines;
  EXPECT_EQ(depth.slope, 0.0f);
  EXPECT_EQ(depth.firstRow, 11);
  EXPECT_EQ(depth.firstLine, 10);
  EXPECT_EQ(depth.lastLine, 31);
  EXPECT_EQ(depth.precision, R3X_DEPTHLINE_12_20);
  EXPECT_EQ(render_->span.lineSegments, render_->work.edges + 1);

  SetDepth(40.0f, 0.01f, 0.5f);
  ASSERT_EQ(_r3xSetupDepthLines(render_, triangle, 3), 0);
  EXPECT_EQ(depth.kind, R3X_DEPTHLINE_COLUMNS);
  EXPECT_EQ(depth.firstColumn, 11);
  EXPECT_EQ(depth.lastColumn, 30);
  EXPECT_FLOAT_EQ(depth.inverseSlope, -0.02f);
  EXPECT_EQ(depth.inverseSlopeFixed, _r3xFixed20(-0.02f));
}

TEST_F(DepthLinesTest, SegmentsShortenNearTheLineWhereDepthVanishes) {
  struct Case {
    float w;  // 1/z at the first line; a = 0.125, so the distance is 8 w
    std::int32_t lines;
    std::vector<std::pair<std::int32_t, std::int32_t>> segments;  // position, pixel count
    std::int32_t sentinel;
  };
  const std::vector<Case> cases = {
      {1.25f, 13, {{0, 4}, {4, 4}, {8, 13}}, 8 + 5 + 8},
      {1.25f, 8, {{0, 4}, {4, 4}}, 8 + 4 + 8},
      {-2.5f, 20, {{0, 8}, {8, 4}, {12, 4}, {16, 4}}, 20 + 4 + 8},
      {1.25f, 2, {{0, 10}}, 0 + 2 + 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    SetDepth(c.w, 0.125f, 0.0f);
    ASSERT_EQ(BuildRows(0, c.lines), 0);
    EXPECT_EQ(Segments(), c.segments);
    EXPECT_EQ(Sentinel(), c.sentinel << 20);
  }
}

TEST_F(DepthLinesTest, WideLineRangesTakeSixteenBitFractions) {
  SetDepth(1.25f, 0.125f, 0.0f);
  ASSERT_EQ(BuildRows(-2038, 2038), 0);
  EXPECT_EQ(render_->span.depthLines.precision, R3X_DEPTHLINE_12_20);
  EXPECT_EQ(render_->work.edges[0].rowPosition, -2038 * (1 << 20));
  ASSERT_EQ(BuildRows(-2039, 0), 0);
  EXPECT_EQ(render_->span.depthLines.precision, R3X_DEPTHLINE_16_16);
  EXPECT_EQ(render_->work.edges[0].rowPosition, -2039 * (1 << 16));
  // Far from the line where 1/z vanishes: segments of 256 lines.
  EXPECT_EQ(render_->work.edges[0].length, 256 << 16);
}

// u/z = x and 1/z = 1 + x / 8: along the row u = 8x / (8 + x). The segment's quadratic is exact
// at its first, middle and last line.
TEST_F(DepthLinesTest, EachSegmentFitsUThroughItsStartMiddleAndEnd) {
  render_->span.xGradients[0] = 1.0f;
  SetDepth(1.0f, 0.125f, 0.0f);
  ASSERT_EQ(BuildRows(0, 12), 0);
  const auto exact = [](float x) { return 8.0f * x / (8.0f + x); };
  const R3xLineSegment& first = render_->work.edges[0];
  ASSERT_EQ(first.pixelCount, 4);
  for (float t : {0.0f, 2.0f, 4.0f}) {
    EXPECT_NEAR(first.u + first.bu * t + first.cu * t * t, exact(t), 1e-5f) << t;
  }
  EXPECT_FLOAT_EQ(first.du, first.bu + first.cu);
  EXPECT_FLOAT_EQ(first.ddu, 2.0f * first.cu);
}

// 64 records grow to 80 and 100; a growth that fails keeps the array as it was.
TEST_F(DepthLinesTest, TheSegmentArrayGrowsByAQuarterAndKeepsItselfWhenItCannot) {
  SetDepth(200.0f, 0.125f, 0.0f);
  EXPECT_EQ(render_->work.edgeCapacity, 64u);
  ASSERT_EQ(BuildRows(0, 70 * 256), 0);
  EXPECT_EQ(render_->span.depthLines.segmentCount, 70u);
  EXPECT_EQ(render_->work.edgeCapacity, 80u);
  ASSERT_EQ(BuildRows(0, 90 * 256), 0);
  EXPECT_EQ(render_->work.edgeCapacity, 100u);
  const R3xLineSegment* array = render_->work.edges;
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(BuildRows(0, 120 * 256), R3X_DEPTHLINE_NO_ROOM);
  }
  EXPECT_EQ(render_->work.edgeCapacity, 100u);
  EXPECT_EQ(render_->work.edges, array);
  EXPECT_EQ(render_->span.depthLines.segmentCount, 0u);
  EXPECT_EQ(BuildRows(0, 12), 0);
}

// Segment 0 at pixel 0 (u from 0), segment 1 at pixel 4 (u from 100), one texel per line.
TEST_F(DepthLinesTest, ARowSpanWalksTheSegmentsOfItsPixels) {
  SetSegment(0, 0, 4, 0.0f);
  SetSegment(1, 4, 4 + 8, 100.0f);
  SetSegment(2, 20, 0, 0.0f);
  render_->span.lineSegments = render_->work.edges + 1;
  render_->span.depthLines.segmentCount = 2;
  struct Case {
    std::int32_t x;
    std::int32_t count;
    std::vector<std::uint8_t> pixels;
  };
  const std::vector<Case> cases = {
      {0, 8, {0, 1, 2, 3, 4, 101, 102, 103}},
      // Starting on segment 1's position: segment 0 draws that pixel at its end.
      {4, 3, {4, 101, 102}},
      {2, 2, {2, 3}},
      // Past the last segment's lines: drawn on with its quadratic.
      {14, 4, {110, 111, 112, 113}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    image_.assign(image_.size(), 0);
    SetRow(3);
    _r3xSpanDepthRowsMode1(render_, c.x, c.count);
    for (std::int32_t i = 0; i < c.count; ++i) {
      EXPECT_EQ(Pixel(c.x + i, 3), c.pixels[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(Pixel(c.x + c.count, 3), 0);
  }
}

// The same segments in 16.16 positions, for the wide line ranges.
TEST_F(DepthLinesTest, SixteenBitRowSpansWalkTheSameWay) {
  SetSegment(0, 0, 4, 0.0f);
  SetSegment(1, 4, 4 + 8, 100.0f);
  SetSegment(2, 20, 0, 0.0f);
  for (std::uint32_t i = 0; i < 3; ++i) {
    render_->work.edges[i].rowPosition >>= 4;
  }
  render_->span.lineSegments = render_->work.edges + 1;
  render_->span.depthLines.segmentCount = 2;
  SetRow(5);
  _r3xSpanDepthRows16Mode1(render_, 3, 4);
  const std::uint8_t expected[4] = {3, 4, 101, 102};
  for (std::int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(Pixel(3 + i, 5), expected[i]) << i;
  }
}

TEST_F(DepthLinesTest, ShadedSpansLookUpTheShadeData) {
  std::vector<std::uint8_t> shade(16 * 4096);
  for (std::size_t i = 0; i < shade.size(); ++i) {
    shade[i] = static_cast<std::uint8_t>((i >> 8) * 7 + (i & 0xFF));
  }
  R3xSpanState& span = render_->span;
  span.shadeData = shade.data();
  span.shadeRow = shade.data() + 5 * 256;
  span.lightOriginX = 0.0f;
  span.light = 0.25f;
  span.lightStep = 0.0625f;
  span.lightStepFixed = _r3xStepFixed20(span.lightStep);
  span.fog = 0.5f;
  span.fogStep = 0.0f;
  span.interpolants[0] = 10.0f;
  span.xGradients[0] = 2.0f;
  span.uStep = _r3xFixed22(2.0f);
  SetRow(1);
  _r3xSpanDepthHorizMode1(render_, 2, 3);
  EXPECT_EQ(Pixel(2, 1), 14);
  EXPECT_EQ(Pixel(4, 1), 18);
  _r3xSpanDepthHorizMode2(render_, 2, 1);
  EXPECT_EQ(Pixel(2, 1), shade[5 * 256 + 14]);
  // Light 0.25 + 2 / 16 at x = 2: level 6, then 7 and 8.
  _r3xSpanDepthHorizMode3(render_, 2, 3);
  EXPECT_EQ(Pixel(2, 1), shade[(6 << 8) | 14]);
  EXPECT_EQ(Pixel(3, 1), shade[(7 << 8) | 16]);
  EXPECT_EQ(Pixel(4, 1), shade[(8 << 8) | 18]);
  _r3xSpanDepthHorizMode4(render_, 2, 1);
  EXPECT_EQ(Pixel(2, 1), shade[(8 << 12) | (6 << 8) | 14]);
}

// Routines called by the column pass, with the rows they were given.
std::vector<std::pair<std::int32_t, std::int32_t>> gColumnCalls;
void RecordColumnCall(R3xRenderContext* context, std::int32_t row, std::int32_t count) {
  gColumnCalls.emplace_back(
      static_cast<std::int32_t>(context->span.destination - context->raster.image),
      row * 100 + count);
}

TEST_F(DepthLinesTest, TheRecordingPassKeepsTheRunsOfEachColumn) {
  ASSERT_EQ(_r3xResetColumnRuns(render_), R3X_DONE);
  for (std::int32_t row : {5, 6, 7, 8, 9, 12, 13}) {
    SetRow(row);
    _r3xSpanRecordColumnRuns(render_, 3, 2);
  }
  R3xDepthLines& depth = render_->span.depthLines;
  depth.kind = R3X_DEPTHLINE_COLUMNS;
  depth.firstColumn = 2;
  depth.lastColumn = 4;
  depth.segmentCount = 0;
  gColumnCalls.clear();
  _r3xDrawDepthColumns(render_, RecordColumnCall);
  const std::vector<std::pair<std::int32_t, std::int32_t>> expected = {
      {3, 505}, {3, 1202}, {4, 505}, {4, 1202}};
  EXPECT_EQ(gColumnCalls, expected);
}

TEST_F(DepthLinesTest, AColumnsRunArrayGrowsBySixteenAndStopsTheSpanWhenItCannot) {
  ASSERT_EQ(_r3xResetColumnRuns(render_), R3X_DONE);
  for (std::int32_t run = 0; run < 32; ++run) {
    SetRow(run * 2);
    _r3xSpanRecordColumnRuns(render_, 0, 2);
  }
  const R3xScanlineList& first = render_->work.scanlines[0];
  EXPECT_EQ(first.count, 33u);
  EXPECT_EQ(first.capacity, 48u);
  {
    test_support::FailingMemory failing(0);
    for (std::int32_t run = 32; run < 48; ++run) {
      SetRow(run * 2);
      _r3xSpanRecordColumnRuns(render_, 0, 2);
    }
    SetRow(200);
    _r3xSpanRecordColumnRuns(render_, 0, 2);
  }
  EXPECT_EQ(first.count, 48u);
  EXPECT_EQ(first.capacity, 48u);
  // Row 94 found the array full: neither column recorded it.
  EXPECT_EQ(first.stamp, 93);
  EXPECT_EQ(render_->work.scanlines[1].stamp, 93);
}

// An image wider than the 640 column lists gets a list for every column.
TEST_F(DepthLinesTest, TheColumnListsCoverTheWholeImageWidth) {
  render_->raster.width = 700;
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(_r3xResetColumnRuns(render_), R3X_ERR_FAILED);
    EXPECT_EQ(render_->work.scanlineCount, 640u);
  }
  ASSERT_EQ(_r3xResetColumnRuns(render_), R3X_DONE);
  EXPECT_EQ(render_->work.scanlineCount, 700u);
  std::vector<std::uint8_t> wide(700);
  render_->span.destination = wide.data();
  render_->span.currentRow = 4;
  _r3xSpanRecordColumnRuns(render_, 690, 10);
  EXPECT_EQ(render_->work.scanlines[699].count, 2u);
  EXPECT_EQ(render_->work.scanlines[699].pairs[1].start, 4);
}

// Mode 3: the recording pass leaves the light level in the image, the column pass turns it into
// the shaded texel; segment 0 gives u = row.
TEST_F(DepthLinesTest, TheColumnPassShadesWithTheLevelsTheRecordingLeft) {
  std::vector<std::uint8_t> shade(16 * 256);
  for (std::size_t i = 0; i < shade.size(); ++i) {
    shade[i] = static_cast<std::uint8_t>((i >> 8) * 16 + (i & 15));
  }
  R3xSpanState& span = render_->span;
  span.shadeData = shade.data();
  span.light = 0.5f;
  ASSERT_EQ(_r3xResetColumnRuns(render_), R3X_DONE);
  for (std::int32_t row = 2; row < 6; ++row) {
    SetRow(row);
    _r3xSpanRecordColumnRunsMode3(render_, 7, 1);
  }
  EXPECT_EQ(Pixel(7, 3), 8);
  SetSegment(0, 0, 40, 0.0f);
  SetSegment(1, 60, 0, 0.0f);
  span.depthLines.kind = R3X_DEPTHLINE_COLUMNS;
  span.depthLines.segmentCount = 1;
  span.depthLines.firstColumn = 7;
  span.depthLines.lastColumn = 7;
  _r3xDrawDepthColumns(render_, _r3xSpanDepthColumnMode3);
  for (std::int32_t row = 2; row < 6; ++row) {
    EXPECT_EQ(Pixel(7, row), shade[(8 << 8) | static_cast<std::uint32_t>(row)]) << row;
  }
  EXPECT_EQ(Pixel(7, 6), 0);
}

}  // namespace
