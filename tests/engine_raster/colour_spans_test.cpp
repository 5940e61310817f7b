// The colour path's span routines: packing by each pixel format code, the colour stage's light
// and fog through the modulation table, the compose routines, the colour-keyed compose with the
// row's covered runs, and the rows and buffer that the colour attachment makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/core/render_context.h"
#include "engine/raster/colour_spans_internal.h"
#include "engine/raster/row_runs_internal.h"
#include "engine/raster/software_drawers_internal.h"
#include "tests/engine_raster/raster_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

// Red 0xFF, green 0x80, blue 0x10 in the colour layout (red in the low byte).
constexpr std::uint32_t kColour = 0x1080FF;
constexpr std::uint16_t kUntouched = 0xABCD;

// The texels that the stub texel stage writes, by column.
std::vector<std::uint8_t> gTexels;
void StubTexels(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  for (std::int32_t i = x; i < x + count; ++i) {
    context->span.destination[i] = gTexels[static_cast<std::size_t>(i)];
  }
}

class ColourSpansTest : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    _r3xRegisterSoftwareDrawers();
    for (int i = 0; i < R3X_PALETTE_ENTRIES; ++i) {
      palette_.entries[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                             static_cast<std::uint8_t>(i / 2), 0};
    }
    palette_.entries[7] = {0xFF, 0x80, 0x10, 0};
    ASSERT_EQ(r3xAttachRenderDevice(render_, R3X_MODE_COLOUR, nullptr, &palette_), 0);
    row_.assign(kWidth, kUntouched);
    R3xSpanState& span = render_->span;
    span.destination16 = row_.data();
    span.destination = span.scratchRow;
    span.paletteColours = reinterpret_cast<const std::uint8_t*>(palette_.entries);
    gTexels.assign(kWidth, 7);
  }
  std::uint8_t M(std::uint32_t level, std::uint32_t value) const {
    return render_->modulation[level * 256 + value];
  }
  // Light (red, green, blue) and fog constant along the span.
  void SetShade(float red, float green, float blue, float fog) {
    R3xSpanState& span = render_->span;
    span.light = red;
    span.green = green;
    span.blue = blue;
    span.fog = fog;
  }
  std::uint32_t Colour(std::int32_t x) const { return render_->span.colourRow[x]; }

  R3xPalette palette_{};
  std::vector<std::uint16_t> row_;
};

struct FormatCase {
  std::int32_t format;
  std::uint16_t pixel;
};
// Red 0xFF -> 31, green 0x80 -> 16 (5 bits) or 32 (6 bits), blue 0x10 -> 2.
constexpr FormatCase kFormats[] = {
    {1, 31 << 10 | 16 << 5 | 2},
    {2, 31 << 11 | 32 << 5 | 2},
    {3, 2 << 10 | 16 << 5 | 31},
    {4, 2 << 11 | 32 << 5 | 31},
};

TEST_F(ColourSpansTest, EachOutputRoutinePacksTheColourRowInItsPixelFormat) {
  for (const FormatCase& c : kFormats) {
    SCOPED_TRACE(c.format);
    row_.assign(kWidth, kUntouched);
    render_->span.colourRow[3] = kColour | 0xFF000000u;
    render_->span.colourRow[4] = 0xFFFFFF;
    _r3xSpanOut16[c.format - 1](render_, 3, 2);
    EXPECT_EQ(row_[2], kUntouched);
    EXPECT_EQ(row_[3], c.pixel);
    EXPECT_EQ(row_[4], c.format % 2 == 1 ? 0x7FFF : 0xFFFF);
    EXPECT_EQ(row_[5], kUntouched);
  }
}

TEST_F(ColourSpansTest, EachPaletteRoutinePacksThePaletteColoursOfTheTexels) {
  for (const FormatCase& c : kFormats) {
    SCOPED_TRACE(c.format);
    row_.assign(kWidth, kUntouched);
    render_->span.scratchRow[10] = 7;
    render_->span.scratchRow[11] = 0;
    _r3xSpanOut16b[c.format - 1](render_, 10, 2);
    EXPECT_EQ(row_[10], c.pixel);
    EXPECT_EQ(row_[11], c.format % 2 == 1 ? 31 << 5 : 63 << 5);
    EXPECT_EQ(row_[12], kUntouched);
  }
}

