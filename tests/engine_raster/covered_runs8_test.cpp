// The 8-bit drawer's row insertions on one row's covered runs, with span routines that record
// what they are handed: opaque spans filling the gaps, colour-keyed spans recording only the
// texels they draw, depth-sorted spans replacing runs where they are nearer, and the border
// pieces of an outline row.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/raster/depth_sorted_runs_internal.h"
#include "engine/raster/row_runs_internal.h"
#include "engine/raster/scan_convert8_internal.h"
#include "engine/raster/span_family_internal.h"
#include "tests/engine_raster/raster_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

using Piece = std::pair<std::int32_t, std::int32_t>;

std::vector<Piece> gDrawn;
// The texels of the keyed routine by column: 0 is the key.
std::vector<std::uint8_t> gTexels;

void Record(R3xRenderContext*, std::int32_t x, std::int32_t count) {
  gDrawn.emplace_back(x, x + count);
}

// A keyed routine after the keyed span contract, over the texels by column.
std::int32_t RecordKeyed(R3xRenderContext*, std::int32_t x, std::int32_t count,
                         R3xCoveredRun** cursor, R3xCoveredRun** last, std::uint32_t* runCount,
                         std::uint32_t* drawn, std::int32_t key, std::int32_t startsInside,
                         std::int32_t* endsInside, R3xList16* list) {
  R3xKeyedRuns runs(cursor, last, runCount, drawn, startsInside, list);
  for (std::int32_t i = x; i < x + count; ++i) {
    if (gTexels[static_cast<std::size_t>(i)] == key) {
      runs.Key(i);
      continue;
    }
    gDrawn.emplace_back(i, i + 1);
    if (runs.Drawn(i) != 0) {
      return R3X_RUNS_CANNOT_GROW;
    }
  }
  return runs.Finish(x + count, endsInside);
}

class CoveredRuns8Test : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    gDrawn.clear();
    gTexels.assign(128, 1);
    ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
  }
  R3xRowRuns Row() { return {&render_->work.spanLists[0], &render_->work.spanWords[0]}; }
  std::vector<Piece> Runs() {
    std::vector<Piece> runs;
    for (std::uint32_t i = 0; i < render_->work.spanWords[0]; ++i) {
      const R3xCoveredRun& run = render_->work.spanLists[0].records[i];
      runs.emplace_back(run.start, run.end);
    }
    return runs;
  }
  void Opaque(std::int32_t x0, std::int32_t x1) {
    ASSERT_EQ(_r3xInsertOpaqueSpan(render_, Row(), x0, x1, Record, &balance_), 0);
  }
  void SetRuns(const std::vector<R3xCoveredRun>& runs) {
    for (std::size_t i = 0; i < runs.size(); ++i) {
      render_->work.spanLists[0].records[i] = runs[i];
    }
    render_->work.spanWords[0] = static_cast<std::uint32_t>(runs.size());
  }
  const R3xCoveredRun& Run(std::uint32_t i) { return render_->work.spanLists[0].records[i]; }

  std::uint32_t balance_ = 0;
};

TEST_F(CoveredRuns8Test, AnOpaqueSpanFillsOnlyTheGapsAndJoinsTheRuns) {
  struct Case {
    std::vector<Piece> first;
    Piece span;
    std::vector<Piece> drawn;
    std::vector<Piece> runs;
  };
  const Case cases[] = {
      {{{10, 20}}, {15, 30}, {{20, 30}}, {{10, 30}}},
      {{{10, 20}, {40, 50}}, {0, 100}, {{50, 100}, {0, 10}, {20, 40}}, {{0, 100}}},
      // Touching a run's start or end joins it.
      {{{10, 20}}, {20, 25}, {{20, 25}}, {{10, 25}}},
      {{{10, 20}, {30, 40}}, {5, 10}, {{5, 10}}, {{5, 20}, {30, 40}}},
      {{{10, 20}, {30, 40}}, {22, 25}, {{22, 25}}, {{10, 20}, {22, 25}, {30, 40}}},
      {{{10, 20}}, {12, 18}, {}, {{10, 20}}},
      {{{10, 20}}, {25, 30}, {{25, 30}}, {{10, 20}, {25, 30}}},
  };
  for (const Case& c : cases) {
    render_->work.spanWords[0] = 0;
    for (const Piece& piece : c.first) {
      Opaque(piece.first, piece.second);
    }
    gDrawn.clear();
    balance_ = 0;
    Opaque(c.span.first, c.span.second);
    EXPECT_EQ(gDrawn, c.drawn) << c.span.first << " " << c.span.second;
    EXPECT_EQ(Runs(), c.runs) << c.span.first << " " << c.span.second;
    std::uint32_t pixels = 0;
    for (const Piece& piece : c.drawn) {
      pixels += static_cast<std::uint32_t>(piece.second - piece.first);
    }
    EXPECT_EQ(balance_, pixels);
  }
}

