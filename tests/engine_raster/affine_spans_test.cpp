#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/raster/affine_spans_internal.h"
#include "engine/raster/covered_runs_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "tests/engine_raster/affine_span_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

constexpr std::uint8_t kKey = 253;

Bytes Columns(std::int32_t from, std::int32_t to) {
  Bytes columns;
  for (std::int32_t x = from; x < to; ++x) {
    columns.push_back(static_cast<std::uint8_t>(x));
  }
  return columns;
}

TEST_F(AffineSpanTest, TexelCopySpansWriteExactlyTheirPixelsWhateverThePassesAndTail) {
  SetColumnSpan();
  struct Case {
    std::int32_t x;
    std::int32_t count;
  };
  for (const Case c : std::vector<Case>{{3, 1}, {3, 15}, {0, 16}, {5, 32}, {7, 17}, {1, 40}}) {
    image_.assign(image_.size(), kUntouched);
    _r3xSpanAffineOpaqueMode1(render_, c.x, c.count);
    EXPECT_EQ(Row(0, c.x, c.x + c.count), Columns(c.x, c.x + c.count)) << c.x << " " << c.count;
    EXPECT_EQ(Row(0, 0, c.x), Bytes(c.x, kUntouched));
    EXPECT_EQ(Row(0, c.x + c.count, kWidth), Bytes(kWidth - c.x - c.count, kUntouched));
  }
  // No pixel for a count of 0 or below.
  image_.assign(image_.size(), kUntouched);
  _r3xSpanAffineOpaqueMode1(render_, 20, 0);
  _r3xSpanAffineOpaqueMode1(render_, 20, -1);
  _r3xSpanAffineOpaqueMode1(render_, 20, -17);
  EXPECT_EQ(image_, Bytes(image_.size(), kUntouched));
}

TEST_F(AffineSpanTest, UAndVAreTakenAtTheFirstPixelsColumnAndWrapOverTheLevel) {
  // 4 x 4 texels 10 t + s.
  Bytes texels(16);
  for (std::size_t i = 0; i < texels.size(); ++i) {
    texels[i] = static_cast<std::uint8_t>(10 * (i / 4) + i % 4);
  }
  SetTexture(texels, 4, 4);
  struct Case {
    float originX;
    float u;
    float uDx;
    float v;
    float vDx;
    std::int32_t x;
    Bytes pixels;
  };
  const std::vector<Case> cases = {
      // -0.25 is column 3 and row 3.
      {0.0f, -0.25f, 1.0f, -0.25f, 0.0f, 0, {33, 30, 31, 32, 33}},
      // At the column itself, not its centre: u = 2.5 at x = 3 from the origin 0.5.
      {0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 3, {12, 13, 10}},
      // The origin right of the first pixel: u = 10 - 7.5.
      {10.5f, 10.0f, 1.0f, 0.0f, 0.5f, 3, {2, 3, 10, 11, 22}},
      // No change along the row: every pixel shows the first one's texel.
      {0.0f, 1.5f, 0.0f, 2.5f, 0.0f, 9, {21, 21, 21, 21}},
      // 1 - 2^-23 converts to 1.0 (the tie goes to the even 2^22), 1 - 3 x 2^-23 below it.
      {0.0f, 1.0f - 0x1p-23f, 0.0f, 0.0f, 0.0f, 0, {1}},
      {0.0f, 1.0f - 0x3p-23f, 0.0f, 0.0f, 0.0f, 0, {0}},
      // u crosses +512 texels: the word wraps to -512 and the columns go on.
      {0.0f, 509.5f, 1.0f, 0.0f, 0.0f, 0, {1, 2, 3, 0, 1, 2}},
  };
  for (const Case& c : cases) {
    image_.assign(image_.size(), kUntouched);
    SetAffine(c.originX, c.u, c.uDx, c.v, c.vDx);
    const auto count = static_cast<std::int32_t>(c.pixels.size());
    _r3xSpanAffineOpaqueMode1(render_, c.x, count);
    EXPECT_EQ(Row(0, c.x, c.x + count), c.pixels) << c.u << " at " << c.x;
  }
}