TEST_F(ColourSpansTest, EachFillRoutineWritesExactlyItsCount) {
  for (const FormatCase& c : kFormats) {
    for (const auto& [x, count] : {std::pair{5, 0}, {5, 1}, {5, 7}, {0, kWidth}}) {
      SCOPED_TRACE(::testing::Message() << c.format << " " << x << " " << count);
      row_.assign(kWidth, kUntouched);
      render_->span.flatColour = kColour;
      _r3xSpanFill16[c.format - 1](render_, x, count);
      for (std::int32_t i = 0; i < kWidth; ++i) {
        EXPECT_EQ(row_[i], i >= x && i < x + count ? c.pixel : kUntouched) << i;
      }
    }
  }
}

TEST_F(ColourSpansTest, TheModulationTableIsTheLevelTimesTheValueOver32Rounded) {
  for (std::uint32_t level = 0; level < 64; ++level) {
    for (std::uint32_t value = 0; value < 256; ++value) {
      const double exact = level * value / 32.0;
      const double entry = M(level, value);
      if (exact >= 255.0) {
        ASSERT_EQ(entry, 255.0) << level << " " << value;
      } else {
        // Within half a step (the original's 1/255 in single precision may tip a half up).
        ASSERT_LE(std::abs(entry - exact), 0.5) << level << " " << value;
      }
    }
    EXPECT_EQ(M(32, level * 4), level * 4);
  }
}

TEST_F(ColourSpansTest, LightOfOneLeavesTheColourAndTheCapBrightensBy63Over32) {
  SetShade(1.0f, 1.99999f, 0.5f, 0.0f);
  render_->span.scratchRow[0] = 7;
  _r3xSpanColorLit(render_, 0, 1);
  EXPECT_EQ(Colour(0) & 0xFF, 0xFFu);
  EXPECT_EQ(Colour(0) >> 8 & 0xFF, 252u);  // 0x80 x 63 / 32
  EXPECT_EQ(Colour(0) >> 16 & 0xFF, 0x08u);
  EXPECT_EQ(Colour(0) >> 24, 0u);
}

TEST_F(ColourSpansTest, EachChannelStepsByItsOwnLightStep) {
  // Red rises one level a pixel, green falls one, blue stays.
  SetShade(1.0f, 1.0f, 1.0f, 0.0f);
  render_->span.lightStep = 1.0f / 32;
  render_->span.greenStep = -1.0f / 32;
  render_->span.lightStepFixed = 1 << 15;
  render_->span.greenStepFixed = -(1 << 15);
  render_->span.scratchRow[0] = 7;
  render_->span.scratchRow[1] = 7;
  render_->span.scratchRow[2] = 7;
  _r3xSpanColorLit(render_, 0, 3);
  for (std::uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(Colour(static_cast<std::int32_t>(i)) & 0xFF, M(32 + i, 0xFF)) << i;
    EXPECT_EQ(Colour(static_cast<std::int32_t>(i)) >> 8 & 0xFF, M(32 - i, 0x80)) << i;
    EXPECT_EQ(Colour(static_cast<std::int32_t>(i)) >> 16 & 0xFF, 0x10u) << i;
  }
}

TEST_F(ColourSpansTest, FogLevelZeroKeepsTheColourAndLevel31IsMostlyFogColour) {
  render_->raster.fogColour = 0x204060;
  render_->span.flatColour = kColour;
  SetShade(1.0f, 1.0f, 1.0f, 0.0f);
  _r3xSpanFlatColorFog(render_, 0, 1);
  EXPECT_EQ(Colour(0), kColour);
  SetShade(1.0f, 1.0f, 1.0f, 31.0f / 32);
  _r3xSpanFlatColorFog(render_, 1, 1);
  EXPECT_EQ(Colour(1) & 0xFF, M(1, 0xFF) + M(31, 0x60));
  EXPECT_EQ(Colour(1) >> 8 & 0xFF, M(1, 0x80) + M(31, 0x40));
  EXPECT_EQ(Colour(1) >> 16 & 0xFF, M(1, 0x10) + M(31, 0x20));
}

