#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/raster/covered_runs_internal.h"
#include "engine/raster/persp_spans_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "tests/engine_raster/persp_span_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

// Columns 0 to 18 of the hand span as its stepped pixels give them: block 0 steps 8 texels a
// pixel, block 1 steps (170.67 - 128) / 16 rounded down in 10.22, which falls just short of 8
// at its fourth pixel.
const Bytes kHandStepped = {0,  8,  16, 24,  32,  40,  48,  56,  64,  72,
                            80, 88, 96, 104, 112, 120, 128, 130, 133, 135};

TEST_F(PerspSpanTest, TexelCopySpansStepInsideBlocksAndDivideTheLastPixel) {
  SetHandSpan();
  struct Case {
    std::int32_t x;
    std::int32_t count;
    Bytes pixels;
  };
  Bytes twenty(kHandStepped.begin(), kHandStepped.begin() + 19);
  twenty.push_back(138);  // 256 x 19 / 35 = 138.97, where the step gives 135
  const std::vector<Case> cases = {
      {0, 20, twenty},  // a full block, then a last block of 4
      {0, 16, {0, 8, 16, 24, 32, 40, 48, 56, 64, 72, 80, 88, 96, 104, 112, 123}},  // 240 / 1.9375
      {5, 3, {40, 48, 77}},  // inside one block: 256 x 7 / 23 = 77.9
      {16, 1, {128}},        // one pixel at a block start
      {19, 1, {138}},        // one pixel inside a block: divided, not stepped
      {12, 8, {96, 104, 112, 120, 128, 130, 133, 138}},  // a head block, then the last
  };
  for (const Case& c : cases) {
    image_.assign(image_.size(), kUntouched);
    _r3xSpanPerspOpaqueMode1(render_, c.x, c.count);
    EXPECT_EQ(Row(0, c.x, c.x + c.count), c.pixels) << c.x << " " << c.count;
    EXPECT_EQ(Row(0, c.x + c.count, c.x + c.count + 1), Bytes{kUntouched});
    if (c.x > 0) {
      EXPECT_EQ(Row(0, c.x - 1, c.x), Bytes{kUntouched});
    }
  }
}

// The original wrote the pixel left of x for a count of 0; no drawer asks for one.
TEST_F(PerspSpanTest, AnEmptyOpaqueSpanWritesNothing) {
  SetHandSpan();
  SetLevelShades();
  _r3xSpanPerspOpaqueMode1(render_, 20, 0);
  _r3xSpanPerspOpaqueMode5(render_, 30, -3);
  EXPECT_EQ(Row(0, 0, kWidth), Bytes(kWidth, kUntouched));
}

TEST_F(PerspSpanTest, TheGridIsAnchoredAtTheRowsFirstColumnAndRoundsDown) {
  SetHandSpan();
  _r3xSpanPerspOpaqueMode1(render_, 0, 20);
  const Bytes atZero = Row(0, 0, 20);
  // A first column left of the anchor falls in the block 16 columns left of it.
  render_->span.gridX = 16;
  _r3xSpanPerspOpaqueMode1(render_, 0, 20);
  EXPECT_EQ(Row(0, 0, 20), atZero);
  // Another anchor moves every block start.
  render_->span.gridX = 8;
  _r3xSpanPerspOpaqueMode1(render_, 0, 20);
  EXPECT_NE(Row(0, 0, 20), atZero);
}

TEST_F(PerspSpanTest, UAndVWrapOverTheLevelBelowZeroAndPastItsSize) {
  // 4 x 4 texels 10 t + s; 1/z = 1, u = x - 6, v = -1.5 (row 2).
  Bytes texels(16);
  for (std::size_t i = 0; i < texels.size(); ++i) {
    texels[i] = static_cast<std::uint8_t>(10 * (i / 4) + i % 4);
  }
  SetTexture(texels, 4, 4);
  SetPlanes(-6.0f, 1.0f, -1.5f, 0.0f, 1.0f, 0.0f);
  render_->span.gridX = 0;
  _r3xSpanPerspOpaqueMode1(render_, 0, 9);
  EXPECT_EQ(Row(0, 0, 9), (Bytes{22, 23, 20, 21, 22, 23, 20, 21, 22}));
}

