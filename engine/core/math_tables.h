// The engine's math tables: one block, built by r3xInit and freed by r3xShutdown.
// Angles are measured in units of 1/512 of a turn; a table index is an angle masked with 511.
// Results: records only.
#pragma once

#include <cstdint>

inline constexpr int R3X_ANGLE_UNITS = 512;
inline constexpr int R3X_ANGLE_MASK = 511;
inline constexpr int R3X_TANGENT_COUNT = 128;
inline constexpr int R3X_INV_SQRT_SEED_COUNT = 128;
inline constexpr int R3X_POWER_ROW_COUNT = 11;

// The tangent of one whole angle below a quarter turn, and its place in the arctangent's
// search tree. A child index equal to the record's own index means that side is empty.
struct R3xTangentRecord {
  float tangent;
  float cotangent;
  std::int32_t left;
  std::int32_t right;
};

// Row k: 2^k, 2k - 1 (0 for k = 0) and 2^-k, read by the software rasterizer.
struct R3xPowerRow {
  std::int32_t power;
  std::int32_t twiceMinusOne;
  float inversePower;
};

struct R3xMathTables {
  float cosine[R3X_ANGLE_UNITS];
  float sine[R3X_ANGLE_UNITS];
  R3xTangentRecord tangents[R3X_TANGENT_COUNT];
  std::uint8_t invSqrtSeeds[R3X_INV_SQRT_SEED_COUNT];
  R3xPowerRow powers[R3X_POWER_ROW_COUNT];
};

// Null before the tables are built and after they are freed.
extern R3xMathTables* gR3xMathTables;
