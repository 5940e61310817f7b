#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/r3x.h"
#include "math_tables_fixture.h"

namespace {

using ActorRotationTest = MathTablesTest;

const float kHalfRoot2 = std::sqrt(0.5f);

struct RotationCase {
  float heading;
  float pitch;
  float roll;
  // Rows forward, left, up.
  float expected[9];
};

// Hand-computed: heading turns forward from +x toward +y, pitch raises it toward +z, roll turns
// left toward up.
const RotationCase kCases[] = {
    {0.0f, 0.0f, 0.0f, {1, 0, 0, 0, 1, 0, 0, 0, 1}},
    {128.0f, 0.0f, 0.0f, {0, 1, 0, -1, 0, 0, 0, 0, 1}},
    {0.0f, 128.0f, 0.0f, {0, 0, 1, 0, 1, 0, -1, 0, 0}},
    {0.0f, 0.0f, 128.0f, {1, 0, 0, 0, 0, 1, 0, -1, 0}},
    {64.0f, 0.0f, 128.0f, {kHalfRoot2, kHalfRoot2, 0, 0, 0, 1, kHalfRoot2, -kHalfRoot2, 0}},
    {64.0f,
     64.0f,
     0.0f,
     {0.5f, 0.5f, kHalfRoot2, -kHalfRoot2, kHalfRoot2, 0, -0.5f, -0.5f, kHalfRoot2}},
    // Angles are truncated and wrap: 639.9 is 127, -384 is 128.
    {639.9f, 0.0f, 0.0f, {0, 0, 0, 0, 0, 0, 0, 0, 1}},
    {-384.0f, 0.0f, 0.0f, {0, 1, 0, -1, 0, 0, 0, 0, 1}},
};

TEST_F(ActorRotationTest, RotationsFromHeadingPitchAndRollMatchHandComputedMatrices) {
  for (const RotationCase& c : kCases) {
    R3xActor actor{};
    actor.header.flags = R3X_FLAG_TRANSFORM_DIRTY | R3X_FLAG_HIDDEN;
    const R3xPlacement placement{1.0f, 2.0f, 3.0f, c.heading, c.pitch, c.roll, 0};
    ASSERT_EQ(r3xBuildObjectRotation(&actor, 2.0f, &placement), R3X_DONE);
    float expected[9];
    if (c.heading == 639.9f) {
      // Entry 127, one unit short of a quarter turn.
      const float s = tables().sine[127];
      const float k = tables().cosine[127];
      const float rows[9] = {k, s, 0, -s, k, 0, 0, 0, 1};
      std::copy(rows, rows + 9, expected);
    } else {
      std::copy(c.expected, c.expected + 9, expected);
    }
    for (int i = 0; i < 9; ++i) {
      EXPECT_NEAR(actor.rotation[i], expected[i], 1e-6) << c.heading << " " << i;
      EXPECT_NEAR(actor.scaledRotation[i], 2.0f * expected[i], 2e-6);
      const int row = i / 3;
      const int column = i % 3;
      EXPECT_NEAR(actor.inverseRotation[i], expected[column * 3 + row] / 2.0f, 1e-6);
    }
    EXPECT_EQ(actor.header.flags, R3X_FLAG_HIDDEN);
    EXPECT_EQ(actor.cachedOffset[0], 1e30f);
  }
}

TEST_F(ActorRotationTest, TheInverseUndoesTheScaledRotation) {
  R3xActor actor{};
  const R3xPlacement placement{0.0f, 0.0f, 0.0f, 37.5f, 300.2f, 91.0f, 0};
  r3xBuildObjectRotation(&actor, 3.0f, &placement);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      float sum = 0.0f;
      for (int k = 0; k < 3; ++k) {
        sum += actor.scaledRotation[row * 3 + k] * actor.inverseRotation[k * 3 + column];
      }
      EXPECT_NEAR(sum, row == column ? 1.0f : 0.0f, 1e-5);
    }
  }
}

}  // namespace
