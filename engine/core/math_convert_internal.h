// The engine's own functions of math_convert.h, which the public header leaves out.
// Results: values; no failure.
#pragma once

#include "engine/core/math_convert.h"

// (a << 16) / b with a 64-bit dividend. b must be non-zero and the quotient must fit 32 bits.
std::int32_t _r3xFixedDiv(std::int32_t a, std::int32_t b);