// The original shifted the masked v arithmetically, so that a level 1024 rows high (more than
// the drawers ever choose) read its upper half's rows before the texture; the row stays
// unsigned here.
TEST_F(AffineSpanTest, ALevelOf1024RowsReadsEveryRowInsideTheTexture) {
  Bytes texels(2 * 1024);
  for (std::size_t i = 0; i < texels.size(); ++i) {
    texels[i] = static_cast<std::uint8_t>(i / 2 / 4);
  }
  SetTexture(texels, 2, 1024);
  // Rows 511, 512 and 1023 (v = -0.5 wraps to the last row).
  SetAffine(0.0f, 0.0f, 0.0f, 511.5f, 1.0f);
  _r3xSpanAffineOpaqueMode1(render_, 0, 2);
  SetAffine(0.0f, 0.0f, 0.0f, -0.5f, 0.0f);
  _r3xSpanAffineOpaqueMode1(render_, 2, 1);
  EXPECT_EQ(Row(0, 0, 3), (Bytes{127, 128, 255}));
}

// The colour drawer points the row at its scratch line minus the first x.
TEST_F(AffineSpanTest, ARowPlacedAtAScratchLineMinusTheFirstXFillsOnlyTheScratchLine) {
  SetColumnSpan();
  Bytes scratch(48, kUntouched);
  render_->span.destination = scratch.data() + 8 - 30;
  _r3xSpanAffineOpaqueMode1(render_, 30, 20);
  Bytes expected(48, kUntouched);
  const Bytes pixels = Columns(30, 50);
  std::copy(pixels.begin(), pixels.end(), expected.begin() + 8);
  EXPECT_EQ(scratch, expected);
}

TEST_F(AffineSpanTest, FixedShadeSpansPassEveryTexelThroughTheRow) {
  SetColumnSpan();
  Bytes row(256);
  for (std::size_t i = 0; i < row.size(); ++i) {
    row[i] = static_cast<std::uint8_t>(255 - i);
  }
  render_->span.shadeRow = row.data();
  SetAffine(0.0f, 250.5f, 1.0f, 0.0f, 0.0f);
  _r3xSpanAffineOpaqueMode2(render_, 0, 8);
  // Texels 250 to 255, then 0 and 1: the row's last bytes and its first.
  EXPECT_EQ(Row(0, 0, 8), (Bytes{5, 4, 3, 2, 1, 0, 255, 254}));
}

// Levels per pixel: 16 x fog level + light level.
Bytes Levels(const std::vector<std::pair<std::int32_t, std::uint8_t>>& runs) {
  Bytes levels;
  for (const auto& [count, level] : runs) {
    levels.insert(levels.end(), count, level);
  }
  return levels;
}

TEST_F(AffineSpanTest, GradientLitSpansTakeOneLevelPerSixteenPixelsFromTheFirst) {
  SetColumnSpan();
  SetLevelShades();
  // 0.5 rising 0.01 a pixel: a pass step of a little under 0.16.
  SetLight(0.5f, 0.01f, _r3xStepFixed20(0.01f));
  struct Case {
    std::int32_t x;
    std::int32_t count;
    Bytes levels;
  };
  const std::vector<Case> cases = {
      {0, 64, Levels({{16, 8}, {16, 10}, {16, 13}, {16, 15}})},
      {0, 15, Levels({{15, 8}})},
      {0, 17, Levels({{16, 8}, {1, 10}})},
      {0, 40, Levels({{16, 8}, {16, 10}, {8, 13}})},
      // From x = 5 the light starts at 0.55 and changes level at x = 21 and 37 only.
      {5, 40, Levels({{16, 8}, {16, 11}, {8, 13}})},
  };
  for (const Case& c : cases) {
    image_.assign(image_.size(), kUntouched);
    _r3xSpanAffineOpaqueMode3(render_, c.x, c.count);
    EXPECT_EQ(Row(0, c.x, c.x + c.count), c.levels) << c.x << " " << c.count;
  }
  // No clamp: 1.0 is level 0, -2^-20 level 15, and -2^-21 rounds to the even 0.
  struct Edge {
    float light;
    std::uint8_t level;
  };
  for (const Edge e : std::vector<Edge>{{1.0f, 0}, {-0x1p-20f, 15}, {-0x1p-21f, 0}}) {
    SetLight(e.light, 0.0f, 0);
    _r3xSpanAffineOpaqueMode3(render_, 0, 3);
    EXPECT_EQ(Row(0, 0, 3), Bytes(3, e.level)) << e.light;
  }
}

