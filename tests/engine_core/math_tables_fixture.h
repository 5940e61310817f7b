// Tests of anything that reads the math tables build them first and free them after.
#pragma once

#include <gtest/gtest.h>

#include "engine/core/math_tables_internal.h"
#include "engine/r3x.h"

class MathTablesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(_r3xInitMathTables(), R3X_DONE); }
  void TearDown() override { _r3xFreeMathTables(); }

  static const R3xMathTables& tables() { return *gR3xMathTables; }
};