TEST_F(CoveredRuns8Test, AListThatCannotGrowEndsTheSpanWithTheRunsSoFar) {
  std::vector<R3xCoveredRun> full;
  for (std::int32_t i = 0; i < 31; ++i) {
    full.push_back({4 * i, 4 * i + 2, R3X_RUN_DEPTH_OPAQUE, 0.0f});
  }
  SetRuns(full);
  test_support::FailingMemory failing(0);
  EXPECT_EQ(_r3xInsertOpaqueSpan(render_, Row(), 125, 127, Record, &balance_),
            R3X_RUNS_CANNOT_GROW);
  EXPECT_TRUE(gDrawn.empty());
  EXPECT_EQ(render_->work.spanWords[0], 31u);
}

TEST_F(CoveredRuns8Test, AKeyedSpanRecordsTheTexelsItDraws) {
  Opaque(20, 30);
  gDrawn.clear();
  // Key texels at 12 and 13; the texel at 19, directly before the run, is drawn.
  gTexels[12] = 0;
  gTexels[13] = 0;
  ASSERT_EQ(_r3xInsertKeyedSpan(render_, Row(), 10, 40, RecordKeyed, 0, &balance_), 0);
  EXPECT_EQ(Runs(), (std::vector<Piece>{{10, 12}, {14, 40}}));
  // The opaque run, then [30, 40), [10, 12) and [14, 20).
  EXPECT_EQ(balance_, 10u + 10u + 2u + 6u);
  // A stretch ending in a key texel before a run leaves the run apart.
  render_->work.spanWords[0] = 0;
  Opaque(20, 30);
  gTexels[19] = 0;
  ASSERT_EQ(_r3xInsertKeyedSpan(render_, Row(), 14, 20, RecordKeyed, 0, &balance_), 0);
  EXPECT_EQ(Runs(), (std::vector<Piece>{{14, 19}, {20, 30}}));
}

TEST_F(CoveredRuns8Test, ANearerFaceReplacesTheRunItHides) {
  // The run at depth 0.1 (z 10), the face at 0.5 everywhere.
  SetRuns({{10, 20, 0.1f, 0.0f}});
  ASSERT_EQ(_r3xInsertDepthSortedSpan(render_, Row(), 5, 30, {0.0f, 0.5f}, Record, &balance_), 0);
  EXPECT_EQ(gDrawn, (std::vector<Piece>{{5, 30}}));
  EXPECT_EQ(Runs(), (std::vector<Piece>{{5, 30}}));
  EXPECT_EQ(Run(0).depth, 0.5f);
  EXPECT_EQ(balance_, 25u - 10u);
}

TEST_F(CoveredRuns8Test, AFaceCrossingARunWinsUpToTheCrossing) {
  // Run: depth 0.2 at its far end x = 10, rising 0.1 per pixel; face: falling 0.1 per pixel,
  // equal to the run at x* = 12.4 (0.2 + 0.1 (x - 10) = -0.1 x + c gives c = 0.2 x* - 0.8).
  const R3xCoveredRun run{10, 20, 0.2f, 0.1f};
  const R3xRowDepth face{-0.1f, 0.2f * 12.4f - 0.8f};
  const R3xRunWin win = _r3xFaceWinsOnRun(run, face, face.a * 10.0f + face.c);
  EXPECT_EQ(win.winEnd, 12);
  EXPECT_EQ(win.winStart, 20);
  SetRuns({run});
  ASSERT_EQ(_r3xInsertDepthSortedSpan(render_, Row(), 10, 20, face, Record, &balance_), 0);
  EXPECT_EQ(gDrawn, (std::vector<Piece>{{10, 12}}));
  EXPECT_EQ(Runs(), (std::vector<Piece>{{10, 12}, {12, 20}}));
  EXPECT_FLOAT_EQ(Run(1).depth, 0.4f);
  EXPECT_EQ(balance_, 0u);
}

