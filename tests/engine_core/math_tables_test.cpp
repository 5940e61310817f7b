#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "engine/core/math_tables_internal.h"
#include "math_tables_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

std::uint32_t bitsOf(float value) { return std::bit_cast<std::uint32_t>(value); }

TEST(MathTablesLifecycleTest, BuildReplacesAndFreeClears) {
  ASSERT_EQ(_r3xInitMathTables(), R3X_DONE);
  ASSERT_NE(gR3xMathTables, nullptr);
  // A second build replaces the block without leaking the first.
  ASSERT_EQ(_r3xInitMathTables(), R3X_DONE);
  EXPECT_EQ(gR3xMathTables->cosine[0], 1.0f);
  _r3xFreeMathTables();
  EXPECT_EQ(gR3xMathTables, nullptr);
  _r3xFreeMathTables();
  EXPECT_EQ(gR3xMathTables, nullptr);
}

TEST(MathTablesLifecycleTest, AllocationFailureIsReportedAndKeepsNoTables) {
  _r3xFreeMathTables();
  {
    test_support::FailingMemory memory(0);
    EXPECT_EQ(_r3xInitMathTables(), R3X_ERR_MATH_NO_MEMORY);
    EXPECT_EQ(memory.Asked(), 1);
  }
  EXPECT_EQ(gR3xMathTables, nullptr);
}

struct TableEntry {
  int index;
  std::uint32_t bits;
};

// Exact float values of cos(i * 0.012271846302734375), rounded once from the true value.
TEST_F(MathTablesTest, CosineEntriesAreExact) {
  const TableEntry cases[] = {
      {0, 0x3F800000u},   {1, 0x3F7FFB11u},   {64, 0x3F3504F3u},  {127, 0x3C490E90u},
      {128, 0x2E457519u}, {129, 0xBC490E90u}, {255, 0xBF7FFB11u}, {256, 0xBF800000u},
      {384, 0xAF1417D3u}, {448, 0x3F3504F3u}, {511, 0x3F7FFB11u},
  };
  for (const TableEntry& entry : cases) {
    EXPECT_EQ(bitsOf(tables().cosine[entry.index]), entry.bits) << "cosine[" << entry.index << "]";
  }
}

TEST_F(MathTablesTest, SineIsTheCosineAQuarterTurnLater) {
  const TableEntry cases[] = {
      {0, 0xAF1417D3u},   {1, 0x3C490E90u},   {128, 0x3F800000u}, {192, 0x3F3504F3u},
      {256, 0x2E457519u}, {384, 0xBF800000u}, {511, 0xBC490E90u},
  };
  for (const TableEntry& entry : cases) {
    EXPECT_EQ(bitsOf(tables().sine[entry.index]), entry.bits) << "sine[" << entry.index << "]";
  }
}

// The step is a little short of 2*pi/512: the quarter and three-quarter entries are tiny
// non-zero values of opposite signs, not the zeros an exact step would round to.
TEST_F(MathTablesTest, ShortStepLeavesTinyValuesAtTheQuarters) {
  EXPECT_NEAR(tables().cosine[128], 4.4897e-11, 1e-14);
  EXPECT_GT(tables().cosine[128], 0.0f);
  EXPECT_NEAR(tables().cosine[384], -1.3469e-10, 1e-14);
  EXPECT_LT(tables().sine[0], 0.0f);
  EXPECT_NEAR(static_cast<double>(tables().cosine[128]), std::cos(128 * 0.012271846302734375),
              1e-15);
}

TEST_F(MathTablesTest, EveryEntryIsWithinAFloatStepOfTheTrueValue) {
  for (int i = 0; i < R3X_ANGLE_UNITS; ++i) {
    const double angle = i * (2.0 * std::numbers::pi / R3X_ANGLE_UNITS);
    EXPECT_NEAR(tables().cosine[i], std::cos(angle), 1e-7) << i;
    EXPECT_NEAR(tables().sine[i], std::sin(angle), 1e-7) << i;
  }
}

struct TangentCase {
  int index;
  std::uint32_t tangent;
  std::uint32_t cotangent;
  int left;
  int right;
};