TEST_F(ColourSpansTest, LitFogAppliesTheLightFirst) {
  render_->raster.fogColour = 0x204060;
  SetShade(1.5f, 0.5f, 1.0f, 0.25f);
  render_->span.scratchRow[0] = 7;
  _r3xSpanColorLitFog(render_, 0, 1);
  EXPECT_EQ(Colour(0) & 0xFF, M(24, M(48, 0xFF)) + M(8, 0x60));
  EXPECT_EQ(Colour(0) >> 8 & 0xFF, M(24, M(16, 0x80)) + M(8, 0x40));
  EXPECT_EQ(Colour(0) >> 16 & 0xFF, M(24, 0x10) + M(8, 0x20));
}

TEST_F(ColourSpansTest, AFogWordSteppedPastTheRangeIsFullFogNotARowBeforeTheTable) {
  render_->raster.fogColour = 0x204060;
  render_->span.flatColour = kColour;
  SetShade(1.0f, 1.0f, 1.0f, 1.5f);
  _r3xSpanFlatColorFog(render_, 0, 1);
  EXPECT_EQ(Colour(0), 0x204060u);
}

TEST_F(ColourSpansTest, ComposeRoutinesChainTheStagesOverTheSameColumns) {
  R3xSpanState& span = render_->span;
  span.routine = StubTexels;
  span.colourRoutine = _r3xSpanColorCopy;
  span.outputRoutine = _r3xSpanOut16[1];
  _r3xSpanComposeRGB(render_, 20, 3);
  EXPECT_EQ(row_[19], kUntouched);
  EXPECT_EQ(row_[20], kFormats[1].pixel);
  EXPECT_EQ(row_[22], kFormats[1].pixel);
  EXPECT_EQ(row_[23], kUntouched);

  row_.assign(kWidth, kUntouched);
  span.colourRoutine = _r3xSpanOut16b[2];
  _r3xSpanComposeDirect16(render_, 30, 2);
  EXPECT_EQ(row_[30], kFormats[2].pixel);
  EXPECT_EQ(row_[32], kUntouched);

  row_.assign(kWidth, kUntouched);
  span.flatColour = kColour;
  SetShade(1.0f, 1.0f, 1.0f, 0.0f);
  span.colourRoutine = _r3xSpanFlatColorLit;
  span.outputRoutine = _r3xSpanOut16[3];
  _r3xSpanComposeFlatRGB(render_, 0, 1);
  EXPECT_EQ(row_[0], kFormats[3].pixel);
  EXPECT_EQ(row_[1], kUntouched);
}

class KeyedComposeTest : public ColourSpansTest {
 protected:
  void SetUp() override {
    ColourSpansTest::SetUp();
    ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
    R3xSpanState& span = render_->span;
    span.routine = StubTexels;
    span.colourRoutine = _r3xSpanColorCopy;
    span.outputRoutine = _r3xSpanOut16[1];
  }
  std::int32_t Compose(std::int32_t x, std::int32_t count, std::int32_t startsInside) {
    R3xList16* list = &render_->work.spanLists[0];
    std::uint32_t* runCount = &render_->work.spanWords[0];
    R3xCoveredRun* cursor = list->records + *runCount;
    R3xCoveredRun* last = list->records + *runCount - 1;
    return _r3xSpanComposeKeyedRGB(render_, x, count, &cursor, &last, runCount, &drawn_, kKey,
                                   startsInside, &endsInside_, list);
  }
  std::vector<std::pair<std::int32_t, std::int32_t>> Runs() const {
    std::vector<std::pair<std::int32_t, std::int32_t>> runs;
    for (std::uint32_t i = 0; i < render_->work.spanWords[0]; ++i) {
      const R3xCoveredRun& run = render_->work.spanLists[0].records[i];
      runs.emplace_back(run.start, run.end);
    }
    return runs;
  }
  static constexpr std::int32_t kKey = 0;
  std::uint32_t drawn_ = 0;
  std::int32_t endsInside_ = -1;
};