// With the origin at 0.1 (as a float) and the first pixel at 1, the light takes the offset
// rounded to a float, 0.89999997615814208984375, and u the exact 0.899999998509883880615234375:
// gradients of -2^21 and -2^25 put the two offsets in different levels and texels.
TEST_F(AffineSpanTest, TheLightTakesTheOffsetRoundedToAFloatAndUTheExactOne) {
  SetColumnSpan();
  SetLevelShades();
  SetAffine(0.1f, 0.0f, -0x1p25f, 0.0f, 0.0f);
  SetLight(0.0f, -0x1p21f, 0);
  // -1887436.75 is level 4 (the exact offset would give -1887436.796875, level 3).
  _r3xSpanAffineOpaqueMode3(render_, 1, 1);
  EXPECT_EQ(Row(0, 1, 2), Bytes{4});
  // u = -30198988.75 is column 51 (the float offset would give -30198988, column 52).
  _r3xSpanAffineOpaqueMode1(render_, 1, 1);
  EXPECT_EQ(Row(0, 1, 2), Bytes{51});
}

TEST_F(AffineSpanTest, LitAndFoggedSpansTakeBothLevelsPerSixteenPixels) {
  SetColumnSpan();
  SetLevelShades();
  SetLight(0.5f, 0.01f, _r3xStepFixed20(0.01f));
  SetFog(0.25f, 0.02f, _r3xStepFixed20(0.02f));
  _r3xSpanAffineOpaqueMode4(render_, 0, 40);
  EXPECT_EQ(Row(0, 0, 40), Levels({{16, 0x48}, {16, 0x9A}, {8, 0xED}}));
  // With no fog the levels are those of mode 3 in fog block 0; fog 0.5 is block 8.
  SetFog(0.0f, 0.0f, 0);
  _r3xSpanAffineOpaqueMode4(render_, 0, 40);
  EXPECT_EQ(Row(0, 0, 40), Levels({{16, 0x08}, {16, 0x0A}, {8, 0x0D}}));
  SetFog(0.5f, 0.0f, 0);
  _r3xSpanAffineOpaqueMode4(render_, 0, 17);
  EXPECT_EQ(Row(0, 0, 17), Levels({{16, 0x88}, {1, 0x8A}}));
}

TEST_F(AffineSpanTest, PerPixelLitSpansTakeTheLevelOfEveryPixel) {
  SetColumnSpan();
  SetLevelShades();
  // 0.03 at the first pixel and 1/256 a pixel: the level changes at pixels 9 and 25, where
  // mode 3 changes it at 16 and 32.
  SetLight(0.03f, 0.0f, 4096);
  _r3xSpanAffineOpaqueMode5(render_, 0, 41);
  EXPECT_EQ(Row(0, 0, 41), Levels({{9, 0}, {16, 1}, {16, 2}}));
  _r3xSpanAffineOpaqueMode3(render_, 0, 41);
  EXPECT_EQ(Row(0, 0, 41), Levels({{16, 0}, {16, 1}, {9, 2}}));
  // From 0 a level every 16 pixels, as mode 3; without a step one level, as mode 3.
  SetLight(0.0f, 0.0f, 4096);
  _r3xSpanAffineOpaqueMode5(render_, 0, 33);
  EXPECT_EQ(Row(0, 0, 33), Levels({{16, 0}, {16, 1}, {1, 2}}));
  SetLight(0.7f, 0.0f, 0);
  _r3xSpanAffineOpaqueMode5(render_, 5, 20);
  EXPECT_EQ(Row(0, 5, 25), Levels({{20, 11}}));
}

