#include <cstdint>
#include <utility>
#include <vector>

#include "engine/raster/covered_runs_internal.h"
#include "engine/raster/exact_spans_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "tests/engine_raster/raster_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

using Runs = std::vector<std::pair<std::int32_t, std::int32_t>>;

// Row 2's run list, with the keyed span state the drawer keeps for it.
class CoveredRunsTest : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    list_ = &render_->work.spanLists[2];
    count_ = &render_->work.spanWords[2];
    *count_ = 0;
    cursor_ = list_->records;
    last_ = nullptr;
    // A 16-texel row whose texel is its u, with 1/z = 1: u = x.
    for (std::size_t i = 0; i < texels_.size(); ++i) {
      texels_[i] = static_cast<std::uint8_t>(100 + i);
    }
    R3xSpanState& span = render_->span;
    span.texels = texels_.data();
    span.uMask = 15;
    span.vMask = 0;
    span.vShift = 18;
    span.interpolants[2] = 1.0f;
    span.xGradients[0] = 1.0f;
    SetRow(2);
  }
  Runs Listed() const {
    Runs runs;
    for (std::uint32_t i = 0; i < *count_; ++i) {
      runs.emplace_back(list_->records[i].start, list_->records[i].end);
    }
    return runs;
  }
  std::int32_t Record(std::int32_t x, std::int32_t end) {
    const std::int32_t result = _r3xRecordCoveredRun(list_, x, count_, &cursor_, &last_);
    if (result == 0) {
      _r3xEndCoveredRun(end, &cursor_);
    }
    return result;
  }
  std::int32_t Keyed(std::int32_t x, std::int32_t count, std::int32_t startsInside) {
    return _r3xSpanExactKeyedMode1(render_, x, count, &cursor_, &last_, count_, &drawn_, kKey,
                                   startsInside, &endsInside_, list_);
  }

  static constexpr std::int32_t kKey = 253;
  std::vector<std::uint8_t> texels_ = std::vector<std::uint8_t>(16);
  R3xList16* list_ = nullptr;
  std::uint32_t* count_ = nullptr;
  R3xCoveredRun* cursor_ = nullptr;
  R3xCoveredRun* last_ = nullptr;
  std::uint32_t drawn_ = 0;
  std::int32_t endsInside_ = -1;
};

TEST_F(CoveredRunsTest, RunsGoInAtTheCursorInOrder) {
  ASSERT_EQ(Record(10, 12), 0);
  ASSERT_EQ(Record(20, 25), 0);
  EXPECT_EQ(last_, list_->records + 1);
  // Back to the front: the later runs move up.
  cursor_ = list_->records;
  ASSERT_EQ(Record(2, 4), 0);
  EXPECT_EQ(Listed(), (Runs{{2, 4}, {10, 12}, {20, 25}}));
  EXPECT_EQ(cursor_, list_->records + 1);
  EXPECT_EQ(last_, list_->records + 2);
  EXPECT_EQ(list_->records[0].depth, R3X_RUN_DEPTH_OPAQUE);
}

TEST_F(CoveredRunsTest, AFullListGrowsBySixteenAndKeepsItselfWhenItCannot) {
  for (std::int32_t i = 0; i < 31; ++i) {
    ASSERT_EQ(Record(2 * i, 2 * i + 1), 0);
  }
  EXPECT_EQ(list_->capacity, 31u);
  cursor_ = list_->records + 1;
  const Runs before = Listed();
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(_r3xRecordCoveredRun(list_, 1, count_, &cursor_, &last_), R3X_RUNS_CANNOT_GROW);
  }
  EXPECT_EQ(list_->capacity, 31u);
  EXPECT_EQ(cursor_, list_->records + 1);
  EXPECT_EQ(Listed(), before);
  ASSERT_EQ(Record(1, 2), 0);
  EXPECT_EQ(list_->capacity, 47u);
  EXPECT_EQ(*count_, 32u);
  EXPECT_EQ(cursor_, list_->records + 2);
  EXPECT_EQ(last_, list_->records + 31);
  EXPECT_EQ(Listed()[1], std::make_pair(1, 2));
  EXPECT_EQ(Listed()[31], std::make_pair(60, 61));
}

// With 1/z = 1 the texel of pixel x is texel x; the key texel sits at chosen places.
TEST_F(CoveredRunsTest, AKeyedSpanRecordsTheRunsItDraws) {
  struct Case {
    std::vector<std::int32_t> keyed;
    Runs runs;
    std::int32_t endsInside;
    std::uint32_t drawn;
  };
  const std::vector<Case> cases = {
      {{4, 6}, {{5, 6}}, 0, 1},
      {{4}, {{5, 7}}, 1, 2},
      {{4, 5, 6}, {}, 0, 0},
      {{5}, {{4, 5}, {6, 7}}, 1, 2},
  };
  for (const Case& c : cases) {
    for (std::size_t i = 0; i < texels_.size(); ++i) {
      texels_[i] = static_cast<std::uint8_t>(100 + i);
    }
    for (std::int32_t k : c.keyed) {
      texels_[static_cast<std::size_t>(k)] = kKey;
    }
    image_.assign(image_.size(), 0);
    *count_ = 0;
    cursor_ = list_->records;
    drawn_ = 0;
    ASSERT_EQ(Keyed(4, 3, 0), 0);
    EXPECT_EQ(Listed(), c.runs);
    EXPECT_EQ(endsInside_, c.endsInside);
    EXPECT_EQ(drawn_, c.drawn);
    for (std::int32_t x = 4; x < 7; ++x) {
      const bool key = texels_[static_cast<std::size_t>(x)] == kKey;
      EXPECT_EQ(Pixel(x, 2), key ? 0 : 100 + x) << x;
    }
  }
}

