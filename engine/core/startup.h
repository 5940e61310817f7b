// Engine start-up and shutdown: the math tables live from r3xInit to r3xShutdown.
// Results: R3X_DONE or a negative R3X_ERR_MATH_ code; the shutdown gives 0.
#pragma once

#include <cstdint>

// Builds the math tables: R3X_DONE, or R3X_ERR_MATH_NO_MEMORY or R3X_ERR_MATH_TREE.
std::int32_t r3xInit();
// Frees the math tables. 0.
std::int32_t r3xShutdown();