TEST_F(KeyedComposeTest, OnlyTheTexelsOtherThanTheKeyAreDrawnAndRecorded) {
  // Columns 10..19: key at 10, 11, 14 and 19.
  for (std::int32_t i : {10, 11, 14, 19}) {
    gTexels[static_cast<std::size_t>(i)] = kKey;
  }
  ASSERT_EQ(Compose(10, 10, 0), 0);
  for (std::int32_t i = 9; i <= 20; ++i) {
    const bool drawn = i >= 12 && i < 19 && i != 14;
    EXPECT_EQ(row_[i], drawn ? kFormats[1].pixel : kUntouched) << i;
  }
  EXPECT_EQ(Runs(), (std::vector<std::pair<std::int32_t, std::int32_t>>{{12, 14}, {15, 19}}));
  EXPECT_EQ(drawn_, 6u);
  EXPECT_EQ(endsInside_, 0);
}

TEST_F(KeyedComposeTest, ASpanOfKeyTexelsOnlyDrawsNothing) {
  gTexels.assign(kWidth, kKey);
  ASSERT_EQ(Compose(0, 8, 0), 0);
  EXPECT_EQ(row_, std::vector<std::uint16_t>(kWidth, kUntouched));
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(endsInside_, 0);
}

TEST_F(KeyedComposeTest, ARunOpenAtTheEndEndsWithTheSpan) {
  ASSERT_EQ(Compose(4, 3, 0), 0);
  EXPECT_EQ(Runs(), (std::vector<std::pair<std::int32_t, std::int32_t>>{{4, 7}}));
  EXPECT_EQ(endsInside_, 1);
  // Starting inside that run with a key texel first ends it at the span's first column.
  gTexels[7] = kKey;
  ASSERT_EQ(Compose(7, 1, 1), 0);
  EXPECT_EQ(Runs(), (std::vector<std::pair<std::int32_t, std::int32_t>>{{4, 7}}));
  EXPECT_EQ(endsInside_, 0);
}

TEST_F(KeyedComposeTest, ARunListThatCannotGrowEndsTheSpan) {
  // One run per texel pair until the row's 31 runs are used up.
  for (std::int32_t i = 0; i < kWidth; i += 2) {
    gTexels[static_cast<std::size_t>(i)] = kKey;
  }
  test_support::FailingMemory failing(0);
  EXPECT_EQ(Compose(0, kWidth, 0), R3X_RUNS_CANNOT_GROW);
  EXPECT_EQ(render_->work.spanWords[0], render_->work.spanLists[0].capacity);
}

// Without them the colour stages would write through null (the original made none).
TEST_F(ColourSpansTest, TheColourAttachmentMakesTheRowsAndTheColourBuffer) {
  const R3xSpanState& span = render_->span;
  ASSERT_NE(span.scratchRow, nullptr);
  ASSERT_NE(span.colourRow, nullptr);
  ASSERT_NE(span.colourBuffer, nullptr);
  EXPECT_GE(span.rowCapacity, kWidth);
  // The last column of a row as wide as the capacity is written and read.
  span.colourRow[span.rowCapacity - 1] = kColour;
  span.scratchRow[span.rowCapacity - 1] = 7;
}

TEST(ColourAttachment, FailsWhenTheRowsCannotBeMade) {
  ASSERT_EQ(r3xInit(), R3X_DONE);
  _r3xRegisterSoftwareDrawers();
  R3xRenderContext* render = CreateRenderContext(0, nullptr);
  ASSERT_NE(render, nullptr);
  R3xPalette palette{};
  {
    // The modulation table is made, the first row is not.
    test_support::FailingMemory failing(1);
    EXPECT_EQ(r3xAttachRenderDevice(render, R3X_MODE_COLOUR, nullptr, &palette), R3X_ERR_FAILED);
  }
  EXPECT_EQ(render->span.rowCapacity, 0);
  // A later attachment makes what is missing.
  EXPECT_EQ(r3xAttachRenderDevice(render, R3X_MODE_COLOUR, nullptr, &palette), 0);
  EXPECT_EQ(render->span.rowCapacity, R3X_COLOUR_ROW_CAPACITY);
  r3xDestroyRenderContext(nullptr, render, 0);
  r3xShutdown();
}

}  // namespace