// Every shading mode's keyed routine tests the texel before shading it.
TEST_F(CoveredRunsTest, EveryKeyedModeSkipsTheKeyTexel) {
  std::vector<std::uint8_t> shade(16 * 4096, 9);
  render_->span.shadeData = shade.data();
  render_->span.shadeRow = shade.data();
  texels_[5] = kKey;
  const R3xKeyedSpanRoutine routines[] = {_r3xSpanExactKeyedMode1, _r3xSpanExactKeyedMode2,
                                          _r3xSpanExactKeyedMode3, _r3xSpanExactKeyedMode4};
  for (R3xKeyedSpanRoutine routine : routines) {
    image_.assign(image_.size(), 0);
    *count_ = 0;
    cursor_ = list_->records;
    ASSERT_EQ(
        routine(render_, 4, 3, &cursor_, &last_, count_, &drawn_, kKey, 0, &endsInside_, list_), 0);
    EXPECT_EQ(Listed(), (Runs{{4, 5}, {6, 7}}));
    EXPECT_EQ(Pixel(5, 2), 0);
    EXPECT_NE(Pixel(6, 2), 0);
  }
}

TEST_F(CoveredRunsTest, ASpanStartingInsideExtendsTheOpenRun) {
  ASSERT_EQ(Keyed(4, 3, 0), 0);
  EXPECT_EQ(endsInside_, 1);
  ASSERT_EQ(Keyed(7, 2, 1), 0);
  EXPECT_EQ(Listed(), (Runs{{4, 9}}));
  EXPECT_EQ(drawn_, 5u);
}

TEST_F(CoveredRunsTest, AKeyedSpanStopsWhenItsListCannotGrow) {
  texels_[5] = kKey;
  for (std::int32_t i = 0; i < 31; ++i) {
    ASSERT_EQ(Record(40 + i, 40 + i), 0);
  }
  cursor_ = list_->records;
  test_support::FailingMemory failing(0);
  EXPECT_EQ(Keyed(4, 3, 0), R3X_RUNS_CANNOT_GROW);
  EXPECT_EQ(drawn_, 1u);
  EXPECT_EQ(cursor_, list_->records);
  EXPECT_EQ(Pixel(4, 2), 104);
  EXPECT_EQ(Pixel(6, 2), 0);
}

// 480 rows are more than the 400 lists the render context starts with.
TEST_F(CoveredRunsTest, TheRowListsCoverTheWholeImageHeightWithCountsCleared) {
  render_->work.spanWords[399] = 7;
  render_->raster.height = 480;
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(_r3xPrepareRowRuns(render_), R3X_ERR_FAILED);
  }
  EXPECT_EQ(render_->work.spanListCount, 400u);
  EXPECT_EQ(render_->work.spanWords[399], 7u);
  ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
  EXPECT_EQ(render_->work.spanListCount, 480u);
  EXPECT_EQ(render_->work.spanLists[479].capacity, 31u);
  EXPECT_EQ(render_->work.spanWords[399], 0u);
  EXPECT_EQ(render_->work.spanWords[479], 0u);
}

class ExactSpansTest : public CoveredRunsTest {};

// u/z = x and 1/z = 1 + x / 8: u = 8x / (8 + x), one division per pixel.
TEST_F(ExactSpansTest, EveryPixelDividesAndZeroDepthTakesTheFirstTexel) {
  R3xSpanState& span = render_->span;
  span.xGradients[2] = 0.125f;
  _r3xSpanExactOpaqueMode1(render_, 0, 16);
  for (std::int32_t x = 0; x < 16; ++x) {
    const float w = static_cast<float>(x) * 0.125f + 1.0f;
    const std::int32_t u = _r3xFixed22(static_cast<float>(x) * (1.0f / w));
    EXPECT_EQ(Pixel(x, 2), 100 + ((u >> 22) & 15)) << x;
  }
  // 1/z = 1 - x / 4 is 0 at pixel 4.
  span.xGradients[2] = -0.25f;
  texels_[0] = 7;
  _r3xSpanExactOpaqueMode1(render_, 4, 1);
  EXPECT_EQ(Pixel(4, 2), 7);
}

TEST_F(ExactSpansTest, ShadingModesLookUpTheShadeData) {
  std::vector<std::uint8_t> shade(16 * 4096);
  for (std::size_t i = 0; i < shade.size(); ++i) {
    shade[i] = static_cast<std::uint8_t>((i >> 8) * 3 + i);
  }
  R3xSpanState& span = render_->span;
  span.shadeData = shade.data();
  span.shadeRow = shade.data() + 256;
  span.light = 0.5f;
  span.lightStep = 0.0625f;
  span.lightStepFixed = _r3xStepFixed20(0.0625f);
  span.fog = 0.25f;
  _r3xSpanExactOpaqueMode2(render_, 1, 1);
  EXPECT_EQ(Pixel(1, 2), shade[256 + 101]);
  _r3xSpanExactOpaqueMode3(render_, 1, 2);
  EXPECT_EQ(Pixel(1, 2), shade[(9 << 8) | 101]);
  EXPECT_EQ(Pixel(2, 2), shade[(10 << 8) | 102]);
  _r3xSpanExactOpaqueMode4(render_, 1, 1);
  EXPECT_EQ(Pixel(1, 2), shade[(4 << 12) | (9 << 8) | 101]);
}

}  // namespace