TEST_F(CoveredRuns8Test, CoplanarAndOpaqueRunsAreNotReplaced) {
  const R3xRowDepth face{0.01f, 0.3f};
  // Coplanar: the run's depth line is the face's (depth at its far end x = 10).
  SetRuns({{10, 20, 0.01f * 10.0f + 0.3f, 0.01f}, {30, 40, R3X_RUN_DEPTH_OPAQUE, 0.0f}});
  ASSERT_EQ(_r3xInsertDepthSortedSpan(render_, Row(), 10, 40, face, Record, &balance_), 0);
  EXPECT_EQ(gDrawn, (std::vector<Piece>{{20, 30}}));
  EXPECT_EQ(Runs(), (std::vector<Piece>{{10, 20}, {20, 30}, {30, 40}}));
}

TEST_F(CoveredRuns8Test, ANearerFaceInsideAWiderRunSplitsItInThree) {
  SetRuns({{0, 60, 0.1f, 0.0f}});
  ASSERT_EQ(_r3xInsertDepthSortedSpan(render_, Row(), 20, 30, {0.0f, 0.5f}, Record, &balance_), 0);
  EXPECT_EQ(gDrawn, (std::vector<Piece>{{20, 30}}));
  EXPECT_EQ(Runs(), (std::vector<Piece>{{0, 20}, {20, 30}, {30, 60}}));
  EXPECT_EQ(Run(1).depth, 0.5f);
  EXPECT_EQ(Run(2).depth, 0.1f);
  EXPECT_EQ(balance_, 0u);
}

TEST_F(CoveredRuns8Test, ANearerKeyedFaceLeavesTheOlderRunWhereItsKeyTexelsAre) {
  SetRuns({{10, 30, 0.1f, 0.0f}});
  gTexels[20] = 0;
  gTexels[21] = 0;
  ASSERT_EQ(_r3xInsertDepthSortedKeyedSpan(render_, Row(), 5, 40, {0.0f, 0.5f}, RecordKeyed, 0,
                                           &balance_),
            0);
  EXPECT_EQ(Runs(), (std::vector<Piece>{{5, 20}, {20, 22}, {22, 40}}));
  EXPECT_EQ(Run(0).depth, 0.5f);
  EXPECT_EQ(Run(1).depth, 0.1f);
  EXPECT_EQ(Run(2).depth, 0.5f);
  // 33 texels drawn, 18 of the older run's pixels hidden.
  EXPECT_EQ(balance_, 33u - 18u);
}

TEST_F(CoveredRuns8Test, AKeyedFaceWinningARunsEndTakesItAndGoesOn) {
  // The run's depth falls from 0.5 at 10 to 0.1 at 30; the face, at 0.31, is nearer from 19.5.
  SetRuns({{10, 30, 0.1f, -0.02f}});
  ASSERT_EQ(_r3xInsertDepthSortedKeyedSpan(render_, Row(), 15, 35, {0.0f, 0.31f}, RecordKeyed, 0,
                                           &balance_),
            0);
  EXPECT_EQ(Runs(), (std::vector<Piece>{{10, 20}, {20, 35}}));
  EXPECT_FLOAT_EQ(Run(0).depth, 0.3f);
  EXPECT_EQ(Run(1).depth, 0.31f);
  EXPECT_EQ(balance_, 15u - 10u);
}

TEST_F(CoveredRuns8Test, AKeyedFaceBehindARunDrawsAroundIt) {
  SetRuns({{10, 30, R3X_RUN_DEPTH_OPAQUE, 0.0f}});
  ASSERT_EQ(_r3xInsertDepthSortedKeyedSpan(render_, Row(), 5, 40, {0.0f, 0.5f}, RecordKeyed, 0,
                                           &balance_),
            0);
  EXPECT_EQ(Runs(), (std::vector<Piece>{{5, 10}, {10, 30}, {30, 40}}));
  EXPECT_EQ(balance_, 15u);
}

TEST_F(CoveredRuns8Test, AnOutlineRowKeepsItsBorderPieces) {
  constexpr std::int32_t kNone0 = 0x7FFFFFFF;
  constexpr std::int32_t kNone1 = -0x7FFFFFFF - 1;
  // First and last rows whole.
  R3xOutlinePieces pieces = _r3xOutlinePieces(10, 20, kNone0, kNone1, 8, 22);
  EXPECT_LE(pieces.rightStart, pieces.leftEnd);
  // A middle row: at least a pixel each side, stretched to meet the rows around.
  pieces = _r3xOutlinePieces(8, 22, 10, 20, 5, 25);
  EXPECT_EQ(pieces.leftEnd, 10);
  EXPECT_EQ(pieces.rightStart, 20);
  pieces = _r3xOutlinePieces(8, 22, 8, 22, 8, 22);
  EXPECT_EQ(pieces.leftEnd, 9);
  EXPECT_EQ(pieces.rightStart, 21);
}

}  // namespace
