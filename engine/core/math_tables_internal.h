// The engine's own functions of math_tables.h, which the public header leaves out.
// Results: R3X_DONE or a negative R3X_ERR_MATH_ code.
#pragma once

#include "engine/core/math_tables.h"

// Allocates and fills the tables: R3X_DONE, R3X_ERR_MATH_NO_MEMORY or R3X_ERR_MATH_TREE.
std::int32_t _r3xInitMathTables();

// Frees the tables and clears gR3xMathTables.
void _r3xFreeMathTables();