TEST_F(PerspSpanTest, FixedShadeSpansPassEveryTexelThroughTheRow) {
  SetHandSpan();
  Bytes row(256);
  for (std::size_t i = 0; i < row.size(); ++i) {
    row[i] = static_cast<std::uint8_t>(255 - i);
  }
  render_->span.shadeRow = row.data();
  _r3xSpanPerspOpaqueMode2(render_, 12, 8);
  EXPECT_EQ(Row(0, 12, 20), (Bytes{159, 151, 143, 135, 127, 125, 122, 117}));
}

// The light 0.5 at column 0 rising 0.01 a pixel: one level per block from the block start's
// light, the fixed step adding a little under 0.16 a block.
TEST_F(PerspSpanTest, GradientLitSpansTakeOneLevelPerBlockFromItsStart) {
  SetHandSpan();
  SetLevelShades();
  render_->span.lightOriginX = 0.0f;
  SetLight(0.5f, 0.01f, _r3xStepFixed20(0.01f));
  _r3xSpanPerspOpaqueMode3(render_, 5, 59);
  Bytes expected(59, 13);
  std::fill(expected.begin(), expected.begin() + 11, 8);
  std::fill(expected.begin() + 11, expected.begin() + 27, 10);
  std::fill(expected.begin() + 43, expected.end(), 15);
  EXPECT_EQ(Row(0, 5, 64), expected);
  // A one-pixel span inside a block takes the light of the block start, 0.49: level 7, where
  // its own column's light is 0.54.
  SetLight(0.49f, 0.01f, _r3xStepFixed20(0.01f));
  _r3xSpanPerspOpaqueMode3(render_, 5, 1);
  EXPECT_EQ(Row(0, 5, 6), Bytes{7});
  // No clamp: 1.0 is level 0, just below 0 level 15.
  SetLight(1.0f, 0.0f, 0);
  _r3xSpanPerspOpaqueMode3(render_, 0, 17);
  EXPECT_EQ(Row(0, 0, 17), Bytes(17, 0));
  SetLight(-0.01f, 0.0f, 0);
  _r3xSpanPerspOpaqueMode3(render_, 0, 17);
  EXPECT_EQ(Row(0, 0, 17), Bytes(17, 15));
}

TEST_F(PerspSpanTest, LitAndFoggedSpansTakeBothLevelsPerBlock) {
  SetHandSpan();
  SetLevelShades();
  render_->span.lightOriginX = 0.0f;
  SetLight(0.5f, 0.0f, 0);
  SetFog(0.25f, 0.01f, _r3xStepFixed20(0.01f));
  _r3xSpanPerspOpaqueMode4(render_, 5, 59);
  Bytes expected(59, 0x98);
  std::fill(expected.begin(), expected.begin() + 11, 0x48);
  std::fill(expected.begin() + 11, expected.begin() + 27, 0x68);
  std::fill(expected.begin() + 43, expected.end(), 0xB8);
  EXPECT_EQ(Row(0, 5, 64), expected);
}

TEST_F(PerspSpanTest, PerPixelLitSpansStepTheLightAtEveryPixelFromTheBlockStart) {
  SetHandSpan();
  SetLevelShades();
  render_->span.lightOriginX = 0.0f;
  // 1/16 a pixel from 0 at the block start: column c has level c mod 16, the divided last
  // pixel too.
  SetLight(0.0f, 0.0f, 65536);
  _r3xSpanPerspOpaqueMode5(render_, 5, 30);
  Bytes expected;
  for (std::int32_t c = 5; c < 35; ++c) {
    expected.push_back(static_cast<std::uint8_t>(c % 16));
  }
  EXPECT_EQ(Row(0, 5, 35), expected);
  // Only the fixed step moves the light: 0.49 at the block start is level 7 for every pixel.
  SetLight(0.49f, 0.01f, 0);
  _r3xSpanPerspOpaqueMode5(render_, 5, 3);
  EXPECT_EQ(Row(0, 5, 8), Bytes(3, 7));
}