// A 256 x 1 level of its columns with the key at columns `from` to `to` - 1.
Bytes KeyedColumns(std::int32_t from, std::int32_t to) {
  Bytes texels = Columns(0, 256);
  std::fill(texels.begin() + from, texels.begin() + to, kKey);
  return texels;
}

TEST_F(AffineSpanTest, KeyedSpansSkipKeyTexelsAndRecordEveryRunTheyDraw) {
  SetColumnSpan();
  struct Case {
    const char* name;
    Bytes texels;
    std::int32_t count;
    std::int32_t key;
    std::int32_t startsInside;
    Runs runs;
    std::int32_t endsInside;
    std::uint32_t drawn;
  };
  // Each case draws from x = 4 after a run [0, 4) that the first call made; `runs` are the
  // row's records afterwards.
  Bytes alternate = Columns(0, 256);
  for (std::size_t i = 4; i < 10; i += 2) {
    alternate[i] = kKey;
  }
  Bytes zero = Columns(0, 256);
  zero[5] = 0;
  const std::vector<Case> cases = {
      {"all key, outside", KeyedColumns(4, 10), 6, kKey, 0, {{0, 4}}, 0, 0},
      {"all key, inside", KeyedColumns(4, 10), 6, kKey, 1, {{0, 4}}, 0, 0},
      {"no key, outside", Columns(0, 256), 6, kKey, 0, {{0, 4}, {4, 10}}, 1, 6},
      {"no key, inside", Columns(0, 256), 6, kKey, 1, {{0, 10}}, 1, 6},
      {"alternating", alternate, 6, kKey, 0, {{0, 4}, {5, 6}, {7, 8}, {9, 10}}, 1, 3},
      {"last texel key", KeyedColumns(9, 10), 6, kKey, 1, {{0, 9}}, 0, 5},
      {"low 8 bits of the key",
       KeyedColumns(6, 8),
       6,
       0x100 | kKey,
       0,
       {{0, 4}, {4, 6}, {8, 10}},
       1,
       4},
      {"key 0", zero, 6, 0x400, 0, {{0, 4}, {4, 5}, {6, 10}}, 1, 5},
  };
  for (const Case& c : cases) {
    image_.assign(image_.size(), kUntouched);
    ResetRuns(0);
    SetTexture(Columns(0, 256), 256, 1);
    ASSERT_EQ(Keyed(_r3xSpanAffineKeyedMode1, 0, 0, 4, kKey, 0), 0);
    keyed_[0].drawn = 0;
    SetTexture(c.texels, 256, 1);
    ASSERT_EQ(Keyed(_r3xSpanAffineKeyedMode1, 0, 4, c.count, c.key, c.startsInside), 0) << c.name;
    EXPECT_EQ(Listed(0), c.runs) << c.name;
    EXPECT_EQ(keyed_[0].endsInside, c.endsInside) << c.name;
    EXPECT_EQ(keyed_[0].drawn, c.drawn) << c.name;
    Bytes expected(c.texels.begin() + 4, c.texels.begin() + 4 + c.count);
    for (std::uint8_t& pixel : expected) {
      pixel = pixel == static_cast<std::uint8_t>(c.key) ? kUntouched : pixel;
    }
    EXPECT_EQ(Row(0, 4, 4 + c.count), expected) << c.name;
  }
}

