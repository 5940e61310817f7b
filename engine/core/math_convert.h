// Float-to-integer conversions and the 16.16 fixed-point divide. None needs the math tables, and
// none touches the floating-point control word.
// Results: values; no failure.
#pragma once

#include <cstdint>

// Both values rounded to the nearest integer, ties to even. Valid for magnitudes below 2^31.
void r3xRoundFloatsToInts(float a, float b, int* ia, int* ib);
// x truncated toward zero.
int r3xFloatToInt(float x);