TEST_F(PerspSpanTest, KeyedSpansSkipTheKeyTexelStepTheLastPixelAndRecordTheirRuns) {
  SetHandSpan();
  // Texel 8 (column 1) and texel 130 (column 17) are the key in turn.
  ASSERT_EQ(Keyed(_r3xSpanPerspKeyedMode1, 0, 0, 20, 8, 0), 0);
  Bytes expected = kHandStepped;
  expected[1] = kUntouched;
  EXPECT_EQ(Row(0, 0, 20), expected);
  EXPECT_EQ(Listed(0), (Runs{{0, 1}, {2, 20}}));
  EXPECT_EQ(keyed_[0].drawn, 19u);
  EXPECT_EQ(keyed_[0].endsInside, 1);

  // Starting inside the run before: the first drawn texels extend it.
  ResetRuns(0);
  ASSERT_EQ(Keyed(_r3xSpanPerspKeyedMode1, 0, 0, 4, 300, 0), 0);
  ASSERT_EQ(Keyed(_r3xSpanPerspKeyedMode1, 0, 4, 16, 130 + 256, 1), 0);
  EXPECT_EQ(Listed(0), (Runs{{0, 17}, {18, 20}}));
  EXPECT_EQ(keyed_[0].drawn, 19u);

  // A one-pixel key span inside a run ends the run at its column.
  ResetRuns(0);
  ASSERT_EQ(Keyed(_r3xSpanPerspKeyedMode1, 0, 0, 1, 300, 0), 0);
  ASSERT_EQ(Keyed(_r3xSpanPerspKeyedMode1, 0, 1, 1, 8, 1), 0);
  EXPECT_EQ(Listed(0), (Runs{{0, 1}}));
  EXPECT_EQ(keyed_[0].endsInside, 0);
}

TEST_F(PerspSpanTest, KeyedShadeSpansTestTheTexelNotTheShadedValue) {
  SetHandSpan();
  Bytes row(256, 8);  // every shaded value is the key
  row[8] = 77;
  render_->span.shadeRow = row.data();
  ASSERT_EQ(Keyed(_r3xSpanPerspKeyedMode2, 0, 0, 3, 8, 0), 0);
  EXPECT_EQ(Row(0, 0, 3), (Bytes{8, kUntouched, 8}));
  EXPECT_EQ(Listed(0), (Runs{{0, 1}, {2, 3}}));

  // Modes 3 and 4 take the levels of the blocks whatever the key leaves undrawn.
  SetLevelShades();
  render_->span.lightOriginX = 0.0f;
  SetLight(0.5f, 0.01f, _r3xStepFixed20(0.01f));
  SetFog(0.25f, 0.01f, _r3xStepFixed20(0.01f));
  ResetRuns(0);
  image_.assign(image_.size(), kUntouched);
  ASSERT_EQ(Keyed(_r3xSpanPerspKeyedMode3, 0, 0, 20, 0, 0), 0);
  Bytes levels(20, 10);
  std::fill(levels.begin(), levels.begin() + 16, 8);
  levels[0] = kUntouched;
  EXPECT_EQ(Row(0, 0, 20), levels);
  ResetRuns(0);
  ASSERT_EQ(Keyed(_r3xSpanPerspKeyedMode4, 0, 0, 20, 0, 0), 0);
  std::fill(levels.begin() + 1, levels.begin() + 16, 0x48);
  std::fill(levels.begin() + 16, levels.end(), 0x6A);
  EXPECT_EQ(Row(0, 0, 20), levels);
}

TEST_F(PerspSpanTest, AKeyedSpanWhoseRunCannotBeRecordedStopsAfterWritingItsPixel) {
  SetHandSpan();
  // The list is full with runs right of the span; the key is column 1's texel.
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(keyed_[0].list->capacity); ++i) {
    ASSERT_EQ(_r3xRecordCoveredRun(keyed_[0].list, 100 + 2 * i, keyed_[0].count, &keyed_[0].cursor,
                                   &keyed_[0].last),
              0);
    _r3xEndCoveredRun(101 + 2 * i, &keyed_[0].cursor);
  }
  keyed_[0].cursor = keyed_[0].list->records;
  const std::uint32_t before = *keyed_[0].count;
  std::int32_t result = 0;
  {
    test_support::FailingMemory failing(0);
    result = Keyed(_r3xSpanPerspKeyedMode1, 0, 0, 20, 8, 0);
  }
  EXPECT_EQ(result, R3X_RUNS_CANNOT_GROW);
  EXPECT_EQ(Row(0, 0, 2), (Bytes{0, kUntouched}));
  EXPECT_EQ(keyed_[0].drawn, 0u);
  EXPECT_EQ(keyed_[0].endsInside, -1);
  EXPECT_EQ(*keyed_[0].count, before);
  EXPECT_EQ(keyed_[0].cursor, keyed_[0].list->records);
}

}  // namespace