TEST_F(AffineSpanTest, KeyedShadeSpansTestTheTexelAndKeepTheLevelsAcrossKeyTexels) {
  SetColumnSpan();
  // Mode 2: a texel whose shaded value is the key is drawn; the key texel is not.
  Bytes row(256, kKey);
  row[kKey] = 77;
  render_->span.shadeRow = row.data();
  SetTexture(KeyedColumns(1, 2), 256, 1);
  ASSERT_EQ(Keyed(_r3xSpanAffineKeyedMode2, 0, 0, 3, kKey, 0), 0);
  EXPECT_EQ(Row(0, 0, 3), (Bytes{kKey, kUntouched, kKey}));
  EXPECT_EQ(Listed(0), (Runs{{0, 1}, {2, 3}}));

  // Modes 3 and 4: 40 pixels whose texels 10 to 20 are the key; the pass boundary at 16 inside
  // the key texels still moves the levels.
  SetLevelShades();
  SetTexture(KeyedColumns(10, 21), 256, 1);
  SetLight(0.5f, 0.01f, _r3xStepFixed20(0.01f));
  SetFog(0.25f, 0.02f, _r3xStepFixed20(0.02f));
  struct Case {
    R3xKeyedSpanRoutine routine;
    Bytes levels;
  };
  const std::vector<Case> cases = {
      {_r3xSpanAffineKeyedMode3, Levels({{10, 8}, {11, kUntouched}, {11, 10}, {8, 13}})},
      {_r3xSpanAffineKeyedMode4, Levels({{10, 0x48}, {11, kUntouched}, {11, 0x9A}, {8, 0xED}})},
  };
  for (const Case& c : cases) {
    image_.assign(image_.size(), kUntouched);
    ResetRuns(0);
    ASSERT_EQ(Keyed(c.routine, 0, 0, 40, kKey, 0), 0);
    EXPECT_EQ(Row(0, 0, 40), c.levels);
    EXPECT_EQ(Listed(0), (Runs{{0, 10}, {21, 40}}));
    EXPECT_EQ(keyed_[0].endsInside, 1);
    EXPECT_EQ(keyed_[0].drawn, 29u);
  }
}

TEST_F(AffineSpanTest, AKeyedSpanWhoseRunCannotBeRecordedStopsAfterWritingItsPixel) {
  SetColumnSpan();
  SetLevelShades();
  SetLight(0.5f, 0.0f, 0);
  // The list is full with runs right of the span.
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(keyed_[0].list->capacity); ++i) {
    ASSERT_EQ(_r3xRecordCoveredRun(keyed_[0].list, 100 + 2 * i, keyed_[0].count, &keyed_[0].cursor,
                                   &keyed_[0].last),
              0);
    _r3xEndCoveredRun(101 + 2 * i, &keyed_[0].cursor);
  }
  const std::uint32_t before = *keyed_[0].count;
  for (const R3xKeyedSpanRoutine routine : {_r3xSpanAffineKeyedMode1, _r3xSpanAffineKeyedMode2,
                                            _r3xSpanAffineKeyedMode3, _r3xSpanAffineKeyedMode4}) {
    image_.assign(image_.size(), kUntouched);
    render_->span.shadeRow = shades_.data() + 256 * 8;
    keyed_[0].cursor = keyed_[0].list->records;
    keyed_[0].drawn = 7;
    keyed_[0].endsInside = -1;
    std::int32_t result = 0;
    {
      test_support::FailingMemory failing(0);
      result = Keyed(routine, 0, 3, 20, kKey, 0);
    }
    EXPECT_EQ(result, R3X_RUNS_CANNOT_GROW);
    // The shaded first pixel stays, uncounted and unrecorded; nothing after it is drawn.
    EXPECT_NE(Row(0, 3, 4), Bytes{kUntouched});
    EXPECT_EQ(Row(0, 4, 23), Bytes(19, kUntouched));
    EXPECT_EQ(keyed_[0].drawn, 7u);
    EXPECT_EQ(keyed_[0].endsInside, -1);
    EXPECT_EQ(*keyed_[0].count, before);
    EXPECT_EQ(keyed_[0].cursor, keyed_[0].list->records);
  }
}

}  // namespace