TEST_F(MathTablesTest, TangentRecordsAndLinks) {
  const TangentCase cases[] = {
      {0, 0xAF1417D3u, 0x7149F2CAu, 0, 0},  // tangent sine[0]: tiny negative; cotangent 1e30
      {1, 0x3C491270u, 0x42A2F76Bu, 0, 1},  // right side empty
      {2, 0x3CC91A31u, 0x4222F122u, 1, 3},
      {32, 0x3ED413CDu, 0x401A8279u, 16, 48},  // root of 0..63
      {63, 0x3F79CAECu, 0x3F832E48u, 63, 63},  // leaf
      {64, 0x3F800000u, 0x3F800000u, 32, 96},  // the root: tangent exactly 1
      {65, 0x3F832E48u, 0x3F79CAECu, 65, 65},
      {96, 0x401A8279u, 0x3ED413CDu, 80, 112},  // root of 65..127
      {126, 0x4222F122u, 0x3CC91A31u, 125, 127},
      {127, 0x42A2F76Bu, 0x3C491270u, 127, 127},
  };
  for (const TangentCase& c : cases) {
    const R3xTangentRecord& record = tables().tangents[c.index];
    EXPECT_EQ(bitsOf(record.tangent), c.tangent) << c.index;
    EXPECT_EQ(bitsOf(record.cotangent), c.cotangent) << c.index;
    EXPECT_EQ(record.left, c.left) << c.index;
    EXPECT_EQ(record.right, c.right) << c.index;
  }
  EXPECT_EQ(tables().tangents[0].cotangent, 1e30f);
}

// In-order walk of the tree below record 64; returns the depth below the root.
int walk(const R3xTangentRecord* records, int k, int depth, std::vector<int>& order) {
  int deepest = depth;
  if (records[k].left != k) {
    deepest = std::max(deepest, walk(records, records[k].left, depth + 1, order));
  }
  order.push_back(k);
  if (records[k].right != k) {
    deepest = std::max(deepest, walk(records, records[k].right, depth + 1, order));
  }
  return deepest;
}

TEST_F(MathTablesTest, TangentTreeIsABalancedSearchTreeOverAllRecords) {
  std::vector<int> order;
  const int depth = walk(tables().tangents, R3X_TANGENT_COUNT / 2, 0, order);
  EXPECT_LE(depth, 7);
  ASSERT_EQ(order.size(), static_cast<std::size_t>(R3X_TANGENT_COUNT));
  for (int i = 0; i < R3X_TANGENT_COUNT; ++i) {
    EXPECT_EQ(order[i], i);
    if (i > 0) {
      EXPECT_LT(tables().tangents[i - 1].tangent, tables().tangents[i].tangent) << i;
    }
  }
}

TEST_F(MathTablesTest, InverseSquareRootSeeds) {
  const std::uint8_t expected[R3X_INV_SQRT_SEED_COUNT] = {
      106, 103, 100, 98,  95,  92,  90,  87,  85,  83,  80,  78,  76,  74,  72,  70,  68,  66,  64,
      62,  60,  58,  56,  54,  52,  51,  49,  47,  46,  44,  42,  41,  39,  38,  36,  35,  33,  32,
      31,  29,  28,  26,  25,  24,  22,  21,  20,  19,  17,  16,  15,  14,  13,  12,  10,  9,   8,
      7,   6,   5,   4,   3,   2,   1,   255, 252, 248, 244, 240, 237, 233, 230, 226, 223, 220, 217,
      214, 211, 208, 205, 202, 199, 196, 193, 191, 188, 185, 183, 180, 178, 176, 173, 171, 168, 166,
      164, 162, 160, 158, 155, 153, 151, 149, 147, 145, 143, 142, 140, 138, 136, 134, 133, 131, 129,
      127, 126, 124, 122, 121, 119, 118, 116, 115, 113, 112, 110, 109, 107,
  };
  for (int i = 0; i < R3X_INV_SQRT_SEED_COUNT; ++i) {
    EXPECT_EQ(tables().invSqrtSeeds[i], expected[i]) << i;
  }
}

TEST_F(MathTablesTest, PowerRows) {
  for (int k = 0; k < R3X_POWER_ROW_COUNT; ++k) {
    const R3xPowerRow& row = tables().powers[k];
    EXPECT_EQ(row.power, 1 << k) << k;
    EXPECT_EQ(row.inversePower, 1.0f / static_cast<float>(1 << k)) << k;
  }
  EXPECT_EQ(tables().powers[0].twiceMinusOne, 0);
  EXPECT_EQ(tables().powers[1].twiceMinusOne, 1);
  EXPECT_EQ(tables().powers[5].twiceMinusOne, 9);
  EXPECT_EQ(tables().powers[10].twiceMinusOne, 19);
}

}  // namespace
